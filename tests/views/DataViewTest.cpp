// The data view on the small recording (100 ticks per second) with in-process pages: names,
// the markup of both plots, scale ranges in fractional seconds, update reasons and what each
// sends, labels and readouts, the window's data frames and divider limits, and a selection
// without breaths.
#include <gtest/gtest.h>

#include <regex>

#include "DataViewHost.h"
#include "appkit/SplitView.h"
#include "appkit/TextField.h"
#include "framework/MsgData.h"
#include "plot/LumoProxyBase.h"
#include "spirometry/SpiroIds.h"
#include "views/AnnotationView.h"
#include "views/SpiroDataWindow.h"

using namespace ViewsTest;
using KVD::String;
using KVD::ToU8String;

namespace {

typedef MsgData8<MsgIdClass<&Spirometry::SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double, bool>
    SettingsChangeMsg;

class DataViewTest : public DataViewHost {
protected:
    Spirometry::SpiroDataView& View() { return *mView; }
    static constexpr int kMicroPrefix = Spirometry::SpConfig::kMicroPrefix;
    static constexpr int kNoPrefix = Spirometry::SpConfig::kNoPrefix;
    std::string Chan(int channel) const { return "Ch " + std::to_string(channel + 1); }
    // The settings dialog's answer: detection 2, threshold 1, the flow unit prefix.
    void SetPrefix(int prefix)
    {
        mDoc->SendMsg(mDoc->GetDestination(), SettingsChangeMsg(2.0, 1.0, false, mFlow, mVolume, prefix, 0.0, false), 0);
    }
};

TEST_F(DataViewTest, NamesAndMenuTexts)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    EXPECT_EQ(ToU8String(view.GetViewName()), "Spirometry Data");
    EXPECT_EQ(ToU8String(view.Edit_CopyToClipboardMenuText()), "Copy Spirometry Data");
    EXPECT_EQ(ToU8String(view.File_PrintMenuText()), "Print Spirometry Data...");
    EXPECT_EQ(ToU8String(view.GetPlotId1()), "spirometry_flow_plot");
    EXPECT_EQ(ToU8String(view.GetPlotId2()), "spirometry_volume_plot");
    EXPECT_EQ(ToU8String(Spirometry::SpiroDataView::kEnumFlowId), "$Spiro_Flow_Data");
    EXPECT_EQ(ToU8String(Spirometry::SpiroDataView::kEnumVolumeId), "$Spiro_Volume_Data");
    EXPECT_TRUE(view.FlowEnumIsValid());
    EXPECT_TRUE(view.VolumeEnumIsValid());
}

// The breaths run from tick 301 to tick 2517: the markup of each plot, its colour from the
// channel, its unit, and its ranges.
TEST_F(DataViewTest, MarkupOfBothPlots)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    EXPECT_EQ(ToU8String(view.GetFlowMarkup()),
              "topmargin: 20, rightmargin: 40, tplot: {id: 'spirometry_flow_plot', xdata: [3.01:0.01:end], "
              "ydata: '$Spiro_Flow_Data' [301:1:2517], colour: #0040ffff}, graticule: { colour:#b5b5b5ff }, "
              "xlabel: 'Time (s)', ylabel: 'Flow (L/s)', fullrange_yscalemin: -8.30336,fullrange_yscalemax: "
              "4.19061,fullrange_xscalemin: 3.01,fullrange_xscalemax: 25.17,");
    EXPECT_EQ(ToU8String(view.GetVolumeMarkup()),
              "topmargin: 20, rightmargin: 40, tplot: {id: 'spirometry_volume_plot', xdata: [3.01:0.01:end], "
              "ydata: '$Spiro_Volume_Data' [301:1:2517], colour: #0e6a00ff}, graticule: { colour:#b5b5b5ff }, "
              "xlabel: 'Time (s)', ylabel: 'Volume (L)', fullrange_yscalemin: -0.524975,fullrange_yscalemax: "
              "4.02494,fullrange_xscalemin: 3.01,fullrange_xscalemax: 25.17,");
}

