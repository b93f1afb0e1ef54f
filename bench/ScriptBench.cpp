#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/Animation.h"
#include "data/AnimationStats.h"
#include "widgets/AnimationWidget.h"
#include "widgets/WidgetManager.h"

// How fast the script interpreter walks commands: a tight "for" loop of
// arithmetic assignments, and many widgets idling in "wait-for".

namespace {

constexpr int kLoopPasses = 20000;
constexpr int kIdleWidgets = 200;

void PublishBenchAnimations() {
    static bool published = false;
    if (published) return;
    std::string xml = "<animations>"
                      "<animation name=\"tight\"><define n=\"0\"/>"
                      "<for name=\"i\" from=\"0\" to=\"" + std::to_string(kLoopPasses) + "\">"
                      "<assign name=\"'n'\" value=\"n + i * 2 - 1\"/></for></animation>"
                      "<animation name=\"flat\"><define n=\"0\"/>"
                      "<loop count=\"" + std::to_string(kLoopPasses / 4) + "\">"
                      "<assign name=\"'n'\" value=\"n + 1\"/><assign name=\"'n'\" value=\"n + 1\"/>"
                      "<assign name=\"'n'\" value=\"n + 1\"/><assign name=\"'n'\" value=\"n + 1\"/>"
                      "</loop></animation>"
                      "<animation name=\"idle\"><define go=\"false\"/><wait-for cond=\"go\"/></animation>"
                      "<animation name=\"idle_timed\"><wait-for time=\"1000000\" click=\"false\"/></animation>"
                      "</animations>";
    AnimationStats loader;
    if (!loader.LoadAnimationsFromString(xml, "bench.xml")) return;
    loader.Publish();
    published = true;
}

// Commands of a "for" loop: one "assign" a pass (the pass ends, which
// evaluate the step, come on top).
void BM_ScriptForLoopAssign(benchmark::State& state) {
    PublishBenchAnimations();
    WidgetManager manager;
    auto* widget = new AnimationWidget(0.0f, 0.0f, nullptr, 1.0f);
    manager.AddWidget(widget);
    const Animation& tight = GetAnimation(L"tight");
    for (auto _ : state) {
        widget->PlayAnimation(tight);
        benchmark::DoNotOptimize(widget->GetVariable(L"n").ToInt());
    }
    if (widget->GetVariable(L"i").ToInt() != kLoopPasses) state.SkipWithError("loop did not finish");
    state.SetItemsProcessed(state.iterations() * kLoopPasses);
    state.counters["commands/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kLoopPasses,
                           benchmark::Counter::kIsRate);
    widget->mDeleteWhenRemoved = false;
    manager.RemoveWidget(widget);
    delete widget;
}
BENCHMARK(BM_ScriptForLoopAssign)->Unit(benchmark::kMillisecond);

// Four assignments per pass of a counted "loop": mostly plain commands.
void BM_ScriptLoopOfAssigns(benchmark::State& state) {
    PublishBenchAnimations();
    WidgetManager manager;
    auto* widget = new AnimationWidget(0.0f, 0.0f, nullptr, 1.0f);
    manager.AddWidget(widget);
    const Animation& flat = GetAnimation(L"flat");
    for (auto _ : state) {
        widget->PlayAnimation(flat);
        benchmark::DoNotOptimize(widget->GetVariable(L"n").ToInt());
    }
    if (widget->GetVariable(L"n").ToInt() != kLoopPasses) state.SkipWithError("loop did not finish");
    state.counters["commands/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kLoopPasses,
                           benchmark::Counter::kIsRate);
    widget->mDeleteWhenRemoved = false;
    manager.RemoveWidget(widget);
    delete widget;
}
BENCHMARK(BM_ScriptLoopOfAssigns)->Unit(benchmark::kMillisecond);

// One frame of 200 widgets whose scripts wait: each polls its wait state.
void IdleFrames(benchmark::State& state, const wchar_t* animation) {
    PublishBenchAnimations();
    WidgetManager manager;
    std::vector<AnimationWidget*> widgets;
    for (int i = 0; i < kIdleWidgets; ++i) {
        auto* widget = new AnimationWidget(animation, 0.0f, 0.0f, false);
        manager.AddWidget(widget);
        widgets.push_back(widget);
    }
    for (auto _ : state) manager.UpdateF(1.0f);
    for (AnimationWidget* widget : widgets)
        if (widget->mWaitState != WaitState::Condition) state.SkipWithError("a script stopped waiting");
    state.counters["polls/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kIdleWidgets, benchmark::Counter::kIsRate);
    for (AnimationWidget* widget : widgets) {
        widget->mDeleteWhenRemoved = false;
        manager.RemoveWidget(widget);
        delete widget;
    }
}

void BM_ScriptIdleWaitCondition(benchmark::State& state) { IdleFrames(state, L"idle"); }
BENCHMARK(BM_ScriptIdleWaitCondition)->Unit(benchmark::kMicrosecond);

void BM_ScriptIdleWaitTime(benchmark::State& state) { IdleFrames(state, L"idle_timed"); }
BENCHMARK(BM_ScriptIdleWaitTime)->Unit(benchmark::kMicrosecond);

}  // namespace
