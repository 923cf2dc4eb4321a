// One data pane as a user sees it: flow and volume computed by the plug-in's calculations over
// a generated breathing recording, in two channel panes over the time scale, zoomed and
// scrolled by the user through the zoom control and the scroll bar; written to PNG for a
// person to look at and probed here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "SpiroDocumentHost.h"
#include "appkit/RunLoop.h"
#include "appkit/UserDriver.h"
#include "appkit/Window.h"
#include "graphics/Canvas.h"
#include "host/synth/SyntheticBreathing.h"
#include "trace/DataPaneView.h"
#include "trace/DataWinPane.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"
#include "trace/ScrollBarMac.h"

using namespace OrrelDraw;

namespace {

constexpr uint32_t kUnits = 0x40001000;

class DataPanePicture : public SpiroTest::SpiroDocumentHost {
protected:
    void SetUp() override
    {
        Host::SyntheticOptions options;
        options.rate = 1000;
        options.quietBreathsPerRun = 3;
        options.forcedBreaths = 1;
        Open(std::make_shared<Host::Recording>(Host::SyntheticBreathing(options).MakeRecording("breathing.edf")));
        AddCalculations();
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 900, 420}, "Trace");
        view = &SPIRO_DataPaneView::Create(window->ContentView());
        pane = new DataWinPane(view, nullptr, PaneFlag::kLeftScale, 0, 0, 0);
        pane->SetNumberOfChannelPanes(2);
        view->SetPreviewPane(pane);
        const int channels[] = {mFlow, mVolume};
        const TColor colours[] = {TColor(0xD5D5, 0, 0), TColor(0, 0x4040, 0xFFFF)};
        for (int i = 0; i < 2; ++i) {
            pane->AddRecordDrawer(i, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                      0x1000, TChannelId{channels[i], kUnits}, kScaleLeft, 0,
                                      TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                                  0);
            pane->AddRecordDrawer(i, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                      0x1000, TChannelId{channels[i], kUnits}, 1, &colours[i], kNoChannel, 0, 0x201, 1)),
                                  0);
        }
        pane->SetRecordData(0, &mData->Data(), nullptr);
        pane->OnPrePaint();
        pane->SetScalesBoundary(TRect(0, 0, 900, 420));
        view->ResetSizeAndPos();
    }
    void TearDown() override
    {
        view->SetPreviewPane(nullptr);
        pane->OnCleanupWindow();
        pane.Clear();
        window.reset();
        SpiroDocumentHost::TearDown();
    }

    std::unique_ptr<AppKit::Window> window;
    SPIRO_DataPaneView* view = nullptr;
    KVD::COMPtr<DataWinPane> pane;
};

struct Rgb {
    int r, g, b;
};

Rgb At(const Gfx::Image& image, int x, int y)
{
    const uint32_t argb = image.Pixel(x, y);
    return {int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF)};
}

// Pixels of the rectangle near the colour.
int Count(const Gfx::Image& image, const TRect& r, Rgb colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const Rgb p = At(image, x, y);
            n += std::abs(p.r - colour.r) < 50 && std::abs(p.g - colour.g) < 50 && std::abs(p.b - colour.b) < 50;
        }
    return n;
}

TEST_F(DataPanePicture, FlowAndVolumeZoomedAndScrolledByTheUser)
{
    AppKit::UserDriver user(*window);
    // Zoom out a step, scroll a page on, and auto-scale both panes over what shows.
    user.Click("compress");
    ASSERT_EQ(pane->GetTicksPerPix(), TicksPerPix(20, 1));
    auto& bar = *static_cast<ScrollBarMac*>(pane->GetScrollBar());
    const double w = bar.Scroller().Frame().width, h = bar.Scroller().Frame().height;
    user.Click(bar.Scroller(), {w - AppKit::Scroller::kArrowLength - 2, h / 2});
    EXPECT_EQ(bar.GetScrollPos(), bar.GetPageMagnitude());
    const double strip = view->Frame().x;
    ASSERT_EQ(pane->AutoScale(0, -1, kScaleLeft), KVD_S_OK);

    auto canvas = Gfx::Canvas::CreateImage(900, 420);
    window->ContentView().Display(canvas->GetContext());
    EXPECT_EQ(view->Frame().x, pane->GetMaxScaleWidth(kScaleLeft));
    const Gfx::Image image = canvas->Snapshot();
    if (const char* dir = std::getenv("SPIRO_PICTURES")) {
        image.WritePNG(std::string(dir) + "/data-pane.png");
        user.Snapshot(std::string(dir) + "/data-pane-window.png");
    }
    const int x0 = int(view->Frame().x);
    auto inWindow = [&](const TRect& r) { return TRect(r.left + x0, r.top, r.right + x0, r.bottom); };
    const TRect flow = inWindow(pane->GetChannelPane(0).GetPaneRect());
    const TRect volume = inWindow(pane->GetChannelPane(1).GetPaneRect());
    EXPECT_GT(Count(image, flow, Rgb{213, 0, 0}), 200);     // the red flow trace
    EXPECT_GT(Count(image, volume, Rgb{0, 64, 255}), 200);  // the blue volume trace
    EXPECT_EQ(Count(image, volume, Rgb{213, 0, 0}), 0);

    // A range with longer labels ("-3000"): the view moves right for them as it draws.
    ASSERT_EQ(pane->GetChannelPane(0).ScaleOf(kScaleLeft)->SetRange(4000, -4000), KVD_S_OK);
    window->ContentView().Display(canvas->GetContext());
    EXPECT_GT(view->Frame().x, strip);
    EXPECT_EQ(view->Frame().x, pane->GetMaxScaleWidth(kScaleLeft));
}