// Whole seconds would make 3..25: the ranges keep the hundredths.
TEST_F(DataViewTest, ScaleRangesInFractionalSeconds)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    ChannelYDataRange x, y;
    EXPECT_TRUE(view.GetFlowScaleRanges(x, y));
    EXPECT_DOUBLE_EQ(x.low, 3.01);
    EXPECT_DOUBLE_EQ(x.high, 25.17);
    EXPECT_EQ(y.high, mDoc->FlowRange().first);
    EXPECT_EQ(y.low, mDoc->FlowRange().second);
    EXPECT_TRUE(view.GetVolumeScaleRanges(x, y));
    EXPECT_DOUBLE_EQ(x.low, 3.01);
    EXPECT_EQ(y.high, mDoc->VolumeRange().first);
    EXPECT_EQ(y.low, mDoc->VolumeRange().second);
}

TEST_F(DataViewTest, UpdateReasonsAndTheirFlags)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    const struct {
        uint32_t reason, flags;
    } table[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0x15}, {5, 0x11}, {6, 0x15}, {7, 0}, {100, 0}};
    for (const auto& row : table) {
        uint32_t flags = 0x40;
        view.SetUpdateFlags(row.reason, flags);
        EXPECT_EQ(flags, 0x40 | row.flags) << row.reason;
    }
}

// Reasons 0 to 3 send nothing; 4 sends the markup with the ranges replaced; 5 the markup with
// the stored ranges kept.
TEST_F(DataViewTest, WhatEachReasonSendsToThePages)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    ASSERT_EQ(mPages.size(), 2u);
    const size_t before0 = mPages[0]->Scripts().size(), before1 = mPages[1]->Scripts().size();
    for (uint32_t reason : {0u, 1u, 2u, 3u})
        view.EvUpdatePlots(reason);
    EXPECT_EQ(mPages[0]->Scripts().size(), before0);
    EXPECT_EQ(mPages[1]->Scripts().size(), before1);
    view.EvUpdatePlots(4);
    ASSERT_EQ(mPages[0]->Scripts().size(), before0 + 1);
    ASSERT_EQ(mPages[1]->Scripts().size(), before1 + 1);
    EXPECT_NE(mPages[0]->Scripts().back().find("set_markup('topmargin: 20, rightmargin: 40, tplot: {id: "
                                               "\\'spirometry_flow_plot\\'"),
              std::string::npos);
    EXPECT_NE(mPages[1]->Scripts().back().find("\\'spirometry_volume_plot\\'"), std::string::npos);
    // The flow plot's range, in every digit it has.
    EXPECT_TRUE(std::regex_search(mPages[0]->Scripts().back(), std::regex(R"(yscalemin: -8\.30336\d*,yscalemax: 4\.19061\d*, )")))
        << mPages[0]->Scripts().back();
    view.EvUpdatePlots(5);
    EXPECT_EQ(mPages[0]->Scripts().size(), before0 + 2);
}

