#include "trace/DataPane.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "foundation/numeric/Step125.h"
#include "foundation/XKVD.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

namespace {

constexpr unsigned kPaneVersion = 2;
constexpr unsigned kObjectVersion = 2;
constexpr uint32_t kAllNeeds = 0xFFFFFFFFu;
constexpr uint32_t kFirstPaneFlag = 0x80000000u;
constexpr int64_t kPeriodicMs = 301;

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// offset × ratio truncated, exact for any offset a record's pixels reach.
int64_t ScaleExact(int64_t offset, const TicksPerPix& ratio)
{
    return int64_t(__int128(offset) * ratio.numerator() / ratio.denominator());
}

}  // namespace

DataPane::DataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                   uint32_t controlFlags, uint32_t needsUpdateFlags, uint32_t miscFlags, Clock clock)
    : mClock(clock ? std::move(clock) : Clock(SteadyMilliseconds)),
      mScaleRequest(scaleRequest),
      mPaneFlags(paneFlags),
      mStyle(style),
      mControlFlags(controlFlags),
      mNeedsUpdateFlags(needsUpdateFlags),
      mMiscFlags(miscFlags)
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
    if (iid == IID_ISubject)
        *out = static_cast<ISubject*>(this);
    else
        *out = iid == IID_IUnknown || iid == IID_IDrawerDataPane ? static_cast<IDrawerDataPane*>(this) : nullptr;
    if (*out == nullptr)
        return KVD_E_NOINTERFACE;
    AddRef();
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
    const int left = int(mLeftScaleWidth * PixelRatioX());
    const int right = int(mRightScaleWidth * PixelRatioX());
    TSize zoom;
    if (mZoomControl != nullptr)
        mZoomControl->GetSize(&zoom);
    PositionWindow(rect.left + left, rect.top, std::max(0, rect.Width() - left - right), rect.Height() - zoom.cy,
                   true);
}

// ---- Record and panes ----

void DataPane::SetRecordData(unsigned number, IRecordData* record, const int64_t* rightEdge)
{
    mRecordOpen = false;
    mUserScrolling = false;
    mRecord = record;
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

// ---- Layout ----

int DataPane::TimeScaleHeight() const
{
    return mTimeScale->LabelHeight();
}

void DataPane::PlacePane(ChildPaneBase& pane, const TRect& rect, uint32_t flags, int border)
{
    const double ratio = PixelRatioX();
    pane.SetPositionInfo(flags, TPoint(rect.left, rect.top), rect, int(mLeftScaleWidth * ratio),
                         int(mRightScaleWidth * ratio), border);
}

void DataPane::PositionChannelPanes()
{
    const int n = ChannelPaneCount();
    if (n == 0)
        return;
    if (mTops != nullptr && mHeights != nullptr && int(mTops->size()) == n && int(mHeights->size()) == n) {
        SetPanePositions(mTops, mHeights);
        return;
    }
    const int W = GetPaneBorderW(), B = GetPaneBorderH(), R = mRect.right, H = mRect.bottom;
    const int reserve = -(TimeScaleHeight() + 2 * B);
    const double h = double(H + reserve - 2 * B * n) / n;
    double y = B;
    for (int i = 0; i < n; ++i) {
        const int bottom = i == n - 1 ? H + reserve - B : int(y + h + 0.5);
        PlacePane(*mPanes[size_t(i)], TRect(W, int(y), R - W, bottom), i == 0 ? kFirstPaneFlag : 0, W);
        y = y + int(h) + 2 * B;
    }
    PlacePane(*mTimeScale, TRect(W, int(y), R - W, H - B), 0, W);
}

void DataPane::SetPanePositions(std::shared_ptr<std::vector<int>> tops, std::shared_ptr<std::vector<int>> heights)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    const int W = GetPaneBorderW(), B = GetPaneBorderH(), R = mRect.right, H = mRect.bottom;
    const int reserve = -(TimeScaleHeight() + 2 * B) - 1;
    mTops = std::move(tops);
    mHeights = std::move(heights);
    const int n = ChannelPaneCount();
    int lastBottom = 0;
    bool flagged = false;
    for (int i = 0; i < n && size_t(i) < mTops->size() && size_t(i) < mHeights->size(); ++i) {
        const int top = (*mTops)[size_t(i)];
        const int height = (*mHeights)[size_t(i)];
        int bottom = int(top + height + 0.5);
        if (i == n - 1)
            bottom = height == 0 ? top : H + reserve;
        const TRect rect(1, top, R - W, bottom);
        uint32_t flags = 0;
        if (!flagged && top < bottom && R > 2 * W) {
            flags = kFirstPaneFlag;
            flagged = true;
        }
        PlacePane(*mPanes[size_t(i)], rect, flags, 1);
        CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetChannelPanePosition(i, rect); });
        lastBottom = bottom;
    }
    const int timeTop = lastBottom + B + (IsNonInteractiveMode() ? int(B * 0.5) : 0);
    PlacePane(*mTimeScale, TRect(1, timeTop, R - W, H - B), 0, 1);
    mLayoutChanged = true;
    Invalidate(false);
}

