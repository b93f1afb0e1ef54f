#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "data/ExpressionEvaluator.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/DynamicWidget.h"

namespace {

// An image of `cols` cels side by side, each cel w by h filled with one
// colour per cel (cel i: 0xFF0000ii), its right half transparent.
std::unique_ptr<Image> MakeStrip(int cols, int w, int h) {
    ImageData data;
    data.mWidth = cols * w;
    data.mHeight = h;
    data.mBits.assign(static_cast<size_t>(data.mWidth) * h, 0);
    for (int c = 0; c < cols; ++c)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w / 2; ++x)
                data.mBits[static_cast<size_t>(y) * data.mWidth + c * w + x] =
                    0xFF000000u | static_cast<uint32_t>(c + 1);
    return std::unique_ptr<Image>(CreateImageFromData(std::move(data), cols, 1));
}

// The size comes from the cel, the opacity is absolute, and a frame out of
// range (also after a new image) is the first.
TEST(DynamicWidgetTest, SizeComesFromTheCelAndFramesStayInRange) {
    auto strip = MakeStrip(3, 20, 10);
    auto single = MakeStrip(1, 8, 8);
    DynamicWidget w(5.0f, 6.0f, strip.get(), -0.5f);
    EXPECT_EQ(w.mWidth, 20);
    EXPECT_EQ(w.mHeight, 10);
    EXPECT_EQ(w.mOpacity, 0.5f);
    EXPECT_EQ(w.GetFrameCount(), 3);
    DynamicWidget empty(0.0f, 0.0f);
    EXPECT_EQ(empty.mWidth, 0);
    EXPECT_EQ(empty.mHeight, 0);
    w.SetFrame(2);
    EXPECT_EQ(w.GetFrame(), 2);
    w.SetImage(single.get());
    EXPECT_EQ(w.GetFrame(), 0);
    EXPECT_EQ(w.mWidth, 8);
    w.SetFrame(7);  // out of range: the first frame
    EXPECT_EQ(w.GetFrame(), 0);
}

TEST(DynamicWidgetTest, ExpressionsReadPropertiesAndReferences) {
    auto strip = MakeStrip(2, 20, 10);
    auto* w = new DynamicWidget(7.0f, 3.0f, strip.get());
    VariableMap vars{{L"obj", ScriptValue(static_cast<ScriptObject*>(w))}};
    ExpressionEvaluator eval(vars);
    EXPECT_EQ(eval.Evaluate(L"obj.x + 1").ToFloat(), 8.0f);
    EXPECT_EQ(eval.Evaluate(L"obj.width").ToInt(), 20);
    ScriptValue ref = eval.Evaluate(L"obj.y_ptr");
    float y = 0.0f;
    ASSERT_TRUE(ref.ReadRef(y));
    EXPECT_EQ(y, 3.0f);
    EXPECT_TRUE(ref.WriteRef(9.0f));
    EXPECT_EQ(w->mY, 9.0f);
    delete w;  // the values are weak: they read nothing afterwards
    EXPECT_EQ(vars[L"obj"].GetObject(), nullptr);
    EXPECT_FALSE(ref.ReadRef(y));
}

TEST(DynamicWidgetTest, WhenDoneActsAtOnceWhenIdleAndWhenTheLastControllerEnds) {
    WidgetContainer parent;
    auto* idle = new DynamicWidget(0.0f, 0.0f);
    auto* busy = new DynamicWidget(0.0f, 0.0f);
    parent.AddWidget(idle);
    parent.AddWidget(busy);

    idle->SetHideWhenDone(true);
    EXPECT_FALSE(idle->mVisible);

    busy->TweenProperty(L"x", L"t", 10.0f, 3.0f);
    busy->SetHideWhenDone(true);
    busy->SetStopRecursionWhenDone(true);
    busy->SetRecursiveTransform(true);
    busy->UpdateF(1.0f);
    EXPECT_TRUE(busy->mVisible);
    EXPECT_TRUE(busy->mRecursiveTransform);
    busy->UpdateF(2.0f);
    EXPECT_FALSE(busy->mVisible);
    EXPECT_FALSE(busy->mRecursiveTransform);

    // False cancels a stored request.
    busy->SetVisible(true);
    busy->TweenProperty(L"x", L"t", 0.0f, 3.0f);
    busy->SetRemoveWhenDone(true);
    busy->SetRemoveWhenDone(false);
    busy->UpdateF(5.0f);
    EXPECT_TRUE(parent.HasWidget(busy));
    busy->TweenProperty(L"x", L"t", 5.0f, 3.0f);
    busy->SetRemoveWhenDone(true);
    busy->UpdateF(5.0f);
    EXPECT_FALSE(parent.HasWidget(busy));
    ProcessOrphanWidgetDeletes();

    // Stopping the last controller acts on a request too.
    idle->SetVisible(true);
    idle->TweenProperty(L"x", L"t", 10.0f, 30.0f);
    idle->SetHideWhenDone(true);
    EXPECT_TRUE(idle->mVisible);
    idle->StopController(L"t");
    EXPECT_FALSE(idle->mVisible);
}

