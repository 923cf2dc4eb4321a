// The data pane's horizontal geometry: ticks per pixel, scrolling with the scroll bar and the
// wheel, zooming about a pivot, the owner's view notices and the revert that follows a change.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/numeric/Step125.h"
#include "trace/DataPane.h"

namespace OrrelDraw {

namespace {

// offset × ratio truncated, exact for any offset a record's pixels reach.
int64_t ScaleExact(int64_t offset, const TicksPerPix& ratio)
{
    return int64_t(__int128(offset) * ratio.numerator() / ratio.denominator());
}

// The ratio a zoom may take: none for a zero, negative or undefined one; one beyond the limits
// becomes the limit.
bool UsableRatio(const TicksPerPix& ticks, TicksPerPix* usable)
{
    if (ticks.denominator() == 0)
        return false;
    const double value = double(ticks.numerator()) / double(ticks.denominator());
    if (!(value > 0))
        return false;
    if (value < kMinTicksPerPix)
        *usable = TicksPerPix(1, 10);
    else if (value > kMaxTicksPerPix)
        *usable = TicksPerPix(int64_t(kMaxTicksPerPix), 1);
    else
        *usable = TicksPerPix(ticks).normalize();
    return true;
}

}  // namespace

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
    // Taken as given, beyond the zoom limits too; only a ratio of no size is refused.
    if (ticks.denominator() == 0 || !(double(ticks.numerator()) / double(ticks.denominator()) > 0))
        return;
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

void DataPane::OnScrollX()
{
    ViewNotice(scrollHook);
    if (scrolledHook)
        scrolledHook(0);
}

void DataPane::OnZoomX()
{
    ViewNotice(zoomHook);
}

void DataPane::OnNotifyDataPaneUserScroll(bool scrolling)
{
    if (scrolling)
        mUserScrolling = true;
    else
        DoEndScrollX(true);
}

bool DataPane::ShouldControlBeEnabled(int control) const
{
    if (IsNonInteractiveMode() || mPixMap == nullptr)
        return false;
    if (control == PaneControl::kScrollBar)
        return TotalPixels() > DataWidth();
    return control == PaneControl::kZoom;
}

void DataPane::DoEndScrollX(bool notify)
{
    mUserScrolling = false;
    if (notify)
        OnScrollX();
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
    OnScrollX();
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

void DataPane::OnZoomX(const TicksPerPix& wanted, const int* pivot, bool notify)
{
    TicksPerPix ticks;
    if (!UsableRatio(wanted, &ticks))
        return;
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
        OnZoomX();
}

void DataPane::OnZoomXSecPerPix(double secsPerPixel)
{
    KVDPosition at{};
    double secsPerTick = 0;
    if (mPixMap == nullptr || mPixMap->PixelToPosition(std::max<int64_t>(0, mRightEdge - 1), &at) != KVD_S_OK ||
        mPixMap->GetRecordSecsPerTick(at.record, &secsPerTick) != KVD_S_OK || !(secsPerTick > 0))
        return;
    int n = 1, d = 1;
    KVD::DoubleToRational(secsPerPixel / secsPerTick, n, d);
    OnZoomX(TicksPerPix(n, d), nullptr, true);
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

}  // namespace OrrelDraw
