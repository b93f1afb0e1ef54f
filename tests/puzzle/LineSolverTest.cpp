#include <gtest/gtest.h>

#include <random>

#include "puzzle/LineSolver.h"

namespace {
using Line = LineSolver::Line;
using Clue = LineSolver::Clue;

// The slow, obvious answer: try every filling of the line, keep those that
// match the clue and the known cells, and see what they agree on.
bool BruteForce(const Clue& clue, Line& line) {
    const int n = static_cast<int>(line.size());
    std::vector<int> canEmpty(n, 0), canFill(n, 0);
    bool any = false;
    for (int mask = 0; mask < (1 << n); ++mask) {
        Line candidate(n);
        bool fits = true;
        for (int i = 0; i < n && fits; ++i) {
            candidate[i] = (mask >> i) & 1 ? LineSolver::kFilled : LineSolver::kEmpty;
            if (line[i] != LineSolver::kUnknown && line[i] != candidate[i]) fits = false;
        }
        if (!fits || LineSolver::LineClue(candidate) != clue) continue;
        any = true;
        for (int i = 0; i < n; ++i) (candidate[i] == LineSolver::kFilled ? canFill : canEmpty)[i] = 1;
    }
    if (!any) return false;
    for (int i = 0; i < n; ++i) {
        if (line[i] != LineSolver::kUnknown) continue;
        if (canFill[i] && !canEmpty[i]) line[i] = LineSolver::kFilled;
        if (canEmpty[i] && !canFill[i]) line[i] = LineSolver::kEmpty;
    }
    return true;
}

LineSolver::Layer FromRows(const std::vector<std::string>& rows) {
    LineSolver::Layer layer(rows[0].size(), std::vector<int32_t>(rows.size(), 0));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) layer[x][y] = rows[y][x] == '#' ? 1 : 0;
    return layer;
}
}  // namespace

TEST(LineSolver, ClueOfALine) {
    EXPECT_EQ(LineSolver::LineClue({1, 1, 0, 1, 0, 0, 1, 1, 1}), (Clue{2, 1, 3}));
    EXPECT_TRUE(LineSolver::LineClue({0, 0, 0}).empty());
    EXPECT_TRUE(LineSolver::LineClue({}).empty());
}

// What every arrangement of the clue over the known cells shares is settled;
// a clue with no arrangement is refused.
TEST(LineSolver, SettlesWhatEveryArrangementShares) {
    constexpr int8_t U = LineSolver::kUnknown;
    struct Case {
        Clue clue;
        Line line;
        bool ok;
        Line settled;
    };
    const Case cases[] = {
        {{3}, {U, U, U, U, U}, true, {U, U, 1, U, U}},
        {{3}, {0, 1, 1, 1, U}, true, {0, 1, 1, 1, 0}},  // the run is complete: the last cell is empty
        {{3}, {0, 1, 1, 1, 0}, true, {0, 1, 1, 1, 0}},  // nothing left to settle
        {{2, 2}, {U, U, U, U, U, U}, true, {U, 1, U, U, 1, U}},
        {{2, 2}, {U, U, U, U, U}, true, {1, 1, 0, 1, 1}},  // an exact fit settles everything
        {{}, {U, U, U, U}, true, {0, 0, 0, 0}},
        {{3}, {1, U, U, 1}, false, {}},
        {{2, 2}, {U, U, U}, false, {}},  // too short
    };
    for (const Case& c : cases) {
        Line line = c.line;
        bool changed = false;
        ASSERT_EQ(LineSolver::SolveLine(c.clue, line, &changed), c.ok) << ::testing::PrintToString(c.line);
        if (!c.ok) continue;
        EXPECT_EQ(line, c.settled);
        EXPECT_EQ(changed, line != c.line);
    }
}

TEST(LineSolver, AgreesWithBruteForceOnRandomLines) {
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        int n = 1 + static_cast<int>(random() % 12);
        Line truth(n);
        for (auto& c : truth) c = random() % 2 ? LineSolver::kFilled : LineSolver::kEmpty;
        Clue clue = LineSolver::LineClue(truth);
        // Sometimes give a clue of a different line, which may not fit at all.
        if (random() % 5 == 0) {
            Line other(n);
            for (auto& c : other) c = random() % 3 == 0 ? LineSolver::kFilled : LineSolver::kEmpty;
            clue = LineSolver::LineClue(other);
        }
        Line known(n);
        for (int i = 0; i < n; ++i) known[i] = random() % 3 == 0 ? truth[i] : LineSolver::kUnknown;
        Line fast = known, slow = known;
        bool fastOk = LineSolver::SolveLine(clue, fast);
        bool slowOk = BruteForce(clue, slow);
        ASSERT_EQ(fastOk, slowOk) << "round " << round;
        if (fastOk) {
            ASSERT_EQ(fast, slow) << "round " << round;
        }
    }
}

TEST(LineSolver, AWholePuzzleIsSolvableOnlyWhenLineLogicSettlesEveryCell) {
    LineSolver::Result result;
    EXPECT_TRUE(LineSolver::IsLineSolvable(FromRows({"..#..", ".###.", "#####", ".#.#.", ".###."}), &result));
    EXPECT_TRUE(result.mSolved);
    EXPECT_EQ(result.CountUnknown(), 0);
    EXPECT_GT(result.mLineSolves, 0);
    // The two diagonals of a 2 x 2 grid have the same clues.
    EXPECT_FALSE(LineSolver::IsLineSolvable(FromRows({"#.", ".#"}), &result));
    EXPECT_FALSE(result.mSolved);
    EXPECT_EQ(result.CountUnknown(), 4);
    // Ragged or empty layers are refused; contradictory clues are found.
    EXPECT_FALSE(LineSolver::IsLineSolvable({{1, 0}, {1}}));
    EXPECT_FALSE(LineSolver::IsLineSolvable({}));
    result = LineSolver::Solve({{2}, {2}}, {{1}, {1}});
    EXPECT_TRUE(result.mContradiction);
    EXPECT_FALSE(result.mSolved);
}
