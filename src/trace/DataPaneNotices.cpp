// What the data pane does for its owner beyond scales and ranges: display settings, background
// and time display mode, invalidation, the reference context, comments, the relays from its
// channel panes, lanes and messages.
#include <algorithm>

#include "trace/DataPane.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

void DataPane::OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int flags)
{
    KVD::COMPtr<IKVDOrrelDisplaySettings> display;
    if (settings != nullptr &&
        const_cast<IChannelDisplaySettings2*>(settings)->QueryInterface(IID_IKVDOrrelDisplaySettings, display.Set()) ==
            KVD_S_OK) {
        uint32_t rgb = mBackground;
        if (display->GetColour(kDisplayColourBackground, 0, &rgb, 0) == KVD_S_OK)
            mBackground = rgb;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        mTimeScale->OnDisplayInfoChanged(settings, source, flags);
        mDisplayValues.assign(mPanes.size(), 0);
        for (size_t i = 0; i < mPanes.size(); ++i) {
            mPanes[i]->OnDisplayInfoChanged(settings, source, flags);
            const TChannelId channel = mPanes[i]->Channel();
            uint32_t value = 0;
            if (settings != nullptr && (channel.blockDataType & 4) == 0)
                settings->GetDisplayValue(channel.channel, &value);
            mDisplayValues[i] = value;
        }
    }
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnDisplayInfoChanged(settings, source, flags); });
    const int64_t middle = mRightEdge - DataWidth() / 2;
    if (middle >= 0) {
        KVDPosition at{};
        int64_t first = 0, end = 0;
        if (mPixMap != nullptr && mPixMap->PixelToPosition(middle, &at) == KVD_S_OK &&
            mPixMap->GetRecordPixels(at.record, &first, &end) == KVD_S_OK) {
            const ZoomPosition position{middle - first, at.record};
            DoZoomX(GetTicksPerPix(), &position);
        }
    }
    InvalidateAllPanes(true);
}

void DataPane::SetBackgroundColor(uint32_t rgb)
{
    mBackground = rgb;
}

void DataPane::SetTimeDisplayMode(TimeDisplayMode mode)
{
    mTimeMode = mode;
    mLabeler.SetTimeDisplayMode(mode);
    InteractiveObjectContainer::SetTimeDisplayMode(0, mode);
    InvalidateAll(true);
}

void DataPane::InvalidateAll(bool erase)
{
    if (mZoomControl != nullptr)
        mZoomControl->Invalidate();
    if (mScrollBar != nullptr)
        mScrollBar->Invalidate();
    InvalidateAllPanes(erase);
}

void DataPane::InvalidateAllPanes(bool erase)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (mTimeScale != nullptr)
        mTimeScale->Invalidate(erase);
    for (auto& pane : mPanes)
        pane->Invalidate(erase);
}

void DataPane::InvalidateXRange(int pane, int from, int to, int firstLayer, int endLayer)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (pane == -1 || pane == -2)
        mTimeScale->InvalidateXRange(from, to, firstLayer, endLayer, true);
    if (pane == -2)
        for (auto& p : mPanes)
            p->InvalidateXRange(from, to, firstLayer, endLayer, true);
    else if (IsPane(pane))
        mPanes[size_t(pane)]->InvalidateXRange(from, to, firstLayer, endLayer, true);
}

void DataPane::ClearLayersAllPanes()
{
    mTimeScale->ClearLayers();
    for (auto& pane : mPanes)
        pane->ClearLayers();
    InvalidateAllPanes(true);
}

bool DataPane::AnyPanesDirty(int layer) const
{
    auto dirty = [layer](const ChildPaneBase& pane) {
        for (int i = 0; i < kLayerCount; ++i)
            if ((layer == -1 || layer == i) && !pane.GetLayer(i).IsDirtyEmpty())
                return true;
        return false;
    };
    if (dirty(*mTimeScale))
        return true;
    return std::any_of(mPanes.begin(), mPanes.end(), [&](const auto& p) { return dirty(*p); });
}

HRESULT DataPane::SetReferenceDC(TDC& dc)
{
    DrawPrintableBase::SetReferenceDC(dc);
    mCommentExtension = -1;
    mTimeScale->OnSetReferenceDC(dc);
    return KVD_S_OK;
}

