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

TEST(LineSolver, SettlesWhatEveryArrangementShares) {
    Line line(5, LineSolver::kUnknown);
    ASSERT_TRUE(LineSolver::SolveLine({3}, line));
    EXPECT_EQ(line, (Line{-1, -1, 1, -1, -1}));

    line = {0, 1, 1, 1, -1};  // the run is complete: the last cell is empty
    bool changed = false;
    ASSERT_TRUE(LineSolver::SolveLine({3}, line, &changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(line, (Line{0, 1, 1, 1, 0}));

    line.assign(6, LineSolver::kUnknown);
    ASSERT_TRUE(LineSolver::SolveLine({2, 2}, line));
    EXPECT_EQ(line, (Line{-1, 1, -1, -1, 1, -1}));

    line.assign(5, LineSolver::kUnknown);  // an exact fit settles everything
    ASSERT_TRUE(LineSolver::SolveLine({2, 2}, line));
    EXPECT_EQ(line, (Line{1, 1, 0, 1, 1}));

    line.assign(4, LineSolver::kUnknown);
    ASSERT_TRUE(LineSolver::SolveLine({}, line));
    EXPECT_EQ(line, (Line{0, 0, 0, 0}));
}

TEST(LineSolver, ReportsALineWithNoArrangement) {
    Line line = {1, -1, -1, 1};
    EXPECT_FALSE(LineSolver::SolveLine({3}, line));
    Line tooShort(3, LineSolver::kUnknown);
    EXPECT_FALSE(LineSolver::SolveLine({2, 2}, tooShort));
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

TEST(LineSolver, SolvesAUniquePuzzle) {
    auto layer = FromRows({"..#..", ".###.", "#####", ".#.#.", ".###."});
    LineSolver::Result result;
    EXPECT_TRUE(LineSolver::IsLineSolvable(layer, &result));
    EXPECT_TRUE(result.mSolved);
    EXPECT_EQ(result.CountUnknown(), 0);
    EXPECT_GT(result.mLineSolves, 0);
}

TEST(LineSolver, RefusesAPuzzleWithTwoSolutions) {
    // The two diagonals of a 2 x 2 grid have the same clues.
    auto layer = FromRows({"#.", ".#"});
    LineSolver::Result result;
    EXPECT_FALSE(LineSolver::IsLineSolvable(layer, &result));
    EXPECT_FALSE(result.mSolved);
    EXPECT_EQ(result.CountUnknown(), 4);
}

TEST(LineSolver, RefusesRaggedOrEmptyLayers) {
    LineSolver::Layer ragged = {{1, 0}, {1}};
    EXPECT_FALSE(LineSolver::IsLineSolvable(ragged));
    EXPECT_FALSE(LineSolver::IsLineSolvable({}));
}

TEST(LineSolver, FindsContradictoryClues) {
    auto result = LineSolver::Solve({{2}, {2}}, {{1}, {1}});
    EXPECT_TRUE(result.mContradiction);
    EXPECT_FALSE(result.mSolved);
}
