#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "data/PakBuilder.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace datafiles_test {

// A temporary folder removed with everything in it at the end of the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* prefix = "q7data") : mPath(PlatformMakeTempDirectory(prefix)) {}
    ~ScratchFolder() { PlatformRemoveTree(mPath); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        ASSERT_TRUE(WriteStringToFile(mPath + "/" + name, bytes)) << name;
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
