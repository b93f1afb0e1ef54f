#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/System.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/SysFont.h"
#include "render/TextLayout.h"

namespace {
ImageData SolidImage(int w, int h) {
    ImageData d;
    d.mWidth = w;
    d.mHeight = h;
    d.mBits.assign(static_cast<size_t>(w) * h, 0xFFFFFFFFu);
    return d;
}

// One frame of 2,000 batched, coloured, textured quads from a 4x4 sheet.
void DrawQuadFrame(D3DInterface& device, Image* sheet, benchmark::State& state) {
    for (auto _ : state) {
        device.BeginFrame(Color(0, 0, 0));
        {
            Graphics g(nullptr);
            g.SetBatching(true);
            g.SetColorizeImages(true);
            for (int i = 0; i < 2000; ++i) {
                g.SetColor(Color(i & 255, (i * 3) & 255, (i * 7) & 255, 200));
                g.DrawImage(sheet, static_cast<float>((i * 37) % 1000),
                            static_cast<float>((i * 53) % 740), i % 16);
            }
        }
        device.Present();
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}

void BM_QuadFrameNull(benchmark::State& state) {
    D3DInterface device;
    D3DInterface::Install(&device);
    std::unique_ptr<Image> sheet(CreateImageFromData(SolidImage(128, 128), 4, 4));
    DrawQuadFrame(device, sheet.get(), state);
    sheet.reset();
    D3DInterface::Install(nullptr);
}
BENCHMARK(BM_QuadFrameNull)->Unit(benchmark::kMicrosecond);

void BM_QuadFrameGL(benchmark::State& state) {
    if (PlatformGetEnv("SDL_VIDEODRIVER").empty() && PlatformGetEnv("DISPLAY").empty())
        PlatformSetEnv("SDL_VIDEODRIVER", "offscreen");
    WindowConfig config;
    config.visible = false;
    config.vsync = false;
    std::string error;
    std::unique_ptr<PlatformWindow> window = PlatformWindow::Create(config, &error);
    auto device = std::make_unique<D3DInterface>();
    if (!window || !device->Init(window.get(), 1024, 768, false)) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    D3DInterface::Install(device.get());
    std::unique_ptr<Image> sheet(CreateImageFromData(SolidImage(128, 128), 4, 4));
    DrawQuadFrame(*device, sheet.get(), state);
    sheet.reset();
    device.reset();
}
BENCHMARK(BM_QuadFrameGL)->Unit(benchmark::kMicrosecond);

void BM_WrapParagraph(benchmark::State& state) {
    std::unique_ptr<Font> font = SysFont::Create("DejaVu Sans", 16);
    if (!font) {
        state.SkipWithError("no font");
        return;
    }
    const wchar_t* words[] = {L"quilt", L"puzzle", L"the", L"grand", L"of", L"a", L"picture",
                              L"logic", L"row", L"column", L"hint", L"seven"};
    std::wstring text;
    for (int i = 0; i < 500; ++i) {
        if (i) text += (i % 60 == 0) ? L"\n" : L" ";
        text += words[(i * 7) % 12];
    }
    D3DInterface device;
    D3DInterface::Install(&device);
    Graphics g(nullptr);
    g.SetFont(font.get());
    for (auto _ : state) {
        int widest = 0;
        benchmark::DoNotOptimize(g.MeasureTextWrappedHeight(text, 400, &widest));
        benchmark::DoNotOptimize(g.DrawTextWrapped(Rect(0, 0, 400, 2000), text, -1, 0));
    }
    D3DInterface::Install(nullptr);
}
BENCHMARK(BM_WrapParagraph)->Unit(benchmark::kMicrosecond);
}  // namespace
