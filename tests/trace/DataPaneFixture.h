// A data pane over the trace fixture's recording with test controls: a scroll bar and zoom
// control that keep what they are told, a window that counts invalidations, and a clock the
// test moves by hand.
#pragma once

#include <memory>

#include "TraceFixture.h"
#include "trace/DataPane.h"
#include "trace/PolyLineTraceDrawer.h"
#include "trace/ZoomSteps.h"

namespace TraceTest {

class KeptScrollBar final : public OrrelDraw::ScrollBar {
public:
    void SetPosition(const TRect& rect) override { position = rect; }
    bool IsEnabled() const override { return enabled; }
    void SetEnabled(bool on) override { enabled = on; }
    long GetScrollPos() const override { return info.position; }
    void SetScrollPos(long pos, bool) override { info.position = int(pos); }
    void GetScrollInfo(OrrelDraw::tagSCROLLINFO* out) const override
    {
        *out = info;
        out->trackPosition = track;
    }
    void SetScrollInfo(OrrelDraw::tagSCROLLINFO* in, bool) override
    {
        if (in->mask & OrrelDraw::ScrollMask::kPage)
            info.page = in->page;
        if (in->mask & OrrelDraw::ScrollMask::kDisableNoScroll)
            info.min = in->min, info.max = in->max;
        if (in->mask & OrrelDraw::ScrollMask::kPosition)
            info.position = in->position;
    }
    int GetLineMagnitude() const override { return line; }
    int GetPageMagnitude() const override { return page; }
    void SetLineMagnitude(int m) override { line = m; }
    void SetPageMagnitude(int m) override { page = m; }
    void Invalidate() override {}

    OrrelDraw::tagSCROLLINFO info;
    int track = 0;
    int line = 1, page = 1;
    bool enabled = false;
    TRect position;
};

class KeptZoomControl final : public OrrelDraw::ZoomControl {
public:
    void SetPosition(const TRect& rect) override { position = rect; }
    bool IsEnabled() const override { return true; }
    void SetEnabled(bool) override {}
    KVD::String CalcCompressionDisplay(const OrrelDraw::TicksPerPix& r) const override
    {
        return OrrelDraw::CompressionLabel(r);
    }
    void SetCompressionDisplay(const OrrelDraw::TicksPerPix& r) override { label = OrrelDraw::CompressionLabel(r); }
    void GetSize(TSize* size) const override { *size = TSize(92, 21); }
    void SetOnlineAutoScrollControl(bool) override {}
    void UpdateScrollButtonFlashingState(bool) override {}
    OrrelDraw::TicksPerPix CommandIdToCompression(int id) const override
    {
        return OrrelDraw::ZoomStepRatio(id - OrrelDraw::kFirstZoomCommand);
    }
    void Invalidate() override {}

    KVD::String label;
    TRect position;
};

class TestDataPane : public OrrelDraw::DataPane {
public:
    TestDataPane(uint32_t paneFlags, uint32_t misc, Clock clock)
        : DataPane(nullptr, 0, paneFlags, 0, 0, 0, misc, std::move(clock))
    {
    }
    void Invalidate(bool) override { ++invalidations; }
    void InvalidateRect(const TRect*, bool) override { ++invalidations; }
    void ScrollX(long long pixels, const TRect*) override { scrolled += pixels; }
    OrrelDraw::ScrollBar* CreateScrollBar() override { return scrollBar = new KeptScrollBar; }
    OrrelDraw::ZoomControl* CreateZoomControlX(uint32_t) override { return zoom = new KeptZoomControl; }
    void PositionWindow(int x, int y, int width, int height, bool) override
    {
        placed = TRect(x, y, x + width, y + height);
    }
    void UpdateWindow() override {}

    TRect placed;  // where the window was last put
    KeptScrollBar* scrollBar = nullptr;  // owned by the pane
    KeptZoomControl* zoom = nullptr;
    int invalidations = 0;
    long long scrolled = 0;
};

// A data pane of `panes` channel panes with left scales, one trace drawer each (channel i of
// the recording), sized and painted once so that its geometry is current.
class DataPaneTest : public ::testing::Test {
protected:
    explicit DataPaneTest(std::vector<uint32_t> records = {60000}, uint32_t misc = 0)
        : data(MakeRecording(std::move(records))),
          pane(new TestDataPane(OrrelDraw::PaneFlag::kLeftScale, misc, [this] { return now; }))
    {
    }

    void SetUp(int panes, int width = 602, int height = 300)
    {
        pane->SetNumberOfChannelPanes(panes);
        pane->OnSetupWindow(this, this);
        for (int i = 0; i < panes; ++i) {
            KVD::COMPtr<OrrelDraw::PolyLineTraceDrawer> trace(new OrrelDraw::PolyLineTraceDrawer(
                0x1000, TChannelId{i % 2, kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1));
            pane->AddRecordDrawer(i, 0, trace, 0);
        }
        pane->SetRecordData(0, data.data, nullptr);
        pane->OnSize(TSize(width, height));
        pane->OnPrePaint();
    }

    KeptScrollBar& Bar() { return *pane->scrollBar; }

    int64_t now = 1000000;
    TraceData data;
    KVD::COMPtr<TestDataPane> pane;
};

}  // namespace TraceTest
