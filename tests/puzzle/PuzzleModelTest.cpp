// The play rules on their own: no application, no widgets, no animations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Random.h"
#include "puzzle/PuzzleModel.h"
#include "tests/puzzle/PuzzleTestSupport.h"

namespace {

// Rows of '#' (tile) and '.' (hole), top to bottom, as N columns [x][y].
CellColumns Layer(const std::vector<std::string>& rows) {
    const size_t n = rows.size();
    CellColumns layer(n, std::vector<int32_t>(n, 0));
    for (size_t y = 0; y < n; ++y)
        for (size_t x = 0; x < n && x < rows[y].size(); ++x) layer[x][y] = rows[y][x] == '#';
    return layer;
}

//   y0  # # . # #      column clues: [2,2] [1,2] [] [2,2] [2,1]
//   y1  # . . # #      row clues:    [2,2] [1,2] [] [2,1] [2,2]
//   y2  . . . . .      (14 tiles)
//   y3  # # . # .
//   y4  # # . # #
const std::vector<std::string> kBoard = {"##.##", "#..##", ".....", "##.#.", "##.##"};

std::vector<int> Satisfied(const ClueLine& line) {
    std::vector<int> out;
    for (const Clue& clue : line) out.push_back(clue.mSatisfied);
    return out;
}

// A move: press cell, end cell, action ('r' reveal, 'm' mark).
struct Move {
    int mPressX, mPressY, mEndX, mEndY;
    char mAction;
};

CellOutcomes Apply(PuzzleModel& model, const Move& move) {
    const CellAction action = move.mAction == 'r' ? CellAction::Reveal : CellAction::Mark;
    return model.ApplyLine(Point(move.mPressX, move.mPressY), Point(move.mEndX, move.mEndY), action);
}

// Each outcome as "x,y:result" with "!n" for the n-th mistake: "2,0:invalid_hole!0".
std::string Describe(const CellOutcomes& outcomes) {
    static const char* const kNames[] = {"solid", "hole", "invalid_hole", "invalid_solid", "init_hole"};
    std::string out;
    for (const CellOutcome& o : outcomes) {
        if (!out.empty()) out += ' ';
        out += std::to_string(o.mX) + "," + std::to_string(o.mY) + ":" + kNames[static_cast<int>(o.mResult)];
        if (o.mMistake) out += "!" + std::to_string(o.mMistakeNumber);
        if (o.mRevealed != (o.mResult == CellResult::Solid || o.mResult == CellResult::InvalidSolid))
            out += "?revealed";
    }
    return out;
}

struct LineCase {
    const char* mName;
    int mMistakesAllowed;
    std::vector<Move> mBefore;  // moves played first
    Move mMove;
    const char* mOutcomes;  // of mMove
    int mMistakes, mRemaining;
    PlayEnd mEnd;
};

class PuzzleModelLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(PuzzleModelLines, ApplyTheRulesCellByCell) {
    const LineCase& c = GetParam();
    PuzzleModel model(Layer(kBoard), c.mMistakesAllowed);
    for (const Move& move : c.mBefore) Apply(model, move);
    EXPECT_EQ(Describe(Apply(model, c.mMove)), c.mOutcomes);
    EXPECT_EQ(model.GetMistakesMade(), c.mMistakes);
    EXPECT_EQ(model.GetRemainingTiles(), c.mRemaining);
    EXPECT_EQ(model.GetEnd(), c.mEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PuzzleModelLines,
    ::testing::Values(
        LineCase{"FiveCellsOverAMiddleHole", 3, {}, {0, 0, 4, 0, 'r'},
                 "0,0:solid 1,0:solid 2,0:invalid_hole!0 3,0:solid 4,0:solid", 1, 10, PlayEnd::Playing},
        LineCase{"BackwardsAlongAColumn", 3, {}, {0, 4, 0, 2, 'r'},
                 "0,4:solid 0,3:solid 0,2:invalid_hole!0", 1, 12, PlayEnd::Playing},
        LineCase{"TheLastMistakeMidLineLeavesTheRest", 3, {{2, 1, 2, 1, 'r'}, {2, 3, 2, 3, 'r'}},
                 {0, 0, 4, 0, 'r'}, "0,0:solid 1,0:solid 2,0:invalid_hole!2", 3, 12, PlayEnd::Lost},
        LineCase{"MarkingAHoleIsFineMarkingATileIsAMistakeAndRevealed", 3, {}, {2, 0, 3, 0, 'm'},
                 "2,0:hole 3,0:invalid_solid!0", 1, 13, PlayEnd::Playing},
        LineCase{"DoneCellsAreLeftAlone", 3, {{0, 0, 1, 0, 'r'}, {2, 0, 2, 0, 'm'}}, {0, 0, 3, 0, 'm'},
                 "3,0:invalid_solid!0", 1, 11, PlayEnd::Playing},
        LineCase{"TheLastTileEndsPlayAndTheRestOfTheLine", 3,
                 {{0, 0, 0, 1, 'r'}, {0, 3, 0, 4, 'r'}, {1, 0, 1, 0, 'r'}, {1, 3, 1, 4, 'r'}, {3, 0, 3, 1, 'r'},
                  {3, 3, 3, 4, 'r'}, {4, 0, 4, 1, 'r'}},
                 {4, 4, 4, 2, 'r'}, "4,4:solid", 0, 0, PlayEnd::Solved},
        LineCase{"NoMistakesAllowedMeansNoMove", 0, {}, {0, 0, 1, 0, 'r'}, "", 0, 14, PlayEnd::Playing},
        LineCase{"OutsideTheBoardNothing", 3, {}, {0, 0, 5, 0, 'r'}, "", 0, 14, PlayEnd::Playing},
        LineCase{"ASlantedPairKeepsThePressRow", 3, {}, {0, 0, 1, 3, 'r'}, "0,0:solid 1,0:solid", 0, 12,
                 PlayEnd::Playing}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.mName); });

TEST(PuzzleModel, AfterTheEndNoLineApplies) {
    PuzzleModel model(Layer({"#.", ".."}), 3);
    Apply(model, {0, 0, 0, 0, 'r'});
    EXPECT_EQ(model.GetEnd(), PlayEnd::Solved);
    EXPECT_FALSE(model.AcceptsMoves());
    EXPECT_TRUE(Apply(model, {1, 0, 1, 1, 'm'}).empty());
    EXPECT_FALSE(PuzzleModel().AcceptsMoves()) << "an empty model plays nothing";
}

TEST(PuzzleModel, ClueRunsOfColumnsAndRows) {
    CellColumns layer(5, std::vector<int32_t>(5, 0));
    layer[0] = {1, 0, 1, 1, 0};
    layer[2] = {1, 1, 1, 1, 1};
    layer[3] = {0, 7, 0, 0, 1};  // any non-zero value is a tile
    PuzzleModel model(layer, 3);
    const std::vector<ClueLine>& columns = model.GetClues(LineKind::Column);
    const std::vector<ClueLine>& rows = model.GetClues(LineKind::Row);
    EXPECT_EQ(ClueLengths(columns[0]), (std::vector<int>{1, 2}));
    EXPECT_TRUE(columns[1].empty());
    EXPECT_EQ(ClueLengths(columns[2]), (std::vector<int>{5}));
    EXPECT_EQ(ClueLengths(columns[3]), (std::vector<int>{1, 1}));
    EXPECT_EQ(ClueLengths(rows[0]), (std::vector<int>{1, 1}));  // row y reads layer[0][y], layer[1][y], ...
    EXPECT_EQ(ClueLengths(rows[1]), (std::vector<int>{2}));
    EXPECT_EQ(ClueLengths(rows[4]), (std::vector<int>{2}));
    EXPECT_EQ(model.GetRemainingTiles(), 10);
}

// One line (a column of the board) with some cells done: which clues are
// found, scanning from both ends.
struct SatisfiedCase {
    const char* mColumn;  // top to bottom: '#' tile, '.' hole
    const char* mDone;    // 'r' reveal, 'm' mark, '-' open
    std::vector<int> mSatisfied;
};

class PuzzleModelSatisfied : public ::testing::TestWithParam<SatisfiedCase> {};

TEST_P(PuzzleModelSatisfied, ScansFromBothEnds) {
    const SatisfiedCase& c = GetParam();
    const int n = static_cast<int>(std::string(c.mColumn).size());
    CellColumns layer(static_cast<size_t>(n), std::vector<int32_t>(static_cast<size_t>(n), 0));
    for (int y = 0; y < n; ++y) layer[0][static_cast<size_t>(y)] = c.mColumn[y] == '#';
    PuzzleModel model(layer, 99);
    for (int y = 0; y < n; ++y)
        if (c.mDone[y] != '-') Apply(model, {0, y, 0, y, c.mDone[y]});
    EXPECT_EQ(Satisfied(model.GetClues(LineKind::Column)[0]), c.mSatisfied);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PuzzleModelSatisfied,
    ::testing::Values(SatisfiedCase{"##.##", "rr---", {0, 0}},  // a run touching an open cell
                      SatisfiedCase{"##.##", "rrm--", {1, 0}},
                      SatisfiedCase{"##.##", "--mrr", {0, 1}},  // from the end
                      SatisfiedCase{"##.##", "rr-rr", {1, 1}},  // every tile found: all
                      SatisfiedCase{"#.#.#", "r---r", {0, 0, 0}},  // runs end only at done holes
                      SatisfiedCase{"#.#.#", "rm-mr", {1, 0, 1}},
                      SatisfiedCase{"##.##", "rmm--", {1, 0}},  // a marked tile shows as a tile
                      SatisfiedCase{"..#..", "mm-mm", {0}}));

TEST(PuzzleModel, EmptyLinesStartAsHolesWithoutMistakes) {
    PuzzleModel model(Layer(kBoard), 3);
    const CellOutcomes holes = model.InitHoles();
    EXPECT_EQ(holes.size(), 9u);
    for (const CellOutcome& hole : holes) {
        EXPECT_EQ(hole.mResult, CellResult::InitHole);
        EXPECT_TRUE(hole.mX == 2 || hole.mY == 2);
        EXPECT_EQ(model.GetCell(hole.mX, hole.mY), CellState::Hole);
    }
    EXPECT_EQ(model.GetMistakesMade(), 0);
    EXPECT_EQ(model.GetRemainingTiles(), 14);
    EXPECT_TRUE(model.InitHoles().empty());
}

class PuzzleModelHints : public ::testing::Test {
protected:
    void SetUp() override {
        SetShuffleRandom([this] { return mSequence[mNext++ % mSequence.size()]; });
    }
    void TearDown() override { SetShuffleRandom(nullptr); }
    std::vector<int> mSequence = {5, 0, 7, 3, 1, 2, 9, 4, 6, 8, 11, 13, 10, 12};
    size_t mNext = 0;
};

TEST_F(PuzzleModelHints, ClaimedTilesRevealAsTheyLandAndAreNeverChosenTwice) {
    PuzzleModel model(Layer(kBoard), 3);
    const std::vector<Point> first = model.ChooseHintCells(2);
    ASSERT_EQ(first.size(), 2u);
    for (const Point& cell : first) {
        EXPECT_TRUE(model.IsClaimed(cell.mX, cell.mY));
        EXPECT_FALSE(model.IsDone(cell.mX, cell.mY)) << "nothing changes before the hint lands";
    }
    for (const Point& cell : first) EXPECT_EQ(Describe(model.LandHint(cell)).substr(4), "solid");
    EXPECT_EQ(model.GetRemainingTiles(), 12);
    // A hint for more than is left gives what is left; the last one solves.
    const std::vector<Point> rest = model.ChooseHintCells(20);
    EXPECT_EQ(rest.size(), 12u);
    for (const Point& cell : first)
        for (const Point& other : rest) EXPECT_NE(cell, other);
    for (const Point& cell : rest) model.LandHint(cell);
    EXPECT_EQ(model.GetEnd(), PlayEnd::Solved);
    EXPECT_EQ(model.GetMistakesMade(), 0);
    EXPECT_TRUE(model.ChooseHintCells(3).empty());
}

TEST_F(PuzzleModelHints, TheShuffleDecidesTheOrder) {
    PuzzleModel model(Layer({"##", "#."}), 3);
    mSequence = {0};  // every swap with element 0: (0,0) (0,1) (1,0) becomes (1,0) (0,0) (0,1)
    const std::vector<Point> cells = model.ChooseHintCells(3);
    EXPECT_EQ(cells, (std::vector<Point>{Point(1, 0), Point(0, 0), Point(0, 1)}));
}

TEST_F(PuzzleModelHints, AHintOnADoneCellOrAfterTheEndRevealsNothing) {
    PuzzleModel model(Layer(kBoard), 2);
    const Point cell = model.ChooseHintCells(1).at(0);
    Apply(model, {cell.mX, cell.mY, cell.mX, cell.mY, 'r'});
    EXPECT_TRUE(model.LandHint(cell).empty());
    const Point other = model.ChooseHintCells(1).at(0);
    Apply(model, {2, 0, 2, 1, 'r'});  // the last mistake
    EXPECT_EQ(model.GetEnd(), PlayEnd::Lost);
    EXPECT_TRUE(model.LandHint(other).empty());
    EXPECT_EQ(model.GetRemainingTiles(), 13);
}

// A policy that records what it is asked and allows only the cells it names.
class RecordingPolicy : public PlayPolicy {
public:
    bool MayActOnCell(const PuzzleModel&, int x, int y, CellAction current, CellAction wanted) override {
        mLog += "may " + std::to_string(x) + "," + std::to_string(y) + (wanted == CellAction::Reveal ? "r " : "m ");
        return SharesAction(current, wanted) && x != mRefusedX;
    }
    void CheckLine(const PuzzleModel&, const LineMove& line) override {
        mLog += "check " + std::to_string(line.mStepX) + "," + std::to_string(line.mStepY) + " ";
    }
    void LineDone(const PuzzleModel&) override { mLog += "done"; }
    std::string mLog;
    int mRefusedX = -1;
};

TEST(PuzzleModel, APolicyIsAskedInTheOrderOfTheRules) {
    PuzzleModel model(Layer(kBoard), 3);
    RecordingPolicy policy;
    policy.mRefusedX = 1;
    model.SetPolicy(&policy);
    EXPECT_EQ(Describe(Apply(model, {0, 0, 2, 0, 'r'})), "0,0:solid 2,0:invalid_hole!0");
    EXPECT_EQ(policy.mLog, "check 1,0 may 0,0r may 1,0r may 1,0m may 2,0r done");
    EXPECT_FALSE(model.IsDone(1, 0));
    model.SetPolicy(nullptr);
    EXPECT_EQ(Describe(Apply(model, {1, 0, 1, 0, 'r'})), "1,0:solid");
}

}  // namespace
