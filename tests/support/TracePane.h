// A stand-in for the data pane above the trace drawing library, for tests and benchmarks: it
// stacks test channel panes over a time scale, answers the drawers' questions, and draws the
// visible columns block by block as the data pane does.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "IRecordData.h"
#include "foundation/Bitset.h"
#include "foundation/COMPtr.h"
#include "host/drawing/DragScale.h"
#include "trace/ChildPaneBase.h"
#include "trace/DrawUtils.h"
#include "trace/GraticuleInfo.h"
#include "trace/TimeLabeler.h"
#include "trace/TimeScale.h"

namespace TestSupport {

// A channel pane with nothing of its own to store; like a channel pane it tells its drawers
// where it lies.
class TestPane final : public OrrelDraw::ChildPaneBase {
public:
    TestPane(OrrelDraw::ChildPaneOwner* owner, int index) : ChildPaneBase(owner, index) {}
    HRESULT SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int a, int b,
                            int c) override
    {
        ChildPaneBase::SetPositionInfo(flags, origin, rect, a, b, c);
        for (int i = 0; i < DrawerCount(); ++i)
            Drawer(i)->OnPositionChange(flags, &rect);
        return KVD_S_OK;
    }
    HRESULT Read(IBinInStream*) override { return KVD_S_OK; }
    HRESULT Write(IBinOutStream*) const override { return KVD_S_OK; }
};

class TracePane : public OrrelDraw::ChildPaneOwner, public IDrawerDataPane {
public:
    static constexpr int kBorder = 1;

    TracePane() : mTimeScale(new OrrelDraw::TimeScale(this)) {}
    ~TracePane()
    {
        // Drawers keep a plain pointer to this pane's drawer face; let them go first.
        mPanes.clear();
        mTimeScale.Clear();
    }

