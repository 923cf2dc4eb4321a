// Plain geometry of the drawing contexts: points, sizes, rectangles and affine transforms, in
// user-space units (one unit is one pixel of an image, one point of a PDF or SVG page).
#pragma once

namespace Gfx {

struct Point {
    double x = 0, y = 0;
};

struct Size {
    double width = 0, height = 0;
};

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;

    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    Rect Intersection(const Rect& o) const;
    bool Intersects(const Rect& o) const { return !Intersection(o).IsEmpty(); }
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

// x' = a x + c y + tx, y' = b x + d y + ty. A context reports its transform relative to its
// base space, whose origin is the bottom-left corner with y growing upwards; a context set up
// for top-down drawing therefore has a negative d.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Matrix Translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
    static Matrix Scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Matrix Rotation(double radians);
    // This transform applied first, then `then`.
    Matrix Then(const Matrix& then) const;
    Matrix Inverted() const;
    Point Apply(const Point& p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // The bounding box of the transformed rectangle.
    Rect ApplyToBounds(const Rect& r) const;
};

}  // namespace Gfx
