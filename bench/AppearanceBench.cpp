// What masks and dragging cost on the CPU: 100 image widgets of 64x64 drawn
// through the null renderer with and without a mask image (arg 1 masks), and
// a drag widget in an inner box following the pointer.
#include <benchmark/benchmark.h>

#include <memory>

#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/DragWidget.h"
#include "widgets/DynamicWidget.h"

namespace {

std::unique_ptr<Image> MakeImage(int cels) {
    ImageData data;
    data.mWidth = 64 * cels;
    data.mHeight = 64;
    data.mBits.assign(static_cast<size_t>(data.mWidth) * 64, 0xFF336699u);
    return std::unique_ptr<Image>(CreateImageFromData(std::move(data), cels, 1));
}

void BM_DrawWidgets(benchmark::State& state) {
    std::unique_ptr<Image> image = MakeImage(1), mask = MakeImage(2);
    DynamicWidget root(0.0f, 0.0f);
    for (int i = 0; i < 100; ++i) {
        auto* w = new DynamicWidget(static_cast<float>(i % 10) * 70.0f, static_cast<float>(i / 10) * 70.0f,
                                    image.get());
        if (state.range(0)) w->SetMaskImage(mask.get());
        root.AddWidget(w);
    }
    for (auto _ : state) {
        Graphics g;
        root.DrawAll(&g, WidgetFlags::Default);
        benchmark::DoNotOptimize(g.GetSubmittedDrawCount());
    }
}
BENCHMARK(BM_DrawWidgets)->Arg(0)->Arg(1);

void BM_DragAcrossTheScreen(benchmark::State& state) {
    DynamicWidget root(0.0f, 0.0f);
    auto* map = new DragWidget(0.0f, 0.0f, nullptr, 1.0f, DragWidget::kInnerBounds, -1, -1, -1, -1);
    map->Resize(0.0f, 0.0f, 2048, 768);
    root.AddWidget(map);
    map->BeginDrag(1000, 100);
    int x = 0;
    for (auto _ : state) {
        map->DragTo(x, 100);  // local: swings left and right past both ends
        x = (x + 37) % 2000;
        benchmark::DoNotOptimize(map->mX);
    }
}
BENCHMARK(BM_DragAcrossTheScreen);

}  // namespace
