#include "foundation/draw/TDCImpl.h"

#include <cwchar>

#include "foundation/TextConversion.h"
#include "foundation/draw/LayerDCImpl.h"
#include "graphics/Text.h"

namespace {

// length < 0: up to the terminator.
std::string ToUtf8(const wchar_t* text, int length) {
    return KVD::ToU8String(text, length < 0 ? std::wcslen(text) : static_cast<unsigned long>(length));
}

bool HasBits(unsigned int value, unsigned int bits) {
    return (value & bits) == bits;
}

}  // namespace

std::unique_ptr<TDC> CreateTDC(Gfx::Context* context, bool halfPixel) {
    return std::make_unique<TDCImpl>(context, halfPixel);
}

TDCImpl::TDCImpl() = default;

TDCImpl::TDCImpl(Gfx::Context* context, bool halfPixel) : mHalfPixel(halfPixel) {
    SetContext(context, IsFlipped(context));
    if (mContext) {
        mContext->SaveState();
        mSavedAtConstruction = true;
        if (halfPixel)
            mContext->Translate(0.5, 0.5);
    }
}

TDCImpl::~TDCImpl() {
    if (mSavedAtConstruction)
        mContext->RestoreState();
}

void TDCImpl::SetContext(Gfx::Context* context, bool flipped) {
    mContext = context;
    mFlipped = flipped;
}

bool TDCImpl::IsFlipped(const Gfx::Context* context) {
    return context && context->CurrentMatrix().d < 0;
}

void TDCImpl::UpdateFlipped() {
    mFlipped = IsFlipped(mContext);
}

bool TDCImpl::SaveDC() {
    if (mContext)
        mContext->SaveState();
    mSavedFontPoints.push_back(mFontPoints);
    return true;
}

bool TDCImpl::RestoreDC() {
    if (mContext)
        mContext->RestoreState();
    if (!mSavedFontPoints.empty()) {
        mFontPoints = mSavedFontPoints.back();
        mSavedFontPoints.pop_back();
    }
    return true;
}

double TDCImpl::GetDeviceCaps(int index) const {
    return index == 0 || index == 1 ? 85.33333333333333 : 1.0;
}

bool TDCImpl::SelectObject(const TPen& pen) {
    if (mContext)
        pen.SelectIntoCGContext(mContext);
    return true;
}

bool TDCImpl::SelectObject(const TBrush& brush) {
    if (mContext)
        brush.SelectIntoCGContext(mContext);
    return true;
}

bool TDCImpl::SelectObject(const TFont& font) {
    if (mContext)
        font.SelectIntoCGContext(mContext);
    mFontPoints = font.PointSize();
    return true;
}

void TDCImpl::SetTextColor(const TColor& colour) {
    mTextColour = TColor(colour.red, colour.green, colour.blue, 1.0f);
}

bool TDCImpl::SetViewportOrg(const TPoint& origin, TPoint* old) {
    if (old)
        *old = mOrigin;
    if (mContext)
        mContext->Translate(-mOrigin.x, -mOrigin.y);
    mOrigin = origin;
    if (mContext)
        mContext->Translate(origin.x, origin.y);
    return true;
}

bool TDCImpl::OffsetWindowOrg(const TPoint& delta, TPoint* old) {
    return SetViewportOrg(mOrigin - delta, old);
}

bool TDCImpl::SetWindowOrg(const TPoint& origin) {
    return SetViewportOrg(-origin, nullptr);
}

bool TDCImpl::IntersectClipRect(const TRect& r) {
    if (mContext) {
        double shift = mHalfPixel ? -0.5 : 0;
        mContext->ClipToRect({r.left + shift, r.top + shift, double(r.Width()), double(r.Height())});
    }
    return true;
}

bool TDCImpl::RectVisible(const TRect& r) const {
    return mContext && RectToNSRect(r).Intersects(mContext->ClipBounds());
}

bool TDCImpl::MoveTo(int x, int y) {
    if (!mContext)
        return true;
    if (!mPathOpen) {
        mContext->BeginPath();
        mPathOpen = true;
    }
    mContext->MoveTo(x, y);
    mPenPosition = TPoint(x, y);
    return true;
}

