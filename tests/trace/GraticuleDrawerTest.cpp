// The graticule drawer: background fills, guideline shading and lines (clamped at ±16000
// pixels), the vertical time grid and the horizontal grid of the scale, record headers, and
// its answers.
#include <gtest/gtest.h>

#include "TraceFixture.h"
#include "trace/GraticuleDrawer.h"
#include "trace/GraticuleInfo.h"
#include "trace/PreTriggerBackground.h"
#include "graphics/Screen.h"
#include "trace/DragScaleCreator.h"
#include "trace/DrawUtils.h"
#include "trace/OrrelColours.h"

using namespace OrrelDraw;

namespace {

// A pane 100 wide and 200 high whose scale runs from 10 down to -10: y from the bottom is
// (v + 10) × 10; grid lines every 5 (50 pixels).
class Graticules : public ::testing::Test {
protected:
    Graticules() : data(TraceTest::MakeRecording({5000, 3000})) {}

    KVD::COMPtr<GraticuleDrawer> Make(unsigned style = 0)
    {
        KVD::COMPtr<GraticuleDrawer> g(
            new GraticuleDrawer(0x1000, TChannelId{0, TraceTest::kUnits}, kScaleLeft, style, TColor::Grey, false));
        auto& p = pane.AddPane();
        p.AddRecordDrawer(0, g, 255);
        pane.SetRecordData(data.data, 10, 1);
        pane.AttachDrawers(int(pane.mScaleChannels.size()));
        pane.mScaleChannels.push_back(TChannelId{0, TraceTest::kUnits});
        const TRect rect(0, 0, 100, 200);
        p.SetPositionInfo(0, TPoint(0, 0), rect, 0, 0, 1);
        g->OnPositionChange(0, &rect);
        pane.Scale(0).SetPosition(0, 0, 0, 200);
        pane.SetRange(0, 10.0, -10.0);
        return g;
    }
    void Draw(GraticuleDrawer& g, const GraticuleInfo* plan = nullptr, TPixPosition pix = {0, 0})
    {
        const TRect clip(0, 0, 100, 200);
        g.DrawInRecord(*rec.dc, 0, 100, pix, 0, &clip, 0, plan, nullptr);
    }

    TraceTest::TraceData data;
    TestSupport::TracePane pane;
    TraceTest::Recorded rec{100, 200};
};

TEST_F(Graticules, BackgroundFillsTheDrawnColumnsUnlessStyleBit29)
{
    auto g = Make();
    Draw(*g);
    EXPECT_EQ(rec.Matching("FillRect").front(), "FillRect(-0.5, -0.5, 100, 200)");
    rec.context.ClearCalls();
    auto bare = Make(GraticuleDrawer::kNoBackground);
    Draw(*bare);
    EXPECT_TRUE(rec.Matching("FillRect").empty());
}

TEST_F(Graticules, AChannelWithoutDataTakesTheNoDataColour)
{
    // The colour is the process's: a preview pane made by an earlier test sets a lighter one.
    const TColor previous = gGetNoDataBackgroundColor();
    gSetNoDataBackgroundColor(TColor(0xE6E6, 0xE6E6, 0xE6E6));
    auto g = Make();
    pane.mScaleChannels[0] = TChannelId{9, TraceTest::kUnits};  // no such channel
    Draw(*g);
    EXPECT_EQ(rec.Matching("SetFillColor").front(), "SetFillColor(rgba(0.901961, 0.901961, 0.901961, 1))");
    gSetNoDataBackgroundColor(previous);
}

TEST_F(Graticules, GuidelinesShadeBetweenAboveAndBelowAndDrawTheirLines)
{
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoHorizontalGrid);
    GuidelineInfo& lines = g->Guidelines();
    lines.value1 = 5.0;   // 150 from the bottom: row 50
    lines.value2 = -5.0;  // row 150
    lines.flags = GuidelineInfo::kGuideline1On | GuidelineInfo::kGuideline2On | GuidelineInfo::kMiddleShaded |
                  GuidelineInfo::kTopShaded | GuidelineInfo::kBottomShaded | GuidelineInfo::kLine1Shown;
    Draw(*g);
    EXPECT_EQ(rec.Matching("FillRect"), (std::vector<std::string>{"FillRect(-0.5, 49.5, 100, 100)",
                                                                   "FillRect(-0.5, -0.5, 100, 50)",
                                                                   "FillRect(-0.5, 149.5, 100, 50)"}));
    // Line 1 only: line 2 is on but not shown.
    EXPECT_EQ(rec.Matching("MoveTo"), (std::vector<std::string>{"MoveTo(0, 50)"}));
    EXPECT_EQ(rec.Matching("LineTo"), (std::vector<std::string>{"LineTo(100, 50)"}));
}

