#include "trace/ChildPaneBase.h"

#include <algorithm>

namespace OrrelDraw {
namespace {

long LayerValueOf(IOrrelRecordDrawer* drawer)
{
    long value = 0;
    drawer->GetLayer(&value);
    return value;
}

}  // namespace

bool DrawerLayerLess(IOrrelRecordDrawer* a, IOrrelRecordDrawer* b)
{
    return int64_t(LayerValueOf(a)) < int64_t(LayerValueOf(b));
}

ChildPaneBase::ChildPaneBase(ChildPaneOwner* owner, int paneIndex) : mPaneIndex(paneIndex), mOwner(owner) {}

ChildPaneBase::ChildPaneBase(const ChildPaneBase& other)
    : SimpleUnknownImp1<IDragScaleObserver, 0l>(),
      mPositionFlags(other.mPositionFlags),
      mPaneIndex(other.mPaneIndex),
      mDrawnMarker(other.mDrawnMarker != 0 ? 0xFFFFFFFF : 0),
      mOrigin(other.mOrigin),
      mRect(other.mRect),
      mLeftInUse(other.mLeftInUse),
      mRightInUse(other.mRightInUse),
      mOwner(nullptr)
{
    for (const auto& drawer : other.mDrawers) {
        KVD::COMPtr<IOrrelRecordDrawer> copy;
        drawer->Clone(0x40000000, copy.Set());
        if (copy != nullptr)
            AddRecordDrawer(0, copy, 255);
    }
}

HRESULT ChildPaneBase::OnBeginDrag(long, DragScaleDragType) { return KVD_E_NOTIMPL; }
HRESULT ChildPaneBase::OnEndDrag(long, DragScaleDragType) { return KVD_E_NOTIMPL; }
HRESULT ChildPaneBase::OnScalingChanged(long, unsigned int, const DataScaling*) { return KVD_E_NOTIMPL; }
HRESULT ChildPaneBase::OnAutoScaleCommand(long) { return KVD_E_NOTIMPL; }
HRESULT ChildPaneBase::OnAutoScaleRequest(long, ChannelYDataRange*, AutoBool*) { return KVD_E_NOTIMPL; }

void ChildPaneBase::SetChannelInUse(bool left, bool right)
{
    mLeftInUse = left ? 1 : 0;
    mRightInUse = right ? 1 : 0;
}

bool ChildPaneBase::IsChannelInUse() const
{
    return mLeftInUse != 0 || mRightInUse != 0;
}

HRESULT ChildPaneBase::GetLeftScale(unsigned int, IScale** scale)
{
    if (scale != nullptr)
        *scale = nullptr;
    return KVD_S_FALSE;
}

HRESULT ChildPaneBase::GetRightScale(unsigned int, IScale** scale)
{
    if (scale != nullptr)
        *scale = nullptr;
    return KVD_S_FALSE;
}

// Positions ----------------------------------------------------------------------------------

HRESULT ChildPaneBase::SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int, int, int)
{
    mPositionFlags = flags;
    mOrigin = origin;
    Layer& base = mLayers[0];
    base.flags &= ~LayerFlag::kCopyAlways;
    if (mOwner != nullptr && mOwner->AreDrawingOnBitmaps()) {
        base.flags &= ~(LayerFlag::kBuffered | LayerFlag::kDirty | LayerFlag::kCopyAlways | LayerFlag::kDrawn);
        base.flags |= LayerFlag::kBuffered | LayerFlag::kDirty;
    } else {
        base.flags &= ~LayerFlag::kBuffered;
    }
    mRect = rect;
    for (Layer& layer : mLayers.layers)
        layer.OnSetPos(rect);
    mLayers.area = rect;
    LayersInvalidate(true);
    if (mOwner != nullptr)
        mOwner->InvalidateRect(&mRect, false);
    return KVD_S_OK;
}

bool ChildPaneBase::HitTest(const TPoint& p) const
{
    return mRect.left <= p.x && p.x < mRect.right && mRect.top <= p.y && p.y < mRect.bottom;
}

// Drawers -------------------------------------------------------------------------------------

void ChildPaneBase::RebuildLayerRanges()
{
    for (Layer& layer : mLayers.layers)
        layer.first = layer.end = -1;
    for (int i = 0; i < int(mDrawers.size()); ++i) {
        const int index = LayerIndexOf(LayerValueOf(mDrawers[size_t(i)]));
        if (index < 0 || index >= kLayerCount)
            continue;
        if (mLayers[index].first < 0)
            mLayers[index].first = i;
        mLayers[index].end = i + 1;
    }
}

