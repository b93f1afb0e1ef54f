#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <thread>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/Log.h"
#include "platform/ChildProcess.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "tests/support/OddUserFiles.h"

namespace fs = std::filesystem;

namespace {
class TestApp : public GameApp {
public:
    TestApp() : GameApp("Quiltro Test", "v1.2", 1024, 768) {}
    void HandleTypedCode(const std::wstring& code) override { mCodes.push_back(code); }
    void Step() { UpdateFrames(); }
    std::vector<std::wstring> mCodes;
};

// A catalogue of two story sets (2 and 1 puzzles) and one bonus set (1).
void LoadSmallCatalogue(int storySets = 2) {
    std::string xml = "<p><game name=\"quiltro7\"><mode><set><puzzle><grid>1</grid></puzzle>"
                      "<puzzle><grid>1</grid></puzzle></set>";
    for (int i = 1; i < storySets; ++i) xml += "<set><puzzle><grid>1</grid></puzzle></set>";
    xml += "</mode><mode><set><puzzle><grid>1</grid></puzzle></set></mode></game></p>";
    PuzzleStats stats(false);
    ASSERT_TRUE(stats.LoadText(xml, "p.xml"));
    stats.Publish();
}

class Profiles : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = PlatformMakeTempDirectory("quiltro7-profiles-");
        ASSERT_FALSE(mFolder.empty());
        mApp = std::make_unique<TestApp>();
        mApp->mAppDataFolder = mFolder + "/";
        LoadSmallCatalogue();
        ProfileManager::ClearProfiles();
    }
    void TearDown() override {
        ProfileManager::ClearProfiles();
        mApp.reset();
        PlatformRemoveTree(mFolder);
    }
    std::string Path() { return mFolder + "/profiles.xml"; }
    std::string ReadProfiles() {
        std::string s;
        ReadFileToString(Path(), s);
        return s;
    }
    void WriteProfiles(const std::string& text) { ASSERT_TRUE(WriteStringToFile(Path(), text)); }
    // Writes the file and reads it as the game does at start-up.
    void Read(const std::string& text) {
        WriteProfiles(text);
        LoadFromDisk();
    }
    // A manager that reads the file as the game does at start-up.
    void LoadFromDisk() {
        ProfileManager::ClearProfiles();
        SetDebugOutputEnabled(false);
        ProfileManager manager;
        SetDebugOutputEnabled(true);
        mDamagedCopy = manager.GetDamagedCopyPath();
    }

    std::string mFolder;
    std::string mDamagedCopy;
    std::unique_ptr<TestApp> mApp;
};

// A file of one profile "a" whose state has these attributes and game body.
std::string OneProfile(const std::string& state, const std::string& game = "") {
    return "<profiles><profile name=\"a\"><state " + state + "><game name=\"quiltro7\">" + game +
           "</game></state></profile></profiles>";
}

// What a new state writes: sized from the catalogue.
const char* kDefaultState =
    "<state seen-tutorial=\"0\" num-hints=\"0\" made-mistake=\"0\" seen-hint=\"0\" disable-tips=\"0\" "
    "toggle-mode=\"0\" show-numbers=\"1\" started=\"0\" hours=\"0\" minutes=\"0\" centiseconds=\"0\">\n"
    "<game name=\"quiltro7\">\n"
    "<game-state current-country=\"0\"/>\n"
    "<mode>\n"
    "<set unlock=\"1\" introduced=\"0\">\n"
    "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n"
    "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n"
    "</set>\n"
    "<set unlock=\"0\" introduced=\"0\">\n"
    "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n"
    "</set>\n"
    "</mode>\n"
    "<mode>\n"
    "<set unlock=\"0\" introduced=\"0\">\n"
    "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n"
    "</set>\n"
    "</mode>\n"
    "</game>\n"
    "</state>\n";
}  // namespace

