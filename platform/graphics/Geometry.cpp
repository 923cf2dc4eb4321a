#include "graphics/Geometry.h"

#include <algorithm>
#include <cmath>

namespace Gfx {

Rect Rect::Intersection(const Rect& o) const {
    double left = std::max(x, o.x), top = std::max(y, o.y);
    double right = std::min(Right(), o.Right()), bottom = std::min(Bottom(), o.Bottom());
    if (right <= left || bottom <= top)
        return {left, top, 0, 0};
    return {left, top, right - left, bottom - top};
}

Matrix Matrix::Rotation(double radians) {
    double c = std::cos(radians), s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

Matrix Matrix::Then(const Matrix& m) const {
    return {a * m.a + b * m.c,         a * m.b + b * m.d,
            c * m.a + d * m.c,         c * m.b + d * m.d,
            tx * m.a + ty * m.c + m.tx, tx * m.b + ty * m.d + m.ty};
}

Matrix Matrix::Inverted() const {
    double det = a * d - b * c;
    if (det == 0)
        return *this;  // a singular transform has no inverse; callers never build one
    Matrix inv{d / det, -b / det, -c / det, a / det, 0, 0};
    inv.tx = -(tx * inv.a + ty * inv.c);
    inv.ty = -(tx * inv.b + ty * inv.d);
    return inv;
}

Rect Matrix::ApplyToBounds(const Rect& r) const {
    Point corners[4] = {Apply({r.x, r.y}), Apply({r.Right(), r.y}), Apply({r.x, r.Bottom()}),
                        Apply({r.Right(), r.Bottom()})};
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    return {left, top, right - left, bottom - top};
}

}  // namespace Gfx
