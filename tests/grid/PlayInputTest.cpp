// The board as the view of the rules: pointer input becomes moves, and their
// outcomes become cell animations, effects and the end of play. The rules
// themselves are tested on the model (tests/puzzle/PuzzleModelTest.cpp).
#include <algorithm>

#include "data/AnimationStats.h"
#include "data/Constants.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/TrailWidget.h"
#include "tests/grid/GridFixture.h"
#include "widgets/NoticeMenu.h"
#include "widgets/WidgetManager.h"

namespace {
std::vector<TrailWidget*> Trails(TestPlayScreen& screen) {
    std::vector<TrailWidget*> out;
    for (Widget* w : screen.mEffects->GetWidgets())
        if (auto* t = dynamic_cast<TrailWidget*>(w)) out.push_back(t);
    return out;
}
}  // namespace

TEST_F(GridTest, BoardStartsDisabledAndTheIntroEnablesIt) {
    ASSERT_TRUE(MakeBoard());
    EXPECT_TRUE(mGrid->mDisabled);
    EXPECT_EQ(mGrid->GetRemainingTiles(), 14);
    EXPECT_EQ(mGrid->GetMistakesAllowed(), 3);
    ClickCell(0, 0);
    EXPECT_FALSE(mGrid->IsCellDone(0, 0)) << "no input before the numbers are in";
    mGrid->StartNumbersIntro();
    EXPECT_EQ(mGrid->GetNumberAlpha(), 0.0f);
    Run(200);
    EXPECT_FALSE(mGrid->mDisabled);
    EXPECT_EQ(mGrid->GetNumberAlpha(), 1.0f);
    for (Widget* child : mGrid->GetWidgets()) ADD_FAILURE() << "intro widget left: " << child->mId;
}

TEST_F(GridTest, SolvingBySingleRevealsEndsWithNoTileLeftAndNoCellAnimationRunning) {
    ASSERT_TRUE(StartBoard());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (kRows[y][x] == '#') ClickCell(x, y);
    EXPECT_EQ(mGrid->GetRemainingTiles(), 0);
    EXPECT_EQ(mGrid->GetMistakesMade(), 0);
    EXPECT_TRUE(mGrid->IsEnded());
    EXPECT_TRUE(mGrid->mDisabled);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    EXPECT_EQ(mScreen->mDisableCalls, 1);
    EXPECT_GT(mGrid->GetRunningCellAnimations(), 0) << "the last cells are still animating";
    Settle();
    EXPECT_EQ(mGrid->GetRunningCellAnimations(), 0);
    EXPECT_EQ(mHintMeter.mFilled, 14);
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 0);
    ClickCell(2, 2);
    EXPECT_FALSE(mGrid->IsCellDone(2, 2)) << "no input after the end";
}

TEST_F(GridTest, ALineBecomesCellAnimationsAndEffectsOneDelayStepApart) {
    ASSERT_TRUE(StartBoard());
    mPlayer.mMadeMistake = false;
    DragLine(0, 0, 4, 0);
    EXPECT_EQ(dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu()), nullptr) << "not while the player plays on";
    Run(1);
    EXPECT_EQ(mGrid->GetRemainingTiles(), 10);
    EXPECT_EQ(mGrid->GetMistakesMade(), 1);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    for (int x = 0; x < 5; ++x) {
        EXPECT_TRUE(mGrid->IsCellDone(x, 0)) << x;
        EXPECT_EQ(DelayOf(mGrid->GetCellWidget(x, 0)), 11 * x) << x;
    }
    std::vector<TrailWidget*> trails = Trails(*mScreen);
    ASSERT_EQ(trails.size(), 5u);
    int toMistakes = 0;
    for (TrailWidget* trail : trails) {
        const int x = (trail->GetVariable(L"source_x").ToInt() - kBoardX) / kTile;
        EXPECT_EQ(trail->GetVariable(L"source_y").ToInt(), CellY(0));
        EXPECT_EQ(DelayOf(trail), 11 * x);
        if (trail->GetVariable(L"target_x").ToInt() == 900 && trail->GetVariable(L"target_y").ToInt() == 400) {
            EXPECT_EQ(x, 2) << "the mistake flies to chance icon 0";
            ++toMistakes;
        }
    }
    EXPECT_EQ(toMistakes, 1);
    Run(kPlayNoticePauseSteps);
    auto* notice = dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu());
    ASSERT_NE(notice, nullptr) << "the first mistake tells the rule in the player's pause";
    EXPECT_EQ(notice->GetVariable(L"text_font").ToString(), L"menu");
    notice->RemoveSelf();
    notice->RemoveSelf();
    EXPECT_TRUE(mPlayer.mMadeMistake) << "told once";
    Settle();
    EXPECT_EQ(mMistakeMeter.mConsumed, 1);
    EXPECT_EQ(mHintMeter.mFilled, 4);
    EXPECT_EQ(mGrid->GetMistakeTrailsInFlight(), 0);
}