void DataPane::PositionScrollAndZoomControls()
{
    if (mZoomControl == nullptr)
        return;
    TSize zoom;
    mZoomControl->GetSize(&zoom);
    const int W = GetPaneBorderW();
    // The controls live beside the window: its origin places them.
    const int x = mOrigin.x, top = mOrigin.y + mRect.bottom + 2 * GetPaneBorderH(), bottom = top + zoom.cy;
    const int zoomLeft = mRect.right - W - zoom.cx;
    if (zoomLeft < W && DataWidth() < zoom.cx)
        mZoomControl->SetPosition(TRect(0, 0, 0, 0));
    else
        mZoomControl->SetPosition(TRect(x + zoomLeft, top, x + mRect.right - W, bottom));
    if (mScrollBar != nullptr)
        mScrollBar->SetPosition(TRect(x + W, top, x + std::max(W, zoomLeft), bottom));
}

int DataPane::HitTestChannelPane(const TPoint& p) const
{
    const int W = GetPaneBorderW();
    constexpr int kNone = int(0x80000000u);
    if (p.x < W || p.x >= mRect.right - W || p.y < 0 || p.y >= mRect.bottom)
        return kNone;
    if (mTimeScale->HitTest(p))
        return -1;
    for (int i = 0; i < ChannelPaneCount(); ++i)
        if (mPanes[size_t(i)]->HitTest(p))
            return i;
    return kNone;
}

// ---- Paint ----

bool DataPane::OnPrePaint()
{
    if (mPixMap == nullptr)
        return false;
    uint32_t mapNeeds = 0;
    mPixMap->GetNeedsUpdate(&mapNeeds);
    const uint32_t needs = mPendingNeeds | mapNeeds;
    if (needs == 0)
        return false;
    if ((needs & kRevertBits) != 0)
        Revert(needs);
    for (int i = 0; i < ChannelPaneCount(); ++i) {
        if (mLeftAutoScale.test(unsigned(i)))
            mPanes[size_t(i)]->DoAutoScale(kScaleLeft);
        if (mRightAutoScale.test(unsigned(i)))
            mPanes[size_t(i)]->DoAutoScale(kScaleRight);
    }
    mLeftAutoScale.clear();
    mRightAutoScale.clear();
    mPixMap->AcknowledgeNeedsUpdate(mapNeeds);
    mPendingNeeds = 0;
    return true;
}

void DataPane::MarkAutoScale(int pane, int side)
{
    (side == kScaleLeft ? mLeftAutoScale : mRightAutoScale).set_range(unsigned(pane), unsigned(pane) + 1);
}

void DataPane::DrawAsEmpty(TDC& dc)
{
    const TBrush brush(ColourFromRgb(mBackground));
    if (mPanes.empty()) {
        dc.FillRect(0, 0, mRect.right, mRect.bottom, brush);
        return;
    }
    const TRect& time = mTimeScale->GetPaneRect();
    dc.FillRect(time.left, time.top, time.right, time.bottom, brush);
    for (auto& pane : mPanes) {
        const TRect& r = pane->GetPaneRect();
        dc.FillRect(r.left, r.top, r.right, r.bottom, brush);
    }
}

