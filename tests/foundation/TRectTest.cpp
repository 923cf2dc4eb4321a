#include <gtest/gtest.h>

#include "foundation/draw/TRect.h"

TEST(TRect, ConstructionAndConversion) {
    EXPECT_EQ(TRect(Gfx::Rect{0.9, 0.9, 10.2, 10.2}), TRect(0, 0, 11, 11));
    EXPECT_EQ(TRect(Gfx::Rect{-1.5, 2, 3, 4}), TRect(-1, 2, 1, 6));
    TRect r(TPoint(3, 4), TSize(10, 20));
    EXPECT_EQ(r, TRect(3, 4, 13, 24));
    EXPECT_EQ(r.Width(), 10);
    EXPECT_EQ(r.Height(), 20);
    EXPECT_EQ(RectToNSRect(r), (Gfx::Rect{3, 4, 10, 20}));
}

TEST(TRect, UnionIgnoresTheEmptyRectangle) {
    TRect r(10, 10, 20, 20);
    r |= TRect();
    EXPECT_EQ(r, TRect(10, 10, 20, 20));
    r |= TRect(0, 15, 12, 30);
    EXPECT_EQ(r, TRect(0, 10, 20, 30));
    TRect empty;
    empty |= TRect(1, 2, 3, 4);
    EXPECT_EQ(empty, TRect(1, 2, 3, 4));
}

TEST(TRect, CombineRgnIntersectsAfterOrderingTheFirst) {
    TRegion dst(7, 7, 7, 7);
    EXPECT_EQ(CombineRgn(dst, TRect(30, 40, 10, 0), TRect(0, 5, 20, 100), 0), 1);  // a reversed
    EXPECT_EQ(dst, TRect(10, 5, 20, 40));
    // Edges are clamped one by one: disjoint rectangles give an inverted result.
    CombineRgn(dst, TRect(0, 0, 10, 10), TRect(20, 20, 30, 30), 0);
    EXPECT_EQ(dst, TRect(20, 20, 10, 10));
    EXPECT_EQ(CombineRgn(dst, TRect(0, 0, 1, 1), TRect(0, 0, 2, 2), 1), 1);
    EXPECT_EQ(dst, TRect(20, 20, 10, 10));  // other modes leave it
}
