// One update step plus one drawn frame of the play screen (board, meters,
// timer, tool buttons) on a 25 x 25 board while a line is dragged across it,
// and while the solved puzzle's picture appears over it, through the null
// renderer and through the OpenGL driver on a hidden window (SDL's offscreen
// driver without a display): the GL figures include presenting each frame.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchBoard.h"
#include "bench/BenchPictures.h"
#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Constants.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayPuzzleMenu.h"
#include "puzzle/PlayerState.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kSize = kBenchBoardSize;
const wchar_t* const kGame = L"playbench";

void SetUpPlay(PlayerState& player) {
    SetDebugOutputEnabled(false);
    PlayTileGrid::RegisterScriptCommands(ScriptCommandRegistry::Instance());
    PlayPuzzleMenu::RegisterScriptCommands(ScriptCommandRegistry::Instance());
    player.mDevice = L"pbench";
    player.MakeCurrent();
    gAssetManager->AddImage(L"chanceSmall_pbench", BenchPicture(56, 28, 2, 1));
    gAssetManager->AddImage(L"tile_tool_btn", BenchPicture(256, 64, 4, 1));
    gAssetManager->AddImage(L"mark_tool_btn", BenchPicture(256, 64, 4, 1));
    gAssetManager->AddImage(L"ArtTiles", BenchPicture(512, 32, 16, 1));
    // The game's reveal timing (constants.xml).
    PublishConstants({{L"shades", 4}, {L"art_reveal_speed", 30}, {L"art_reveal_delay", 50}});
    GridConfig config;
    config.mMistakes = 12;
    config.mHints = 25;
    config.mHintReward = 5;
    SetUpBenchBoard(kGame, L"pbench", config, L"bench", 5);
    AnimationStats animations;
    if (animations.LoadAnimationsFromString(
            "<animations><animation name='default_play'><wait-for time='1'/></animation><animation name='play_intro'><wait-for time='1'/></animation>"
            "<animation name='play_puzzle_menu_pbench'><finish-init/><show-grid/><show-numbers/>"
            "<wait-for-numbers/></animation></animations>",
            "bench.xml"))
        animations.Publish();
}

void StepAndDraw(WidgetManager& manager, bool draw);

// The screen on the bench puzzle, run until play begins; null when it did not.
PlayPuzzleMenu* OpenPlay(WidgetManager& manager) {
    auto* menu = new PlayPuzzleMenu(PuzzleRef{kGame, 0, 0, 0});
    manager.AddWidget(menu);
    menu->SetActive(true);
    for (int i = 0; i < 100 && menu->GetState() != PlayPuzzleMenu::State::Playing; ++i) StepAndDraw(manager, false);
    return menu->GetGrid() && menu->GetState() == PlayPuzzleMenu::State::Playing ? menu : nullptr;
}

void StepAndDraw(WidgetManager& manager, bool draw) {
    manager.Update();
    manager.UpdateF(1.0f);
    if (!draw) return;
    Graphics g;
    manager.DrawToGraphics(g);
    g.FlushBatch();
}

// The frame loop; `finish` runs after each drawn frame.
template <class Finish>
void RunDragFrames(benchmark::State& state, Finish finish) {
    PlayerState player;
    SetUpPlay(player);
    WidgetManager manager;
    PlayPuzzleMenu* menu = OpenPlay(manager);
    if (!menu) {
        state.SkipWithError("the play screen did not start");
        return;
    }
    PlayTileGrid* board = menu->GetGrid();
    const int tile = board->GetTileSize();
    board->MouseEnter();
    board->MouseDown(tile / 2, tile / 2, 1);
    int step = 0;
    for (auto _ : state) {
        // The pointer sweeps along the first row and back: the line changes every frame.
        const int cell = step++ % (2 * kSize - 2);
        const int x = cell < kSize ? cell : 2 * kSize - 2 - cell;
        board->MouseDrag(x * tile + tile / 2, tile / 2);
        StepAndDraw(manager, true);
        finish();
    }
    state.SetLabel("25 x 25, a line held");
}

// Frames while the solved puzzle's picture appears cell by cell; when it is
// whole the screen is opened and solved again, untimed.
template <class Finish>
void RunRevealFrames(benchmark::State& state, Finish finish) {
    PlayerState player;
    SetUpPlay(player);
    WidgetManager manager;
    PlayPuzzleMenu* menu = nullptr;
    for (auto _ : state) {
        if (!menu || menu->GetState() != PlayPuzzleMenu::State::Revealing) {
            state.PauseTiming();
            if (menu) {
                menu->RemoveSelf();
                StepAndDraw(manager, false);  // deleted after the step
            }
            menu = OpenPlay(manager);
            if (menu) menu->CompletePuzzle();
            state.ResumeTiming();
            if (!menu || menu->GetState() != PlayPuzzleMenu::State::Revealing) {
                state.SkipWithError("the picture did not start to appear");
                break;
            }
        }
        StepAndDraw(manager, true);
        finish();
    }
    state.SetLabel("25 x 25, the picture appearing");
}

void BM_PlayScreenFrameDuringDrag25(benchmark::State& state) {
    RunDragFrames(state, [] {});
}
BENCHMARK(BM_PlayScreenFrameDuringDrag25)->Unit(benchmark::kMicrosecond);

// Runs `frames(state, present)` with the OpenGL device of a hidden window
// installed; `present` shows each drawn frame and starts the next.
template <class Frames>
void WithOffscreenGL(benchmark::State& state, Frames frames) {
    if (PlatformGetEnv("DISPLAY").empty() && PlatformGetEnv("WAYLAND_DISPLAY").empty())
        PlatformSetEnv("SDL_VIDEODRIVER", "offscreen");
    WindowConfig config;
    config.title = "bench";
    config.visible = false;
    config.vsync = false;
    std::string error;
    std::unique_ptr<PlatformWindow> window = PlatformWindow::Create(config, &error);
    D3DInterface device;
    if (!window || !device.Init(window.get(), 1024, 768, false)) {
        state.SkipWithError("no OpenGL window here");
        return;
    }
    D3DInterface::Install(&device);
    frames(state, [&device] {
        device.Present();
        device.BeginFrame(Color(0, 0, 0));
    });
    D3DInterface::Install(nullptr);
}

void BM_PlayScreenFrameDuringDrag25GL(benchmark::State& state) {
    WithOffscreenGL(state, [](benchmark::State& s, auto present) { RunDragFrames(s, present); });
}
BENCHMARK(BM_PlayScreenFrameDuringDrag25GL)->Unit(benchmark::kMicrosecond);

void BM_PlayScreenRevealFrame25(benchmark::State& state) {
    RunRevealFrames(state, [] {});
}
BENCHMARK(BM_PlayScreenRevealFrame25)->Unit(benchmark::kMicrosecond);

void BM_PlayScreenRevealFrame25GL(benchmark::State& state) {
    WithOffscreenGL(state, [](benchmark::State& s, auto present) { RunRevealFrames(s, present); });
}
BENCHMARK(BM_PlayScreenRevealFrame25GL)->Unit(benchmark::kMicrosecond);

}  // namespace
