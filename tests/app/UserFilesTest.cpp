// What the game does with a user data folder it does not fully control: files
// replaced by folders, FIFOs, devices or damage, a folder it cannot use, a
// lock held by another copy, leftovers of killed runs. (Relative folder
// variables are checked on the real game, tests/e2e/userfiles.sh.)
#include <gtest/gtest.h>

#include <filesystem>

#include "app/GameApp.h"
#include "app/Settings.h"
#include "core/FileUtil.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"
#include "platform/InstanceLock.h"
#include "platform/System.h"
#include "tests/support/AppHarness.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/OddUserFiles.h"

namespace fs = std::filesystem;

namespace {
class QuietApp : public GameApp {
public:
    QuietApp() : GameApp("User Files Test", "v1.2", 1024, 768) {}
    SoundManager* CreateSoundManager() override { return new FakeSoundManager(); }
    TrackInterface* CreateMusicInterface() override { return new FakeTrackInterface(); }
};

class UserFiles : public ::testing::Test {
public:
    // A path in the test's folder: t / "name".
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }

protected:
    void TearDown() override {
        mHarness.reset();
        PlatformSetReadOnly(mPath, false);
        PlatformRemoveTree(mPath);
    }
    // Boots the application on the user folder; returns what it said on stderr.
    std::string Boot(const std::string& folder) {
        AppHarness::Options o;
        o.userDataFolder = folder;
        mHarness = std::make_unique<AppHarness>(o);
        testing::internal::CaptureStderr();
        mHarness->Boot<QuietApp>();
        return testing::internal::GetCapturedStderr();
    }

    std::string mPath = PlatformMakeTempDirectory("quiltro7-userfiles-");
    const UserFiles& t = *this;
    std::unique_ptr<AppHarness> mHarness;
};
}  // namespace

TEST_F(UserFiles, ReadsOnlyRegularFilesUpToTheCap) {
    ASSERT_TRUE(WriteStringToFile(t / "plain", "<settings/>"));
    fs::create_symlink(t / "plain", t / "link");
    std::string bytes, reason;
    for (const char* name : {"plain", "link"}) {
        EXPECT_EQ(ReadUserFile(t / name, bytes, &reason), UserFileStatus::Ok) << name;
        EXPECT_EQ(bytes, "<settings/>");
    }
    EXPECT_EQ(ReadUserFile(t / "absent", bytes, &reason), UserFileStatus::Missing);
    int n = 0;
    for (const OddUserFile& odd : OddUserFiles()) {
        std::string path = t / ("odd" + std::to_string(++n));
        odd.make(path);
        reason.clear();
        UserFileStatus status = ReadUserFile(path, bytes, &reason);  // at once, even for a FIFO
        EXPECT_TRUE(status != UserFileStatus::Ok && status != UserFileStatus::Missing) << odd.name;
        EXPECT_TRUE(bytes.empty()) << odd.name;
        EXPECT_FALSE(reason.empty()) << odd.name;
    }
}

// Only a lock held by another copy means "already running" (a quiet end);
// any other failure names the user folder and ends with status 1.
TEST_F(UserFiles, OnlyAnotherCopyHoldingTheLockIsAQuietEnd) {
    InstanceLock other;
    fs::create_directory(t / "held");
    ASSERT_EQ(other.Acquire(t / "held/instance.lock"), InstanceLock::Result::Acquired);
    ASSERT_TRUE(WriteStringToFile(t / "file", "x"));
    fs::create_directories(t / "lock-folder/instance.lock");
    fs::create_directory(t / "read-only");
    PlatformSetReadOnly(t / "read-only", true);
    struct Case {
        std::string folder;
        int exitCode;
        const char* said;
    } cases[] = {
        {t / "held", 0, "is already running"},
        {t / "file", 1, "Cannot use the user data folder"},  // a file where the folder should be
        {t / "lock-folder", 1, "Is a directory"},
        {t / std::string(300, 'n'), 1, "File name too long"},
        {t / "read-only", 1, "Permission denied"},  // not as the super-user
    };
    for (const Case& c : cases) {
        if (c.said == std::string("Permission denied") && PlatformIsSuperUser()) continue;
        std::string said = Boot(c.folder);
        EXPECT_FALSE(mHarness->InitSucceeded()) << c.folder;
        EXPECT_EQ(mHarness->App().mExitCode, c.exitCode) << c.folder;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
    PlatformSetReadOnly(t / "read-only", false);
}

// A settings.xml that cannot be used is kept for the player, and the
// defaults written at exit go to a new file.
TEST_F(UserFiles, AnUnusableSettingsFileIsKeptAside) {
    std::vector<OddUserFile> cases = OddUserFiles();
    cases.push_back({"damaged", [](const std::string& p) { WriteStringToFile(p, "<settings volume=\"0.1\" mouse-sp"); }});
    int n = 0;
    for (const OddUserFile& c : cases) {
        std::string folder = t / std::to_string(++n);
        fs::create_directory(folder);
        c.make(folder + "/settings.xml");
        std::string said = Boot(folder);
        ASSERT_TRUE(mHarness->InitSucceeded()) << c.name;
        EXPECT_EQ(mHarness->App().GetMouseSpeed(), 10) << c.name;
        EXPECT_NE(said.find("kept as"), std::string::npos) << c.name << ": " << said;
        mHarness->Quit();
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder + "/settings.xml.damaged-1"))) << c.name;
        AppSettings s;
        EXPECT_TRUE(fs::is_regular_file(folder + "/settings.xml")) << c.name;  // written anew
        EXPECT_TRUE(ReadSettingsFile(folder + "/settings.xml", s, nullptr)) << c.name;
    }
}

TEST_F(UserFiles, StaleTemporaryFilesOfOursAreRemovedAtStart) {
    const char* ours[] = {"profiles.xml.tmp0123abcd", "_screenshots/shot0001.png.tmp00c0ffee"};
    const char* others[] = {"notes.tmp", "profiles.xml.tmp0123abc", "x.tmp0123abcdz", "backup.tmpzzzzzzzz"};
    fs::create_directory(t / "_screenshots");
    for (const char* name : ours) ASSERT_TRUE(WriteStringToFile(t / name, "half"));
    for (const char* name : others) ASSERT_TRUE(WriteStringToFile(t / name, "mine"));
    Boot(mPath);
    ASSERT_TRUE(mHarness->InitSucceeded());
    for (const char* name : ours) EXPECT_FALSE(fs::exists(t / name)) << name;
    for (const char* name : others) EXPECT_TRUE(fs::exists(t / name)) << name;
}

// A name in a data file cannot reach outside the data folder ("../README.md"
// exists next to the game's data folder).
TEST_F(UserFiles, DataNamesStayInsideTheDataFolder) {
    Boot(mPath);
    ASSERT_TRUE(mHarness->InitSucceeded());
    ASSERT_TRUE(PlatformFileExists(mHarness->DataFolder() + "/../README.md"));
    std::string bytes;
    EXPECT_FALSE(ReadDataFile("../README.md", bytes));
    EXPECT_TRUE(ReadDataFile("properties/fonts.xml", bytes));
}
