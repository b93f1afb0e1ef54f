// The appearance commands run by scripts: what each sets on its target, the
// values they refuse, and (on a real OpenGL context) what the blend modes,
// masks and colour replacements draw.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>

#include "data/AssetManager.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/Screenshot.h"
#include "render/ShaderProgram.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/DragWidget.h"

namespace {

// Two cels of one pixel, as a mask image's frames.
Image* MakeMaskFrames() {
    ImageData data;
    data.mWidth = 2;
    data.mHeight = 1;
    data.mBits = {0xFF000000u, 0u};
    return CreateImageFromData(std::move(data), 2, 1);
}

class AppearanceTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        gAssetManager->AddImage(L"mask_frames", MakeMaskFrames());
    }
    // An object "o" with a 10x10 red image, then the commands.
    DynamicWidget* Apply(const std::string& commands) {
        Load(R"(<animation name="look"><add id="o" image="'none'" x="0" y="0"/>
                <replace id="o" width="10" height="10" red="1" green="0" blue="0"/>)" +
             commands + "</animation>");
        mScript = Run(L"look");
        mHarness.RunSteps(1);
        return dynamic_cast<DynamicWidget*>(FindWidgetByName(*mScript, L"o"));
    }
    ProbeScript* mScript = nullptr;
};

TEST_F(AppearanceTest, CommandsSetWhatTheTargetDraws) {
    using Check = std::function<bool(DynamicWidget&)>;
    struct Case {
        std::string commands;
        Check check;
    };
    auto mode = [](int m) { return [m](DynamicWidget& o) { return o.mDrawMode == m; }; };
    const Case cases[] = {
        {R"(<blend id="o" mode="'additive'"/><blend id="o" mode="'normal'"/>)", mode(0)},
        {R"(<blend id="o" mode="'additive'"/><blend id="o" mode="'glow'"/>)", mode(0)},
        {R"(<tesselate id="o"/>)",
         [](DynamicWidget& o) { return o.mTessRows == 1 && o.mTessCols == 1 && !o.mTessellated; }},
        {R"(<tesselate id="o" rows="3" cols="2"/>)",
         [](DynamicWidget& o) { return o.mTessRows == 3 && o.mTessCols == 2 && o.mTessellated; }},
        {R"(<cull id="o"/><tile-texture id="o" enable="true"/>)",
         [](DynamicWidget& o) { return o.mCull && o.mTileTexture; }},
        {R"(<recursive id="o" transform="true" color="'inherit'" clipping="true"/>)",
         [](DynamicWidget& o) { return o.mRecursiveTransform && o.mRecursiveColor == 2 && o.mRecursiveClipping; }},
        {R"(<recursive id="o" color="'postrender'"/>)", [](DynamicWidget& o) { return o.mRecursiveColor == 1; }},
        {R"(<recursive id="o" color="'inherit'"/><recursive id="o" color="'x'"/>)",
         [](DynamicWidget& o) { return o.mRecursiveColor == 0 && !o.mRecursiveTransform; }},
        {R"(<mask-rect id="o" x="1" y="2" width="3" height="4"/>)",
         [](DynamicWidget& o) { return o.mUseMaskRect && o.mMaskRect.mY == 2 && o.mMaskRect.mHeight == 4; }},
        {R"(<crossfade id="o" enable="true" disable="false"/>)",
         [](DynamicWidget& o) { return (o.mAddMask & WidgetFlags::CrossFade) && !(o.mRemoveMask & WidgetFlags::CrossFade); }},
        {R"(<check-pixels id="o" enable="false"/><use-hand-cursor id="o" enable="true"/>)",
         [](DynamicWidget& o) { return !o.mCheckPixels && o.mHandCursor; }},
        {R"(<set-mask id="o" image="'mask_frames'"/><set-mask-frame id="o" frame="1"/>)",
         [](DynamicWidget& o) { return o.GetMaskImage() && o.GetMaskFrame() == 1; }},
        {R"(<set-mask id="o" image="'mask_frames'"/><set-mask id="o"/>)",
         [](DynamicWidget& o) { return !o.GetMaskImage(); }},
        // A plain image is not a drag widget: nothing changes, nothing fails.
        {R"(<set-draggable id="o" enable="false"/><set-drag-through id="o"/>)",
         [](DynamicWidget& o) { return o.mWidth == 10; }},
        {R"(<cache id="o" enable="true"/>)", [](DynamicWidget& o) { return o.IsCached(); }},
        {R"(<cache id="o" enable="true"/><cache id="o" enable="false"/><cache id="o" enable="true"/>)",
         [](DynamicWidget& o) { return o.IsCached(); }},
        {R"(<cache id="o" enable="true"/><cache id="o" enable="false"/>)",
         [](DynamicWidget& o) { return !o.IsCached(); }},
    };
    for (const Case& c : cases) {
        DynamicWidget* o = Apply(c.commands);
        ASSERT_NE(o, nullptr) << c.commands;
        EXPECT_TRUE(c.check(*o)) << c.commands;
        mHarness.RunSteps(1);  // drawn as set (a cache rendered, turned off or on again)
    }
}

