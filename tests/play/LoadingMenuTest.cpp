// The loading screens: their worker, its abort flag and the hand-off.
#include <atomic>
#include <chrono>
#include <thread>

#include "app/GameApp.h"
#include "puzzle/PlayerState.h"
#include "screens/LevelIntroMenu.h"
#include "screens/LoadingMenu.h"
#include "widgets/Checkbox.h"
#include "screens/MyPlayScreen.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"

namespace {

// A loader that holds the worker until the test releases it or the screen
// aborts it.
struct Gate {
    std::atomic<bool> release{false};
    std::atomic<bool> sawAbort{false};
};

class GatedLoadingMenu : public PuzzleLoadingMenu {
public:
    GatedLoadingMenu(Gate& gate, int set, int puzzle, bool mayShowIntro = false)
        : PuzzleLoadingMenu(L"quiltro7", 0, set, puzzle, mayShowIntro), mGate(gate) {}

protected:
    void LoadAssets(AssetList&, const std::atomic<bool>& abort) override {
        while (!mGate.release && !abort) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        mGate.sawAbort = abort.load();
    }

private:
    Gate& mGate;
};

class LoadingMenuTest : public PlayScreenTest {
protected:
    // Runs until the loading screen has handed off (or gives up).
    void RunUntilClosed(const Menu* loading) {
        for (int i = 0; i < 2000 && IsMenuOpen(loading); ++i) {
            Run(1);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    static void CloseAll() {
        for (Menu* open : gGameApp->GetOpenMenus()) open->RemoveSelf();
    }
};

}  // namespace

TEST_F(LoadingMenuTest, TheScreenWaitsWhiteForItsWorkerThenOpensThePuzzle) {
    Gate gate;
    auto* loading = new GatedLoadingMenu(gate, 1, 2);
    ShowMenu(loading);
    Run(60);
    EXPECT_TRUE(loading->IsIntroFinished());
    EXPECT_FALSE(loading->IsLoaded());
    EXPECT_TRUE(IsMenuOpen(loading)) << "the intro is over but the assets are not";
    gate.release = true;
    RunUntilClosed(loading);
    EXPECT_FALSE(gate.sawAbort);
    EXPECT_NE(MyPlayScreen::FindOpen(), nullptr);
}

TEST_F(LoadingMenuTest, LeavingEarlyStopsTheWorkerAndWaitsForIt) {
    Gate gate;
    auto* loading = new GatedLoadingMenu(gate, 1, 2);
    ShowMenu(loading);
    Run(5);
    loading->RemoveSelf();
    Run(3);
    EXPECT_TRUE(gate.sawAbort) << "the worker was told to stop and had stopped";
    EXPECT_EQ(MyPlayScreen::FindOpen(), nullptr);
    // Pointer motion over what was the loading screen.
    mHarness.MouseMove(300, 300);
    mHarness.DrainInput();
    Run(2);
}

TEST_F(LoadingMenuTest, PuzzlesAlternateTheSetsTwoMusicEntries) {
    gPlayerState->mCurrentTrack = 0;
    const int expected[][2] = {{1, 2}, {1, 3}, {0, 1}};  // set, puzzle; the track goes 1, 0, 1
    for (int i = 0; i < 3; ++i) {
        Gate gate;
        gate.release = true;
        auto* loading = new GatedLoadingMenu(gate, expected[i][0], expected[i][1]);
        ShowMenu(loading);
        RunUntilClosed(loading);
        EXPECT_EQ(gPlayerState->mCurrentTrack, (i + 1) % 2);
        CloseAll();
        Run(3);
    }
    const std::vector<std::wstring> two{L"a", L"b"}, one{L"a"};
    EXPECT_EQ(PuzzleLoadingMenu::MusicEntry(two, 1), L"b");
    EXPECT_EQ(PuzzleLoadingMenu::MusicEntry(one, 1), L"a");
    EXPECT_EQ(PuzzleLoadingMenu::MusicEntry({}, 0), L"");
}

TEST_F(LoadingMenuTest, EarlyStoryPuzzlesShowTheirCardOnceUnlessTipsAreOff) {
    // Cards below set 0, puzzle 2 ("max_intro_set", "max_intro_puzzle").
    struct Row { int mode, set, puzzle; bool may, tipsOff, shows; };
    const Row rows[] = {{0, 0, 1, true, false, true},  {0, 0, 2, true, false, false}, {0, 1, 0, true, false, false},
                        {1, 0, 0, true, false, false}, {0, 0, 0, false, false, false}, {0, 0, 0, true, true, false}};
    for (const Row& row : rows) {
        gPlayerState->mDisableTips = row.tipsOff;
        PuzzleLoadingMenu menu(L"quiltro7", row.mode, row.set, row.puzzle, row.may);
        EXPECT_EQ(menu.ShowsIntro(), row.shows) << row.mode << " " << row.set << " " << row.puzzle;
    }
    gPlayerState->mDisableTips = false;
    Gate gate;
    gate.release = true;
    auto* loading = new GatedLoadingMenu(gate, 0, 0, true);
    ShowMenu(loading);
    RunUntilClosed(loading);
    auto* card = dynamic_cast<LevelIntroMenu*>(gGameApp->GetActiveMenu());
    ASSERT_NE(card, nullptr);
    ASSERT_NE(card->GetCheckbox(), nullptr);
    EXPECT_FALSE(card->GetCheckbox()->IsChecked());
    card->GetCheckbox()->SetChecked(true);
    EXPECT_TRUE(gPlayerState->mDisableTips);
    card->DoAction(L"ok", L"", 0);
    card->DoAction(L"ok", L"", 0);  // a second press of a closing card opens nothing more
    Run(2);
    int loadingScreens = 0;
    for (Menu* open : gGameApp->GetOpenMenus()) loadingScreens += dynamic_cast<PuzzleLoadingMenu*>(open) != nullptr;
    EXPECT_EQ(loadingScreens, 1);
}
