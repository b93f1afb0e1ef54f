// The owner of player progress: its rules started from earlier progress (a
// replay never lowers anything), what is on disk when each call returns, and
// how a save that fails or a damaged file is told.
#include <gtest/gtest.h>

#include <memory>

#include "app/GameApp.h"
#include "core/FileUtil.h"
#include "core/Log.h"
#include "data/Constants.h"
#include "platform/FileSystem.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

namespace {

class TestApp : public GameApp {
public:
    TestApp() : GameApp("Quiltro Test", "v1.2", 1024, 768) {}
    void HandleTypedCode(const std::wstring&) override {}
};

// Story: the lessons (2), three wings of 3, 2 and 2 puzzles; bonus: one set of 2.
void LoadStory() {
    auto set = [](int puzzles) {
        std::string xml = "<set>";
        for (int i = 0; i < puzzles; ++i) xml += "<puzzle><grid>1</grid></puzzle>";
        return xml + "</set>";
    };
    PuzzleStats puzzles(false);
    ASSERT_TRUE(puzzles.LoadText("<p><game name=\"quiltro7\"><mode>" + set(2) + set(3) + set(2) + set(2) +
                                     "</mode><mode>" + set(2) + "</mode></game></p>",
                                 "p.xml"));
    puzzles.Publish();
    SetStats sets(false);
    ASSERT_TRUE(sets.LoadText("<sets><game name=\"quiltro7\"><mode><set name=\"lessons\"/><set name=\"a\"/>"
                              "<set name=\"b\"/><set name=\"c\"/></mode><mode><set name=\"x\"/></mode></game></sets>",
                              "s.xml"));
    sets.Publish();
    PublishConstants({{L"sets_before_extra_puzzles", 4}});
}

class PlayerProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = PlatformMakeTempDirectory("quiltro7-progress-");
        ASSERT_FALSE(mFolder.empty());
        mApp = std::make_unique<TestApp>();
        mApp->mAppDataFolder = mFolder + "/";
        LoadStory();
        ProfileManager::ClearProfiles();
        mManager = std::make_unique<ProfileManager>(false);
        PlayerProgress::ResetSession();
        PlayerProgress::SetNotice([this](const std::wstring& key, const std::string& a, const std::string& b) {
            mNotices.push_back({key, a, b});
        });
        PlayerProgress::CreateProfile(L"Ana");
        ASSERT_NE(gPlayerState, nullptr);
    }
    void TearDown() override {
        PlayerProgress::SetNotice(nullptr);
        PlayerProgress::ResetSession();
        ProfileManager::ClearProfiles();
        PublishConstants({});
        mApp.reset();
        PlatformRemoveTree(mFolder);
    }
    std::string Path() const { return mFolder + "/profiles.xml"; }
    std::string OnDisk() const {
        std::string text;
        ReadFileToString(Path(), text);
        return text;
    }
    // The slots as the next start reads them.
    void Restart() {
        ProfileManager::ClearProfiles();
        ProfileManager reader{ProfileManager::NoSelection{}};
        PlayerProgress::SelectStoredProfile();
    }
    SetProgress& Set(int mode, int set) { return gPlayerState->mProgress[mode][static_cast<size_t>(set)]; }
    PuzzleProgress& Puzzle(int mode, int set, int puzzle) {
        return Set(mode, set).mPuzzles[static_cast<size_t>(puzzle)];
    }
    WinRecord Win(int mode, int set, int puzzle, int seconds = 30, int mistakes = 0, int hints = 0) {
        return PlayerProgress::RecordWin(L"quiltro7", mode, set, puzzle, seconds, mistakes, hints);
    }

    struct Notice {
        std::wstring key;
        std::string first, second;
    };
    std::string mFolder;
    std::unique_ptr<TestApp> mApp;
    std::unique_ptr<ProfileManager> mManager;
    std::vector<Notice> mNotices;
};

}  // namespace