    // IUnknown of an object the test keeps alive.
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = iid == IID_IUnknown || iid == IID_IDrawerDataPane ? static_cast<IDrawerDataPane*>(this) : nullptr;
        return *out == nullptr ? KVD_E_NOINTERFACE : KVD_S_OK;
    }

    // Records at ticksPerPixel (numerator / denominator) from the record data's own pixel map.
    void SetRecordData(IRecordData* records, int64_t numerator, int64_t denominator)
    {
        mPixMap.Clear();
        records->CreatePixMap(0, mPixMap.Set());
        mPixMap->SetTicksPerPixel(numerator, denominator);
        for (int i = 0; i < mTimeScale->DrawerCount(); ++i)
            mTimeScale->Drawer(i)->SetRecordDataPixMap(0, mPixMap);
    }

    TestPane& AddPane()
    {
        mPanes.emplace_back(new TestPane(this, int(mPanes.size())));
        KVD::COMPtr<Host::DragScale> scale(Host::DragScale::Create(0, 1, 0));
        scale->Release();
        mScales.push_back(scale);
        return *mPanes.back();
    }
    TestPane& Pane(int i) { return *mPanes[size_t(i)]; }
    Host::DragScale& Scale(int i) { return *mScales[size_t(i)]; }
    OrrelDraw::TimeScale& Time() { return *mTimeScale; }

    // Gives every drawer of the pane the pixel map.
    void AttachDrawers(int pane)
    {
        for (int i = 0; i < Pane(pane).DrawerCount(); ++i)
            Pane(pane).Drawer(i)->SetRecordDataPixMap(0, mPixMap);
    }

    // Panes stacked over the height, the time scale at the bottom, a border round each.
    void Layout(int width, int height, int timeScaleHeight)
    {
        mWidth = width;
        mHeight = height;
        const int n = int(mPanes.size());
        const double h = double(height - timeScaleHeight - 2 * kBorder - 2 * kBorder * n) / std::max(n, 1);
        double y = kBorder;
        for (int i = 0; i < n; ++i) {
            const int bottom = i == n - 1 ? height - timeScaleHeight - 2 * kBorder : int(y + h + 0.5);
            const TRect rect{kBorder, int(y), width - kBorder, bottom};
            Place(*mPanes[size_t(i)], rect, i == 0 ? 0x80000000u : 0u);
            mScales[size_t(i)]->SetPosition(0, int(y), 0, bottom);
            y = bottom + 2 * kBorder;
        }
        Place(*mTimeScale, TRect{kBorder, height - timeScaleHeight - kBorder, width - kBorder,
                                                height - kBorder},
              0);
    }

    // Tells the drawers of a pane its scale's range, as the channel pane passes scaling changes.
    void SetRange(int pane, double top, double bottom)
    {
        Host::DragScale& scale = Scale(pane);
        scale.SetRange(top, bottom);
        const DataScaling pixels = scale.TracePixelScaling();
        for (int i = 0; i < Pane(pane).DrawerCount(); ++i)
            Pane(pane).Drawer(i)->OnScalingChanged(1, 0, &pixels, static_cast<IScale*>(&scale));
    }

    int DataWidth() const { return mWidth - 2 * kBorder; }

    // Draws the columns [left, left + data width) of every pane, record by record.
    void Draw(TDC& dc, int64_t leftColumn)
    {
        mLeftColumn = leftColumn;
        int64_t total = 0;
        mPixMap->GetTotalPixels(&total);
        const int64_t last = std::min(total, leftColumn + DataWidth());
        KVD::Bitset layers;
        layers.set_range(0, OrrelDraw::kLayerCount);
        dc.FillRect(0, 0, mWidth, mHeight, TBrush(OrrelDraw::ColourFromRgb(mBackground)));
        for (auto& pane : mPanes)
            pane->DrawBorderIfNeeded(dc, pane->GetPaneRect());
        mTimeScale->DrawBorderIfNeeded(dc, mTimeScale->GetPaneRect());
        for (int64_t column = std::max<int64_t>(leftColumn, 0); column < last;) {
            KVDPosition at{};
            if (mPixMap->PixelToPosition(column, &at) != KVD_S_OK)
                break;
            int64_t first = 0, end = 0;
            mPixMap->GetRecordPixels(at.record, &first, &end);
            const int64_t stop = std::min(end, last);
            DrawBlock(dc, column, stop, TPixPosition{column - first, at.record}, layers);
            column = stop;
        }
        for (auto& pane : mPanes)
            pane->OnDrawingDone(0x80000000u);
        mTimeScale->OnDrawingDone(0x80000000u);
    }

    OrrelDraw::CGraticuleInfo Plan(int record) const
    {
        double secsPerTick = 0;
        mPixMap->GetRecordSecsPerTick(record, &secsPerTick);
        int64_t num = 1, den = 1;
        mPixMap->GetTicksPerPixel(&num, &den);
        OrrelDraw::TimeLabeler labeler;
        labeler.CalcTickIntervalsFloat(double(num) / double(den) * secsPerTick, 72.0 / 25.4, 40, false);
        OrrelDraw::CGraticuleInfo plan = labeler;
        labeler.SetTickPosSecs(0.0, mTime, double(num) / double(den) * secsPerTick, nullptr);
        plan.nextTickX = labeler.nextTickX;
        plan.nextMajorX = labeler.nextMajorX;
        return plan;
    }

    // ChildPaneOwner
    void InvalidateRect(const TRect* rect, bool) override
    {
        ++mInvalidations;
        if (rect != nullptr)
            mInvalidated.push_back(*rect);
    }
    void ScrollX(long long pixels, const TRect*) override { mScrolled += pixels; }
    bool AreDrawingOnBitmaps() const override { return false; }
    bool IsOnlineAutoScrollX() const override { return mAutoScroll; }
    int GetPaneBorderW() const override { return kBorder; }
    int GetLatestBmpOffset() const override { return DataWidth(); }
    void SetAllBitmapsDirtyAndInvalidate() override {}
    bool IsNonInteractiveMode() const override { return mNonInteractive; }
    bool TakeAllBitmapsDirtyRequest() override { return false; }
    bool IsOnlineRadarMode() const override { return false; }
    bool InvalidateOnPrepare() const override { return false; }
    int64_t GetLeftColumn() const override { return mLeftColumn; }
    int GetDataLeft() const override { return kBorder; }
    bool ShowsRecordNumbers() const override { return mShowRecordNumbers; }
    TDC* GetReferenceContext() const override { return nullptr; }
    IDrawerDataPane* GetDrawerDataPane() override { return this; }
    IRecordDataPixMap* GetRecordPixMap() const override { return mPixMap; }

    // IDrawerDataPane
    HRESULT GetScaleChan(int pane, int, TChannelId* channel) override
    {
        if (pane < 0 || pane >= int(mPanes.size()))
            return KVD_E_NULLOUT;
        *channel = mScaleChannels.size() > size_t(pane) ? mScaleChannels[size_t(pane)] : TChannelId{pane, 0x40001000};
        return KVD_S_OK;
    }
    HRESULT GetPaneDragScale(int pane, int, IScale** scale) override
    {
        if (pane < 0 || pane >= int(mPanes.size()))
            return KVD_E_NULLOUT;
        *scale = static_cast<IScale*>(mScales[size_t(pane)].get());
        (*scale)->AddRef();
        return KVD_S_OK;
    }
    HRESULT GetUnitsForScale(int, int, uint32_t, int, IAutoKVDString**, DataScaling*, TChannelId*, DataMaxMin*,
                             double*) override
    {
        return KVD_S_FALSE;
    }
    HRESULT GetScalingMode(int, RecDrawScalingModeFlags* mode) override
    {
        *mode = mScalingMode;
        return KVD_S_OK;
    }
    HRESULT GetFlags(RecDrawScalingModeFlags* mode, uint32_t* misc) override
    {
        *mode = 0;
        *misc = 0;
        return KVD_S_OK;
    }
    HRESULT GetReferenceDC(int, TDC** dc) override
    {
        *dc = nullptr;
        return KVD_S_OK;
    }
    double GetXPixelsPermm() override { return kPixelsPerMillimetre; }
    double GetYPixelsPermm() override { return kPixelsPerMillimetre; }
    HRESULT GetAnyReferenceDCPixelRatio(int, double* x, double* y) override
    {
        *x = *y = mPixelRatio;
        return KVD_S_OK;
    }
    HRESULT AreDrawingHiRes(int, bool* hiRes) override
    {
        if (hiRes != nullptr)
            *hiRes = mNonInteractive;
        return mNonInteractive ? KVD_S_OK : KVD_S_FALSE;
    }
    HRESULT SetLayerAlpha(int, int, int, int) override { return KVD_S_OK; }
    HRESULT SetLayerAlphaRect(int, int, int, const TRect*) override { return KVD_S_OK; }
    HRESULT GetDataClientRect(int, TRect* rect) override
    {
        *rect = TRect(kBorder, 0, mWidth - kBorder, mHeight);
        return KVD_S_OK;
    }
    HRESULT InvalidateRect(int, const TRect*) override { return KVD_S_OK; }
    HRESULT IsPreparedForSamplingHR() override { return KVD_S_FALSE; }
    HRESULT IsOnlineDrawingLatestHR() override { return KVD_S_FALSE; }
    HRESULT GetBackgroundColor(uint32_t* rgb) override
    {
        *rgb = mBackground;
        return KVD_S_OK;
    }
    HRESULT AdjustColorForBackground(uint32_t rgb, uint32_t* out) override
    {
        *out = OrrelDraw::RgbFromColour(OrrelDraw::gAdjustColorForBackground(OrrelDraw::ColourFromRgb(rgb),
                                                                             OrrelDraw::ColourFromRgb(mBackground)));
        return KVD_S_OK;
    }

    uint32_t mBackground = 0xFFFFFF;
    RecDrawScalingModeFlags mScalingMode = 0;
    double mPixelRatio = 1.0;
    bool mNonInteractive = false;
    bool mAutoScroll = false;
    bool mShowRecordNumbers = false;
    int mInvalidations = 0;
    std::vector<TRect> mInvalidated;  // the rectangles given, in order
    long long mScrolled = 0;
    std::vector<TChannelId> mScaleChannels;
    KVDDataTimeInfo mTime{{0, 0, 0, 0, 0}, 2};

