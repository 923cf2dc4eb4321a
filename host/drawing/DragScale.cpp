#include "host/drawing/DragScale.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "foundation/draw/TDC.h"
#include "foundation/numeric/Step125.h"
#include "graphics/Screen.h"

namespace Host {
namespace {

constexpr double kMinGridPixels = 30.0;
constexpr int32_t kLabelGap = 4;
constexpr int32_t kRightSide = 2;

constexpr int kMaxLabelDecimals = 15;

std::wstring LabelText(double value)
{
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << (std::fabs(value) < 1e-12 ? 0.0 : value);
    return out.str();
}

// A grid line's value in plain digits, as many decimals as the step needs and no trailing
// zeros: a scale in micro units reads -6000000, not -6e+06.
std::wstring LabelText(double value, double step)
{
    const int decimals = std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, kMaxLabelDecimals);
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(decimals) << value;
    std::wstring text = out.str();
    if (text.find(L'.') != std::wstring::npos) {
        text.erase(text.find_last_not_of(L'0') + 1);
        if (text.back() == L'.')
            text.pop_back();
    }
    return text == L"-0" ? L"0" : text;
}

}  // namespace

DragScale* DragScale::Create(int32_t offset, int32_t side, DragScaleStyle style)
{
    return KVD::MakeCounted<DragScale>(offset, side, style).Forget();
}

DragScale::DragScale(int32_t offset, int32_t side, DragScaleStyle style) : mOffset(offset), mSide(side), mStyle(style)
{
}

void DragScale::NotifyScalingChanged()
{
    const DataScaling scaling = TracePixelScaling();
    const std::vector<Observer> observers = mObservers;  // an observer may unadvise meanwhile
    for (const Observer& o : observers)
        o.observer->OnScalingChanged(o.side, 0, &scaling);
}

DataScaling DragScale::TracePixelScaling() const
{
    const double span = mRangeTop - mRangeBottom;
    return DataScaling{span == 0.0 ? 0.0 : -double(Height()) / span, -mRangeTop};
}

double DragScale::GridStep() const
{
    const double span = std::fabs(mRangeTop - mRangeBottom);
    if (Height() <= 0 || !(span > 0.0) || !std::isfinite(span))
        return 0.0;
    double step = span * kMinGridPixels / Height();
    double snapped = std::pow(10.0, std::floor(std::log10(step)));
    while (snapped < step * (1.0 - 1e-9))
        inc125(&snapped);
    return snapped;
}

HRESULT DragScale::SetRange(double top, double bottom)
{
    if (top == bottom || !std::isfinite(top) || !std::isfinite(bottom))
        return KVD_E_BADSTATE;
    mRangeTop = top;
    mScreenWidth = -1;
    mRangeBottom = bottom;
    NotifyScalingChanged();
    return KVD_S_OK;
}

HRESULT DragScale::GetRange(double* top, double* bottom)
{
    if (top == nullptr || bottom == nullptr)
        return KVD_E_POINTER;
    *top = mRangeTop;
    *bottom = mRangeBottom;
    return KVD_S_OK;
}

HRESULT DragScale::SetDefaultRange(double top, double bottom)
{
    if (top == bottom)
        return KVD_E_BADSTATE;
    mDefaultTop = top;
    mDefaultBottom = bottom;
    return KVD_S_OK;
}

HRESULT DragScale::SetUnitsText(const wchar_t* text)
{
    mUnits = KVD::String(text == nullptr ? L"" : text);
    mScreenWidth = -1;
    return KVD_S_OK;
}

HRESULT DragScale::GetUnitsText(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    mUnits.GetOut(text);
    return KVD_S_OK;
}

HRESULT DragScale::SetDataScaling(const DataScaling* scaling)
{
    if (scaling == nullptr)
        return KVD_E_POINTER;
    mDataScaling = *scaling;
    return KVD_S_OK;
}

HRESULT DragScale::GetDataScaling(DataScaling* scaling)
{
    if (scaling == nullptr)
        return KVD_E_POINTER;
    *scaling = mDataScaling;
    return KVD_S_OK;
}

