#include "trace/TimeScale.h"

#include <cmath>

#include "foundation/XKVD.h"
#include "foundation/draw/DrawFactories.h"
#include "foundation/units/TimeDisplayMode.h"
#include "trace/DrawPrintableBase.h"
#include "trace/DrawUtils.h"
#include "trace/TimeLabelDrawer.h"

namespace OrrelDraw {

const wchar_t* const kTimeUnitsMilliSecsStr = L"(ms)";

namespace {

constexpr unsigned kTimeScaleVersion = 2;

}  // namespace

TimeScale::TimeScale(ChildPaneOwner* owner) : ChildPaneBase(owner, -1)
{
    mRightInUse = 1;
    InitFont();
    AddDefaultTimeLabelDrawer();
}

double TimeScale::PixelRatioY() const
{
    double x = 1.0, y = 1.0;
    if (mOwner != nullptr && mOwner->GetDrawerDataPane() != nullptr)
        mOwner->GetDrawerDataPane()->GetAnyReferenceDCPixelRatio(0, &x, &y);
    return y;
}

void TimeScale::AddDefaultTimeLabelDrawer()
{
    if (!mDrawers.empty())
        return;
    KVD::COMPtr<IOrrelRecordDrawer> drawer(new TimeLabelDrawer(this));
    AddRecordDrawer(0, drawer, 255);
    if (mOwner != nullptr)
        drawer->SetRecordDataPixMap(0, mOwner->GetRecordPixMap());
}

HRESULT TimeScale::ClearRecordDrawers(OrrelDrawerInfoOutFlags infoFlags, TChannelId channel)
{
    ChildPaneBase::ClearRecordDrawers(infoFlags, channel);
    AddDefaultTimeLabelDrawer();
    return KVD_S_OK;
}

HRESULT TimeScale::OnRecordStart(unsigned int record, AutoBool online)
{
    ChildPaneBase::OnRecordStart(record, online);
    Invalidate(true);
    return KVD_S_OK;
}

HRESULT TimeScale::Update(long long start, long long count, long long* latest, PixMapUpdateOutFlags flags)
{
    const HRESULT hr = ChildPaneBase::Update(start, count, latest, flags);
    if (count != 0)
        Invalidate(false);  // a strip of labels is no cheaper than the whole scale
    return hr;
}

void TimeScale::SetFixedHeight(bool fixed, int height)
{
    mFixedHeight = fixed;
    if (fixed)
        mLabelHeight = height;
    else
        InitFont();
}

void TimeScale::InitFont()
{
    TDC* reference = mOwner != nullptr ? mOwner->GetReferenceContext() : nullptr;
    // The data pane is the owner that prints; an owner that is not printable keeps the screen font.
    const auto* printable = dynamic_cast<const DrawPrintableBase*>(mOwner);
    if (reference != nullptr && printable != nullptr)
        mFont = std::make_unique<TimeScaleFont>(printable->PrintFont());
    else
        mFont = gCreateDefaultScaleLabelScreenFont();
    int width = 0;
    CalcMaxLabelSize(&width, &mLabelHeight, reference);
    mLabelWidth = 0;
}

void TimeScale::CalcMaxLabelSize(int* width, int* height, TDC* dc)
{
    if (mFont == nullptr)
        return;
    const KVD::String longest = CTimeDisplayMode::GetAbsoluteLongestLabelStr();
    const TSize text = dc != nullptr ? mFont->GetTextExtent(*dc, longest.c_str()) : mFont->GetTextExtent(longest.c_str());
    const double f = PixelRatioY();
    *height = int(std::trunc(f * 5.0 + std::trunc(text.cy * f) + 1));
    *width = text.cx;
}

int TimeScale::LabelWidth(TDC* dc)
{
    if (dc != nullptr && mLabelWidth < 1) {
        int height = 0;
        CalcMaxLabelSize(&mLabelWidth, &height, dc);
    }
    return mLabelWidth;
}

HRESULT TimeScale::OnSetReferenceDC(TDC&)
{
    InitFont();
    return KVD_S_OK;
}

HRESULT TimeScale::OnClearReferenceDC()
{
    InitFont();
    return KVD_S_OK;
}

HRESULT TimeScale::SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int a, int b,
                                   int c)
{
    const int scaled = int(std::floor(c * PixelRatioY() + 0.5));
    ChildPaneBase::SetPositionInfo(flags, origin, rect, a, b, scaled);
    for (const auto& drawer : mDrawers)
        drawer->OnPositionChange(mPositionFlags, &mRect);
    return KVD_S_OK;
}