private:
    void Place(OrrelDraw::ChildPaneBase& pane, const TRect& r, uint32_t flags)
    {
        pane.SetPositionInfo(flags, TPoint(r.left, r.top), TRect(r.left, r.top, r.right, r.bottom), 0, 0, kBorder);
    }

    void DrawBlock(TDC& dc, int64_t start, int64_t end, TPixPosition pix, const KVD::Bitset& layers)
    {
        const int x = kBorder + int(start - mLeftColumn);
        const OrrelDraw::CGraticuleInfo plan = Plan(pix.record);
        const OrrelDrawerDrawFlags flags = 0x0A000000;
        auto draw = [&](OrrelDraw::ChildPaneBase& pane) {
            int from = 0, to = 0;
            const TRect region(x, pane.GetPaneRect().top, x + int(end - start), pane.GetPaneRect().bottom);
            pane.CalcDirtyRect(&region, 0, &from, &to, &dc);
            const TRect clip(x, pane.GetPaneRect().top, x + int(end - start), pane.GetPaneRect().bottom);
            pane.DrawInRecord(&dc, start, end, pix, x, &clip, flags, &plan, &mTime, layers);
        };
        draw(*mTimeScale);
        for (auto& pane : mPanes)
            draw(*pane);
    }

    KVD::COMPtr<IRecordDataPixMap> mPixMap;
    std::vector<KVD::COMPtr<TestPane>> mPanes;
    std::vector<KVD::COMPtr<Host::DragScale>> mScales;
    KVD::COMPtr<OrrelDraw::TimeScale> mTimeScale;
    int mWidth = 0;
    int mHeight = 0;
    int64_t mLeftColumn = 0;
};

}  // namespace TestSupport
