// How the standard views draw themselves. Fonts, colours and metrics are plain and fixed: the
// pictures are for a person to check layouts, not to match any platform's look.
#include "appkit/View.h"
#include "graphics/Canvas.h"

#include <algorithm>

namespace AppKit {
namespace {

constexpr double kFontSize = 12;
constexpr Gfx::Color kBorder{0.45, 0.45, 0.45, 1};
constexpr Gfx::Color kFace{0.93, 0.93, 0.93, 1};
constexpr Gfx::Color kHeader{0.85, 0.88, 0.92, 1};
constexpr Gfx::Color kSelection{0.70, 0.80, 0.95, 1};

// Text in the rectangle, vertically centred; horizontally centred or from the left.
void DrawTextIn(Gfx::Context& c, const std::string& text, const Rect& r, const Gfx::Color& color, bool centre,
                double fontSize = kFontSize)
{
    const Gfx::Size size = c.MeasureText(text, fontSize);
    const double x = centre ? r.x + (r.width - size.width) / 2 : r.x + 4;
    c.DrawText({x, r.y + (r.height - size.height) / 2}, text, fontSize, color, true);
}

void FrameRect(Gfx::Context& c, const Rect& r, const Gfx::Color& fill)
{
    c.SetFillColor(fill);
    c.FillRect(r);
    c.SetStrokeColor(kBorder);
    c.SetLineWidth(1);
    c.StrokeRect({r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1});
}

}  // namespace

void View::Display(Gfx::Context& context)
{
    if (mHidden)
        return;
    context.SaveState();
    context.Translate(mFrame.x, mFrame.y);
    context.ClipToRect(Bounds());
    DrawSelf(context);
    for (const auto& sub : mSubviews)
        sub->Display(context);
    context.RestoreState();
}

std::string View::DataWithPDFInsideRect(const Rect& rect)
{
    auto canvas = Gfx::Canvas::CreatePDF(rect.width, rect.height);
    Gfx::Context& c = canvas->GetContext();
    // The view draws in its own coordinates, with the rectangle's corner at the page's.
    c.Translate(-rect.x - mFrame.x, -rect.y - mFrame.y);
    Display(c);
    return canvas->Finish();
}

void Button::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, Bounds(), kFace);
    DrawTextIn(c, mTitle, Bounds(), IsEnabled() ? Label::kControlTextColor : Label::kDisabledControlTextColor, true);
}

void Label::DrawSelf(Gfx::Context& c) { DrawTextIn(c, mText, Bounds(), mTextColor, false); }

void Scroller::DrawSelf(Gfx::Context& c)
{
    const Rect track = Bounds();
    FrameRect(c, track, kFace);
    const bool across = track.width >= track.height;
    const double length = across ? track.width : track.height;
    const double knob = length * std::min(std::max(mKnob, 0.0), 1.0);
    const double start = (length - knob) * std::min(std::max(mValue, 0.0), 1.0);
    c.SetFillColor(kBorder);
    c.FillRect(across ? Rect{start, 2, knob, track.height - 4} : Rect{2, start, track.width - 4, knob});
}

void PopUpButton::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, Bounds(), kFace);
    const long selected = IndexOfSelectedItem();
    DrawTextIn(c, selected < 0 ? std::string() : mItems[size_t(selected)] + "  \u25BE", Bounds(),
               IsEnabled() ? Label::kControlTextColor : Label::kDisabledControlTextColor, false);
}

void TableView::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, Bounds(), {1, 1, 1, 1});
    double x = -mScrollOrigin.x;
    std::vector<double> left;
    for (const Column& column : mColumns) {
        left.push_back(x);
        if (mHasHeader) {
            FrameRect(c, {x, 0, column.width, mRowHeight}, kHeader);
            DrawTextIn(c, column.title, {x, 0, column.width, mRowHeight}, Label::kControlTextColor, false, mFontSize);
        }
        x += column.width;
    }
    const size_t rows = RowCount();
    const size_t first = mHasHeader ? 1 : 0;
    for (size_t row = 0; row < rows; ++row) {
        const double y = mRowHeight * (row + first);
        if (y >= Frame().height)
            break;
        if (long(row) == mSelected) {
            c.SetFillColor(kSelection);
            c.FillRect({0, y, Frame().width, mRowHeight});
        }
        for (size_t col = 0; col < mColumns.size(); ++col)
            DrawTextIn(c, CellText(row, mColumns[col].identifier), {left[col], y, mColumns[col].width, mRowHeight},
                       Label::kControlTextColor, false, mFontSize);
    }
}

}  // namespace AppKit