TEST_F(DataViewTest, LabelsAndReadouts)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    EXPECT_EQ(ToU8String(view.GetFlowLabel()), Chan(mFlow) + " : Flow");
    EXPECT_EQ(ToU8String(view.GetVolumeLabel()), Chan(mVolume) + " : Volume");
    const double seconds = 1.5, flow = 2.25, tiny = -0.0004, volume = 3.4651;
    EXPECT_EQ(ToU8String(view.ReadoutText(true, &flow, &seconds)),
              " " + Chan(mFlow) + " : Flow at 1.500 s = 2.250 L/s");
    EXPECT_EQ(ToU8String(view.ReadoutText(true, &tiny, &seconds)),
              " " + Chan(mFlow) + " : Flow at 1.500 s = 0.000 L/s");
    EXPECT_EQ(ToU8String(view.ReadoutText(false, &volume, &seconds)),
              " " + Chan(mVolume) + " : Volume at 1.500 s = 3.465 L");
    EXPECT_EQ(ToU8String(view.ReadoutText(false, nullptr, &seconds)), "");
    EXPECT_EQ(ToU8String(view.ReadoutText(false, &volume, nullptr)), "");

    // The readout lines of the window. The overlays hand them the document's samples, in
    // litres: the lines show them in the settings' prefix, its letter before the bare unit.
    SpiroDataWindow* window = view.GetDataWindow();
    ASSERT_NE(window, nullptr);
    window->UpdateFlow(&flow, &seconds);
    EXPECT_EQ(window->FlowReadout()->StringValue(), " " + Chan(mFlow) + " : Flow at 1.500 s = 2.250 L/s");
    window->UpdateFlow(nullptr, nullptr);
    EXPECT_EQ(window->FlowReadout()->StringValue(), "");
    SetPrefix(Spirometry::SpConfig::kMilliPrefix);
    window->UpdateVolume(&volume, &seconds);
    EXPECT_EQ(window->VolumeReadout()->StringValue(), " " + Chan(mVolume) + " : Volume at 1.500 s = 3465.100 mL");
    window->UpdateFlow(&tiny, &seconds);
    EXPECT_EQ(window->FlowReadout()->StringValue(), " " + Chan(mFlow) + " : Flow at 1.500 s = -0.400 mL/s");
    SetPrefix(kMicroPrefix);
    window->UpdateFlow(&flow, &seconds);
    EXPECT_EQ(window->FlowReadout()->StringValue(),
              " " + Chan(mFlow) + " : Flow at 1.500 s = 2250000.000 \u00B5L/s");
}

// In millilitres (prefix 7) and microlitres (6) both plots name the prefixed unit, and their
// ranges and the samples their pages read are the document's litres times the prefix's factor.
TEST_F(DataViewTest, PlotsInTheSettingsPrefixAgreeWithTheLitres)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    SetPrefix(kNoPrefix);
    const auto flowLitres = mDoc->FlowRange(), volumeLitres = mDoc->VolumeRange();
    const struct {
        int prefix;
        double factor;
        std::string flowUnit, volumeUnit;
    } cases[] = {{Spirometry::SpConfig::kMilliPrefix, 1e3, "mL/s", "mL"},
                 {kMicroPrefix, 1e6, "\u00B5L/s", "\u00B5L"}};
    for (const auto& c : cases) {
        SetPrefix(c.prefix);
        EXPECT_NE(ToU8String(view.GetFlowMarkup()).find("ylabel: 'Flow (" + c.flowUnit + ")'"), std::string::npos)
            << ToU8String(view.GetFlowMarkup());
        EXPECT_NE(ToU8String(view.GetVolumeMarkup()).find("ylabel: 'Volume (" + c.volumeUnit + ")'"),
                  std::string::npos);
        ChannelYDataRange x, y;
        view.GetFlowScaleRanges(x, y);
        EXPECT_NEAR(y.high, flowLitres.first * c.factor, 1e-5 * c.factor) << c.prefix;
        EXPECT_NEAR(y.low, flowLitres.second * c.factor, 1e-5 * c.factor);
        view.GetVolumeScaleRanges(x, y);
        EXPECT_NEAR(y.high, volumeLitres.first * c.factor, 1e-5 * c.factor);
        // What the pages get: the breaths start at tick 301.
        for (const bool flow : {true, false}) {
            KVD::LumoPlotMac& plot = flow ? view.GetPlot1() : view.GetPlot2();
            std::vector<double> shown;
            ASSERT_TRUE(plot.GetLumoProxy()->RequestPixData(
                flow ? Spirometry::SpiroDataView::kEnumFlowId : Spirometry::SpiroDataView::kEnumVolumeId, 900, 1, 4,
                shown));
            ASSERT_GE(shown.size(), 4u);
            for (uint32_t i = 0; i < 4; ++i) {
                float litres = 0;
                mDoc->DataAt(KVDPosition{900 + i, 0}, flow ? &litres : nullptr, flow ? nullptr : &litres, false);
                EXPECT_NEAR(shown[i], litres * c.factor, 1e-5 * c.factor) << flow << " " << i;
                EXPECT_NE(litres, 0.0f);
            }
        }
    }
}

