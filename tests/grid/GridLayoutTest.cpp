#include "data/Constants.h"
#include "data/AssetManager.h"
#include "puzzle/GameStats.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/grid/GridFixture.h"
#include "tests/puzzle/PuzzleTestSupport.h"
#include "widgets/WidgetManager.h"

TEST(GridLayers, OnlySquareLayersOfOneToTwentyFiveAreBoards) {
    std::string error;
    EXPECT_TRUE(Grid::ValidateLayer(PuzzleLayer(25, std::vector<int32_t>(25, 0)), &error));
    EXPECT_FALSE(Grid::ValidateLayer(PuzzleLayer(), &error));
    EXPECT_FALSE(Grid::ValidateLayer(PuzzleLayer(26, std::vector<int32_t>(26, 0)), &error));
    PuzzleLayer ragged(5, std::vector<int32_t>(5, 0));
    ragged[3].resize(4);
    EXPECT_FALSE(Grid::ValidateLayer(ragged, &error));
    EXPECT_NE(error.find("column 3"), std::string::npos) << error;
}

TEST_F(GridTest, BoardIsPlacedFromTheSizeRulesAndTheTileImage) {
    ASSERT_TRUE(MakeBoard());
    EXPECT_EQ(mGrid->GetTileSize(), 80);
    EXPECT_EQ(mGrid->mWidth, 400);
    EXPECT_EQ(mGrid->mHeight, 400);
    // margin = (768 - 150 - 400) / 2 = 109
    EXPECT_EQ(mGrid->mX, 120.0f + 109.0f);
    EXPECT_EQ(mGrid->mY, 150.0f + 109.0f);
    EXPECT_EQ(mGrid->GetVariable(L"c_device").ToString(), L"ipad");
    EXPECT_EQ(ClueLengths(mGrid->GetClues(LineKind::Column)[0]), (std::vector<int>{2, 2}));
    EXPECT_EQ(ClueLengths(mGrid->GetClues(LineKind::Row)[3]), (std::vector<int>{2, 1}));
    // Clue slots: min("max_number_count" 5, ceil(5 / 2)) = 3 per line.
    EXPECT_EQ(mGrid->GetClueLayout().GetSlotWidth(), 40);
    EXPECT_EQ(mGrid->GetClueLayout().GetSlotHeight(), 50);
}

TEST_F(GridTest, AnUnknownSizeHasNoOffsets) {
    gGridConfigs.Publish({});
    ASSERT_TRUE(MakeBoard());
    EXPECT_EQ(mGrid->GetOffsetX(), 0);
    EXPECT_EQ(mGrid->GetOffsetY(), 0);
    EXPECT_EQ(mGrid->mY, static_cast<float>((768 - 400) / 2));
    EXPECT_EQ(mGrid->GetMistakesAllowed(), 0);
}

TEST_F(GridTest, BoardsWithoutTheirDataAreRefused) {
    std::string error;
    EXPECT_EQ(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 7}, &error), nullptr);
    EXPECT_EQ(error, "no such puzzle");
    EXPECT_EQ(PlayTileGrid::Create(PuzzleRef{kGame, 2, 0, 0}, &error), nullptr);
    InstallPuzzle(1, {"###", "#.#"});  // 3 columns of 2 cells
    EXPECT_EQ(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 1}, &error), nullptr);
    mPlayer.mDevice = L"phone";  // no pictures for this device
    EXPECT_EQ(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 0}, &error), nullptr);
    EXPECT_NE(error.find("Grid5_phone"), std::string::npos) << error;
    // Built anyway, the board is inert.
    PlayTileGrid inert(PuzzleRef{kGame, 0, 0, 0});
    EXPECT_FALSE(inert.IsUsable());
    EXPECT_EQ(inert.GetSize(), 0);
    inert.MouseDown(0, 0, 1);
    inert.MouseUpAt(0, 0, 1);
    inert.InitHoles();
    inert.GiveHint(0, 0, 3);
    EXPECT_EQ(inert.GetCurrentAction(), CellAction::None);
    mPlayer.mDevice = L"ipad";
    // A size with its background but no tile highlight.
    ImageData background;
    background.mWidth = background.mHeight = 8;
    background.mBits.assign(64, 0xff000000u);
    gAssetManager->AddImage(L"Grid7_ipad", new ImageSurface(background));
    InstallPuzzle(2, std::vector<std::string>(7, "#######"));
    gGridConfigs.Edit([](GridConfigTable& rules) { rules[7].mMistakes = 3; });
    EXPECT_EQ(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 2}, &error), nullptr);
    EXPECT_NE(error.find("G7TileHighlight_ipad"), std::string::npos) << error;
}

