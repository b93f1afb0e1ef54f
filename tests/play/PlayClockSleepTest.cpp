// The still play screen sleeps from one tick of its clock to the next, as the
// game's loop does on the real clock (here the test clock jumps over the
// sleeps), and its clock stays exact: the steps slept through are counted
// when the loop wakes, before any input that woke it.
#include "puzzle/PlayTileGrid.h"
#include "screens/MyPlayScreen.h"
#include "tests/play/PlayScreenFixture.h"
#include "widgets/AnimationWidget.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr uint64_t kStep = PomoAppBase::kUpdateStepMicros;

class PlayClockSleepTest : public PlayScreenTest {
protected:
    PlayClockSleepTest() : PlayScreenTest(Sleeping()) {}
    static AppHarness::Options Sleeping() {
        AppHarness::Options options;
        options.sleepWhenIdle = true;
        return options;
    }

    // The largest board the catalogue holds, played until it stands still.
    void OpenStill() {
        mScreen = new MyPlayScreen(PuzzleRef{L"quiltro7", 0, 3, 4});
        ShowMenu(mScreen);
        for (int i = 0; i < 3000 && mScreen->GetState() != PlayPuzzleMenu::State::Playing; ++i) Run(1);
        ASSERT_EQ(mScreen->GetState(), PlayPuzzleMenu::State::Playing) << (mApp->GetActiveMenu() == mScreen);
        Run(400);  // the clue numbers and the empty lines settle
        mT0 = mHarness.Clock().NowMicros();
        mApp->RunPass();
        mSteps0 = mApp->GetUpdateCount();
        mElapsed0 = mScreen->GetElapsed();
    }
    // Steps run, and play steps counted, since the steps due at mT0.
    int64_t Steps() const { return mApp->GetUpdateCount() - mSteps0; }
    int Counted() const { return mScreen->GetElapsed() - mElapsed0; }
    // The steps whose time has come by `micros`.
    int64_t StepsBy(uint64_t micros) const { return static_cast<int64_t>((micros - mT0) / kStep); }
    void QueueClick(const Point& at) {
        for (InputEvent::Type type : {InputEvent::MouseMove, InputEvent::MouseDown, InputEvent::MouseUp}) {
            InputEvent e;
            e.type = type;
            e.x = at.mX;
            e.y = at.mY;
            e.button = type == InputEvent::MouseMove ? MouseButton::None : MouseButton::Left;
            e.clicks = type == InputEvent::MouseDown ? 1 : 0;
            mHarness.Push(e);
        }
    }
    Point Centre(int x, int y) const {
        PlayTileGrid* grid = mScreen->GetGrid();
        const int t = grid->GetTileSize();
        return Point(static_cast<int>(grid->mX) + x * t + t / 2, static_cast<int>(grid->mY) + y * t + t / 2);
    }
    // A click on the first tile `steps` and a half into the sleep: the pass
    // that sleeps until it comes, then the one it wakes. The click's time.
    uint64_t ClickFirstTileDuringSleep(int steps, Point* tile) {
        *tile = FirstTile();
        TestClock& clock = mHarness.Clock();
        const uint64_t arrival = clock.NowMicros() + steps * kStep + kStep / 2;
        clock.ArriveAt(arrival, [&, at = Centre(tile->mX, tile->mY)] { QueueClick(at); });
        mApp->RunPass();
        EXPECT_EQ(clock.NowMicros(), arrival) << "the click ended the sleep";
        mApp->RunPass();
        return arrival;
    }
    Point FirstTile() const {
        const PuzzleRecord& record = *PlayTileGrid::FindPuzzle(mScreen->GetPuzzle());
        for (int y = 0; y < record.GetSize(); ++y)
            for (int x = 0; x < record.GetSize(); ++x)
                if (record.mSolution.At(x, y) != 0) return Point(x, y);
        return Point(-1, -1);
    }

    MyPlayScreen* mScreen = nullptr;
    uint64_t mT0 = 0;
    int64_t mSteps0 = 0;
    int mElapsed0 = 0;
};

}  // namespace

