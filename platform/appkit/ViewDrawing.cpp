// How the standard views draw themselves. Fonts, colours and metrics are plain and fixed: the
// pictures are for a person to check layouts, not to match any platform's look.
#include "appkit/View.h"

#include "appkit/Slider.h"
#include "appkit/SplitView.h"
#include "appkit/TabView.h"
#include "appkit/TextField.h"
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
    ViewWillDraw();
    context.SaveState();
    // The context arrives top-down in the superview's space; an unflipped view draws with y up.
    context.Translate(mFrame.x, TopInSuperview());
    if (mClipsToBounds)
        context.ClipToRect(Bounds());
    if (!IsFlipped()) {
        context.Translate(0, mFrame.height);
        context.Scale(1, -1);
    }
    DrawSelf(context);
    if (!IsFlipped()) {
        context.Scale(1, -1);
        context.Translate(0, -mFrame.height);
    }
    for (const auto& sub : mSubviews)
        sub->Display(context);
    context.RestoreState();
}

std::string View::DrawingFailureWithin() const
{
    if (IsHidden())
        return {};
    std::string failure = DrawingFailure();
    for (auto it = mSubviews.begin(); failure.empty() && it != mSubviews.end(); ++it)
        failure = (*it)->DrawingFailureWithin();
    return failure;
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
    const Gfx::Color text = IsEnabled() ? Label::kControlTextColor : Label::kDisabledControlTextColor;
    if (mType == Type::Switch || mType == Type::Radio) {
        // A box (or circle) at the left, the title beside it.
        const double side = std::min(14.0, Bounds().height);
        const Rect box{1, (Bounds().height - side) / 2, side, side};
        c.SetFillColor({1, 1, 1, 1});
        c.SetStrokeColor(kBorder);
        c.SetLineWidth(1);
        c.BeginPath();
        if (mType == Type::Radio)
            c.AddEllipse(box);
        else
            c.AddRect({box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1});
        c.FillStrokePath();
        if (mState != kOff) {
            c.SetFillColor(text);
            const Rect mark{box.x + 3.5, box.y + 3.5, box.width - 7, box.height - 7};
            c.BeginPath();
            if (mType == Type::Radio)
                c.AddEllipse(mark);
            else
                c.AddRect(mState == kOn ? mark : Rect{mark.x, mark.y + mark.height / 2 - 1, mark.width, 2});
            c.FillPath();
        }
        DrawTextIn(c, mTitle, {side + 2, 0, Bounds().width - side - 2, Bounds().height}, text, false);
        return;
    }
    const bool pressed = mHighlighted || (mType == Type::OnOff && mState == kOn);
    FrameRect(c, Bounds(), pressed ? kSelection : kFace);
    if (mKey == Key::kReturn) {
        c.SetStrokeColor({0.2, 0.4, 0.8, 1});
        c.SetLineWidth(2);
        c.StrokeRect({1, 1, Bounds().width - 2, Bounds().height - 2});
    }
    if (mImage.Name().empty()) {
        DrawTextIn(c, mTitle, Bounds(), text, true);
        return;
    }
    // The image at its size (shrunk to fit), centred, or at the left before the title.
    const Gfx::Size size = mImage.Size();
    const double scale = std::min({1.0, (Bounds().width - 4) / size.width, (Bounds().height - 4) / size.height});
    const double w = size.width * scale, h = size.height * scale;
    const double x = mTitle.empty() ? (Bounds().width - w) / 2 : 4;
    mImage.DrawIn(c, {x, (Bounds().height - h) / 2, w, h});
    if (!mTitle.empty())
        DrawTextIn(c, mTitle, {x + w, 0, Bounds().width - x - w, Bounds().height}, text, false);
}

void Label::DrawSelf(Gfx::Context& c) { DrawTextIn(c, mText, Bounds(), mTextColor, false); }

void Scroller::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, Bounds(), kFace);
    if (mKnob >= 1)
        return;
    c.SetFillColor(kBorder);
    c.FillRect(KnobRect());
}