TEST_F(GridTest, AMissingClueSlotCountStillGivesOneSlot) {
    VariableMap constants = *GetConstantsSnapshot();
    constants.erase(L"max_number_count");
    PublishConstants(constants);
    ASSERT_TRUE(StartBoard());
    EXPECT_EQ(mGrid->GetClueLayout().GetSlotWidth(), 80);
    EXPECT_EQ(mGrid->GetClueLayout().GetSlotHeight(), 80);
    Graphics g;
    mApp->mWidgetManager->DrawToGraphics(g);
}

TEST_F(GridTest, ClueNumbersUseTheStyleRowsOfTheirSizesSheet) {
    ASSERT_TRUE(MakeBoard());
    Image* sheet = FindImage(L"G5Numbers_ipad");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->mNumCols, 5);
    ASSERT_EQ(sheet->mNumRows, 4);
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{3, 0}, false), 5 + 2);
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{3, 0}, true), 2);
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{3, 1}, true), 10 + 2) << "satisfied wins over highlighted";
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{5, 0}, false), 9);
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{6, 0}, false), -1) << "beyond the sheet";
    EXPECT_EQ(mGrid->ClueNumberCel(Clue{0, 0}, false), -1);
    // (Where each clue number goes is checked on the drawn frame, GridDrawTest.cpp.)

    // A board of 20 draws from its own sheet, which goes up to 20.
    InstallPuzzle(1, std::vector<std::string>(20, std::string(20, '#')));
    std::string error;
    PlayTileGrid* board = PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 1}, &error);
    ASSERT_NE(board, nullptr) << error;
    EXPECT_EQ(board->ClueNumberCel(Clue{20, 0}, false), 20 + 19);
    EXPECT_EQ(board->ClueNumberCel(Clue{20, 1}, true), 40 + 19);
    delete board;
}

TEST_F(GridTest, HighlightFollowsThePointerAndNumbersFade) {
    ASSERT_TRUE(StartBoard());
    EXPECT_FALSE(mGrid->HasHighlightedCell());
    PointAt(CellX(0), CellY(0));
    EXPECT_TRUE(mGrid->HasHighlightedCell());
    EXPECT_EQ(mGrid->GetEndCell(), Point(0, 0));
    Graphics g;
    mApp->mWidgetManager->DrawToGraphics(g);  // the deferred overlay is drawn
    mGrid->FadeNumbers();
    Run(50);
    EXPECT_NEAR(mGrid->GetNumberAlpha(), 0.5f, 0.02f);
    EXPECT_EQ(mGrid->mOpacity, 1.0f) << "a lost board keeps its clue room";
    Run(60);
    EXPECT_EQ(mGrid->GetNumberAlpha(), 0.0f);
    mApp->mWidgetManager->DrawToGraphics(g);
}

// Solved, the clue room's paper goes with the numbers: the picture stands
// alone (the empty banded room once stayed beside it).
TEST_F(GridTest, ASolvedBoardsClueRoomFadesWithItsNumbers) {
    ASSERT_TRUE(StartBoard());
    mGrid->FadeNumbers(true);
    Run(50);
    EXPECT_NEAR(mGrid->mOpacity, 0.5f, 0.02f);
    Run(60);
    EXPECT_EQ(mGrid->mOpacity, 0.0f);
}