void DataPane::OnPaint(TDC& dc, const TRect& rect)
{
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return;
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnBeforePaint(); });
    int first = rect.right, last = rect.left;
    auto span = [&](ChildPaneBase& pane) {
        int from = 0, to = 0;
        pane.CalcDirtyRect(&rect, 0, &from, &to, &dc);
        pane.DrawBorderIfNeeded(dc, rect);
        if (from < to) {
            first = std::min(first, from);
            last = std::max(last, to);
        }
    };
    span(*mTimeScale);
    for (auto& pane : mPanes)
        span(*pane);
    if (first < last)
        DrawData(dc, 0, rect, first, last);
    ExecuteActionIfPermitted(kActionPaint, [&](IKVDInteractiveCpp& object) { object.OnPaint(dc, rect); });
    mSizeChanged = false;
    if (paintOverlayHook) {
        const int W = GetPaneBorderW();
        TRect area(W, 0, mRect.right - W, mRect.bottom);
        if (mLatestBmpOffset > 1)
            area.left = mRect.right - W - mLatestBmpOffset;
        paintOverlayHook(dc, area, mPixMap, [this] { Invalidate(true); });
    }
}

void DataPane::DrawData(TDC& dc, uint32_t flags, const TRect& rect, int first, int last)
{
    const int W = GetPaneBorderW(), R = mRect.right;
    const int64_t start = std::max<int64_t>(0, mRightEdge - (R - W - first));
    const int64_t end = std::min(TotalPixels(), mRightEdge - (R - W - last));
    int latestBlock = -1;
    if (mSampling && mRecord != nullptr) {
        int count = 0;
        mRecord->GetRecordCount(&count);
        latestBlock = count - 1;
    }
    KVD::Bitset layers;
    layers.set_range(0, kLayerCount);
    KVDPosition at{};
    const bool drawable = !mPanes.empty() && mPixMap != nullptr && mPixMap->PixelToPosition(start, &at) == KVD_S_OK;
    if (!drawable) {
        DrawAsEmpty(dc);
    } else {
        const int64_t leftColumn = GetLeftColumn();
        for (int64_t column = start; column < end;) {
            if (mPixMap->PixelToPosition(column, &at) != KVD_S_OK)
                break;
            int64_t blockFirst = 0, blockEnd = 0;
            mPixMap->GetRecordPixels(at.record, &blockFirst, &blockEnd);
            const int64_t stop = std::min(blockEnd, end);
            const uint32_t drawFlags = (at.record == latestBlock ? 0x82000000u : 0x0A000000u) | flags;
            double secsPerTick = 0;
            mPixMap->GetRecordSecsPerTick(at.record, &secsPerTick);
            const TicksPerPix ticks = GetTicksPerPix();
            const double secsPerPixel = double(ticks.numerator()) / double(ticks.denominator()) * secsPerTick;
            mLabeler.CalcTickIntervalsFloat(secsPerPixel, 72.0 / 25.4 * PixelRatioX(), mTimeScale->LabelWidth(&dc),
                                            false);
            const KVDDataTimeInfo time{{0, 0, 0, 0, 0}, mTimeMode};
            mLabeler.SetTickPosSecs(double(column - blockFirst) * secsPerPixel, time, secsPerPixel, &dc);
            const CGraticuleInfo plan = mLabeler;
            const int x = W + int(column - leftColumn);
            const TPixPosition pix{column - blockFirst, at.record};
            auto draw = [&](ChildPaneBase& pane) {
                const TRect& r = pane.GetPaneRect();
                const TRect clip(std::max<int>(x, rect.left), std::max(r.top, rect.top),
                                 std::min<int>(x + int(stop - column), rect.right), std::min(r.bottom, rect.bottom));
                if (clip.left < clip.right && clip.top < clip.bottom)
                    pane.DrawInRecord(&dc, column, stop, pix, x, &clip, drawFlags, &plan, &time, layers);
            };
            draw(*mTimeScale);
            for (auto& pane : mPanes)
                draw(*pane);
            column = stop;
        }
    }
    const uint32_t done = mSampling ? 0u : 0x80000000u;
    mTimeScale->OnDrawingDone(done);
    for (auto& pane : mPanes)
        pane->OnDrawingDone(done);
}

// ---- Geometry ----

TicksPerPix DataPane::GetTicksPerPix() const
{
    if (mPixMap == nullptr)
        return TicksPerPix(10, 1);
    int64_t n = 10, d = 1;
    mPixMap->GetTicksPerPixel(&n, &d);
    return TicksPerPix(n, d);
}