HRESULT ChildPaneBase::AddRecordDrawer(unsigned int flags, IOrrelRecordDrawer* drawer, unsigned int opacity)
{
    if (drawer == nullptr)
        return KVD_E_POINTER;
    if (mOwner != nullptr)
        drawer->SetDataPane(mOwner->GetDrawerDataPane());
    drawer->SetPaneIndex(0, mPaneIndex);
    drawer->OnPositionChange(mPositionFlags, &mRect);
    mDrawers.emplace_back(drawer);
    std::stable_sort(mDrawers.begin(), mDrawers.end(),
                     [](const auto& a, const auto& b) { return DrawerLayerLess(a, b); });
    if ((flags & AddDrawerFlag::kBuffered) && mOwner != nullptr && mOwner->AreDrawingOnBitmaps()) {
        Layer& layer = mLayers[std::clamp(LayerIndexOf(LayerValueOf(drawer)), 0, kLayerCount - 1)];
        layer.flags |= LayerFlag::kBuffered | LayerFlag::kDirty;
        layer.flags &= ~LayerFlag::kDrawn;
        layer.opacity = opacity;
        if ((flags & AddDrawerFlag::kNotComposed) || opacity != 255)
            layer.flags |= flags & AddDrawerFlag::kNotComposed;
        if (opacity != 255)
            layer.flags &= ~(LayerFlag::kDrawn | LayerFlag::kCopyAlways);
    }
    RebuildLayerRanges();
    mExtensionsStale = true;
    return KVD_S_OK;
}

HRESULT ChildPaneBase::ClearRecordDrawers(OrrelDrawerInfoOutFlags infoFlags, TChannelId channel)
{
    const bool noChannel = uint32_t(channel.channel) == 0x80000000u && channel.blockDataType == 0xC0000000u;
    if (infoFlags == 0 && noChannel) {
        mDrawers.clear();
    } else {
        for (size_t i = mDrawers.size(); i-- > 0;) {
            unsigned int info = 0;
            mDrawers[i]->GetInfo(0, &info, nullptr, nullptr, nullptr);
            if (infoFlags != 0 && (info & infoFlags) == 0)
                continue;
            TChannelId user{};
            mDrawers[i]->GetUserChannel(&user);
            if (!noChannel && (user.channel != channel.channel || user.blockDataType != channel.blockDataType))
                continue;
            mDrawers.erase(mDrawers.begin() + long(i));
        }
    }
    RebuildLayerRanges();
    mExtensionsStale = true;
    return KVD_S_OK;
}

// Fan-out ------------------------------------------------------------------------------------

