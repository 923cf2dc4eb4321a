// The data pane's life: construction, its window's set-up, size and placement, the record it
// shows, and its channel panes with their drawers.
#include "trace/DataPane.h"

#include <algorithm>
#include <chrono>

namespace OrrelDraw {

namespace {

constexpr uint32_t kAllNeeds = 0xFFFFFFFFu;

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

DataPane::DataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                   uint32_t controlFlags, uint32_t needsUpdateFlags, uint32_t miscFlags, Clock clock)
    : DataPaneBase(scaleRequest, paneFlags, style, controlFlags, needsUpdateFlags, miscFlags),
      mClock(clock ? std::move(clock) : Clock(SteadyMilliseconds))
{
    mLastWheel = Now();
    if (record != nullptr)
        SetRecordData(0, record, nullptr);
    mTimeScale = new TimeScale(this);
}

DataPane::~DataPane()
{
    // Drawers and scales hold plain pointers back to this pane: let them go first.
    for (auto& pane : mPanes)
        pane->OnCleanupWindow();
    mPanes.clear();
    mTimeScale.Clear();
    ObserveRecord(mRecord, false);
}

uint32_t DataPane::Release()
{
    const uint32_t left = mRefs.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT DataPane::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOnlineDataSink)
        *out = static_cast<IOnlineDataSink*>(this);
    else if (iid == IID_ISubject)
        *out = static_cast<ISubject*>(this);
    else if (iid == IID_IRecordDataObserver)
        *out = static_cast<IRecordDataObserver*>(this);
    else if (iid == IID_ICommentsObserver)
        *out = static_cast<ICommentsObserver*>(this);
    else
        *out = iid == IID_IDrawerDataPane ? static_cast<IDrawerDataPane*>(this) : nullptr;
    if (*out == nullptr)
        return KVD_E_NOINTERFACE;
    AddRef();
    return KVD_S_OK;
}

CAF_DEFINE_RESPONSE_TABLE(DataPane, CAFEventHandlerBase) = {
    TableHeader(),
    TableEnd(),
};

// ---- Copies ----

HRESULT DataPane::CloneEx(DataPane* copy) const
{
    if (copy == nullptr)
        return KVD_E_NULLOUT;
    copy->InitOnCopy(*this);
    copy->SetNumberOfChannelPanes(ChannelPaneCount());
    for (int i = 0; i < ChannelPaneCount(); ++i) {
        for (int d = 0; d < mPanes[size_t(i)]->DrawerCount(); ++d) {
            KVD::COMPtr<IOrrelRecordDrawer> drawer;
            mPanes[size_t(i)]->Drawer(d)->Clone(0, drawer.Set());
            if (drawer != nullptr)
                copy->AddRecordDrawer(i, 0, drawer, 0);
        }
    }
    const int64_t rightEdge = mRightEdge;
    copy->SetRecordData(0, mRecord, &rightEdge);
    copy->SetTicksPerPix(GetTicksPerPix());
    return KVD_S_OK;
}

void DataPane::InitOnCopy(const DataPane& original)
{
    mTicksPerPix = original.GetTicksPerPix();
    mBackground = original.mBackground;
    mScreenPixelRatio = original.mScreenPixelRatio;
    mDisplayMode = original.mDisplayMode;
    mAutoScrollChoice = original.mAutoScrollChoice;
    mRadarMode = original.mRadarMode;
    mMinLeftScaleWidth = original.mMinLeftScaleWidth;
    mMinRightScaleWidth = original.mMinRightScaleWidth;
    mTops = original.mTops;
    mHeights = original.mHeights;
    SetTimeDisplayMode(original.mTimeMode);
}

// ---- Channels of the panes ----

HRESULT DataPane::GetChannelInfo(int pane, TChannelId* channel) const
{
    if (!IsPane(pane) || channel == nullptr)
        return KVD_E_NULLOUT;
    *channel = PaneToChannel(pane);
    return KVD_S_OK;
}

TChannelId DataPane::PaneToChannel(int pane) const
{
    return IsPane(pane) ? mPanes[size_t(pane)]->Channel() : kNoChannel;
}

int32_t DataPane::ChannelToPane(TChannelId channel) const
{
    for (int i = 0; i < ChannelPaneCount(); ++i)
        if (mPanes[size_t(i)]->Channel().channel == channel.channel)
            return i;
    return int32_t(0x80000000u);
}