void PopUpButton::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, Bounds(), kFace);
    const std::string shown = mPullsDown ? mTitle : TitleOfSelectedItem();
    DrawTextIn(c, shown + "  \u25BE", Bounds(),
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

void TextField::DrawSelf(Gfx::Context& c)
{
    if (mEditable)
        FrameRect(c, Bounds(), IsEnabled() ? Gfx::Color{1, 1, 1, 1} : kFace);
    const bool placeholder = mText.empty() && !mEditing;
    const std::string shown = placeholder ? mPlaceholder : mText;
    const Gfx::Color color = placeholder || !IsEnabled() ? Label::kDisabledControlTextColor : mTextColor;
    if (mEditing && mSelLength > 0) {
        const double left = 4 + c.MeasureText(mText.substr(0, mSelStart), kFontSize).width;
        const double width = c.MeasureText(mText.substr(mSelStart, mSelLength), kFontSize).width;
        c.SetFillColor(kSelection);
        c.FillRect({left, 3, width, Bounds().height - 6});
    }
    DrawTextIn(c, shown, Bounds(), color, false);
    if (mEditing) {
        // The focus ring, and the caret when nothing is selected.
        c.SetStrokeColor({0.2, 0.4, 0.8, 1});
        c.SetLineWidth(2);
        c.StrokeRect({1, 1, Bounds().width - 2, Bounds().height - 2});
        if (mSelLength == 0) {
            const double x = 4 + c.MeasureText(mText.substr(0, mSelStart), kFontSize).width;
            c.SetStrokeColor(Label::kControlTextColor);
            c.SetLineWidth(1);
            c.BeginPath();
            c.MoveTo(x + 0.5, 4);
            c.LineTo(x + 0.5, Bounds().height - 4);
            c.StrokePath();
        }
    }
}

void Slider::DrawSelf(Gfx::Context& c)
{
    const bool vertical = IsVertical();
    const double length = (vertical ? Frame().height : Frame().width) - kKnobSize;
    const double share = mMax != mMin ? (mValue - mMin) / (mMax - mMin) : 0;
    c.SetFillColor(kBorder);
    if (vertical)
        c.FillRect({Frame().width / 2 - 1.5, kKnobSize / 2, 3, length});
    else
        c.FillRect({kKnobSize / 2, Frame().height / 2 - 1.5, length, 3});
    const double at = vertical ? Frame().height - kKnobSize - share * length : share * length;
    const Rect knob = vertical ? Rect{0, at, Frame().width, kKnobSize} : Rect{at, 0, kKnobSize, Frame().height};
    FrameRect(c, knob, IsEnabled() ? kFace : Gfx::Color{0.85, 0.85, 0.85, 1});
}

void Stepper::DrawSelf(Gfx::Context& c)
{
    const double half = Frame().height / 2;
    FrameRect(c, {0, 0, Frame().width, half}, kFace);
    FrameRect(c, {0, half, Frame().width, half}, kFace);
    const Gfx::Color text = IsEnabled() ? Label::kControlTextColor : Label::kDisabledControlTextColor;
    DrawTextIn(c, "\u25B4", {0, 0, Frame().width, half}, text, true, 9);
    DrawTextIn(c, "\u25BE", {0, half, Frame().width, half}, text, true, 9);
}

void SplitView::DrawSelf(Gfx::Context& c)
{
    c.SetFillColor(kHeader);
    for (size_t i = 0; i + 1 < Subviews().size(); ++i) {
        const double at = PositionOfDivider(i);
        c.FillRect(mVertical ? Rect{at, 0, DividerThickness(), Frame().height}
                             : Rect{0, at, Frame().width, DividerThickness()});
    }
}

void TabView::DrawSelf(Gfx::Context& c)
{
    FrameRect(c, {0, kTabHeight - 1, Frame().width, Frame().height - kTabHeight + 1}, {1, 1, 1, 1});
    for (size_t i = 0; i < mTabs.size(); ++i) {
        const Rect tab = TabRect(i);
        FrameRect(c, tab, long(i) == mSelected ? Gfx::Color{1, 1, 1, 1} : kFace);
        DrawTextIn(c, mTabs[i].label, tab, Label::kControlTextColor, true);
    }
}

}  // namespace AppKit
