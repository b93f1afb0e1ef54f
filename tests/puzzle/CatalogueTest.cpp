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
    template <typename Loader>
    static void LoadAndPublish(const char* name) {
        Loader loader(false);
        ASSERT_TRUE(loader.LoadText(ReadPropertiesFile(name), name)) << loader.GetErrorText();
        loader.Publish();
    }
    void SetUp() override {
        LoadAndPublish<PuzzleStats>(PuzzleStats::kFileName);
        LoadAndPublish<SetStats>(SetStats::kFileName);
        LoadAndPublish<GameStats>(GameStats::kFileName);
        MyLocalization titles(false);
        ASSERT_TRUE(titles.LoadText(ReadPropertiesFile("localization.xml"), "localization.xml"))
            << titles.GetErrorText();
    }
    const GamePuzzles& Game() { return *FindGamePuzzles(gGameId); }
};

// Played by the rules, revealing exactly its tiles solves every puzzle
// without a mistake, and the rules' clues are the solver's.
TEST_F(OurCatalogue, EveryPuzzlePlaysByTheRules) {
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& puzzle : set) {
                SCOPED_TRACE(WStringToString(puzzle.mName));
                const PuzzleLayer solution = puzzle.mSolution.ToColumns();
                PuzzleModel model(solution, 1);
                const int n = model.GetSize();
                const std::vector<ClueLine>& columns = model.GetClues(LineKind::Column);
                const std::vector<ClueLine>& rows = model.GetClues(LineKind::Row);
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(ClueLengths(columns[i]), LineSolver::ColumnClue(solution, i));
                    EXPECT_EQ(ClueLengths(rows[i]), LineSolver::RowClue(solution, i));
                }
                model.InitHoles();
                for (int x = 0; x < n; ++x)
                    for (int y = 0; y < n; ++y)
                        if (solution[x][y]) model.ApplyLine(Point(x, y), Point(x, y), CellAction::Reveal);
                EXPECT_EQ(model.GetEnd(), PlayEnd::Solved);
                EXPECT_EQ(model.GetMistakesMade(), 0);
                for (const ClueLine& row : rows)
                    for (const Clue& clue : row) EXPECT_TRUE(clue.mSatisfied);
            }
        }
    }
}

// The loader has proved every puzzle square with 0/1 cells; what is left is
// that each is fair and that the catalogue has what the play needs.
TEST_F(OurCatalogue, EveryPuzzleIsUniqueByLineLogicAndTheSizesThePlayNeedsAreThere) {
    EXPECT_GE(Game().mModes[0].size(), 2u);
    EXPECT_GE(Game().mModes[1].size(), 1u);
    EXPECT_GE(Game().mModes[0][0].size(), 2u);
    std::set<int> sizes;
    bool emptyRowAndColumn = false, emptyPictureCell = false;
    int count = 0;
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& p : set) {
                ++count;
                const PuzzleLayer solution = p.mSolution.ToColumns();
                LineSolver::Result result;
                EXPECT_TRUE(LineSolver::IsLineSolvable(solution, &result))
                    << WStringToString(p.mName) << ": " << result.CountUnknown() << " cells left";
                const int n = p.GetSize();
                sizes.insert(n);
                bool emptyColumn = false, emptyRow = false;
                for (int i = 0; i < n; ++i) {
                    bool column = false, row = false;
                    for (int j = 0; j < n; ++j) {
                        column |= solution[i][j] != 0;
                        row |= solution[j][i] != 0;
                        emptyPictureCell |= p.mPicture.At(i, j) < 0;
                    }
                    emptyColumn |= !column;
                    emptyRow |= !row;
                }
                emptyRowAndColumn |= emptyRow && emptyColumn;
                EXPECT_TRUE(p.mTested);
                EXPECT_GT(p.mSteps, 0);
                EXPECT_GT(p.mDifficulty, 0);
            }
        }
    }
    EXPECT_GE(count, 10);
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
            const int count = static_cast<int>(Game().mModes[mode][s].size());
            EXPECT_FALSE(FindPuzzleTitle(set.mName, count - 1).empty()) << WStringToString(set.mName);
            EXPECT_TRUE(FindPuzzleTitle(set.mName, count).empty()) << WStringToString(set.mName);
            EXPECT_TRUE(HasLocalizedString(set.mName)) << WStringToString(set.mName);
            for (const PuzzleRecord& p : Game().mModes[mode][s])
                EXPECT_TRUE(HasLocalizedString(p.mName)) << WStringToString(p.mName);
            if (mode == 0) {
                EXPECT_FALSE(set.mX == 0 && set.mY == 0) << "story sets need a map place";
            }
        }
    }
    EXPECT_EQ(FindPuzzleTitle(L"meadow", 0), L"Heart");
}
