// Drag widgets made by "add" with "draggable", driven by real mouse events
// through the application: bounds, reversal, clicks, flings and edge pushes.
#include "tests/script/ScriptFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/DragWidget.h"

namespace {

class DragWidgetTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        Load(R"(
          <animation name="drag_scene">
            <add id="map" draggable="true" boundary="inner" x="0" y="0" width="2048" height="768"/>
            <add id="piece" draggable="true" boundary="outer" boundary_x="100" boundary_y="100"
                 boundary_width="400" boundary_height="300" x="200" y="200" width="50" height="50"/>
            <set-layer id="map"/>
            <add id="pin" draggable="true" drag_through="true" x="600" y="300" width="40" height="40"/>
          </animation>)");
        Run(L"drag_scene");
        mHarness.RunSteps(1);
        mMap = Find(L"map");
        mPiece = Find(L"piece");
        ASSERT_TRUE(mMap && mPiece && Find(L"pin"));
    }
    DragWidget* Find(const wchar_t* name) {
        return dynamic_cast<DragWidget*>(FindWidgetByName(mHarness, name));
    }
    bool Gliding(DragWidget* w) { return w->HasController(L"drag_slide_x") || w->HasController(L"drag_slide_y"); }

    DragWidget* mMap = nullptr;
    DragWidget* mPiece = nullptr;
};

TEST_F(DragWidgetTest, BoundsHoldWhileDragging) {
    mPiece->mMomentum = mMap->mMomentum = false;
    struct Case {
        const char* what;
        DragWidget* widget;
        Point from, to;
        float x;
    };
    const Case cases[] = {
        {"inner: right of 0 is refused", mMap, {800, 50}, {900, 50}, 0},
        {"inner: far left", mMap, {1000, 50}, {10, 50}, -990},
        {"inner: stops at -1024", mMap, {1000, 50}, {800, 50}, -1024},
        {"outer: stops at the right side", mPiece, {210, 210}, {900, 210}, 450},
        {"outer: stops at the left side", mPiece, {460, 210}, {5, 210}, 100},
    };
    for (const Case& c : cases) {
        Drag(c.from, {c.to});
        mHarness.RunSteps(1);  // the re-clamp of a drawn frame keeps it there
        EXPECT_EQ(c.widget->mX, c.x) << c.what;
    }
    EXPECT_EQ(mPiece->mY, 200.0f);
    // Free on x: past the box, and left there by the drawn frames.
    mMap->mCanDragPastBoundaryX = true;
    Drag({600, 50}, {{500, 50}});
    mHarness.RunSteps(2);
    EXPECT_EQ(mMap->mX, -1124.0f);
}

TEST_F(DragWidgetTest, TurningBackAfterAnOvershootMovesAtOnce) {
    // 30 pixels past the right end of the inner range (x 0), then 1 back.
    Drag({500, 50}, {{530, 50}, {529, 50}}, false);
    EXPECT_EQ(mMap->mX, -1.0f);
    EXPECT_TRUE(mMap->IsDragging());
    mHarness.MouseUp(529, 50);
    mHarness.DrainInput();
}

TEST_F(DragWidgetTest, ShortPressIsAClickAndSlowReleaseDoesNotFling) {
    Drag({220, 220}, {{226, 220}});  // 6 pixels: a click
    EXPECT_TRUE(mPiece->IsImmediateDrag());
    EXPECT_FALSE(Gliding(mPiece));
    EXPECT_EQ(mPiece->mX, 206.0f);
    // 40 pixels, but 1 pixel per move at the end: s = 0.5 * 1 <= 25.
    Drag({220, 220}, {{250, 220}, {259, 220}, {260, 220}});
    EXPECT_FALSE(Gliding(mPiece));
    // A fast last move flings, and the glide stays inside the box.
    Drag({260, 220}, {{280, 220}, {340, 220}});
    EXPECT_TRUE(Gliding(mPiece));
    mHarness.RunSteps(100);
    EXPECT_FALSE(Gliding(mPiece));
    EXPECT_EQ(mPiece->mX, 450.0f);
    // Neither the second press of a double click nor the right button drags.
    for (auto [button, clicks] : {std::pair{MouseButton::Left, 2}, std::pair{MouseButton::Right, 1}}) {
        mHarness.MouseMove(460, 220);
        mHarness.MouseDown(460, 220, button, clicks);
        mHarness.MouseMove(300, 220);
        mHarness.MouseUp(300, 220, button);
        mHarness.DrainInput();
        EXPECT_EQ(mPiece->mX, 450.0f) << clicks;
    }
}

TEST_F(DragWidgetTest, DragThroughChildPushesItsParentFromTheScreenEdge) {
    mMap->Move(-300.0f, 0.0f);
    mHarness.RunSteps(1);
    // The pin sits at 300 on screen; held 10 pixels from the left edge.
    Drag({310, 310}, {{100, 310}, {10, 310}}, false);
    // Within a pixel: the map slid a fraction of one between the moves.
    EXPECT_NEAR(mMap->GetSlideVelocityX(), (256.0f - 10.0f) / 256.0f * 5.0f, 5.0f / 256.0f);
    EXPECT_EQ(mMap->GetSlideVelocityY(), 0.0f);
    mHarness.MouseUp(10, 310);
    mHarness.DrainInput();
    EXPECT_EQ(mMap->GetSlideVelocityX(), 0.0f);  // the drag's end stops the push
}

TEST_F(DragWidgetTest, SetBumpChangesOnlyDragWidgets) {
    Load(R"(<animation name="bumps">
              <add id="plain" image="nothing" x="0" y="0"/>
              <set-bump id="plain" bump="outer" x="5"/>
              <add id="p" draggable="true" boundary="outer" width="5" height="5"/>
              <set-bump id="p" bump="none" width="7"/>
              <set-bump id="p" bump="sideways" x="3"/>
            </animation>)");
    ProbeScript* script = Run(L"bumps");
    mHarness.RunSteps(1);
    EXPECT_EQ(script->mEnded, 1);  // the command on a plain image was passed over
    auto* p = dynamic_cast<DragWidget*>(FindWidgetByName(*script, L"p"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->mBoundaryMode, DragWidget::kNoBounds);
    EXPECT_EQ(p->mBoundWidth, 7);
    EXPECT_EQ(p->mBoundX, 3);  // an unknown word keeps the mode; the box still changes
}

}  // namespace
