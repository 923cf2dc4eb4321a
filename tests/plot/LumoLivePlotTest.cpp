// The page's plotting library end to end in headless Chromium: a time plot and a scatter plot
// drawn from samples the host serves through lumo_proxy (probe pixels of the page's PNG), and
// copy('print') handing back a printable SVG that the native reader draws.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "LumoEventLog.h"
#include "appkit/RunLoop.h"
#include "appkit/View.h"
#include "graphics/Image.h"
#include "graphics/RecordingContext.h"
#include "plot/LumoHtml.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoViewController.h"
#include "plot/PrintCanvasFromSVG.h"
#include "plot/ScriptCalls.h"
#include "support/FakeStreams.h"
#include "support/TempFolder.h"
#include "web/Browser.h"
#include "web/PageServer.h"

namespace PlotTest {
namespace {

constexpr int kWidth = 500, kHeight = 300;
// The trace colour of both markups, #c81e1e.
constexpr uint32_t kTrace = 0xC81E1E;

class LumoLivePlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
        proxy = new KVD::LumoProxyMac(nullptr, true);
        proxy->AddRef();
        controller = std::make_unique<KVD::LumoViewController>(proxy);
        proxy->InitWithOwner(controller.get());
        events = new LumoEventLog;
        events->AddRef();
        proxy->AttachObserver(events);
    }

    void TearDown() override
    {
        if (proxy == nullptr)
            return;
        proxy->DetachObserver(events);
        events->Release();
        controller.reset();
        proxy->Release();
    }

    void Source(const wchar_t* id, std::vector<float> samples)
    {
        CalcTest::FloatStream* stream = CalcTest::FloatStream::Make(std::move(samples));
        proxy->SetEnumSource(KVD::String(id), stream);
        stream->Release();
    }

    // Sets the plot up from the markup and lets the page pull its data and draw.
    void Show(const std::string& markup)
    {
        controller->AttachWebView(&parent);
        controller->LoadHTML(KVD::LumoHtml::GetLumoHtml());
        ASSERT_TRUE(controller->IsLoaded());
        ASSERT_TRUE(proxy->ExecuteJavaScript(KVD::String(L"lumo.make_plot('local');")));
        std::string setup;
        ASSERT_TRUE(Lumo::GetSetMarkupJS(markup, "local", setup));
        ASSERT_TRUE(controller->ExecuteJavaScript(setup).has_value());
        // The page draws after its data arrives; a script run later waits for that.
        AppKit::RunLoop::Main().RunFor(0.3);
        controller->ExecuteJavaScript("1");
    }

    // The share of the image's pixels in the trace colour, within a few levels per component.
    double TraceShare(const Gfx::Image& image) const
    {
        int found = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const uint32_t p = image.Pixel(x, y);
                bool near = true;
                for (int shift : {16, 8, 0})
                    near = near && std::abs(int(p >> shift & 0xFF) - int(kTrace >> shift & 0xFF)) < 24;
                found += near ? 1 : 0;
            }
        return double(found) / (image.Width() * image.Height());
    }

    // Asks the page for its printable SVG and draws it natively.
    std::string PrintSvg()
    {
        std::string copy;
        Lumo::GetSVGJS("local", "print", copy);
        events->lines.clear();
        controller->ExecuteJavaScript(copy);
        controller->ExecuteJavaScript("1");
        for (const std::string& line : events->lines)
            if (line.rfind("SetSVG local|print|", 0) == 0)
                return line.substr(std::string("SetSVG local|print|").size());
        return "";
    }

    AppKit::View parent{AppKit::Rect{0, 0, kWidth, kHeight}};
    KVD::LumoProxyMac* proxy = nullptr;
    std::unique_ptr<KVD::LumoViewController> controller;
    LumoEventLog* events = nullptr;
    TestSupport::TempFolder folder;
};