TEST_F(AppearanceTest, ReplaceMakesAnOpaqueColourAndRefusesBadSizes) {
    struct Case {
        const char* size;
        int width, height;
    };
    const int limit = D3DInterface::Get()->GetMaxTextureSize();
    const Case cases[] = {
        {R"(width="0" height="5")", 10, 10},    // refused: the red image stays
        {R"(width="-3" height="-3")", 10, 10},
        {R"(width="100000" height="2")", limit, 2},  // cut to the texture limit
    };
    DynamicWidget* red = Apply("");
    ImageSurface* surface = red->GetImage()->GetSurface();
    ASSERT_EQ(surface->GetImageData().mBits.size(), 100u);
    for (uint32_t pixel : surface->GetImageData().mBits) ASSERT_EQ(pixel, 0xFFFF0000u);
    for (const Case& c : cases) {
        DynamicWidget* o = Apply(std::string("<replace id=\"o\" ") + c.size + "/>");
        EXPECT_EQ(o->mWidth, c.width) << c.size;
        EXPECT_EQ(o->mHeight, c.height) << c.size;
    }
}

TEST_F(AppearanceTest, RatesOfZeroNeitherSpinNorStall) {
    // A blink every step from the start, twice; a cycle of one frame per step.
    DynamicWidget* o = Apply(R"(<flash id="o" timer_init="0" cycles="2" interval="0"/>
                                <cycle id="o" rate="0" cycles="1"/><cycle-mask id="o" rate="-1"/>)");
    EXPECT_TRUE(o->IsBlinking());
    mHarness.RunSteps(6);
    EXPECT_FALSE(o->IsBlinking());
    EXPECT_FALSE(o->IsBusy());
}

TEST_F(AppearanceTest, ShaderConstantsBindOnlyToReferences) {
    DynamicWidget* o = Apply(R"(<shader id="o" name="'overlay'"/>
                                <set-shader-constant id="o" name="'plain'" real="2.5"/>
                                <set-shader-constant id="o" name="'forged'" real_ptr="140737488355328"/>
                                <set-shader-constant id="o" name="'tracked'" real_ptr="o.x_ptr"/>)");
    ShaderProgram* shader = o->mShader;
    ASSERT_NE(shader, nullptr);
    o->Move(7.0f, 0.0f);
    shader->ApplyConstants();
    EXPECT_EQ(shader->GetConstant("plain"), 2.5f);
    EXPECT_EQ(shader->GetConstant("forged"), 0.0f);
    EXPECT_EQ(shader->GetConstant("tracked"), 7.0f);
}

// --- Pixels ---------------------------------------------------------------------------

class AppearancePixelTest : public AppearanceTest {
protected:
    void SetUp() override {
        AppearanceTest::SetUp();
        mDevice = StartTestGLDevice();
        if (!mDevice) GTEST_SKIP() << "no OpenGL 3.3 context here";
    }
    void TearDown() override {
        if (mDevice) D3DInterface::Install(nullptr);
        AppearanceTest::TearDown();
        mDevice.reset();
    }
    // Channels of the frame at (x, y) after drawing the tree.
    ImageData Frame() {
        {
            Graphics g(nullptr);
            g.Clear(Color(0, 0, 0));
            mManager->DrawToGraphics(g);
        }
        std::unique_ptr<ImageSurface> copy(mDevice->CopyScreenImage());
        return copy->GetImageData();
    }
    static bool Near(uint32_t pixel, int r, int g, int b) {
        return std::abs(static_cast<int>((pixel >> 16) & 0xFF) - r) <= 3 &&
               std::abs(static_cast<int>((pixel >> 8) & 0xFF) - g) <= 3 &&
               std::abs(static_cast<int>(pixel & 0xFF) - b) <= 3;
    }
    static uint32_t At(const ImageData& d, int x, int y) { return d.mBits[static_cast<size_t>(y) * d.mWidth + x]; }

