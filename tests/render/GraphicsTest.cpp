#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "core/FileUtil.h"
#include "data/ScriptObject.h"
#include "data/ScriptValue.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/Screenshot.h"
#include "render/ShaderProgram.h"
#include "tests/render/RenderTestSupport.h"

namespace {
class GraphicsTest : public ::testing::Test {
protected:
    GraphicsTest() : mScoped(std::make_unique<RecordingBackend>()) {}
    RecordingBackend& Backend() {
        return static_cast<RecordingBackend&>(mScoped.Device().GetBackend());
    }
    ScopedDevice mScoped;
};

// The bounding box of a recorded draw's vertices.
FRect Bounds(const RecordingBackend::Draw& draw) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const GpuVertex& v : draw.mVertices) {
        x0 = std::min(x0, v.mX);
        y0 = std::min(y0, v.mY);
        x1 = std::max(x1, v.mX);
        y1 = std::max(y1, v.mY);
    }
    return FRect(x0, y0, x1 - x0, y1 - y0);
}

class FloatObject : public ScriptObject {
public:
    bool ReadFloatProperty(const std::wstring& name, float& out) override {
        if (name != L"glow") return false;
        out = mValue;
        return true;
    }
    float mValue = 0.25f;
};
}  // namespace

TEST_F(GraphicsTest, BatchReplaysInSubmissionOrderWhenSwitchedOffOrDestroyed) {
    ImageSurface a(MakeImage(8, 8, 0xFFFF0000u)), b(MakeImage(8, 8, 0xFF00FF00u));
    Graphics g(nullptr);
    g.SetBatching(true);
    EXPECT_TRUE(g.IsBatching());
    g.DrawImage(&a, 0, 0);
    g.DrawImage(&a, 10, 0);  // same state: joins the run before it
    g.DrawImage(&b, 20, 0);
    g.FillRect(0, 0, 5, 5);
    g.DrawImage(&a, 30, 0);  // A again after others: a run of its own
    EXPECT_TRUE(Backend().mDraws.empty());
    g.SetBatching(false);  // switching off flushes
    EXPECT_FALSE(g.IsBatching());
    auto& draws = Backend().mDraws;
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].mState.mTexture, a.GetFirstTexture());
    EXPECT_EQ(draws[0].mVertices.size(), 8u);
    EXPECT_EQ(draws[1].mState.mTexture, b.GetFirstTexture());
    EXPECT_EQ(draws[2].mState.mTexture, 0u);
    EXPECT_EQ(draws[3].mState.mTexture, a.GetFirstTexture());
    EXPECT_FLOAT_EQ(Bounds(draws[3]).mX, 30);

    // Not batching: each draw goes out at once; FlushBatch on an empty batch is harmless.
    g.DrawImage(&b, 0, 0);
    EXPECT_EQ(draws.size(), 5u);
    g.FlushBatch();
    EXPECT_EQ(draws.size(), 5u);
    // The destructor flushes what is left.
    {
        Graphics batched(nullptr);
        batched.SetBatching(true);
        batched.DrawImage(&a, 0, 0);
        EXPECT_EQ(draws.size(), 5u);
    }
    EXPECT_EQ(draws.size(), 6u);
}

TEST_F(GraphicsTest, TranslationStateAndClipping) {
    ImageSurface a(MakeImage(10, 6, 0xFFFFFFFFu));
    Graphics g(nullptr);
    g.Translate(5, 7);
    g.Translate(1, 1);
    g.DrawImage(&a, 10, 20);
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(16, 28, 10, 6));

    GraphicsState saved;
    saved.CopyFrom(g);
    g.mTransX = 100;  // written directly, as dragging does
    g.SetColor(Color(1, 2, 3));
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.SetColorizeImages(true);
    g.SetClipRect(0, 0, 50, 40);
    g.DrawImage(&a, 0, 0);
    const auto& clipped = Backend().mDraws.back();
    EXPECT_TRUE(clipped.mState.mScissor);
    EXPECT_EQ(clipped.mState.mScissorX, 100);
    EXPECT_EQ(clipped.mState.mScissorY, 8);
    EXPECT_EQ(clipped.mState.mScissorWidth, 50);
    EXPECT_EQ(clipped.mState.mBlend, GpuBlend::Additive);
    EXPECT_EQ(clipped.mVertices[0].mColor, Color(1, 2, 3).ToARGB());
    // Narrowing keeps the intersection (an image wholly outside it is not sent).
    g.ClipRect(40, 30, 100, 100);
    g.DrawImage(&a, 40, 30);
    EXPECT_EQ(Backend().mDraws.back().mState.mScissorWidth, 10);
    EXPECT_EQ(Backend().mDraws.back().mState.mScissorHeight, 10);

    g.RestoreState(saved);
    EXPECT_FLOAT_EQ(g.mTransX, 6);
    EXPECT_EQ(g.GetColor(), Color::White);
    EXPECT_EQ(g.GetDrawMode(), DRAWMODE_NORMAL);
    EXPECT_FALSE(g.GetColorizeImages());
    g.DrawImage(&a, 0, 0);
    EXPECT_FALSE(Backend().mDraws.back().mState.mScissor);

    // A clip that shuts everything out draws nothing.
    size_t before = Backend().mDraws.size();
    g.SetClipRect(500, 500, 0, 0);
    g.DrawImage(&a, 0, 0);
    EXPECT_EQ(Backend().mDraws.size(), before);
}

