// Plot document views with the in-process page: window creation and the first update when a
// page loads, the update-kind flags, the copy, print and print-preview messages, the minimum
// size, the colour texts, and the XY view's whole update cycle and clicked points.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FrameworkIds.h"
#include "IMessage.h"
#include "TestPlotViews.h"
#include "appkit/Window.h"
#include "cf/Bundle.h"
#include "host/document/HostDocument.h"
#include "plot/LumoIds.h"
#include "support/TempFolder.h"
#include "web/InProcessPage.h"

namespace PlotTest {
namespace {

using KVD::String;

class PlotViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        Web::Page::SetFactory([this] {
            auto page = std::make_unique<Web::InProcessPage>();
            pages.push_back(page.get());
            return page;
        });
        mBundle.Write("Resources/layouts/TestPlotWindow.xml", TestPlotWindow::kLayout);
        host = Host::HostDocument::Create(L"Recording");
    }
    void TearDown() override
    {
        if (view != nullptr) {
            view->CleanupWindow();
            delete view;
        }
        host->Close();
        host->Release();
        Web::Page::SetFactory(nullptr);
    }
    template <class View>
    View& Open()
    {
        auto* made = new View(nullptr, nullptr, nullptr, static_cast<IDocument*>(host), Bundle());
        view = made;
        record = made->Create();
        return *made;
    }
    NSBundle* Bundle() const { return NSBundle::BundleWithPath(mBundle.Path().string()); }
    // The host's document event: a channel's display settings changed.
    void ChannelDisplayChanged()
    {
        uint64_t slot = 0;
        host->NotifyObservers(EventIdClass<&CLSID_OrrelDocument, 7u>::GetId(), &slot);
    }
    static void PostUpdate(ISubject* subject, uint32_t kind)
    {
        uint64_t slot = kind;
        subject->NotifyObservers(KVD::LumoEventId<KVD::kLumoUpdate>::GetId(), &slot);
    }
    uint32_t Stored() const
    {
        uint32_t count = 0;
        host->GetRegistrar()->GetObjectCount(&count);
        return count;
    }

    Host::HostDocument* host = nullptr;
    KVD::LumoViewBase* view = nullptr;
    HWND record{};
    std::vector<Web::InProcessPage*> pages;

private:
    TestSupport::TempFolder mBundle;
};

TEST_F(PlotViews, ALoadedPageGetsItsPlotObjectAndTheFirstUpdate)
{
    TestSingleView& single = Open<TestSingleView>();
    ASSERT_NE(single.GetWindowController(), nullptr);
    EXPECT_EQ(record.NativeWindow(), &single.GetWindowController()->GetWindow());
    EXPECT_EQ(record.words[0] | record.words[1] | record.words[3], 0u);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->Scripts(), std::vector<std::string>{"lumo.make_plot('local').dblclick_ms(200);"});
    EXPECT_EQ(single.log.updates, std::vector<uint32_t>{0x13});  // kind 6: a still document
    EXPECT_FALSE(single.SamplingFlag());
    ASSERT_NE(single.GetPlot().GetPersistTask(), nullptr);
    EXPECT_EQ(single.GetPlot().GetPersistTask()->PlotId(), String(L"single_plot"));
    // Every load updates again; a sampling document gets kind 0.
    host->SetSampling(true);
    single.GetPlot().LoadHTML(String(L"<div id=\"local\"></div>"), String());
    EXPECT_EQ(single.log.updates, (std::vector<uint32_t>{0x13, 0x13}));
    EXPECT_TRUE(single.SamplingFlag());
}

TEST_F(PlotViews, UpdateKindsBecomeFlags)
{
    TestSingleView& single = Open<TestSingleView>();
    const struct {
        uint32_t kind;
        uint32_t flags;
        bool sampling;
    } table[] = {{0, 0x13, true}, {1, 0x20, true}, {2, 0x20, false}, {3, 0x18, false}, {4, 0x19, false},
                 {5, 0x11, false}, {6, 0x13, false}, {7, 0, false},    {100, 0, false}};
    for (const auto& row : table) {
        single.log.updates.clear();
        single.EvUpdatePlots(row.kind);
        EXPECT_EQ(single.log.updates, std::vector<uint32_t>{row.flags}) << row.kind;
        EXPECT_EQ(single.SamplingFlag(), row.sampling) << row.kind;
    }
    // The flags are or'ed into what the caller has.
    uint32_t flags = 0x40;
    single.SetUpdateFlags(3, flags);
    EXPECT_EQ(flags, 0x58u);
}

// Update kinds posted on a plot's subject, and the document's display change, reach the view.
TEST_F(PlotViews, ThePlotsAndTheDocumentsEventsReachTheView)
{
    TestDoubleView& both = Open<TestDoubleView>();
    both.log.updates.clear();
    PostUpdate(both.GetPlot1().GetSubject(), 4);
    PostUpdate(both.GetPlot2().GetSubject(), 1);
    ChannelDisplayChanged();
    EXPECT_EQ(both.log.updates, (std::vector<uint32_t>{0x19, 0x20, 0x10}));
}

