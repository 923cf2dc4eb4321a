// The drawing context over Cairo (shapes, images, layers) and Pango (text).
#pragma once

#include <cairo.h>

#include <vector>

#include "graphics/Context.h"

namespace Gfx {

class CairoContext final : public Context {
public:
    // Takes over cr, which draws on a surface whose base space has the given size.
    CairoContext(cairo_t* cr, const Size& baseSize);
    ~CairoContext() override;
    CairoContext(const CairoContext&) = delete;
    CairoContext& operator=(const CairoContext&) = delete;

    void SaveState() override;
    void RestoreState() override;
    void Translate(double dx, double dy) override;
    void Scale(double sx, double sy) override;
    void Rotate(double radians) override;
    Matrix CurrentMatrix() const override;
    void BeginPath() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x, double y) override;
    void ClosePath() override;
    void AddRect(const Rect& r) override;
    void AddEllipse(const Rect& bounds) override;
    void StrokePath() override;
    void FillPath() override;
    void FillStrokePath() override;
    void StrokeRect(const Rect& r) override;
    void FillRect(const Rect& r) override;
    void ClearRect(const Rect& r) override;
    void SetStrokeColor(const Color& c) override;
    void SetFillColor(const Color& c) override;
    void SetLineWidth(double width) override;
    void SetLineCap(LineCap cap) override;
    void SetLineDash(double phase, const std::vector<double>& lengths) override;
    void SetAllowsAntialiasing(bool allow) override;
    void SetShouldAntialias(bool should) override;
    void SetAllowsFontSmoothing(bool allow) override;
    void SetShadow(const Size& offset, double blur, const Color& color) override;
    void ClipToRect(const Rect& r) override;
    Rect ClipBounds() const override;
    void DrawText(const Point& topLeft, const std::string& utf8, double pointSize, const Color& color,
                  bool flipped) override;
    Size MeasureText(const std::string& utf8, double pointSize) const override;
    void DrawImage(const Image& image, const Point& at, double opacity, bool flipped) override;
    std::unique_ptr<Layer> CreateLayer(const Size& size) override;
    void DrawLayer(const Layer& layer, const Point& at) override;

    cairo_t* Cairo() const { return mCr; }

private:
    // The parts of the state that Cairo does not keep for us.
    struct State {
        Color stroke{0, 0, 0, 1};
        Color fill{0, 0, 0, 1};
        bool allowsAntialiasing = true;
        bool shouldAntialias = true;
        bool fontSmoothing = true;
        Size shadowOffset;
        double shadowBlur = 0;
        Color shadowColor{0, 0, 0, 0};
    };

    bool Antialiased() const { return mState.allowsAntialiasing && mState.shouldAntialias; }
    void ApplyAntialias();
    void SetSource(const Color& c);
    // Runs a painting operation, casting the state's shadow under it when there is one.
    template <class Paint>
    void Painted(Paint&& paint);
    void CastShadow(cairo_pattern_t* painting);
    // Paints a surface over the rectangle; its first pixel row goes to the rectangle's top
    // edge (least y) when rowsAlongY, else to its bottom edge.
    void PaintSurface(cairo_surface_t* surface, const Rect& where, double opacity, bool rowsAlongY);

    cairo_t* mCr;
    Size mBase;
    State mState;
    std::vector<State> mSaved;
};

}  // namespace Gfx
