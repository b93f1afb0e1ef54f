#include <gtest/gtest.h>

#include "tests/support/GLTestWindow.h"

#include <algorithm>
#include <cmath>

#include "render/Font.h"
#include "render/Fonts.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/SysFont.h"
#include "platform/Window.h"
#include "platform/X11Display.h"
#include "tests/render/RenderTestSupport.h"

// Pixel tests on a real OpenGL context: SDL's offscreen driver (EGL, Mesa's
// llvmpipe) when there is no display, the X server under xvfb-run. Skipped
// when no context can be made.
namespace {
uint8_t R(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
uint8_t G(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
uint8_t B(uint32_t p) { return static_cast<uint8_t>(p); }
uint8_t A(uint32_t p) { return static_cast<uint8_t>(p >> 24); }

::testing::AssertionResult Near(uint32_t got, int r, int g, int b, int tolerance = 3) {
    if (std::abs(R(got) - r) <= tolerance && std::abs(G(got) - g) <= tolerance &&
        std::abs(B(got) - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int(R(got)) << "," << int(G(got)) << "," << int(B(got)) << ") want ("
           << r << "," << g << "," << b << ")";
}

class GLRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDevice = StartTestGLDevice();
        if (!mDevice) GTEST_SKIP() << "no OpenGL 3.3 context here";
    }

    // The frame as the game would capture it.
    ImageData Frame() {
        std::unique_ptr<ImageSurface> copy(mDevice->CopyScreenImage());
        return copy->GetImageData();
    }
    static uint32_t At(const ImageData& d, int x, int y) {
        return d.mBits[static_cast<size_t>(y) * d.mWidth + x];
    }
    // The pixels in [x0, x1) x [y0, y1) that `match` picks.
    template <class F>
    static int Count(const ImageData& d, int x0, int y0, int x1, int y1, F match) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += match(At(d, x, y)) ? 1 : 0;
        return n;
    }

    std::unique_ptr<D3DInterface> mDevice;
};
}  // namespace

TEST_F(GLRenderTest, FilledRectanglesAndColourisedClippedImages) {
    ImageSurface white(MakeImage(16, 16, 0xFFFFFFFFu));
    {
        Graphics g(nullptr);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(10, 20, 30, 40);
        g.SetColor(Color(0, 0, 255, 128));
        g.FillRect(100, 100, 10, 10);
        g.SetColor(Color(0, 255, 0));
        g.DrawImage(&white, 0, 0);  // not colourised: white
        g.SetColorizeImages(true);
        g.DrawImage(&white, 20, 0);
        g.SetColor(Color(255, 255, 255, 128));
        g.DrawImage(&white, 40, 0);
        g.SetColor(Color(255, 255, 0));
        g.SetClipRect(60, 0, 8, 8);
        g.DrawImage(&white, 60, 0);
    }
    ImageData f = Frame();
    ASSERT_EQ(f.mWidth, 1024);
    EXPECT_TRUE(Near(At(f, 10, 20), 255, 0, 0));
    EXPECT_TRUE(Near(At(f, 39, 59), 255, 0, 0));
    EXPECT_TRUE(Near(At(f, 40, 59), 0, 0, 0));
    EXPECT_TRUE(Near(At(f, 9, 20), 0, 0, 0));
    EXPECT_TRUE(Near(At(f, 10, 60), 0, 0, 0));
    EXPECT_TRUE(Near(At(f, 105, 105), 0, 0, 128));
    EXPECT_EQ(A(At(f, 500, 500)), 255);
    EXPECT_TRUE(Near(At(f, 8, 8), 255, 255, 255));
    EXPECT_TRUE(Near(At(f, 28, 8), 0, 255, 0));
    EXPECT_TRUE(Near(At(f, 48, 8), 128, 128, 128));
    EXPECT_TRUE(Near(At(f, 63, 4), 255, 255, 0));
    EXPECT_TRUE(Near(At(f, 63, 12), 0, 0, 0));  // clipped away
    EXPECT_TRUE(Near(At(f, 70, 4), 0, 0, 0));
}

TEST_F(GLRenderTest, EachBlendMode) {
    // Grey under a colour, one column per mode.
    const int d = 128;
    const int s[3] = {200, 100, 50};
    struct Mode {
        int mMode;
        int mExpected[3];
    };
    auto overlay = [](int dv, int sv) {
        float a = dv / 255.0f, b = sv / 255.0f;
        float r = a < 0.5f ? 2 * a * b : 1 - 2 * (1 - a) * (1 - b);
        return static_cast<int>(std::lround(r * 255));
    };
    auto softlight = [](int dv, int sv) {
        float a = dv / 255.0f, b = sv / 255.0f;
        float g = a <= 0.25f ? ((16 * a - 12) * a + 4) * a : std::sqrt(a);
        float r = b <= 0.5f ? a - (1 - 2 * b) * a * (1 - a) : a + (2 * b - 1) * (g - a);
        return static_cast<int>(std::lround(r * 255));
    };
    std::vector<Mode> modes = {
        {DRAWMODE_NORMAL, {200, 100, 50}},
        {DRAWMODE_ADDITIVE, {255, 228, 178}},
        {DRAWMODE_MULTIPLY, {d * 200 / 255, d * 100 / 255, d * 50 / 255}},
        {DRAWMODE_OVERLAY, {overlay(d, s[0]), overlay(d, s[1]), overlay(d, s[2])}},
        {DRAWMODE_SOFTLIGHT, {softlight(d, s[0]), softlight(d, s[1]), softlight(d, s[2])}},
        {DRAWMODE_SUBTRACTIVE, {0, 28, 78}},
        {DRAWMODE_NONE, {200, 100, 50}},
    };
    ScopedDataFolder data;  // the blend shaders
    {
        Graphics g(nullptr);
        g.SetColor(Color(d, d, d));
        g.FillRect(0, 0, 400, 50);
        g.SetColor(Color(s[0], s[1], s[2]));
        for (size_t i = 0; i < modes.size(); ++i) {
            g.SetDrawMode(modes[i].mMode);
            g.FillRect(static_cast<float>(i * 50), 0, 40, 40);
        }
    }
    ImageData f = Frame();
    for (size_t i = 0; i < modes.size(); ++i) {
        const int* e = modes[i].mExpected;
        EXPECT_TRUE(Near(At(f, static_cast<int>(i * 50 + 20), 20), e[0], e[1], e[2]))
            << "mode " << modes[i].mMode;
        EXPECT_TRUE(Near(At(f, static_cast<int>(i * 50 + 45), 20), d, d, d))
            << "mode " << modes[i].mMode << " spilled";
    }
}

TEST_F(GLRenderTest, RenderTargetDrawnIntoAnother) {
    ImageSurface first, second;
    ASSERT_TRUE(first.Create(32, 32));
    ASSERT_TRUE(second.Create(64, 64));
    {
        Graphics g(&first);
        g.SetColor(Color(0, 0, 255, 128));
        g.FillRect(0, 0, 32, 16);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(0, 16, 32, 16);
    }
    {
        Graphics g(&second);
        g.DrawImage(&first, 16, 16);
    }
    {
        Graphics g(nullptr);
        g.DrawImage(&second, 100, 100);
    }
    ImageData f = Frame();
    // Half-transparent blue stays half: alpha is not applied twice on the way.
    EXPECT_TRUE(Near(At(f, 120, 120), 0, 0, 128));
    EXPECT_TRUE(Near(At(f, 120, 140), 255, 0, 0));
    EXPECT_TRUE(Near(At(f, 105, 105), 0, 0, 0));

    // The surface's pixels can be read back, premultiplied, top row first.
    const ImageData& pixels = second.GetImageData();
    ASSERT_EQ(pixels.mWidth, 64);
    EXPECT_NEAR(A(At(pixels, 20, 20)), 128, 2);
    EXPECT_NEAR(B(At(pixels, 20, 20)), 128, 2);
    EXPECT_TRUE(Near(At(pixels, 20, 40), 255, 0, 0));
    EXPECT_EQ(At(pixels, 2, 2), 0u);
}

TEST_F(GLRenderTest, CopyScreenImageMatchesTheFrame) {
    ImageSurface pattern(MakePattern(64, 64, [](int x, int y) {
        return 0xFF000000u | (static_cast<uint32_t>(x * 4) << 16) | (static_cast<uint32_t>(y * 4) << 8);
    }));
    {
        Graphics g(nullptr);
        g.DrawImage(&pattern, 200, 300);
    }
    std::unique_ptr<ImageSurface> copy(mDevice->CopyScreenImage());
    ASSERT_EQ(copy->GetWidth(), 1024);
    ASSERT_EQ(copy->GetHeight(), 768);
    // Drawing more afterwards leaves the copy alone.
    {
        Graphics g(nullptr);
        g.SetColor(Color(255, 255, 255));
        g.FillRect(0, 0, 1024, 768);
    }
    const ImageData& pixels = copy->GetImageData();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_TRUE(Near(At(pixels, 200 + x, 300 + y), x * 4, y * 4, 0, 1)) << x << "," << y;
    EXPECT_TRUE(Near(At(pixels, 199, 300), 0, 0, 0));
    // The copy draws like any image.
    {
        Graphics g(nullptr);
        g.DrawImage(copy.get(), 0, 0);
    }
    EXPECT_TRUE(Near(At(Frame(), 210, 320), 40, 80, 0, 1));
}

TEST_F(GLRenderTest, ImageLargerThanTheTextureLimitDrawsWhole) {
    mDevice->SetMaxTextureSizeOverride(64);
    auto f = [](int x, int y) {
        return 0xFF000000u | (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y) << 8) |
               static_cast<uint32_t>((x * 7 + y * 3) & 0xFF);
    };
    ImageSurface big(MakePattern(200, 150, f));
    {
        Graphics g(nullptr);
        g.DrawImage(&big, 10, 10);
    }
    EXPECT_EQ(big.GetPieces().size(), 12u);  // 4 x 3 pieces of at most 64
    ImageData frame = Frame();
    int bad = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            uint32_t want = f(x, y), got = At(frame, 10 + x, 10 + y);
            if (!Near(got, R(want), G(want), B(want), 1)) ++bad;
        }
    EXPECT_EQ(bad, 0);
    mDevice->SetMaxTextureSizeOverride(0);
}