TEST_F(Profiles, TheWriterOutputHasTheFileFormat) {
    ProfileManager manager(false);
    ProfileManager::CreateProfile(L"Ana");
    PlayerState& s = gProfiles[0].mState;
    s.mSeenTutorial = true;
    s.mNumHints = 1;
    s.mMadeMistake = true;
    s.mMinutes = 12;
    s.mCentiseconds = 345;
    s.mCurrentCountry = 1;
    s.mProgress[0][0].mUnlock = 2;
    s.mProgress[0][0].mIntroduced = true;
    s.mProgress[0][0].mPuzzles[0] = {true, 59, true, false};
    s.mProgress[0][0].mPuzzles[1].mCompleted = true;
    s.mProgress[0][1].mUnlock = 1;
    ASSERT_TRUE(ProfileManager::Save());
    std::string expected =
        "<profiles selected=\"0\"><profile name=\"Ana\"><state seen-tutorial=\"1\" num-hints=\"1\" made-mistake=\"1\" "
        "seen-hint=\"0\" disable-tips=\"0\" toggle-mode=\"0\" show-numbers=\"1\" started=\"0\" hours=\"0\" "
        "minutes=\"12\" centiseconds=\"345\">\n<game name=\"quiltro7\">\n<game-state current-country=\"1\"/>\n"
        "<mode>\n<set unlock=\"2\" introduced=\"1\">\n"
        "<puzzle completed=\"1\" best-time=\"59\" without-hints=\"1\" without-mistakes=\"0\"/>\n"
        "<puzzle completed=\"1\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n</set>\n"
        "<set unlock=\"1\" introduced=\"0\">\n"
        "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n</set>\n</mode>\n"
        "<mode>\n<set unlock=\"0\" introduced=\"0\">\n"
        "<puzzle completed=\"0\" best-time=\"0\" without-hints=\"0\" without-mistakes=\"0\"/>\n</set>\n</mode>\n"
        "</game>\n</state>\n</profile>";
    for (int i = 1; i < 8; ++i) expected += std::string("<profile name=\"\">") + kDefaultState + "</profile>";
    expected += "</profiles>";
    EXPECT_EQ(ReadProfiles(), expected);
}

