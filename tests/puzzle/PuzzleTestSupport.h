#pragma once
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "puzzle/Clues.h"
#include "tests/support/AppHarness.h"

// A file of the test data's properties folder.
inline std::string ReadPropertiesFile(const std::string& name) {
    std::string bytes;
    ReadFileToString(JoinPath(TestGameDataFolder(), "properties/" + name), bytes);
    return bytes;
}

inline std::vector<int> ClueLengths(const ClueLine& line) {
    std::vector<int> out;
    for (const Clue& clue : line) out.push_back(clue.mLength);
    return out;
}
