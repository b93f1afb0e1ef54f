// The play screen on catalogue puzzles, through real input events.
#include <cmath>

#include "data/AnimationStats.h"
#include "data/Localization.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "tests/play/PlayScreenFixture.h"
#include "widgets/ButtonWidget.h"
#include "widgets/NoticeMenu.h"
#include "widgets/WidgetManager.h"

namespace {
using State = PlayPuzzleMenu::State;
constexpr int kMeadow = 1;  // the first wing, after the lessons: 5 x 5, 3 mistakes, 5 reveals a hint
}  // namespace

TEST_F(PlayScreenTest, SolvedOneStepAfterTheLastCellAnimationWithTheBestTimeAndTheReveal) {
    ASSERT_EQ(Open(0, kMeadow, 0)->GetState(), State::Playing);
    EXPECT_EQ(mMenu->GetToolCount(), 2);
    EXPECT_NE(mMenu->GetHintMeter(), nullptr);
    RevealTiles();
    EXPECT_EQ(Grid().GetRemainingTiles(), 0);
    // Played to 59.99 s: the screen waits for the last cell, then completes.
    int settledSteps = 0;
    for (int steps = 0; mMenu->GetState() == State::Playing && steps < 500; ++steps) {
        settledSteps += Grid().GetRunningCellAnimations() == 0;
        mMenu->SetElapsed(5999);
        Run(1);
    }
    EXPECT_EQ(settledSteps, 1) << "completed in the first step after the last cell settled";
    ASSERT_EQ(mMenu->GetState(), State::Revealing);
    ASSERT_EQ(mMenu->mCompleted.size(), 1u);
    const PlayResult& result = mMenu->mCompleted[0];
    EXPECT_EQ(result.mSeconds, 59);
    EXPECT_EQ(result.mMistakes, 0);
    EXPECT_EQ(mMenu->GetHintMeter(), nullptr) << "the HUD is a still picture";
    EXPECT_TRUE(result.mWin.mFirstCompletion);
    EXPECT_EQ(result.mArtGrid, mMenu->GetArtGrid());
    EXPECT_EQ(Puzzle(0, kMeadow, 0).mBestTime, 59);
    EXPECT_TRUE(mApp->Played(L"reveal5"));
    EXPECT_TRUE(Grid().mDisabled);
    // The picture appears, then the board is frozen and the screen is done.
    PlayArtGrid* art = mMenu->GetArtGrid();
    ASSERT_NE(art, nullptr);
    RunWhile(State::Revealing);
    EXPECT_EQ(mMenu->GetState(), State::Finished);
    EXPECT_GT(art->GetFrameCounter(), art->GetEndFrame());
    EXPECT_TRUE(art->StartReveal());
    Run(1);
    EXPECT_EQ(mMenu->GetGrid(), nullptr) << "the board is a still picture";
}

TEST_F(PlayScreenTest, BestTimeKeepsTheFastestWinAndFirstCompletionIsReported) {
    struct Case {
        int storedBest;
        bool completed;
        int elapsed;
        int best;
    };
    const Case cases[] = {{0, false, 5999, 59}, {59, true, 7500, 59}, {80, true, 7500, 75}, {0, true, 12, 0}};
    for (const Case& c : cases) {
        Open(0, kMeadow, 1);
        ASSERT_EQ(mMenu->GetState(), State::Playing);
        Puzzle(0, kMeadow, 1).mBestTime = c.storedBest;
        Puzzle(0, kMeadow, 1).mCompleted = c.completed;
        mHarness.TypeText(L"wunderp");
        EXPECT_TRUE(mMenu->mCompleted.empty());
        mMenu->SetElapsed(c.elapsed);
        mMenu->KeyChar(L'a');
        ASSERT_EQ(mMenu->mCompleted.size(), 1u) << c.elapsed;
        EXPECT_EQ(mMenu->mCompleted[0].mWin.mFirstCompletion, !c.completed);
        EXPECT_EQ(Puzzle(0, kMeadow, 1).mBestTime, c.best) << c.storedBest << " " << c.elapsed;
        CloseAll();
    }
}

