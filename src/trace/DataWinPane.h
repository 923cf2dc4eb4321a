// A data pane shown in a data-pane view: the pane's window operations are those of its view,
// its timers are run-loop timers, and each zoom posts the zoom-changed notification.
#pragma once

#include "trace/DataPane.h"
#include "trace/DataWinBase.h"

namespace OrrelDraw {

class DataWinPane : public DataPane, public DataWinBase {
public:
    DataWinPane(AppKit::View* view, IRecordData* record, uint32_t paneFlags, DragScaleStyle style,
                uint32_t controlFlags, uint32_t miscFlags, Clock clock = {});

    void Invalidate(bool erase) override { DataWinBase::Invalidate(erase); }
    void InvalidateRect(const TRect* rect, bool erase) override { DataWinBase::InvalidateRect(rect, erase); }
    using DataPane::InvalidateRect;
    void ScrollX(long long pixels, const TRect* rect) override { DataWinBase::ScrollX(pixels, rect); }
    void OnZoomX(const TicksPerPix& ratio, const int* pivot, bool notify) override;
    using DataPane::OnZoomX;
    ScrollBar* CreateScrollBar() override { return DataWinBase::CreateScrollBar(this, mControlCreateFlags); }
    ZoomControl* CreateZoomControlX(uint32_t flags) override { return DataWinBase::CreateZoomControlX(this, flags); }
    void PositionWindow(int x, int y, int width, int height, bool redraw) override
    {
        DataWinBase::PositionWindow(x, y, width, height, redraw);
    }
    void UpdateWindow() override { DataWinBase::UpdateWindow(); }
    unsigned SetTimer(unsigned id, unsigned milliseconds) override { return DataWinBase::SetTimer(id, milliseconds); }
    bool KillTimer(unsigned id) override { return DataWinBase::KillTimer(id); }
    void EvTimer(unsigned id) override { OnTimer(id); }
    void ScreenToClient(TPoint& point) const override { DataWinBase::ScreenToClient(point); }

private:
    uint32_t mControlCreateFlags;
};

}  // namespace OrrelDraw
