#pragma once
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "platform/System.h"
#include "puzzle/Clues.h"
#include "tests/support/AppHarness.h"

// The source tree's gamedata folder.
inline std::string PuzzleTestData() {
    std::string env = PlatformGetEnv("QUILTRO7_GAMEDATA");
    return env.empty() ? TestGameDataFolder() : env;
}

inline std::string ReadPropertiesFile(const std::string& name) {
    std::string bytes;
    ReadFileToString(JoinPath(PuzzleTestData(), "properties/" + name), bytes);
    return bytes;
}

inline std::vector<int> ClueLengths(const ClueLine& line) {
    std::vector<int> out;
    for (const Clue& clue : line) out.push_back(clue.mLength);
    return out;
}