HRESULT DragScale::GetPixelScaling(int32_t height, double* factor, double* offset)
{
    if (factor == nullptr || offset == nullptr)
        return KVD_E_POINTER;
    const double span = mRangeTop - mRangeBottom;
    *factor = span == 0.0 ? 0.0 : double(height) / span;
    *offset = -mRangeBottom;
    return KVD_S_OK;
}

// The first multiple of the step at or above the bottom of the range, and the step, in pixels
// from the bottom of the pane.
HRESULT DragScale::GetGridStartAndSpacing(double* start, double* spacing)
{
    if (start == nullptr || spacing == nullptr)
        return KVD_E_POINTER;
    const double step = GridStep();
    const double low = std::min(mRangeTop, mRangeBottom);
    const double factor = Height() / std::fabs(mRangeTop - mRangeBottom);
    if (step == 0.0) {
        *start = 0.0;
        *spacing = 0.0;
        return KVD_S_FALSE;
    }
    *start = (std::ceil(low / step) * step - low) * factor;
    *spacing = step * factor;
    return KVD_S_OK;
}

HRESULT DragScale::SetPosition(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const bool resized = bottom - top != Height();
    mLeft = left;
    mTop = top;
    mRight = right;
    mBottom = bottom;
    if (resized)
        mScreenWidth = -1;
    if (resized)
        NotifyScalingChanged();
    return KVD_S_OK;
}

std::vector<DragScale::Label> DragScale::Labels()
{
    std::vector<Label> labels;
    double start = 0.0, spacing = 0.0;
    if (GetGridStartAndSpacing(&start, &spacing) != KVD_S_OK)
        return labels;
    const double step = GridStep();
    const double first = std::ceil(std::min(mRangeTop, mRangeBottom) / step) * step;
    for (double y = start; y <= Height() + 0.5; y += spacing) {
        const double value = first + std::round((y - start) / spacing) * step;
        labels.push_back({mBottom - int32_t(std::floor(y + 0.5)), LabelText(value, step)});
    }
    return labels;
}

// Wide enough for every label the scale draws and its unit text, measured in the context it
// draws into (the screen's without one), with the label gap on both sides.
HRESULT DragScale::GetWidth(uint32_t request, void* dc, int32_t* width)
{
    if (width == nullptr)
        return KVD_E_POINTER;
    if (request != kScaleLabelWidth)
        return KVD_E_BADSTATE;
    if (dc == nullptr && mScreenWidth >= 0) {
        *width = std::max(*width, mScreenWidth);
        return KVD_S_OK;
    }
    std::unique_ptr<TDC> screen;
    TDC* measure = static_cast<TDC*>(dc);
    if (measure == nullptr) {
        screen = CreateTDC(&Gfx::MainScreenContext(), false);
        measure = screen.get();
    }
    // Before the scale has a height it has no grid: the ends of its range stand for the labels.
    std::vector<std::wstring> texts{mUnits.c_str()};
    for (const Label& label : Labels())
        texts.push_back(label.text);
    if (texts.size() == 1) {
        texts.push_back(LabelText(mRangeTop));
        texts.push_back(LabelText(mRangeBottom));
    }
    int32_t widest = 0;
    for (const std::wstring& text : texts)
        widest = std::max(widest, int32_t(measure->GetTextExtent(text.c_str(), -1).cx));
    if (dc == nullptr)
        mScreenWidth = widest + 2 * kLabelGap;  // kept until the labels change
    *width = std::max(*width, widest + 2 * kLabelGap);
    return KVD_S_OK;
}