TEST_F(Graticules, AGuidelineFarOffThePaneIsHeldAtSixteenThousandPixels)
{
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoHorizontalGrid);
    GuidelineInfo& lines = g->Guidelines();
    lines.value1 = 2000.0;  // (2000 + 10) × 10 = 20100
    lines.flags = GuidelineInfo::kGuideline1On | GuidelineInfo::kBottomShaded;
    Draw(*g);
    EXPECT_DOUBLE_EQ(g->GuidelineY1(), 16000.0);
    EXPECT_EQ(rec.Matching("FillRect"), (std::vector<std::string>{"FillRect(-0.5, -15800.5, 100, 16000)"}));
    EXPECT_TRUE(rec.Matching("LineTo").empty());
}

TEST_F(Graticules, GuidelineValuesAreTakenInTheirPrefixedUnits)
{
    GuidelineInfo lines;
    lines.value1 = 0.5;
    lines.prefix1 = KVD::String(L"m");
    lines.value2 = 2.0;
    double first = 0, second = 0;
    lines.GetValuesInUnits(&first, &second);
    EXPECT_DOUBLE_EQ(first, 0.0005);  // divided by the milli factor, 1000
    EXPECT_DOUBLE_EQ(second, 2.0);
}

TEST_F(Graticules, GridLinesFollowTheTickPlanAndTheScale)
{
    auto g = Make(GraticuleDrawer::kNoBackground);
    CGraticuleInfo plan;
    plan.nextTickX = 3.0;
    plan.nextMajorX = 3.0;
    plan.minorSpacing = 20.0;
    plan.minorCount = 2;
    Draw(*g, &plan, TPixPosition{0, 0});
    std::vector<std::string> expected;
    for (int x : {3, 23, 43, 63, 83})  // minor
        expected.push_back("MoveTo(" + std::to_string(x) + ", 0)");
    for (int x : {3, 43, 83})  // major
        expected.push_back("MoveTo(" + std::to_string(x) + ", 0)");
    for (int y : {199, 149, 99, 49})  // horizontal, every 50 pixels from the bottom
        expected.push_back("MoveTo(0, " + std::to_string(y) + ")");
    EXPECT_EQ(rec.Matching("MoveTo"), expected);
    EXPECT_EQ(rec.Matching("SetLineDash").size(), 3u);  // dotted pens
}

TEST_F(Graticules, GridStartsAtTheFirstTickInTheDrawnColumns)
{
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoHorizontalGrid);
    CGraticuleInfo plan;
    plan.nextTickX = 3.0;
    plan.nextMajorX = 3.0;
    plan.minorSpacing = 20.0;
    plan.minorCount = 5;
    // Columns 1000..1100 of the record: ticks at 1003, 1023, ...; majors at 1003 (3 + 10 × 100).
    Draw(*g, &plan, TPixPosition{1000, 0});
    EXPECT_EQ(rec.Matching("MoveTo").front(), "MoveTo(3, 0)");
    EXPECT_EQ(rec.Matching("MoveTo").size(), 5u + 1u);
}

TEST_F(Graticules, ZeroSpacingOrHiddenGridDrawsNoLines)
{
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoVerticalGrid);
    const DataScaling s{1.0, 0.0};
    g->OnScalingChanged(1, 0, &s, nullptr);  // no scale: no grid start or spacing
    Draw(*g);
    EXPECT_EQ(rec.Matching("MoveTo").size(), 4u);  // still the lines of the last scale
    EXPECT_EQ(g->OnScalingChanged(2, 0, &s, nullptr), KVD_S_FALSE);  // a foreign side

    auto flat = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoVerticalGrid);
    pane.Scale(1).SetPosition(0, 0, 0, 0);  // no height: no grid step
    pane.SetRange(1, 10.0, -10.0);
    rec.context.ClearCalls();
    Draw(*flat);
    EXPECT_TRUE(rec.Matching("MoveTo").empty());
}

