// Integer geometry of the drawing layer, laid out as the GDI-style callers expect.
#pragma once

#include <cstdint>

#include "WindowTypes.h"
#include "graphics/Geometry.h"

struct TPoint {
    int32_t x = 0, y = 0;

    TPoint() = default;
    TPoint(int32_t px, int32_t py) : x(px), y(py) {}
    TPoint operator-(const TPoint& o) const { return {x - o.x, y - o.y}; }
    TPoint operator-() const { return {-x, -y}; }
    bool operator==(const TPoint& o) const { return x == o.x && y == o.y; }
};

struct TSize {
    int32_t cx = 0, cy = 0;

    TSize() = default;
    TSize(int32_t w, int32_t h) : cx(w), cy(h) {}
    bool operator==(const TSize& o) const { return cx == o.cx && cy == o.cy; }
};

// The host's rectangle with the drawing layer's helpers: one layout, one tagRECT, so that code
// which includes both the drawing layer and the host boundary sees a single definition.
struct TRect : tagRECT {
    TRect() : tagRECT{0, 0, 0, 0} {}
    TRect(int32_t l, int32_t t, int32_t r, int32_t b) : tagRECT{l, t, r, b} {}
    TRect(const tagRECT& r) : tagRECT(r) {}
    TRect(const TPoint& origin, const TSize& size)
        : tagRECT{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy} {}
    // Each edge truncated: (0.9, 0.9, 10.2, 10.2) gives (0, 0, 11, 11).
    explicit TRect(const Gfx::Rect& r);

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Union; an all-zero rectangle on either side counts as nothing.
    TRect& operator|=(const TRect& o);
    bool operator==(const TRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

static_assert(sizeof(TRect) == sizeof(tagRECT), "a TRect is a tagRECT");
typedef TRect TRegion;  // regions here are single rectangles

// Origin (left, top), size (width, height).
Gfx::Rect RectToNSRect(const tagRECT& r);

// Mode 0: dst = a (its edges put in order) intersected with b, each edge clamped on its own.
// Other modes leave dst. Always 1.
int CombineRgn(TRegion& dst, TRegion a, TRegion b, int mode);
