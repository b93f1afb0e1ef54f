// What the game does with a user data folder it does not fully control: files
// replaced by folders, FIFOs, devices or damage, a folder it cannot use, a
// lock held by another copy, leftovers of killed runs, relative paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "app/Settings.h"
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

struct TempFolder {
    std::string path = PlatformMakeTempDirectory("quiltro7-userfiles-");
    ~TempFolder() {
        PlatformSetReadOnly(path, false);
        PlatformRemoveTree(path);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Sets environment variables for one scope and puts the old values back.
class EnvScope {
public:
    void Set(const char* name, const std::string& value) {
        mOld.emplace_back(name, PlatformGetEnv(name));
        PlatformSetEnv(name, value.c_str());
    }
    ~EnvScope() {
        for (auto it = mOld.rbegin(); it != mOld.rend(); ++it) PlatformSetEnv(it->first, it->second.c_str());
    }

private:
    std::vector<std::pair<const char*, std::string>> mOld;
};

// Boots the application on the folder and returns what it said on stderr.
std::string BootOn(const std::string& folder, std::unique_ptr<AppHarness>& harness) {
    AppHarness::Options o;
    o.userDataFolder = folder;
    harness = std::make_unique<AppHarness>(o);
    testing::internal::CaptureStderr();
    harness->Boot<QuietApp>();
    return testing::internal::GetCapturedStderr();
}
}  // namespace

TEST(UserFiles, ReadsOnlyRegularFilesUpToTheCap) {
    TempFolder t;
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
        EXPECT_NE(status, UserFileStatus::Ok) << odd.name;
        EXPECT_NE(status, UserFileStatus::Missing) << odd.name;
        EXPECT_TRUE(bytes.empty()) << odd.name;
        EXPECT_FALSE(reason.empty()) << odd.name;
    }
}

TEST(UserFiles, TheFolderIsAlwaysAbsolute) {
    TempFolder t;
    std::string cwd = PlatformCurrentDirectory();
    struct Case {
        std::string xdg, home, over, expected;
    } cases[] = {
        {t.path + "/xdg", t.path, "", t.path + "/xdg/Co/Game/"},
        {"relative/xdg", t.path, "", t.path + "/.local/share/Co/Game/"},  // ignored, as XDG says
        {"", t.path, "", t.path + "/.local/share/Co/Game/"},
        {"", t.path, t.path + "/mine", t.path + "/mine/"},
        {"", t.path, "relative-user", cwd + "/relative-user/"},
    };
    for (const Case& c : cases) {
        EnvScope env;
        env.Set("XDG_DATA_HOME", c.xdg);
        env.Set("HOME", c.home);
        env.Set("QUILTRO7_USER_DATA", c.over);
        EXPECT_EQ(PlatformUserDataFolder("Co", "Game"), c.expected) << c.xdg << " " << c.over;
    }
    PlatformRemoveTree(cwd + "/relative-user");
}

