// Where the data pane's child panes and controls go, and how it paints them: the automatic and
// the explicit layout, the pre-paint revert and auto-scale, the block-by-block draw of all
// layers or one, and the copy of layer bitmaps.
#include <algorithm>
#include <cmath>
#include <limits>

#include "IRecordDataTimes.h"
#include "trace/DataPane.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

namespace {

constexpr uint32_t kFirstPaneFlag = 0x80000000u;

}  // namespace

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
    if (first < last) {
        DrawData(dc, 0, rect, first, last);
        if (!AreDrawingOnBitmaps())
            mTimeScale->DrawUnitsText(dc);  // no pane blit writes it
    }
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

KVDTimeDate DataPane::RecordStartTime(int32_t record) const
{
    KVDTimeDate start{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    KVD::COMPtr<IRecordDataTimes> times(KVD::com_cast(mRecord.get()));
    if (times != nullptr && times->GetRecordStartTime(record, &start.mTime, &start.mExtra) != KVD_S_OK)
        start.mTime = start.mExtra = std::numeric_limits<double>::quiet_NaN();
    return start;
}

KVDDataTimeInfo DataPane::TimeInfo(int32_t record) const
{
    // Without a known start, times count from the record's start whatever the mode.
    const KVDTimeDate start = RecordStartTime(record);
    if (!std::isfinite(start.mTime))
        return KVDDataTimeInfo{{0, 0, 0, 0, 0}, mTimeMode};
    // Dates count from the first record's start.
    const KVDTimeDate origin = RecordStartTime(0);
    return KVDDataTimeInfo{{start.mTime, start.mExtra, origin.mTime, origin.mExtra, 0}, mTimeMode};
}

void DataPane::DrawData(TDC& dc, uint32_t flags, const TRect& rect, int first, int last)
{
    KVD::Bitset layers;
    layers.set_range(0, kLayerCount);
    DrawLayers(dc, flags, rect, first, last, layers);
}

void DataPane::DrawLayer(TDC& dc, int layer, const TRect& rect)
{
    if (layer < 0 || layer >= kLayerCount || rect.left >= rect.right)
        return;
    KVD::Bitset layers;
    layers.set_range(unsigned(layer), unsigned(layer) + 1);
    DrawLayers(dc, 0, rect, rect.left, rect.right, layers);
}

bool DataPane::BltBitMaps(TDC& dc, const TRect& rect)
{
    bool any = false;
    auto blt = [&](ChildPaneBase& pane) {
        const std::shared_ptr<TDC>& buffer = pane.GetLayer(0).buffer;
        const TRect& r = pane.GetPaneRect();
        const TRect part(std::max(r.left, rect.left), std::max(r.top, rect.top), std::min(r.right, rect.right),
                         std::min(r.bottom, rect.bottom));
        if (buffer == nullptr || part.left >= part.right || part.top >= part.bottom)
            return;
        dc.BitBlt(part, *buffer, TPoint(part.left, part.top), 0);
        any = true;
    };
    blt(*mTimeScale);
    for (auto& pane : mPanes)
        blt(*pane);
    return any;
}

void DataPane::DrawLayers(TDC& dc, uint32_t flags, const TRect& rect, int first, int last, const KVD::Bitset& layers)
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
            const KVDDataTimeInfo time = TimeInfo(at.record);
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

}  // namespace OrrelDraw