    std::unique_ptr<D3DInterface> mDevice;
};

TEST_F(AppearancePixelTest, EachBlendWordOverGrey) {
    // (200, 100, 50) over grey 128, one square per word.
    auto overlay = [](int s) {
        float a = 128 / 255.0f, b = s / 255.0f;
        return static_cast<int>(std::lround((a < 0.5f ? 2 * a * b : 1 - 2 * (1 - a) * (1 - b)) * 255));
    };
    auto softlight = [](int s) {
        float a = 128 / 255.0f, b = s / 255.0f;
        float r = b <= 0.5f ? a - (1 - 2 * b) * a * (1 - a) : a + (2 * b - 1) * (std::sqrt(a) - a);
        return static_cast<int>(std::lround(r * 255));
    };
    struct Case {
        const char* word;
        int r, g, b;
    };
    const Case cases[] = {
        {"normal", 200, 100, 50},
        {"additive", 255, 228, 178},
        {"multiply", 128 * 200 / 255, 128 * 100 / 255, 128 * 50 / 255},
        {"overlay", overlay(200), overlay(100), overlay(50)},
        {"softlight", softlight(200), softlight(100), softlight(50)},
        {"subtractive", 0, 28, 78},
        {"none", 200, 100, 50},
    };
    std::string script =
        R"(<add-rect id="grey" x="0" y="0" width="400" height="50" red="0.503" green="0.503" blue="0.503"/>)";
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string id = "s" + std::to_string(i), x = std::to_string(i * 50);
        script += "<add id=\"" + id + "\" image=\"'none'\" x=\"" + x + "\" y=\"0\"/><replace id=\"" + id +
                  R"(" width="40" height="40" red="0.785" green="0.393" blue="0.197"/><blend id=")" + id +
                  "\" mode=\"'" + cases[i].word + "'\"/>";
    }
    Load("<animation name=\"blends\">" + script + "</animation>");
    Run(L"blends");
    mHarness.RunSteps(1);
    ImageData f = Frame();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_TRUE(Near(At(f, static_cast<int>(i * 50 + 20), 20), c.r, c.g, c.b)) << c.word;
        EXPECT_TRUE(Near(At(f, static_cast<int>(i * 50 + 45), 20), 128, 128, 128)) << c.word << " spilled";
    }
}

// The showcase of looks and dragging, a test fixture run by the game: the map
// and the piece dragged by mouse, and the picture it draws.
TEST_F(AppearancePixelTest, ShowcaseOfLooksAndDragging) {
    LoadGameDataAndShowcase();
    if (HasFatalFailure()) return;
    ProbeScript* scene = Run(L"showcase_looks");
    mHarness.RunSteps(2);
    auto* map = dynamic_cast<DragWidget*>(FindWidgetByName(*scene, L"map"));
    auto* piece = dynamic_cast<DragWidget*>(FindWidgetByName(*scene, L"piece"));
    ASSERT_TRUE(map && piece);
    Drag({950, 100}, {{750, 100}, {750, 99}});
    Drag({210, 510}, {{900, 900}, {900, 899}});
    mHarness.RunSteps(100);
    EXPECT_EQ(map->mX, -200.0f);
    EXPECT_EQ(piece->mX, 460.0f);  // the box's right side less the card's 40
    EXPECT_EQ(piece->mY, 669.0f);  // held at 670, then 1 back up: it follows at once
    ImageData f = Frame();
    if (const char* folder = std::getenv("QUILTRO_SHOWCASE_SHOT")) SaveScreenshot(*mDevice, folder);
    EXPECT_TRUE(Near(At(f, 574, 542), 20, 26, 41));    // the round plate's corner is cut away
    EXPECT_TRUE(Near(At(f, 612, 560), 229, 76, 51));   // its middle stays
    EXPECT_TRUE(Near(At(f, 684, 560), 0, 0, 0) || Near(At(f, 684, 560), 20, 26, 41));  // a gap of the stripes
    EXPECT_TRUE(Near(At(f, 676, 560), 51, 153, 229));  // a stripe
    EXPECT_FALSE(Near(At(f, 600, 620), 127, 102, 204));  // the cached group shows its card
    EXPECT_TRUE(Near(At(f, 660, 620), 20, 26, 41));  // and is cut at 60 by its mask rectangle
}

}  // namespace