double DataPane::GetSecPerPix() const
{
    const TicksPerPix ticks = GetTicksPerPix();
    double secsPerTick = 0;
    KVDPosition at{};
    if (mPixMap == nullptr || mPixMap->PixelToPosition(std::max<int64_t>(0, mRightEdge - 1), &at) != KVD_S_OK ||
        mPixMap->GetRecordSecsPerTick(at.record, &secsPerTick) != KVD_S_OK)
        return 0.0;
    return double(ticks.numerator()) / double(ticks.denominator()) * secsPerTick;
}

void DataPane::SetTicksPerPix(const TicksPerPix& ticks)
{
    mTicksPerPix = ticks;
    if (mPixMap != nullptr)
        mPixMap->SetTicksPerPixel(ticks.numerator(), ticks.denominator());
    if (mZoomControl != nullptr)
        mZoomControl->SetCompressionDisplay(ticks);
}

int64_t DataPane::TotalPixels() const
{
    int64_t total = 0;
    if (mPixMap != nullptr)
        mPixMap->GetTotalPixels(&total);
    return total;
}

HRESULT DataPane::GetVisibleRegion(int, KVDPosition* first, KVDPosition* last)
{
    if (mPixMap == nullptr)
        return KVD_E_POINTER;
    if (first == nullptr || last == nullptr)
        return KVD_E_NULLOUT;
    const int64_t total = TotalPixels();
    if (total == 0)
        return KVD_S_FALSE;
    const int64_t right = std::min(mRightEdge, total);
    if (mPixMap->PixelToPosition(std::max<int64_t>(0, GetLeftColumn()), first) != KVD_S_OK)
        return KVD_S_FALSE;
    int32_t record = 0;
    double tick = 0;
    if (mPixMap->ColumnToPosition(kPixMapEndColumn, double(right), &record, &tick) != KVD_S_OK)
        return KVD_S_FALSE;
    *last = KVDPosition{uint32_t(tick), record};
    if (first->record > last->record || (first->record == last->record && first->tick >= last->tick))
        return KVD_S_FALSE;
    return KVD_S_OK;
}

// ---- Scrolling ----

void DataPane::ViewNotice(const ViewHook& hook)
{
    if (!hook && !viewChangeHook)
        return;
    KVDPosition at{};
    double secsPerTick = 0;
    if (mPixMap == nullptr || mPixMap->PixelToPosition(std::max<int64_t>(0, mRightEdge - 1), &at) != KVD_S_OK)
        return;
    mPixMap->GetRecordSecsPerTick(at.record, &secsPerTick);
    const TicksPerPix ticks = GetTicksPerPix();
    const double ratio = double(ticks.numerator()) / double(ticks.denominator());
    const double seconds = at.tick * secsPerTick;
    if (hook)
        hook(0, ratio, at.record, seconds);
    if (viewChangeHook)
        viewChangeHook(0, ratio, at.record, seconds);
}

void DataPane::OnScrollXNotice()
{
    ViewNotice(scrollHook);
    if (scrolledHook)
        scrolledHook(0);
}

void DataPane::OnZoomXNotice()
{
    ViewNotice(zoomHook);
}

void DataPane::DoEndScrollX(bool notify)
{
    mUserScrolling = false;
    if (notify)
        OnScrollXNotice();
}

