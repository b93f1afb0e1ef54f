#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "tests/data/DataFilesTestSupport.h"

using datafiles_test::ScratchFolder;

namespace {
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

class WriteStringToFileTest : public datafiles_test::QuietTest {
protected:
    ScratchFolder mTmp{"quiltro7-fileutil-"};
};
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

TEST_F(WriteStringToFileTest, CreatesFoldersAndReplacesWholeFile) {
    std::string path = mTmp / "one/two/profiles.xml";
    ASSERT_TRUE(WriteStringToFile(path, "first version, long text"));
    EXPECT_EQ(Read(path), "first version, long text");
    ASSERT_TRUE(WriteStringToFile(path, "short"));
    EXPECT_EQ(Read(path), "short");
    // No temporary files are left behind.
    EXPECT_EQ(CountEntries(mTmp / "one/two"), 1u);
}

TEST_F(WriteStringToFileTest, ReadOnlyFolderKeepsTheOldFile) {
    std::string path = mTmp / "settings.xml";
    ASSERT_TRUE(WriteStringToFile(path, "old"));
    ASSERT_TRUE(PlatformSetReadOnly(mTmp.Path(), true));
    bool wrote = WriteStringToFile(path, "new");
    PlatformSetReadOnly(mTmp.Path(), false);
    // Permissions don't bind the super-user; the full-disk test covers failure.
    EXPECT_EQ(wrote, PlatformIsSuperUser());
    EXPECT_EQ(Read(path), wrote ? "new" : "old");
}

TEST_F(WriteStringToFileTest, FullDiskMidWriteKeepsTheOldFile) {
    std::string path = mTmp / "profiles.xml";
    ASSERT_TRUE(WriteStringToFile(path, "<profiles>old and whole</profiles>"));
    ASSERT_TRUE(PlatformLimitFileSize(100));
    bool wrote = WriteStringToFile(path, std::string(10000, 'x'));
    PlatformLimitFileSize(-1);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(Read(path), "<profiles>old and whole</profiles>");
    EXPECT_EQ(CountEntries(mTmp.Path()), 1u) << "temporary file left behind";
}

TEST_F(WriteStringToFileTest, FailsWhenTheFolderCannotBeMade) {
    ASSERT_TRUE(WriteStringToFile(mTmp / "blocker", "a file, not a folder"));
    EXPECT_FALSE(WriteStringToFile(mTmp / "blocker/inside.xml", "x"));
}

TEST(FileUtil, CreateDirectoriesAndExistence) {
    ScratchFolder tmp;
    std::string deep = tmp / "a/b/c/";
    EXPECT_TRUE(CreateDirectories(deep));
    EXPECT_TRUE(PlatformDirectoryExists(deep));
    EXPECT_TRUE(CreateDirectories(deep));  // existing is fine
    EXPECT_FALSE(FileExists(deep));        // a folder is not a file
    GrantEveryoneFileAccess(deep);         // does nothing, must not fail
}
