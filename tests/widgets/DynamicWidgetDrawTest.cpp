// Where animated widgets put their quads: a backend that records every quad
// stands in for the GPU, so transforms, recursion and colour are checked by
// their corners and colours.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/DynamicWidget.h"

namespace {

class RecordingBackend : public NullGpuBackend {
public:
    void DrawQuads(const GpuDrawState& state, const GpuVertex* vertices, int quadCount) override {
        for (int i = 0; i < quadCount * 4; ++i) mVertices.push_back(vertices[i]);
        mStates.push_back(state);
    }
    std::vector<GpuVertex> mVertices;
    std::vector<GpuDrawState> mStates;
};

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto backend = std::make_unique<RecordingBackend>();
        mBackend = backend.get();
        mDevice = std::make_unique<D3DInterface>(std::move(backend), 200, 200);
        mPrevious = D3DInterface::Get();
        D3DInterface::Install(mDevice.get());
        ImageData data;
        data.mWidth = 40;
        data.mHeight = 20;
        data.mBits.assign(40 * 20, 0xFFFFFFFFu);
        mImage.reset(CreateImageFromData(std::move(data), 2, 1));  // two 20x20 cels
    }
    void TearDown() override {
        mRoot.reset();
        D3DInterface::Install(mPrevious);
    }
    void Draw() {
        mBackend->mVertices.clear();
        Graphics g;
        mRoot->DrawAll(&g, WidgetFlags::Default);
    }
    // Corner i of quad q.
    FPoint Corner(int q, int i) const {
        const GpuVertex& v = mBackend->mVertices[static_cast<size_t>(q * 4 + i)];
        return FPoint(v.mX, v.mY);
    }
    uint32_t ColorOf(int q) const { return mBackend->mVertices[static_cast<size_t>(q * 4)].mColor; }
    size_t Quads() const { return mBackend->mVertices.size() / 4; }

    RecordingBackend* mBackend = nullptr;
    std::unique_ptr<D3DInterface> mDevice;
    D3DInterface* mPrevious = nullptr;
    std::unique_ptr<Image> mImage;
    std::unique_ptr<WidgetContainer> mRoot = std::make_unique<WidgetContainer>();
};

void ExpectNear(FPoint a, float x, float y) {
    EXPECT_NEAR(a.mX, x, 1e-3f);
    EXPECT_NEAR(a.mY, y, 1e-3f);
}

TEST_F(DrawTest, PlainWidgetDrawsItsCelAtItsPositionTintedByColourAndOpacity) {
    auto* w = new DynamicWidget(30.0f, 40.0f, mImage.get());
    mRoot->AddWidget(w);
    Draw();
    ASSERT_EQ(Quads(), 1u);
    ExpectNear(Corner(0, 0), 30.0f, 40.0f);
    ExpectNear(Corner(0, 2), 50.0f, 60.0f);
    EXPECT_EQ(ColorOf(0), 0xFFFFFFFFu);
    w->SetPropertyValue(L"opacity", 0.5f);
    w->SetPropertyValue(L"green", 0.0f);
    Draw();
    ASSERT_EQ(Quads(), 1u);
    uint32_t c = ColorOf(0);
    EXPECT_EQ((c >> 8) & 0xFF, 0u);     // no green
    EXPECT_EQ((c >> 16) & 0xFF, 255u);  // full red
    EXPECT_NEAR(static_cast<int>(c >> 24), 128, 1);
}

