// The flow-volume loop view with the in-process page: its markup, ranges and streams over the
// analysed span, the labels and unit names, the update flags by reason, the three document
// events, and the copy and print messages through the plot's jobs.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "FrameworkIds.h"
#include "LoopViewHost.h"
#include "appkit/Window.h"
#include "foundation/COMPtr.h"
#include "framework/KVDDocViewWindowController.h"
#include "host/views/ViewCommands.h"
#include "plot/LumoPrintJob.h"
#include "spirometry/SpiroIds.h"
#include "web/InProcessPage.h"

using namespace ViewsTest;

namespace {

using Spirometry::SpiroLoopView;

// The small recording's loop: flow channel 1 in L/s, volume channel 2 in L, the breaths from
// tick 301 to tick 2517 of record 0, the flow channel's trace colour.
const char* const kMarkup =
    "topmargin: 40, rightmargin: 40, scatter: {id: 'spirometry_loop_view', "
    "cursor: { readout: 'Volume: {0} L, Flow: {1} L/s' }, xdata: '$Spiro_Flow' [301:1:2517], "
    "ydata: '$Spiro_Volume' [301:1:2517], show_points: false, show_lines: true, colour: #0040ffff}, "
    "graticule: { colour:#b5b5b5ff, style: 'dashed' }, xlabel: 'Ch 3 : Volume (L)', "
    "ylabel: 'Ch 2 : Flow (L/s)', fullrange_yscalemin: -8.30336, fullrange_yscalemax: 4.19061, "
    "fullrange_xscalemin: -0.524975, fullrange_xscalemax: 4.02494, ";

std::vector<float> Drain(IEnumFloatEx* stream)
{
    std::vector<float> all, chunk(256);
    // 0 delivered is the end.
    while (stream != nullptr) {
        uint32_t got = 0;
        stream->Next(uint32_t(chunk.size()), chunk.data(), &got);
        if (got == 0)
            break;
        all.insert(all.end(), chunk.begin(), chunk.begin() + got);
    }
    return all;
}

// A number as the markup writes doubles: six significant digits.
std::string Six(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A number as the stored ranges go into the markup: the fewest digits that read back the same.
std::string Exact(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

class LoopViewTest : public LoopViewHost {
protected:
    void SetUp() override
    {
        Web::Page::SetFactory([this] {
            auto page = std::make_unique<Web::InProcessPage>();
            pages.push_back(page.get());
            return page;
        });
        LoopViewHost::SetUp();
    }
    void TearDown() override
    {
        LoopViewHost::TearDown();
        Web::Page::SetFactory(nullptr);
    }

    Spirometry::SpiroDocument& Doc() { return *mDoc; }
    std::string Markup() { return KVD::ToU8String(mView->GetMarkup()); }
    size_t MarkupsSent() const
    {
        size_t count = 0;
        for (const std::string& script : pages.at(0)->Scripts())
            count += script.find(".set_markup('topmargin: 40, ") != std::string::npos;
        return count;
    }
    // The samples of both streams over the analysed span: volume, then flow.
    std::pair<std::vector<float>, std::vector<float>> Streams(HRESULT expected = KVD_S_OK)
    {
        KVD::COMPtr<IEnumFloatEx> x, y;
        EXPECT_EQ(mView->CreateStreams(x.Set(), y.Set()), expected);
        return {Drain(x), Drain(y)};
    }

    std::vector<Web::InProcessPage*> pages;
};

TEST_F(LoopViewTest, TheMarkupOfTheAnalysedSpan)
{
    OpenLoop();
    EXPECT_EQ(Markup(), kMarkup);
    // The interval runs from the first breath's start to the last breath's end.
    const Spirometry::BreathList& breaths = Doc().Machine().Breaths();
    ASSERT_EQ(breaths.GetCount(), 5u);
    EXPECT_EQ(breaths[0]->start.tick, 301u);
    EXPECT_EQ(breaths[4]->end.tick, 2517u);
    // The ranges are the span's samples widened by 15 % of their extent on each side.
    const auto [volume, flow] = Streams();
    ASSERT_EQ(volume.size(), 2517u - 301u);
    ASSERT_EQ(flow.size(), volume.size());
    const auto [vLow, vHigh] = std::minmax_element(volume.begin(), volume.end());
    const auto [fLow, fHigh] = std::minmax_element(flow.begin(), flow.end());
    const double vMargin = 0.15 * (*vHigh - *vLow), fMargin = 0.15 * (*fHigh - *fLow);
    const std::string markup = Markup();
    EXPECT_NE(markup.find("fullrange_yscalemin: " + Six(*fLow - fMargin) + ", "), std::string::npos);
    EXPECT_NE(markup.find("fullrange_yscalemax: " + Six(*fHigh + fMargin) + ", "), std::string::npos);
    EXPECT_NE(markup.find("fullrange_xscalemin: " + Six(*vLow - vMargin) + ", "), std::string::npos);
    EXPECT_NE(markup.find("fullrange_xscalemax: " + Six(*vHigh + vMargin) + ", "), std::string::npos);
}

// The page is told the markup and the ranges, high end and low end, volume across and flow up.
TEST_F(LoopViewTest, TheFirstLoadSendsSourcesRangesAndMarkup)
{
    OpenLoop();
    const std::vector<std::string>& scripts = pages.at(0)->Scripts();
    ASSERT_FALSE(scripts.empty());
    ChannelYDataRange x, y;
    mView->GetScaleRanges(x, y);
    EXPECT_NEAR(y.low, -8.30336, 1e-5);
    EXPECT_NEAR(y.high, 4.19061, 1e-5);
    EXPECT_NEAR(x.low, -0.524975, 1e-6);
    EXPECT_NEAR(x.high, 4.02494, 1e-5);
    EXPECT_EQ(scripts.back(), "lumo.get_plot('local').set_markup('" + [] {
        std::string escaped;
        for (char c : std::string(kMarkup))
            escaped += c == '\'' ? std::string("\\'") : std::string(1, c);
        return escaped;
    }() + "yscalemin: " + Exact(y.low) + ",yscalemax: " + Exact(y.high) + ", do_initial_autoscale_y: false, xscalemin: " +
              Exact(x.low) + ",xscalemax: " + Exact(x.high) + ", do_initial_autoscale_x: false, ');");
    EXPECT_NE(mView->GetXSource(), nullptr);
    EXPECT_NE(mView->GetYSource(), nullptr);
    EXPECT_EQ(mView->GetEnumXId(), L"$Spiro_Flow");
    EXPECT_EQ(mView->GetEnumYId(), L"$Spiro_Volume");
    EXPECT_EQ(mView->GetDrawType(), 2);
    EXPECT_EQ(mView->GetPlotId(), L"spirometry_loop_view");
}

// x is the volume and y the flow, sample for sample from the span's start.
TEST_F(LoopViewTest, TheStreamsAreVolumeAcrossAndFlowUp)
{
    OpenLoop();
    const auto [volume, flow] = Streams();
    const KVDPosition start = Doc().AnalysedSpan().first;
    for (uint32_t i : {0u, 1u, 500u, 1000u, 2215u}) {
        float f = 0, v = 0;
        ASSERT_TRUE(Doc().DataAt(KVDPosition{start.tick + i, start.record}, &f, &v, false));
        EXPECT_FLOAT_EQ(volume.at(i), v) << i;
        EXPECT_FLOAT_EQ(flow.at(i), f) << i;
    }
}

// Without breaths the selection is the span; no streams are made.
TEST_F(LoopViewTest, ASelectionWithoutBreathsGivesTheSelectionsIntervalAndNoStreams)
{
    OpenLoop();
    Select(KVDPosition{0, 0}, KVDPosition{100, 0});
    ASSERT_EQ(Doc().Machine().Breaths().GetCount(), 0u);
    const std::string markup = Markup();
    EXPECT_NE(markup.find("xdata: '$Spiro_Flow' [0:1:100], ydata: '$Spiro_Volume' [0:1:100], "), std::string::npos)
        << markup;
    EXPECT_NE(markup.find("readout: 'Volume: {0} L, Flow: {1} L/s'"), std::string::npos) << markup;
    const auto [volume, flow] = Streams(KVD_E_BADSTATE);
    EXPECT_TRUE(volume.empty());
    EXPECT_TRUE(flow.empty());
}

// Only the ticks of the span's ends are written, whatever their records.
TEST_F(LoopViewTest, ASpanIntoAnotherRecordWritesTheTwoTicksOnly)
{
    OpenLoop();
    const Spirometry::BreathList& breaths = Doc().Machine().Breaths();
    breaths[breaths.GetCount() - 1]->end = KVDPosition{40, 1};
    const std::string markup = Markup();
    EXPECT_NE(markup.find("xdata: '$Spiro_Flow' [301:1:40], ydata: '$Spiro_Volume' [301:1:40], "), std::string::npos)
        << markup;
}

struct LabelCase {
    int volumeChannel, flowChannel;
    const wchar_t* volume;
    const wchar_t* flow;
};

class LoopLabels : public LoopViewTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(LoopLabels, NameTheChosenChannelsOnly)
{
    OpenLoop();
    Doc().GetSettings().mSpVolCalcChan = GetParam().volumeChannel;
    Doc().GetSettings().mSpFlowCalcChan = GetParam().flowChannel;
    EXPECT_EQ(mView->GetVolumeLabel(), GetParam().volume);
    EXPECT_EQ(mView->GetFlowLabel(), GetParam().flow);
}

INSTANTIATE_TEST_SUITE_P(Channels, LoopLabels,
                         ::testing::Values(LabelCase{2, 1, L"Ch 3 : Volume", L"Ch 2 : Flow"},
                                           LabelCase{0, 9, L"Ch 1 : Volume", L"Ch 10 : Flow"},
                                           LabelCase{-1, int(0x80000000), L"Volume", L"Flow"}));

// In millilitres and microlitres the loop names the prefixed units and its streams and ranges
// are the document's litres times the prefix's factor.
TEST_F(LoopViewTest, TheLoopInTheSettingsPrefix)
{
    OpenLoop();
    const auto [litresVolume, litresFlow] = Streams();
    const auto flowRange = Doc().FlowRange(), volumeRange = Doc().VolumeRange();
    const struct {
        int prefix;
        double factor;
        std::string units;
    } cases[] = {{Spirometry::SpConfig::kMilliPrefix, 1e3, "Volume: {0} mL, Flow: {1} mL/s' }"},
                 {Spirometry::SpConfig::kMicroPrefix, 1e6, "Volume: {0} \u00B5L, Flow: {1} \u00B5L/s' }"}};
    for (const auto& c : cases) {
        SetFlowUnitPrefix(c.prefix);
        const std::string markup = Markup();
        EXPECT_NE(markup.find(c.units), std::string::npos) << markup;
        EXPECT_NE(markup.find("ylabel: 'Ch 2 : Flow (" + std::string(c.factor == 1e3 ? "m" : "\u00B5") + "L/s)'"),
                  std::string::npos);
        EXPECT_NE(markup.find("fullrange_yscalemax: " + Six(flowRange.first * c.factor) + ", "), std::string::npos)
            << markup;
        EXPECT_NE(markup.find("fullrange_xscalemin: " + Six(volumeRange.second * c.factor) + ", "), std::string::npos)
            << markup;
        const auto [volume, flow] = Streams();
        ASSERT_EQ(volume.size(), litresVolume.size());
        for (size_t i : {size_t(0), size_t(700), size_t(2215)}) {
            EXPECT_NEAR(volume[i], litresVolume[i] * c.factor, 1e-5 * c.factor) << i;
            EXPECT_NEAR(flow[i], litresFlow[i] * c.factor, 1e-5 * c.factor) << i;
        }
    }
}

TEST_F(LoopViewTest, UnitNamesOfTheChannelsInTheSpansRecord)
{
    OpenLoop();
    EXPECT_EQ(mView->GetUnitName(mFlow), L"L/s");
    EXPECT_EQ(mView->GetUnitName(mVolume), L"L");
    EXPECT_EQ(mView->GetUnitName(40), L"");  // no such channel
}

// Reasons 4 and 6 rebuild the sources and send ranges and markup, 5 sources and markup; the
// others leave the flags as they are.
TEST_F(LoopViewTest, UpdateFlagsByReason)
{
    OpenLoop();
    const uint32_t expected[] = {0x100, 0x100, 0x100, 0x100, 0x115, 0x111, 0x115, 0x100, 0x100};
    for (uint32_t reason = 0; reason < 9; ++reason) {
        uint32_t flags = 0x100;
        mView->SetUpdateFlags(reason, flags);
        EXPECT_EQ(flags, expected[reason]) << reason;
    }
}

// The host's selection and data events and the spirometry settings event each rebuild the
// streams and send the markup again.
TEST_F(LoopViewTest, TheThreeDocumentEventsRedraw)
{
    OpenLoop();
    size_t sent = MarkupsSent();
    ASSERT_EQ(sent, 1u);
    // Held, so that the new stream cannot take the address of the one it replaces.
    const KVD::COMPtr<IEnumFloatEx> source(mView->GetXSource());
    Select(KVDPosition{0, 0}, KVDPosition{1400, 0});
    EXPECT_EQ(MarkupsSent(), ++sent);
    EXPECT_NE(Markup().find("[301:1:"), std::string::npos);
    EXPECT_NE(mView->GetXSource(), source.get());
    mData->NotifyDataChanged();
    EXPECT_EQ(MarkupsSent(), ++sent);
    Doc().NotifyObservers(EventInfo{Spirometry::SpiroDocument::GetSettingsChangedEventId(), nullptr});
    EXPECT_EQ(MarkupsSent(), ++sent);
}

TEST_F(LoopViewTest, NamesWindowAndMenuTexts)
{
    OpenLoop();
    EXPECT_EQ(mView->GetViewName(), L"Flow-Volume Loop");
    EXPECT_EQ(SpiroLoopView::GetStaticViewName(), L"Flow-Volume Loop");
    EXPECT_EQ(mView->Edit_CopyToClipboardMenuText(), L"Copy Flow-Volume Loop");
    EXPECT_EQ(mView->File_PrintMenuText(), L"Print Flow-Volume Loop...");
    // The window is the layout's, the plot's page fills its frame.
    auto* window = static_cast<AppKit::Window*>(mView->GetNativeWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, &mView->GetWindowController()->GetWindow());
    EXPECT_EQ(window->Frame().width, 600);
    EXPECT_EQ(window->Frame().height, 500);
    EXPECT_EQ(pages.size(), 1u);
}

// Copy and print are the host's commands under the view's texts; each starts the plot's job.
TEST_F(LoopViewTest, CopyAndPrintMessagesStartThePlotsJobs)
{
    OpenLoop();
    using Host::ViewCommands;
    EXPECT_TRUE(ViewCommands::Query(mOpened.DocView(), ViewCommands::kCopy).enabled);
    EXPECT_EQ(ViewCommands::Query(mOpened.DocView(), ViewCommands::kCopy).text, "Copy Flow-Volume Loop");
    EXPECT_TRUE(ViewCommands::Query(mOpened.DocView(), ViewCommands::kPrint).enabled);
    EXPECT_EQ(ViewCommands::Query(mOpened.DocView(), ViewCommands::kPrint).text, "Print Flow-Volume Loop...");
    EXPECT_FALSE(ViewCommands::Query(mOpened.DocView(), ViewCommands::kPrintPreview).enabled);

    KVD::LumoPlotMac& plot = mView->GetPlot();
    ASSERT_EQ(ViewCommands::Perform(mOpened.DocView(), ViewCommands::kCopy), KVD_S_OK);
    ASSERT_EQ(plot.CopyJobs().size(), 1u);
    EXPECT_EQ(plot.CopyJobs()[0]->JobName(), "");
    ASSERT_EQ(ViewCommands::Perform(mOpened.DocView(), ViewCommands::kPrint), KVD_S_OK);
    ASSERT_EQ(plot.PrintJobs().size(), 1u);
    EXPECT_EQ(plot.PrintJobs()[0]->JobName(), "Flow-Volume Loop");
}

}  // namespace
