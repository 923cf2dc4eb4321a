// The data view of the small recording in Chromium: the flow trace in the upper plot, the
// volume trace in the lower one, the forced breath shaded by the overlays in both.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "DataViewHost.h"
#include "appkit/Window.h"
#include "graphics/Image.h"
#include "host/views/OpenedView.h"
#include "support/TempFolder.h"
#include "views/SpiroDataWindow.h"
#include "web/Browser.h"
#include "support/PixelCount.h"

using namespace ViewsTest;

namespace {

const wchar_t* const kDrawn =
    L"(function (p) { return p && p.plotters.some(function (q) { return q.kind === 'tplot'; }) && "
    L"p.scheduler.pending === null && p.timings.draw !== undefined ? 1 : 0; })(lumo.get_plot('local'))";

// 1 when the page's menu button is shown and covers none of the scales' texts (a script that
// fails answers 0). The top label, as the data view's left strip draws it, is one of them.
const wchar_t* const kMenuButtonClear =
    L"(function (p) { var e = p.menu_button.el[0], boxes = p.scale_text_boxes;"
    L" var x = e.offsetLeft, y = e.offsetTop, w = e.offsetWidth, h = e.offsetHeight;"
    L" var top = boxes.some(function (b) { return b.top < p.area.top && b.right <= p.area.left; });"
    L" var covered = boxes.some(function (b) { return x < b.right && b.left < x + w && y < b.bottom && b.top < y + h; });"
    L" return w > 0 && top && !covered ? 1 : 0; })(lumo.get_plot('local'))";

// 1 when all five zoom buttons are shown above the data area, which the overlay covers.
const wchar_t* const kZoomButtonsAboveTheData =
    L"(function (p) { var z = p.plotters.filter(function (q) { return q.kind === 'zoom'; })[0];"
    L" return z && z.buttons.length === 5 && z.buttons.every(function (b) { var e = b.el[0];"
    L" return e.offsetWidth > 0 && e.offsetTop + e.offsetHeight <= p.area.top; }) ? 1 : 0; })(lumo.get_plot('local'))";

bool WaitForDrawn(std::initializer_list<KVD::LumoPlotMac*> plots)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        bool all = true;
        for (KVD::LumoPlotMac* plot : plots)
            all = all && plot->CallJavaScript(KVD::String(kDrawn)) == 1;
        if (all)
            return true;
        Host::SettlePages(0.02);
    }
    return false;
}

class DataViewLive : public DataViewHost {
protected:
    void SetUp() override
    {
        DataViewHost::SetUp();
        Web::Page::SetFactory(nullptr);
    }
};

// The flow trace (#0040ff) antialiased over white or grey: more green than red, unlike the
// overlays' pure blue pen. The volume trace (#0e6a00): green ahead of both. The overlays'
// shading: a quarter of dark grey over white.
bool FlowBlue(int r, int g, int b) { return b - r > 80 && g - r > 15; }
bool VolumeGreen(int r, int g, int b) { return g - std::max(r, b) > 40; }
bool Shade(int r, int g, int b) { return std::abs(r - 0xD8) < 8 && r == g && g == b; }

TEST_F(DataViewLive, BothPlotsDrawTheirTraces)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    Spirometry::SpiroDataView& view = OpenDataView();
    ASSERT_TRUE(WaitForDrawn({&view.GetPlot1(), &view.GetPlot2()}));
    auto* window = static_cast<AppKit::Window*>(view.GetNativeWindow());
    ASSERT_NE(window, nullptr);
    TestSupport::TempFolder folder;
    const std::string png = (folder.Path() / "data.png").string();
    ASSERT_TRUE(window->RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    const int split = int(view.GetDataWindow()->VolumeFrame()->Frame().y);
    EXPECT_GT(TestSupport::CountPixels(image, 0, split, FlowBlue), 300);
    EXPECT_EQ(TestSupport::CountPixels(image, split, image.Height(), FlowBlue), 0);
    EXPECT_GT(TestSupport::CountPixels(image, split, image.Height(), VolumeGreen), 300);
    EXPECT_EQ(TestSupport::CountPixels(image, 0, split, VolumeGreen), 0);
    // The overlays shade the forced breath in both plots: a quarter of dark grey over white.
    EXPECT_GT(TestSupport::CountPixels(image, 0, split, Shade), 5000);
    EXPECT_GT(TestSupport::CountPixels(image, split, image.Height(), Shade), 5000);
    // The narrow top margin puts each plot's top label where the menu button would sit.
    EXPECT_EQ(view.GetPlot1().CallJavaScript(KVD::String(kMenuButtonClear)), 1);
    EXPECT_EQ(view.GetPlot2().CallJavaScript(KVD::String(kMenuButtonClear)), 1);
    EXPECT_EQ(view.GetPlot1().CallJavaScript(KVD::String(kZoomButtonsAboveTheData)), 1);
    EXPECT_EQ(view.GetPlot2().CallJavaScript(KVD::String(kZoomButtonsAboveTheData)), 1);
}

}  // namespace
