// Time scale and labels: tick intervals for each range of seconds, label spacing, the walk of
// ticks, record start times, which record numbers show, the persisted record, and no ticks for
// seconds per pixel of 0 or not finite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "TraceFixture.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/XKVD.h"
#include "trace/TimeLabelDrawer.h"
#include "trace/TimeLabeler.h"
#include "trace/TimeScale.h"

using namespace OrrelDraw;

namespace {

TEST(TickIntervals, MajorIntervalAndMinorTicksForEachRange)
{
    struct Case {
        double raw;  // seconds of the unit length × 18
        double interval;
        bool sixWay;
        int64_t minors;
    };
    // With a unit length of 1 pixel the minimum minor spacing is 3 pixels.
    for (const Case& c : {Case{14.9, 20.0, false, 4}, Case{0.45, 0.5, false, 5}, Case{30.0, 60.0, true, 6},
                          Case{600.0, 1200.0, false, 4}, Case{3000.0, 3600.0, true, 6}, Case{7200.0, 21600.0, true, 6},
                          Case{70000.0, 86400.0, true, 6}, Case{100000.0, 172800.0, false, 4}}) {
        CGraticuleInfo plan;
        const double s = c.raw / 18.0;
        plan.CalcTickIntervalsFloat(s, 1.0, 0, false);
        EXPECT_DOUBLE_EQ(plan.majorInterval, c.interval) << c.raw;
        EXPECT_EQ(plan.sixWay, c.sixWay) << c.raw;
        EXPECT_EQ(plan.minorCount, c.minors) << c.raw;
        EXPECT_NEAR(plan.minorSpacing * double(plan.minorCount), c.interval / s, 1e-9) << c.raw;
    }
}

TEST(TickIntervals, FewMinorTicksWhenTheyWouldCrowd)
{
    CGraticuleInfo plan;
    // u = 4: raw = trunc(72.004) × s = 72 s; minimum minor spacing 12 pixels.
    plan.CalcTickIntervalsFloat(0.01, 4.0, 0, false);  // raw 0.72: I = 1, P = 100 pixels
    EXPECT_EQ(plan.minorCount, 5);
    plan.CalcTickIntervalsFloat(0.2, 4.0, 0, false);  // raw 14.4: I = 20, P = 100
    EXPECT_EQ(plan.minorCount, 4);
    plan.CalcTickIntervalsFloat(0.0125, 0.2, 0, false);  // u 0.2: raw = 3 × 0.0125; m = 0
    EXPECT_EQ(plan.minorCount, 5);
}

TEST(TickIntervals, UnitsNotTimeRoundsOneTwoFiveAtAnyRange)
{
    TimeLabeler labeler;
    labeler.CalcTickIntervalsFloat(3000.0 / 18.0, 1.0, 0, true);
    EXPECT_DOUBLE_EQ(labeler.majorInterval, 5000.0);
    EXPECT_TRUE(labeler.GetMode().UnitsNotTime());
}

TEST(TickIntervals, SecondsPerPixelOfZeroOrNotFinitePlanNoTicks)
{
    for (double s : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        TimeLabeler labeler;
        EXPECT_EQ(labeler.CalcTickIntervalsFloat(s, 2.83, 40, false), 0);
        EXPECT_EQ(labeler.minorSpacing, 0.0);
        labeler.SetTickPosSecs(1.0, KVDDataTimeInfo{{0, 0, 0, 0, 0}, 2}, s, nullptr);
        EXPECT_FALSE(std::isfinite(labeler.GetFirstLabelX()));
    }
}

TEST(LabelSpacing, MajorsPerLabelFromTheLabelWidthThenBackToOneOrTwo)
{
    TimeLabeler labeler;
    // s = 0.0125, u = 1: raw 0.225, I = 0.5, P = 40 pixels; labels 100 wide: 3 majors a label.
    EXPECT_EQ(labeler.CalcTickIntervalsFloat(0.0125, 1.0, 100, false), 3);
    EXPECT_DOUBLE_EQ(labeler.labelStep, 1.5);
    TraceTest::Recorded rec;
    labeler.SetTickPosSecs(0.0, KVDDataTimeInfo{{0, 0, 0, 0, 0}, 2}, 0.0125, rec.dc.get());
    EXPECT_EQ(labeler.majorsPerLabel, 1);
    EXPECT_DOUBLE_EQ(labeler.labelStep, 0.5);

    // Majors of 12 pixels are too close for the texts: labels every second major.
    TimeLabeler crowded;
    crowded.CalcTickIntervalsFloat(0.5 / 12.0, 0.1, 0, false);
    crowded.SetTickPosSecs(0.0, KVDDataTimeInfo{{0, 0, 0, 0, 0}, 2}, 0.5 / 12.0, rec.dc.get());
    EXPECT_EQ(crowded.majorsPerLabel, 2);
}

TEST(TickWalk, FirstLabelAtTheNextLabelTimeWithTicksBefore)
{
    TimeLabeler labeler;
    // 0.01 s a pixel, u = 2: raw = 36 × 0.01 = 0.36: I = 0.5 s (50 pixels), 5 minors of 10.
    labeler.CalcTickIntervalsFloat(0.01, 2.0, 0, false);
    ASSERT_EQ(labeler.minorCount, 5);
    labeler.SetTickPosSecs(0.73, KVDDataTimeInfo{{0, 0, 0, 0, 0}, 2}, 0.01, nullptr);
    // The first label falls at 1.0 s, 100 pixels from the record's start; 3 minor ticks (0.1 s
    // each) lie between 0.73 s and it, rounded.
    EXPECT_DOUBLE_EQ(labeler.GetFirstLabelX(), 100.0);
    EXPECT_EQ(labeler.GetTicksBeforeFirstLabel(), 3);
    EXPECT_DOUBLE_EQ(labeler.nextTickX, 70.0);
    std::vector<bool> majors;
    std::vector<bool> labelled;
    for (int i = 0; i < 7; ++i) {
        bool major = false;
        labelled.push_back(!labeler.AdvanceMinorTick(&major).empty());
        majors.push_back(major);
    }
    // Ticks at 70, 80, 90, 100 (label), 110, ...: the label comes on the fourth tick.
    EXPECT_EQ(majors, (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_EQ(labelled, (std::vector<bool>{false, false, false, true, false, false, false}));
}

TEST(RecordStartTime, ByTimeOrigin)
{
    struct Case {
        uint32_t mode;
        double t[5];
        double expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : {Case{3, {100, 50, 0, 0, 10}, 90}, Case{3 | 0x40000000, {100, 50, 0, 0, 10}, 140},
                          Case{3 | 0x40000000, {100, nan, 0, 0, 10}, 90}, Case{1, {100, 50, 30, 20, 0}, 100},
                          Case{1, {100, nan, 30, 20, 5}, 65}, Case{2, {100, 50, 30, 20, 7}, -7}}) {
        TimeLabeler labeler;
        labeler.SetTimeDisplayMode(c.mode);
        EXPECT_DOUBLE_EQ(labeler.GetRecordStartTime(KVDDataTimeInfo{{c.t[0], c.t[1], c.t[2], c.t[3], c.t[4]}, c.mode}),
                         c.expected)
            << c.mode;
    }
}

class TimeScales : public ::testing::Test {
protected:
    void Use(std::vector<uint32_t> records, int64_t ticksPerPixel)
    {
        data = std::make_unique<TraceTest::TraceData>(TraceTest::MakeRecording(records));
        pane.SetRecordData(data->data, ticksPerPixel, 1);
        pane.Layout(600, 100, 30);
    }
    TimeLabelDrawer& Labels() { return *static_cast<TimeLabelDrawer*>(pane.Time().Drawer(0)); }

    std::unique_ptr<TraceTest::TraceData> data;
    TestSupport::TracePane pane;
    TraceTest::Recorded rec{600, 100};
};

TEST_F(TimeScales, RecordNumbersShowByHowCrowdedRecordsAre)
{
    Use({300, 300}, 10);  // 30 pixels a record
    for (int r : {0, 1, 2, 3})
        EXPECT_EQ(Labels().ShouldDisplay(r), r % 2 == 1) << r;
    Use({50, 50}, 10);  // 5 pixels a record
    for (int r : {0, 98, 99, 100, 199})
        EXPECT_EQ(Labels().ShouldDisplay(r), r == 99 || r == 199) << r;
    Use({600, 600}, 10);  // 60
    EXPECT_TRUE(Labels().ShouldDisplay(0));
    Use({150, 150}, 10);  // 15
    EXPECT_TRUE(Labels().ShouldDisplay(4));
    EXPECT_FALSE(Labels().ShouldDisplay(5));
}

TEST_F(TimeScales, LabelsAndTicksAcrossTheDrawnColumns)
{
    Use({10000}, 10);  // 0.01 s a pixel
    pane.Draw(*rec.dc, 0);
    // The unit length is 72 / 25.4 pixels: raw = 51 × 0.01 s, so labels every second at
    // 100-pixel majors, centred on the ticks (x 1 is the data area's left) at the label top 2.
    const auto texts = rec.Matching("DrawText");
    // No label is cut: "6", centred on the pane's right edge (600), is left out, and "0", on
    // the record's first column (x 1), starts 2 pixels after it: measured 5 wide, it is
    // centred on 3 + 3, so the 5.5 pixels of its text start at 3.25.
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], "DrawText(3.25, 2, \"0\", 11, rgba(0, 0, 0, 1), flipped)");
    EXPECT_EQ(texts[5], "DrawText(498.25, 2, \"5\", 11, rgba(0, 0, 0, 1), flipped)");
    // Major ticks as long as the pixel ratio (1 pixel), minors half of it.
    EXPECT_EQ(rec.Matching("LineTo(101, 1)").size(), 1u);
    EXPECT_EQ(rec.Matching("LineTo(121, 0)").size(), 1u);
}

// Wherever a record starts and at any zoom, no time label or record number is written over
// another: a record's first label, moved right to start after the record's first column, takes
// the place of the next label when they would touch.
TEST_F(TimeScales, NoLabelIsWrittenOverAnother)
{
    for (const std::vector<uint32_t>& records :
         {std::vector<uint32_t>{20000}, std::vector<uint32_t>{4170, 20000}, std::vector<uint32_t>{1234, 777, 30000}})
        for (int64_t ticksPerPixel : {1, 2, 5, 10, 20, 50, 100}) {
            Use(records, ticksPerPixel);
            pane.mShowRecordNumbers = true;
            TraceTest::Recorded recorded{600, 100};
            pane.Draw(*recorded.dc, 0);
            std::vector<std::pair<double, double>> spans;
            for (const std::string& call : recorded.Matching("DrawText(")) {
                const size_t quote = call.find('"'), end = call.find('"', quote + 1);
                const std::string text = call.substr(quote + 1, end - quote - 1);
                const double left = std::stod(call.substr(9));
                const std::wstring wide(text.begin(), text.end());
                spans.emplace_back(left, left + recorded.dc->GetTextExtent(wide.c_str(), -1).cx);
            }
            std::sort(spans.begin(), spans.end());
            for (size_t i = 1; i < spans.size(); ++i)
                EXPECT_GE(spans[i].first, spans[i - 1].second)
                    << records.size() << " records at " << ticksPerPixel << " ticks a pixel, text " << i;
        }
}

TEST_F(TimeScales, WritesVersionTwoAndRefusesNewerRecords)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 1);
        ASSERT_EQ(pane.Time().Write(&out), KVD_S_OK);
    }
    const std::string bytes = buffer.str();
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x02\x00\x00\x00", 4));
    for (unsigned version : {0u, 1u, 2u, 3u}) {
        std::stringbuf stored;
        {
            KVD::BinOStream out(&stored, 1);
            out.WriteWord32(version);
        }
        KVD::BinIStream in(&stored);
        if (version <= 2)
            EXPECT_EQ(pane.Time().Read(&in), KVD_S_OK);
        else
            EXPECT_THROW(pane.Time().Read(&in), XKVD);
    }
}

