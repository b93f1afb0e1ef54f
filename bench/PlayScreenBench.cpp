// One update step plus one drawn frame of the play screen (board, meters,
// timer, tool buttons) on a 25 x 25 board while a line is dragged across it,
// through the null renderer.
#include <benchmark/benchmark.h>

#include <string>

#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayPuzzleMenu.h"
#include "puzzle/PlayerState.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kSize = 25;
const wchar_t* const kGame = L"playbench";

ImageSurface* Picture(int w, int h, int cols = 1, int rows = 1) {
    ImageData data;
    data.mWidth = w;
    data.mHeight = h;
    data.mBits.assign(static_cast<size_t>(w) * h, 0x80ffffffu);
    auto* image = new ImageSurface(data);
    image->mNumCols = cols;
    image->mNumRows = rows;
    return image;
}

void SetUpPlay(PlayerState& player) {
    SetDebugOutputEnabled(false);
    player.mDevice = L"pbench";
    player.MakeCurrent();
    gAssetManager->AddImage(L"Grid25_pbench", Picture(200 + kSize * 24, 200 + kSize * 24));
    for (const wchar_t* name : {L"G25TileHighlight_pbench", L"G25MarkHighlight_pbench", L"G25CursorHighlight_pbench"})
        gAssetManager->AddImage(name, Picture(24, 24));
    gAssetManager->AddImage(L"GridNumbers", Picture(25 * 10, 8 * 10, 25, 8));
    gAssetManager->AddImage(L"chanceSmall_pbench", Picture(56, 28, 2, 1));
    gAssetManager->AddImage(L"tile_tool_btn", Picture(256, 64, 4, 1));
    gAssetManager->AddImage(L"mark_tool_btn", Picture(256, 64, 4, 1));
    GridConfig config;
    config.mOffsetX = 200;
    config.mOffsetY = 200;
    config.mMistakes = 12;
    config.mHints = 25;
    config.mHintReward = 5;
    gGridConfigs.Edit([&](GridConfigTable& rules) { rules[kSize] = config; });
    PuzzleLayer solution(kSize, std::vector<int32_t>(kSize, 0));
    for (int x = 0; x < kSize; ++x)
        for (int y = 0; y < kSize; ++y) solution[x][y] = ((x / 2 + y) % 3) != 0;
    PuzzleRecord record;
    record.mName = L"bench";
    record.mSolution = CompactLayer::FromColumns(solution);
    record.mPicture = CompactLayer::FromColumns(PuzzleLayer(kSize, std::vector<int32_t>(kSize, 5)));
    gPuzzleTable.Edit([&](PuzzleTable& table) { table[kGame].mModes[0].assign(1, PuzzleSet{record}); });
    AnimationStats animations;
    if (animations.LoadAnimationsFromString(
            "<animations><animation name='default_play'><wait-for time='1'/></animation><animation name='play_intro'><wait-for time='1'/></animation>"
            "<animation name='play_puzzle_menu_pbench'><finish-init/><show-grid/><show-numbers/>"
            "<wait-for-numbers/></animation></animations>",
            "bench.xml"))
        animations.Publish();
}

void BM_PlayScreenFrameDuringDrag25(benchmark::State& state) {
    PlayerState player;
    SetUpPlay(player);
    WidgetManager manager;
    auto* menu = new PlayPuzzleMenu(PuzzleRef{kGame, 0, 0, 0});
    manager.AddWidget(menu);
    menu->SetActive(true);
    for (int i = 0; i < 100 && menu->GetState() != PlayPuzzleMenu::State::Playing; ++i) {
        manager.Update();
        manager.UpdateF(1.0f);
    }
    PlayTileGrid* board = menu->GetGrid();
    if (!board || menu->GetState() != PlayPuzzleMenu::State::Playing) {
        state.SkipWithError("the play screen did not start");
        return;
    }
    const int tile = board->GetTileSize();
    board->MouseEnter();
    board->MouseDown(tile / 2, tile / 2, 1);
    int step = 0;
    Graphics g;
    for (auto _ : state) {
        // The pointer sweeps along the first row and back: the line changes every frame.
        const int cell = step++ % (2 * kSize - 2);
        const int x = cell < kSize ? cell : 2 * kSize - 2 - cell;
        board->MouseDrag(x * tile + tile / 2, tile / 2);
        manager.Update();
        manager.UpdateF(1.0f);
        manager.DrawToGraphics(g);
        g.FlushBatch();
    }
    state.SetLabel("25 x 25, a line held");
}
BENCHMARK(BM_PlayScreenFrameDuringDrag25)->Unit(benchmark::kMicrosecond);

}  // namespace