HRESULT ChildPaneBase::OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel)
{
    for (const auto& drawer : mDrawers)
        drawer->OnDisplayInfoChanged(settings, source, channel);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::Revert(TOrrelDrawNeedsUpdateFlags flags)
{
    for (const auto& drawer : mDrawers)
        drawer->Revert(flags);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::OnBeginRevert(TOrrelDrawNeedsUpdateFlags flags)
{
    for (const auto& drawer : mDrawers)
        drawer->OnBeginRevert(flags);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::PrepareForSampling(unsigned int block)
{
    if (mOwner != nullptr && mOwner->InvalidateOnPrepare())
        mOwner->InvalidateRect(&mRect, false);
    for (const auto& drawer : mDrawers)
        drawer->PrepareForSampling(block);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::OnRecordStart(unsigned int record, AutoBool online)
{
    for (const auto& drawer : mDrawers)
        drawer->OnRecordStart(record, online != kAutoFalse ? kAutoTrue : kAutoFalse);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::OnRecordEnd(unsigned int record, BlockUpdateType* update)
{
    for (const auto& drawer : mDrawers)
        drawer->OnRecordEnd(record, update);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::CleanUpAfterSampling(AutoBool flag)
{
    for (const auto& drawer : mDrawers)
        drawer->CleanUpAfterSampling(flag != kAutoFalse ? kAutoTrue : kAutoFalse);
    return KVD_S_OK;
}

HRESULT ChildPaneBase::OnEvent(unsigned int id, void* data)
{
    for (const auto& drawer : mDrawers)
        drawer->OnEvent(id, data);
    return KVD_S_OK;
}

// Invalidation ---------------------------------------------------------------------------------

void ChildPaneBase::LayersInvalidate(bool all)
{
    for (Layer& layer : mLayers.layers) {
        layer.dirty = mRect;
        if (all) {
            layer.flags |= LayerFlag::kDirty;
            layer.flags &= ~LayerFlag::kDrawn;
        }
    }
    if (mOwner != nullptr && mOwner->TakeAllBitmapsDirtyRequest())
        mOwner->SetAllBitmapsDirtyAndInvalidate();
}

void ChildPaneBase::Invalidate(bool erase)
{
    LayersInvalidate(true);
    if (mOwner != nullptr)
        mOwner->InvalidateRect(&mRect, erase);
}

void ChildPaneBase::SetBitmapsDirtyAndInvalidate()
{
    Invalidate(false);
}

void ChildPaneBase::LayersInvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty)
{
    mLayers.InvalidateXRange(from, to, firstLayer, endLayer, markDirty);
}

void ChildPaneBase::InvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty)
{
    if (mOwner != nullptr) {
        const TRect r(from, mRect.top, to, mRect.bottom);
        mOwner->InvalidateRect(&r, false);
    }
    LayersInvalidateXRange(from, to, firstLayer, endLayer, markDirty);
}

void ChildPaneBase::FindMaxExtensions(DrawerOrderConsts first, DrawerOrderConsts end, int* left, int* right,
                                      TDC* dc) const
{
    int l = 0, r = 0;
    for (const auto& drawer : mDrawers) {
        const long value = LayerValueOf(drawer);
        if (value < first || value >= end)
            continue;
        int dl = 0, dr = 0;
        drawer->GetInfo(0, nullptr, &dl, &dr, dc);
        l = std::max(l, dl);
        r = std::max(r, dr);
    }
    *left = l;
    *right = r;
}

void ChildPaneBase::CalcDirtyRect(const TRegion* region, OrrelDrawerDrawFlags flags, int* from, int* to, TDC* dc)
{
    TRect range;
    if (flags & DrawFlag::kWholePane) {
        range = mRect;
    } else if (flags & DrawFlag::kThroughLayer0) {
        mLayers.GetUpdateRect(&range);
    } else {
        range = region != nullptr ? *region : mRect;
        range.left = std::max(range.left, mRect.left);
        range.right = std::min(range.right, mRect.right);
        if (range.right < range.left)
            range.right = range.left;
        if (range.left < range.right)
            LayersInvalidateXRange(range.left, range.right, 0, kLayerCount, true);
    }
    if (mExtensionsStale) {
        FindMaxExtensions(0, 2048, &mLeftExtension, &mRightExtension, dc);
        if (dc != nullptr)
            mExtensionsStale = false;
    }
    *from = range.left;
    *to = range.right;
    if (*from < *to) {
        *from -= mLeftExtension;
        *to += mRightExtension;
    }
}

// Drawing -------------------------------------------------------------------------------------

HRESULT ChildPaneBase::DrawInRecord(TDC* dc, long long start, long long end, TPixPosition pix, int x,
                                    const TRect* clip, OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                                    const KVDDataTimeInfo* time, const KVD::Bitset& layers)
{
    if (mRect.Height() <= 0 || (dc != nullptr && !dc->RectVisible(mRect)))
        return KVD_S_FALSE;
    const unsigned first = layers.FirstSet();
    const unsigned last = std::min<unsigned>(layers.LastSetPlus1(), kLayerCount);
    if (first == KVD::Bitset::kNone)
        return KVD_S_FALSE;
    // The block's columns, within the clip when one is given.
    TRect columns(x, mRect.top, x + int(end - start), mRect.bottom);
    if (clip != nullptr) {
        columns.left = std::max(columns.left, clip->left);
        columns.right = std::max(columns.left, std::min(columns.right, clip->right));
    }
    for (unsigned i = first; i < last; ++i) {
        if (!layers.test(i))
            continue;
        Layer& layer = mLayers[int(i)];
        if (!layer.HasDrawers() || layer.IsDirtyEmpty()) {
            layer.ResetDirty();
            continue;
        }
        DrawLayer(dc, int(i), start, pix, x, columns, flags, graticule, time);
    }
    return KVD_S_OK;
}

void ChildPaneBase::DrawLayer(TDC* dc, int index, long long start, TPixPosition pix, int x, const TRect& clip,
                              OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule, const KVDDataTimeInfo* time)
{
    Layer& layer = mLayers[index];
    TDC* target = dc;
    const bool buffered = (layer.flags & LayerFlag::kBuffered) && (layer.flags & LayerFlag::kDirty);
    if (buffered)
        target = layer.GetBufferDC(dc, mRect);
    else if ((flags & DrawFlag::kThroughLayer0) && (mLayers[0].flags & LayerFlag::kBuffered))
        target = mLayers[0].GetBufferDC(dc, mRect);
    if (target == nullptr)
        return;
    OrrelDrawerDrawFlags layerFlags = flags;
    if (buffered && !(layer.flags & LayerFlag::kCopyAlways))
        layerFlags &= ~DrawFlag::kEraseFirst;
    if (layer.flags & LayerFlag::kDrawn)
        layerFlags &= ~DrawFlag::kEraseFirst;

    // The dirty range within the clip; nothing left collapses to the nearest dirty edge.
    TRect area = layer.dirty;
    const int left = std::max(area.left, clip.left), right = std::min(area.right, clip.right);
    if (left < right) {
        area.left = left;
        area.right = right;
    } else {
        area.left = area.right = clip.left >= area.right ? area.right : area.left;
    }
    const TRect paneClip(area.left, 0, area.right, mRect.Height());
    target->SaveDC();
    TPoint old;
    target->OffsetWindowOrg(TPoint(0, -mRect.top), &old);
    target->IntersectClipRect(paneClip);
    ForEachDrawer(*target, layer.first, layer.end, start, pix, x, paneClip, layerFlags, graticule, time);
    target->SetViewportOrg(old);
    target->RestoreDC();

    layer.flags |= LayerFlag::kDrawn;
    mDrawnMarker = 0xFFFF;
    if (!(flags & DrawFlag::kNoCompose) && (layer.flags & LayerFlag::kBuffered) &&
        !(layer.flags & LayerFlag::kNotComposed) && index != 0) {
        mLayers[0].TransferFrom(mRect, layer, mOwner != nullptr ? mOwner->GetLatestBmpOffset() : 0);
        layer.ResetDirty();
    }
}

void ChildPaneBase::ForEachDrawer(TDC& dc, int firstDrawer, int endDrawer, long long start, TPixPosition pix, int x,
                                  const TRect& clip, OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                                  const KVDDataTimeInfo* time)
{
    if (flags & DrawFlag::kEraseFirst)
        dc.ClearRect(TRect(clip.left, 0, std::min(mRect.right, std::max(clip.right, clip.left)), mRect.Height()));
    for (int i = firstDrawer; i < endDrawer; ++i) {
        IOrrelRecordDrawer* drawer = mDrawers[size_t(i)];
        unsigned int info = 0;
        int left = 0, right = 0;
        drawer->GetInfo(0, &info, &left, &right, &dc);
        if ((flags & DrawFlag::kSkipMarkers) && (info & DrawerInfo::kMarker))
            continue;
        if ((info & DrawerInfo::kNeedsClip) && clip.left >= clip.right)
            continue;
        // Widened past the block, a drawer may start before its record (a negative pixel
        // position); the context's clip keeps it within the dirty range.
        const int from = clip.left - left;
        const int to = clip.right + right;
        if (from >= to)
            continue;
        const TPixPosition at{pix.pixel + (from - x), pix.record};
        drawer->DrawInRecord(dc, start + (from - x), start + (to - x), at, from, &clip, flags, graticule, time);
    }
}

void ChildPaneBase::OnDrawingDone(uint32_t flags)
{
    if ((flags & (1u << 30)) || mDrawnMarker != 0)
        for (Layer& layer : mLayers.layers)
            layer.ResetDirty();
    mDrawnMarker = 0;
    if (flags & (1u << 31))
        for (const auto& drawer : mDrawers)
            drawer->ReleaseEnums(0);
}

void ChildPaneBase::ClearLayers()
{
    for (Layer& layer : mLayers.layers)
        layer.ClearBuffer();
}

// Composing and borders -------------------------------------------------------------------------

void ChildPaneBase::BltBitMap(TDC& dc, int x, bool marker)
{
    Layer& base = mLayers[0];
    if ((base.flags & LayerFlag::kDirty) && !base.IsDirtyEmpty())
        return;
    if (!dc.RectVisible(mRect))
        return;
    TDC* buffer = base.GetBufferDC(&dc, mRect);
    if (buffer == nullptr)
        return;
    if (marker && mOwner != nullptr) {
        uint32_t rgb = 0;
        mOwner->GetDrawerDataPane()->AdjustColorForBackground(0, &rgb);
        buffer->SaveDC();
        buffer->SelectObject(TPen(TColor(uint16_t((rgb & 0xFF) / 255.0 * 65535.0),
                                         uint16_t((rgb >> 8 & 0xFF) / 255.0 * 65535.0),
                                         uint16_t((rgb >> 16 & 0xFF) / 255.0 * 65535.0))));
        buffer->MoveTo(x, mRect.top);
        buffer->LineTo(x, mRect.bottom);
        buffer->RestoreDC();
    }
    dc.BitBlt(mRect.left, mRect.top, mRect.Width(), mRect.Height(), *buffer, 0, 0, 0);
}

void ChildPaneBase::DrawBorderIfNeededBase(TDC& dc, const TRect& rect, const ChildPaneOwner* owner, int paneIndex)
{
    if (owner != nullptr && owner->IsNonInteractiveMode()) {
        if (paneIndex < 0 || rect.Height() <= 0 || !dc.RectVisible(rect))
            return;
        dc.SaveDC();
        dc.SelectObject(TPen(TColor::Black));
        dc.MoveTo(rect.left, rect.top);
        dc.LineTo(rect.left, rect.bottom);
        dc.MoveTo(rect.left, rect.bottom);
        dc.LineTo(rect.right, rect.bottom);
        dc.RestoreDC();
        return;
    }
    if (rect.Height() <= 0)
        return;
    const TRect frame(rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1);
    if (dc.RectVisible(frame))
        dc.FrameRect(frame, TBrush(TColor::AppleUISeparatorGrey));
}

void ChildPaneBase::DrawBorderIfNeeded(TDC& dc, const TRegion&)
{
    DrawBorderIfNeededBase(dc, mRect, mOwner, mPaneIndex);
}

// Online ----------------------------------------------------------------------------------------

HRESULT ChildPaneBase::Update(long long start, long long count, long long* latest, PixMapUpdateOutFlags)
{
    IRecordDataPixMap* map = mOwner != nullptr ? mOwner->GetRecordPixMap() : nullptr;
    int64_t offset = 0;
    if (map != nullptr) {
        int32_t records = 0;
        double pixels = 0, counted = 0;
        map->GetRecordDensity(&pixels, &counted);
        records = int32_t(counted);
        map->GetRecordStartOffset(records - 1, &offset);
    }
    long long redraw = start + count;
    long long newest = latest != nullptr ? *latest : 0;
    for (const auto& drawer : mDrawers) {
        long long l = 0;
        if (drawer->Update(start, count, &l) != KVD_S_OK)
            continue;
        newest = std::max(newest, l);
        if (l < redraw) {
            int left = 0;
            drawer->GetInfo(0, nullptr, &left, nullptr, nullptr);
            redraw = l < offset ? std::max<long long>(l, offset - left) : l;
        }
    }
    if (latest != nullptr)
        *latest = newest;
    if (mOwner == nullptr)
        return KVD_S_OK;
    const int x = int(redraw - mOwner->GetLeftColumn()) + mOwner->GetDataLeft() - mOwner->GetPaneBorderW();
    mLayers.InvalidateXRange(x, mRect.right, 2, 4, true);
    if (count != 0 && mOwner->IsOnlineAutoScrollX())
        DoOnlineScollX(count, x);
    else if (mOwner->AreDrawingOnBitmaps())
        mOwner->InvalidateRect(&mRect, false);
    else if (mOwner->IsOnlineAutoScrollX())
        DoOnlineScollX(count, x);
    return KVD_S_OK;
}

void ChildPaneBase::DoOnlineScollX(long long pixels, int x)
{
    if (mOwner == nullptr)
        return;
    if (mOwner->AreDrawingOnBitmaps()) {
        if (mRect.left < x)
            ScrollX(int(pixels), true, false);
        else
            LayersInvalidate(true);
    } else if (mRect.left < x) {
        mOwner->ScrollX(pixels, &mRect);
        const TRect fresh(x, mRect.top, mRect.right, mRect.bottom);
        mOwner->InvalidateRect(&fresh, false);
    } else {
        mOwner->InvalidateRect(&mRect, false);
    }
}

void ChildPaneBase::LayersScrollX(int pixels, bool moveBits)
{
    mLayers.ScrollX(pixels, moveBits);
}

void ChildPaneBase::ScrollX(int pixels, bool scrollLayers, bool noInvalidate)
{
    if (pixels == 0)
        return;
    if (scrollLayers) {
        const bool moveBits =
            mOwner == nullptr || !mOwner->IsOnlineRadarMode() || !mOwner->IsOnlineAutoScrollX();
        LayersScrollX(pixels, moveBits);
        if (!noInvalidate && mOwner != nullptr)
            mOwner->InvalidateRect(&mRect, false);
        return;
    }
    if (mOwner != nullptr)
        mOwner->ScrollX(pixels, &mRect);
}

}  // namespace OrrelDraw
