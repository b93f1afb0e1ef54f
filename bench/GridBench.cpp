// The play board at its largest, 25 x 25: applying a full 25-cell line (each
// cell judged, its animation widget made and both of its lines' satisfied
// flags recomputed) and a full clue rebuild; and one update step plus one
// drawn frame of the board with every clue number through the null renderer.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/ConstantsLoader.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/PlayerState.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kSize = 25;
const wchar_t* const kGame = L"gridbench";

ImageSurface* Square(int w, int h, int cols = 1, int rows = 1) {
    ImageData data;
    data.mWidth = w;
    data.mHeight = h;
    data.mBits.assign(static_cast<size_t>(w) * h, 0x80ffffffu);
    auto* image = new ImageSurface(data);
    image->mNumCols = cols;
    image->mNumRows = rows;
    return image;
}

// A checkered board with many short runs: the most clue numbers to draw.
struct BoardSetup {
    PlayerState mPlayer;

    BoardSetup() {
        SetDebugOutputEnabled(false);
        mPlayer.mDevice = L"bench";
        mPlayer.MakeCurrent();
        gAssetManager->AddImage(L"Grid25_bench", Square(200 + kSize * 24, 200 + kSize * 24));
        gAssetManager->AddImage(L"G25TileHighlight_bench", Square(24, 24));
        gAssetManager->AddImage(L"G25MarkHighlight_bench", Square(24, 24));
        gAssetManager->AddImage(L"G25CursorHighlight_bench", Square(24, 24));
        gAssetManager->AddImage(L"GridNumbers", Square(25 * 10, 8 * 10, 25, 8));
        GridConfig config;
        config.mOffsetX = 200;
        config.mOffsetY = 200;
        config.mMistakes = 1000000;
        gGridConfigs.Edit([&](GridConfigTable& rules) { rules[kSize] = config; });
        PuzzleLayer solution(kSize, std::vector<int32_t>(kSize, 0));
        for (int x = 0; x < kSize; ++x)
            for (int y = 0; y < kSize; ++y) solution[x][y] = ((x / 2 + y) % 3) != 0;
        PuzzleRecord record;
        record.mSolution = CompactLayer::FromColumns(solution);
        record.mPicture = CompactLayer::FromColumns(PuzzleLayer(kSize, std::vector<int32_t>(kSize, -1)));
        gPuzzleTable.Edit([&](PuzzleTable& table) { table[kGame].mModes[0].assign(1, PuzzleSet{record}); });
        std::string cells;
        for (const char* name : {"tile_solid", "tile_invalid_hole", "tile_hole", "tile_invalid_solid"})
            cells += std::string("<animation name=\"") + name +
                     "\"><wait-for time=\"delay\"/><persist/></animation>";
        AnimationStats animations;
        if (animations.LoadAnimationsFromString("<animations>" + cells + "</animations>", "bench.xml"))
            animations.Publish();
    }
};

BoardSetup& Setup() {
    static BoardSetup setup;
    return setup;
}

void BM_GridApplyLine25(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        state.PauseTiming();
        auto board = std::unique_ptr<PlayTileGrid>(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 0}, nullptr));
        state.ResumeTiming();
        for (int row = 0; row < kSize; ++row) {
            board->mAction = 1 + (row % 2);
            int delay = 0;
            for (int x = 0; x < kSize; ++x) board->ActOnCell(x, row, delay);
        }
        state.PauseTiming();
        board.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSize);
    state.SetLabel("per 25-cell line");
}
BENCHMARK(BM_GridApplyLine25)->Unit(benchmark::kMicrosecond);

void BM_GridBuildClues25(benchmark::State& state) {
    Setup();
    auto board = std::unique_ptr<PlayTileGrid>(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 0}, nullptr));
    for (auto _ : state) {
        board->BuildClues();
        for (int i = 0; i < kSize; ++i) {
            board->UpdateSatisfied(0, i);
            board->UpdateSatisfied(1, i);
        }
        benchmark::DoNotOptimize(board->mColumnClues.data());
    }
    state.SetLabel("all 50 lines");
}
BENCHMARK(BM_GridBuildClues25)->Unit(benchmark::kMicrosecond);

void BM_GridUpdateAndDraw25(benchmark::State& state) {
    Setup();
    WidgetManager manager;
    PlayTileGrid* board = PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 0}, nullptr);
    manager.AddWidget(board);
    board->StartNumbersIntro();  // no intro animation loaded: numbers at once
    int numbers = 0;
    for (int i = 0; i < kSize; ++i)
        numbers += static_cast<int>(board->mColumnClues[i].size() + board->mRowClues[i].size());
    Graphics g;
    for (auto _ : state) {
        manager.Update();
        manager.UpdateF(1.0f);
        manager.DrawToGraphics(g);
        g.FlushBatch();
    }
    state.SetLabel(std::to_string(numbers) + " clue numbers");
}
BENCHMARK(BM_GridUpdateAndDraw25)->Unit(benchmark::kMicrosecond);

}  // namespace
