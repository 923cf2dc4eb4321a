// The loop of a generated recording in Chromium, opened by its class name as spirohost opens
// it: the window's PNG shows the trace in the flow channel's colour exactly over the extent the
// volume and flow ranges give the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "LoopViewHost.h"
#include "framework/CAFOwlDocView.h"
#include "graphics/Image.h"
#include "host/views/OpenedView.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

using namespace ViewsTest;

namespace {

// 1 once the loop's scatter plot is there and no draw is pending.
const wchar_t* const kDrawn =
    L"(function (p) { return p && p.plotters.some(function (q) { return q.kind === 'scatter'; }) && "
    L"p.scheduler.pending === null && p.timings.draw !== undefined ? 1 : 0; })(lumo.get_plot('local'))";

bool WaitForDrawn(const KVD::LumoPlotMac& plot)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        if (plot.CallJavaScript(KVD::String(kDrawn)) == 1)
            return true;
        Host::SettlePages(0.02);
    }
    return false;
}

double Area(const KVD::LumoPlotMac& plot, const char* side)
{
    return plot.CallJavaScript(KVD::ToKVDString(std::string("lumo.get_plot('local').area.") + side));
}

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

// The pixels of the trace colour #0040ff, antialiased: blue well above red and green.
Box TraceBox(const Gfx::Image& image)
{
    Box box;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.Pixel(x, y);
            const int blue = int(p & 0xFF), green = int(p >> 8 & 0xFF), red = int(p >> 16 & 0xFF);
            if (blue - std::max(red, green) > 120) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

class LoopLive : public LoopViewHost {};

TEST_F(LoopLive, TheLoopFillsTheRangesInnerPart)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const Host::OpenedView view(mChild.get(), "Spirometry Loop View");
    auto* owl = static_cast<CAFOwlDocView<Spirometry::SpiroLoopView>*>(static_cast<IDocView2*>(
        KVD::COMPtr<IDocView>(KVD::com_cast(view.View())).get()));
    Spirometry::SpiroLoopView& loop = *owl->GetView();
    ASSERT_TRUE(WaitForDrawn(loop.GetPlot()));
    TestSupport::TempFolder folder;
    const std::string png = (folder.Path() / "loop.png").string();
    view.WritePng(png);
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 600);
    ASSERT_EQ(image.Height(), 500);

    // The ranges are the data's extent widened by 15 % of it on each side: the data spans
    // 0.15/1.3 to 1.15/1.3 of the plot area each way, volume across and flow up.
    const double left = Area(loop.GetPlot(), "left"), right = Area(loop.GetPlot(), "right");
    const double top = Area(loop.GetPlot(), "top"), bottom = Area(loop.GetPlot(), "bottom");
    ASSERT_GT(right - left, 300);
    ASSERT_GT(bottom - top, 300);
    const double low = 0.15 / 1.3, high = 1.15 / 1.3;
    const Box box = TraceBox(image);
    const double slack = 3;
    EXPECT_NEAR(box.left, left + low * (right - left), slack);
    EXPECT_NEAR(box.right, left + high * (right - left), slack);
    EXPECT_NEAR(box.top, bottom - high * (bottom - top), slack);
    EXPECT_NEAR(box.bottom, bottom - low * (bottom - top), slack);
}

}  // namespace
