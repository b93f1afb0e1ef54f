#include "tests/grid/GridFixture.h"

#include "core/Random.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/ConstantsLoader.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayTileGrid.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/WidgetManager.h"

const wchar_t* const GridTest::kGame = L"gridtest";
const char* const GridTest::kRows[5] = {"##.##", "#..##", ".....", "##.#.", "##.##"};

TestPlayScreen::TestPlayScreen() {
    Resize(0.0f, 0.0f, 1024, 768);
    mEffects = new Widget();
    mEffects->Resize(0.0f, 0.0f, 1024, 768);
    mEffects->mRemoveMask = WidgetFlags::AllowMouse;
    AddWidget(mEffects);
}

void GridTest::SetUp() {
    mApp = &mHarness.Boot<GameApp>("Grid Test", "1", 1024, 768);
    ASSERT_TRUE(mHarness.InitSucceeded());
    std::string error;
    ASSERT_TRUE(gAssetManager->LoadDefinitions("properties/assets.xml", &error)) << error;
    ASSERT_TRUE(gAssetManager->LoadGroup("PlayAssets", L"ipad"));
    // The pictures' tiles and small grids are always loaded (the puzzle choice shows them too).
    ASSERT_TRUE(gAssetManager->LoadGroup("Global", L""));
    ASSERT_TRUE(LoadConstantsFile());
    PlayTileGrid::RegisterScriptCommands(ScriptCommandRegistry::Instance());
    ASSERT_TRUE(LoadAnimationsFile("properties/animations.xml", &error)) << error;
    mPlayer.mDevice = L"ipad";
    mPlayer.mMadeMistake = true;  // the first mistake's notice has a test of its own
    mPlayer.MakeCurrent();
    GridConfig config;
    config.mOffsetX = 120;
    config.mOffsetY = 150;
    config.mHints = 3;
    config.mHintReward = 2;
    config.mMistakes = 3;
    gGridConfigs.Publish(GridConfigTable{{5, config}});
    gPuzzleTable.Edit([](PuzzleTable& table) { table.erase(kGame); });
    InstallPuzzle(0, std::vector<std::string>(kRows, kRows + 5));
    SeedShuffleRandom(1);
    mScreen = new TestPlayScreen();
    mApp->mWidgetManager->AddWidget(mScreen);
}

void GridTest::TearDown() {
    if (mApp && mApp->mWidgetManager) {
        std::vector<Widget*> left = mApp->mWidgetManager->GetWidgets();
        for (Widget* widget : left) widget->RemoveSelf();
        mHarness.RunSteps(1);
    }
    gPuzzleTable.Edit([](PuzzleTable& table) { table.erase(kGame); });
    if (gPlayerState == &mPlayer) gPlayerState = nullptr;
    if (gCurrentPlayerState == &mPlayer) gCurrentPlayerState = nullptr;
    SetShuffleRandom(nullptr);
}

void GridTest::InstallPuzzle(int index, const std::vector<std::string>& rows) {
    const size_t n = rows.size();
    PuzzleLayer solution(n, std::vector<int32_t>(n, 0));
    for (size_t y = 0; y < n; ++y)
        for (size_t x = 0; x < n && x < rows[y].size(); ++x) solution[x][y] = rows[y][x] == '#';
    gPuzzleTable.Edit([&](PuzzleTable& table) {
        auto& sets = table[kGame].mModes[0];
        if (sets.empty()) sets.resize(1);
        PuzzleSet& set = sets[0];
        if (static_cast<int>(set.size()) <= index) set.resize(static_cast<size_t>(index) + 1);
        PuzzleRecord& record = set[static_cast<size_t>(index)];
        record.mName = L"test" + std::to_wstring(index);
        record.mSolution = CompactLayer::FromColumns(solution);
        record.mPicture = CompactLayer::FromColumns(PuzzleLayer(n, std::vector<int32_t>(n, -1)));
    });
}

PlayTileGrid* GridTest::MakeBoard(int index, bool meters) {
    std::string error;
    mGrid = PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, index}, &error);
    EXPECT_NE(mGrid, nullptr) << error;
    if (!mGrid) return nullptr;
    if (meters) mGrid->SetMeters(&mHintMeter, &mMistakeMeter);
    mScreen->AddWidget(mGrid);
    return mGrid;
}

PlayTileGrid* GridTest::StartBoard(int index, bool meters) {
    if (!MakeBoard(index, meters)) return nullptr;
    mGrid->StartNumbersIntro();
    Run(200);
    EXPECT_FALSE(mGrid->mDisabled);
    return mGrid;
}

void GridTest::ClickCell(int x, int y, MouseButton button) {
    mHarness.MouseMove(CellX(x), CellY(y));
    mHarness.Click(CellX(x), CellY(y), button);
    mHarness.DrainInput();
}

void GridTest::HoldLine(int fromX, int fromY, int toX, int toY, MouseButton button) {
    mHarness.MouseMove(CellX(fromX), CellY(fromY));
    mHarness.MouseDown(CellX(fromX), CellY(fromY), button);
    PointAt(CellX(toX), CellY(toY));
}

void GridTest::DragLine(int fromX, int fromY, int toX, int toY, MouseButton button) {
    HoldLine(fromX, fromY, toX, toY, button);
    mHarness.MouseUp(CellX(toX), CellY(toY), button);
    mHarness.DrainInput();
}

void GridTest::PointAt(int x, int y) {
    mHarness.MouseMove(x, y);
    mHarness.DrainInput();
}

int GridTest::DelayOf(AnimationWidget* widget) {
    return widget ? widget->GetVariable(L"delay").ToInt() : -1;
}

int GridTest::CountDone() const {
    int done = 0;
    for (int x = 0; x < mGrid->GetSize(); ++x)
        for (int y = 0; y < mGrid->GetSize(); ++y) done += mGrid->IsCellDone(x, y);
    return done;
}