bool TDCImpl::LineTo(int x, int y) {
    if (!mContext)
        return true;
    if (!mPathOpen) {
        // The last line was stroked: go on from where it ended.
        mContext->BeginPath();
        mContext->MoveTo(mPenPosition.x, mPenPosition.y);
    }
    mContext->LineTo(x, y);
    mContext->StrokePath();
    mPathOpen = false;
    mPenPosition = TPoint(x, y);
    return true;
}

bool TDCImpl::Polyline(const TPoint* points, int count) {
    return PolyPolyline(points, &count, 1);
}

bool TDCImpl::PolyPolyline(const TPoint* points, const int* counts, int polylines) {
    if (!mContext)
        return true;
    mContext->SaveState();
    mContext->SetShouldAntialias(false);
    if (points && counts && polylines >= 1) {
        // Scaled up, a flat run is nudged down a unit so that it does not fall between rows.
        const bool nudgeFlat = mScaling != 1.0;
        mContext->BeginPath();
        const TPoint* p = points;
        for (int line = 0; line < polylines; ++line) {
            for (int i = 0; i < counts[line]; ++i, ++p) {
                if (i == 0)
                    mContext->MoveTo(p->x, p->y);
                else
                    mContext->LineTo(p->x, nudgeFlat && p->y == p[-1].y ? p->y + 1 : p->y);
            }
        }
        mContext->StrokePath();
    }
    mContext->RestoreState();
    return true;
}

bool TDCImpl::FrameRect(const TRect& r, const TBrush& brush) {
    return FrameRect(r.left, r.top, r.right, r.bottom, brush);
}

bool TDCImpl::FrameRect(int left, int top, int right, int bottom, const TBrush& brush) {
    if (!mContext)
        return true;
    mContext->SaveState();
    mContext->SetStrokeColor(brush.GetColour().ToGfx());
    mContext->StrokeRect({double(left), double(top), double(right - left), double(bottom - top)});
    mContext->RestoreState();
    return true;
}

bool TDCImpl::FillRect(const TRect& r, const TBrush& brush) {
    return FillRect(r.left, r.top, r.right, r.bottom, brush);
}

bool TDCImpl::FillRect(int left, int top, int right, int bottom, const TBrush& brush) {
    if (!mContext)
        return true;
    mContext->SaveState();
    mContext->SetFillColor(brush.GetColour().ToGfx());
    // Fills cover whole pixels: undo the half-unit offset meant for lines.
    mContext->FillRect({left - 0.5, top - 0.5, double(right - left), double(bottom - top)});
    mContext->RestoreState();
    return true;
}

bool TDCImpl::Rectangle(int left, int top, int right, int bottom) {
    if (!mContext)
        return true;
    mContext->BeginPath();
    mContext->AddRect({double(left), double(top), double(right - left), double(bottom - top)});
    mContext->FillStrokePath();
    mPathOpen = false;
    return true;
}

bool TDCImpl::Ellipse(int left, int top, int right, int bottom) {
    if (!mContext)
        return true;
    mContext->BeginPath();
    mContext->AddEllipse({double(left), double(top), double(right - left), double(bottom - top)});
    mContext->FillStrokePath();
    mPathOpen = false;
    return true;
}

bool TDCImpl::BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, unsigned int rop) {
    auto* layer = dynamic_cast<const LayerDCImpl*>(&source);
    if (!layer)
        return false;  // only off-screen contexts can be copied
    if (mContext)
        layer->DrawLayer(mContext, x, y, width, height, sx, sy, rop);
    return true;
}

bool TDCImpl::BitBlt(TRect destination, const TDC& source, TPoint sourceOrigin, unsigned int rop) {
    return BitBlt(destination.left, destination.top, destination.Width(), destination.Height(), source,
                  sourceOrigin.x, sourceOrigin.y, rop);
}

