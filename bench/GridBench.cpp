// The play board at its largest, 25 x 25: applying full 25-cell lines through
// the board (each cell judged, its animation widget made and both of its
// lines' satisfied flags recomputed) and through the rules alone, and a full
// clue rebuild; and one update step plus one
// drawn frame of the board with every clue number through the null renderer.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BenchBoard.h"
#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/ConstantsLoader.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PuzzleModel.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kSize = kBenchBoardSize;
const wchar_t* const kGame = L"gridbench";

struct BoardSetup {
    PlayerState mPlayer;

    BoardSetup() {
        SetDebugOutputEnabled(false);
        mPlayer.mDevice = L"bench";
        mPlayer.MakeCurrent();
        GridConfig config;
        config.mMistakes = 1000000;
        SetUpBenchBoard(kGame, L"bench", config, L"", -1);
        std::string cells;
        for (const char* name : {"tile_solid", "tile_invalid_hole", "tile_hole", "tile_invalid_solid"})
            cells += std::string("<animation name=\"") + name +
                     "\"><wait-for time=\"delay\"/><persist/></animation>";
        AnimationStats animations;
        if (animations.LoadAnimationsFromString("<animations>" + cells + "</animations>", "bench.xml"))
            animations.Publish();
    }

    // The solution in the columns the rules work on.
    PuzzleLayer Solution() const { return FindPuzzleRecord(kGame, 0, 0, 0)->mSolution.ToColumns(); }
};

BoardSetup& Setup() {
    static BoardSetup setup;
    return setup;
}

// Through the board as the pointer drives it: press at the row's first cell,
// release at its last; every other row marks (the right button).
void BM_GridApplyLine25(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        state.PauseTiming();
        auto board = std::unique_ptr<PlayTileGrid>(PlayTileGrid::Create(PuzzleRef{kGame, 0, 0, 0}, nullptr));
        board->StartNumbersIntro();  // no intro animation loaded: input at once
        const int tile = board->GetTileSize();
        state.ResumeTiming();
        for (int row = 0; row < kSize; ++row) {
            const int y = row * tile + tile / 2;
            board->MouseDown(tile / 2, y, row % 2 ? -1 : 1);
            board->MouseUpAt((kSize - 1) * tile + tile / 2, y, row % 2 ? -1 : 1);
        }
        state.PauseTiming();
        board.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSize);
    state.SetLabel("items: 25-cell lines");
}
BENCHMARK(BM_GridApplyLine25)->Unit(benchmark::kMicrosecond);

// The same lines applied to the rules alone: what the model costs of the above.
void BM_ModelApplyLine25(benchmark::State& state) {
    const PuzzleLayer solution = Setup().Solution();
    for (auto _ : state) {
        state.PauseTiming();
        PuzzleModel model(solution, 1000000);
        state.ResumeTiming();
        for (int row = 0; row < kSize; ++row) {
            const CellAction action = row % 2 ? CellAction::Mark : CellAction::Reveal;
            benchmark::DoNotOptimize(model.ApplyLine(Point(0, row), Point(kSize - 1, row), action));
        }
    }
    state.SetItemsProcessed(state.iterations() * kSize);
    state.SetLabel("items: 25-cell lines");
}
BENCHMARK(BM_ModelApplyLine25)->Unit(benchmark::kMicrosecond);

void BM_GridBuildClues25(benchmark::State& state) {
    const PuzzleLayer solution = Setup().Solution();
    PuzzleModel model(solution, 1000000);
    std::vector<ClueLine> columns, rows;
    for (auto _ : state) {
        ComputeClues(solution, columns, rows);
        for (int i = 0; i < kSize; ++i) {
            model.UpdateSatisfied(LineKind::Column, i);
            model.UpdateSatisfied(LineKind::Row, i);
        }
        benchmark::DoNotOptimize(columns.data());
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
        numbers += static_cast<int>(board->GetClues(LineKind::Column)[i].size() +
                                    board->GetClues(LineKind::Row)[i].size());
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
