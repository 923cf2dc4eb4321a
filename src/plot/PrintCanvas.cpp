#include "plot/PrintCanvas.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include <boost/tokenizer.hpp>

#include "plot/BadSvgException.h"
#include "plot/PrintStyle.h"
#include "plot/SvgNumber.h"

namespace KVD {
namespace {

using EscapedList = boost::tokenizer<boost::escaped_list_separator<char>>;

constexpr Gfx::Color kBlack{0, 0, 0, 1};
constexpr Gfx::Color kTransparent{0, 0, 0, 0};

// Text larger than this (in context units) is drawn at this size: nothing the page prints
// comes near it, and the text layout's cost grows with the size.
constexpr double kMaxTextSize = 1000;

double Radians(float degrees) {
    return degrees * M_PI / 180;
}

Gfx::Color WithAlpha(Gfx::Color colour, int alphaByte) {
    colour.alpha = alphaByte / 255.0;
    return colour;
}

// Cairo refuses (and stops drawing altogether) a pattern with a negative length or one that
// sums to nothing, such as the [0] that "none" gives: those draw solid lines.
bool UsableDash(const std::vector<double>& dash) {
    double sum = 0;
    for (double length : dash) {
        if (!(length >= 0))
            return false;
        sum += length;
    }
    return sum > 0 && std::isfinite(sum);
}

}  // namespace

PrintCanvas::PrintCanvas(Gfx::Context& context, float scaleX, float scaleY, float offsetX, float offsetY)
    : mContext(context), mScaleX(scaleX), mScaleY(scaleY), mOffsetX(offsetX), mOffsetY(offsetY) {}

void PrintCanvas::ResetStyle() {
    mDash.clear();
}

void PrintCanvas::ApplyStyle(const std::string& style) {
    EscapedList entries(style, boost::escaped_list_separator<char>('\\', ';', '"'));
    for (const std::string& entry : entries) {
        size_t colon = entry.find(':');
        if (colon == std::string::npos || colon + 1 == entry.size())
            continue;
        std::string_view view(entry);
        ApplyStyleInner(std::string(TrimSvgSpace(view.substr(0, colon))),
                        std::string(TrimSvgSpace(view.substr(colon + 1))));
    }
}

void PrintCanvas::ApplyStyleInner(const std::string& key, const std::string& value) {
    if (key == "fill") {
        mFill = value == "none" ? kTransparent : ToColour(value);
    } else if (key == "fill-opacity") {
        mFill = WithAlpha(mFill, OpacityToByte(value));
    } else if (key == "stroke-opacity") {
        mStroke = WithAlpha(mStroke, OpacityToByte(value));
    } else if (key == "stroke") {
        mStroke = value == "none" ? kTransparent : ToColour(value);
    } else if (key == "font-size") {
        mFontSize = StringTo<float>(value);
    } else if (key == "stroke-dasharray") {
        // "stroke-width" and "font-family" are accepted and have no effect: strokes use the
        // context's line width and text the system's one font.
        std::vector<double> dash;
        for (const std::string& entry : EscapedList(value))
            dash.push_back(ReadLeadingNumber(entry).value_or(0));
        mDash = std::move(dash);
    }
}

void PrintCanvas::DefineClipPath(const std::string& id, std::vector<Gfx::Rect> rects) {
    mClipPaths[id] = std::move(rects);
}

void PrintCanvas::DefineShadow(const std::string& id, float blur) {
    mShadows[id] = blur;
}

void PrintCanvas::PushClipRegion(const std::string& id) {
    mContext.SaveState();
    Gfx::Rect clip;  // an undefined id leaves nothing visible
    auto found = mClipPaths.find(id);
    if (found != mClipPaths.end() && !found->second.empty()) {
        // The context clips to one rectangle; the reader defines one per clip path, so the
        // bounds of several are their union only in that case.
        clip = MapRect(found->second.front());
        for (const Gfx::Rect& r : found->second) {
            Gfx::Rect mapped = MapRect(r);
            double left = std::min(clip.x, mapped.x), top = std::min(clip.y, mapped.y);
            clip = {left, top, std::max(clip.Right(), mapped.Right()) - left,
                    std::max(clip.Bottom(), mapped.Bottom()) - top};
        }
    }
    mContext.ClipToRect(clip);
}

void PrintCanvas::PopClipRegion() {
    mContext.RestoreState();
}

void PrintCanvas::PushTranslation(float x, float y) {
    Gfx::Point step{x * mScaleX, y * mScaleY};
    mTranslations.push_back(step);
    mContext.Translate(step.x, step.y);
}

void PrintCanvas::PopTranslation() {
    if (mTranslations.empty())
        return;
    mContext.Translate(-mTranslations.back().x, -mTranslations.back().y);
    mTranslations.pop_back();
}

Gfx::Rect PrintCanvas::MapRect(const Gfx::Rect& r) const {
    Gfx::Rect mapped{MapX(static_cast<float>(r.x)), MapY(static_cast<float>(r.y)),
                     static_cast<float>(r.width) * mScaleX, static_cast<float>(r.height) * mScaleY};
    if (mapped.width < 0)
        mapped = {mapped.x + mapped.width, mapped.y, -mapped.width, mapped.height};
    if (mapped.height < 0)
        mapped = {mapped.x, mapped.y + mapped.height, mapped.width, -mapped.height};
    return mapped;
}

void PrintCanvas::DrawRect(const Gfx::Rect& rect, const std::string& filterId) {
    Gfx::Rect mapped = MapRect(rect);
    auto shadow = mShadows.find(filterId);
    if (shadow != mShadows.end()) {
        DrawShadowRect(mapped, shadow->second);
    } else if (!mFill.IsTransparent()) {
        mContext.SetFillColor(mFill);
        mContext.FillRect(mapped);
    } else if (!mStroke.IsTransparent()) {
        mContext.SetStrokeColor(mStroke);
        mContext.StrokeRect(mapped);
    }
}

void PrintCanvas::DrawShadowRect(const Gfx::Rect& mapped, float blur) {
    mContext.SaveState();
    mContext.SetShadow({2, 2}, blur, {0, 0, 0, 0.3});
    mContext.SetStrokeColor(mStroke);
    mContext.StrokeRect(mapped);
    mContext.RestoreState();
}

void PrintCanvas::DrawPath(const std::string& d) {
    enum class Mode { None, Move, Line } mode = Mode::None;
    bool hasCurrentPoint = false;
    float pair[2];
    int count = 0;
    mContext.BeginPath();
    std::string_view rest(d);
    while (!rest.empty()) {
        char c = rest.front();
        if (IsSvgSpace(c) || c == ',') {
            rest.remove_prefix(1);
            continue;
        }
        size_t length = ScanSvgNumber(rest);
        if (length == 0) {
            // "M" and "L" are the page's commands; pairs after any other are not drawn.
            mode = c == 'M' ? Mode::Move : c == 'L' ? Mode::Line : Mode::None;
            count = 0;
            rest.remove_prefix(1);
            continue;
        }
        std::optional<float> number = ConvertScannedSvgFloat(rest.substr(0, length));
        if (!number) {
            mContext.BeginPath();  // leaves no half path for the caller's next stroke
            throw bad_svg_exception();  // beyond the length or magnitude bounds
        }
        pair[count++] = *number;
        rest.remove_prefix(length);
        if (count < 2)
            continue;
        count = 0;
        if (mode == Mode::None)
            continue;
        float x = MapX(pair[0]), y = MapY(pair[1]);
        if (mode == Mode::Move || !hasCurrentPoint)
            mContext.MoveTo(x, y);  // a line with nowhere to start from starts there
        else
            mContext.LineTo(x, y);
        hasCurrentPoint = true;
    }
    StrokeCurrentPath();
}

void PrintCanvas::StrokeCurrentPath() {
    if (mStroke.IsTransparent()) {
        mContext.BeginPath();
        return;
    }
    mContext.SetStrokeColor(mStroke);
    mContext.StrokePath();
}

bool PrintCanvas::UserSpaceFlipped() const {
    Gfx::Matrix m = mContext.CurrentMatrix();
    return m.a * m.d - m.b * m.c < 0;  // base space grows upwards
}

void PrintCanvas::DrawText(const std::string& text, Gfx::Point at, TextAlign horizontal, TextAlign vertical,
                           float angleDegrees) {
    double size = std::min(static_cast<double>(mFontSize * mScaleX), kMaxTextSize);
    if (!(size > 0) || text.empty())
        return;
    Gfx::Size measured = mContext.MeasureText(text, size);
    double w = std::trunc(measured.width), h = std::trunc(measured.height);
    double px = MapX(static_cast<float>(at.x)), py = MapY(static_cast<float>(at.y));
    if (angleDegrees == 0) {
        double left = horizontal == kCentre ? px - w / 2 : horizontal == kRight ? px - w : px;
        double top = vertical == kMiddle ? py - h / 2 : vertical == kBottom ? py - h : py;
        // Centred in a box one unit wider than the truncated width, as the measuring allows.
        mContext.DrawText({left + (w + 1 - measured.width) / 2, top}, text, size, kBlack, UserSpaceFlipped());
        return;
    }
    double ty = horizontal == kCentre ? py + w / 2 : horizontal == kRight ? py + w : py;
    double tx = vertical == kMiddle ? px - h / 2 : vertical == kBottom ? px - h : px;
    mContext.SaveState();
    mContext.Translate(tx, ty);
    if (std::isfinite(angleDegrees))  // a turn by NaN would stop the context drawing
        mContext.Rotate(Radians(angleDegrees));
    mContext.DrawText({0, 0}, text, size, kBlack, UserSpaceFlipped());
    mContext.RestoreState();
}

void PrintCanvas::DrawCircle(float cx, float cy, float r) {
    float w = 2 * r * mScaleX, h = 2 * r * mScaleY;
    mContext.BeginPath();
    mContext.AddEllipse({MapX(cx) - w / 2, MapY(cy) - h / 2, w, h});
    StrokeCurrentPath();
}

void PrintCanvas::DrawEllipse(float cx, float cy, float rx, float ry, float angleDegrees) {
    mContext.SaveState();
    mContext.Translate(MapX(cx), MapY(cy));
    if (angleDegrees != 0 && std::isfinite(angleDegrees))
        mContext.Rotate(Radians(angleDegrees));
    mContext.BeginPath();
    mContext.AddEllipse({-rx * mScaleX, -ry * mScaleY, 2 * rx * mScaleX, 2 * ry * mScaleY});
    StrokeCurrentPath();
    mContext.RestoreState();
}

void PrintCanvas::DrawLine(float x1, float y1, float x2, float y2) {
    bool dashed = UsableDash(mDash);
    if (dashed)
        mContext.SetLineDash(0, mDash);  // in context units: the pattern is not scaled
    mContext.BeginPath();
    mContext.MoveTo(MapX(x1), MapY(y1));
    mContext.LineTo(MapX(x2), MapY(y2));
    StrokeCurrentPath();
    if (dashed)
        mContext.SetLineDash(0, {});
}

}  // namespace KVD
