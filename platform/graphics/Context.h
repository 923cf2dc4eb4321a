// The drawing context the drawing layer draws through: paths, rectangles, ellipses, text in
// the one font of the system, clipping, transforms, a state stack, colours with alpha,
// shadows, images and off-screen layers.
//
// Coordinates follow the base space of the context: origin at the bottom-left corner, y
// growing upwards. Contexts for top-down drawing start with a transform that flips y (see
// CurrentMatrix). Colours, line settings, antialiasing, shadow, clip and transform are state:
// SaveState and RestoreState keep and bring them back; the path is not.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "graphics/Image.h"

namespace Gfx {

class Layer;

enum class LineCap { Butt, Round, Square };

// Which way user space grows when a context is made: from the bottom-left corner upwards as in
// a page description, or from the top-left corner downwards as in a view that draws top-down.
enum class Origin { BottomLeft, TopLeft };

class Context {
public:
    virtual ~Context() = default;

    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;

    virtual void Translate(double dx, double dy) = 0;
    virtual void Scale(double sx, double sy) = 0;
    // Turns user space by the angle, counter-clockwise in base space for a positive one.
    virtual void Rotate(double radians) = 0;
    // User space to base space.
    virtual Matrix CurrentMatrix() const = 0;

    virtual void BeginPath() = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    virtual void CurveTo(double x1, double y1, double x2, double y2, double x, double y) = 0;
    virtual void ClosePath() = 0;
    virtual void AddRect(const Rect& r) = 0;
    virtual void AddEllipse(const Rect& bounds) = 0;
    // Each of these consumes the path.
    virtual void StrokePath() = 0;
    virtual void FillPath() = 0;
    virtual void FillStrokePath() = 0;  // fill, then stroke the same path

    virtual void StrokeRect(const Rect& r) = 0;
    virtual void FillRect(const Rect& r) = 0;
    virtual void ClearRect(const Rect& r) = 0;  // to transparent, ignoring colours and shadow

    virtual void SetStrokeColor(const Color& c) = 0;
    virtual void SetFillColor(const Color& c) = 0;
    virtual void SetLineWidth(double width) = 0;
    virtual void SetLineCap(LineCap cap) = 0;
    // Empty lengths draw solid lines.
    virtual void SetLineDash(double phase, const std::vector<double>& lengths) = 0;
    // Edges are antialiased only when both are on (both are on at first).
    virtual void SetAllowsAntialiasing(bool allow) = 0;
    virtual void SetShouldAntialias(bool should) = 0;
    virtual void SetAllowsFontSmoothing(bool allow) = 0;
    // Every later painting casts a shadow moved by offset in base space, blurred over about
    // blur units. A transparent colour turns shadows off.
    virtual void SetShadow(const Size& offset, double blur, const Color& color) = 0;

    // Narrows the clip to the rectangle (never widens it).
    virtual void ClipToRect(const Rect& r) = 0;
    // The bounding box of the clip, in user space.
    virtual Rect ClipBounds() const = 0;

    // Text in the system's one font at the given size in points (user units). topLeft is the
    // top-left corner of the line box as the text is seen; `flipped` says that user space
    // grows downwards, so that glyphs are drawn upright either way.
    virtual void DrawText(const Point& topLeft, const std::string& utf8, double pointSize,
                          const Color& color, bool flipped) = 0;
    // Width of the text and height of its line box.
    virtual Size MeasureText(const std::string& utf8, double pointSize) const = 0;

    // The image upright in its own size; at is its top-left corner when `flipped` (user space
    // grows downwards), else its bottom-left corner.
    virtual void DrawImage(const Image& image, const Point& at, double opacity, bool flipped) = 0;

    // An off-screen layer of the given size that suits this context.
    virtual std::unique_ptr<Layer> CreateLayer(const Size& size) = 0;
    // Copies the layer so that its base-space origin falls on `at` in user space. The layer
    // must come from a context of the same kind (a Cairo one or a recording one).
    virtual void DrawLayer(const Layer& layer, const Point& at) = 0;
};

// An off-screen drawing surface with a context of its own, whose transform starts as the
// identity over the layer's base space.
class Layer {
public:
    virtual ~Layer() = default;
    virtual Context& GetContext() = 0;
    virtual Size GetSize() const = 0;
};

}  // namespace Gfx