TEST_F(GraphicsTest, DrawModesAndColourisedImages) {
    ImageSurface a(MakeImage(4, 4, 0xFFFFFFFFu));
    Graphics g(nullptr);
    const std::pair<int, GpuBlend> modes[] = {
        {DRAWMODE_NORMAL, GpuBlend::Normal},       {DRAWMODE_ADDITIVE, GpuBlend::Additive},
        {DRAWMODE_MULTIPLY, GpuBlend::Multiply},   {DRAWMODE_OVERLAY, GpuBlend::Overlay},
        {DRAWMODE_SOFTLIGHT, GpuBlend::SoftLight}, {DRAWMODE_SUBTRACTIVE, GpuBlend::Subtractive},
        {DRAWMODE_NONE, GpuBlend::Replace},        {42, GpuBlend::Normal}};
    for (auto [mode, blend] : modes) {
        g.SetDrawMode(mode);
        g.DrawImage(&a, 0, 0);
        EXPECT_EQ(Backend().mDraws.back().mState.mBlend, blend) << mode;
    }
    g.SetDrawMode(DRAWMODE_NORMAL);
    g.SetColor(Color(10, 20, 30, 40));
    g.DrawImage(&a, 0, 0);
    EXPECT_EQ(Backend().mDraws.back().mVertices[0].mColor, 0xFFFFFFFFu);  // white when off
    g.SetColorizeImages(true);
    g.DrawImage(&a, 0, 0);
    EXPECT_EQ(Backend().mDraws.back().mVertices[0].mColor, Color(10, 20, 30, 40).ToARGB());
    g.FillRect(0, 0, 3, 3);  // rectangles always use the colour
    EXPECT_EQ(Backend().mDraws.back().mVertices[0].mColor, Color(10, 20, 30, 40).ToARGB());
}

TEST_F(GraphicsTest, OutlinesAndLines) {
    Graphics g(nullptr);
    g.SetBatching(true);
    g.Translate(10, 10);
    g.DrawRect(0, 0, 20, 10);
    g.FlushBatch();
    ASSERT_EQ(Backend().mDraws.size(), 1u);
    EXPECT_EQ(Backend().mDraws[0].mVertices.size(), 16u);  // four edges
    EXPECT_EQ(Bounds(Backend().mDraws[0]), FRect(10, 10, 20, 10));
    g.DrawLine(0, 0, 30, 0, 2);
    g.FlushBatch();
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(10, 9, 30, 2));
    size_t before = Backend().mDraws.size();
    g.DrawLine(5, 5, 5, 5);  // no length: nothing
    g.DrawRect(0, 0, 0, 5);
    g.FlushBatch();
    EXPECT_EQ(Backend().mDraws.size(), before);
}

