#include <gtest/gtest.h>

#include <vector>

#include "core/DirtyRegion.h"

TEST(DirtyRegionTest, FarApartRectanglesStaySeparate) {
    DirtyRegion region;
    region.Add(Rect(10, 10, 20, 20));      // the clock
    region.Add(Rect(900, 700, 28, 28));    // a cell across the window
    ASSERT_EQ(region.Rects().size(), 2u);
    EXPECT_EQ(region.Area(), 20 * 20 + 28 * 28);
    EXPECT_EQ(region.Bounds(), Rect(10, 10, 918, 718));
}

TEST(DirtyRegionTest, NeighboursAndOverlapsMerge) {
    DirtyRegion region;
    region.Add(Rect(100, 100, 28, 28));
    region.Add(Rect(128, 100, 28, 28));  // the next cell: nothing wasted
    ASSERT_EQ(region.Rects().size(), 1u);
    EXPECT_EQ(region.Rects()[0], Rect(100, 100, 56, 28));
    region.Add(Rect(110, 110, 10, 10));  // inside: nothing changes
    EXPECT_EQ(region.Rects().size(), 1u);
    region.Add(Rect(90, 90, 100, 100));  // covers it: replaces it
    ASSERT_EQ(region.Rects().size(), 1u);
    EXPECT_EQ(region.Rects()[0], Rect(90, 90, 100, 100));
    region.Add(Rect());
    EXPECT_EQ(region.Rects().size(), 1u);
}

// Cells fading in here and there on a 20 x 20 board: however many, the
// region keeps at most kMaxRects rectangles, each cell inside one of them,
// and it stays within the board.
TEST(DirtyRegionTest, ManyScatteredRectanglesAreCappedAndStillCoverEveryOne) {
    DirtyRegion region;
    std::vector<Rect> added;
    for (int i = 0; i < 60; ++i) {
        const Rect r(446 + (i * 7 % 20) * 28, 196 + (i * 13 % 20) * 28, 28, 28);
        added.push_back(r);
        region.Add(r);
    }
    EXPECT_LE(region.Rects().size(), DirtyRegion::kMaxRects);
    for (const Rect& r : added) {
        bool inside = false;
        for (const Rect& kept : region.Rects()) inside = inside || kept.Intersection(r) == r;
        EXPECT_TRUE(inside) << r.mX << "," << r.mY;
    }
    EXPECT_TRUE(Rect(446, 196, 560, 560).Intersection(region.Bounds()) == region.Bounds());
    EXPECT_LT(region.Area(), 560 * 560);
}

TEST(DirtyRegionTest, ClipKeepsWhatLiesInside) {
    DirtyRegion region;
    region.Add(Rect(-10, -10, 30, 30));
    region.Add(Rect(2000, 10, 30, 30));
    region.Clip(Rect(0, 0, 1024, 768));
    ASSERT_EQ(region.Rects().size(), 1u);
    EXPECT_EQ(region.Rects()[0], Rect(0, 0, 20, 20));
    EXPECT_TRUE(region.Intersects(Rect(5, 5, 1, 1)));
    EXPECT_FALSE(region.Intersects(Rect(50, 50, 1, 1)));
}
