#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puzzle/PlayPuzzleMenu.h"
#include "puzzle/PlayerState.h"
#include "screens/GameScreens.h"
#include "screens/MyGameApp.h"
#include "tests/support/AppHarness.h"

// The play screen with the screens that follow it counted instead of opened.
class TestPlayMenu : public PlayPuzzleMenu {
public:
    using PlayPuzzleMenu::PlayPuzzleMenu;
    std::vector<PlayResult> mCompleted, mFailed;
    int mMainMenu = 0;

protected:
    void OpenLevelComplete(const PlayResult& result) override { mCompleted.push_back(result); }
    void OpenLevelFail(const PlayResult& result) override { mFailed.push_back(result); }
    void OpenOptions() override {}
    void ReturnToMainMenu() override {
        ++mMainMenu;
        PlayPuzzleMenu::ReturnToMainMenu();
    }
};

// The game with its sounds recorded instead of played.
class PlayTestApp : public MyGameApp {
public:
    SoundManager* CreateSoundManager() override;
    // Whether the named sound was started.
    bool Played(const std::wstring& name);
};

// The real game with its data and catalogue, a new player on the "ipad"
// layout, and a play screen opened on a catalogue puzzle, played with real
// mouse and key events.
class PlayScreenTest : public ::testing::Test {
protected:
    PlayScreenTest() = default;
    explicit PlayScreenTest(AppHarness::Options options) : mHarness(std::move(options)) {}
    void SetUp() override;
    void TearDown() override;

    // Opens the screen and runs until play begins (or gives up).
    TestPlayMenu* Open(int mode, int set, int puzzle);
    PlayTileGrid& Grid() { return *mMenu->GetGrid(); }
    const PuzzleRecord& Record() const;
    bool IsTile(int x, int y) const;
    Point CellCentre(int x, int y);
    void ClickCell(int x, int y, MouseButton button = MouseButton::Left);
    // Clicks every tile but the last `keep` (in column order).
    void RevealTiles(int keep = 0);
    void Run(int steps) { mHarness.RunSteps(steps); }
    // Closes the notice over the screen; false when there is none.
    bool CloseNotice();
    // Runs step by step while the screen is in `state` (at most `limit` steps).
    int RunWhile(PlayPuzzleMenu::State state, int limit = 3000);
    // Closes every open menu and runs the steps that remove them.
    void CloseAll();
    // The player's progress in a set, and in one of its puzzles.
    static SetProgress& Set(int mode, int set);
    static PuzzleProgress& Puzzle(int mode, int set, int puzzle);

    // The stand-in a maker returns: the screen is counted by name, not opened.
    Menu* Record(std::string name) {
        mOpened.push_back(std::move(name));
        return new Menu(L"");
    }
    // The screens that follow a puzzle recorded by name (with their set and
    // puzzle) instead of opened: "loading 1", "map", "map harbor", "final",
    // "select 1", "sets 1 last", "puzzle 1.2".
    void RecordFollowingScreens();

    AppHarness mHarness;
    std::vector<std::string> mOpened;
    PlayTestApp* mApp = nullptr;
    GameScreens mSavedScreens;
    TestPlayMenu* mMenu = nullptr;
};
