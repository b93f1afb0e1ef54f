#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace {
class TempFolder {
public:
    TempFolder() : mPath(PlatformMakeTempDirectory("quiltro7-fileutil-")) {}
    ~TempFolder() { PlatformRemoveTree(mPath); }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

std::string Read(const std::string& path) {
    std::string s;
    ReadFileToString(path, s);
    return s;
}

size_t CountEntries(const std::string& folder) {
    std::vector<DirEntry> entries;
    PlatformListDirectory(folder, entries);
    return entries.size();
}
}  // namespace

TEST(FilePaths, SplittingAndJoining) {
    EXPECT_EQ(GetFileDir("a/b\\c.xml"), "a/b\\");
    EXPECT_EQ(GetFileDir("c.xml"), "");
    EXPECT_EQ(GetFileName("a\\b/c.xml"), "c.xml");
    EXPECT_EQ(GetFileBaseName("x/y/pic.big.PNG"), "pic.big");
    EXPECT_EQ(GetFileExtension("x/y/pic.big.PNG"), "png");
    EXPECT_EQ(GetFileExtension("x.d/noext"), "");
    EXPECT_EQ(JoinPath("a/", "/b"), "a/b");
    EXPECT_EQ(JoinPath("a", "b"), "a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(NormalizeSlashes("cached\\x\\y.wav"), "cached/x/y.wav");
}

TEST(WriteStringToFile, CreatesFoldersAndReplacesWholeFile) {
    TempFolder tmp;
    std::string path = tmp.Path() + "/one/two/profiles.xml";
    ASSERT_TRUE(WriteStringToFile(path, "first version, long text"));
    EXPECT_EQ(Read(path), "first version, long text");
    ASSERT_TRUE(WriteStringToFile(path, "short"));
    EXPECT_EQ(Read(path), "short");
    // No temporary files are left behind.
    EXPECT_EQ(CountEntries(tmp.Path() + "/one/two"), 1u);
}

TEST(WriteStringToFile, ReadOnlyFolderKeepsTheOldFile) {
    TempFolder tmp;
    std::string path = tmp.Path() + "/settings.xml";
    ASSERT_TRUE(WriteStringToFile(path, "old"));
    ASSERT_TRUE(PlatformSetReadOnly(tmp.Path(), true));
    SetDebugOutputEnabled(false);
    bool wrote = WriteStringToFile(path, "new");
    SetDebugOutputEnabled(true);
    PlatformSetReadOnly(tmp.Path(), false);
    if (PlatformIsSuperUser()) {
        // Permissions don't bind the super-user; the full-disk test covers failure.
        EXPECT_TRUE(wrote);
        return;
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(Read(path), "old");
}

TEST(WriteStringToFile, FullDiskMidWriteKeepsTheOldFile) {
    TempFolder tmp;
    std::string path = tmp.Path() + "/profiles.xml";
    ASSERT_TRUE(WriteStringToFile(path, "<profiles>old and whole</profiles>"));
    ASSERT_TRUE(PlatformLimitFileSize(100));
    SetDebugOutputEnabled(false);
    bool wrote = WriteStringToFile(path, std::string(10000, 'x'));
    SetDebugOutputEnabled(true);
    PlatformLimitFileSize(-1);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(Read(path), "<profiles>old and whole</profiles>");
    EXPECT_EQ(CountEntries(tmp.Path()), 1u) << "temporary file left behind";
}

TEST(WriteStringToFile, FailsWhenTheFolderCannotBeMade) {
    TempFolder tmp;
    ASSERT_TRUE(WriteStringToFile(tmp.Path() + "/blocker", "a file, not a folder"));
    SetDebugOutputEnabled(false);
    EXPECT_FALSE(WriteStringToFile(tmp.Path() + "/blocker/inside.xml", "x"));
    SetDebugOutputEnabled(true);
}

TEST(FileUtil, CreateDirectoriesAndExistence) {
    TempFolder tmp;
    std::string deep = tmp.Path() + "/a/b/c/";
    EXPECT_TRUE(CreateDirectories(deep));
    EXPECT_TRUE(PlatformDirectoryExists(deep));
    EXPECT_TRUE(CreateDirectories(deep));  // existing is fine
    EXPECT_FALSE(FileExists(deep));        // a folder is not a file
    GrantEveryoneFileAccess(deep);         // does nothing, must not fail
}