TEST_F(TimeScales, MillisecondsModeWritesItsUnitsAtTheRight)
{
    Use({10000}, 10);
    pane.mTime.timeDisplayMode = 2 | 0x20000000;
    pane.Draw(*rec.dc, 0);
    rec.context.ClearCalls();
    pane.Time().BltBitMap(*rec.dc, 0, false);
    const TRect r = pane.Time().MillisecondsRect(*rec.dc);
    EXPECT_FALSE(r.IsNull());
    EXPECT_EQ(r.right, pane.Time().GetPaneRect().right);
    EXPECT_FALSE(rec.Matching("DrawText").empty());
}

}  // namespace

#include "trace/DrawPrintableBase.h"

namespace {

TEST_F(TimeScales, LabelHeightFromTheFontAndPixelRatioUnlessFixed)
{
    // Without a context the font measures 10 high: trunc(1 × 5 + 10 + 1).
    EXPECT_EQ(pane.Time().LabelHeight(), 16);
    pane.Time().SetFixedHeight(true, 30);
    EXPECT_EQ(pane.Time().LabelHeight(), 30);
    pane.mPixelRatio = 2.0;
    pane.Time().SetFixedHeight(false, 0);
    EXPECT_EQ(pane.Time().LabelHeight(), 10 + 20 + 1);
    // The label width is measured in a context, once: the longest label of any mode.
    int width = 0, height = 0;
    pane.Time().CalcMaxLabelSize(&width, &height, rec.dc.get());
    EXPECT_EQ(pane.Time().LabelWidth(rec.dc.get()), width);
    EXPECT_GT(width, 0);
    int left = 0, right = 0;
    pane.Time().Drawer(0)->GetInfo(0, nullptr, &left, &right, rec.dc.get());
    EXPECT_EQ(left, width / 2);
    EXPECT_EQ(right, width / 2);
}

TEST_F(TimeScales, RecordNumbersAreWrittenAtTheRecordStart)
{
    Use({600, 600, 600}, 10);  // 60 pixels a record: every number shows
    pane.mShowRecordNumbers = true;
    pane.Draw(*rec.dc, 0);
    std::vector<std::string> numbers;
    for (const auto& text : rec.Matching("DrawText"))
        if (text.find("\"1\"") != std::string::npos || text.find("\"2\"") != std::string::npos ||
            text.find("\"3\"") != std::string::npos)
            numbers.push_back(text.substr(9));
    // Records start at x 1, 61 and 121, each with its "0" label from 2 pixels on (5 wide as
    // measured); the number stands 2 pixels past the label, at the top, in the record
    // boundary's dark blue (32640 of 65535), the last record's too.
    EXPECT_EQ(numbers, (std::vector<std::string>{"10, 0, \"1\", 11, rgba(0, 0, 0.498054, 1), flipped)",
                                                 "70, 0, \"2\", 11, rgba(0, 0, 0.498054, 1), flipped)",
                                                 "130, 0, \"3\", 11, rgba(0, 0, 0.498054, 1), flipped)"}));
}

TEST(Printable, TheReferenceContextIsHeldUntilCleared)
{
    OrrelDraw::DrawPrintableBase printable;
    AutoBool has = kAutoTrue;
    EXPECT_EQ(printable.HasReferenceDC(&has), KVD_S_FALSE);
    EXPECT_EQ(has, kAutoFalse);
    TraceTest::Recorded rec;
    printable.SetReferenceDC(*rec.dc);
    EXPECT_EQ(printable.HasReferenceDC(&has), KVD_S_OK);
    EXPECT_EQ(has, kAutoTrue);
    EXPECT_EQ(printable.ReferenceDC(), rec.dc.get());
    printable.ClearReferenceDC();
    EXPECT_EQ(printable.ReferenceDC(), nullptr);
}

}  // namespace

