// The tutorial's rules on the puzzle model: named cells, the line check and
// its verdicts, reveal-mode "all", flash groups, free play and the refusals.
#include <gtest/gtest.h>

#include "puzzle/PuzzleModel.h"
#include "puzzle/TutorialRules.h"

namespace {

constexpr CellAction kReveal = CellAction::Reveal;
constexpr CellAction kMark = CellAction::Mark;

class TutorialRulesTest : public ::testing::Test {
protected:
    // 5 x 5, tiles in column 0 and row 0.
    TutorialRulesTest() : mModel(Solution(), 5), mRules(5) { mModel.SetPolicy(&mRules); }
    static CellColumns Solution() {
        CellColumns s(5, std::vector<int32_t>(5, 0));
        for (int i = 0; i < 5; ++i) s[0][i] = s[i][0] = 1;
        return s;
    }
    // 0-based cells, as the board hands them over.
    size_t Line(int x1, int y1, int x2, int y2, CellAction action) {
        return mModel.ApplyLine(Point(x1, y1), Point(x2, y2), action).size();
    }

    PuzzleModel mModel;
    TutorialRules mRules;
};

TEST_F(TutorialRulesTest, NamedCellsAndWhatALineMeets) {
    ASSERT_TRUE(mRules.NameCells(kReveal, 0, 2, 3, 0, 0));   // one cell: [1][2]
    ASSERT_TRUE(mRules.NameCells(kReveal, 1, 2, 3, 2, 3));   // the same again: counted once
    EXPECT_EQ(mRules.GetRequired(), 1);
    EXPECT_EQ(mRules.Expected(1, 2), kReveal);
    EXPECT_EQ(mRules.Groups(1, 2), 3u);

    struct Step {
        int x1, y1, x2, y2;
        CellAction action;
        size_t changed;
        TutorialRules::Verdict verdict;
        bool allDone;
    };
    using V = TutorialRules::Verdict;
    const Step steps[] = {
        {1, 2, 1, 2, kMark, 0, V::IncorrectTile, false},  // expects the other action
        {1, 1, 1, 2, kReveal, 1, V::BlankTile, false},    // [1][1] unnamed: refused; [1][2] changes
        {1, 2, 1, 2, kReveal, 0, V::None, false},         // done already: passes, nothing left
    };
    for (const Step& s : steps) {
        EXPECT_EQ(Line(s.x1, s.y1, s.x2, s.y2, s.action), s.changed) << s.x1 << s.y1;
        EXPECT_EQ(mRules.TakeVerdict(), s.verdict) << s.x1 << s.y1;
        EXPECT_EQ(mRules.TakeAllDone(), s.allDone) << s.x1 << s.y1;
    }
    EXPECT_EQ(mRules.GetRequired(), 0);
    // A cell already done can never be acted on: naming it requires nothing.
    mRules.NameCells(kReveal, 0, 2, 3, 0, 0);
    mRules.SkipDone(mModel);
    EXPECT_EQ(mRules.GetRequired(), 0);
    EXPECT_EQ(mRules.Expected(1, 2), CellAction::None);
    // A passing line that does the last named cell ends the step.
    mRules.NameCells(kMark, 0, 3, 3, 4, 3);
    EXPECT_EQ(Line(2, 2, 3, 2, kMark), 2u);
    EXPECT_TRUE(mRules.TakeAllDone());
}

TEST_F(TutorialRulesTest, RevealModeAllWantsTheWholeLine) {
    mRules.SetRevealModeAll(true);
    mRules.NameCells(kReveal, 0, 1, 1, 5, 1);  // the top row
    mRules.NameCells(kReveal, 0, 1, 2, 1, 2);
    EXPECT_EQ(Line(0, 0, 3, 0, kReveal), 4u);  // 4 walked, 6 required: not accepted
    EXPECT_EQ(Line(4, 0, 4, 0, kReveal), 1u);  // 1 walked, 2 required
    EXPECT_FALSE(mRules.TakeAllDone());
    EXPECT_EQ(Line(0, 1, 0, 1, kReveal), 1u);  // the whole of what is left
    EXPECT_EQ(mRules.GetRequired(), 0);
    EXPECT_TRUE(mRules.TakeAllDone());
}

TEST_F(TutorialRulesTest, SlantedAndOutsideNamesEndAndStayOnTheBoard) {
    struct Case {
        int x1, y1, x2, y2, required;
    };
    const Case cases[] = {
        {1, 1, 3, 5, 5},    // x stops at 3, y goes on to 5
        {4, 4, 9, 9, 2},    // (4,4), (5,5); the rest is off the board
        {-2, 1, 2, 1, 2},   // from outside in
        {0, 0, 0, 0, 0},    // nothing on the board
    };
    for (const Case& c : cases) {
        mRules.Clear();
        EXPECT_TRUE(mRules.NameCells(kMark, 0, c.x1, c.y1, c.x2, c.y2));
        EXPECT_EQ(mRules.GetRequired(), c.required) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST_F(TutorialRulesTest, GroupsFlashInTurnAndBadValuesAreRefused) {
    EXPECT_FALSE(mRules.NameCells(kReveal, 32, 1, 1, 0, 0));
    EXPECT_FALSE(mRules.NameCells(kReveal, -1, 1, 1, 0, 0));
    EXPECT_FALSE(mRules.SetFlashGroupCount(0));
    EXPECT_EQ(mRules.GetRequired(), 0);
    mRules.NameCells(kReveal, 2, 1, 1, 0, 0);  // three groups now
    EXPECT_EQ(mRules.GetFlashGroupCount(), 3);
    std::vector<int> lit;
    for (int step = 1; step <= 400; ++step)
        if (mRules.StepFlash()) lit.push_back(mRules.LitGroup());
    EXPECT_EQ(lit, (std::vector<int>{1, 2, 0, 1}));  // one second (100 steps) each
    EXPECT_EQ(mRules.Lit(0, 0), CellAction::None);   // group 2 is not lit at group 1
    while (mRules.LitGroup() != 2) mRules.StepFlash();
    EXPECT_EQ(mRules.Lit(0, 0), kReveal);
}

TEST_F(TutorialRulesTest, FreePlayFollowsTheOrdinaryRules) {
    mRules.SetFreePlay(true);
    EXPECT_EQ(Line(0, 0, 0, 4, kReveal), 5u);
    EXPECT_EQ(mRules.TakeVerdict(), TutorialRules::Verdict::None);
    EXPECT_EQ(mRules.GetRequired(), 0);  // never below 0
}

}  // namespace
