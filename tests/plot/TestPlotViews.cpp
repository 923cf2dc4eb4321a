#include "TestPlotViews.h"

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "appkit/Window.h"
#include "host/views/OpenedView.h"
#include "plot/LumoHtml.h"
#include "support/FakeStreams.h"
#include "web/Page.h"

namespace PlotTest {

bool WaitUntilDrawn(std::initializer_list<KVD::LumoPlotMac*> plots, double seconds)
{
    // 1 once the plot has a time plot and no draw is pending.
    static const KVD::String drawn(
        L"(function (p) { return p && p.plotters.some(function (q) { return q.kind === 'tplot'; }) && "
        L"p.scheduler.pending === null && p.timings.draw !== undefined ? 1 : 0; })(lumo.get_plot('local'))");
    // The page's queued calls run after each evaluation (a markup sent twice sets the plot up
    // again): drawn counts when two rounds in a row find every plot drawn.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int rounds = 0;
    do {
        bool all = true;
        for (KVD::LumoPlotMac* plot : plots)
            all = all && plot->CallJavaScript(drawn) == 1;
        rounds = all ? rounds + 1 : 0;
        if (rounds == 2)
            return true;
        Host::SettlePages(0.005);
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

std::string& TestPage()
{
    static std::string page = "<div id=\"local\"></div>";
    return page;
}

bool TestPlotWindow::SetOutlet(const std::string& name, AppKit::View* view)
{
    if (name == "plot1" || name == "plot2") {
        mFrames[name == "plot1" ? 0 : 1] = view;
        return true;
    }
    return false;
}

void TestPlotWindow::WindowDidLoad()
{
    const Web::LoadTogether together;
    for (size_t i = 0; i < mPlots.size(); ++i) {
        mPlots[i]->AttachWebView(mFrames[i]);
        mPlots[i]->LoadHTML(KVD::ToKVDString(mPage), KVD::String());
    }
}

void TestPlotWindow::OnFrameLoaded(const Web::WebFrame& frame)
{
    if (auto* view = dynamic_cast<KVD::LumoViewBase*>(GetViewBase()))
        view->OnLoad(frame);
}

namespace {

// A sine of one period per second at 1 kHz, scaled. Like a recording's, its samples exist
// before a view opens: each length and scale is made once and shared by the sources over it.
IEnumFloatEx* Sine(unsigned count, float scale)
{
    static std::map<std::pair<unsigned, float>, std::shared_ptr<const std::vector<float>>> made;
    std::shared_ptr<const std::vector<float>>& data = made[{count, scale}];
    if (data == nullptr) {
        std::vector<float> samples(count);
        for (unsigned i = 0; i < count; ++i)
            samples[i] = scale * float(std::sin(2 * M_PI * i / 1000.0));
        data = std::make_shared<const std::vector<float>>(std::move(samples));
    }
    return new CalcTest::FloatStream(data, std::make_shared<CalcTest::ReadLog>());
}

KVD::String TimePlot(const wchar_t* id, const wchar_t* source, const KVD::String& colour, unsigned shownSamples)
{
    KVD::String markup(L"graticule: null, tplot: {id: '");
    markup += KVD::String(id);
    markup += KVD::String(L"', xdata: [0:0.001:end], ydata: '");
    markup += KVD::String(source);
    markup += KVD::String(L"'[0:1:end], colour: ");
    markup += colour;
    markup += KVD::String(L"}");
    if (shownSamples > 0)
        markup += KVD::String((L", fullrange_xscalemin: 0, fullrange_xscalemax: " +
                               std::to_wstring(double(shownSamples) / 1000.0)).c_str());
    return markup;
}

}  // namespace

TestSingleView::~TestSingleView() { CleanupWindowController(); }

bool TestSingleView::CreateWindowController()
{
    mWindow = std::make_shared<TestPlotWindow>(this, std::vector<KVD::LumoPlotMac*>{&GetPlot()}, TestPage());
    return true;
}

KVD::String& TestSingleView::Markup()
{
    static KVD::String markup;
    return markup;
}

const wchar_t* const TestDoubleView::kViewName = L"Test Double Plot";

TestDoubleView::~TestDoubleView() { CleanupWindowController(); }

unsigned& TestDoubleView::SampleCount()
{
    static unsigned count = 2000;
    return count;
}

bool& TestDoubleView::ShowAll()
{
    static bool all = false;
    return all;
}

unsigned& TestSingleView::SampleCount()
{
    static unsigned count = 2000;
    return count;
}

bool TestDoubleView::CreateWindowController()
{
    mWindow = std::make_shared<TestPlotWindow>(this, std::vector<KVD::LumoPlotMac*>{&GetPlot1(), &GetPlot2()},
                                               TestPage());
    return true;
}


void TestSingleView::UpdatePlots(uint32_t flags)
{
    log.updates.push_back(flags);
    if (Markup().empty())
        return;
    if (flags & KVD::kUpdateSources) {
        IEnumFloatEx* source = Sine(SampleCount(), 1.0f);
        GetPlot().SetEnumSource(KVD::String(L"$first"), source);
        source->Release();
    }
    if (flags & KVD::kUpdateMarkup)
        GetPlot().SetMarkup(Markup());
}

void TestDoubleView::UpdatePlots(uint32_t flags)
{
    log.updates.push_back(flags);
    if (flags & KVD::kUpdateSources) {
        IEnumFloatEx* first = Sine(SampleCount(), 1.0f);
        IEnumFloatEx* second = Sine(SampleCount(), 3.0f);
        GetPlot1().SetEnumSource(KVD::String(L"$first"), first);
        GetPlot2().SetEnumSource(KVD::String(L"$second"), second);
        first->Release();
        second->Release();
    }
    if (flags & KVD::kUpdateMarkup) {
        const unsigned shown = ShowAll() ? SampleCount() : 0;
        GetPlot1().SetMarkup(TimePlot(L"first_plot", L"$first", GetTraceColour(TChannelId{0, 0}, 1.0), shown));
        GetPlot2().SetMarkup(TimePlot(L"second_plot", L"$second", GetTraceColour(TChannelId{1, 0}, 1.0), shown));
    }
}

TestXYView::~TestXYView() { CleanupWindowController(); }

bool TestXYView::CreateWindowController()
{
    mWindow = std::make_shared<TestPlotWindow>(this, std::vector<KVD::LumoPlotMac*>{&GetPlot()}, TestPage());
    return true;
}

void TestXYView::GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const
{
    x = xRange;
    y = yRange;
}

void TestXYView::CreateEnum(const KVD::String&, const KVD::String&, IEnumFloatEx** x, IEnumFloatEx** y)
{
    ++enumsMade;
    *x = CalcTest::FloatStream::Make(CalcTest::Ramp(10));
    *y = CalcTest::FloatStream::Make(CalcTest::Ramp(10));
}

void TestXYView::DoPointClicked(const wchar_t* dataId, const wchar_t* label, bool select)
{
    log.clicks.push_back(KVD::ToU8String(KVD::String(dataId)) + " " + KVD::ToU8String(KVD::String(label)) +
                         (select ? " select" : ""));
}

}  // namespace PlotTest
