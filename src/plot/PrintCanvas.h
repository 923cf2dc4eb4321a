// The drawing target of the printable SVG reader: SVG-style drawing state (fill and stroke
// colours, font size, dash pattern), named clip paths and shadows, and a stack of
// translations, drawn into the caller's graphics context. Every SVG coordinate passes through
// one mapping, scale then offset, fixed when the canvas is made; the y axis is not flipped.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "graphics/Context.h"
#include "plot/TextAlign.h"

namespace KVD {

class PrintCanvas {
public:
    PrintCanvas(Gfx::Context& context, float scaleX, float scaleY, float offsetX, float offsetY);
    PrintCanvas(const PrintCanvas&) = delete;
    PrintCanvas& operator=(const PrintCanvas&) = delete;

    // Empties the dash pattern, nothing else.
    void ResetStyle();
    // Applies each "key: value" entry of the style in the order written; unknown keys are
    // ignored. Throws boost::escaped_list_error for an escape the style tokenizer rejects.
    void ApplyStyle(const std::string& style);

    void DefineClipPath(const std::string& id, std::vector<Gfx::Rect> rects);
    void DefineShadow(const std::string& id, float blur);
    // Saves the graphics state and clips to the union of the id's rectangles (an undefined id
    // clips everything away); PopClipRegion restores the state.
    void PushClipRegion(const std::string& id);
    void PopClipRegion();
    void PushTranslation(float x, float y);
    void PopTranslation();

    // A rectangle naming a defined shadow is stroked with it; else filled when the fill is
    // not transparent, else stroked.
    void DrawRect(const Gfx::Rect& rect, const std::string& filterId);
    // "M" and "L" commands with pairs of numbers; commas and blanks separate. Stroked only.
    // Throws bad_svg_exception for a number beyond the bounds of plot/SvgNumber.h.
    void DrawPath(const std::string& d);
    void DrawText(const std::string& text, Gfx::Point at, TextAlign horizontal, TextAlign vertical,
                  float angleDegrees);
    void DrawCircle(float cx, float cy, float r);
    void DrawEllipse(float cx, float cy, float rx, float ry, float angleDegrees);
    void DrawLine(float x1, float y1, float x2, float y2);

    // The state the style sets, for callers that check it.
    const Gfx::Color& FillColour() const { return mFill; }
    const Gfx::Color& StrokeColour() const { return mStroke; }
    float FontSize() const { return mFontSize; }
    const std::vector<double>& DashPattern() const { return mDash; }

private:
    void ApplyStyleInner(const std::string& key, const std::string& value);
    // Scale in single precision, then the offset in double, then back to single precision.
    float MapX(float x) const { return static_cast<float>(static_cast<double>(x * mScaleX) + mOffsetX); }
    float MapY(float y) const { return static_cast<float>(static_cast<double>(y * mScaleY) + mOffsetY); }
    Gfx::Rect MapRect(const Gfx::Rect& r) const;
    void DrawShadowRect(const Gfx::Rect& mapped, float blur);
    // Strokes the context's path in the stroke colour; a transparent stroke draws nothing.
    void StrokeCurrentPath();
    bool UserSpaceFlipped() const;

    Gfx::Context& mContext;
    std::map<std::string, float> mShadows;
    std::vector<Gfx::Point> mTranslations;  // in context units, as pushed
    std::map<std::string, std::vector<Gfx::Rect>> mClipPaths;
    Gfx::Color mFill{0, 0, 0, 1};
    Gfx::Color mStroke{0, 0, 0, 1};
    float mFontSize = 8;
    float mScaleX, mScaleY;
    double mOffsetX, mOffsetY;
    std::vector<double> mDash;
};

}  // namespace KVD