TEST_F(Profiles, LoadThenSaveIsByteIdenticalWhateverTheNames) {
    const std::wstring names[] = {L"Ana", L"a&b", L"<x>", L"Zoë & <Co> \"q\" 'a'", L"tab\there", L"two\nlines",
                                  L"ñandú 🐧", L"&amp;"};
    {
        ProfileManager manager(false);
        for (int i = 0; i < 8; ++i) ProfileManager::RenameProfile(i, names[i]);
        PlayerState& s = gProfiles[1].mState;
        s.mStarted = 1;
        s.mHours = 3;
        s.mToggleMode = s.mDisableTips = s.mSeenHint = true;
        s.mShowNumbers = false;
        s.mProgress[1][0].mPuzzles[0] = {true, 1234, false, true};
        s.mProgress[0][1].mPuzzles.push_back({true, 7, true, true});  // more than the catalogue has
        ProfileManager::SelectProfile(1);
        ASSERT_TRUE(ProfileManager::Save());
    }
    std::string first = ReadProfiles();
    EXPECT_NE(first.find("name=\"a&amp;b\""), std::string::npos);
    EXPECT_NE(first.find("name=\"&lt;x&gt;\""), std::string::npos);
    EXPECT_NE(first.find("ñandú"), std::string::npos);  // UTF-8 as it is
    LoadFromDisk();
    EXPECT_TRUE(mDamagedCopy.empty());
    EXPECT_EQ(gSelectedProfile, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(gProfiles[i].mName, names[i]) << i;
    EXPECT_EQ(gProfiles[1].mState.mProgress[0][1].mPuzzles.size(), 2u);
    ASSERT_TRUE(ProfileManager::Save());
    EXPECT_EQ(ReadProfiles(), first);
}

TEST_F(Profiles, AFileWithOnlySlotZeroSavesEightProfiles) {
    Read("<profiles selected=\"0\"><profile name=\"Ana\"><state num-hints=\"3\"/></profile></profiles>");
    ASSERT_EQ(gProfiles.size(), 8u);
    EXPECT_EQ(gProfiles[0].mName, L"Ana");
    EXPECT_EQ(gProfiles[0].mState.mNumHints, 3);
    EXPECT_EQ(gProfiles[0].mState.mProgress[0][0].mUnlock, 1);  // defaults kept where the file says nothing
    ASSERT_TRUE(ProfileManager::Save());
    std::string text = ReadProfiles();
    size_t count = 0;
    for (size_t at = text.find("<profile "); at != std::string::npos; at = text.find("<profile ", at + 1)) ++count;
    EXPECT_EQ(count, 8u);
    EXPECT_NE(text.find("<profile name=\"\"><state"), std::string::npos);
}

TEST_F(Profiles, TheSelectedSlotIsCheckedWhenRead) {
    // A missing file selects nothing and keeps nothing aside.
    LoadFromDisk();
    EXPECT_EQ(gProfiles.size(), 8u);
    EXPECT_EQ(gSelectedProfile, -1);
    EXPECT_TRUE(mDamagedCopy.empty());
    EXPECT_FALSE(FileExists(Path()));
    for (auto [selected, slot] : {std::pair{" selected=\"-1\"", -1}, {"", 0}, {" selected=\"9\"", -1}}) {
        Read(std::string("<profiles") + selected + "><profile name=\"Ana\"/></profiles>");
        EXPECT_EQ(gSelectedProfile, slot) << selected;
        EXPECT_EQ(gPlayerState, slot < 0 ? nullptr : &gProfiles[0].mState) << selected;
    }
}

TEST_F(Profiles, FlagsAreIntegersButStartedIsABoolean) {
    Read("<profiles selected=\"0\"><profile name=\"a\"><state started=\"2\" seen-tutorial=\"2\" "
         "show-numbers=\"0\" made-mistake=\"1+1\" hours=\"2*3\"/></profile>"
         "<profile name=\"b\"><state started=\"true\"/></profile>"
         "<profile name=\"c\"><state started=\"1\"/></profile></profiles>");
    const PlayerState& a = gProfiles[0].mState;
    EXPECT_EQ(a.mStarted, 0);
    EXPECT_TRUE(a.mSeenTutorial);
    EXPECT_FALSE(a.mShowNumbers);
    EXPECT_TRUE(a.mMadeMistake);
    EXPECT_EQ(a.mHours, 6);
    EXPECT_EQ(gProfiles[1].mState.mStarted, 1);
    EXPECT_EQ(gProfiles[2].mState.mStarted, 1);
}

TEST_F(Profiles, CurrentCountryStaysWithinTheStorySets) {
    auto country = [&](const char* value) {
        Read(OneProfile("", std::string("<game-state current-country=\"") + value + "\"/>"));
        return gProfiles[0].mState.mCurrentCountry;
    };
    LoadSmallCatalogue(20);
    EXPECT_EQ(country("13"), 12);
    EXPECT_EQ(country("-1"), 0);
    EXPECT_EQ(country("7"), 7);
    LoadSmallCatalogue(2);
    EXPECT_EQ(country("13"), 1);
    EXPECT_EQ(country("1"), 1);
}

// Extra profiles, a third mode and stray elements are skipped; story sets
// beyond the catalogue are kept with their own puzzles.
TEST_F(Profiles, WhatTheCatalogueLacksIsSkippedButExtraSetsAreKept) {
    std::string text = "<profiles selected=\"8\"><puzzle completed=\"1\"/>";
    for (int i = 0; i < 9; ++i) text += "<profile name=\"p" + std::to_string(i) + "\"/>";
    text += "<set unlock=\"5\"/></profiles>";
    Read(text);
    EXPECT_EQ(gProfiles.size(), 8u);
    EXPECT_EQ(gProfiles[7].mName, L"p7");
    EXPECT_EQ(gSelectedProfile, -1);

    Read(OneProfile("", "<mode><set unlock=\"2\"><puzzle completed=\"1\"/><puzzle/></set><set unlock=\"1\"><puzzle/></set>"
                        "<set unlock=\"4\" introduced=\"1\"><puzzle best-time=\"9\"/></set></mode>"
                        "<mode/><mode><set unlock=\"9\"><puzzle completed=\"1\"/></set></mode>"));
    const auto& story = gProfiles[0].mState.mProgress[0];
    ASSERT_EQ(story.size(), 3u);
    EXPECT_EQ(story[2].mUnlock, 4);
    EXPECT_TRUE(story[2].mIntroduced);
    ASSERT_EQ(story[2].mPuzzles.size(), 1u);  // numbered from 0 in its own set
    EXPECT_EQ(story[2].mPuzzles[0].mBestTime, 9);
    EXPECT_TRUE(story[0].mPuzzles[0].mCompleted);
    EXPECT_EQ(gProfiles[0].mState.mProgress[1].size(), 1u);
    EXPECT_EQ(gProfiles[0].mState.mProgress[1][0].mUnlock, 0);
}

TEST_F(Profiles, CreateRenameAndSelect) {
    ProfileManager manager(false);
    for (int i = 0; i < 8; ++i) ProfileManager::CreateProfile(L"p" + std::to_wstring(i));
    EXPECT_EQ(gSelectedProfile, 7);
    EXPECT_EQ(mApp->mPlayerName, L"p7");
    EXPECT_EQ(mApp->mCodes.back(), L"p7");
    PlayerState* seven = &gProfiles[7].mState;
    EXPECT_EQ(gPlayerState, seven);
    EXPECT_EQ(gCurrentPlayerState, seven);
    EXPECT_EQ(seven->mVariables[L"player_name"].ToString(), L"p7");
    seven->mNumHints = 5;
    seven->mProgress[0][0].mPuzzles[0].mCompleted = true;

    ProfileManager::CreateProfile(L"ninth");  // every slot named: the last one is reused
    EXPECT_EQ(gProfiles[7].mName, L"ninth");
    EXPECT_EQ(gProfiles[7].mState.mNumHints, 0);
    EXPECT_FALSE(gProfiles[7].mState.mProgress[0][0].mPuzzles[0].mCompleted);
    EXPECT_EQ(gPlayerState, seven);  // replaced in place: the pointers stay good
    EXPECT_EQ(mApp->mPlayerName, L"ninth");

    gProfiles[3].mState.mNumHints = 4;
    ProfileManager::RenameProfile(3, L"p3");
    EXPECT_EQ(gProfiles[3].mState.mNumHints, 4);
    ProfileManager::RenameProfile(3, L"other");
    EXPECT_EQ(gProfiles[3].mState.mNumHints, 0);
    ProfileManager::RenameProfile(8, L"x");
    ProfileManager::RenameProfile(-1, L"x");
    ProfileManager::RenameProfile(2, L"");
    ProfileManager::CreateProfile(L"new");
    EXPECT_EQ(gSelectedProfile, 2);

    ProfileManager::SelectProfile(-1);
    EXPECT_EQ(gSelectedProfile, 2);
    ProfileManager::SelectProfile(8);
    EXPECT_EQ(gSelectedProfile, 2);
    EXPECT_EQ(ProfileManager::GetCurrentState(), &gProfiles[2].mState);

    ProfileManager::ClearProfiles();
    EXPECT_EQ(gPlayerState, nullptr);
    EXPECT_EQ(gCurrentPlayerState, nullptr);
    EXPECT_EQ(ProfileManager::GetCurrentState(), nullptr);
    EXPECT_FALSE(ProfileManager::Save());
}

// The loading thread reads and publishes the slots; nobody becomes the
// player there. The main thread selects the stored one, and the name's typed
// code runs there.
TEST_F(Profiles, TheStoredProfileIsSelectedOnTheMainThread) {
    WriteProfiles("<profiles selected=\"1\"><profile name=\"Bo\"/><profile name=\"Ana\"/></profiles>");
    std::thread loader([] { ProfileManager reader{ProfileManager::NoSelection{}}; });
    loader.join();
    EXPECT_EQ(gSelectedProfile, 1);
    EXPECT_EQ(gPlayerState, nullptr);
    EXPECT_EQ(gCurrentPlayerState, nullptr);
    EXPECT_TRUE(mApp->mCodes.empty());
    PlayerProgress::SelectStoredProfile();
    EXPECT_EQ(gPlayerState, &gProfiles[1].mState);
    ASSERT_EQ(mApp->mCodes.size(), 1u);
    EXPECT_EQ(mApp->mCodes[0], L"Ana");
    EXPECT_EQ(mApp->mPlayerName, L"Ana");
}

TEST_F(Profiles, CountsCompletedSetsAndPuzzles) {
    PlayerState s;
    EXPECT_EQ(s.CountCompletedSets(0), 0);
    s.mProgress[0][1].mPuzzles[0].mCompleted = true;
    s.mProgress[0][0].mPuzzles[0].mCompleted = true;
    EXPECT_EQ(s.CountCompletedSets(0), 1);
    EXPECT_EQ(s.CountCompletedPuzzles(0, 0), 1);
    s.mProgress[0][0].mPuzzles[1].mCompleted = true;
    EXPECT_EQ(s.CountCompletedSets(0), 2);
    s.mProgress[0].emplace_back();  // a set with no puzzles never counts
    EXPECT_EQ(s.CountCompletedSets(0), 2);
    EXPECT_EQ(s.CountCompletedPuzzles(0, 0), 2);
    EXPECT_EQ(s.CountCompletedPuzzles(0, 9), 0);
    EXPECT_EQ(s.CountCompletedPuzzles(2, 0), 0);
    EXPECT_EQ(s.CountCompletedSets(-1), 0);

    PlayerState copy = s;  // a deep copy
    copy.mVariables[L"x"] = ScriptValue(1);
    copy.mProgress[0][0].mPuzzles[0].mCompleted = false;
    EXPECT_TRUE(s.mVariables.empty());
    EXPECT_TRUE(s.mProgress[0][0].mPuzzles[0].mCompleted);
}

TEST_F(Profiles, ScreenSaverModeWritesNothing) {
    ProfileManager manager(false);
    ProfileManager::CreateProfile(L"Ana");
    mApp->mScreenSaverMode = true;
    EXPECT_FALSE(ProfileManager::Save());
    EXPECT_FALSE(FileExists(Path()));
    mApp->mScreenSaverMode = false;
    EXPECT_TRUE(ProfileManager::Save());
}

TEST_F(Profiles, ADamagedFileIsKeptAsideAndNeverOverwritten) {
    const std::string damaged = "<profiles selected=\"0\"><profile name=\"Ana\"><state num-hints=\"4\"><game";
    Read(damaged);
    ASSERT_FALSE(mDamagedCopy.empty());
    EXPECT_EQ(mDamagedCopy, Path() + ".damaged-1");
    std::string kept;
    ASSERT_TRUE(ReadFileToString(mDamagedCopy, kept));
    EXPECT_EQ(kept, damaged);
    // What could be read stays, and the next save goes to a new file.
    EXPECT_EQ(gProfiles[0].mName, L"Ana");
    EXPECT_FALSE(ProfileManager::IsSaveBlocked());
    ASSERT_TRUE(ProfileManager::Save());
    ASSERT_TRUE(ReadFileToString(mDamagedCopy, kept));
    EXPECT_EQ(kept, damaged);

    // A second damaged file takes the next free name; an empty file is damaged too.
    Read("not xml at all");
    EXPECT_EQ(mDamagedCopy, Path() + ".damaged-2");
    Read("");
    EXPECT_EQ(mDamagedCopy, Path() + ".damaged-3");
    EXPECT_EQ(gSelectedProfile, -1);
}

TEST_F(Profiles, AFailedSaveKeepsTheOldFile) {
    ProfileManager manager(false);
    ProfileManager::CreateProfile(L"Ana");
    ASSERT_TRUE(ProfileManager::Save());
    std::string old = ReadProfiles();
    ProfileManager::CreateProfile(L"Bo");

    if (!PlatformIsSuperUser()) {
        ASSERT_TRUE(PlatformSetReadOnly(mFolder, true));
        SetDebugOutputEnabled(false);
        EXPECT_FALSE(ProfileManager::Save());
        SetDebugOutputEnabled(true);
        PlatformSetReadOnly(mFolder, false);
        EXPECT_EQ(ReadProfiles(), old);
    }
    // A full disk in the middle of the write.
    ASSERT_TRUE(PlatformLimitFileSize(200));
    SetDebugOutputEnabled(false);
    bool wrote = ProfileManager::Save();
    SetDebugOutputEnabled(true);
    PlatformLimitFileSize(-1);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(ReadProfiles(), old);
}

// A save killed at any moment leaves either the old file or the new one.
TEST_F(Profiles, AKilledSaveLeavesAWholeFile) {
    ProfileManager manager(false);
    ProfileManager::CreateProfile(L"Ana");
    ASSERT_TRUE(ProfileManager::Save());
    for (int round = 0; round < 12; ++round) {
        int64_t child = PlatformStartChild([] {
            SetDebugOutputEnabled(false);
            for (int i = 0;; ++i) {
                gProfiles[0].mState.mNumHints = i % 2 ? 1 : 7;
                gProfiles[1].mName = i % 2 ? L"" : L"a much longer name";
                ProfileManager::Save();
            }
        });
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + round * 3));
        ASSERT_TRUE(PlatformKillChild(child));
        LoadFromDisk();
        EXPECT_TRUE(mDamagedCopy.empty()) << "round " << round;
        EXPECT_EQ(gProfiles[0].mName, L"Ana");
        int hints = gProfiles[0].mState.mNumHints;
        EXPECT_TRUE(hints == 0 || hints == 1 || hints == 7) << hints;
    }
    // What the kills left mid-write goes at the next start, with the lock held.
    PlatformRemoveAtomicWriteTemps(mFolder);
    std::vector<DirEntry> entries;
    PlatformListDirectory(mFolder, entries);
    for (const DirEntry& e : entries) EXPECT_EQ(e.name, "profiles.xml");
}

