// What the tree draws, in pixels, on a real OpenGL context (SDL's offscreen
// driver without a display). Skipped when no context can be made.
#include <gtest/gtest.h>

#include "tests/support/GLTestWindow.h"

#include <cstdlib>
#include <memory>

#include "platform/System.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/WidgetManager.h"

namespace {


class Box : public Widget {
public:
    Box(float x, float y, int w, int h, Color color) : mColor(color) { Resize(x, y, w, h); }
    void Draw(Graphics* g) override {
        g->SetColor(mColor);
        g->FillRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
        if (mOverlay) DeferOverlay(0);
    }
    void DrawOverlay(Graphics* g) override {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(0.0f, 0.0f, 2.0f, 2.0f);
    }
    Color mColor;
    bool mOverlay = false;
};

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

::testing::AssertionResult Near(uint32_t got, int r, int g, int b) {
    if (std::abs(Channel(got, 16) - r) <= 3 && std::abs(Channel(got, 8) - g) <= 3 &&
        std::abs(Channel(got, 0) - b) <= 3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << Channel(got, 16) << "," << Channel(got, 8)
                                         << "," << Channel(got, 0) << ") want (" << r << "," << g
                                         << "," << b << ")";
}

class TreePixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDevice = StartTestGLDevice();
        if (!mDevice) GTEST_SKIP() << "no OpenGL 3.3 context here";
    }
    void TearDown() override {
        D3DInterface::Install(nullptr);
        mDevice.reset();
    }
    ImageData Frame() {
        {
            Graphics g(nullptr);
            mManager.DrawToGraphics(g);
        }
        std::unique_ptr<ImageSurface> copy(mDevice->CopyScreenImage());
        return copy->GetImageData();
    }
    static uint32_t At(const ImageData& d, int x, int y) {
        return d.mBits[static_cast<size_t>(y) * d.mWidth + x];
    }

    std::unique_ptr<D3DInterface> mDevice;
    WidgetManager mManager;
};

TEST_F(TreePixelTest, ChildrenDrawTranslatedClippedAndOnTopOfTheirParent) {
    auto* parent = new Box(100, 100, 50, 50, Color(255, 0, 0));
    parent->mClip = true;
    auto* child = new Box(40, 40, 30, 30, Color(0, 255, 0));  // runs past the parent
    parent->AddWidget(child);
    auto* hidden = new Box(0, 0, 10, 10, Color(0, 0, 255));
    hidden->mRemoveMask = WidgetFlags::Draw;
    parent->AddWidget(hidden);
    mManager.AddWidget(parent);
    auto* front = new Box(300, 300, 20, 20, Color(0, 0, 255));
    front->mOverlay = true;
    mManager.AddWidget(front);
    auto* behind = new Box(305, 305, 20, 20, Color(255, 255, 0));
    behind->mZOrder = -1;
    mManager.AddWidget(behind);

    ImageData f = Frame();
    ASSERT_EQ(f.mWidth, 1024);
    EXPECT_TRUE(Near(At(f, 101, 101), 255, 0, 0));   // the parent; its hidden child drew nothing
    EXPECT_TRUE(Near(At(f, 145, 145), 0, 255, 0));   // the child, at parent + (40, 40)
    EXPECT_TRUE(Near(At(f, 155, 155), 0, 0, 0));     // clipped to the parent
    EXPECT_TRUE(Near(At(f, 310, 310), 0, 0, 255));   // lower priority drawn first
    EXPECT_TRUE(Near(At(f, 322, 322), 255, 255, 0));
    EXPECT_TRUE(Near(At(f, 300, 300), 255, 255, 255));  // the overlay, after the tree
}

}  // namespace