TEST_F(PlayScreenTest, ALossWaitsForEveryMistakeThenExplodesAndOpensTheFailScreenOnce) {
    Open(0, kMeadow, 0);
    // Marking tiles: each is a mistake (3 allowed at 5 x 5).
    int made = 0;
    for (int x = 0; x < 5 && made < 3; ++x)
        for (int y = 0; y < 5 && made < 3; ++y)
            if (IsTile(x, y)) {
                ClickCell(x, y, MouseButton::Right);
                ++made;
            }
    ASSERT_EQ(Grid().GetMistakesMade(), 3);
    EXPECT_TRUE(Grid().IsEnded());
    // Play goes on (the clock too) until the last mistake has landed on the meter.
    int flyingSteps = 0, landedSteps = 0;
    for (int steps = 0; mMenu->GetState() == State::Playing && steps < 500; ++steps) {
        const bool landed = Grid().GetMistakeTrailsInFlight() == 0 && mMenu->GetMistakeMeter()->GetArrived() == 3;
        (landed ? landedSteps : flyingSteps)++;
        Run(1);
    }
    ASSERT_EQ(mMenu->GetState(), State::Failing);
    EXPECT_GT(flyingSteps, 30) << "the last mistake flies for a while";
    EXPECT_LE(landedSteps, 1);
    EXPECT_TRUE(mMenu->mFailed.empty()) << "the fail screen waits for the explosion";
    Run(25);
    ASSERT_EQ(mMenu->mFailed.size(), 1u);
    EXPECT_EQ(mMenu->mFailed[0].mMistakes, 3);
    EXPECT_EQ(mMenu->GetGrid(), nullptr) << "the board is a still picture under the fail screen";
    mMenu->FailPuzzle();
    Run(200);
    EXPECT_EQ(mMenu->mFailed.size(), 1u);
    EXPECT_TRUE(mMenu->mCompleted.empty());
}

TEST_F(PlayScreenTest, TheClockShowsWholeSecondsAndStopsUnderAnotherScreen) {
    Open(0, kMeadow, 0);
    mMenu->SetElapsed(12245);
    Run(54);
    EXPECT_EQ(mMenu->GetTimerText(), L"0:00") << "the label waits for a whole second";
    Run(1);
    EXPECT_EQ(mMenu->GetElapsed(), 12300);
    EXPECT_EQ(mMenu->GetTimerText(), L"2:03");
    Run(45);
    EXPECT_EQ(mMenu->GetTimerText(), PlayPuzzleMenu::PlayTimeText(12345));
    auto* options = new Menu(nullptr, true, false);
    mApp->mWidgetManager->AddWidget(options);
    Run(300);
    EXPECT_EQ(mMenu->GetElapsed(), 12345) << "no play time under the options";
    options->RemoveSelf();
    mApp->mWidgetManager->SetFocus(mMenu);
    Run(10);
    EXPECT_EQ(mMenu->GetElapsed(), 12355);
}

TEST_F(PlayScreenTest, RevealedTilesFillABulbAndAHintRevealsCells) {
    Open(0, kMeadow, 0);
    HintMeter* meter = mMenu->GetHintMeter();
    EXPECT_EQ(gPlayerState->mNumHints, 1);
    gPlayerState->mSeenHint = false;
    RevealTiles(6);
    Run(200);
    EXPECT_EQ(gPlayerState->mNumHints, 2) << "five reveals fill a bulb";
    EXPECT_TRUE(mApp->Played(L"Glow"));
    EXPECT_TRUE(gPlayerState->mSeenHint);
    EXPECT_TRUE(CloseNotice()) << "the first full bulb explains hints";
    const int before = Grid().GetRemainingTiles();
    // The first bulb's button (bulbs 50 pixels apart, 40 x 56, from x 30, y 40 in the meter).
    mHarness.Click(static_cast<int>(meter->mX) + 50, static_cast<int>(meter->mY) + 68);
    Run(200);
    EXPECT_EQ(meter->GetHintsUsed(), 1);
    EXPECT_EQ(gPlayerState->mNumHints, 1);
    EXPECT_EQ(Grid().GetRemainingTiles(), before - 1) << "one cell per hint at 5 x 5";
}

