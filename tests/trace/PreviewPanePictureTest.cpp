// A live preview as a user sees it: the preview pane in its view monitors the host's simulated
// flow head after the user pressed the monitor button, for eight seconds of breathing on the
// virtual clock; written to PNG frames, one a second, for a person to look at, and probed here.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TraceFixture.h"
#include "appkit/RunLoop.h"
#include "appkit/UserDriver.h"
#include "appkit/Window.h"
#include "graphics/Canvas.h"
#include "host/data/Adopt.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "host/synth/SyntheticBreathing.h"
#include "trace/DataPaneView.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"
#include "trace/PreviewControlMac.h"
#include "trace/PreviewWinPane.h"

using namespace OrrelDraw;

namespace {

constexpr uint32_t kUnits = 0x40001000;

Host::SyntheticOptions Breathing()
{
    Host::SyntheticOptions options;
    options.rate = 1000;
    options.quietBreathsPerRun = 3;
    options.forcedBreaths = 1;
    return options;
}

class PreviewPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppKit::RunLoop::Main().UseVirtualClock(true);
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 700, 300}, "Preview");
        view = &SPIRO_DataPaneView::Create(window->ContentView());
        pane = new PreviewWinPane(view, data.data, 10, PaneFlag::kLeftScale, 0, 0, 0);
        pane->SetNumberOfChannelPanes(1);
        pane->AddRecordDrawer(0, 0,
                              KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                  0x1000, TChannelId{0, kUnits}, kScaleLeft, 0, TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                              0);
        const TColor red(0xD5D5, 0, 0);
        pane->AddRecordDrawer(0, 0,
                              KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                  0x1000, TChannelId{0, kUnits}, 1, &red, kNoChannel, 0, 0x201, 1)),
                              0);
        pane->SetDeviceManager(0, manager.get());
        pane->OnPrePaint();
        view->SetPreviewPane(pane);
        pane->SetScalesBoundary(TRect(0, 0, 700, 300));
        view->ResetSizeAndPos();
    }
    void TearDown() override
    {
        view->SetPreviewPane(nullptr);
        pane->OnCleanupWindow();
        pane.Clear();
        window.reset();
        AppKit::RunLoop::Main().UseVirtualClock(false);
    }

    TraceTest::TraceData data{std::make_shared<Host::Recording>(
        Host::SyntheticBreathing(Breathing()).MakeRecording("breathing.edf"))};
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Breathing(), 1)));
    std::unique_ptr<AppKit::Window> window;
    SPIRO_DataPaneView* view = nullptr;
    KVD::COMPtr<PreviewWinPane> pane;
};

int RedPixels(const Gfx::Image& image, const TRect& r)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t argb = image.Pixel(x, y);
            n += (argb >> 16 & 0xFF) > 160 && (argb >> 8 & 0xFF) < 90 && (argb & 0xFF) < 90;
        }
    return n;
}

TEST_F(PreviewPicture, EightSecondsOfBreathingMonitoredLive)
{
    AppKit::UserDriver user(*window);
    user.Click("monitor");
    ASSERT_EQ(pane->GetPreviewMode(), kPreviewMonitor);
    ASSERT_TRUE(manager->IsSampling());
    // A frame each simulated second, the last one probed.
    const char* dir = std::getenv("SPIRO_PICTURES");
    Gfx::Image image;
    for (int second = 1; second <= 8; ++second) {
        AppKit::RunLoop::Main().Advance(second < 8 ? 1.0 : 1.01);
        ASSERT_EQ(pane->AutoScale(0, 0, kScaleLeft), KVD_S_OK);
        auto canvas = Gfx::Canvas::CreateImage(700, 300);
        window->ContentView().Display(canvas->GetContext());
        image = canvas->Snapshot();
        if (dir != nullptr)
            image.WritePNG(std::string(dir) + "/preview-live-" + std::to_string(second) + ".png");
    }

    // Eight seconds at 10 ticks per pixel outrun the pane: it follows the newest data, the
    // quiet lead-in's first seconds are scrolled away and the trace fills the width.
    const int x0 = int(view->Frame().x);
    const TRect area = pane->GetChannelPane(0).GetPaneRect();
    EXPECT_EQ(pane->GetRightEdgeVPix(), 800);
    EXPECT_TRUE(pane->IsOnlineAutoScrollX());
    const int half = (area.left + area.right) / 2;
    EXPECT_GT(RedPixels(image, TRect(x0 + area.left, area.top, x0 + half, area.bottom)), 200);
    EXPECT_GT(RedPixels(image, TRect(x0 + half, area.top, x0 + area.right, area.bottom)), 200);

    user.Click("pause");
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(pane->GetPreviewMode(), kPreviewPause);
    const auto& orrelView = static_cast<const AppKit::Button&>(user.Find("orrelView"));
    const auto& pauseButton = static_cast<const AppKit::Button&>(user.Find("pause"));
    EXPECT_EQ(user.ToolTip("orrelView"), "Orrel view");
    AppKit::RunLoop::Main().Advance(PreviewControlMac::kHighlightDelay);
    EXPECT_TRUE(pauseButton.IsHighlighted());
    user.Click("orrelView");
    EXPECT_EQ(pane->GetPreviewMode(), kPreviewDocument);
    // The press shows first: the other highlight goes at once, the button's own comes 0.1 s later.
    EXPECT_FALSE(pauseButton.IsHighlighted());
    EXPECT_FALSE(orrelView.IsHighlighted());
    AppKit::RunLoop::Main().Advance(PreviewControlMac::kHighlightDelay / 2);
    EXPECT_FALSE(orrelView.IsHighlighted());
    AppKit::RunLoop::Main().Advance(PreviewControlMac::kHighlightDelay / 2 + 1e-6);
    // Back on the document there is nothing to pause; monitoring enables it again.
    const auto& pause = static_cast<const AppKit::Control&>(user.Find("pause"));
    EXPECT_FALSE(pause.IsEnabled());
    EXPECT_TRUE(orrelView.IsHighlighted());
    user.Click("monitor");
    EXPECT_TRUE(pause.IsEnabled());
    EXPECT_TRUE(manager->IsSampling());
}

// Frames while monitoring goes on after the record outgrew the pane, with nothing between them
// that rebuilds the trace (no auto-scale, no zoom): the trace kept from frame to frame reaches
// the newest data at the right edge in every one.
TEST_F(PreviewPicture, EveryFrameAfterThePaneFilledEndsTheTraceAtTheRightEdge)
{
    AppKit::UserDriver user(*window);
    user.Click("monitor");
    ASSERT_TRUE(manager->IsSampling());
    const int x0 = int(view->Frame().x);
    const TRect area = pane->GetChannelPane(0).GetPaneRect();
    const char* dir = std::getenv("SPIRO_PICTURES");
    // A hundred pixels a second: the pane fills within seven seconds; a frame each half second.
    for (int frame = 1; frame <= 24; ++frame) {
        AppKit::RunLoop::Main().Advance(0.5);
        auto canvas = Gfx::Canvas::CreateImage(700, 300);
        window->ContentView().Display(canvas->GetContext());
        const Gfx::Image image = canvas->Snapshot();
        if (frame * 50 <= pane->DataWidth() + 50)
            continue;
        if (dir != nullptr && frame == 24)
            image.WritePNG(std::string(dir) + "/preview-live-filled.png");
        EXPECT_GT(RedPixels(image, TRect(x0 + area.right - 6, area.top, x0 + area.right, area.bottom)), 3)
            << frame * 0.5 << " s";
    }
}

}  // namespace
