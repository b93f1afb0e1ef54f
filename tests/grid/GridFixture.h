#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/GameApp.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/PlayerState.h"
#include "tests/support/AppHarness.h"
#include "widgets/Widget.h"

// The screen a board is played on, as far as the board sees it.
class TestPlayScreen : public Widget, public PlayScreenLink {
public:
    TestPlayScreen();
    void DisableControls() override { ++mDisableCalls; }
    void ToggleTool() override { ++mToggleCalls; }
    WidgetContainer* GetEffectLayer() override { return mEffects; }
    void FailPuzzle() override { ++mFailCalls; }

    Widget* mEffects = nullptr;
    int mDisableCalls = 0;
    int mToggleCalls = 0;
    int mFailCalls = 0;
};

class TestHintMeter : public HintMeterLink {
public:
    Point GetTargetPoint() override { return Point(900, 100); }
    void UpdateFill(int amount) override { mFilled += amount; }
    int mFilled = 0;
};

class TestMistakeMeter : public MistakeMeterLink {
public:
    Point GetChancePoint(int index) override { return Point(900, 400 + 10 * index); }
    void ConsumeChance() override { ++mConsumed; }
    int mConsumed = 0;
};

// The real application with the game's data (assets of the "ipad" layout,
// constants, animations), a player and a 5 x 5 puzzle of our own:
//
//   y0  # # . # #      column clues: [2,2] [1,2] [] [2,2] [2,1]
//   y1  # . . # #      row clues:    [2,2] [1,2] [] [2,1] [2,2]
//   y2  . . . . .      (row 2 and column 2 are empty; 14 tiles)
//   y3  # # . # .
//   y4  # # . # #
//
// with mistakes 3, hints 3 and a hint reward of 2. The board is placed at
// (229, 259) with 80-pixel cells.
class GridTest : public ::testing::Test {
public:
    static constexpr int kTile = 80;
    static constexpr int kBoardX = 229;
    static constexpr int kBoardY = 259;
    static const wchar_t* const kGame;
    static const char* const kRows[5];

protected:
    void SetUp() override;
    void TearDown() override;

    // Installs a puzzle (rows of '#' and '.') as set 0, puzzle `index`.
    static void InstallPuzzle(int index, const std::vector<std::string>& rows);
    // A board for puzzle `index` on the test screen, with the meters (or not).
    PlayTileGrid* MakeBoard(int index = 0, bool meters = true);
    // The board as the play screen leaves it when the clue numbers are in.
    PlayTileGrid* StartBoard(int index = 0, bool meters = true);

    // Real mouse input at cell positions (screen coordinates of the centres).
    static int CellX(int x) { return kBoardX + x * kTile + kTile / 2; }
    static int CellY(int y) { return kBoardY + y * kTile + kTile / 2; }
    void ClickCell(int x, int y, MouseButton button = MouseButton::Left);
    // Presses on one cell and moves to another, the button held.
    void HoldLine(int fromX, int fromY, int toX, int toY, MouseButton button = MouseButton::Left);
    void DragLine(int fromX, int fromY, int toX, int toY, MouseButton button = MouseButton::Left);
    // Moves the pointer to a point of the screen.
    void PointAt(int x, int y);
    void Run(int steps) { mHarness.RunSteps(steps); }
    // Every cell animation and effect has run its course.
    void Settle() { Run(300); }

    static int DelayOf(AnimationWidget* widget);
    int CountDone() const;

    AppHarness mHarness;
    GameApp* mApp = nullptr;
    PlayerState mPlayer;
    TestPlayScreen* mScreen = nullptr;
    TestHintMeter mHintMeter;
    TestMistakeMeter mMistakeMeter;
    PlayTileGrid* mGrid = nullptr;
};