TEST_F(LumoLivePlot, ATimePlotAndAScatterPlotDrawTheHostsSamplesAndPrint)
{
    std::vector<float> wave(2000), x(400), y(400);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = float(std::sin(i * 0.01));
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = float(std::cos(i * 0.0157));
        y[i] = float(std::sin(i * 0.0157));
    }
    Source(L"$wave", wave);
    Source(L"$x", x);
    Source(L"$y", y);
    const struct {
        const char* name;
        std::string markup;
    } plots[] = {
        {"tplot", "tplot: {id: 'wave', xdata: [0:0.001:end], ydata: '$wave' [0:1:1999], colour: #c81e1eff}, "
                  "graticule: {colour: #c0c0c0ff}, fullrange_yscalemin: -1.2, fullrange_yscalemax: 1.2"},
        {"scatter", "scatter: {id: 'circle', xdata: '$x' [0:1:399], ydata: '$y' [0:1:399], show_points: false, "
                    "show_lines: true, colour: #c81e1eff}, graticule: {colour: #c0c0c0ff}"},
    };
    for (const auto& plot : plots) {
        SCOPED_TRACE(plot.name);
        Show(plot.markup);
        const std::string png = (folder.Path() / (std::string(plot.name) + ".png")).string();
        ASSERT_TRUE(controller->GetWebView()->RenderToPng(png));
        const Gfx::Image image = Gfx::Image::FromPNG(png);
        ASSERT_EQ(image.Width(), kWidth);
        // A drawn curve (a thin antialiased line), not a blank or an error page, and not a fill.
        const double share = TraceShare(image);
        EXPECT_GT(share, 0.0003);
        EXPECT_LT(share, 0.2);

        const std::string svg = PrintSvg();
        ASSERT_FALSE(svg.empty()) << "no printable SVG came back";
        Gfx::RecordingContext context(Gfx::Size{kWidth, kHeight});
        EXPECT_NO_THROW(KVD::PrintCanvasFromSVG(context, svg, 1, 1, 0, 0));
        EXPECT_GT(context.Calls().size(), 10u);
    }
}

// A property of the wrong kind is warned of in a box the size of its message at the top of the
// plot; the plot, drawn with the default, shows below it.
TEST_F(LumoLivePlot, APropertyWarningTakesTheRoomOfItsMessageOnly)
{
    std::vector<float> wave(2000);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = float(std::sin(i * 0.01));
    Source(L"$wave", wave);
    Show("tplot: {id: 'wave', xdata: [0:0.001:end], ydata: '$wave' [0:1:1999], colour: #c81e1eff}, "
         "graticule: {colour: #c0c0c0ff}, fullrange_yscalemin: -1.2, fullrange_yscalemax: 1.2, fontsize: 'big'");
    // The box slides down after 400 ms, in 300 ms.
    AppKit::RunLoop::Main().RunFor(1.0);
    const std::optional<Web::Value> box = controller->ExecuteJavaScript(
        "(function () { var d = document.getElementById('lumo_error_div');"
        " return d ? [d.offsetHeight, d.parentNode.offsetHeight, d.textContent.indexOf('fontsize') >= 0 ? 1 : 0] : []; })()");
    ASSERT_TRUE(box.has_value());
    ASSERT_EQ(box->AsArray().size(), 3u) << "no warning shown";
    const double height = box->AsArray()[0].AsNumber(), plotHeight = box->AsArray()[1].AsNumber();
    EXPECT_EQ(plotHeight, kHeight);
    EXPECT_EQ(box->AsArray()[2].AsNumber(), 1);
    // A line or two of 12 px text with its padding, not the plot's whole height.
    EXPECT_GT(height, 12);
    EXPECT_LT(height, 60);

    const std::string png = (folder.Path() / "warning.png").string();
    ASSERT_TRUE(controller->GetWebView()->RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    // The warning's background at its top, none of it further down, and the trace drawn.
    constexpr uint32_t kWarning = 0xFFF4F4;
    EXPECT_EQ(image.Pixel(kWidth / 2, 4) & 0xFFFFFF, kWarning);
    for (const int y : {kHeight / 2, kHeight - 10})
        EXPECT_NE(image.Pixel(kWidth / 2, y) & 0xFFFFFF, kWarning) << "at y " << y;
    EXPECT_GT(TraceShare(image), 0.0003);
}

// A printable SVG larger than a call may carry never reaches the host: the view says why,
// rather than leave its print waiting; a new load of the page forgets it.
TEST_F(LumoLivePlot, ACallRefusedForItsSizeFailsTheViewSayingWhy)
{
    Show("graticule: {colour: #c0c0c0ff}");
    EXPECT_EQ(controller->GetWebView()->DrawingFailure(), "");
    const size_t tooLarge = Web::PageServer::kMaxRequestBytes + 1;
    controller->ExecuteJavaScript("lumo_proxy.SetSVG('local', 'print', 'x'.repeat(" + std::to_string(tooLarge) + "))");
    EXPECT_EQ(controller->GetWebView()->DrawingFailure(), "the host refused a call from the page: it carried more than 8 MB");
    controller->ExecuteJavaScript("lumo_proxy.SetSVG('local', 'print', '<svg/>')");
    EXPECT_EQ(events->lines.back(), "SetSVG local|print|<svg/>");
    Show("graticule: {colour: #c0c0c0ff}");
    EXPECT_EQ(controller->GetWebView()->DrawingFailure(), "");
}

}  // namespace
}  // namespace PlotTest