// A player far into the story replays the lessons and earlier wings: no
// unlock count goes down, and nothing completed comes undone.
TEST_F(PlayerProgressTest, ReplaysNeverLowerWhatWasOpened) {
    for (int set = 0; set < 4; ++set)
        for (PuzzleProgress& p : Set(0, set).mPuzzles) p.mCompleted = true;
    const int opened[] = {2, 3, 2, 2};
    for (int set = 0; set < 4; ++set) Set(0, set).mUnlock = opened[set] + 3;  // beyond the puzzles, as codes leave it
    Set(1, 0).mUnlock = 2;
    gPlayerState->mCurrentCountry = 3;

    for (int puzzle : {0, 1}) {
        const WinRecord win = Win(0, 0, puzzle);
        EXPECT_TRUE(win.mLinearSet);
        EXPECT_FALSE(win.mFirstCompletion);
    }
    Win(0, 1, 2);  // a wing's last puzzle again
    Win(0, 3, 1);  // the story's last puzzle again
    for (int set = 0; set < 4; ++set) EXPECT_EQ(Set(0, set).mUnlock, opened[set] + 3) << set;
    EXPECT_EQ(Set(1, 0).mUnlock, 2);
    EXPECT_EQ(gPlayerState->CountCompletedSets(0), 4);

    // With counts just at what is open: the lessons' rules ask for less than
    // the player has and take the larger.
    Set(0, 0).mUnlock = 2;
    Set(0, 1).mUnlock = 3;
    Win(0, 0, 1);
    EXPECT_EQ(Set(0, 1).mUnlock, 3) << "the next set keeps its three open puzzles";
    Win(0, 0, 0);
    EXPECT_EQ(Set(0, 0).mUnlock, 2);
}

// Completion, best time, the latest win's stars and every unlock are on
// disk when the win returns, before any results screen; a best time only
// improves.
TEST_F(PlayerProgressTest, AWinIsWrittenWholeAtOnce) {
    Set(0, 1).mUnlock = 1;
    WinRecord win = Win(0, 1, 0, 95, 0, 0);
    EXPECT_TRUE(win.mFirstCompletion);
    EXPECT_FALSE(win.mBefore.mCompleted);
    Restart();
    EXPECT_TRUE(Puzzle(0, 1, 0).mCompleted);
    EXPECT_EQ(Puzzle(0, 1, 0).mBestTime, 95);
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutHints && Puzzle(0, 1, 0).mWithoutMistakes);
    EXPECT_EQ(Set(0, 1).mUnlock, 2) << "the next puzzle opened with the win";

    win = Win(0, 1, 0, 120, 2, 1);
    EXPECT_FALSE(win.mFirstCompletion);
    EXPECT_TRUE(win.mBefore.mWithoutHints);
    Restart();
    EXPECT_TRUE(Puzzle(0, 1, 0).mCompleted);
    EXPECT_EQ(Puzzle(0, 1, 0).mBestTime, 95);
    EXPECT_FALSE(Puzzle(0, 1, 0).mWithoutHints) << "the stars tell of the latest win";
    EXPECT_FALSE(Puzzle(0, 1, 0).mWithoutMistakes);

    // A wing's last puzzle opens the next wing; the story's last, the bonus set.
    for (int puzzle = 1; puzzle < 3; ++puzzle) Win(0, 1, puzzle);
    Restart();
    EXPECT_EQ(Set(0, 2).mUnlock, 1);
    Set(0, 3).mUnlock = 2;
    Win(0, 3, 0);
    win = Win(0, 3, 1);
    EXPECT_TRUE(win.mFinishedSet && win.mOpenedBonus);
    Restart();
    EXPECT_EQ(Set(1, 0).mUnlock, 1);
    EXPECT_EQ(Set(0, 3).mUnlock, 2) << "the last set opens nothing after it";
}

// The lessons one after another: each opens the next, the last the first wing.
TEST_F(PlayerProgressTest, TheLessonsLeadIntoTheFirstWing) {
    PlayerProgress::BeginLessons();
    WinRecord win = Win(0, 0, 0);
    EXPECT_EQ(win.mNextPuzzle, 1);
    EXPECT_EQ(win.mNextSet, -1);
    win = Win(0, 0, 1);
    EXPECT_EQ(win.mNextSet, 1);
    Restart();
    EXPECT_EQ(Set(0, 0).mUnlock, 2);
    EXPECT_EQ(Set(0, 1).mUnlock, 1);
    EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
}