TEST_F(Graticules, RecordHeadersMarkARecordStartingInsideTheRange)
{
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoHorizontalGrid);
    const TRect clip(0, 0, 100, 200);
    // Record 1 starts 20 columns into the range: a 3-pixel line at x 17.
    g->DrawInRecord(*rec.dc, 0, 100, TPixPosition{-20, 1}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(rec.Matching("MoveTo"), (std::vector<std::string>{"MoveTo(17, 4)"}));
    EXPECT_EQ(rec.Matching("LineTo"), (std::vector<std::string>{"LineTo(17, 195)"}));
    EXPECT_EQ(rec.Matching("SetLineWidth").back(), "SetLineWidth(3)");
    // Record 0 has no header; draw-flag bit 18 turns the boundary off.
    rec.context.ClearCalls();
    g->DrawInRecord(*rec.dc, 0, 100, TPixPosition{-20, 0}, 0, &clip, 0, nullptr, nullptr);
    g->DrawInRecord(*rec.dc, 0, 100, TPixPosition{-20, 1}, 0, &clip, DrawFlag::kRecordBoundaryOff, nullptr, nullptr);
    EXPECT_TRUE(rec.Matching("MoveTo").empty());
}

TEST_F(Graticules, WithAScalingModeAHostScaleIsDrawnAsTheRecordHeader)
{
    pane.mScalingMode = 1;
    auto g = Make(GraticuleDrawer::kNoBackground | GraticuleDrawer::kNoHorizontalGrid);
    ASSERT_NE(g->OwnScale(), nullptr);
    // The host's scale widened the header for its widest label, "-1", measured on the screen,
    // with a gap each side.
    const int minusOne = CreateTDC(&Gfx::MainScreenContext(), false)->GetTextExtent(L"-1", -1).cx;
    ASSERT_GT(minusOne, 3);
    EXPECT_EQ(g->HeaderWidth(), minusOne + 8);
    const TRect clip(0, 0, 100, 200);
    g->DrawInRecord(*rec.dc, 0, 100, TPixPosition{-40, 1}, 0, &clip, 0, nullptr, nullptr);
    // Labels of the scale, right-aligned against x0 - 2 = 38, and the scale line there.
    EXPECT_FALSE(rec.Matching("DrawText").empty());
    EXPECT_EQ(rec.Matching("MoveTo").back(), "MoveTo(38, 0)");
    EXPECT_EQ(rec.Matching("LineTo").back(), "LineTo(38, 200)");
    // No record boundary besides the scale.
    EXPECT_TRUE(rec.Matching("SetLineWidth(3)").empty());
}

TEST_F(Graticules, TheOwnScaleComesWithAScalingModeFromTheHostsDragScaleClass)
{
    auto plain = Make();
    EXPECT_EQ(plain->OwnScale(), nullptr);
    EXPECT_EQ(DragScaleCreator::Create(nullptr, 0, 0, 0), KVD_E_POINTER);
    IScale* scale = nullptr;
    ASSERT_EQ(DragScaleCreator::Create(&scale, 0, 1, 0), KVD_S_OK);
    ASSERT_NE(scale, nullptr);
    // One reference handed over: the holder's is the last.
    EXPECT_EQ(scale->AddRef(), 2u);
    scale->Release();
    CScale held(KVD::COMPtr<IScale>::Take(scale));
    double top = 0, bottom = 0;
    held->GetRange(&top, &bottom);
    EXPECT_EQ(top, 1.0);
    EXPECT_EQ(bottom, -1.0);
}

TEST(Palettes, ContrastAndBlackTablesAreSelectedAndTheGraticuleColourGoesBackToTheDefault)
{
    OrrelColours::SelectPalette(OrrelColours::kContrastPalette);
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(0)), 0x0000AAu);  // (170, 0, 0)
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(1)), 0xD52000u);  // entry 10: (0, 32, 213)
    OrrelColours::SelectPalette(OrrelColours::kBlackPalette);
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(3)), 0u);
    // Entry 29 (64, 255, 255) as grey: (299 × 64 + 587 × 255 + 114 × 255) / 1000 = 198.4.
    EXPECT_EQ(RgbFromColour(OrrelColours::sColours[29]), 0xC6C6C6u);
    EXPECT_EQ(RgbFromColour(OrrelColours::sExtendedBlackColours[36]), 0x555555u);
    EXPECT_EQ(OrrelColours::GetGraticuleColour(nullptr, 11), 0xFFFF40u);
    EXPECT_EQ(OrrelColours::sColours, OrrelColours::sExtendedColours);
    for (int i = 0; i < kGuidelineColourChoices; ++i) {
        EXPECT_EQ(kShadeColours[i].alpha, 0.0f);
        EXPECT_EQ(kLineColours[i].Rgb(), 0u);
    }
}