TEST(DynamicWidgetTest, FrameCyclesRunTheirPassesInOrderAndFadesLandOnTheirFrame) {
    auto strip = MakeStrip(4, 8, 8);
    DynamicWidget w(0.0f, 0.0f, strip.get());
    // The frames shown over eight steps.
    auto eightSteps = [&w] {
        std::vector<int> seen;
        for (int i = 0; i < 8; ++i) {
            w.UpdateF(1.0f);
            seen.push_back(w.GetFrame());
        }
        return seen;
    };
    w.CycleFrames(2.0f, 1, 3, 1, 0.0f, 0.0f, 1, {});
    w.SetFrame(1);
    EXPECT_EQ(eightSteps(), (std::vector<int>{1, 2, 2, 3, 3, 1, 1, 1}));
    EXPECT_FALSE(w.IsBusy());

    w.CycleFrames(1.0f, 0, -1, -1, 0.0f, 0.0f, 0, {});  // back and forth for ever
    w.SetFrame(0);
    EXPECT_EQ(eightSteps(), (std::vector<int>{1, 2, 3, 2, 1, 0, 1, 2}));
    EXPECT_FALSE(w.IsBusy());  // endless cycles never make it busy

    w.CycleFrames(1.0f, 0, -1, 2, 0.0f, 0.0f, 1, {3, 0});
    EXPECT_EQ(w.GetFrame(), 3);
    EXPECT_TRUE(w.IsBusy());
    w.UpdateF(1.0f);
    EXPECT_EQ(w.GetFrame(), 0);

    // A fade to a frame lands on it when it ends, at once without time.
    w.SetFrame(0);
    w.FadeToFrame(2, 4.0f, nullptr);
    EXPECT_TRUE(w.IsBusy());
    EXPECT_EQ(w.GetFrame(), 0);
    w.UpdateF(2.0f);
    EXPECT_EQ(w.GetFrame(), 0);
    w.UpdateF(2.0f);
    EXPECT_EQ(w.GetFrame(), 2);
    EXPECT_FALSE(w.IsBusy());
    w.FadeToFrame(1, 0.0f, nullptr);  // no time: at once
    EXPECT_EQ(w.GetFrame(), 1);
}

TEST(DynamicWidgetTest, BlinkingRunsItsCyclesThenEnds) {
    DynamicWidget w(0.0f, 0.0f);
    w.StartBlinking(-1, 2, 2);  // a step of delay, two blinks of 2 + 2 steps
    EXPECT_TRUE(w.IsBusy());
    for (int i = 0; i < 8; ++i) w.Update();
    EXPECT_TRUE(w.IsBlinking());
    w.Update();
    EXPECT_FALSE(w.IsBlinking());
    EXPECT_FALSE(w.IsBusy());
    w.StartBlinking(0, 0, 3);  // for ever: never busy
    for (int i = 0; i < 50; ++i) w.Update();
    EXPECT_TRUE(w.IsBlinking());
    EXPECT_FALSE(w.IsBusy());
}