HRESULT DataPane::GetDraggableRect(int index, TRect* rect) const
{
    if (!IsPane(index) || rect == nullptr)
        return KVD_E_NULLOUT;
    *rect = mPanes[size_t(index)]->GetPaneRect();
    return KVD_S_OK;
}

// ---- Window life ----

void DataPane::OnSetupWindow(void* window, void* parent)
{
    if (mPanes.empty())
        mPanes.emplace_back(CreateChannelPane(0));
    mWindow = window;
    mParent = parent;
    if ((mMiscFlags & (MiscFlag::kNoControls | MiscFlag::kNonInteractive)) == 0) {
        mScrollBar.reset(CreateScrollBar());
        mZoomControl.reset(CreateZoomControlX(mControlFlags));
    }
    SetOnlineAutoScrollEnable(mAutoScrollChoice, true);
    if ((mMiscFlags & MiscFlag::kNoControls) != 0)
        mTimeScale->SetFixedHeight(true, 0);
    else if (mTimeScale->LabelHeight() == 0)
        mTimeScale->InitFont();
    for (int i = 0; i < ChannelPaneCount(); ++i) {
        mPanes[size_t(i)]->OnSetupWindow(window, parent);
        OnCreateChannelPane(i);
    }
    if (mZoomControl != nullptr)
        mZoomControl->SetCompressionDisplay(GetTicksPerPix());
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetRecordDataPixMap(mPixMap); });
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnSetupDone(); });
}

void DataPane::OnCleanupWindow()
{
    for (auto& pane : mPanes)
        pane->OnCleanupWindow();
    mWindow = mParent = nullptr;
}

void DataPane::OnSize(const TSize& size)
{
    mSizeChanged = true;
    mRect.right = size.cx;
    mRect.bottom = size.cy;
    mLatestBmpOffset = DataWidth();
    // A new width changes the scroll range and the right edge's limits.
    mPendingNeeds |= kRevertBits;
    InvalidateAllPanes(true);
    PositionChannelPanes();
    PositionScrollAndZoomControls();
    bool handled = false;
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnSize(mRect, &handled); });
    PositionChannelPanes();
    mLayoutChanged = true;
}

void DataPane::OnMove(const TPoint& point)
{
    mOrigin = point;
}

int DataPane::GetMaxScaleWidth(int side) const
{
    int widest = 0;
    for (const auto& pane : mPanes)
        widest = std::max(widest, side == kScaleLeft ? pane->GetLeftScaleWidth(mScaleRequest)
                                                     : pane->GetRightScaleWidth(mScaleRequest));
    return widest;
}

double DataPane::PixelRatioX() const
{
    double x = 1.0, y = 1.0;
    const_cast<DataPane*>(this)->GetAnyReferenceDCPixelRatio(0, &x, &y);
    return x;
}

void DataPane::SetScalesBoundary(const TRect& rect)
{
    mScalesBoundary = rect;
    if (!mPanes.empty()) {
        mLeftScaleWidth = GetMaxScaleWidth(kScaleLeft);
        mRightScaleWidth = GetMaxScaleWidth(kScaleRight);
    }
    const int left = std::max(mMinLeftScaleWidth, int(mLeftScaleWidth * PixelRatioX()));
    const int right = std::max(mMinRightScaleWidth, int(mRightScaleWidth * PixelRatioX()));
    TSize zoom;
    if (mZoomControl != nullptr)
        mZoomControl->GetSize(&zoom);
    PositionWindow(rect.left + left, rect.top, std::max(0, rect.Width() - left - right), rect.Height() - zoom.cy,
                   true);
}

void DataPane::SetMinScaleWidths(int left, int right)
{
    mMinLeftScaleWidth = left;
    mMinRightScaleWidth = right;
}

// ---- Record and panes ----

