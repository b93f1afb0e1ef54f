#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "data/Animation.h"
#include "data/AnimationStats.h"
#include "render/Fonts.h"
#include "render/Graphics.h"
#include "widgets/AnimationWidget.h"
#include "widgets/WidgetManager.h"

// A screen of objects made by script: 500 text labels, 500 rectangles and 200
// buttons sized to their labels. The time to build it (one run of the
// script), and one frame of it: the update step, the drawn-frame step and
// drawing the whole tree through the null renderer.

namespace {

constexpr int kLabels = 500;
constexpr int kRects = 500;
constexpr int kButtons = 200;

bool PrepareObjects() {
    static bool ready = [] {
        const char* data = std::getenv("QUILTRO7_GAMEDATA");
        std::string folder = data ? std::string(data) + "/" : std::string("gamedata/");
        std::string error;
        if (!Fonts::LoadFontsFile(folder + "properties/fonts.xml", &error)) return false;
        std::string xml =
            "<animations><animation name=\"objects\"><define i=\"0\"/>"
            "<loop count=\"" + std::to_string(kLabels) + "\">"
            "<add-label text=\"'Label ' + i\" lookup=\"false\" font=\"'tiny'\""
            " x=\"i % 20 * 50\" y=\"i / 20 * 30\"/>"
            "<add-rect x=\"i % 20 * 50\" y=\"i / 20 * 30 + 16\" width=\"40\" height=\"10\""
            " red=\"0.5\" green=\"0.3\" blue=\"0.2\" depth=\"-1\"/>"
            "<assign name=\"'i'\" value=\"i + 1\"/></loop>"
            "<loop count=\"" + std::to_string(kButtons) + "\">"
            "<add-button text=\"'Button ' + i\" lookup=\"false\" font=\"'tiny'\""
            " x=\"i % 10 * 100\" y=\"i / 10 * 36\" action=\"'go'\"/>"
            "<assign name=\"'i'\" value=\"i + 1\"/></loop>"
            "<persist/></animation></animations>";
        AnimationStats loader;
        if (!loader.LoadAnimationsFromString(xml, "objects-bench.xml")) return false;
        loader.Publish();
        return true;
    }();
    return ready;
}

AnimationWidget* Build(WidgetManager& manager) {
    auto* scene = new AnimationWidget(L"objects", 0.0f, 0.0f, false);
    manager.AddWidget(scene);  // the script runs to its "persist" here
    return scene;
}

void BM_ObjectsBuild(benchmark::State& state) {
    if (!PrepareObjects()) return state.SkipWithError("no fonts or animations");
    WidgetManager manager;
    for (auto _ : state) {
        AnimationWidget* scene = Build(manager);
        state.PauseTiming();
        if (scene->GetWidgetCount() != kLabels + kRects + kButtons)
            state.SkipWithError("the scene is incomplete");
        scene->mDeleteWhenRemoved = false;
        manager.RemoveWidget(scene);
        delete scene;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * (kLabels + kRects + kButtons));
}
BENCHMARK(BM_ObjectsBuild)->Unit(benchmark::kMillisecond);

void BM_ObjectsFrame(benchmark::State& state) {
    if (!PrepareObjects()) return state.SkipWithError("no fonts or animations");
    WidgetManager manager;
    Build(manager);
    for (auto _ : state) {
        manager.Update();
        manager.UpdateF(1.0f);
        Graphics g;
        manager.DrawToGraphics(g);
        benchmark::DoNotOptimize(g.GetSubmittedDrawCount());
    }
}
BENCHMARK(BM_ObjectsFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