TEST_F(GridTest, TheLastMistakeDisablesTheBoardAndTheControlsOnce) {
    ASSERT_TRUE(StartBoard());
    ClickCell(2, 1);
    ClickCell(2, 3);
    EXPECT_FALSE(mGrid->mDisabled);
    DragLine(0, 0, 4, 0);
    EXPECT_TRUE(mGrid->IsEnded());
    EXPECT_TRUE(mGrid->mDisabled);
    EXPECT_EQ(mScreen->mDisableCalls, 1);
    EXPECT_EQ(DelayOf(mGrid->GetCellWidget(2, 0)), 22);
    EXPECT_EQ(mGrid->GetCellWidget(3, 0), nullptr) << "cells after the end stay as they were";
    Settle();
    EXPECT_EQ(mMistakeMeter.mConsumed, 3);
    EXPECT_EQ(mScreen->mDisableCalls, 1);
}

TEST_F(GridTest, ATieDragGoesVerticalAndASecondButtonCancelsTheLine) {
    ASSERT_TRUE(StartBoard());
    HoldLine(1, 1, 3, 3);
    EXPECT_EQ(mGrid->GetEndCell(), Point(1, 3)) << "|dx| == |dy| is vertical";
    PointAt(CellX(4), CellY(2));
    EXPECT_EQ(mGrid->GetEndCell(), Point(4, 1));
    PointAt(CellX(1) + 3, CellY(1) - 2);
    EXPECT_EQ(mGrid->GetEndCell(), Point(1, 1)) << "no movement is vertical";
    PointAt(900, 1000);  // far outside: clamped into the board
    EXPECT_EQ(mGrid->GetEndCell(), Point(1, 4));
    mHarness.MouseUp(900, 1000);
    mHarness.DrainInput();
    for (int y = 1; y < 5; ++y) EXPECT_TRUE(mGrid->IsCellDone(1, y)) << y;
    EXPECT_EQ(mGrid->GetMistakesMade(), 2);  // (1,1) and (1,2) are holes

    // A second button during a line cancels it; nothing is applied.
    HoldLine(3, 0, 3, 4);
    mHarness.MouseDown(CellX(3), CellY(4), MouseButton::Right);
    mHarness.DrainInput();
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    mHarness.MouseUp(CellX(3), CellY(4), MouseButton::Right);
    mHarness.MouseUp(CellX(3), CellY(4));
    mHarness.DrainInput();
    for (int y = 0; y < 5; ++y) EXPECT_FALSE(mGrid->IsCellDone(3, y)) << y;
}