#include "DataPaneFixture.h"

namespace {

TEST(TimeScaleFonts, WhilePrintingTheLabelsTakeTheDataPanesPrintFont)
{
    KVD::COMPtr<TraceTest::TestDataPane> pane(new TraceTest::TestDataPane(0, 0, [] { return 0; }));
    TimeScale& scale = pane->GetTimeScale();
    EXPECT_EQ(scale.Font().PointSize(), 0.0);  // the screen's standard size
    TraceTest::Recorded paper;
    pane->SetReferenceContext(*paper.dc);
    EXPECT_EQ(scale.Font().PointSize(), DrawPrintableBase::kDefaultPrintFontPoints);
    EXPECT_NE(dynamic_cast<const TimeScaleFont*>(&scale.Font()), nullptr);
    // The label height is measured in the paper's context with the print font.
    const int printed = scale.LabelHeight();
    pane->ClearReferenceContext();
    EXPECT_EQ(scale.Font().PointSize(), 0.0);
    pane->SetPrintFont(TFont(14));
    pane->SetReferenceContext(*paper.dc);
    EXPECT_EQ(scale.Font().PointSize(), 14.0);
    EXPECT_GT(scale.LabelHeight(), printed);
    // The longest label measured on paper follows the print font.
    int width = 0, height = 0, narrow = 0;
    scale.CalcMaxLabelSize(&width, &height, paper.dc.get());
    pane->SetPrintFont(TFont(7));
    pane->SetReferenceContext(*paper.dc);
    scale.CalcMaxLabelSize(&narrow, &height, paper.dc.get());
    EXPECT_LT(narrow, width);
    pane->ClearReferenceContext();
}

}  // namespace
