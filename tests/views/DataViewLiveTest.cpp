// The data view of the small recording in Chromium: the flow trace in the upper plot, the
// volume trace in the lower one.
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

using namespace ViewsTest;

namespace {

const wchar_t* const kDrawn =
    L"(function (p) { return p && p.plotters.some(function (q) { return q.kind === 'tplot'; }) && "
    L"p.scheduler.pending === null && p.timings.draw !== undefined ? 1 : 0; })(lumo.get_plot('local'))";

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

// Pixels of the rows top to bottom near the colour.
int CountNear(const Gfx::Image& image, uint32_t rgb, int top, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom && y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.Pixel(x, y);
            int distance = 0;
            for (int s = 0; s <= 16; s += 8)
                distance = std::max(distance, std::abs(int(p >> s & 0xFF) - int(rgb >> s & 0xFF)));
            count += distance < 40;
        }
    return count;
}

// The channels' trace colours of the small recording's document.
constexpr uint32_t kFlowBlue = 0x0040FF, kVolumeGreen = 0x0E6A00;

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
    EXPECT_GT(CountNear(image, kFlowBlue, 0, split), 100);
    EXPECT_EQ(CountNear(image, kFlowBlue, split, image.Height()), 0);
    EXPECT_GT(CountNear(image, kVolumeGreen, split, image.Height()), 100);
    EXPECT_EQ(CountNear(image, kVolumeGreen, 0, split), 0);
}

}  // namespace
