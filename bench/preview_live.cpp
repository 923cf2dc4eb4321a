// A live preview keeping up with the recording hardware: the host's simulated flow head sampled
// at 1 kHz on two channels into the preview's monitoring record, shown in a preview pane of two
// channel panes (graticule and trace) on a 1000 x 400 view. Each step advances the run loop's
// virtual clock by one hand-over of the device (50 ms: sampling, the record, the pane's online
// update) and paints the view, as the screen would. The counter core_pct is the share of one
// core that keeps up in real time (processor time per step over 50 ms); the budget is 5 %.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/COMPtr.h"
#include "graphics/Canvas.h"
#include "host/data/Adopt.h"
#include "host/drawing/DrawingServices.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "host/synth/SyntheticBreathing.h"
#include "trace/DataPaneView.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"
#include "trace/PreviewWinPane.h"

namespace {

using namespace OrrelDraw;

constexpr uint32_t kUnits = 0x40001000;
constexpr int kWidth = 1000, kHeight = 400;

Host::SyntheticOptions Breathing()
{
    Host::SyntheticOptions options;
    options.rate = 1000;
    return options;
}

KVD::COMPtr<IRecordData> DocumentData()
{
    auto recording = std::make_shared<Host::Recording>(Host::SyntheticBreathing(Breathing()).MakeRecording("b.edf"));
    // The document's channels: the flow head twice, as the device samples it.
    auto two = std::make_shared<Host::Recording>("b.edf", 1000.0,
                                                 std::vector<Host::ChannelFormat>{recording->Channel(0),
                                                                                  recording->Channel(0)});
    return Host::Adopt(Host::CreateRecordingData(two));
}

void BM_PreviewKeepsUpWithLiveSampling(benchmark::State& state)
{
    auto& loop = AppKit::RunLoop::Main();
    loop.UseVirtualClock(true);
    const KVD::COMPtr<IRecordData> document = DocumentData();
    auto manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Breathing(), 2)));
    AppKit::Window window(AppKit::Rect{0, 0, kWidth, kHeight});
    SPIRO_DataPaneView& view = SPIRO_DataPaneView::Create(window.ContentView());
    KVD::COMPtr<PreviewWinPane> pane(new PreviewWinPane(&view, document, 10, PaneFlag::kLeftScale, 0, 0, 0));
    pane->SetNumberOfChannelPanes(2);
    for (int channel : {0, 1}) {
        pane->AddRecordDrawer(channel, 0,
                              KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                  0x1000, TChannelId{channel, kUnits}, kScaleLeft, 0, TColor(0x8A8A, 0x8A8A, 0x8A8A),
                                  false)),
                              0);
        pane->AddRecordDrawer(channel, 0,
                              KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                  0x1000, TChannelId{channel, kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1)),
                              0);
        pane->SetRange(0, channel, kScaleLeft, {4.0, -4.0});
    }
    pane->SetDeviceManager(0, manager.get());
    view.SetPreviewPane(pane);
    view.ResetSizeAndPos();
    auto canvas = Gfx::Canvas::CreateImage(kWidth, kHeight);
    pane->DoMonitor();

    const std::clock_t start = std::clock();
    for (auto _ : state) {
        loop.Advance(Host::SimulatedDeviceManager::kInterval);
        window.ContentView().Display(canvas->GetContext());
    }
    const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
    state.counters["core_pct"] = 100.0 * cpu / (double(state.iterations()) * Host::SimulatedDeviceManager::kInterval);
    state.counters["sampled_s"] = double(manager->TicksSampled()) / 1000.0;

    pane->DoPause();
    view.SetPreviewPane(nullptr);
    pane->OnCleanupWindow();
    pane = nullptr;
    loop.UseVirtualClock(false);
}
BENCHMARK(BM_PreviewKeepsUpWithLiveSampling)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