TEST_F(GridTest, RightClicksWithToggleModeOrOneToolActOnNothing) {
    ASSERT_TRUE(StartBoard());
    mPlayer.mToggleMode = true;
    ClickCell(2, 0, MouseButton::Right);
    EXPECT_EQ(mScreen->mToggleCalls, 1);
    EXPECT_FALSE(mGrid->IsCellDone(2, 0));
    mPlayer.mToggleMode = false;
    mGrid->SetRightButtonOff(true);
    ClickCell(2, 0, MouseButton::Right);
    EXPECT_FALSE(mGrid->IsCellDone(2, 0));
    EXPECT_EQ(mScreen->mToggleCalls, 1);
    // The left button with the mark tool marks.
    mGrid->SetTool(Tool::Mark);
    ClickCell(2, 0);
    EXPECT_TRUE(mGrid->IsCellDone(2, 0));
    EXPECT_EQ(mGrid->GetMistakesMade(), 0);
    ClickCell(0, 0);
    EXPECT_EQ(mGrid->GetMistakesMade(), 1) << "marking a tile with the left button";
}

TEST_F(GridTest, InitGridHolesMarksTheEmptyRowAndColumnWithoutMistakes) {
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimations("properties/animations.xml")) << loader.GetErrorText();
    ASSERT_TRUE(loader.LoadAnimationsFromString(
        "<animations><animation name=\"test_holes\"><init-grid-holes/></animation></animations>", "t.xml"));
    loader.Publish();
    ASSERT_TRUE(MakeBoard());
    mGrid->InsertAnimationByName(L"test_holes");
    EXPECT_EQ(CountDone(), 9);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(mGrid->IsCellDone(2, i));
        EXPECT_TRUE(mGrid->IsCellDone(i, 2));
        EXPECT_NE(mGrid->GetCellWidget(2, i), nullptr);
    }
    EXPECT_TRUE(Trails(*mScreen).empty());
    Settle();
    EXPECT_EQ(mGrid->GetRunningCellAnimations(), 0);
}

TEST_F(GridTest, APressOnTheRightOrBottomEdgeDoesNothing) {
    ASSERT_TRUE(StartBoard());
    const int side = 5 * kTile;
    mHarness.Click(kBoardX + side, CellY(2));
    mHarness.Click(CellX(2), kBoardY + side);
    mHarness.DrainInput();
    EXPECT_EQ(CountDone(), 0);
    // The same presses delivered straight to the board (a captured pointer).
    mGrid->MouseDown(side, 10, 1);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    mGrid->MouseUpAt(side, 10, 1);
    mGrid->MouseDown(10, side, 1);
    mGrid->MouseDown(-1, 10, 1);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    EXPECT_EQ(CountDone(), 0);
    mGrid->MouseDown(side - 1, side - 1, 1);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::Reveal);
    mGrid->MouseUpAt(side - 1, side - 1, 1);
    EXPECT_TRUE(mGrid->IsCellDone(4, 4));
}

TEST_F(GridTest, AHintLandingDuringAHeldLineDoesNotReArmItAfterTheEnd) {
    // Two tiles left: a hint takes one, the player holds a line over the other.
    InstallPuzzle(1, {"##...", ".....", ".....", ".....", "....."});
    ASSERT_TRUE(StartBoard(1));
    mGrid->GiveHint(900, 100, 1);
    const bool hintOnFirst = mGrid->GetModel().IsClaimed(0, 0);
    const int other = hintOnFirst ? 1 : 0;
    const int hinted = hintOnFirst ? 0 : 1;
    ClickCell(other, 0);
    EXPECT_EQ(mGrid->GetRemainingTiles(), 1);
    HoldLine(2, 0, 4, 0);
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::Reveal);
    Settle();  // the hint lands during the hold and reveals the last tile
    EXPECT_TRUE(mGrid->IsCellDone(hinted, 0));
    EXPECT_TRUE(mGrid->IsEnded());
    EXPECT_EQ(mGrid->GetCurrentAction(), CellAction::None);
    mHarness.MouseUp(CellX(4), CellY(0));
    mHarness.DrainInput();
    for (int x = 2; x < 5; ++x) EXPECT_FALSE(mGrid->IsCellDone(x, 0)) << "no line after the win";
    EXPECT_EQ(mGrid->GetMistakesMade(), 0);
}

