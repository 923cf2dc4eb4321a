#include "foundation/draw/TRect.h"

#include <algorithm>

TRect::TRect(const Gfx::Rect& r)
    : tagRECT{static_cast<int32_t>(r.x), static_cast<int32_t>(r.y), static_cast<int32_t>(r.x + r.width),
              static_cast<int32_t>(r.y + r.height)} {}

TRect& TRect::operator|=(const TRect& o) {
    if (o.IsNull())
        return *this;
    if (IsNull())
        return *this = o;
    left = std::min(left, o.left);
    top = std::min(top, o.top);
    right = std::max(right, o.right);
    bottom = std::max(bottom, o.bottom);
    return *this;
}

Gfx::Rect RectToNSRect(const tagRECT& r) {
    return {double(r.left), double(r.top), double(r.right - r.left), double(r.bottom - r.top)};
}

int CombineRgn(TRegion& dst, TRegion a, TRegion b, int mode) {
    if (mode == 0) {
        dst.left = std::max(std::min(a.left, a.right), b.left);
        dst.top = std::max(std::min(a.top, a.bottom), b.top);
        dst.right = std::min(std::max(a.left, a.right), b.right);
        dst.bottom = std::min(std::max(a.top, a.bottom), b.bottom);
    }
    return 1;
}