TEST_F(PlayClockSleepTest, TheStillBoardWakesOnlyOnItsClocksSecondsAndCountsEveryStep) {
    ASSERT_NO_FATAL_FAILURE(OpenStill());
    int passes = 0;
    while (mHarness.Clock().NowMicros() - mT0 < 10 * 1000000ull) {
        const uint64_t start = mHarness.Clock().NowMicros();
        mApp->RunPass();
        ++passes;
        ASSERT_EQ(Steps(), StepsBy(start)) << "no step lost or gained against the clock";
        ASSERT_EQ(Counted(), Steps()) << "every step counted while playing";
        ASSERT_EQ(mScreen->GetElapsed() % PlayPuzzleMenu::kTimerStep, 0) << "woken on the tick's own step";
        ASSERT_EQ(mScreen->GetTimerText(), PlayPuzzleMenu::PlayTimeText(mScreen->GetElapsed()));
    }
    EXPECT_LE(passes, 11) << "a pass a second";
}

TEST_F(PlayClockSleepTest, AClickDuringASleepIsHandledAtOnceAfterTheStepsBeforeIt) {
    ASSERT_NO_FATAL_FAILURE(OpenStill());
    ASSERT_GE(FirstTile().mX, 0);
    Point tile;
    const uint64_t arrival = ClickFirstTileDuringSleep(45, &tile);
    EXPECT_TRUE(mScreen->GetGrid()->IsCellDone(tile.mX, tile.mY)) << "handled in the pass it woke";
    EXPECT_EQ(Steps(), StepsBy(arrival));
    EXPECT_EQ(Counted(), Steps());
}

TEST_F(PlayClockSleepTest, ACellRevealedAfterASleepGrowsFromItsStartAndIsDrawnStepByStep) {
    ASSERT_NO_FATAL_FAILURE(OpenStill());
    ASSERT_GE(FirstTile().mX, 0);
    // Half a second into the sleep between two seconds of the clock.
    Point tile;
    const uint64_t arrival = ClickFirstTileDuringSleep(50, &tile);
    TestClock& clock = mHarness.Clock();
    ASSERT_TRUE(mScreen->GetGrid()->IsCellDone(tile.mX, tile.mY));
    // The cell's picture grows into place over its first dozen steps; the
    // time slept before the click is not its time.
    AnimationWidget* cell = mScreen->GetGrid()->GetCellWidget(tile.mX, tile.mY);
    ASSERT_NE(cell, nullptr);
    ASSERT_FALSE(cell->GetWidgets().empty());
    auto* picture = dynamic_cast<DynamicWidget*>(cell->GetWidgets().front());
    ASSERT_NE(picture, nullptr);
    EXPECT_LT(picture->GetPropertyValue(L"scale_x", 1.0f), 0.6f) << "it starts small";
    const int64_t frames0 = mApp->GetFrameCount();
    while (clock.NowMicros() < arrival + 12 * kStep) mApp->RunPass();
    EXPECT_GE(mApp->GetFrameCount() - frames0, 5) << "frames while the cell grew";
    Run(20);
    EXPECT_FLOAT_EQ(picture->GetPropertyValue(L"scale_x", 0.0f), 1.0f) << "and ends whole";
}

TEST_F(PlayClockSleepTest, EscapeDuringASleepStopsTheClockWhereThePlayerPaused) {
    ASSERT_NO_FATAL_FAILURE(OpenStill());
    TestClock& clock = mHarness.Clock();
    const uint64_t arrival = clock.NowMicros() + 30 * kStep + kStep / 2;
    clock.ArriveAt(arrival, [&] {
        InputEvent e;
        e.type = InputEvent::KeyDown;
        e.key = KeyCode::Escape;
        mHarness.Push(e);
    });
    mApp->RunPass();
    mApp->RunPass();
    ASSERT_TRUE(mScreen->IsPaused()) << "the pause dialog opened";
    EXPECT_EQ(Counted(), StepsBy(arrival)) << "the play before the key is counted";
    const int elapsed = mScreen->GetElapsed();
    Run(300);
    EXPECT_EQ(mScreen->GetElapsed(), elapsed) << "none under the dialog";
}