// The first full bulb's notice waits while the player holds a stroke on the
// board: opened mid-stroke, it took the release and the stroke was lost.
TEST_F(PlayScreenTest, TheHintNoticeWaitsForTheStrokeToEnd) {
    Open(0, kMeadow, 0);
    gPlayerState->mSeenHint = false;
    for (const Point& tile : {Point(0, 1), Point(1, 0), Point(1, 1), Point(1, 2), Point(1, 4)}) {
        ASSERT_TRUE(IsTile(tile.mX, tile.mY));
        ClickCell(tile.mX, tile.mY);
    }
    const Point from = CellCentre(2, 2), to = CellCentre(3, 2);
    mHarness.MouseMove(from.mX, from.mY);
    mHarness.MouseDown(from.mX, from.mY);
    mHarness.MouseMove(to.mX, to.mY);
    Run(200);
    EXPECT_EQ(gPlayerState->mNumHints, 2) << "the bulb filled during the stroke";
    EXPECT_TRUE(mMenu->GetHintMeter()->IsHintNoticeWaiting());
    EXPECT_EQ(dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu()), nullptr);
    mHarness.MouseUp(to.mX, to.mY);
    Run(5);
    EXPECT_TRUE(Grid().IsCellDone(2, 2) && Grid().IsCellDone(3, 2)) << "the stroke was applied";
    Run(kPlayNoticePauseSteps);
    EXPECT_TRUE(CloseNotice()) << "then the notice, in the player's pause";
    EXPECT_TRUE(gPlayerState->mSeenHint);
}

TEST_F(PlayScreenTest, TheFirstPuzzlesHaveOneToolAndTheToggleSwitchesTools) {
    // The lessons have the tile tool alone; the wings have both.
    for (const auto& [set, tools] : {std::pair{0, 1}, std::pair{kMeadow, 2}}) {
        gPlayerState->mToggleMode = true;
        Open(0, set, 0);
        ASSERT_EQ(mMenu->GetToolCount(), tools);
        EXPECT_EQ(mMenu->GetToolLabel(0), L"Left click");
        // Over the board the pointer is the tool's own picture.
        const Point over = CellCentre(1, 1);
        mHarness.MouseMove(over.mX, over.mY);
        Widget* brush = mApp->GetCursorImage();
        EXPECT_NE(brush, nullptr);
        mHarness.TypeText(L" ");
        EXPECT_EQ(mMenu->GetCurrentTool(), tools - 1);
        EXPECT_EQ(Grid().GetTool(), tools == 2 ? Tool::Mark : Tool::Tile);
        EXPECT_EQ(mApp->GetCursorImage() != brush, tools == 2);
        gPlayerState->mToggleMode = false;
        mMenu->SelectTool(0);
        EXPECT_EQ(mMenu->GetToolLabel(tools - 1), tools == 2 ? L"Right click" : L"Left click");
        // With one tool the right button does nothing.
        ClickCell(0, 0, MouseButton::Right);
        EXPECT_EQ(Grid().IsCellDone(0, 0), tools == 2);
        CloseAll();
    }
}

TEST_F(PlayScreenTest, AnAddressTheCatalogueLacksGoesBackToTheMainMenu) {
    for (const PuzzleRef& at : {PuzzleRef{L"quiltro7", 0, 99, 0}, PuzzleRef{L"quiltro7", 0, 0, 999},
                                PuzzleRef{L"quiltro7", 7, 0, 0}, PuzzleRef{L"nogame", 0, 0, 0}}) {
        auto* menu = new TestPlayMenu(at);
        ShowMenu(menu);
        EXPECT_EQ(menu->mMainMenu, 1);
        Run(30);
    }
}