TEST_F(GraphicsTest, CelsSourceRectanglesAndTransforms) {
    // 4 cels in 2 columns and 2 rows, each 10x8.
    std::unique_ptr<Image> image(CreateImageFromData(MakeImage(20, 16, 0xFFFFFFFFu), 2, 2));
    EXPECT_EQ(image->GetCelCount(), 4);
    EXPECT_FALSE(image->IsSimple());
    EXPECT_EQ(image->GetCelRect(3), Rect(10, 8, 10, 8));
    EXPECT_EQ(image->GetCelRect(99), Rect(0, 0, 10, 8));

    Graphics g(nullptr);
    g.DrawImage(image.get(), 100, 100, 3);
    const auto& cel = Backend().mDraws.back();
    EXPECT_EQ(Bounds(cel), FRect(100, 100, 10, 8));
    EXPECT_FLOAT_EQ(cel.mVertices[0].mU, 0.5f);
    EXPECT_FLOAT_EQ(cel.mVertices[0].mV, 0.5f);
    EXPECT_FLOAT_EQ(cel.mVertices[2].mU, 1.0f);

    g.DrawImage(image.get(), 0, 0, 0, Rect(2, 3, 4, 5));
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(0, 0, 4, 5));
    g.DrawImageAt(image.get(), 1, 2, true);
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(1, 2, 20, 16));
    g.DrawImageScaled(image.get(), 0, 0, 30, 4, 1);
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(0, 0, 30, 4));
    g.DrawImageStretched(image.get(), Rect(0, 0, 20, 16), FRect(5, 5, 40, 8));
    EXPECT_EQ(Bounds(Backend().mDraws.back()), FRect(5, 5, 40, 8));

    // A quarter turn about the cel's centre, centred at (50, 60).
    Transform t;
    t.RotateDeg(90);
    g.DrawImageTransformed(image.get(), t, 0, 50, 60);
    FRect box = Bounds(Backend().mDraws.back());
    EXPECT_NEAR(box.mX, 46, 1e-3);
    EXPECT_NEAR(box.mY, 55, 1e-3);
    EXPECT_NEAR(box.mWidth, 8, 1e-3);
    EXPECT_NEAR(box.mHeight, 10, 1e-3);

    // A frame table overrides the grid.
    image->SetFrames({ImageFrame{1, 2, 3, 4}, ImageFrame{5, 6, 7, 8}});
    EXPECT_EQ(image->GetCelCount(), 2);
    EXPECT_EQ(image->GetCelRect(1), Rect(5, 6, 7, 8));
    EXPECT_EQ(image->GetCelRect(-1), Rect(1, 2, 3, 4));
}

TEST_F(GraphicsTest, ChildImagesDrawTheirPartOfTheParent) {
    ImageSurface parent(MakeImage(40, 20, 0xFFFFFFFFu));
    ImageChild child(&parent, Rect(10, 5, 20, 10));
    ImageAtlasPiece piece(&parent, Rect(30, 0, 100, 100), "atlas");  // clipped to the parent
    EXPECT_EQ(piece.GetWidth(), 10);
    EXPECT_EQ(piece.GetHeight(), 20);
    Graphics g(nullptr);
    g.DrawImage(&child, 0, 0);
    const auto& d = Backend().mDraws.back();
    EXPECT_EQ(Bounds(d), FRect(0, 0, 20, 10));
    EXPECT_FLOAT_EQ(d.mVertices[0].mU, 0.25f);
    EXPECT_FLOAT_EQ(d.mVertices[0].mV, 0.25f);
    ImageChild orphan(nullptr, Rect(0, 0, 5, 5));
    g.DrawImage(&orphan, 0, 0);  // nothing to show; no crash
    g.DrawImage(nullptr, 0, 0);
}

TEST_F(GraphicsTest, ImagesLargerThanTheLimitSplitIntoPieces) {
    mScoped.Device().SetMaxTextureSizeOverride(64);
    ImageSurface big(MakeImage(150, 100, 0xFFFFFFFFu));
    Graphics g(nullptr);
    g.SetBatching(true);
    g.DrawImage(&big, 10, 20);
    g.FlushBatch();
    ASSERT_EQ(big.GetPieces().size(), 6u);  // 3 columns x 2 rows
    ASSERT_EQ(Backend().mDraws.size(), 6u);
    float area = 0;
    FRect all = Bounds(Backend().mDraws[0]);
    for (const auto& d : Backend().mDraws) {
        FRect b = Bounds(d);
        area += b.mWidth * b.mHeight;
        all = all.Union(b);
        EXPECT_LE(b.mWidth, 64);
        EXPECT_LE(b.mHeight, 64);
    }
    EXPECT_EQ(all, FRect(10, 20, 150, 100));
    EXPECT_FLOAT_EQ(area, 150 * 100);
    mScoped.Device().SetMaxTextureSizeOverride(0);
}

