#pragma once
#include <string>

#include "core/FileUtil.h"
#include "platform/System.h"
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