void DataPane::DoScrollX(unsigned code, double amount)
{
    if (mScrollBar == nullptr)
        return;
    mUserScrolling = true;
    if (code == ScrollCode::kEndScroll) {
        DoEndScrollX(true);
        return;
    }
    tagSCROLLINFO info;
    info.mask = ScrollMask::kDisableNoScroll | ScrollMask::kPosition | ScrollMask::kTrackPosition;
    mScrollBar->GetScrollInfo(&info);
    const int last = info.max - DataWidth() / mPixelsPerUnit;
    double position = info.position;
    switch (code) {
    case ScrollCode::kLast: position = last; break;
    case ScrollCode::kLineRight: position += mScrollBar->GetLineMagnitude() * amount; break;
    case ScrollCode::kLineLeft: position -= mScrollBar->GetLineMagnitude() * amount; break;
    case ScrollCode::kPageRight: position += mScrollBar->GetPageMagnitude() * amount; break;
    case ScrollCode::kPageLeft: position -= mScrollBar->GetPageMagnitude() * amount; break;
    case ScrollCode::kTrack: position = info.trackPosition; break;
    case ScrollCode::kFirst: position = info.min; break;
    default: break;
    }
    const int target = int(std::clamp<double>(position, info.min, std::max(info.min, last)));
    {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        if (mSampling) {
            if (target == last)
                OnOnlineAutoScrollEnable(true, true);
            else if (IsOnlineAutoScrollX())
                OnOnlineAutoScrollEnable(false, true);
        }
        tagSCROLLINFO set;
        set.mask = ScrollMask::kPosition;
        set.position = target;
        mScrollBar->SetScrollInfo(&set, code != ScrollCode::kTrack);
        const int64_t old = mRightEdge;
        mRightEdge = std::min(TotalPixels(), int64_t(DataWidth()) + int64_t(mPixelsPerUnit) * target);
        ScrollXAllPanes(old - mRightEdge, 0);
        if (code != ScrollCode::kTrack)
            mUserScrolling = false;
    }
    if (scrolledHook)
        scrolledHook(0);
}

void DataPane::ScrollXAllPanes(long long pixels, OnScrollFlags flags)
{
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnBeforeScroll(); });
    if (std::llabs(pixels) <= DataWidth()) {
        mTimeScale->ScrollX(int(pixels), false, false);
        for (auto& pane : mPanes)
            pane->ScrollX(int(pixels), false, false);
    } else {
        InvalidateAllPanes(true);
    }
    if (mDisplayMode != 1)
        SetYScaleUnits();
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnScroll(pixels, flags); });
    OnScrollXNotice();
}

void DataPane::ScrollToPosition(KVDPosition position, int where)
{
    double column = 0;
    if (mPixMap == nullptr || mPixMap->PositionToColumn(0, position.record, position.tick, &column) != KVD_S_OK)
        return;
    const int64_t pixel = int64_t(column);
    const int64_t x = pixel - GetLeftColumn();
    const int width = DataWidth();
    const int64_t old = mRightEdge;
    const bool middle = where == 1 || where == 3 || (where == 0 && !(0 < x && x < width));
    if (where == 0 && 0 < x && x < width)
        return;
    mRightEdge = middle ? pixel + width - width / 2 : pixel + width;
    LimitRightEdgeVPix();
    UpdateScrollBar();
    ScrollXAllPanes(old - mRightEdge, 0);
}

void DataPane::SetLeftEdgePosition(KVDPosition position)
{
    ScrollToPosition(position, 2);
}

void DataPane::OnScrollToEnd()
{
    if (scrollToEndHook)
        scrollToEndHook(true);
    mAutoScrollChoice = true;
    ScrollToRightMostPixel();
    SetOnlineAutoScrollEnable(true, true);
}

void DataPane::ScrollToRightMostPixel()
{
    const int64_t old = mRightEdge;
    mRightEdge = TotalPixels();
    ScrollXAllPanes(old - mRightEdge, 0);
    UpdateScrollBar();
}

void DataPane::OnOnlineAutoScrollEnable(bool on, bool notify)
{
    if (notify && on != mAutoScrollChoice && autoScrollChangedHook)
        autoScrollChangedHook(on);
    mAutoScrollChoice = on;
}

void DataPane::SetOnlineAutoScrollEnable(bool on, bool notify)
{
    OnOnlineAutoScrollEnable(on, notify);
    if (mZoomControl != nullptr)
        mZoomControl->SetOnlineAutoScrollControl(on);
}

void DataPane::LimitRightEdgeVPix()
{
    mLatestBmpOffset = DataWidth();
    InvalidateAllPanes(true);
    const int64_t total = TotalPixels();
    mRightEdge = std::min(mRightEdge, total);
    mRightEdge = std::max(mRightEdge, std::min<int64_t>(DataWidth(), total));
}

