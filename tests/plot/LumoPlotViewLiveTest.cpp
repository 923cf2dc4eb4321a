// Plot views in headless Chromium, opened as `spirohost view` opens views: through their
// registered view class by name. A double-plot view over generated data draws both plots in
// their channel colours; a single plot prints and copies through its job.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "PlotViewHost.h"
#include "TestPlotViews.h"
#include "graphics/Image.h"
#include "host/views/OpenedView.h"
#include "plot/LumoHtml.h"
#include "support/PdfRaster.h"
#include "support/TempFolder.h"
#include "web/Browser.h"
#include "web/Page.h"

namespace PlotTest {
namespace {

// Pixels of the rows top to bottom where one component (16 red, 0 blue) stands out: the
// trace colour, antialiased.
int CountTinted(const Gfx::Image& image, int shift, int top, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom && y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.Pixel(x, y);
            const int tint = int(p >> shift & 0xFF);
            int rest = 0;
            for (int s = 0; s <= 16; s += 8)
                if (s != shift)
                    rest = std::max(rest, int(p >> s & 0xFF));
            count += tint - rest > 80;
        }
    return count;
}

constexpr int kRed = 16, kBlue = 0;

class LivePlotViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
        mPage = TestPage();
        TestPage() = KVD::LumoHtml::GetLumoHtml();
        host = std::make_unique<PlotViewHost>();
        host->Host().SetChannelColour(0, 0x0000FF);  // red, red in the low byte
        host->Host().SetChannelColour(1, 0xFF0000);  // blue
    }
    void TearDown() override
    {
        host.reset();
        if (!mPage.empty())
            TestPage() = mPage;
    }

    std::unique_ptr<PlotViewHost> host;
    TestSupport::TempFolder folder;

private:
    std::string mPage;
};

TEST_F(LivePlotViews, ADoubleViewDrawsBothPlotsInTheirChannelColours)
{
    ASSERT_TRUE(host->AddViewClass<TestDoubleView>(TestDoubleView::kViewName));
    const Host::OpenedView view(host->Document(), KVD::ToU8String(KVD::String(TestDoubleView::kViewName)));
    auto* both = PlotViewHost::ViewObject<TestDoubleView>(view.View());
    ASSERT_TRUE(WaitUntilDrawn({&both->GetPlot1(), &both->GetPlot2()}, 20));
    const std::string png = (folder.Path() / "view.png").string();
    view.WritePng(png);
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 600);
    ASSERT_EQ(image.Height(), 400);
    // The first plot's frame is the window's upper half, the second's the lower.
    EXPECT_GT(CountTinted(image, kRed, 0, 200), 300);
    EXPECT_GT(CountTinted(image, kBlue, 200, 400), 300);
    EXPECT_EQ(CountTinted(image, kBlue, 0, 200), 0);
    EXPECT_EQ(CountTinted(image, kRed, 200, 400), 0);
}

// Print and copy go through the plot's jobs: the page's SVG becomes the printed page and the
// pasteboard's PDF.
TEST_F(LivePlotViews, ASinglePlotViewPrintsAndCopiesItsPlot)
{
    TestSingleView::Markup() = KVD::String(
        L"graticule: null, tplot: {id: 'single_plot', xdata: [0:0.001:end], ydata: '$first'[0:1:end], "
        L"colour: #ff0000ff}");
    ASSERT_TRUE(host->AddViewClass<TestSingleView>(L"Test Plot"));
    {
        const Host::OpenedView view(host->Document(), "Test Plot");
        ASSERT_TRUE(WaitUntilDrawn({&PlotViewHost::ViewObject<TestSingleView>(view.View())->GetPlot()}, 20));
        const std::string printed = (folder.Path() / "print.pdf").string(), copied = (folder.Path() / "copy.pdf").string();
        view.PrintToPdf(printed);
        view.CopyToPdf(copied);
        std::ifstream in(printed, std::ios::binary);
        const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const Gfx::Image page = TestSupport::RasterizePDF(pdf);
        EXPECT_EQ(page.Width(), 596);
        EXPECT_GT(CountTinted(page, kRed, 0, page.Height()), 200);
        std::ifstream copy(copied, std::ios::binary);
        const Gfx::Image image = TestSupport::RasterizePDF(
            std::string((std::istreambuf_iterator<char>(copy)), std::istreambuf_iterator<char>()));
        EXPECT_EQ(image.Width(), 600);  // the window's content
        EXPECT_GT(CountTinted(image, kRed, 0, image.Height()), 200);
    }
    TestSingleView::Markup() = KVD::String();
}

}  // namespace
}  // namespace PlotTest