TEST_F(GLRenderTest, TextDrawsAndMeasuresAsWithoutGL) {
    std::string error;
    std::unique_ptr<Font> font = SysFont::Create("DejaVu Sans", 24, true, false, &error);
    ASSERT_TRUE(font) << error;
    int width = font->StringWidth(L"Quiltro 7");
    {
        D3DInterface nullDevice;
        D3DInterface::Install(&nullDevice);
        EXPECT_EQ(font->StringWidth(L"Quiltro 7"), width);
        D3DInterface::Install(mDevice.get());
    }
    D3DInterface::Install(mDevice.get());
    {
        Graphics g(nullptr);
        g.SetFont(font.get());
        g.SetColor(Color(255, 255, 255));
        g.DrawString(L"Quiltro 7", 100, 100);
    }
    ImageData f = Frame();
    int lit = 0, minX = 1024, maxX = 0;
    for (int y = 60; y < 120; ++y)
        for (int x = 90; x < 400; ++x)
            if (R(At(f, x, y)) > 128) {
                ++lit;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    EXPECT_GT(lit, 100);
    EXPECT_GE(minX, 100);
    EXPECT_LE(maxX, 100 + width + 2);
    EXPECT_GT(maxX, 100 + width / 2);
    // Nothing above the ascent or far below the baseline.
    for (int x = 90; x < 400; ++x) EXPECT_LT(R(At(f, x, 60)), 10);
}

TEST_F(GLRenderTest, LayeredFontsFromTheData) {
    ScopedDataFolder data;
    std::string error;
    ASSERT_TRUE(Fonts::LoadFontsFile("properties/fonts.xml", &error)) << error;
    {
        Graphics g(nullptr);
        g.SetFont(FindFont(L"hud_title"));
        g.DrawString(L"Grand Quiltro", 50, 200);
    }
    ImageData f = Frame();
    // The gold fill and the dark outline both appear.
    EXPECT_GT(Count(f, 40, 150, 400, 220, [](uint32_t p) { return R(p) > 200 && G(p) > 180 && B(p) < 200; }), 50);
    EXPECT_GT(Count(f, 40, 150, 400, 220,
                    [](uint32_t p) { return R(p) > 60 && R(p) < 110 && B(p) < 40 && G(p) < 70; }),
              20);
    gFontMap.Clear();
}

TEST_F(GLRenderTest, PresentShowsTheFrameUprightInItsViewport) {
    // The off-screen frame, as a window that cannot show it 1:1 has it.
    mDevice->SetDrawIntoWindowAllowed(false);
    mDevice->BeginFrame(Color(0, 0, 0));
    {
        Graphics g(nullptr);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(0, 0, 1024, 384);
        g.SetColor(Color(0, 0, 255));
        g.FillRect(0, 384, 1024, 384);
    }
    int dw = 0, dh = 0;
    SharedTestGLWindow()->GetDrawableSize(dw, dh);
    ASSERT_GT(dw, 200);
    ASSERT_GT(dh, 200);
    // A letterbox: the frame shown at half size with bars around it.
    Viewport view = ComputeViewport(dw, dh, 1024, 768, false);
    int vw = view.width / 2, vh = view.height / 2, vx = (dw - vw) / 2, vy = (dh - vh) / 2;
    std::unique_ptr<ImageSurface> drawn(mDevice->CopyScreenImage());  // the frame drawn now
    ASSERT_FALSE(mDevice->DrawsIntoWindow());
    ImageSurface* screen = mDevice->GetScreenSurface();
    ASSERT_TRUE(mDevice->PrepareSurface(screen));
    GpuBackend& backend = mDevice->GetBackend();
    // The window held something else before: only the bars are cleared, all four.
    backend.ClearTarget(0, dw, dh, 1.0f, 1.0f, 1.0f, 1.0f);
    backend.PresentTexture(screen->GetFirstTexture(), dw, dh, vx, vy, vw, vh);
    std::vector<uint32_t> window(static_cast<size_t>(dw) * dh);
    ASSERT_TRUE(backend.ReadPixels(0, dh, 0, 0, dw, dh, window.data()));
    auto at = [&](int x, int y) { return window[static_cast<size_t>(y) * dw + x]; };
    EXPECT_TRUE(Near(at(vx + vw / 2, vy + vh / 4), 255, 0, 0));      // top half red
    EXPECT_TRUE(Near(at(vx + vw / 2, vy + 3 * vh / 4), 0, 0, 255));  // bottom half blue
    for (auto [x, y] : {std::pair{vx / 2, dh / 2}, {dw - vx / 2, dh / 2}, {dw / 2, vy / 2},
                        {dw / 2, dh - vy / 2}})
        EXPECT_TRUE(Near(at(x, y), 0, 0, 0)) << x << "," << y;
    EXPECT_FALSE(mDevice->CheckResult("Present test"));
}

TEST_F(GLRenderTest, ManyLargeGlyphsSpreadOverSheets) {
    std::string error;
    std::unique_ptr<SysFont> font = SysFont::Create("DejaVu Sans", 150, false, false, &error);
    ASSERT_TRUE(font) << error;
    std::wstring text;
    for (wchar_t c = L'A'; c <= L'Z'; ++c) text += c;
    for (wchar_t c = L'a'; c <= L'z'; ++c) text += c;
    {
        Graphics g(nullptr);
        g.SetFont(font.get());
        g.DrawString(text, 0, 200);
        g.DrawString(L"AZaz", 10, 600);
    }
    EXPECT_GT(font->GetSheetCount(), 1u);
    // Glyphs from the first sheet still draw after more were added.
    EXPECT_GT(Count(Frame(), 10, 480, 400, 600, [](uint32_t p) { return R(p) > 128; }), 500);
}

// Parts of the frame outside the window's drawable (a window the desktop
// gave another size than asked) are never asked of the X server, which
// refuses such a copy; and an X error that does come is told and counted
// while the game goes on, where Xlib's own handler ended the process.
TEST_F(GLRenderTest, PartsOutsideTheWindowAreLeftOutAndXErrorsDoNotEndTheGame) {
    PlatformWindow* window = SharedTestGLWindow();
    void* native = window->NativeWindow();
    int dw = 0, dh = 0;
    window->GetDrawableSize(dw, dh);
    ASSERT_GT(dh, 0);
    const uint64_t before = PlatformXErrorCount(native);
    const int parts[][4] = {{0, dh - 10, 50, 40},  {dw - 10, 0, 40, 40},  {-30, -30, 60, 60},
                            {0, dh + 100, 50, 50}, {0, -200, 50, 50},     {-2000000000, 0, 2100000000, 10},
                            {0, 0, dw * 2, dh * 2}};
    for (const auto& p : parts) window->PresentPart(p[0], p[1], p[2], p[3]);
    EXPECT_EQ(PlatformXErrorCount(native), before) << PlatformLastXError();
    if (!PlatformProvokeXErrorForTest(native)) GTEST_SKIP() << "not an X11 window";
    EXPECT_EQ(PlatformXErrorCount(native), before + 1);
    EXPECT_NE(PlatformLastXError().find("BadWindow"), std::string::npos) << PlatformLastXError();
    window->PresentPart(0, 0, 10, 10);
    EXPECT_EQ(PlatformXErrorCount(native), before + 1) << "the window goes on";
}
