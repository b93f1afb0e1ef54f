// The screens after a played puzzle: the progress they record and the
// screen each way out opens.
#include "app/GameApp.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/PlayerProgress.h"
#include "screens/LevelCompleteMenu.h"
#include "screens/LevelFailMenu.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/NoticeMenu.h"

namespace {

class LevelResultsTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        RecordFollowingScreens();
    }
    int Last(int mode, int set) { return static_cast<int>(Set(mode, set).mPuzzles.size()) - 1; }
    // Presses the menu's status button as the player does.
    void Press(ButtonWidget* button) {
        ASSERT_NE(button, nullptr);
        ClickCentre(mHarness, *button);
        Run(2);
    }
    // A win recorded as the play screen records it, then its results with
    // the buttons placed (no picture to wait for).
    LevelCompleteMenu* Win(int mode, int set, int puzzle, bool first, int mistakes = 0, int hints = 0) {
        if (first) Puzzle(mode, set, puzzle).mCompleted = false;
        const WinRecord win = PlayerProgress::RecordWin(L"quiltro7", mode, set, puzzle, 125, mistakes, hints);
        EXPECT_EQ(win.mFirstCompletion, first);
        auto* menu = new LevelCompleteMenu(L"quiltro7", mode, set, puzzle, 125, mistakes, hints, nullptr, win);
        ShowMenu(menu);
        Run(40);
        return menu;
    }
};

}  // namespace

TEST_F(LevelResultsTest, APlayedWinRecordsTheStarsAndContinueClosesThePlayScreen) {
    ASSERT_EQ(Open(0, 1, 0)->GetState(), PlayPuzzleMenu::State::Playing);
    RevealTiles();
    RunWhile(PlayPuzzleMenu::State::Playing);
    ASSERT_EQ(mMenu->mCompleted.size(), 1u);
    const PlayResult& r = mMenu->mCompleted[0];
    auto* menu = new LevelCompleteMenu(r.mPuzzle.mGame, 0, 1, 0, r.mSeconds, r.mMistakes, r.mHintsUsed, r.mArtGrid,
                                       r.mWin);
    ShowMenu(menu);
    EXPECT_EQ(menu->GetArtHolder()->GetWidgets().size(), 1u) << "the picture moved to the results";
    Run(20);
    EXPECT_EQ(menu->GetOkButton(), nullptr) << "the script waits for the picture";
    for (int i = 0; i < 600 && !menu->GetOkButton(); ++i) Run(1);
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutHints);
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutMistakes);
    Press(menu->GetOkButton());
    EXPECT_EQ(mOpened, std::vector<std::string>{"select 1"});
    EXPECT_TRUE(Puzzle(0, 1, 0).mCompleted);
    ASSERT_NE(gGameApp, nullptr);
    EXPECT_EQ(gGameApp->GetOpenMenus().size(), 1u) << "only the screen opened next stays";
}

// The stars tell of the latest win; the summary of the last story set's last
// puzzle opens the bonus set and says so.
TEST_F(LevelResultsTest, TheSummaryRecordsTheLatestStarsAndOpensTheBonusSetAfterTheStory) {
    LevelCompleteMenu* menu = Win(0, 1, 0, true, 0, 0);
    EXPECT_EQ(menu->GetVariable(L"puzzle_time").ToString(), L"Time: 2:05");
    EXPECT_TRUE(Puzzle(0, 1, 0).mWithoutHints);
    menu = Win(0, 1, 0, false, 2, 1);
    EXPECT_FALSE(Puzzle(0, 1, 0).mWithoutHints) << "a later win with a hint clears the star";
    EXPECT_FALSE(Puzzle(0, 1, 0).mWithoutMistakes);
    EXPECT_TRUE(menu->GetVariable(L"was_without_hints").ToBool());
    CloseAll();
    const int before = Set(1, 0).mUnlock;
    Win(0, 3, Last(0, 3), true);
    EXPECT_EQ(Set(1, 0).mUnlock, before + 1);
    EXPECT_NE(TopMenu<NoticeMenu>(), nullptr);
}

// Each row: a first or repeated win, then "ok"; what opens and what unlocks.
TEST_F(LevelResultsTest, ContinueOpensTheNextScreenAndUnlocks) {
    struct Row {
        int mode, set, puzzle;  // puzzle -1: the set's last
        bool first;
        std::string opened;
        int unlockMode, unlockSet, unlock;  // expected afterwards
    };
    const Row rows[] = {
        {0, 0, 0, true, "puzzle 0.1", 0, 0, 2},          // the linear set opens the next at once
        {0, 0, -1, true, "loading 1", 0, 1, 1},          // and the next set after its last
        {0, 1, 0, true, "select 1", 0, 1, 2},            // other sets go back to their puzzles, the next open
        {0, 1, -1, true, "map", 0, 2, 2},                // a set's last puzzle opens the next set
        {0, 1, -1, false, "loading 1", 0, 2, 1},         // a repeat unlocks nothing
        {0, 2, -1, true, "map", 0, 3, 2},
        {0, 3, -1, true, "final", 0, 3, 1},              // the last story set ends the story
        {1, 0, -1, true, "sets 1 last", 1, 0, 1},        // the last bonus set
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.opened);
        mOpened.clear();
        for (int set : {2, 3}) Set(0, set).mUnlock = 1;
        Set(1, 0).mUnlock = 1;
        const int puzzle = row.puzzle < 0 ? Last(row.mode, row.set) : row.puzzle;
        LevelCompleteMenu* menu = Win(row.mode, row.set, puzzle, row.first);
        CloseNotice();
        Press(menu->GetOkButton());
        EXPECT_EQ(mOpened, std::vector<std::string>{row.opened});
        EXPECT_EQ(Set(row.unlockMode, row.unlockSet).mUnlock, row.unlock);
        EXPECT_TRUE(Puzzle(row.mode, row.set, puzzle).mCompleted);
        CloseAll();
    }
}

TEST_F(LevelResultsTest, TheFailScreenRetriesOrLeaves) {
    for (const bool retry : {true, false}) {
        mOpened.clear();
        auto* menu = new LevelFailMenu(L"quiltro7", 0, 1, 2, 30, 3, 0);
        ShowMenu(menu);
        Run(40);
        Press(retry ? menu->GetOkButton() : menu->GetQuitButton());
        EXPECT_EQ(mOpened, std::vector<std::string>{retry ? "puzzle 1.2" : "select 1"});
        EXPECT_FALSE(IsMenuOpen(menu));
        CloseAll();
    }
}