TEST(DynamicWidgetTest, TransformMapsPointsBothWays) {
    auto strip = MakeStrip(1, 20, 20);
    DynamicWidget w(100.0f, 50.0f, strip.get());
    w.SetPropertyValue(L"angle", 90.0f);
    FPoint p = w.LocalToParentPoint(20.0f, 10.0f);  // right middle turns to the top
    EXPECT_NEAR(p.mX, 110.0f, 1e-4f);
    EXPECT_NEAR(p.mY, 50.0f, 1e-4f);
    FPoint back = w.ParentToLocalPoint(p.mX, p.mY);
    EXPECT_NEAR(back.mX, 20.0f, 1e-4f);
    EXPECT_NEAR(back.mY, 10.0f, 1e-4f);

    w.SetPropertyValue(L"angle", 0.0f);
    w.SetPropertyValue(L"scale_x", 2.0f);
    w.SetCenter(0.0f, DynamicWidget::kKeepCoordinate);
    EXPECT_EQ(w.GetCenter(), FPoint(0.0f, 10.0f));
    FRect r = w.GetBoundingRect();
    EXPECT_FLOAT_EQ(r.mX, 100.0f);
    EXPECT_FLOAT_EQ(r.mWidth, 40.0f);
    w.Flip(false);  // mirrored about the centre's x
    EXPECT_FLOAT_EQ(w.GetBoundingRect().mX, 60.0f);
    // A flat scale has no inverse: the point stays finite.
    w.SetPropertyValue(L"scale_x", 0.0f);
    FPoint flat = w.ParentToLocalPoint(105.0f, 55.0f);
    EXPECT_TRUE(std::isfinite(flat.mX));
}

TEST(DynamicWidgetTest, HitTestByPixelsOrByRectangleAndMouseVisibility) {
    auto strip = MakeStrip(2, 20, 10);
    DynamicWidget w(0.0f, 0.0f, strip.get());
    EXPECT_TRUE(w.HitTest(2, 2));
    EXPECT_FALSE(w.HitTest(15, 2));  // the transparent half
    EXPECT_FALSE(w.HitTest(25, 2));  // outside
    w.mCheckPixels = false;
    EXPECT_TRUE(w.HitTest(15, 2));

    // The mouse_visible property drives the flag.
    w.SetPropertyValue(L"mouse_visible", 0.0f);
    EXPECT_FALSE(w.mMouseVisible);
    w.mMouseVisible = true;  // set directly: the property reads it back
    EXPECT_EQ(*w.GetPropertyPointer(L"mouse_visible"), 1.0f);
    w.OnPropertyChanged(DirtyFlags::All);
    EXPECT_TRUE(w.mMouseVisible);
}

TEST(DynamicWidgetTest, OwnImageSurfaceCopiesTheCurrentCel) {
    auto strip = MakeStrip(3, 4, 2);
    DynamicWidget w(0.0f, 0.0f, strip.get());
    w.SetFrame(1);
    ImageSurface* own = w.GetOwnImageSurface();
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(w.mOwnsImage);
    EXPECT_EQ(own->GetWidth(), 4);
    EXPECT_EQ(own->GetImageData().mBits[0], 0xFF000002u);
    EXPECT_EQ(w.GetOwnImageSurface(), own);  // already its own
    w.SetChildImage(nullptr);  // the child keeps its owned source alive
    EXPECT_EQ(w.mWidth, 4);
    EXPECT_TRUE(w.HitTest(0, 0));
}

TEST(DynamicWidgetTest, DrawsThroughTheNullRenderer) {
    auto strip = MakeStrip(2, 16, 16);
    WidgetContainer root;
    auto* parent = new DynamicWidget(10.0f, 10.0f, strip.get());
    auto* child = new DynamicWidget(4.0f, 4.0f, strip.get());
    root.AddWidget(parent);
    parent->AddWidget(child);
    auto draws = [&] {
        Graphics g;
        root.DrawAll(&g, WidgetFlags::Default);
        return g.GetSubmittedDrawCount();
    };
    EXPECT_EQ(draws(), 2);
    // Invisible by colour or without the draw flag: nothing.
    parent->SetPropertyValue(L"opacity", 0.0f);
    child->mRemoveMask = WidgetFlags::Draw;
    EXPECT_EQ(draws(), 0);
    parent->SetPropertyValue(L"opacity", 1.0f);
    child->mRemoveMask = 0;
    parent->SetRecursiveTransform(true);
    parent->SetRecursiveColor(2);
    parent->SetPropertyValue(L"angle", 30.0f);
    child->SetTessellation(2, 3);
    EXPECT_EQ(draws(), 2);  // the child's pieces merge into one run
    child->FadeToFrame(1, 5.0f, nullptr);
    child->mTessellated = false;
    EXPECT_GE(draws(), 2);
    parent->SetCached(true, true);
    EXPECT_TRUE(parent->IsCached());
    EXPECT_EQ(draws(), 1);  // the cache alone
    parent->SetCached(false, false);
    EXPECT_FALSE(parent->IsCached());
}

}  // namespace