TEST_F(Graticules, CloneOfANullOutIsRefusedLikeEveryOtherDrawer)
{
    auto g = Make();
    EXPECT_EQ(g->Clone(0, nullptr), KVD_E_NULLOUT);
    KVD::COMPtr<IOrrelRecordDrawer> copy;
    ASSERT_EQ(g->Clone(0, copy.Set()), KVD_S_OK);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetGuidelineInfo(), g->GetGuidelineInfo());
    unsigned flags = 0;
    g->GetInfo(0, &flags, nullptr, nullptr, nullptr);
    EXPECT_EQ(flags, 0x80000000u);
}

}  // namespace

#include <cstring>

#include "framework/SRKey.h"
#include "host/settings/SettingsRegistrar.h"

namespace {

// The channel's guideline keys as the host stores them, read through the display-settings notice.
TEST(GuidelineSettings, ReadFromTheRegistrarKeysOfTheChannel)
{
    KVD::COMPtr<ISettingsRegistrar> registrar(Host::SettingsRegistrar::Create());
    registrar->Release();
    const GuidelineLineRecord line1{1, 1, {0, 0}, 0x0000FF};
    const GuidelineLineRecord line2{1, 0, {0, 0}, 0x00FF00};
    GuidelineValueRecord value1{2.5, {}, {}};
    std::strcpy(value1.units, "V");
    std::strcpy(value1.prefix, "m");
    const GuidelineShadeRecord shade{1, 0, 1, 0, 0xFFFFFF, 0x000000, 0x808080};
    const int channel = 3;
    registrar->SetValue(SRKey(kGuidelineLineKey, channel, 1u, nullptr).GetKey(), &line1, sizeof line1);
    registrar->SetValue(SRKey(kGuidelineLineKey, channel, 2u, nullptr).GetKey(), &line2, sizeof line2);
    registrar->SetValue(SRKey(kGuidelineValueKey, channel, 1u, nullptr).GetKey(), &value1, sizeof value1);
    registrar->SetValue(SRKey(kGuidelineShadeKey, unsigned(channel), nullptr).GetKey(), &shade, sizeof shade);
    // Another channel's key is not read.
    const GuidelineLineRecord other{0, 0, {0, 0}, 0};
    registrar->SetValue(SRKey(kGuidelineLineKey, 4u, 1u, nullptr).GetKey(), &other, sizeof other);

    KVD::COMPtr<GraticuleDrawer> g(
        new GraticuleDrawer(0x1000, TChannelId{channel, TraceTest::kUnits}, kScaleLeft, 0, TColor::Grey, false));
    g->OnDisplayInfoChanged(nullptr, registrar, -1);
    const GuidelineInfo& info = *g->GetGuidelineInfo();
    EXPECT_EQ(info.flags, uint32_t(GuidelineInfo::kGuideline1On | GuidelineInfo::kLine1Shown |
                                   GuidelineInfo::kGuideline2On | GuidelineInfo::kTopShaded |
                                   GuidelineInfo::kBottomShaded));
    EXPECT_EQ(info.lineColour1.red, 65535);
    EXPECT_EQ(info.lineColour2.green, 65535);
    EXPECT_DOUBLE_EQ(info.value1, 2.5);
    EXPECT_EQ(info.units1, KVD::String(L"V"));
    EXPECT_EQ(info.prefix1, KVD::String(L"m"));
    EXPECT_DOUBLE_EQ(info.value2, 0.0);  // no value key: unchanged
    EXPECT_EQ(info.bottomColour.red, uint16_t(128 / 255.0 * 65535.0));
    EXPECT_EQ(info.midColour.red, 0);  // the shade key gives all three colours

    // A channel without keys keeps the defaults.
    KVD::COMPtr<GraticuleDrawer> bare(
        new GraticuleDrawer(0x1000, TChannelId{9, TraceTest::kUnits}, kScaleLeft, 0, TColor::Grey, false));
    bare->OnDisplayInfoChanged(nullptr, registrar, -1);
    EXPECT_EQ(bare->GetGuidelineInfo()->flags, 0u);
    EXPECT_EQ(bare->GetGuidelineInfo()->midColour.red, GuidelineInfo::kDefaultMidRegionColor.red);
}

}  // namespace
