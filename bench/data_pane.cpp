// A data pane in its view on a 2000 x 800 window over one hour of 1 kHz data, two channel panes
// with graticule and trace over the time scale: scrolling one screen on (the scroll, then the
// paint of the invalidated view) at 10 ticks a pixel, and one zoom step (in and out in turn)
// with its paint at 10 and at 1000 ticks a pixel. Repeated runs report the medians; the
// budget is 16 ms a step.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "HourOfBreathing.h"
#include "appkit/Window.h"
#include "foundation/COMPtr.h"
#include "graphics/Canvas.h"
#include "host/data/Recording.h"
#include "host/drawing/DrawingServices.h"
#include "trace/DataPaneView.h"
#include "trace/DataWinPane.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"

namespace {

using namespace OrrelDraw;

constexpr uint32_t kTicks = BenchData::kHourTicks;
constexpr uint32_t kUnits = 0x40001000;
constexpr int kWidth = 2000, kHeight = 800;

// The window, its view and pane at a zoom, painted once.
struct Screen {
    explicit Screen(long long ticksPerPixel)
        : window(AppKit::Rect{0, 0, kWidth, kHeight}),
          view(SPIRO_DataPaneView::Create(window.ContentView())),
          pane(new DataWinPane(&view, nullptr, PaneFlag::kLeftScale, 0, 0, 0)),
          canvas(Gfx::Canvas::CreateImage(kWidth, kHeight))
    {
        pane->SetNumberOfChannelPanes(2);
        view.SetPreviewPane(pane);
        for (int channel : {0, 1}) {
            pane->AddRecordDrawer(channel, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                      0x1000, TChannelId{channel, kUnits}, kScaleLeft, 0,
                                      TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                                  0);
            pane->AddRecordDrawer(channel, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                      0x1000, TChannelId{channel, kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1)),
                                  0);
            pane->SetRange(0, channel, kScaleLeft, {1.5, -1.5});
        }
        pane->SetRecordData(0, BenchData::HourOfBreathingData(), nullptr);
        pane->SetTicksPerPix(TicksPerPix(ticksPerPixel, 1));
        view.ResetSizeAndPos();
        Paint();
    }
    ~Screen()
    {
        view.SetPreviewPane(nullptr);
        pane->OnCleanupWindow();
    }
    void Paint() { window.ContentView().Display(canvas->GetContext()); }

    AppKit::Window window;
    SPIRO_DataPaneView& view;
    KVD::COMPtr<DataWinPane> pane;
    std::unique_ptr<Gfx::Canvas> canvas;
};

// One screen on per step; back to the start at the end of the hour.
void ScrollOneScreen(benchmark::State& state)
{
    Screen screen(10);
    for (auto _ : state) {
        if (screen.pane->GetRightEdgeVPix() >= 360000)
            screen.pane->OnScrollX(ScrollCode::kFirst);
        screen.pane->OnScrollX(ScrollCode::kPageRight);  // the scroll bar's page is the data width
        screen.Paint();
    }
}
BENCHMARK(ScrollOneScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

// Zoom steps in and out in turn about the middle, each with its paint.
void ZoomStep(benchmark::State& state)
{
    Screen screen(state.range(0));
    screen.pane->ScrollToPosition(KVDPosition{kTicks / 2, 0}, 1);
    bool in = true;
    for (auto _ : state) {
        screen.pane->OnZoomXStep(in);
        in = !in;
        screen.Paint();
    }
}
BENCHMARK(ZoomStep)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
