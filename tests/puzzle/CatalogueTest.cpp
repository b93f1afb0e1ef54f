#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/StringUtil.h"
#include "data/Constants.h"
#include "data/ConstantsLoader.h"
#include "data/ImageCodec.h"
#include "data/ImageData.h"
#include "puzzle/GameStats.h"
#include "puzzle/LineSolver.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PuzzleModel.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"
#include "tests/puzzle/PuzzleTestSupport.h"

namespace {
bool AnyEmpty(const std::vector<ClueLine>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const ClueLine& line) { return line.empty(); });
}
}  // namespace

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
// without a mistake, and the rules' clues are the solver's. That each is
// unique by line logic, and agrees with the other files, puzzlecheck proves.
TEST_F(OurCatalogue, EveryPuzzlePlaysByTheRulesAndTheSizesThePlayNeedsAreThere) {
    EXPECT_GE(Game().mModes[0].size(), 2u);
    EXPECT_GE(Game().mModes[1].size(), 1u);
    EXPECT_GE(Game().mModes[0][0].size(), 2u);
    std::set<int> sizes;
    bool emptyRowAndColumn = false, emptyPictureCell = false;
    int count = 0;
    for (const auto& mode : Game().mModes) {
        for (const PuzzleSet& set : mode) {
            for (const PuzzleRecord& puzzle : set) {
                SCOPED_TRACE(WStringToString(puzzle.mName));
                ++count;
                EXPECT_TRUE(puzzle.mTested);
                EXPECT_GT(puzzle.mSteps, 0);
                EXPECT_GT(puzzle.mDifficulty, 0);
                const PuzzleLayer solution = puzzle.mSolution.ToColumns();
                PuzzleModel model(solution, 1);
                const int n = model.GetSize();
                sizes.insert(n);
                const std::vector<ClueLine>& columns = model.GetClues(LineKind::Column);
                const std::vector<ClueLine>& rows = model.GetClues(LineKind::Row);
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(ClueLengths(columns[i]), LineSolver::ColumnClue(solution, i));
                    EXPECT_EQ(ClueLengths(rows[i]), LineSolver::RowClue(solution, i));
                    for (int j = 0; j < n; ++j) emptyPictureCell |= puzzle.mPicture.At(i, j) < 0;
                }
                emptyRowAndColumn |= AnyEmpty(columns) && AnyEmpty(rows);
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
    EXPECT_GE(count, 10);
    EXPECT_TRUE(sizes.count(5) && sizes.count(10) && sizes.count(15) && sizes.count(20));
    EXPECT_TRUE(emptyRowAndColumn);
    EXPECT_TRUE(emptyPictureCell);
}

TEST_F(OurCatalogue, EachSetHasItsMusicItsPlaceAndItsTitles) {
    const GameSets& sets = SetStats::FindGame(gGameId);
    EXPECT_EQ(sets.mName, gGameId);
    for (int mode = 0; mode < 2; ++mode) {
        ASSERT_EQ(sets.mModes[mode].size(), Game().mModes[mode].size());
        for (size_t s = 0; s < sets.mModes[mode].size(); ++s) {
            const SetRecord& set = sets.mModes[mode][s];
            SCOPED_TRACE(WStringToString(set.mName));
            EXPECT_EQ(set.mMusicNames.size(), 2u);
            const int count = static_cast<int>(Game().mModes[mode][s].size());
            EXPECT_FALSE(FindPuzzleTitle(set.mName, count - 1).empty());
            EXPECT_TRUE(FindPuzzleTitle(set.mName, count).empty());
            EXPECT_TRUE(HasLocalizedString(set.mName));
            for (const PuzzleRecord& p : Game().mModes[mode][s])
                EXPECT_TRUE(HasLocalizedString(p.mName)) << WStringToString(p.mName);
            // The lessons come before the map; every wing is on it.
            EXPECT_EQ(mode == 0 && s > 0, set.mX != 0 || set.mY != 0) << "story wings need a map place";
        }
    }
    // The first story set is the lessons: exactly the tutorial's puzzles.
    ASSERT_FALSE(Game().mModes[0].empty());
    ConstantsLoader constants;
    ASSERT_TRUE(constants.Load(JoinPath(TestGameDataFolder(), "properties/constants.xml")));
    EXPECT_EQ(static_cast<int>(Game().mModes[0][0].size()), GetConstantInt(L"tutorials"));
    EXPECT_EQ(FindPuzzleTitle(L"lessons", 0), L"Heart");
    EXPECT_EQ(FindPuzzleTitle(L"meadow", 0), L"Tree");
}

// Every grid size the rules know has its solved-picture chime ("reveal" and
// the size): a 25 x 25 won in silence had none. Its "tileSize" constant (the
// picture's fade reads it) is the tile tools/gridgen drew for it.
TEST_F(OurCatalogue, EverySizeHasItsRevealSoundAndItsTileSize) {
    const std::string assets = ReadPropertiesFile("assets.xml");
    ConstantsLoader constants;
    ASSERT_TRUE(constants.Load(JoinPath(TestGameDataFolder(), "properties/constants.xml")));
    const auto configs = gGridConfigs.Get();
    ASSERT_FALSE(configs->empty());
    for (const auto& [size, config] : *configs) {
        const std::string n = std::to_string(size);
        EXPECT_NE(assets.find("<sound name=\"reveal" + n + "\""), std::string::npos) << size;
        std::string png;
        ASSERT_TRUE(ReadFileToString(JoinPath(TestGameDataFolder(), "images/G" + n + "TileHighlight_ipad.png"), png));
        ImageData tile;
        ASSERT_TRUE(DecodePNG(png.data(), png.size(), tile, nullptr));
        EXPECT_EQ(GetConstantInt(StringToWString("tileSize" + n)), tile.mWidth) << size;
    }
}