// Not damaged, only out of reach: reported, left where it is, never saved over.
TEST_F(Profiles, AFileThatCannotBeReadIsLeftAloneAndNotSavedOver) {
    for (const OddUserFile& c : OddUserFiles()) {
        fs::remove_all(Path());
        c.make(Path());
        auto before = fs::symlink_status(Path()).type();
        LoadFromDisk();
        EXPECT_TRUE(mDamagedCopy.empty()) << c.name;
        EXPECT_TRUE(ProfileManager::IsSaveBlocked()) << c.name;
        ProfileManager::CreateProfile(L"Ana");
        EXPECT_FALSE(ProfileManager::Save()) << c.name;
        EXPECT_EQ(fs::symlink_status(Path()).type(), before) << c.name;
    }
}

TEST_F(Profiles, PlayTimeAndCountersAreClampedOnRead) {
    Read(OneProfile("num-hints=\"-3\" hours=\"2147483647\" minutes=\"75\" centiseconds=\"2147483647\"",
                    "<mode><set unlock=\"2147483647\"><puzzle best-time=\"-9\"/></set></mode>"));
    PlayerState& s = gProfiles[0].mState;
    EXPECT_EQ(s.mNumHints, 0);
    EXPECT_EQ(s.mProgress[0][0].mUnlock, ProfileManager::kMaxCount);
    EXPECT_EQ(s.mProgress[0][0].mPuzzles[0].mBestTime, 0);
    // The clock is full: a step of play keeps it there instead of overflowing.
    for (int step = 0; step < 2; ++step) {
        EXPECT_EQ(s.mHours, INT32_MAX);
        EXPECT_EQ(s.mMinutes, 59);
        EXPECT_EQ(s.mCentiseconds, BasicPlayerState::kStepsPerMinute - 1);
        s.AdvancePlayTime();
    }
}

TEST_F(Profiles, TheReaderGivesATableOrAnErrorAndPublishingIsSeparate) {
    ProfileManager manager(false);
    ProfileManager::CreateProfile(L"Ana");
    ProfilesRead read = ProfileManager::ReadProfiles(
        "<profiles selected=\"1\"><profile name=\"x\"/><profile name=\"Bo\">\n<state <", "p.xml");
    EXPECT_NE(read.mError.find("on Line 2 in File 'p.xml'"), std::string::npos) << read.mError;
    EXPECT_EQ(read.mTable.mProfiles.size(), 8u);
    EXPECT_EQ(read.mTable.mProfiles[1].mName, L"Bo");  // what was read before the fault
    EXPECT_EQ(gProfiles[0].mName, L"Ana");               // nothing published yet
    EXPECT_EQ(gSelectedProfile, 0);
    ProfileManager::PublishProfiles(std::move(read.mTable));
    EXPECT_EQ(gProfiles[1].mName, L"Bo");
    EXPECT_EQ(gSelectedProfile, 1);
    EXPECT_EQ(gPlayerState, nullptr);  // pointed into the old table
    EXPECT_TRUE(ProfileManager::ReadProfiles("<profiles/>", "p.xml").mError.empty());
}