// Each page load creates only its own plot's object, and updates both plots once.
TEST_F(PlotViews, ADoubleViewMakesThePlotObjectOfThePageThatLoaded)
{
    TestDoubleView& both = Open<TestDoubleView>();
    ASSERT_EQ(pages.size(), 2u);
    const std::string make = "lumo.make_plot('local').dblclick_ms(200);";
    EXPECT_EQ(pages[0]->Scripts().front(), make);
    EXPECT_EQ(pages[1]->Scripts().front(), make);
    EXPECT_EQ(both.log.updates, (std::vector<uint32_t>{0x13, 0x13}));
    EXPECT_EQ(both.GetPlot1().GetPersistTask()->PlotId(), String(L"first_plot"));
    EXPECT_EQ(both.GetPlot2().GetPersistTask()->PlotId(), String(L"second_plot"));
    const size_t before = pages[0]->Scripts().size();
    both.GetPlot2().LoadHTML(String(L"<div id=\"local\"></div>"), String());
    EXPECT_EQ(pages[1]->Scripts().front(), make);
    EXPECT_EQ(std::count(pages[0]->Scripts().begin() + before, pages[0]->Scripts().end(), make), 0);
    // The double view leaves printing and copying to the derived view.
    EXPECT_TRUE(both.HmViewPrint());
    EXPECT_TRUE(both.HmViewCopy());
    EXPECT_TRUE(both.GetPlot1().PrintJobs().empty());
    EXPECT_TRUE(both.GetPlot2().CopyJobs().empty());
}

size_t MarkupsSent(const Web::InProcessPage& page)
{
    return size_t(std::count_if(page.Scripts().begin(), page.Scripts().end(), [](const std::string& script) {
        return script.find(".set_markup(") != std::string::npos;
    }));
}

// A page load updates both plots; the plot whose page loaded before already shows that same
// update when nothing was updated since, and its identical markup is not set up again.
TEST_F(PlotViews, APageLoadDoesNotSetTheOtherPlotUpAgainWithTheSameMarkup)
{
    TestDoubleView& both = Open<TestDoubleView>();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(both.log.updates, (std::vector<uint32_t>{0x13, 0x13}));
    EXPECT_EQ(MarkupsSent(*pages[0]), 1u);
    EXPECT_EQ(MarkupsSent(*pages[1]), 1u);
    const String page(L"<div id=\"local\"></div>");
    // The second page again: still nothing new for the first plot.
    both.GetPlot2().LoadHTML(page, String());
    EXPECT_EQ(both.log.updates, (std::vector<uint32_t>{0x13, 0x13, 0x13}));
    EXPECT_EQ(MarkupsSent(*pages[0]), 1u);
    EXPECT_EQ(MarkupsSent(*pages[1]), 2u);
    // An update between the loads, or the first plot's data changed: it is set up again.
    PostUpdate(both.GetPlot2().GetSubject(), 3);
    EXPECT_EQ(MarkupsSent(*pages[0]), 2u);
    both.GetPlot2().LoadHTML(page, String());
    EXPECT_EQ(MarkupsSent(*pages[0]), 3u);
    both.GetPlot1().PlotterDataChanged(String(L"first_plot"), 0, 10);
    both.GetPlot2().LoadHTML(page, String());
    EXPECT_EQ(MarkupsSent(*pages[0]), 4u);
    // Outside a page load the same markup is sent whenever the view updates.
    both.EvUpdatePlots(5);
    EXPECT_EQ(MarkupsSent(*pages[0]), 5u);
    EXPECT_EQ(MarkupsSent(*pages[1]), 6u);
}

TEST_F(PlotViews, CopyAndPrintStartTheSinglePlotsJobs)
{
    TestSingleView& single = Open<TestSingleView>();
    EXPECT_TRUE(single.CanPrint());
    EXPECT_TRUE(single.CanCopyToClipboard());
    EXPECT_FALSE(single.CanPrintPreview());
    EXPECT_TRUE(single.HmViewPrintPreview());
    EXPECT_TRUE(single.GetPlot().PrintJobs().empty());
    EXPECT_TRUE(single.HmViewPrint());
    ASSERT_EQ(single.GetPlot().PrintJobs().size(), 1u);
    EXPECT_EQ(single.GetPlot().PrintJobs()[0]->JobName(), "Test Plot");
    EXPECT_EQ(pages[0]->Scripts().back(), "lumo.get_plot('local').copy('print');");
    EXPECT_TRUE(single.HmViewCopy());
    ASSERT_EQ(single.GetPlot().CopyJobs().size(), 1u);
    EXPECT_EQ(single.GetPlot().CopyJobs()[0]->JobName(), "");
}

TEST_F(PlotViews, TheMinimumSizeIsAlways300By200)
{
    TestSingleView& single = Open<TestSingleView>();
    for (const tagSIZE proposed : {tagSIZE{10, 10}, tagSIZE{3000, 2000}}) {
        tagSIZE size = proposed;
        single.OnSizing(0, nullptr, &size);
        EXPECT_EQ(size.cx, 300);
        EXPECT_EQ(size.cy, 200);
    }
    single.OnSizing(0, nullptr, nullptr);
}