TEST_F(GraphicsTest, SurfacesAreRegisteredWhileTheyLiveAndRefuseOrClampSizes) {
    size_t before = D3DInterface::GetSurfaceCount();
    {
        ImageSurface a, b;
        EXPECT_EQ(D3DInterface::GetSurfaceCount(), before + 2);
    }
    EXPECT_EQ(D3DInterface::GetSurfaceCount(), before);
    mScoped.Device().SetMaxTextureSizeOverride(256);
    ImageSurface s;
    EXPECT_FALSE(s.Create(0, 10));
    EXPECT_FALSE(s.Create(10, -5));
    EXPECT_FALSE(s.Create(-2147483647 - 1, 3));
    EXPECT_EQ(s.GetWidth(), 0);
    EXPECT_TRUE(s.Create(100000, 20));
    EXPECT_EQ(s.GetWidth(), 256);
    EXPECT_EQ(s.GetHeight(), 20);
    EXPECT_TRUE(s.Create(30, 40));  // re-creates
    EXPECT_EQ(s.GetWidth(), 30);
    EXPECT_FALSE(s.HasPixelsInMemory()) << "transparent pixels are made only when read";
    EXPECT_EQ(s.GetImageData().mBits, std::vector<uint32_t>(1200u, 0u));
    EXPECT_TRUE(s.mFlags & IMAGE_FLAG_RENDER_TARGET);
    mScoped.Device().SetMaxTextureSizeOverride(0);

    // Drawing into it records its own target; a surface never draws into itself.
    Graphics g(&s);
    EXPECT_EQ(g.GetTargetWidth(), 30);
    g.DrawImage(&s, 0, 0);
    EXPECT_TRUE(Backend().mDraws.empty());
    g.FillRect(0, 0, 1, 1);
    ASSERT_EQ(Backend().mDraws.size(), 1u);
    EXPECT_NE(Backend().mDraws[0].mState.mTarget, 0u);
    EXPECT_EQ(Backend().mDraws[0].mState.mTargetWidth, 30);
}

TEST_F(GraphicsTest, PicturesThatCanBeReadAgainKeepNoMemoryCopy) {
    const ImageData original = MakePattern(8, 4, [](int x, int) { return x < 4 ? 0xFF112233u : 0x00445566u; });
    int reads = 0;
    auto source = [&](ImageData& out) {
        ++reads;
        out = original;
        return true;
    };
    ImageSurface drawn(original), later(original), opaque(MakeImage(8, 4, 0xFF000000u));
    drawn.SetPixelSource(source);
    later.SetPixelSource(source);
    opaque.SetPixelSource([](ImageData& out) {
        out = MakeImage(8, 4, 0xFF000000u);
        return true;
    });
    {
        Graphics g(nullptr);
        g.DrawImage(&drawn, 0, 0);
    }
    EXPECT_FALSE(drawn.HasPixelsInMemory()) << "the texture holds them";
    EXPECT_TRUE(later.HasPixelsInMemory());
    D3DInterface::DropReloadablePixels();  // a load has ended
    EXPECT_FALSE(later.HasPixelsInMemory());
    EXPECT_EQ(reads, 0);

    // Hit tests read a mask of the alpha, made once.
    EXPECT_EQ(drawn.GetAlphaAt(1, 1), 255);
    EXPECT_EQ(drawn.GetAlphaAt(6, 3), 0);
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(drawn.HasPixelsInMemory());
    EXPECT_EQ(opaque.GetAlphaAt(7, 3), 255);
    // Drawing and reading bring the pixels back; changed pixels are no longer the source's.
    {
        Graphics g(nullptr);
        g.DrawImage(&later, 0, 0);
    }
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(drawn.GetImageData().mBits, original.mBits);
    drawn.ModifyImageData().mBits[0] = 0;
    EXPECT_FALSE(drawn.HasPixelSource());
    D3DInterface::DropReloadablePixels();
    EXPECT_TRUE(drawn.HasPixelsInMemory());
    EXPECT_EQ(reads, 3);
}