TEST_F(DataViewTest, WithoutAFlowChannelTheLabelIsTheTextAlone)
{
    Spirometry::SpiroDataView& view = OpenDataView();
    mDoc->SetSpFlowCalcChan(-1);
    EXPECT_EQ(ToU8String(view.GetFlowLabel()), "Flow");
}

TEST_F(DataViewTest, DataFramesAndDividerLimits)
{
    const AppKit::Rect frame{10, 5, 800, 299};
    const AppKit::Rect up = SpiroDataWindow::AdjustDataFrame(frame, false);
    const AppKit::Rect down = SpiroDataWindow::AdjustDataFrame(frame, true);
    EXPECT_EQ(up.x, 85);
    EXPECT_EQ(up.y, 80);
    EXPECT_EQ(up.width, 685);
    EXPECT_EQ(up.height, 204);
    EXPECT_EQ(down.y, 25);
    EXPECT_EQ(down.height, 204);

    Spirometry::SpiroDataView& view = OpenDataView();
    SpiroDataWindow* window = view.GetDataWindow();
    ASSERT_NE(window->Splitter(), nullptr);
    EXPECT_EQ(window->ViewName(), "Spirometry Data");
    EXPECT_EQ(window->ConstrainMin(0), 200);
    EXPECT_EQ(window->ConstrainMax(600), window->Splitter()->Frame().height - 200);
    // The divider stops 200 points from either end; further on, a plot collapses.
    window->Splitter()->SetPositionOfDivider(150, 0);
    EXPECT_EQ(window->Splitter()->PositionOfDivider(0), 200);
    window->Splitter()->SetPositionOfDivider(window->Splitter()->Frame().height - 150, 0);
    EXPECT_EQ(window->Splitter()->PositionOfDivider(0), window->Splitter()->Frame().height - 200);
    window->Splitter()->SetPositionOfDivider(50, 0);
    EXPECT_TRUE(window->FlowFrame()->IsHidden());
    // Each overlay covers its plot's data area; our frames count y from the top.
    ASSERT_NE(window->FlowAnnotation(), nullptr);
    const AppKit::Rect overlay = window->FlowAnnotation()->Frame();
    EXPECT_EQ(overlay.x, 75);
    EXPECT_EQ(overlay.y, 20);
    EXPECT_EQ(overlay.width, window->FlowFrame()->Frame().width - 115);
    EXPECT_EQ(overlay.height, window->FlowFrame()->Frame().height - 95);
}

// Without breaths the selection gives the span, and no source is made.
TEST_F(DataViewTest, ASelectionWithoutBreathsHasNoSourcesAndTheSelectionsSpan)
{
    Select(KVDPosition{20, 0}, KVDPosition{150, 0});
    Spirometry::SpiroDataView& view = OpenDataView();
    EXPECT_FALSE(view.FlowEnumIsValid());
    EXPECT_FALSE(view.VolumeEnumIsValid());
    KVD::COMPtr<IEnumFloatEx> source;
    EXPECT_EQ(view.CreateEnum(Spirometry::SpiroDataView::kEnumFlowId, mFlow, source.Set()),
              Spirometry::SpiroDataView::kNoSource);
    EXPECT_EQ(source, nullptr);
    const std::string markup = ToU8String(view.GetFlowMarkup());
    EXPECT_NE(markup.find("xdata: [0.2:0.01:end], ydata: '$Spiro_Flow_Data' [20:1:150]"), std::string::npos) << markup;
    EXPECT_NE(markup.find("fullrange_xscalemin: 0.2,fullrange_xscalemax: 1.5,"), std::string::npos) << markup;
}

}  // namespace