bool Dark(const Gfx::Image& image, int x, int y)
{
    const Rgb p = At(image, x, y);
    return p.r < 128 && p.g < 128 && p.b < 128;
}

// The columns from the first to the last dark pixel of the rows, left of a column; {-1, -1}
// when there is none.
std::pair<int, int> InkColumns(const Gfx::Image& image, int top, int bottom, int beforeX)
{
    std::pair<int, int> ink{-1, -1};
    for (int y = std::max(top, 0); y < std::min(bottom, image.Height()); ++y)
        for (int x = 0; x < beforeX; ++x)
            if (Dark(image, x, y)) {
                ink.first = ink.first < 0 ? x : std::min(ink.first, x);
                ink.second = std::max(ink.second, x);
            }
    return ink;
}

TEST_F(DataPanePicture, TheWindowShowsEveryScaleLabelWholeInTheStripLeftOfThePanes)
{
    // Between 1 and -1 over about 190 pixels the grid lies every 0.5: "-0.5" is the widest label.
    IScale& scale = *pane->GetChannelPane(0).ScaleOf(kScaleLeft);
    ASSERT_EQ(scale.SetRange(1, -1), KVD_S_OK);
    const std::string path = ::testing::TempDir() + "data-pane-scales.png";
    ASSERT_TRUE(AppKit::UserDriver(*window).Snapshot(path));
    if (const char* dir = std::getenv("SPIRO_PICTURES"))
        AppKit::UserDriver(*window).Snapshot(std::string(dir) + "/data-pane-scales.png");
    const Gfx::Image image = Gfx::Image::FromPNG(path);
    const int bar = image.Height() - 420, strip = int(view->Frame().x);
    const TRect flow = pane->GetChannelPane(0).GetPaneRect();
    double start = 0, spacing = 0;
    ASSERT_EQ(scale.GetGridStartAndSpacing(&start, &spacing), KVD_S_OK);
    ASSERT_NEAR(spacing * 4, flow.Height(), 1.0);
    // Labels in both panes' strips, none over the traces' side of the window's edge.
    EXPECT_GT(InkColumns(image, bar + flow.top, bar + flow.bottom, strip).first, 0);
    const TRect volume = pane->GetChannelPane(1).GetPaneRect();
    EXPECT_GT(InkColumns(image, bar + volume.top + 10, bar + volume.bottom - 10, strip).second, 0);

    // The "-0.5" label, one grid line up from the bottom, is as wide as the text alone and
    // starts right of the window's edge: its minus sign shows.
    const int y = bar + flow.bottom - int(std::floor(start + spacing + 0.5));
    const std::pair<int, int> label = InkColumns(image, y - 6, y + 6, strip - 3);
    auto alone = Gfx::Canvas::CreateImage(80, 30);
    alone->GetContext().SetFillColor({1, 1, 1, 1});
    alone->GetContext().FillRect({0, 0, 80, 30});
    CreateTDC(&alone->GetContext(), true)->TextOut(10, 5, L"-0.5", -1);
    const std::pair<int, int> text = InkColumns(alone->Snapshot(), 0, 30, 80);
    ASSERT_GT(text.second - text.first, 10);
    EXPECT_GE(label.first, 1);
    EXPECT_GE(label.second - label.first, text.second - text.first - 1);
}

}  // namespace
