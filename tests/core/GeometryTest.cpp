#include <gtest/gtest.h>

#include "core/Color.h"
#include "core/Geometry.h"
#include "core/Matrix4.h"
#include "platform/Viewport.h"

TEST(Transform, QuarterTurnsAreExactAndOperationsApplyInOrder) {
    Transform t;
    t.RotateDeg(90.0f);
    float x = 1.0f, y = 0.0f;
    t.TransformPoint(x, y);
    EXPECT_EQ(x, 0.0f);  // cos(90 deg) snapped, not 4e-8
    EXPECT_FLOAT_EQ(y, 1.0f);
    EXPECT_EQ(SnappedSin(3.14159265f), 0.0f);
    EXPECT_NE(SnappedSin(0.001f), 0.0f);
    Transform st;
    st.Scale(2.0f, 3.0f);
    st.Translate(10.0f, 20.0f);
    x = 1.0f;
    y = 1.0f;
    st.TransformPoint(x, y);
    EXPECT_FLOAT_EQ(x, 12.0f);
    EXPECT_FLOAT_EQ(y, 23.0f);
}

TEST(Matrix4, InverseUndoesTheTransform) {
    Matrix4 m = Matrix4::Translation(5, -3) * Matrix4::RotationZ(0.7f) * Matrix4::Scaling(2, 4);
    Matrix4 inv = m;
    ASSERT_TRUE(inv.Invert());
    float x = 3.5f, y = -1.25f;
    m.TransformPoint(x, y);
    inv.TransformPoint(x, y);
    EXPECT_NEAR(x, 3.5f, 1e-5f);
    EXPECT_NEAR(y, -1.25f, 1e-5f);
    Matrix4 singular = Matrix4::Scaling(0, 1);
    EXPECT_FALSE(singular.Invert());
}

TEST(Rect, IntersectionUnionContainment) {
    Rect a(0, 0, 10, 10), b(5, 5, 10, 10), c(20, 20, 1, 1);
    EXPECT_EQ(a.Intersection(b), Rect(5, 5, 5, 5));
    EXPECT_TRUE(a.Intersection(c).IsEmpty());
    EXPECT_EQ(a.Union(b), Rect(0, 0, 15, 15));
    EXPECT_TRUE(a.Contains(9, 9));
    EXPECT_FALSE(a.Contains(10, 0));
    EXPECT_TRUE(Point(1, 2) == Point(1, 2));
}

TEST(Viewport, LetterboxKeepsAspectAndCentres) {
    Viewport wide = ComputeViewport(1920, 1080, 1024, 768, false);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    Viewport tall = ComputeViewport(1024, 1000, 1024, 768, false);
    EXPECT_EQ(tall.width, 1024);
    EXPECT_EQ(tall.height, 768);
    EXPECT_EQ(tall.y, 116);
    Viewport stretched = ComputeViewport(1920, 1080, 1024, 768, true);
    EXPECT_EQ(stretched.width, 1920);
    EXPECT_EQ(stretched.x, 0);
    int lx, ly;
    WindowToLogical(wide, 1024, 768, 240 + 720, 540, lx, ly);
    EXPECT_EQ(lx, 512);
    EXPECT_EQ(ly, 384);
    EXPECT_EQ(ComputeViewport(0, 0, 1024, 768, false).width, 0);
}

TEST(Viewport, APresentedPartIsCutToTheDrawable) {
    struct Case {
        int x, y, w, h;
        bool kept;
        int cx, cy, cw, ch;
    };
    const Case cases[] = {
        {10, 20, 30, 40, true, 10, 20, 30, 40},         // inside
        {1000, 700, 100, 100, true, 1000, 700, 24, 68},  // past the right and the bottom
        {-30, -20, 60, 60, true, 0, 0, 30, 40},          // before the left and the top
        {0, 768, 50, 50, false, 0, 0, 0, 0},             // wholly below
        {0, -200, 50, 50, false, 0, 0, 0, 0},            // wholly above
        {-2000000000, 5, 2100000000, 10, true, 0, 5, 1024, 10},  // no wrap-around
        {5, 5, 0, 10, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int x = c.x, y = c.y, w = c.w, h = c.h;
        EXPECT_EQ(ClipToDrawable(x, y, w, h, 1024, 768), c.kept) << c.x << "," << c.y;
        if (c.kept) {
            EXPECT_EQ(x, c.cx);
            EXPECT_EQ(y, c.cy);
            EXPECT_EQ(w, c.cw);
            EXPECT_EQ(h, c.ch);
        }
    }
}