void DataPane::UpdateScrollBar()
{
    if (mScrollBar != nullptr) {
        const int64_t total = TotalPixels();
        const int width = DataWidth();
        if (total > width && width > 0 && mPixMap != nullptr) {
            mPixelsPerUnit = int((total + 1) / (int64_t(1) << 31) + 1);
            const int q = 5 * width / mPixelsPerUnit;
            mScrollBar->SetPageMagnitude(std::max(1, q / 8));
            mScrollBar->SetLineMagnitude(std::max(1, q / 128));
            tagSCROLLINFO info;
            info.mask = 0x1E;
            info.min = 0;
            info.max = int(total / mPixelsPerUnit);
            info.page = unsigned(width / mPixelsPerUnit);
            info.position = int((mRightEdge - width) / mPixelsPerUnit);
            mScrollBar->SetScrollInfo(&info, true);
            mScrollBar->SetEnabled(true);
        } else {
            mScrollBar->SetEnabled(false);
        }
    }
    if (mZoomControl != nullptr)
        mZoomControl->UpdateScrollButtonFlashingState(mAutoScrollChoice);
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnScrollBarUpdated(); });
    if (scrolledHook)
        scrolledHook(0);
}

// ---- Zooming ----

bool DataPane::ZoomStep(bool zoomIn, TicksPerPix* next) const
{
    const TicksPerPix current = GetTicksPerPix();
    double value = double(current.numerator()) / double(current.denominator());
    if (zoomIn ? value <= kMinTicksPerPix : value >= kMaxTicksPerPix)
        return false;
    zoomIn ? dec125(&value) : inc125(&value);
    int n = 1, d = 1;
    KVD::DoubleToRational(value, n, d);
    *next = TicksPerPix(n, d);
    next->normalize();
    return true;
}

void DataPane::OnZoomXStep(bool zoomIn)
{
    TicksPerPix next;
    if (ZoomStep(zoomIn, &next))
        OnZoomX(next, nullptr, true);
}

void DataPane::OnZoomX(const TicksPerPix& ticks, const int* pivot, bool notify)
{
    const TicksPerPix old = GetTicksPerPix();
    if (ticks == old)
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        if (IsOnlineAutoScrollX()) {
            DoZoomX(ticks, nullptr);
        } else {
            const int W = GetPaneBorderW(), R = mRect.right, width = DataWidth();
            // The column DoZoomX puts at the middle, so that a pivot keeps its data exactly.
            const double m = R - W - (width + 1) / 2;
            TicksPerPix ratio = old;
            ratio /= ticks;
            const double factor = double(ratio.numerator()) / double(ratio.denominator());
            double x = m;
            if (pivot != nullptr)
                x = *pivot - (*pivot - m) / factor;
            else if (factor > 1 && GetLeftColumn() <= 0)
                x = W;
            else if (factor > 1 && mRightEdge >= TotalPixels())
                x = R - W;
            const int64_t pixel = mRightEdge - (R - W - int64_t(std::floor(x + 0.5)));
            ZoomPosition position{0, 0};
            bool have = true;
            if (pixel >= 0) {
                KVDPosition at{};
                int64_t first = 0, end = 0;
                have = mPixMap != nullptr && mPixMap->PixelToPosition(pixel, &at) == KVD_S_OK &&
                       mPixMap->GetRecordPixels(at.record, &first, &end) == KVD_S_OK;
                position = ZoomPosition{pixel - first, at.record};
            }
            if (position.offset > 0)
                position.offset = ScaleExact(position.offset, ratio);
            DoZoomX(ticks, have ? &position : nullptr);
        }
    }
    if (notify)
        OnZoomXNotice();
}

void DataPane::DoZoomX(const TicksPerPix& ticks, const ZoomPosition* position)
{
    SetTicksPerPix(ticks);
    int64_t first = 0, end = 0;
    if (position == nullptr || IsOnlineAutoScrollX() || mPixMap == nullptr ||
        mPixMap->GetRecordPixels(position->block, &first, &end) != KVD_S_OK)
        mRightEdge = TotalPixels();
    else
        mRightEdge = first + position->offset + (DataWidth() + 1) / 2;
    Revert(kRevertBits);
}