HRESULT TimeScale::DrawInRecord(TDC* dc, long long start, long long end, TPixPosition pix, int x, const TRect* clip,
                                OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                                const KVDDataTimeInfo* time, const KVD::Bitset& layers)
{
    if (clip != nullptr && clip->left >= clip->right)
        return KVD_S_FALSE;
    TDC* target = dc;
    if ((flags & DrawFlag::kThroughLayer0) && (mLayers[0].flags & LayerFlag::kBuffered))
        target = mLayers[0].GetBufferDC(dc, mRect);
    if (target == nullptr)
        return KVD_S_FALSE;
    target->SaveDC();
    target->SelectObject(*mFont);
    const unsigned align = target->GetTextAlign();
    target->SetTextAlign(kTextAlignCentre);
    const HRESULT hr = ChildPaneBase::DrawInRecord(target, start, end, pix, x, clip, flags, graticule, time, layers);
    if (time != nullptr)
        mLastMode = time->timeDisplayMode;
    target->SetTextAlign(align);
    target->RestoreDC();
    return hr;
}

HRESULT TimeScale::Write(IBinOutStream* stream) const
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    return stream->WriteWord32(kTimeScaleVersion);
}

HRESULT TimeScale::Read(IBinInStream* stream)
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    unsigned version = 0;
    const HRESULT hr = stream->ReadWord32(&version);
    if (hr != KVD_S_OK)
        return hr;
    if (version > kTimeScaleVersion)
        throw XKVD(KVD_E_NEWERVERSION);
    return KVD_S_OK;
}

TRect TimeScale::MillisecondsRect(TDC& dc) const
{
    return MillisecondsRect(dc, mLastMode);
}

TRect TimeScale::MillisecondsRect(TDC& dc, uint32_t mode) const
{
    if (!CTimeDisplayMode(mode).UseMilliSeconds())
        return TRect();
    const int w = mFont->GetTextExtent(dc, kTimeUnitsMilliSecsStr).cx;
    return TRect(mRect.right - w - 9, mRect.top + 1, mRect.right, mRect.bottom);
}

void TimeScale::BltBitMap(TDC& dc, int x, bool marker)
{
    ChildPaneBase::BltBitMap(dc, x, marker);
    DrawUnitsText(dc);
}

void TimeScale::DrawUnitsText(TDC& dc)
{
    const TRect opaque = MillisecondsRect(dc);
    if (opaque.IsNull())
        return;
    const int w = mFont->GetTextExtent(dc, kTimeUnitsMilliSecsStr).cx;
    TColor text = TColor::Black, back = TColor::White;
    if (mOwner != nullptr && mOwner->GetDrawerDataPane() != nullptr) {
        uint32_t rgb = 0;
        if (mOwner->GetDrawerDataPane()->AdjustColorForBackground(RgbFromColour(text), &rgb) == KVD_S_OK)
            text = ColourFromRgb(rgb);
        if (mOwner->GetDrawerDataPane()->AdjustColorForBackground(RgbFromColour(back), &rgb) == KVD_S_OK)
            back = ColourFromRgb(rgb);
    }
    dc.SaveDC();
    const TColor oldText = dc.GetTextColor(), oldBack = dc.GetBkColor();
    dc.SelectObject(*mFont);
    dc.SetTextColor(text);
    dc.SetBkColor(back);
    const unsigned align = dc.GetTextAlign();
    dc.SetTextAlign(0);
    // Filled first: not every context fills the opaque rectangle itself.
    dc.FillRect(opaque, TBrush(back));
    dc.ExtTextOut(mRect.right - w - 2, mRect.top + 2, 2, &opaque, kTimeUnitsMilliSecsStr, -1, nullptr);
    dc.SetTextAlign(align);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
    dc.RestoreDC();
}

}  // namespace OrrelDraw