// However the lessons end (played, declined, left for the menu, or passed by
// a second Play), the story's next Play leads to the first wing, and stays
// there.
TEST_F(PlayerProgressTest, EveryWayPastTheLessonsLeadsToTheFirstWing) {
    const std::function<void()> ways[] = {
        [] { PlayerProgress::DeclineLessons(); },
        [] {
            PlayerProgress::BeginLessons();
            PlayerProgress::LeaveLessons();
        },
        [this] {
            PlayerProgress::BeginLessons();
            Win(0, 0, 0);
            Win(0, 0, 1);
        },
        [] {},  // the letter read, then Play again
    };
    int way = 0;
    for (const auto& pass : ways) {
        SCOPED_TRACE(way++);
        PlayerProgress::CreateProfile(L"P" + std::to_wstring(way));
        EXPECT_EQ(PlayerProgress::EnterStory(), StoryEntry::Letter);
        PlayerProgress::ReadStoryLetter();
        pass();
        for (int play = 0; play < 2; ++play) {
            PlayerProgress::SetMode(0);
            EXPECT_EQ(PlayerProgress::EnterStory(), StoryEntry::SetLoading);
            EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
        }
        EXPECT_FALSE(PlayerProgress::IsInLessons());
        EXPECT_GE(Set(0, 1).mUnlock, 1);
        EXPECT_EQ(Set(0, 2).mUnlock, 0) << "the second wing waits for the first";
    }
}

// The codes set counts: "kestovai" and "zebrulan" open every puzzle (the
// second completes them too); "morvinta" puts every set of both modes at its
// first puzzle, closing one opened further; each is saved.
TEST_F(PlayerProgressTest, CodesSetTheUnlockCounts) {
    PlayerProgress::OpenAllPuzzles(true);
    EXPECT_EQ(gPlayerState->CountCompletedSets(0), 4);
    EXPECT_EQ(Set(0, 1).mUnlock, 3);
    EXPECT_EQ(Set(1, 0).mUnlock, 2);
    Restart();
    EXPECT_EQ(gPlayerState->CountCompletedSets(1), 1);

    Set(0, 2).mUnlock = 0;
    PlayerProgress::OpenEverySet();
    Restart();
    for (int set = 0; set < 4; ++set) EXPECT_EQ(Set(0, set).mUnlock, 1) << set;
    EXPECT_EQ(Set(1, 0).mUnlock, 1);
    EXPECT_EQ(gPlayerState->CountCompletedSets(0), 4) << "completions stay";
}

// The "no mistakes" star needs none at all: one mistake loses it.
TEST_F(PlayerProgressTest, OneMistakeLosesTheNoMistakesStar) {
    Set(0, 1).mUnlock = 3;
    Win(0, 1, 0, 30, 0, 0);
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutMistakes);
    Win(0, 1, 0, 30, 1, 0);
    EXPECT_FALSE(Puzzle(0, 1, 0).mWithoutMistakes);
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutHints);
    Win(0, 1, 1, 30, 1, 0);
    Restart();
    EXPECT_FALSE(Puzzle(0, 1, 1).mWithoutMistakes);
}

// Made, renamed, deleted, selected: each on disk when the call returns.
TEST_F(PlayerProgressTest, ProfileChangesAreOnDiskAtOnce) {
    EXPECT_NE(OnDisk().find("<profiles selected=\"0\"><profile name=\"Ana\">"), std::string::npos);
    PlayerProgress::NameProfile(3, L"Bo");
    EXPECT_NE(OnDisk().find("<profiles selected=\"3\">"), std::string::npos);
    EXPECT_NE(OnDisk().find("name=\"Bo\""), std::string::npos);
    PlayerProgress::DeleteProfile(0);
    EXPECT_EQ(OnDisk().find("name=\"Ana\""), std::string::npos);
    EXPECT_NE(OnDisk().find("<profiles selected=\"-1\">"), std::string::npos);
    EXPECT_EQ(gPlayerState, nullptr);
    PlayerProgress::NameProfile(3, L"Bo");
    Restart();
    EXPECT_EQ(gSelectedProfile, 3);
    EXPECT_EQ(gProfiles[0].mName, L"");
}