void DataPane::OnMouseWheel(unsigned flags, int delta, const TPoint& point)
{
    mWheelTotal += delta;
    if (std::abs(delta) < 120)
        return;
    const int notches = std::abs(delta) / 120;
    if ((flags & kWheelZoomFlag) == 0) {
        if (mScrollBar != nullptr && mScrollBar->IsEnabled()) {
            const int64_t now = Now();
            const int64_t elapsed = now - mLastWheel;
            // Back-to-back notches (no time between them) scroll at the fastest rate.
            const double rate = elapsed <= 0 ? 100.0 : std::clamp(1000.0 / double(elapsed), 1.0, 100.0);
            mLastWheel = now;
            DoScrollX(delta < 0 ? ScrollCode::kLineRight : ScrollCode::kLineLeft, notches * rate * 0.25 * 0.125);
        }
    } else if (mDisplayMode != 1) {
        TicksPerPix next;
        if (ZoomStep(delta > 0, &next)) {
            const int x = point.x;
            OnZoomX(next, &x, true);
        }
    }
    // The notches taken leave the total.
    mWheelTotal -= (delta > 0 ? 120 : -120) * notches;
}

void DataPane::Revert(uint32_t flags)
{
    for (auto& pane : mPanes)
        pane->OnBeginRevert(flags);
    mTimeScale->OnBeginRevert(flags);
    LimitRightEdgeVPix();
    UpdateScrollBar();
    if ((flags & 0x80000000u) != 0)
        SetYScaleUnits();
    mTimeScale->Revert(flags);
    for (size_t i = 0; i < mPanes.size(); ++i) {
        KVD::COMPtr<ChannelPane> held = mPanes[i];
        held->Revert(flags);
    }
    CallOnObjects([](IKVDInteractiveCpp& object) { object.Revert(0); });
    if (mZoomControl != nullptr)
        mZoomControl->Invalidate();
    if (mScrollBar != nullptr)
        mScrollBar->Invalidate();
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    InvalidateAllPanes(true);
}

// ---- Menus and commands ----

void DataPane::OnInitMenuPopup(TMenuSink& menu, int first, int last)
{
    menu.DeleteAll();
    if (mZoomControl == nullptr)
        return;
    const TicksPerPix current = GetTicksPerPix();
    for (int id = first; id < last; ++id) {
        const TicksPerPix value = mZoomControl->CommandIdToCompression(id);
        menu.Append(mZoomControl->CalcCompressionDisplay(value), value == current ? 24u : 16u, id);
    }
}

void DataPane::OnCommand(int type, int id)
{
    if (type == 1 && mZoomControl != nullptr)
        OnZoomX(mZoomControl->CommandIdToCompression(id), nullptr, true);
}

// ---- Mouse and timers ----

void DataPane::OnLButtonDown(unsigned flags, const TPoint& point)
{
    ExecuteActionIfPermitted(kActionLeftButtonDown,
                             [&](IKVDInteractiveCpp& object) { object.OnLButtonDown(flags, point); });
}

void DataPane::OnLButtonUp(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnLButtonUp(flags, point); });
}

void DataPane::OnRButtonDown(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnRButtonDown(flags, point); });
}

void DataPane::OnRButtonUp(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnRButtonUp(flags, point); });
}

void DataPane::OnMouseMove(unsigned flags, const TPoint& point)
{
    ExecuteActionIfPermitted(kActionMouseMove, [&](IKVDInteractiveCpp& object) { object.OnMouseMove(flags, point); });
}

void DataPane::OnLButtonDblClk(unsigned flags, const TPoint& point)
{
    bool handled = false;
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnLButtonDblClk(flags, point, &handled); });
}

void DataPane::OnMouseLeave()
{
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnMouseLeave(); });
}

void DataPane::OnTimer(unsigned id)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnTimer(id); });
}

// ---- Online sink ----

HRESULT DataPane::CanSample(KVD::String* message) const
{
    if (message != nullptr)
        *message = KVD::String();
    return KVD_S_OK;
}

HRESULT DataPane::PrepareForSampling(unsigned block)
{
    if (mPixMap == nullptr || (mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    mSampling = true;
    mFirstUpdate = true;
    InvalidateAllPanes(true);
    mSamplingStartPixels = TotalPixels();
    mTimeScale->PrepareForSampling(block);
    for (auto& pane : mPanes)
        pane->PrepareForSampling(block);
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.PrepareForSampling(block); });
    if ((mPaneFlags & PaneFlag::kNoAutoScrollOnSampling) == 0)
        mAutoScrollChoice = true;
    if (mZoomControl != nullptr)
        mZoomControl->SetOnlineAutoScrollControl(mAutoScrollChoice);
    SetYScaleUnits();
    if (mRadarMode && IsOnlineAutoScrollX() && mDisplayMode != 1)
        ScrollToRightMostPixel();
    return KVD_S_OK;
}