TEST_F(GridTest, SparklingTrailsAreCountedEachAndTheCapHolds) {
    VariableMap constants = *GetConstantsSnapshot();
    constants[L"max_trails_count"] = ScriptValue(1);
    PublishConstants(constants);
    ASSERT_TRUE(StartBoard());
    ClickCell(2, 0);  // a mistake trail: never sparkles, never counted
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 0);
    DragLine(0, 0, 1, 0);  // two revealed-tile trails, only one may sparkle
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 1);
    int sparkling = 0;
    for (TrailWidget* t : Trails(*mScreen)) sparkling += t->GetVariable(L"show_sparkles").ToInt();
    EXPECT_EQ(sparkling, 1);
    Settle();
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 0);
    mGrid->GiveHint(900, 100, 3);
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 1);
    Settle();
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 0);
}

TEST_F(GridTest, ACellWidgetRemovedBeforeItPersistsIsForgotten) {
    ASSERT_TRUE(StartBoard());
    ClickCell(0, 0);
    AnimationWidget* cell = mGrid->GetCellWidget(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(mGrid->GetRunningCellAnimations(), 1);
    cell->RemoveSelf();
    Run(1);
    EXPECT_EQ(mGrid->GetRunningCellAnimations(), 0);
}

TEST_F(GridTest, WithoutMetersTheRulesHoldAndNoEffectFlies) {
    ASSERT_TRUE(StartBoard(0, false));
    DragLine(0, 0, 4, 0);
    EXPECT_EQ(mGrid->GetMistakesMade(), 1);
    EXPECT_EQ(mGrid->GetRemainingTiles(), 10);
    EXPECT_TRUE(Trails(*mScreen).empty());
    Settle();
    EXPECT_EQ(mGrid->GetRunningCellAnimations(), 0);
}

TEST_F(GridTest, TheCursorFollowsTheToolWhileThePointerIsInside) {
    ASSERT_TRUE(StartBoard());
    auto* brush = new Widget();
    auto* shovel = new Widget();
    mScreen->AddWidget(brush);
    mScreen->AddWidget(shovel);
    mGrid->SetCursors(brush, shovel);
    mApp->SetCustomCursorsEnabled(true);
    PointAt(CellX(1), CellY(1));
    EXPECT_EQ(mApp->GetCursorImage(), brush);
    mGrid->SetTool(Tool::Mark);
    EXPECT_EQ(mApp->GetCursorImage(), shovel);
    PointAt(10, 10);
    EXPECT_EQ(mApp->GetCursorImage(), nullptr);
}

TEST_F(GridTest, AHintForThreeWithTwoTilesLeftSendsTwo) {
    InstallPuzzle(1, {"##...", ".....", ".....", ".....", "....."});
    ASSERT_TRUE(StartBoard(1));
    mGrid->GiveHint(900, 100, 3);
    std::vector<int> delays;
    for (TrailWidget* t : Trails(*mScreen)) {
        delays.push_back(DelayOf(t));
        EXPECT_EQ(t->GetVariable(L"source_x").ToInt(), 900);
        EXPECT_EQ(t->GetVariable(L"show_sparkles").ToInt(), 1);
    }
    std::sort(delays.begin(), delays.end());
    EXPECT_EQ(delays, (std::vector<int>{0, 11}));
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 2);
    Settle();
    EXPECT_EQ(mGrid->GetRemainingTiles(), 0);
    EXPECT_EQ(mGrid->GetTrailsInFlight(), 0);
    EXPECT_EQ(mHintMeter.mFilled, 0) << "hint cells send nothing to the hint meter";
    EXPECT_EQ(mScreen->mDisableCalls, 1);
}
