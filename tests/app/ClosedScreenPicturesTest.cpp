#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/ClosedScreenPictures.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/support/GLTestWindow.h"

// On a real OpenGL context (llvmpipe keeps textures in our memory): skipped
// when no context can be made.
namespace {

constexpr uint64_t kWait = ClosedScreenPictures::kWaitMicros;

// A picture that can be decoded again, as the asset tables' are.
std::shared_ptr<Image> Picture(uint32_t colour) {
    ImageData pixels;
    pixels.mWidth = 32;
    pixels.mHeight = 32;
    pixels.mBits.assign(32 * 32, colour);
    auto surface = std::make_shared<ImageSurface>(pixels);
    surface->SetPixelSource([pixels](ImageData& out) {
        out = pixels;
        return true;
    });
    return surface;
}

// One frame drawing these pictures, presented.
void Frame(D3DInterface& device, const std::vector<std::shared_ptr<Image>>& drawn) {
    device.BeginFrame(Color(0, 0, 0));
    {
        Graphics g(nullptr);
        for (const auto& picture : drawn) g.DrawImage(picture.get(), 0, 0);
    }
    device.Present();
}

}  // namespace

TEST(ClosedScreenPicturesTest, OnlyPicturesLeftOutOfTheFramesSinceTheCloseGiveTheirTexturesBack) {
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    auto kept = Picture(0xFFFF0000u), left = Picture(0xFF00FF00u), never = Picture(0xFF0000FFu);
    Frame(*device, {kept, left});  // the screen that closes, over the one that stays
    ASSERT_TRUE(left->GetSurface()->HasTextures());
    ClosedScreenPictures pictures;
    pictures.ScreenClosed(device->GetPresentCount(), 1000);
    EXPECT_FALSE(pictures.IsDue(device->GetPresentCount(), 1000 + kWait));  // nothing drawn since
    Frame(*device, {kept});
    EXPECT_FALSE(pictures.IsDue(device->GetPresentCount(), 1000 + kWait - 1));
    ASSERT_TRUE(pictures.IsDue(device->GetPresentCount(), 1000 + kWait));
    EXPECT_EQ(pictures.Release({kept, left, never}), 1);
    EXPECT_TRUE(kept->GetSurface()->HasTextures());
    EXPECT_FALSE(left->GetSurface()->HasTextures());
    EXPECT_FALSE(left->GetSurface()->HasPixelsInMemory());
    EXPECT_FALSE(pictures.IsDue(device->GetPresentCount(), 1000 + 2 * kWait));  // once a close
    // Drawn again, it comes back from its source.
    Frame(*device, {left});
    EXPECT_TRUE(left->GetSurface()->HasTextures());
    std::unique_ptr<ImageSurface> shot(device->CopyScreenImage());
    EXPECT_EQ(shot->GetImageData().mBits[10 * 1024 + 10] & 0xFFFFFFu, 0x00FF00u);
    D3DInterface::Install(nullptr);
}
