// What the data pane answers its drawers and its owner: scales, units and ranges of the channel
// panes, resolution, background, the units shown and the default ranges taken from the record.
#include <algorithm>
#include <limits>

#include "trace/DataPane.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

namespace {
constexpr int kMinClientPaneHeight = 13;
constexpr uint32_t kNonInteractiveBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// Device capabilities: pixels per inch across and down.
constexpr int kCapsPixelsPerInchX = 0;
constexpr int kCapsPixelsPerInchY = 1;
}  // namespace

uint64_t ChannelArgument(TChannelId channel)
{
    return uint64_t(channel.blockDataType) << 32 | uint32_t(channel.channel);
}

uint32_t AdjustRgbForBackground(uint32_t rgb, uint32_t background)
{
    return RgbFromColour(gAdjustColorForBackground(ColourFromRgb(rgb), ColourFromRgb(background)));
}

// ---- For drawers ----

HRESULT DataPane::GetScaleChan(int pane, int, TChannelId* channel)
{
    if (!IsPane(pane) || channel == nullptr)
        return KVD_E_NULLOUT;
    const ChannelPane& p = *mPanes[size_t(pane)];
    *channel = p.ScaleChannel(kScaleLeft).channel < 0 ? p.ScaleChannel(kScaleRight) : p.ScaleChannel(kScaleLeft);
    return KVD_S_OK;
}

HRESULT DataPane::GetPaneDragScale(int pane, int side, IScale** scale)
{
    if (mLanes != nullptr)
        return mLanes->GetLaneDragScale(pane, side, scale);
    if (!IsPane(pane) || scale == nullptr)
        return KVD_E_NULLOUT;
    KVD::GiveOut(mPanes[size_t(pane)]->ScaleOf(side == kScaleLeft ? kScaleLeft : kScaleRight), scale);
    return KVD_S_OK;
}