HRESULT DataPane::ClearReferenceDC()
{
    DrawPrintableBase::ClearReferenceDC();
    mCommentExtension = -1;
    mTimeScale->OnClearReferenceDC();
    return KVD_S_OK;
}

// ---- Comments ----

HRESULT DataPane::OnCommentsEvent(uint32_t aspect, IOrrelComment* comment)
{
    DrawNewComment(aspect, comment);
    return KVD_S_OK;
}

int DataPane::GetCommentLeftExtension()
{
    if (mCommentExtension >= 0)
        return mCommentExtension;
    int widest = 0;
    for (int i = 0; i < mTimeScale->DrawerCount(); ++i) {
        unsigned flags = 0;
        int left = 0;
        if (mTimeScale->Drawer(i)->GetInfo(0, &flags, &left, nullptr, ReferenceDC()) == KVD_S_OK &&
            (flags & DrawerInfo::kMarker) != 0)
            widest = std::max(widest, left);
    }
    return mCommentExtension = widest;
}

void DataPane::DrawNewComment(uint32_t, IOrrelComment* comment)
{
    if (comment == nullptr || DataWidth() <= 0 || mPixMap == nullptr)
        return;
    int32_t channel = kAllChannelsComment;
    KVDPosition position{};
    if (comment->GetChannel(&channel) != KVD_S_OK || comment->GetPosition(&position) != KVD_S_OK)
        return;
    int pane = -2;
    if (channel != kAllChannelsComment) {
        pane = -1;
        for (int i = 0; i < ChannelPaneCount() && pane < 0; ++i)
            if (mPanes[size_t(i)]->Channel().channel == channel)
                pane = i;
        if (pane < 0)
            return;
    }
    double column = 0;
    if (mPixMap->PositionToColumn(0, position.record, position.tick, &column) != KVD_S_OK)
        return;
    const int e = GetCommentLeftExtension();
    const int64_t x = int64_t(column) - GetLeftColumn() + GetPaneBorderW();
    if (x < GetPaneBorderW() - e || x >= mRect.right - GetPaneBorderW() + e)
        return;
    // The comment layers: 5 and 6.
    InvalidateXRange(pane, int(x - e), int(x + e), 5, 7);
}

// ---- Relays from the channel panes ----

void DataPane::OnEndDrag(int pane, long side, DragScaleDragType type, IDragScale* scale)
{
    const TChannelId channel = IsPane(pane) ? mPanes[size_t(pane)]->Channel() : kNoChannel;
    if (endDragHook) {
        endDragHook(channel, side, type, scale);
        return;
    }
    uint64_t args[1] = {ChannelArgument(channel)};
    NotifyObservers(EndDragEventId::GetId(), args);
}

void DataPane::OnAutoScaleCommand(TChannelId channel, long id)
{
    if (autoScaleHook) {
        autoScaleHook(channel, id);
        return;
    }
    uint64_t args[1] = {ChannelArgument(channel)};
    NotifyObservers(AutoScaleEventId::GetId(), args);
}

void DataPane::OnPaneScalingChanged()
{
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnScalingChanged(); });
}

void DataPane::OnUnitsFound(bool left, bool right, const KVD::String& leftUnits, const KVD::String& rightUnits)
{
    uint64_t args[4] = {left, right, uint64_t(uintptr_t(&leftUnits)), uint64_t(uintptr_t(&rightUnits))};
    NotifyObservers(UnitsFoundEventId::GetId(), args);
    NotifyObservers(UnitsShownEventId::GetId(), args);
}

int DataPane::GetNumLanes() const
{
    return mLanes != nullptr ? mLanes->GetNumLanes() : ChannelPaneCount();
}

void DataPane::SetNumLanes(int count)
{
    if (mLanes != nullptr)
        mLanes->SetNumLanes(count);
    else
        SetNumberOfChannelPanes(count);
}

void DataPane::SetMessageHandler(IMessageHandler* handler, ViewId view)
{
    mSender.SetDestination(handler, false);
    mView = view;
}

HRESULT DataPane::SendGuidelineMessage(TChannelId channel, KVDPosition position)
{
    if (GetMessageHandler() == nullptr || mView == 0)
        return KVD_E_BADSTATE;
    const GuidelineMsg message(kGuidelineMsgKind, channel.channel, position.tick, position.record);
    mSender.SendMsg(GetMessageHandler(), message, mView, 0);
    return KVD_S_OK;
}

}  // namespace OrrelDraw