TEST_F(DrawTest, RotationScaleAndFlipTurnAboutTheCentre) {
    auto* w = new DynamicWidget(100.0f, 100.0f, mImage.get());
    mRoot->AddWidget(w);
    w->SetPropertyValue(L"angle", 90.0f);
    Draw();
    ASSERT_EQ(Quads(), 1u);
    // Counter-clockwise on screen: the top-left corner goes to bottom-left.
    ExpectNear(Corner(0, 0), 100.0f, 120.0f);
    ExpectNear(Corner(0, 1), 100.0f, 100.0f);  // top-right to top-left

    // Scaled about a moved centre, then flipped.
    w->SetPropertyValue(L"angle", 0.0f);
    w->SetPropertyValue(L"scale_x", 2.0f);
    w->SetCenter(0.0f, 0.0f);
    Draw();
    ExpectNear(Corner(0, 0), 100.0f, 100.0f);
    ExpectNear(Corner(0, 2), 140.0f, 120.0f);
    w->Flip(false);
    Draw();
    ExpectNear(Corner(0, 0), 100.0f, 100.0f);
    ExpectNear(Corner(0, 1), 60.0f, 100.0f);
}

TEST_F(DrawTest, ShearMovesTheEdgeAwayFromItsPivot) {
    auto* w = new DynamicWidget(100.0f, 100.0f, mImage.get());
    mRoot->AddWidget(w);
    // Pivot on the bottom edge: the top edge slides 6 pixels right.
    w->StartShear(0.0f, 10.0f, 1.0f, 0.0f, 0.0f, 6.0f, Shearer::kKeep, L"s");
    Draw();
    ExpectNear(Corner(0, 0), 106.0f, 100.0f);
    ExpectNear(Corner(0, 3), 100.0f, 120.0f);
}

TEST_F(DrawTest, RecursiveTransformAndColourCarryTheChildren) {
    auto* parent = new DynamicWidget(100.0f, 100.0f, mImage.get(), 0.5f);
    auto* child = new DynamicWidget(20.0f, 0.0f, mImage.get(), 0.5f);
    mRoot->AddWidget(parent);
    parent->AddWidget(child);
    parent->SetPropertyValue(L"angle", 90.0f);
    Draw();
    ASSERT_EQ(Quads(), 2u);
    // Without recursion the child stays where it was.
    ExpectNear(Corner(1, 0), 120.0f, 100.0f);
    parent->SetRecursiveTransform(true);
    Draw();
    ASSERT_EQ(Quads(), 2u);
    // The child's top-left (20, 0) in the parent turns about the parent's
    // centre (10, 10) to (0, 0); its top-left corner lands on the rotated
    // child's bottom-left.
    ExpectNear(Corner(1, 0), 100.0f, 100.0f);

    // An inherited colour multiplies down.
    EXPECT_NEAR(static_cast<int>(ColorOf(1) >> 24), 128, 1);
    parent->SetRecursiveColor(2);
    Draw();
    ASSERT_EQ(Quads(), 2u);
    EXPECT_NEAR(static_cast<int>(ColorOf(1) >> 24), 64, 1);
    parent->SetRecursiveColor(0);
    Draw();
    EXPECT_NEAR(static_cast<int>(ColorOf(1) >> 24), 128, 1);
}

TEST_F(DrawTest, MaskRectClipsAndFrameFadesDrawBothFrames) {
    auto* w = new DynamicWidget(10.0f, 10.0f, mImage.get());
    mRoot->AddWidget(w);
    w->SetMaskRect(FRect(0.0f, 0.0f, 5.0f, 5.0f), true);
    w->FadeToFrame(1, 10.0f, nullptr);
    w->UpdateF(5.0f);
    mBackend->mStates.clear();
    Draw();
    ASSERT_EQ(Quads(), 2u);
    ASSERT_FALSE(mBackend->mStates.empty());
    EXPECT_TRUE(mBackend->mStates[0].mScissor);
    EXPECT_EQ(mBackend->mStates[0].mScissorX, 10);
    EXPECT_EQ(mBackend->mStates[0].mScissorWidth, 5);
    EXPECT_NEAR(static_cast<int>(ColorOf(0) >> 24), 128, 1);
    EXPECT_NEAR(static_cast<int>(ColorOf(1) >> 24), 127, 1);
}

}  // namespace
