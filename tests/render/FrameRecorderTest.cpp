#include <gtest/gtest.h>

#include <algorithm>

#include "core/DirtyRegion.h"
#include "render/FrameRecorder.h"
#include "render/Graphics.h"
#include "tests/render/RenderTestSupport.h"

namespace {

GpuDrawState FrameState() {
    GpuDrawState state;
    state.mTarget = 7;
    state.mTargetWidth = 1024;
    state.mTargetHeight = 768;
    return state;
}

void Quad(GpuVertex* out, float x, float y, float side, uint32_t color) {
    const GpuVertex quad[4] = {{x, y, 0, 0, color}, {x + side, y, 1, 0, color}, {x + side, y + side, 1, 1, color},
                               {x, y + side, 0, 1, color}};
    std::copy(quad, quad + 4, out);
}

}  // namespace

// One draw of three quads far apart, after the clear: drawn whole, all of it
// goes out; drawn only in a rectangle around one quad, the clear and that
// quad go out, scissored to the rectangle, and the others are not sent.
TEST(FrameRecorderTest, APartReplaysOnlyTheQuadsThatTouchItScissoredToIt) {
    FrameRecorder recorder;
    recorder.AddClear(FrameState(), 0xFF102030u);
    GpuVertex quads[12];
    Quad(quads, 10, 10, 20, 0xFFFF0000u);
    Quad(quads + 4, 500, 300, 20, 0xFF00FF00u);
    Quad(quads + 8, 1000, 740, 20, 0xFF0000FFu);
    recorder.Add(FrameState(), nullptr, quads, 3);

    RecordingBackend whole;
    recorder.ReplayWhole(whole, 0);
    ASSERT_EQ(whole.mDraws.size(), 1u);  // the clear is a clear, not a draw
    EXPECT_EQ(whole.mDraws[0].mVertices.size(), 12u);
    EXPECT_FALSE(whole.mDraws[0].mState.mScissor);
    EXPECT_EQ(whole.mDraws[0].mState.mTarget, 0u);

    DirtyRegion region;
    region.Add(Rect(495, 295, 40, 40));
    RecordingBackend part;
    recorder.ReplayRegion(part, 0, region);
    ASSERT_EQ(part.mDraws.size(), 2u);
    const RecordingBackend::Draw& clear = part.mDraws[0];
    EXPECT_EQ(clear.mState.mBlend, GpuBlend::Replace);
    EXPECT_EQ(clear.mVertices[0].mColor, 0xFF102030u);
    const RecordingBackend::Draw& drawn = part.mDraws[1];
    ASSERT_EQ(drawn.mVertices.size(), 4u);
    EXPECT_EQ(drawn.mVertices[0].mX, 500.0f);
    for (const RecordingBackend::Draw& d : part.mDraws) {
        EXPECT_TRUE(d.mState.mScissor);
        EXPECT_EQ(Rect(d.mState.mScissorX, d.mState.mScissorY, d.mState.mScissorWidth, d.mState.mScissorHeight),
                  Rect(495, 295, 40, 40));
    }
}

// A draw's own scissor stays: replayed in a rectangle, it is narrowed to
// where both meet; one that does not meet the rectangle is not sent.
TEST(FrameRecorderTest, ADrawsOwnScissorIsNarrowedToThePart) {
    FrameRecorder recorder;
    GpuDrawState clipped = FrameState();
    clipped.mScissor = true;
    clipped.mScissorX = 0;
    clipped.mScissorY = 0;
    clipped.mScissorWidth = 100;
    clipped.mScissorHeight = 100;
    GpuVertex quad[4];
    Quad(quad, 0, 0, 300, 0xFFFFFFFFu);
    recorder.Add(clipped, nullptr, quad, 1);
    DirtyRegion region;
    region.Add(Rect(50, 50, 200, 200));
    region.Add(Rect(600, 600, 10, 10));
    RecordingBackend part;
    recorder.ReplayRegion(part, 0, region);
    ASSERT_EQ(part.mDraws.size(), 1u);
    const GpuDrawState& s = part.mDraws[0].mState;
    EXPECT_EQ(Rect(s.mScissorX, s.mScissorY, s.mScissorWidth, s.mScissorHeight), Rect(50, 50, 50, 50));
}

// Draws in a frame through a device: the areas widgets learn are the pixels
// their quads touch, within their clip.
TEST(FrameRecorderTest, TheDeviceLearnsWhereDrawsOnTheFrameLand) {
    ScopedDevice scoped(std::make_unique<RecordingBackend>());
    D3DInterface& device = scoped.Device();
    device.BeginFrame(Color(0, 0, 0));
    const Rect outer = device.BeginArea();
    {
        Graphics g(nullptr);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(10.5f, 20.0f, 30.0f, 5.0f);
        g.SetClipRect(0, 0, 100, 22);
        g.FillRect(50.0f, 0.0f, 500.0f, 500.0f);
    }
    EXPECT_EQ(device.EndArea(outer), Rect(10, 0, 90, 25));
    device.Present();
}
