// A fast player on the board: clicks as a desktop delivers them (a move, the
// press and the release at once, SDL counting the presses up as double,
// triple ... clicks), every one of which must count.
#include "puzzle/PlayMeters.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PuzzleRecord.h"
#include "tests/play/PlayScreenFixture.h"
#include "widgets/NoticeMenu.h"

namespace {

constexpr int kHarbor = 2;

class FastInputTest : public PlayScreenTest {
protected:
    // The Harbor's first 10 x 10 board with more than 30 tiles (10 reveals
    // fill a bulb there), whatever else the wing holds.
    void OpenTenByTen() {
        for (int puzzle = 0;; ++puzzle) {
            const PuzzleRecord* record = FindPuzzleRecord(L"quiltro7", 0, kHarbor, puzzle);
            ASSERT_NE(record, nullptr) << "the Harbor has no 10 x 10 board of 30 tiles";
            int tiles = 0;
            for (int x = 0; x < record->GetSize(); ++x)
                for (int y = 0; y < record->GetSize(); ++y) tiles += record->mSolution.At(x, y) != 0;
            if (record->GetSize() != 10 || tiles <= 30) continue;
            Open(0, kHarbor, puzzle);
            return;
        }
    }
    // The tiles of the open puzzle, row by row, as a player clicks them.
    std::vector<Point> Tiles() {
        std::vector<Point> tiles;
        const int n = Record().GetSize();
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (IsTile(x, y)) tiles.emplace_back(x, y);
        return tiles;
    }
    // One click as it reaches the queue: all three messages at once.
    void QueueClick(const Point& cell, int clicks) {
        const Point at = CellCentre(cell.mX, cell.mY);
        for (InputEvent::Type type : {InputEvent::MouseMove, InputEvent::MouseDown, InputEvent::MouseUp}) {
            InputEvent e;
            e.type = type;
            e.x = at.mX;
            e.y = at.mY;
            if (type != InputEvent::MouseMove) e.button = MouseButton::Left;
            if (type == InputEvent::MouseDown) e.clicks = clicks;
            mHarness.Push(e);
        }
    }
    int DoneCount(const std::vector<Point>& cells) {
        int done = 0;
        for (const Point& cell : cells) done += Grid().IsCellDone(cell.mX, cell.mY);
        return done;
    }
};

}  // namespace

// Clicks 30 ms apart go on through the moment the first bulb fills (its
// tile's glow lands 45 steps after the tenth reveal). The notice opened
// there and then took every click that followed, as a modal notice does:
// the board lost them. It now waits for the player's pause.
TEST_F(FastInputTest, ClicksThirtyMillisecondsApartAllCountThroughTheFirstFullBulb) {
    OpenTenByTen();
    ASSERT_EQ(mMenu->GetState(), PlayPuzzleMenu::State::Playing);
    gPlayerState->mSeenHint = false;
    const std::vector<Point> tiles = Tiles();
    ASSERT_GT(tiles.size(), 30u) << "clicks must go on well past the tenth";
    for (size_t i = 0; i + 1 < tiles.size(); ++i) {
        QueueClick(tiles[i], static_cast<int>(i % 5) + 1);
        Run(3);
    }
    EXPECT_EQ(DoneCount(tiles), static_cast<int>(tiles.size()) - 1) << "every click counted";
    EXPECT_TRUE(mMenu->GetHintMeter()->IsHintNoticeWaiting()) << "the bulb is full; its notice waits";
    EXPECT_EQ(dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu()), nullptr);
    Run(kPlayNoticePauseSteps + 1);
    EXPECT_TRUE(CloseNotice()) << "shown once the player paused";
    EXPECT_TRUE(gPlayerState->mSeenHint);
}

// A wrong click among fast ones: the first mistake's notice came at once and
// took the clicks after it.
TEST_F(FastInputTest, ClicksAfterTheFirstMistakeCountAndItsNoticeComesInThePause) {
    OpenTenByTen();
    gPlayerState->mMadeMistake = false;
    const std::vector<Point> tiles = Tiles();
    Point hole(-1, -1);
    for (int x = 0; x < 10 && hole.mX < 0; ++x)
        if (!IsTile(x, 0)) hole = Point(x, 0);
    ASSERT_GE(hole.mX, 0);
    QueueClick(hole, 1);
    Run(3);
    EXPECT_EQ(Grid().GetMistakesMade(), 1);
    for (size_t i = 0; i < 8; ++i) {
        QueueClick(tiles[i], static_cast<int>(i) + 2);
        Run(3);
    }
    EXPECT_EQ(DoneCount(std::vector<Point>(tiles.begin(), tiles.begin() + 8)), 8);
    EXPECT_TRUE(Grid().IsMistakeNoticeWaiting());
    Run(kPlayNoticePauseSteps + 1);
    EXPECT_TRUE(CloseNotice()) << "the rule is told in the pause";
    EXPECT_TRUE(gPlayerState->mMadeMistake);
}

// A burst queued within one step (a fast player on a busy machine) is applied
// at the next pass: one message a pass fell seconds behind such a player.
TEST_F(FastInputTest, ClicksQueuedWithinOneStepAreAllAppliedAtTheNextPass) {
    OpenTenByTen();
    const std::vector<Point> tiles = Tiles();
    for (size_t i = 0; i < 10; ++i) QueueClick(tiles[i], static_cast<int>(i) + 1);
    mApp->RunPass();
    EXPECT_EQ(mApp->PendingInputCount(), 0u);
    EXPECT_EQ(DoneCount(std::vector<Point>(tiles.begin(), tiles.begin() + 10)), 10);
}