// The disk refuses a save: the old file stays whole, the player is told once
// (the folder and the reason), later saves still try and a success is quiet.
TEST_F(PlayerProgressTest, AFailedSaveIsToldOnceAndRetried) {
    const std::string before = OnDisk();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(PlatformRemoveFile(Path()));
    ASSERT_TRUE(PlatformMakeDirectory(Path()));  // nothing can replace a folder
    SetDebugOutputEnabled(false);
    PlayerProgress::SpendHint();  // an empty pool: nothing changes, nothing saved
    EXPECT_TRUE(mNotices.empty());
    PlayerProgress::SetHintPool(2);
    EXPECT_TRUE(PlayerProgress::SpendHint());
    Win(0, 1, 0);
    SetDebugOutputEnabled(true);
    ASSERT_EQ(mNotices.size(), 1u);
    EXPECT_EQ(mNotices[0].key, L"save_failed");
    EXPECT_EQ(mNotices[0].first, mFolder);
    EXPECT_FALSE(mNotices[0].second.empty());
    std::vector<DirEntry> entries;
    PlatformListDirectory(mFolder, entries);
    EXPECT_EQ(entries.size(), 1u) << "no temporary file left";

    PlatformRemoveTree(Path());
    PlayerProgress::SaveSettings();
    EXPECT_EQ(mNotices.size(), 1u);
    EXPECT_NE(OnDisk().find("completed=\"1\""), std::string::npos) << "the retry wrote the win";
}

// A failure is told when it follows a success: fail, succeed, fail is two
// notices, and failures in a row stay one. The same for settings.xml, whose
// writes the application reports, and a write it could not make at exit is
// told as such.
TEST_F(PlayerProgressTest, EachFailingStretchIsToldOnce) {
    auto failNow = [this] {
        PlatformRemoveFile(Path());
        ASSERT_TRUE(PlatformMakeDirectory(Path()));  // nothing can replace a folder
    };
    SetDebugOutputEnabled(false);
    failNow();
    PlayerProgress::SetHintPool(3);
    PlayerProgress::SpendHint();
    PlayerProgress::SpendHint();
    EXPECT_EQ(mNotices.size(), 1u);
    PlatformRemoveTree(Path());
    PlayerProgress::SaveSettings();
    EXPECT_EQ(mNotices.size(), 1u) << "a success says nothing";
    failNow();
    Win(0, 1, 0);
    PlayerProgress::SpendHint();
    ASSERT_EQ(mNotices.size(), 2u) << "the win after a success was lost silently";
    EXPECT_EQ(mNotices[1].key, L"save_failed");
    EXPECT_EQ(mNotices[1].first, mFolder);

    mNotices.clear();
    PlayerProgress::SettingsWritten(false, "No space left on device");
    PlayerProgress::SettingsWritten(false, "No space left on device");
    PlayerProgress::SettingsWritten(true, "");
    PlayerProgress::SettingsWritten(false, "Read-only file system");
    SetDebugOutputEnabled(true);
    ASSERT_EQ(mNotices.size(), 2u);
    EXPECT_EQ(mNotices[0].key, L"settings_save_failed");
    EXPECT_EQ(mNotices[0].first, mFolder);
    EXPECT_EQ(mNotices[0].second, "no space left on device");
    EXPECT_EQ(mNotices[1].second, "read-only file system");
    PlayerProgress::TellSettingsLostAtExit("No space left on device");
    ASSERT_EQ(mNotices.size(), 3u);
    EXPECT_EQ(mNotices[2].key, L"settings_lost");
}