HRESULT DataPane::OnRecordStart(unsigned block, AutoBool recordFlag)
{
    if (mPixMap == nullptr || (mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    mRecordOpen = true;
    mSamplingBlock = block;
    mRecordFlag = recordFlag;
    mTimeScale->OnRecordStart(block, recordFlag);
    for (auto& pane : mPanes)
        pane->OnRecordStart(block, recordFlag);
    if (recordStartHook)
        recordStartHook(block, recordFlag);
    mRecordStartTime = Now();
    return KVD_S_OK;
}

HRESULT DataPane::Update(unsigned block)
{
    if (mPixMap == nullptr || (mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    const int64_t total = TotalPixels();
    mFirstUpdate = false;
    const int width = DataWidth();
    if (mSampling) {
        const int64_t old = mRightEdge;
        if (total < width || IsOnlineAutoScrollX())
            mRightEdge = total;
        int64_t shift = mRightEdge - old;
        if (shift <= width && width > 0) {
            mLatestBmpOffset = int((mLatestBmpOffset + std::max<int64_t>(1, shift) - 1) % width + 1);
        } else {
            shift = width;
            mLatestBmpOffset = width;
        }
        long long latest = 0;
        mTimeScale->Update(total, -shift, &latest, 0);
        for (auto& pane : mPanes)
            pane->Update(total, -shift, &latest, 0);
    }
    const int64_t now = Now();
    if ((mMiscFlags & MiscFlag::kNoPeriodicNotice) == 0 && now - mLastPeriodic >= kPeriodicMs) {
        mLastPeriodic = now;
        CallOnObjects([](IKVDInteractiveCpp& object) { object.OnPeriodicUpdate(); });
    }
    UpdateScrollBar();
    if (!IsOnlineAutoScrollX() && mRightEdge < width)
        Revert(kRevertBits);
    if (updateHook)
        updateHook(long(block));
    return KVD_S_OK;
}

HRESULT DataPane::OnRecordEnd(unsigned block, BlockUpdateType* type)
{
    if (mPixMap == nullptr || (mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    mTimeScale->OnRecordEnd(block, type);
    for (auto& pane : mPanes)
        pane->OnRecordEnd(block, type);
    mRecordOpen = false;
    if (mRecordFlag == kAutoFalse && mRightEdge > TotalPixels())
        ScrollToRightMostPixel();
    return KVD_S_OK;
}

HRESULT DataPane::CleanUpAfterSampling(AutoBool flag)
{
    if (mPixMap == nullptr || (mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    mLatestBmpOffset = DataWidth();
    if (mRadarMode && IsOnlineAutoScrollX())
        InvalidateAllPanes(true);
    mSampling = false;
    mTimeScale->CleanUpAfterSampling(flag);
    for (auto& pane : mPanes)
        pane->CleanUpAfterSampling(flag);
    CallOnObjects([](IKVDInteractiveCpp& object) { object.CleanUpAfterSampling(); });
    UpdateScrollBar();
    if (scrolledHook)
        scrolledHook(0);
    return KVD_S_OK;
}

HRESULT DataPane::OnEvent(unsigned id, void* data)
{
    mTimeScale->OnEvent(id, data);
    for (auto& pane : mPanes)
        pane->OnEvent(id, data);
    return KVD_S_OK;
}

// ---- Persistence ----

HRESULT DataPane::Write(IBinOutStream* stream) const
{
    stream->WriteWord32(kPaneVersion);
    stream->WriteWord32(kObjectVersion);
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.Write(stream); });
    for (const auto& pane : mPanes)
        pane->Write(stream);
    return KVD_S_OK;
}

HRESULT DataPane::Read(IBinInStream* stream)
{
    unsigned version = 0;
    stream->ReadWord32(&version);
    if (version > kPaneVersion)
        throw XKVD(int(KVD_E_NEWERVERSION));
    if (version == kPaneVersion) {
        OnRead(stream);
        for (auto& pane : mPanes)
            pane->Read(stream);
    }
    return KVD_S_OK;
}

}  // namespace OrrelDraw
