// One drawn frame of a tree of 1,000 animated widgets, each with a tween and
// an oscillation: the modifier step of every widget, then drawing the whole
// tree through the null renderer.
#include <benchmark/benchmark.h>

#include <memory>

#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/DynamicWidget.h"
#include "widgets/WidgetContainer.h"

namespace {

std::unique_ptr<Image> MakeImage() {
    ImageData data;
    data.mWidth = 32;
    data.mHeight = 16;
    data.mBits.assign(32 * 16, 0xFF336699u);
    return std::unique_ptr<Image>(CreateImageFromData(std::move(data), 2, 1));
}

struct Scene {
    std::unique_ptr<Image> mImage = MakeImage();
    WidgetContainer mRoot;

    Scene() {
        // 10 groups of 99 children: 1,000 widgets with the group heads.
        for (int group = 0; group < 10; ++group) {
            auto* head = new DynamicWidget(group * 90.0f, 20.0f, mImage.get());
            mRoot.AddWidget(head);
            Animate(head, group);
            for (int i = 0; i < 99; ++i) {
                auto* w = new DynamicWidget(static_cast<float>(i % 10) * 8.0f,
                                            static_cast<float>(i / 10) * 8.0f, mImage.get());
                head->AddWidget(w);
                Animate(w, i);
            }
        }
    }

    static void Animate(DynamicWidget* w, int seed) {
        // Long enough never to finish during a run.
        w->TweenProperty(L"y", L"move", 700.0f, 1.0e8f, new InOutCurve(new InQuad()));
        w->AddOscillation(new PropertyOscillation(w, L"wobble", {{&w->mAngle, 15.0f}},
                                                  seed * 0.01, 200.0, new SineWave(), 2));
    }
};

void BM_DynamicTreeFrame(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.mRoot.UpdateFAll(1.0f, WidgetFlags::Default);
        Graphics g;
        scene.mRoot.DrawAll(&g, WidgetFlags::Default);
        benchmark::DoNotOptimize(g.GetSubmittedDrawCount());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DynamicTreeFrame)->Unit(benchmark::kMicrosecond);

void BM_DynamicTreeUpdateOnly(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) scene.mRoot.UpdateFAll(1.0f, WidgetFlags::Default);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DynamicTreeUpdateOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