// Labels right-aligned against the pane at every grid line, the unit text at the top.
HRESULT DragScale::Draw(void* context)
{
    if (context == nullptr)
        return KVD_E_POINTER;
    TDC& dc = *static_cast<TDC*>(context);
    const std::vector<Label> labels = Labels();
    if (labels.empty())
        return KVD_S_FALSE;
    dc.SaveDC();
    dc.SetTextColor(TColor::Black);
    dc.SelectObject(TPen(TColor::Black));
    // Labels and ticks face the pane: a left scale's against its right edge, a right scale's
    // against its left edge, the trace indicator on the far side.
    const bool right = mSide == kRightSide;
    const int32_t edge = right ? mLeft : mRight, toward = right ? 3 : -3;
    const int32_t textX = right ? mLeft + kLabelGap : mRight - kLabelGap;
    dc.SetTextAlign(right ? 0u : static_cast<unsigned>(kTextAlignRight));
    // Labels centred on their lines but kept within the band (the panes above and below have
    // labels of their own); the unit text keeps the top line, and a label that would run into
    // it is left out.
    const int32_t unitsBottom = mUnits.empty() ? mTop : mTop + dc.GetTextExtent(mUnits.c_str(), -1).cy;
    for (const Label& label : labels) {
        dc.MoveTo(edge + toward, label.y);
        dc.LineTo(edge, label.y);
        const TSize size = dc.GetTextExtent(label.text.c_str(), -1);
        const int32_t top = std::max(mTop, std::min(label.y - size.cy / 2, mBottom - size.cy));
        if (mUnits.empty() || top >= unitsBottom)
            dc.TextOut(textX, top, label.text.c_str(), -1);
    }
    if (!mUnits.empty())
        dc.TextOut(textX, mTop, mUnits.c_str(), -1);
    if (mIndicatorShown) {
        const TColor colour(uint16_t((mIndicatorRgb & 0xFF) * 257), uint16_t(((mIndicatorRgb >> 8) & 0xFF) * 257),
                            uint16_t(((mIndicatorRgb >> 16) & 0xFF) * 257));
        const int32_t far = right ? mRight - 3 : mLeft;
        dc.FillRect(far, mTop, far + 3, mBottom, TBrush(colour));
    }
    dc.RestoreDC();
    return KVD_S_OK;
}

HRESULT DragScale::SetMaxMin(double maximum, double minimum)
{
    mMaximum = maximum;
    mMinimum = minimum;
    return KVD_S_OK;
}

HRESULT DragScale::SetScalingMode(uint32_t mode)
{
    mScalingMode = mode;
    return KVD_S_OK;
}

// The first observer that finds data gives the range; without any the default range holds.
HRESULT DragScale::AutoScale()
{
    for (const Observer& o : std::vector<Observer>(mObservers)) {
        ChannelYDataRange range{0.0, 0.0};
        AutoBool unscaled = kAutoFalse;
        if (o.observer->OnAutoScaleRequest(o.side, &range, &unscaled) == KVD_S_OK && range.top > range.bottom)
            return SetRange(range.top, range.bottom);
    }
    return SetRange(mDefaultTop, mDefaultBottom);
}

HRESULT DragScale::SetTraceIndicator(AutoBool show, uint32_t rgb, int32_t id)
{
    mIndicatorShown = show != kAutoFalse;
    mIndicatorRgb = rgb;
    mIndicatorId = id;
    return KVD_S_OK;
}

HRESULT DragScale::Advise(IDragScaleObserver* observer, long side)
{
    if (observer == nullptr)
        return KVD_E_POINTER;
    mObservers.push_back({KVD::COMPtr<IDragScaleObserver>(observer), side});
    return KVD_S_OK;
}

HRESULT DragScale::Unadvise(IDragScaleObserver* observer)
{
    const auto end = std::remove_if(mObservers.begin(), mObservers.end(),
                                    [observer](const Observer& o) { return o.observer.get() == observer; });
    const bool found = end != mObservers.end();
    mObservers.erase(end, mObservers.end());
    return found ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT DragScale::SetUnitsFound(AutoBool found)
{
    mUnitsFound = found != kAutoFalse;
    return KVD_S_OK;
}

HRESULT DragScale::CloneScale(IScale** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto copy = KVD::MakeCounted<DragScale>(mOffset, mSide, mStyle);
    copy->mRangeTop = mRangeTop;
    copy->mRangeBottom = mRangeBottom;
    copy->mDefaultTop = mDefaultTop;
    copy->mDefaultBottom = mDefaultBottom;
    copy->mUnits = mUnits;
    copy->mDataScaling = mDataScaling;
    copy->mLeft = mLeft;
    copy->mTop = mTop;
    copy->mRight = mRight;
    copy->mBottom = mBottom;
    *out = copy.Forget();
    return KVD_S_OK;
}

}  // namespace Host
