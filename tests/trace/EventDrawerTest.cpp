// The event drawer over a recording's annotations: markers inside the drawn columns only, their
// size at context scales 1 and 2, colours from the host's event-draw class, and the stream kept
// only while online.
#include <gtest/gtest.h>

#include "TraceFixture.h"
#include "trace/EventDrawer.h"

using namespace OrrelDraw;

namespace {

class EventDrawers : public ::testing::Test {
protected:
    // Annotations at ticks 250, 1000 and 1600 ("cough" twice), drawn at 10 ticks per pixel.
    EventDrawers()
        : data(TraceTest::MakeRecording({5000}, {{0.25, "cough"}, {1.0, "start"}, {1.6, "cough"}})),
          events(new EventDrawer(4096, TChannelId{Host::kAnnotationChannel, 0}))
    {
        pane.AddPane().AddRecordDrawer(0, events, 255);
        pane.SetRecordData(data.data, 10, 1);
        pane.AttachDrawers(0);
        pane.Layout(400, 220, 20);
    }

    std::vector<std::string> Ellipses() const { return rec.Matching("AddEllipse"); }

    TraceTest::TraceData data;
    TestSupport::TracePane pane;
    KVD::COMPtr<EventDrawer> events;
    TraceTest::Recorded rec{400, 220};
    const TRect clip{0, 0, 400, 200};
};

TEST_F(EventDrawers, MarksEventsFromTheStartColumnUpToButNotAtTheEndColumn)
{
    // Columns [25, 100): the event at column 25 is drawn, the one at column 100 is not.
    events->DrawInRecord(*rec.dc, 25, 100, TPixPosition{25, 0}, 5, &clip, 0, nullptr, nullptr);
    ASSERT_EQ(Ellipses(), (std::vector<std::string>{"AddEllipse(1, 0, 8, 8)"}));
    const auto lines = rec.Matching("LineTo");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "LineTo(5, " + std::to_string(events->GetDCHeight()) + ")");
    EXPECT_FALSE(events->HasStream());

    rec.context.ClearCalls();
    events->DrawInRecord(*rec.dc, 26, 170, TPixPosition{26, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(Ellipses(), (std::vector<std::string>{"AddEllipse(70, 0, 8, 8)", "AddEllipse(130, 0, 8, 8)"}));
}

TEST_F(EventDrawers, AtContextScaleTwoTheMarkerIsSixteenPixelsFromTopFour)
{
    rec.dc->SetScalingFactor(2.0);
    events->DrawInRecord(*rec.dc, 0, 50, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(Ellipses(), (std::vector<std::string>{"AddEllipse(17, 4, 16, 16)"}));
}

TEST_F(EventDrawers, MarkersTakeTheDrawClassColourAtFourFifthsAlphaOverADottedLine)
{
    events->DrawInRecord(*rec.dc, 0, 200, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    const auto fills = rec.Matching("SetFillColor");
    ASSERT_EQ(fills.size(), 3u);
    // The two coughs share the first colour of the class, "start" takes the second.
    EXPECT_EQ(fills[0], fills[2]);
    EXPECT_NE(fills[0], fills[1]);
    EXPECT_EQ(fills[0], "SetFillColor(rgba(0.835294, 0, 0, 0.8))");  // the class colour 0x0000D5
    EXPECT_FALSE(rec.Matching("SetLineDash").empty());
    EXPECT_EQ(rec.Matching("SetShouldAntialias(1)").size() + rec.Matching("SetShouldAntialias(true)").size(), 1u);
}

TEST_F(EventDrawers, OnlineDrawsKeepTheStreamAndReportTheLatestEventOfTheSampledRecord)
{
    events->OnRecordStart(0, kAutoTrue);
    events->DrawInRecord(*rec.dc, 0, 200, TPixPosition{0, 0}, 0, &clip, DrawFlag::kOnline, nullptr, nullptr);
    EXPECT_TRUE(events->HasStream());
    long long latest = 0;
    ASSERT_EQ(events->Update(0, 0, &latest), KVD_S_OK);
    EXPECT_EQ(latest, 161);  // one past the x of the event at column 160
    events->OnRecordEnd(0, nullptr);
    EXPECT_FALSE(events->HasStream());
    EXPECT_EQ(events->Update(0, 0, &latest), KVD_S_FALSE);
}

TEST_F(EventDrawers, AnswersOfItsOwnAndClones)
{
    unsigned flags = 0;
    int left = 0, right = 0;
    events->GetInfo(0, &flags, &left, &right, nullptr);
    EXPECT_EQ(flags, 0x40000000u);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(right, 10);
    long layer = 0;
    events->GetLayer(&layer);
    EXPECT_EQ(layer, 0x402);
    EXPECT_EQ(events->OnScalingChanged(7, 0, nullptr, nullptr), KVD_S_OK);
    EXPECT_EQ(events->GetRange(0, 0, KVDPosition{}, KVDPosition{}, nullptr), KVD_S_FALSE);
    EXPECT_EQ(events->Clone(0, nullptr), KVD_E_NULLOUT);
    KVD::COMPtr<IOrrelRecordDrawer> copy;
    ASSERT_EQ(events->Clone(0, copy.Set()), KVD_S_OK);
    EXPECT_NE(copy.get(), static_cast<IOrrelRecordDrawer*>(events.get()));
    // A skipped pass: markers do not draw when the pass skips them.
    TRect paneRect = pane.Pane(0).GetPaneRect();
    int from = 0, to = 0;
    pane.Pane(0).CalcDirtyRect(&paneRect, 0, &from, &to, nullptr);
    EXPECT_EQ(to - from, paneRect.Width() + 20);
}

}  // namespace