TEST_F(GraphicsTest, ShadersLoadFromTheDataAndReadTheirCheckedReferenceAtEachDraw) {
    {
        ScopedDataFolder data;
        EXPECT_NE(ShaderProgram::Load("overlay"), nullptr);
        EXPECT_NE(ShaderProgram::Load("softlight"), nullptr);
        EXPECT_EQ(ShaderProgram::Load("no_such_shader"), nullptr);
        EXPECT_EQ(ShaderProgram::Load("no_such_shader"), nullptr);
    }
    ShaderProgram program("test");
    ASSERT_TRUE(program.LoadSources("v", "f"));
    auto* object = new FloatObject();
    program.SetConstant("fixed", 3.0f);
    EXPECT_FALSE(program.BindConstant("glow", ScriptValue(1.5f)));  // a plain value is no reference
    ASSERT_TRUE(program.BindConstant("glow", ScriptValue::MakeRef(object, L"glow")));

    ImageSurface a(MakeImage(4, 4, 0xFFFFFFFFu));
    Graphics g(nullptr);
    g.SetShader(&program);
    auto glowValues = [&] {
        std::vector<float> values;
        for (const auto& c : Backend().mConstants)
            if (c.mName == "glow") values.push_back(c.mValue);
        return values;
    };
    g.DrawImage(&a, 0, 0);
    object->mValue = 0.75f;
    g.DrawImage(&a, 0, 0);
    delete object;  // the reference goes inert; the last value stays
    g.DrawImage(&a, 0, 0);
    EXPECT_EQ(glowValues(), (std::vector<float>{0.25f, 0.75f, 0.75f}));
    EXPECT_EQ(Backend().mDraws.back().mState.mProgram, program.GetHandle());
    EXPECT_FLOAT_EQ(program.GetConstant("fixed"), 3.0f);
    program.UnbindConstant("glow");
    g.SetShader(nullptr);
    g.DrawImage(&a, 0, 0);
    EXPECT_EQ(Backend().mDraws.back().mState.mProgram, 0u);
}

TEST_F(GraphicsTest, DeviceNamesTheFailedOperationAndDrawsTheCursorAtItsHotSpot) {
    D3DInterface& device = mScoped.Device();
    EXPECT_FALSE(device.CheckResult("Fine"));
    Backend().mError = "GL_OUT_OF_MEMORY";
    EXPECT_TRUE(device.CheckResult("CreateTexture"));
    EXPECT_EQ(device.GetLastError(), "CreateTexture: GL_OUT_OF_MEMORY");
    EXPECT_TRUE(device.CheckResult("Present", false));
    EXPECT_EQ(device.GetLastError(), "Present: failed");

    EXPECT_EQ(device.mGameSize, Point(1024, 768));
    EXPECT_EQ(device.mDisplaySize, device.mGameSize);  // no window: stretching is moot
    std::unique_ptr<Image> cursor(CreateImageFromData(MakeImage(16, 16, 0xFFFFFFFFu), 1, 1));
    device.SetCursorImage(cursor.get(), 2, 3);
    device.SetCursorPosition(100, 200);
    device.Present();
    ASSERT_EQ(Backend().mDraws.size(), 1u);
    EXPECT_EQ(Bounds(Backend().mDraws[0]), FRect(98, 197, 16, 16));
    int drawnAt = -1;
    device.SetCursorDrawer([&](Graphics&, int x, int) { drawnAt = x; });
    device.Present();
    EXPECT_EQ(drawnAt, 100);
}

TEST_F(GraphicsTest, TexturesAreMadeOnlyOnTheMainThread) {
    std::unique_ptr<Image> image;
    bool preparedByLoader = true;
    std::thread loader([&] {
        image.reset(CreateImageFromData(MakeImage(8, 8, 0xFFFFFFFFu), 1, 1));
        preparedByLoader = mScoped.Device().PrepareImageTexture(image.get());
    });
    loader.join();
    auto* surface = static_cast<ImageSurface*>(image.get());
    EXPECT_FALSE(preparedByLoader);
    EXPECT_FALSE(surface->HasTextures());
    EXPECT_TRUE(mScoped.Device().PrepareImageTexture(image.get()));
    EXPECT_TRUE(surface->HasTextures());
    EXPECT_FALSE(mScoped.Device().PrepareImageTexture(nullptr));
    ImageSurface empty;
    EXPECT_FALSE(mScoped.Device().PrepareImageTexture(&empty));
}

TEST(RenderScreenshot, NumberedFilesInTheFolder) {
    std::string folder = PlatformMakeTempDirectory("quiltro7-shots-");
    D3DInterface device;  // the null device: a black frame
    std::string first = SaveScreenshot(device, folder + "/_screenshots");
    std::string second = SaveScreenshot(device, folder + "/_screenshots/");
    EXPECT_EQ(first, folder + "/_screenshots/screenshot_0001.png");
    EXPECT_EQ(second, folder + "/_screenshots/screenshot_0002.png");
    EXPECT_TRUE(FileExists(first));
    ImageData read;
    ASSERT_TRUE(LoadImageData(second, read, nullptr));
    EXPECT_EQ(read.mWidth, 1024);
    EXPECT_EQ(read.mHeight, 768);
    PlatformRemoveTree(folder);
}