void DataPane::SetRecordData(unsigned number, IRecordData* record, const int64_t* rightEdge)
{
    mRecordOpen = false;
    mUserScrolling = false;
    ObserveRecord(mRecord, false);
    mRecord = record;
    // The pane follows whichever record it shows, also one handed to its existing map.
    ObserveRecord(mRecord, true);
    if (record == nullptr) {
        // No record, no map: an old record's pixels would otherwise still be drawn.
        mPixMap.Clear();
        mRightEdge = 0;
    } else if ((number & 0x40000000u) == 0) {
        mPixMap.Clear();
        record->CreatePixMap(number, mPixMap.Set());
        if (mPixMap != nullptr)
            mPixMap->SetTicksPerPixel(mTicksPerPix.numerator(), mTicksPerPix.denominator());
        mRightEdge = rightEdge != nullptr ? *rightEdge : 0;
    } else if (mPixMap != nullptr) {
        mPixMap->SetRecordData(record);
    }
    if (mTimeScale == nullptr)
        return;  // still constructing: the time scale takes the map when made
    for (int i = 0; i < mTimeScale->DrawerCount(); ++i)
        mTimeScale->Drawer(i)->SetRecordDataPixMap(number, mPixMap);
    for (auto& pane : mPanes)
        for (int i = 0; i < pane->DrawerCount(); ++i)
            pane->Drawer(i)->SetRecordDataPixMap(number, mPixMap);
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetRecordDataPixMap(mPixMap); });
    if ((number & 0x40000000u) == 0)
        Revert(0xFF000003u);
}

void DataPane::ObserveRecord(IRecordData* record, bool observe)
{
    KVD::COMPtr<IRecordDataSubject> subject(KVD::com_cast(record));
    if (subject == nullptr)
        return;
    if (observe)
        subject->AttachRecordObserver(this, kObserveAllRecords);
    else
        subject->DetachRecordObserver(this);
}

HRESULT DataPane::OnRecordDataChanged(uint32_t)
{
    {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        if (mPixMap != nullptr)
            mPixMap->SetRecordData(mRecord);
    }
    UpdateScrollBar();
    InvalidateAllPanes(true);
    return KVD_S_OK;
}

ChannelPane* DataPane::CreateChannelPane(int index)
{
    return new ChannelPane(this, index, mPaneFlags, mStyle, 0);
}

void DataPane::OnCreateChannelPane(int index)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetNumberOfChannelPanes(ChannelPaneCount()); });
    ChannelPane& pane = *mPanes[size_t(index)];
    KVD::COMPtr<IScale> left;
    pane.GetLeftScale(0, left.Set());
    pane.SetLeftDragScale(left);
    pane.AdviseScales();
}

void DataPane::OnDestroyChannelPane(int)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetNumberOfChannelPanes(ChannelPaneCount()); });
}

void DataPane::SetNumberOfChannelPanes(int count)
{
    if (count == ChannelPaneCount() || count < 0)
        return;
    while (ChannelPaneCount() > count) {
        const int i = ChannelPaneCount() - 1;
        mPanes.back()->OnCleanupWindow();
        OnDestroyChannelPane(i);
        mPanes.pop_back();
    }
    while (ChannelPaneCount() < count) {
        const int i = ChannelPaneCount();
        mPanes.emplace_back(CreateChannelPane(i));
        if (mWindow != nullptr && mParent != nullptr) {
            mPanes.back()->OnSetupWindow(mWindow, mParent);
            OnCreateChannelPane(i);
        }
    }
    PositionChannelPanes();
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetNumberOfChannelPanes(count); });
    mPendingNeeds = kAllNeeds;
}

HRESULT DataPane::AddRecordDrawer(int pane, unsigned number, IOrrelRecordDrawer* drawer, unsigned flags)
{
    if (pane != -1 && !IsPane(pane))
        return KVD_E_NULLOUT;
    if (drawer == nullptr)
        return KVD_E_POINTER;
    ChildPaneBase& child = pane == -1 ? static_cast<ChildPaneBase&>(*mTimeScale) : *mPanes[size_t(pane)];
    drawer->SetRecordDataPixMap(number, mPixMap);
    const HRESULT hr = child.AddRecordDrawer(flags, drawer, 255);
    if (pane != -1)
        mPendingNeeds = kAllNeeds;
    if (mRecordOpen)
        drawer->OnRecordStart(mSamplingBlock, mRecordFlag);
    child.Invalidate(false);
    return hr;
}

HRESULT DataPane::ClearRecordDrawers(int pane, OrrelDrawerInfoOutFlags flags, TChannelId channel)
{
    if (pane == -1)
        mTimeScale->ClearRecordDrawers(flags, channel);
    else if (IsPane(pane))
        mPanes[size_t(pane)]->ClearRecordDrawers(flags, channel);
    mPendingNeeds = kAllNeeds;
    return KVD_S_OK;
}

}  // namespace OrrelDraw
