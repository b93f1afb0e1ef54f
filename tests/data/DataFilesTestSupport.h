#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "data/PakBuilder.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace datafiles_test {

// Keeps the log quiet: these tests fail loads on purpose.
class QuietTest : public ::testing::Test {
protected:
    void SetUp() override { SetDebugOutputEnabled(false); }
    void TearDown() override { SetDebugOutputEnabled(true); }
};

// The game's data folder in the source tree, with a trailing slash.
inline std::string GameData() { return std::string(QUILTRO7_SOURCE_GAMEDATA) + "/"; }

// A temporary folder removed with everything in it at the end of the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* prefix = "q7data") : mPath(PlatformMakeTempDirectory(prefix)) {}
    ~ScratchFolder() { PlatformRemoveTree(mPath); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    // Writes the file, making its folders, and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        EXPECT_TRUE(WriteStringToFile(mPath + "/" + name, bytes)) << name;
        return mPath + "/" + name;
    }

private:
    std::string mPath;
};

// Runs the test body in a folder and goes back afterwards.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path) : mPrevious(PlatformCurrentDirectory()) {
        EXPECT_TRUE(PlatformChangeDirectory(path));
    }
    ~CurrentFolder() { PlatformChangeDirectory(mPrevious); }

private:
    std::string mPrevious;
};

// Points gPakInterfaceP at another instance for the length of a test.
class UsePakInterface {
public:
    explicit UsePakInterface(PakInterface& pak) : mPrevious(gPakInterfaceP) { gPakInterfaceP = &pak; }
    ~UsePakInterface() { gPakInterfaceP = mPrevious; }

private:
    PakInterface* mPrevious;
};

inline std::string BuildPak(const std::vector<PakSourceEntry>& entries) {
    std::string image, error;
    EXPECT_TRUE(BuildPakImage(entries, image, &error)) << error;
    return image;
}

}  // namespace datafiles_test
