// The times a data pane hands its drawers: a record's start on the clock and the first record's
// start, so that time-of-day and date axes show clock time; and the record numbers it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "DataPaneFixture.h"
#include "IRecordDataTimes.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

// The label texts of a paint, left to right.
std::vector<std::string> Labels(const TraceTest::Recorded& rec)
{
    std::vector<std::string> labels;
    for (const auto& call : rec.Matching("DrawText")) {
        const size_t open = call.find('"');
        labels.push_back(call.substr(open + 1, call.find('"', open + 1) - open - 1));
    }
    return labels;
}

class ClockTimes : public DataPaneTest {
protected:
    ClockTimes() : DataPaneTest({60000, 60000}) {}

    std::vector<std::string> Paint()
    {
        TraceTest::Recorded rec(602, 300);
        pane->OnPaint(*rec.dc, TRect(0, 0, 602, 300));
        return Labels(rec);
    }
};

TEST(RecordTimes, TheHostGivesEachRecordItsStartEndToEndFromTheRecordingsStart)
{
    EXPECT_EQ(Host::LocalSecondsOf(1970, 1, 1, 0, 0, 0.0), 0.0);
    EXPECT_EQ(Host::LocalSecondsOf(2000, 3, 1, 0, 0, 0.0), 951868800.0);
    EXPECT_EQ(Host::LocalSecondsOf(2026, 12, 7, 13, 45, 10.5), 1796651110.5);
    TraceTest::TraceData data(TraceTest::MakeRecording({60000, 5000}));
    KVD::COMPtr<IRecordDataTimes> times(KVD::com_cast(data.data.get()));
    ASSERT_NE(times, nullptr);
    double time = 0, universal = 0;
    EXPECT_EQ(times->GetRecordStartTime(0, &time, &universal), KVD_S_FALSE);  // not known
    EXPECT_TRUE(std::isnan(time));
    data.recording->SetStartTime(1000.0, -3600.0);
    ASSERT_EQ(times->GetRecordStartTime(1, &time, &universal), KVD_S_OK);
    EXPECT_EQ(time, 1060.0);  // after 60 s of the first record
    EXPECT_EQ(universal, -3600.0);
    EXPECT_EQ(times->GetRecordStartTime(2, &time, &universal), KVD_E_BADSTATE);
    EXPECT_EQ(times->GetRecordStartTime(0, nullptr, &universal), KVD_E_POINTER);
}

TEST_F(ClockTimes, ATimeOfDayScaleLabelsTheClockTimeTheRecordingStartedAt)
{
    data.recording->SetStartTime(Host::LocalSecondsOf(2026, 12, 7, 13, 45, 10.0), std::nan(""));
    SetUp(1, 602, 300);
    const std::vector<std::string> relative = Paint();
    ASSERT_FALSE(relative.empty());
    pane->SetTimeDisplayMode(CTimeDisplayMode::kOriginTimeOfDay);
    const std::vector<std::string> clock = Paint();
    ASSERT_FALSE(clock.empty());
    EXPECT_EQ(clock.front(), "13:45:10");
    EXPECT_NE(clock, relative);
}

}  // namespace

namespace {

// A pane whose owner asks for no record labels.
class UnlabelledPane final : public TraceTest::TestDataPane {
public:
    UnlabelledPane() : TestDataPane(PaneFlag::kLeftScale, 0, [] { return int64_t(0); }) {}
    bool ShowRecordLabels() const override { return false; }
};

TEST_F(ClockTimes, RecordNumbersShowWhereThePaneSaysRecordLabelsShow)
{
    data.recording->SetStartTime(Host::LocalSecondsOf(2026, 12, 7, 13, 45, 10.0), std::nan(""));
    SetUp(1, 602, 300);
    pane->SetTimeDisplayMode(CTimeDisplayMode::kOriginTimeOfDay);
    std::vector<std::string> labels = Paint();
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "1"), 1);
    // Across the start of the second record (pixel 6000): its number, and the clock a minute on.
    Bar().track = 5700;
    pane->OnScrollX(ScrollCode::kTrack);
    labels = Paint();
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "2"), 1);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "1"), 0);
    EXPECT_NE(std::find(labels.begin(), labels.end(), "13:46:08"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "13:46:11"), labels.end());

    KVD::COMPtr<UnlabelledPane> unlabelled(new UnlabelledPane);
    unlabelled->OnSetupWindow(this, this);
    unlabelled->SetRecordData(0, data.data, nullptr);
    unlabelled->OnSize(TSize(602, 300));
    unlabelled->SetTimeDisplayMode(CTimeDisplayMode::kOriginTimeOfDay);
    unlabelled->OnPrePaint();
    TraceTest::Recorded rec(602, 300);
    unlabelled->OnPaint(*rec.dc, TRect(0, 0, 602, 300));
    labels = Labels(rec);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "1"), 0);
    EXPECT_EQ(labels.front(), "13:45:10");
}

}  // namespace