// A profiles.xml that cannot be read blocks every save: one notice says so,
// and no save after it adds another (none can succeed and end the stretch).
TEST_F(PlayerProgressTest, AnUnreadableFileIsToldOnce) {
    PlatformRemoveFile(Path());
    ASSERT_TRUE(PlatformMakeFifo(Path()));
    SetDebugOutputEnabled(false);
    Restart();
    PlayerProgress::CreateProfile(L"Bo");
    PlayerProgress::SetHintPool(2);
    PlayerProgress::SpendHint();
    SetDebugOutputEnabled(true);
    EXPECT_EQ(mNotices.size(), 1u);
    if (!mNotices.empty()) {
        EXPECT_EQ(mNotices[0].key, L"profiles_unreadable");
    }
    // The next start reads a file again (saves are not blocked for the tests after).
    PlatformRemoveFile(Path());
    Restart();
}

// The code that quits without saving stops every save of the run: a name
// given as the code is tried before it is saved and never reaches the file.
TEST_F(PlayerProgressTest, NothingIsSavedOnceSavingStopped) {
    const std::string before = OnDisk();
    PlayerProgress::CreateProfile(L"haltrimo", [] { PlayerProgress::StopSaving(); });
    EXPECT_EQ(OnDisk(), before);
    PlayerProgress::NameProfile(2, L"Bo");
    PlayerProgress::SaveAndClose(true);
    EXPECT_EQ(OnDisk(), before);
    EXPECT_TRUE(mNotices.empty());
}

// One stray byte in UTF-8 text: the file is damaged, not Latin-1. It is kept
// aside as it was, the player is told, every name reads right and the next
// save writes them as they were.
TEST_F(PlayerProgressTest, AStrayByteInUtf8IsDamageNotLatin1) {
    const std::string text = "<profiles selected=\"1\"><profile name=\"Jos\xC3\xA9\"/>"
                             "<profile name=\"Zo\xC3\xAB\"><state num-hints=\"4\"/></profile>"
                             "<profile name=\"\n\xFF\"/></profiles>";
    ASSERT_TRUE(WriteStringToFile(Path(), text));
    SetDebugOutputEnabled(false);
    Restart();
    SetDebugOutputEnabled(true);
    EXPECT_EQ(gProfiles[0].mName, L"Jos\u00E9");
    EXPECT_EQ(gProfiles[1].mName, L"Zo\u00EB");
    EXPECT_EQ(gProfiles[1].mState.mNumHints, 4);
    EXPECT_EQ(gSelectedProfile, 1);
    ASSERT_EQ(mNotices.size(), 1u);
    EXPECT_EQ(mNotices[0].key, L"profiles_damaged");
    EXPECT_NE(mNotices[0].first.find("on Line 2"), std::string::npos) << mNotices[0].first;
    EXPECT_EQ(mNotices[0].first.find(mFolder), std::string::npos) << "the path is long; the notice names the file";
    EXPECT_EQ(mNotices[0].second, "profiles.xml.damaged-1");
    std::string kept;
    ASSERT_TRUE(ReadFileToString(Path() + ".damaged-1", kept));
    EXPECT_EQ(kept, text);
    PlayerProgress::SaveSettings();
    EXPECT_NE(OnDisk().find("name=\"Jos\xC3\xA9\""), std::string::npos);
    EXPECT_NE(OnDisk().find("name=\"Zo\xC3\xAB\""), std::string::npos);

    // A file of single bytes alone is read as the Latin-1 it is.
    mNotices.clear();
    ASSERT_TRUE(WriteStringToFile(Path(), "<profiles selected=\"0\"><profile name=\"Jos\xE9\"/></profiles>"));
    Restart();
    EXPECT_EQ(gProfiles[0].mName, L"Jos\u00E9");
    EXPECT_TRUE(mNotices.empty());
}

// A win leaves the catalogue as it was loaded: no copy, no play state in it.
TEST_F(PlayerProgressTest, AWinLeavesTheCatalogueAlone) {
    const auto before = gPuzzleTable.Get();
    Win(0, 1, 0);
    EXPECT_EQ(gPuzzleTable.Get(), before);
}