bool TDCImpl::TextOut(int x, int y, const wchar_t* text, int length) {
    if (!mContext || !text)
        return true;
    std::string utf8 = ToUtf8(text, length);
    double size = FontSize();
    double top = y;
    if (HasBits(mTextAlign, kTextAlignBottom)) {
        double height = mContext->MeasureText(utf8, size).height;
        top = mFlipped ? y - height : y + height;
    }
    // Callers centre and right-align labels through the alignment, as GDI does.
    double left = AlignedLeft(x, utf8, size);
    mContext->SaveState();
    mContext->SetAllowsAntialiasing(true);
    DrawTextAt(left, top, utf8, size, mTextColour);
    RestoreDefaultAntialiasing();
    mContext->RestoreState();
    return true;
}

bool TDCImpl::TextOut(TPoint p, const wchar_t* text, int length) {
    return TextOut(p.x, p.y, text, length);
}

bool TDCImpl::ExtTextOut(int x, int y, unsigned int, const tagRECT*, const wchar_t* text, int length, const int*) {
    return TextOut(x, y, text, length);
}

bool TDCImpl::AttributedTextOut(const Gfx::Rect& where, const AttributedText& text) {
    if (!mContext)
        return false;
    std::string utf8 = ToUtf8(text.text.c_str(), static_cast<int>(text.text.size()));
    mContext->SaveState();
    mContext->SetAllowsAntialiasing(true);
    double left = AlignedLeft(where.x, utf8, text.pointSize);
    DrawTextAt(left, where.y, utf8, text.pointSize, text.colour);
    RestoreDefaultAntialiasing();
    mContext->RestoreState();
    return true;
}

TSize TDCImpl::GetTextExtent(const wchar_t* text, int length) {
    int width = text ? static_cast<int>(TextWidth(ToUtf8(text, length), FontSize())) : 0;
    // A line is 10 units high at the standard 11 points, in proportion at other sizes.
    const double points = mFontPoints > 0 ? mFontPoints / 11 : 1.0;
    return TSize(width, static_cast<int>(10 * mScaling * points));
}

void TDCImpl::FlipVertical(int height) {
    mFlipHeight = height;
    if (mContext) {
        mContext->Scale(1, -1);
        mContext->Translate(0, -height);
    }
    UpdateFlipped();
}

int TDCImpl::UnflipVertical() {
    int height = mFlipHeight;
    if (mContext) {
        // The inverse of FlipVertical's scale-then-translate, in reverse order.
        mContext->Translate(0, height);
        mContext->Scale(1, -1);
    }
    mFlipHeight = 0;
    UpdateFlipped();
    return height;
}

bool TDCImpl::DrawImage(const Gfx::Image& image, TPoint at) {
    return DrawImageOriented(image, at, mFlipped);
}

bool TDCImpl::DrawImageOriented(const Gfx::Image& image, TPoint at, bool flipped) {
    if (mContext)
        mContext->DrawImage(image, {double(at.x), double(at.y)}, 1.0, flipped);
    return true;
}

bool TDCImpl::ClearRect(const TRect& r) {
    if (mContext)
        mContext->ClearRect(RectToNSRect(r));
    return true;
}

void TDCImpl::RestoreDefaultAntialiasing() {
    if (mContext)
        mContext->SetAllowsAntialiasing(true);
}

double TDCImpl::AlignedLeft(double x, const std::string& utf8, double pointSize) const {
    if (HasBits(mTextAlign, kTextAlignCentre))
        return x - TextWidth(utf8, pointSize) / 2;
    if (HasBits(mTextAlign, kTextAlignRight))
        return x - TextWidth(utf8, pointSize);
    return x;
}

void TDCImpl::DrawTextAt(double x, double y, const std::string& utf8, double pointSize, const TColor& colour) {
    mContext->DrawText({x, y}, utf8, pointSize, colour.ToGfx(), mFlipped);
}

double TDCImpl::TextWidth(const std::string& utf8, double pointSize) const {
    return mContext ? mContext->MeasureText(utf8, pointSize).width : Gfx::MeasureText(utf8, pointSize).width;
}