TEST_F(PlayScreenTest, AWinGrowsAMissingSetAndAShortPuzzleList) {
    const GamePuzzles* game = FindGamePuzzles(L"quiltro7");
    ASSERT_NE(game, nullptr);
    struct Case {
        int set, puzzle;
        size_t setsKept, puzzlesKept;
    };
    for (const Case& c : {Case{2, 1, 2, 0}, Case{1, 2, 2, 1}}) {
        gPlayerState->mToggleMode = true;
        mMenu = new TestPlayMenu(PuzzleRef{L"quiltro7", 0, c.set, c.puzzle});
        ShowMenu(mMenu);
        mMenu->ToggleTool();  // before the tools exist: nothing to switch
        EXPECT_EQ(mMenu->GetToolCount(), 0);
        RunWhile(State::Opening);
        RunWhile(State::Building);
        auto& sets = gPlayerState->mProgress[0];
        sets.resize(c.setsKept);
        sets.back().mPuzzles.resize(c.puzzlesKept);
        mMenu->SetElapsed(1000);
        mHarness.TypeText(L"wunderpa");
        ASSERT_EQ(mMenu->mCompleted.size(), 1u);
        ASSERT_GT(sets.size(), static_cast<size_t>(c.set));
        EXPECT_EQ(sets[static_cast<size_t>(c.set)].mPuzzles.size(),
                  game->mModes[0][static_cast<size_t>(c.set)].size());
        EXPECT_EQ(Puzzle(0, c.set, c.puzzle).mBestTime, 10);
        CloseAll();
    }
}

TEST_F(PlayScreenTest, APlayTimeTextFromDataCannotMisreadItsArguments) {
    const auto saved = gLocalizedStrings.Snapshot();
    LocalizedStringMap strings = *saved;
    strings[L"puzzle_time"] = L"%s:%s %n%ls";
    gLocalizedStrings.Publish(strings);
    const std::wstring text = PlayPuzzleMenu::PlayTimeText(12345);
    gLocalizedStrings.Publish(*saved);
    EXPECT_EQ(text.find(L"2:"), std::wstring::npos) << "nothing read as text from an integer";
    EXPECT_EQ(PlayPuzzleMenu::PlayTimeText(12345), L"2:03");
}

TEST_F(PlayScreenTest, TheHudPictureIsWholeUnlessAnOpacityIsGiven) {
    AnimationStats scripts;
    ASSERT_TRUE(scripts.LoadAnimations("properties/animations.xml")) << scripts.GetErrorText();
    ASSERT_TRUE(scripts.LoadAnimationsFromString(R"(<animations><animation name="hud_pictures">
        <add-hud id="hud_blank" opacity=""/><add-hud id="hud_unsaid"/><add-hud id="hud_faint" opacity="0.25"/>
        </animation></animations>)", "hudtest.xml"))
        << scripts.GetErrorText();
    scripts.Publish();
    // While the screen builds itself, as its own script pictures the HUD.
    mMenu = new TestPlayMenu(PuzzleRef{L"quiltro7", 0, kMeadow, 2});
    ShowMenu(mMenu);
    RunWhile(State::Opening);
    ASSERT_EQ(mMenu->GetState(), State::Building);
    mMenu->InsertAnimationByName(L"hud_pictures");
    auto opacity = [this](const wchar_t* name) {
        auto* picture = dynamic_cast<DynamicWidget*>(mMenu->GetVariable(name).GetObject());
        return picture ? picture->mOpacity : -1.0f;
    };
    EXPECT_EQ(opacity(L"hud_blank"), 1.0f) << "an empty opacity is none given";
    EXPECT_EQ(opacity(L"hud_unsaid"), 1.0f);
    EXPECT_EQ(opacity(L"hud_faint"), 0.25f);
    RunWhile(State::Building);
    EXPECT_EQ(mMenu->GetState(), State::Playing) << "and the screen builds on";
}
