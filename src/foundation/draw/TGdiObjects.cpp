#include "foundation/draw/TGdiObjects.h"

#include <algorithm>

#include "foundation/draw/TDC.h"

namespace {

std::vector<double> DashesOf(int style) {
    switch (style) {
    case kPenDash: return {2, 4};
    case kPenDot: return {1, 3};
    case kPenDashDot: return {3, 3, 1, 3};
    case kPenDashDotDot: return {3, 3, 0.5, 3, 0.5, 3};
    default: return {};
    }
}

}  // namespace

void TPen::SelectIntoCGContext(Gfx::Context* context) const {
    context->SetStrokeColor(mColour.ToGfx());
    context->SetLineWidth(std::max(mWidth, 1));
    context->SetLineCap(Gfx::LineCap::Square);
    context->SetLineDash(0, DashesOf(mStyle));
}

void TBrush::SelectIntoCGContext(Gfx::Context* context) const {
    context->SetFillColor(mColour.ToGfx());
}

TSize TFont::GetTextExtent(TDC& dc, const wchar_t* text) const {
    dc.SaveDC();
    dc.SelectObject(*this);
    const TSize size = dc.GetTextExtent(text, -1);
    dc.RestoreDC();
    return size;
}

TSize TFont::GetTextExtent(const wchar_t*) const {
    return TSize(0, 10);
}

OrrelFont::OrrelFont(TDC&, int, int, bool, bool, const wchar_t*) {}
