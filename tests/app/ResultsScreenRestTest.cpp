// The results of a solved puzzle, played through the real game: once the
// picture has appeared and the summary stands still, the loop sleeps as it
// does over a still play screen, and what the play screen kept for the
// picture's reveal is gone.
#include <gtest/gtest.h>

#include "data/AssetManager.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/PlayerState.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "screens/LevelCompleteMenu.h"
#include "screens/MyGameApp.h"
#include "screens/MyPlayScreen.h"
#include "tests/support/AppHarness.h"
#include "tests/support/TestPlayer.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/DynamicWidget.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr uint64_t kSecond = 1000000;

class ResultsScreenRestTest : public ::testing::Test {
protected:
    ResultsScreenRestTest() : mHarness(Sleeping()) {}
    static AppHarness::Options Sleeping() {
        AppHarness::Options options;
        options.sleepWhenIdle = true;
        return options;
    }

    void SetUp() override {
        mSaved = gGameScreens;
        mApp = &mHarness.Boot<MyGameApp>();
        ASSERT_TRUE(mHarness.InitSucceeded());
        gGameScreens.mMainMenu = nullptr;
        ASSERT_TRUE(mHarness.RunUntil([this] { return mApp->GetBoard() != nullptr; }));
        ASSERT_TRUE(gAssetManager->LoadGroup("PlayAssets", L"ipad"));
        MakeSeasonedTestPlayer();
        ASSERT_NE(gPlayerState, nullptr);
    }
    void TearDown() override {
        if (mApp && mApp->mWidgetManager) {
            std::vector<Widget*> left = mApp->mWidgetManager->GetWidgets();
            for (Widget* widget : left) widget->RemoveSelf();
            mHarness.RunSteps(2);
        }
        gGameScreens = mSaved;
    }

    // A meadow puzzle played to its last tile, as a player clicks.
    void Solve() {
        mScreen = new MyPlayScreen(PuzzleRef{L"quiltro7", 0, 1, 0});
        ShowMenu(mScreen);
        for (int i = 0; i < 3000 && mScreen->GetState() != PlayPuzzleMenu::State::Playing; ++i) mHarness.RunSteps(1);
        ASSERT_EQ(mScreen->GetState(), PlayPuzzleMenu::State::Playing);
        PlayTileGrid* grid = mScreen->GetGrid();
        const PuzzleRecord& record = *PlayTileGrid::FindPuzzle(mScreen->GetPuzzle());
        const int t = grid->GetTileSize();
        for (int x = 0; x < record.GetSize(); ++x)
            for (int y = 0; y < record.GetSize(); ++y)
                if (record.mSolution.At(x, y) != 0)
                    mHarness.Click(static_cast<int>(grid->mX) + x * t + t / 2,
                                   static_cast<int>(grid->mY) + y * t + t / 2);
        for (int i = 0; i < 1000 && mScreen->GetState() == PlayPuzzleMenu::State::Playing; ++i) mHarness.RunSteps(1);
        ASSERT_EQ(mScreen->GetState(), PlayPuzzleMenu::State::Revealing);
        mResults = TopMenu<LevelCompleteMenu>();
        ASSERT_NE(mResults, nullptr);
    }
    // Until the summary shows its button, then a while for it to settle.
    void RunToStillSummary() {
        for (int i = 0; i < 1000 && !mResults->GetOkButton(); ++i) mHarness.RunSteps(1);
        ASSERT_NE(mResults->GetOkButton(), nullptr);
        mHarness.RunSteps(300);
    }
    // The pictures of the screen's size made while the game ran (a frozen
    // part of the screen; the game's own pictures have names).
    int FramePictures() {
        int count = 0;
        for (Widget* widget : AllWidgets(*mApp->mWidgetManager)) {
            auto* picture = dynamic_cast<DynamicWidget*>(widget);
            Image* image = picture ? picture->GetImage() : nullptr;
            if (image && image->mName.empty() && image->GetWidth() == mApp->GetWidth() &&
                image->GetHeight() == mApp->GetHeight())
                ++count;
        }
        return count;
    }

    AppHarness mHarness;
    MyGameApp* mApp = nullptr;
    GameScreens mSaved;
    MyPlayScreen* mScreen = nullptr;
    LevelCompleteMenu* mResults = nullptr;
};

}  // namespace

TEST_F(ResultsScreenRestTest, TheStillSummaryWakesTheLoopOnceASecond) {
    ASSERT_NO_FATAL_FAILURE(Solve());
    ASSERT_NO_FATAL_FAILURE(RunToStillSummary());
    TestClock& clock = mHarness.Clock();
    const uint64_t t0 = clock.NowMicros();
    const int64_t steps0 = mApp->GetUpdateCount();
    int passes = 0;
    while (clock.NowMicros() - t0 < 10 * kSecond) {
        mApp->RunPass();
        ++passes;
    }
    EXPECT_LE(passes, 11) << "a pass a second";
    EXPECT_GE(mApp->GetUpdateCount() - steps0, 999) << "every step ran, slept through";
    EXPECT_EQ(TopMenu<LevelCompleteMenu>(), mResults);
    EXPECT_NE(mResults->GetOkButton(), nullptr);
}

TEST_F(ResultsScreenRestTest, ThePlayScreenKeepsNothingForTheRevealOnceItEnds) {
    ASSERT_NO_FATAL_FAILURE(Solve());
    PlayArtGrid* art = mScreen->GetArtGrid();
    ASSERT_NE(art, nullptr);
    // Under the picture as it appears: the board, and the HUD stopped as it
    // was, a still picture.
    EXPECT_NE(mScreen->GetGrid(), nullptr);
    EXPECT_EQ(FramePictures(), 1);
    ASSERT_NO_FATAL_FAILURE(RunToStillSummary());
    // The picture covers the board and the summary's panel the HUD: neither
    // is kept, as a widget or as a picture.
    EXPECT_EQ(mScreen->GetGrid(), nullptr);
    EXPECT_EQ(FramePictures(), 0);
    // What the summary shows stays: the finished picture, in its place.
    EXPECT_EQ(mScreen->GetArtGrid(), art);
    ASSERT_EQ(mResults->GetArtHolder()->GetWidgets().size(), 1u);
    EXPECT_EQ(mResults->GetArtHolder()->GetWidgets().front(), art);
    EXPECT_TRUE(art->StartReveal());
}
