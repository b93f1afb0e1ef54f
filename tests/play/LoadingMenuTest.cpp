// The loading screens: their worker, its abort flag and the hand-off.
#include <atomic>
#include <chrono>
#include <thread>

#include "app/GameApp.h"
#include "puzzle/PlayerState.h"
#include "screens/LevelIntroMenu.h"
#include "screens/LoadingMenu.h"
#include "screens/MyPlayScreen.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/Checkbox.h"

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
    GatedLoadingMenu* Load(Gate& gate, int set, int puzzle, bool mayShowIntro = false) {
        auto* loading = new GatedLoadingMenu(gate, set, puzzle, mayShowIntro);
        ShowMenu(loading);
        return loading;
    }
    // Runs until the loading screen has handed off (or gives up).
    void RunUntilClosed(const Menu* loading) {
        mHarness.RunUntil([loading] { return !IsMenuOpen(loading); }, 2000);
    }
    // A load whose worker is not held, run until the screen has handed off.
    void LoadAndHandOff(int set, int puzzle, bool mayShowIntro = false) {
        Gate gate;
        gate.release = true;
        RunUntilClosed(Load(gate, set, puzzle, mayShowIntro));
    }
};

}  // namespace

// The screen waits, white once its intro is over, for its worker, then opens
// the puzzle; left early, it stops the worker and waits for it.
TEST_F(LoadingMenuTest, TheScreenWaitsForItsWorkerOrStopsItWhenLeftEarly) {
    for (const bool leave : {false, true}) {
        SCOPED_TRACE(leave ? "left early" : "waited for");
        Gate gate;
        GatedLoadingMenu* loading = Load(gate, 1, 2);
        Run(leave ? 5 : 60);
        if (leave) {
            loading->RemoveSelf();
            Run(3);
            EXPECT_TRUE(gate.sawAbort) << "the worker was told to stop and had stopped";
            // Pointer motion over what was the loading screen.
            mHarness.MouseMove(300, 300);
            Run(2);
        } else {
            EXPECT_TRUE(loading->IsIntroFinished());
            EXPECT_FALSE(loading->IsLoaded());
            EXPECT_TRUE(IsMenuOpen(loading)) << "the intro is over but the assets are not";
            gate.release = true;
            RunUntilClosed(loading);
            EXPECT_FALSE(gate.sawAbort);
        }
        EXPECT_EQ(MyPlayScreen::FindOpen() != nullptr, !leave);
        CloseAll();
    }
}

// Loaders that overlap count themselves in and out: the first to finish
// does not report the application idle while the other still loads.
TEST_F(LoadingMenuTest, OverlappingLoadersKeepTheApplicationBusyUntilTheLastEnds) {
    Gate first, second;
    Load(first, 1, 2);
    Load(second, 1, 3);
    Run(2);
    auto waitFor = [&](int count) {
        for (int i = 0; i < 2000 && gGameApp->mLoaderRunning != count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return gGameApp->mLoaderRunning.load();
    };
    EXPECT_EQ(waitFor(2), 2);
    first.release = true;
    EXPECT_EQ(waitFor(1), 1);
    second.release = true;
    EXPECT_EQ(waitFor(0), 0);
    CloseAll();
}

TEST_F(LoadingMenuTest, PuzzlesAlternateTheSetsTwoMusicEntries) {
    gPlayerState->mCurrentTrack = 0;
    const int expected[][2] = {{1, 2}, {1, 3}, {0, 1}};  // set, puzzle; the track goes 1, 0, 1
    for (int i = 0; i < 3; ++i) {
        LoadAndHandOff(expected[i][0], expected[i][1]);
        EXPECT_EQ(gPlayerState->mCurrentTrack, (i + 1) % 2);
        CloseAll();
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
    LoadAndHandOff(0, 0, true);
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