TEST_F(PlotViews, ColourTextsFromTheDocumentsDisplaySettings)
{
    TestSingleView& single = Open<TestSingleView>();
    const struct {
        uint32_t rgb;  // red in the low byte
        double opacity;
        const wchar_t* text;
    } table[] = {
        {0x0000FF, 0.5, L"#ff00007f"},  {0x204080, 1.0, L"#804020ff"}, {0xC80001, 0.0, L"#0100c800"},
        {0xFFFFFF, 0.999, L"#fffffffe"},
    };
    for (const auto& row : table) {
        host->SetChannelColour(3, row.rgb);
        EXPECT_EQ(single.GetTraceColour(TChannelId{3, 0x40000000}, row.opacity), String(row.text)) << row.rgb;
    }
    // A channel of no colour of its own takes the colour library's colour of its number (the
    // third of seven for channel 9); the graticule is the host's grey grid.
    EXPECT_EQ(single.GetTraceColour(TChannelId{9, 0}, 1.0), String(L"#0e6a00ff"));
    EXPECT_EQ(single.GetGraticuleColour(), String(L"#b5b5b5ff"));
}

// The XY view's cycle: what each update kind sends the page and keeps, by the draw type.
TEST_F(PlotViews, TheXYViewsUpdateCycle)
{
    TestXYView& xy = Open<TestXYView>();
    Web::InProcessPage& page = *pages[0];
    KVD::LumoPlotMac& plot = xy.GetPlot();
    // The first load: kind 6 made the sources, kept the ranges and sent the markup.
    EXPECT_EQ(xy.enumsMade, 1);
    EXPECT_TRUE(plot.GetLumoProxy()->HasData());
    EXPECT_NE(xy.GetXSource(), nullptr);
    const std::string markup =
        "lumo.get_plot('local').set_markup('xy: {id: \\'Loop\\'}, yscalemin: -8,yscalemax: 8, do_initial_autoscale_y: "
        "false, xscalemin: 1,xscalemax: 4, do_initial_autoscale_x: false, ');";
    EXPECT_EQ(page.Scripts(), (std::vector<std::string>{"lumo.make_plot('local').dblclick_ms(200);", markup}));
    // Kind 6 again keeps the ranges already kept.
    xy.xRange = ChannelYDataRange{9, 0.5};
    xy.EvUpdatePlots(6);
    EXPECT_EQ(xy.enumsMade, 2);
    EXPECT_EQ(page.Scripts().back(), markup);
    // Kinds 1 and 2 report changed data only: from the start, or from the end for draw type 2.
    const size_t scripts = page.Scripts().size();
    xy.EvUpdatePlots(1);
    xy.drawType = 2;
    xy.EvUpdatePlots(2);
    EXPECT_EQ(std::vector<std::string>(page.Scripts().begin() + scripts, page.Scripts().end()),
              (std::vector<std::string>{"lumo.get_plot('local').plotter_data_changed('Loop', 0, 2147483647);",
                                        "lumo.get_plot('local').plotter_data_changed('Loop', 2147483647, 2147483647);"}));
    EXPECT_EQ(xy.enumsMade, 2);
    // Kind 3 applies the ranges as the user's rescale: stored by the host, back in the markup.
    EXPECT_EQ(Stored(), 0u);
    xy.EvUpdatePlots(3);
    EXPECT_EQ(Stored(), 2u);
    EXPECT_NE(page.Scripts().back().find("xscalemin: 0.5,xscalemax: 9,"), std::string::npos) << page.Scripts().back();
    // Kind 7 and flags 0 do nothing; the display change resends only the markup.
    const size_t settled = page.Scripts().size();
    xy.EvUpdatePlots(7);
    xy.UpdatePlots(0);
    EXPECT_EQ(page.Scripts().size(), settled);
    ChannelDisplayChanged();
    EXPECT_EQ(page.Scripts().size(), settled + 1);
    EXPECT_EQ(page.Scripts().back().rfind("lumo.get_plot('local').set_markup(", 0), 0u);
    EXPECT_EQ(xy.enumsMade, 2);
}

// The page reports a click on the loop: the view hears the y source and the point's label.
TEST_F(PlotViews, TheXYViewHearsClickedPoints)
{
    TestXYView& xy = Open<TestXYView>();
    Web::InProcessPage& page = *pages[0];
    page.PlayCall("lumo_proxy", "OnMouseClick",
                  {Web::Value::Number(3), Web::Value::String("loop"), Web::Value::Boolean(true)});
    page.PlayCall("lumo_proxy", "OnMouseClick",
                  {Web::Value::Number(2.5), Web::Value::String("other"), Web::Value::Boolean(false)});
    page.RunQueuedCalls();
    EXPECT_EQ(xy.log.clicks, (std::vector<std::string>{"$y  select", "other 2.5"}));
}

}  // namespace
}  // namespace PlotTest
