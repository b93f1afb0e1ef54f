#include <gtest/gtest.h>

#include <set>

#include "core/StringUtil.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/LineSolver.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PuzzleModel.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"
#include "tests/puzzle/PuzzleTestSupport.h"

// Our own data: every puzzle we ship is fair, and the four files agree.
class OurCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        gPuzzleTable.clear();
        gSetTable.clear();
        gGridConfigs.clear();
        gPuzzleTitles.clear();
        PuzzleStats puzzles(false);
        ASSERT_TRUE(puzzles.LoadText(ReadPropertiesFile(PuzzleStats::kFileName), "puzzles_quiltro7.xml"))
            << puzzles.GetErrorText();
        for (const std::string& line : puzzles.GetProblems().Lines()) ADD_FAILURE() << line;
        SetStats sets(false);
        ASSERT_TRUE(sets.LoadText(ReadPropertiesFile(SetStats::kFileName), "sets7.xml")) << sets.GetErrorText();
        EXPECT_TRUE(sets.GetProblems().Empty());
        GameStats rules(false);
        ASSERT_TRUE(rules.LoadText(ReadPropertiesFile(GameStats::kFileName), "game.xml")) << rules.GetErrorText();
        MyLocalization titles(false);
        ASSERT_TRUE(titles.LoadText(ReadPropertiesFile("localization.xml"), "localization.xml"))
            << titles.GetErrorText();
    }
    const GamePuzzles& Game() { return gPuzzleTable[gGameId]; }
};

TEST_F(OurCatalogue, EveryPuzzleIsUniqueByLineLogic) {
    int count = 0;
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& puzzle : set) {
                ++count;
                LineSolver::Result result;
                EXPECT_TRUE(LineSolver::IsLineSolvable(puzzle.mSolution, &result))
                    << WStringToString(puzzle.mName) << ": " << result.CountUnknown() << " cells left";
            }
        }
    }
    EXPECT_GE(count, 10);
}

// Played by the rules, revealing exactly its tiles solves every puzzle
// without a mistake, and the rules' clues are the solver's.
TEST_F(OurCatalogue, EveryPuzzlePlaysByTheRules) {
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& puzzle : set) {
                SCOPED_TRACE(WStringToString(puzzle.mName));
                PuzzleModel model(puzzle.mSolution, 1);
                const int n = model.GetSize();
                const std::vector<ClueLine>& columns = model.GetClues(LineKind::Column);
                const std::vector<ClueLine>& rows = model.GetClues(LineKind::Row);
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(ClueLengths(columns[i]), LineSolver::ColumnClue(puzzle.mSolution, i));
                    EXPECT_EQ(ClueLengths(rows[i]), LineSolver::RowClue(puzzle.mSolution, i));
                }
                model.InitHoles();
                for (int x = 0; x < n; ++x)
                    for (int y = 0; y < n; ++y)
                        if (puzzle.mSolution[x][y]) model.ApplyLine(Point(x, y), Point(x, y), CellAction::Reveal);
                EXPECT_EQ(model.GetEnd(), PlayEnd::Solved);
                EXPECT_EQ(model.GetMistakesMade(), 0);
                for (const ClueLine& row : rows)
                    for (const Clue& clue : row) EXPECT_TRUE(clue.mSatisfied);
            }
        }
    }
}

TEST_F(OurCatalogue, HasTheSetsAndSizesThePlayNeeds) {
    EXPECT_GE(Game().mModes[0].size(), 2u);
    EXPECT_GE(Game().mModes[1].size(), 1u);
    EXPECT_GE(Game().mModes[0][0].size(), 2u);
    std::set<int> sizes;
    bool emptyRowAndColumn = false, emptyPictureCell = false;
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& p : set) {
                int n = p.GetSize();
                sizes.insert(n);
                ASSERT_EQ(p.mPicture.size(), static_cast<size_t>(n));
                bool emptyColumn = false, emptyRow = false;
                for (int x = 0; x < n; ++x) {
                    ASSERT_EQ(p.mSolution[x].size(), static_cast<size_t>(n));
                    ASSERT_EQ(p.mPicture[x].size(), static_cast<size_t>(n));
                    bool any = false;
                    for (int y = 0; y < n; ++y) {
                        any |= p.mSolution[x][y] != 0;
                        EXPECT_GE(p.mPicture[x][y], -1);
                        EXPECT_LE(p.mPicture[x][y], 675);
                        emptyPictureCell |= p.mPicture[x][y] < 0;
                    }
                    emptyColumn |= !any;
                }
                for (int y = 0; y < n; ++y) {
                    bool any = false;
                    for (int x = 0; x < n; ++x) any |= p.mSolution[x][y] != 0;
                    emptyRow |= !any;
                }
                emptyRowAndColumn |= emptyRow && emptyColumn;
                EXPECT_TRUE(p.mTested);
                EXPECT_GT(p.mSteps, 0);
                EXPECT_GT(p.mDifficulty, 0);
            }
        }
    }
    EXPECT_TRUE(sizes.count(5) && sizes.count(10) && sizes.count(15) && sizes.count(20));
    EXPECT_TRUE(emptyRowAndColumn);
    EXPECT_TRUE(emptyPictureCell);
}

TEST_F(OurCatalogue, AgreesWithSetsGridRulesAndTitles) {
    std::string message;
    EXPECT_TRUE(CheckGameData(message)) << message;
    const GameSets& sets = SetStats::FindGame(gGameId);
    EXPECT_EQ(sets.mName, gGameId);
    for (int mode = 0; mode < 2; ++mode) {
        ASSERT_EQ(sets.mModes[mode].size(), Game().mModes[mode].size());
        for (size_t s = 0; s < sets.mModes[mode].size(); ++s) {
            const SetRecord& set = sets.mModes[mode][s];
            EXPECT_EQ(set.mMusicNames.size(), 2u) << WStringToString(set.mName);
            const auto& titles = gPuzzleTitles[set.mName];
            ASSERT_EQ(titles.size(), Game().mModes[mode][s].size()) << WStringToString(set.mName);
            EXPECT_TRUE(HasLocalizedString(set.mName)) << WStringToString(set.mName);
            for (const PuzzleRecord& p : Game().mModes[mode][s])
                EXPECT_TRUE(HasLocalizedString(p.mName)) << WStringToString(p.mName);
            if (mode == 0) {
                EXPECT_FALSE(set.mX == 0 && set.mY == 0) << "story sets need a map place";
            }
        }
    }
    EXPECT_EQ(gPuzzleTitles[L"meadow"][0], L"Heart");
}