// Only a lock held by another copy means "already running" (a quiet end);
// any other failure names the user folder and ends with status 1.
TEST(UserFiles, OnlyAnotherCopyHoldingTheLockIsAQuietEnd) {
    struct Case {
        const char* name;
        // Returns the user folder to boot on; `other` stands for another copy.
        std::function<std::string(const TempFolder&, InstanceLock& other)> makeFolder;
        int exitCode;
        const char* said;
    } cases[] = {
        {"held by another copy",
         [](const TempFolder& t, InstanceLock& other) {
             EXPECT_EQ(other.Acquire(t / "instance.lock"), InstanceLock::Result::Acquired);
             return t.path;
         },
         0, "is already running"},
        {"a file where the folder should be",
         [](const TempFolder& t, InstanceLock&) {
             WriteStringToFile(t / "user", "x");
             return t / "user";
         },
         1, "Cannot use the user data folder"},
        {"the lock is a folder",
         [](const TempFolder& t, InstanceLock&) {
             fs::create_directory(t / "instance.lock");
             return t.path;
         },
         1, "Is a directory"},
        {"a path too long", [](const TempFolder& t, InstanceLock&) { return t / std::string(300, 'n'); }, 1,
         "File name too long"},
        {"a read-only folder",
         [](const TempFolder& t, InstanceLock&) {
             PlatformSetReadOnly(t.path, true);
             return t.path;
         },
         1, "Permission denied"},
    };
    for (const Case& c : cases) {
        if (std::string(c.name) == "a read-only folder" && PlatformIsSuperUser()) continue;
        TempFolder t;
        InstanceLock other;
        std::string folder = c.makeFolder(t, other);
        std::unique_ptr<AppHarness> h;
        std::string said = BootOn(folder, h);
        EXPECT_FALSE(h->InitSucceeded()) << c.name;
        EXPECT_EQ(h->App().mExitCode, c.exitCode) << c.name;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
        h.reset();
        PlatformSetReadOnly(t.path, false);
    }
}

// A settings.xml that cannot be used is kept for the player, and the
// defaults written at exit go to a new file.
TEST(UserFiles, AnUnusableSettingsFileIsKeptAside) {
    std::vector<OddUserFile> cases = OddUserFiles();
    cases.push_back({"damaged", [](const std::string& p) { WriteStringToFile(p, "<settings volume=\"0.1\" mouse-sp"); }});
    for (const OddUserFile& c : cases) {
        TempFolder t;
        c.make(t / "settings.xml");
        {
            std::unique_ptr<AppHarness> h;
            std::string said = BootOn(t.path, h);
            ASSERT_TRUE(h->InitSucceeded()) << c.name;
            EXPECT_EQ(h->App().GetMouseSpeed(), 10) << c.name;
            EXPECT_NE(said.find("kept as"), std::string::npos) << c.name << ": " << said;
            h->Quit();
        }
        EXPECT_TRUE(fs::exists(fs::symlink_status(t / "settings.xml.damaged-1"))) << c.name;
        AppSettings s;
        EXPECT_TRUE(ReadSettingsFile(t / "settings.xml", s, nullptr)) << c.name;  // written anew
        EXPECT_TRUE(fs::is_regular_file(t / "settings.xml")) << c.name;
    }
}

TEST(UserFiles, StaleTemporaryFilesOfOursAreRemovedAtStart) {
    TempFolder t;
    const char* ours[] = {"profiles.xml.tmp0123abcd", "settings.xml.tmpdeadbeef", "_screenshots/shot0001.png.tmp00c0ffee"};
    const char* others[] = {"notes.tmp", "profiles.xml.tmp0123abc", "x.tmp0123abcdz", "backup.tmpzzzzzzzz"};
    fs::create_directory(t / "_screenshots");
    for (const char* name : ours) ASSERT_TRUE(WriteStringToFile(t / name, "half"));
    for (const char* name : others) ASSERT_TRUE(WriteStringToFile(t / name, "mine"));
    std::unique_ptr<AppHarness> h;
    BootOn(t.path, h);
    ASSERT_TRUE(h->InitSucceeded());
    for (const char* name : ours) EXPECT_FALSE(fs::exists(t / name)) << name;
    for (const char* name : others) EXPECT_TRUE(fs::exists(t / name)) << name;
}

// A name in a data file cannot reach outside the data folder ("../README.md"
// exists next to the game's data folder).
TEST(UserFiles, DataNamesStayInsideTheDataFolder) {
    AppHarness h;
    h.Boot<QuietApp>();
    ASSERT_TRUE(h.InitSucceeded());
    ASSERT_TRUE(PlatformFileExists(h.DataFolder() + "/../README.md"));
    std::string bytes;
    EXPECT_FALSE(ReadDataFile("../README.md", bytes));
    EXPECT_TRUE(ReadDataFile("properties/fonts.xml", bytes));
}