HRESULT DataPane::GetUnitsForScale(int pane, int side, uint32_t mode, int block, IAutoKVDString** units,
                                   DataScaling* scaling, TChannelId* channel, DataMaxMin* maxMin, double* factor)
{
    if (!IsPane(pane))
        return KVD_E_NULLOUT;
    KVD::String text;
    const bool found = mPanes[size_t(pane)]->GetUnitsForScale(side, mode, block, &text, scaling, channel, maxMin,
                                                               factor);
    if (units != nullptr)
        text.GetOut(units);
    return found ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT DataPane::GetScalingMode(int pane, RecDrawScalingModeFlags* mode)
{
    if (!IsPane(pane) || mode == nullptr)
        return KVD_E_NULLOUT;
    *mode = mPanes[size_t(pane)]->ScalingMode();
    return KVD_S_OK;
}

HRESULT DataPane::GetFlags(RecDrawScalingModeFlags* mode, uint32_t* misc)
{
    if (mode != nullptr)
        *mode = 0;
    if (misc != nullptr)
        *misc = mMiscFlags;
    return KVD_S_OK;
}

HRESULT DataPane::GetReferenceDC(int, TDC** dc)
{
    if (dc == nullptr)
        return KVD_E_NULLOUT;
    *dc = ReferenceDC();
    return KVD_S_OK;
}

HRESULT DataPane::GetAnyReferenceDCPixelRatio(int, double* x, double* y)
{
    if (x == nullptr || y == nullptr)
        return KVD_E_NULLOUT;
    if (TDC* dc = ReferenceDC()) {
        *x = dc->GetDeviceCaps(kCapsPixelsPerInchX) / 25.4 / kPixelsPerMillimetre;
        *y = dc->GetDeviceCaps(kCapsPixelsPerInchY) / 25.4 / kPixelsPerMillimetre;
    } else {
        *x = *y = mScreenPixelRatio;
    }
    return KVD_S_OK;
}

HRESULT DataPane::AreDrawingHiRes(int, bool* hiRes)
{
    if (hiRes != nullptr)
        *hiRes = IsNonInteractiveMode();
    return IsNonInteractiveMode() ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT DataPane::SetLayerAlpha(int, int pane, int layerCode, int alpha)
{
    const int layer = layerCode / 256;
    if (!IsPane(pane) || layer < 0 || layer >= kLayerCount)
        return KVD_S_OK;
    Layer& l = mPanes[size_t(pane)]->GetLayer(layer);
    l.opacity = uint32_t(std::clamp(alpha, 0, 255));
    if (alpha != 255)
        l.flags &= ~LayerFlag::kCopyAlways;
    return KVD_S_OK;
}

HRESULT DataPane::SetLayerAlphaRect(int, int pane, int layerCode, const TRect* rect)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    const int layer = layerCode / 256;
    // The caller keeps the rectangle; it scrolls with the layer while the layer is see-through.
    if (IsPane(pane) && layer >= 0 && layer < kLayerCount)
        mPanes[size_t(pane)]->GetLayer(layer).linkedRect = const_cast<TRect*>(rect);
    return KVD_S_OK;
}

HRESULT DataPane::GetDataClientRect(int flags, TRect* rect)
{
    if (rect == nullptr)
        return KVD_E_NULLOUT;
    const int W = GetPaneBorderW();
    *rect = TRect(W, 0, mRect.right - W, mRect.bottom);
    if (flags >= 0)
        return KVD_S_OK;
    for (int i = ChannelPaneCount() - 1; i >= 0; --i) {
        const TRect& r = mPanes[size_t(i)]->GetPaneRect();
        if (r.Height() >= kMinClientPaneHeight) {
            rect->bottom = r.bottom;
            return KVD_S_OK;
        }
    }
    return KVD_E_BADSTATE;
}

HRESULT DataPane::InvalidateRect(int flags, const TRect* rect)
{
    if (flags < 0)
        InvalidateAll(true);
    else
        InvalidateRect(rect, false);
    return KVD_S_OK;
}

HRESULT DataPane::GetBackgroundColor(uint32_t* rgb)
{
    if (rgb == nullptr)
        return KVD_E_NULLOUT;
    *rgb = IsNonInteractiveMode() && mBackground == kNonInteractiveBlack ? kWhite : mBackground;
    return KVD_S_OK;
}

HRESULT DataPane::AdjustColorForBackground(uint32_t rgb, uint32_t* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = AdjustRgbForBackground(rgb, mBackground);
    return KVD_S_OK;
}

// ---- For owners ----

HRESULT DataPane::GetDragScale(int pane, int, int side, IScale** scale)
{
    if (mLanes != nullptr)
        return mLanes->GetLaneDragScale(pane, side, scale);
    if (!IsPane(pane) || (side != kScaleLeft && side != kScaleRight) || scale == nullptr)
        return KVD_E_NULLOUT;
    return side == kScaleLeft ? mPanes[size_t(pane)]->GetLeftScale(0, scale)
                              : mPanes[size_t(pane)]->GetRightScale(0, scale);
}

HRESULT DataPane::GetDragScaleRangeInUnits(int, int pane, int side, double* top, double* bottom)
{
    if (top == nullptr || bottom == nullptr)
        return KVD_E_NULLOUT;
    *top = std::numeric_limits<double>::max();
    *bottom = -std::numeric_limits<double>::max();
    if (!IsPane(pane))
        return KVD_E_NULLOUT;
    const ChannelPane& p = *mPanes[size_t(pane)];
    if (IScale* scale = p.ScaleOf(side))
        scale->GetRange(top, bottom);
    const double factor = p.Prefix(side).Scaling();
    *top /= factor;
    *bottom /= factor;
    return KVD_S_OK;
}

HRESULT DataPane::AutoScale(int, int pane, int side)
{
    if (pane == -1) {
        // Every pane on that side; success when every one of them succeeded.
        HRESULT result = KVD_S_OK;
        for (auto& p : mPanes)
            if (p->DoAutoScale(side) != KVD_S_OK)
                result = KVD_E_BADSTATE;
        return result;
    }
    if ((side != kScaleLeft && side != kScaleRight) || !IsPane(pane))
        return KVD_E_NULLOUT;
    mPanes[size_t(pane)]->DoAutoScale(side);
    return KVD_S_OK;
}

HRESULT DataPane::GetHasData(int, int side, bool* has)
{
    if (has == nullptr)
        return KVD_E_NULLOUT;
    int64_t total = 0;
    if (mPixMap == nullptr || mPixMap->GetTotalPixels(&total) != KVD_S_OK)
        return KVD_E_BADSTATE;
    *has = false;
    if (total == 0)
        return KVD_S_OK;
    for (const auto& p : mPanes)
        *has = *has || (side == kScaleLeft ? p->LeftUnitsFound() : p->RightUnitsFound());
    return KVD_S_OK;
}

HRESULT DataPane::LockDragScaleUnitPrefix(int record, int pane, int side, UnitPrefix prefix)
{
    if (!IsPane(pane))
        return KVD_E_BADSTATE;
    const HRESULT hr = mPanes[size_t(pane)]->LockDragScaleUnitPrefix(record, side, prefix);
    SetYScaleUnits();
    return hr;
}

HRESULT DataPane::SetRange(uint32_t flags, int pane, int side, const ChannelYDataRange& range)
{
    return IsPane(pane) && mPanes[size_t(pane)]->SetDragScaleRange(flags, side, range, false, true) ? KVD_S_OK
                                                                                                  : KVD_E_BADSTATE;
}

HRESULT DataPane::SetDefaultRange(uint32_t flags, int pane, int side, const ChannelYDataRange& range)
{
    return IsPane(pane) && mPanes[size_t(pane)]->SetDragScaleRange(flags, side, range, true, false) ? KVD_S_OK
                                                                                                  : KVD_E_BADSTATE;
}

HRESULT DataPane::SetTraceIndicatorColour(int, int pane, int side, bool show, uint32_t rgb, int id)
{
    if (!IsPane(pane) || (side != kScaleLeft && side != kScaleRight))
        return KVD_E_BADSTATE;
    IDragScale* drag = mPanes[size_t(pane)]->DragScaleOf(side);
    if (drag == nullptr)
        return KVD_E_BADSTATE;
    return drag->SetTraceIndicator(show ? kAutoTrue : kAutoFalse, rgb, id);
}

void DataPane::SetYScaleUnits()
{
    KVDPosition first{}, last{};
    const bool known = mPixMap != nullptr &&
                       mPixMap->PixelToPosition(std::max<int64_t>(0, GetLeftColumn()), &first) == KVD_S_OK;
    if (!known) {
        for (auto& pane : mPanes)
            pane->SetYScaleUnits(kNoUnitsBlock, kNoUnitsBlock);
        return;
    }
    if (mPixMap->PixelToPosition(std::max<int64_t>(0, mRightEdge - 1), &last) != KVD_S_OK)
        last = first;
    for (int i = 0; i < ChannelPaneCount(); ++i) {
        ChannelPane& pane = *mPanes[size_t(i)];
        const bool ask = !mSampling || ((mMiscFlags & MiscFlag::kUnitsOnlyWhenNotSampling) == 0 && pane.LeftUnitsFound());
        const int block = ask ? pane.SetYScaleUnits(first.record, last.record)
                              : pane.SetYScaleUnits(kNoUnitsBlock, kNoUnitsBlock);
        SetYScaleDefaultRangeFromRecord(0, block, i);
    }
}

bool DataPane::SetYScaleDefaultRangeFromRecord(int, int block, int pane)
{
    if (!IsPane(pane))
        return false;
    ChannelPane& p = *mPanes[size_t(pane)];
    if ((p.ScaleControlFlags() & ScaleControl::kDefaultRangeFromRecord) == 0)
        return true;
    const TChannelId left = p.ScaleChannel(kScaleLeft);
    double factor = 1.0, offset = 0.0;
    if (mRecord == nullptr ||
        mRecord->GetDataScaling(block, TChannelId{left.channel, left.blockDataType | 0x2000}, &factor, &offset) != KVD_S_OK)
        return false;
    return p.SetDragScaleRange(0, kScaleLeft, {factor * (offset + 32000), factor * (offset - 32000)}, true, false);
}

}  // namespace OrrelDraw
