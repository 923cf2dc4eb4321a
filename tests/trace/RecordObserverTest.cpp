// A data pane follows the record data it shows: the host's data tells it of new records, and a
// pane that shows other data, or is gone, hears no more.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"
#include "host/data/DocumentData.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;
using TraceTest::TestDataPane;

namespace {

class RecordObserver : public DataPaneTest {
protected:
    static Host::DocumentData& Host(TraceTest::TraceData& d) { return *static_cast<Host::DocumentData*>(d.data.get()); }
    static void AddRecord(TraceTest::TraceData& d, uint32_t ticks)
    {
        Host::RecordBlock block;
        block.ticks = ticks;
        block.samples.assign(2, std::vector<int16_t>(ticks, 0));
        d.recording->AddRecord(std::move(block));
    }
};

TEST_F(RecordObserver, ANewRecordOfTheShownDataWidensTheScrollRangeAndRepaints)
{
    SetUp(1);
    const int64_t before = pane->TotalPixels();
    const int maxBefore = Bar().info.max;
    const int paintsBefore = pane->invalidations;
    AddRecord(data, 30000);
    EXPECT_EQ(Bar().info.max, maxBefore);  // not told yet
    Host(data).NotifyRecordObservers(kRecordDataAdded);
    // 10 ticks per pixel: 3000 more pixels.
    EXPECT_EQ(pane->TotalPixels(), before + 3000);
    EXPECT_GT(Bar().info.max, maxBefore);
    EXPECT_GT(pane->invalidations, paintsBefore);
}

TEST_F(RecordObserver, APaneShowingOtherDataOrGoneHearsNoMore)
{
    SetUp(1);
    TraceTest::TraceData other(TraceTest::MakeRecording({20000}));
    pane->SetRecordData(0, other.data, nullptr);
    const int64_t shown = pane->TotalPixels();
    AddRecord(data, 30000);
    Host(data).NotifyRecordObservers(kRecordDataAdded);
    EXPECT_EQ(pane->TotalPixels(), shown);
    // The data handed to the existing map is followed as well.
    pane->SetRecordData(0x40000000u, data.data, nullptr);
    AddRecord(data, 10000);
    Host(data).NotifyRecordObservers(kRecordDataAdded);
    EXPECT_EQ(pane->TotalPixels(), (60000 + 30000 + 10000) / 10);

    // A pane let go detaches itself: telling the data afterwards reaches nothing freed.
    KVD::COMPtr<TestDataPane> gone(new TestDataPane(PaneFlag::kLeftScale, 0, [] { return int64_t(0); }));
    gone->SetRecordData(0, other.data, nullptr);
    gone.Clear();
    EXPECT_EQ(Host(other).DetachRecordObserver(pane.get()), KVD_S_FALSE);
    Host(other).NotifyRecordObservers(kRecordDataGrown);
}

TEST(RecordDataSubject, ObserversAreToldOnceAndMayDetachWhileTold)
{
    TraceTest::TraceData d(TraceTest::MakeRecording({1000}));
    Host::DocumentData& host = *static_cast<Host::DocumentData*>(d.data.get());
    struct Counting final : KVD::detail::CountedUnknown<IRecordDataObserver> {
        HRESULT OnRecordDataChanged(uint32_t what) override
        {
            told.push_back(what);
            if (subject != nullptr)
                subject->DetachRecordObserver(this);
            return KVD_S_OK;
        }
        std::vector<uint32_t> told;
        IRecordDataSubject* subject = nullptr;
    } a, b;
    a.subject = &host;
    EXPECT_EQ(host.AttachRecordObserver(&a, kObserveAllRecords), KVD_S_OK);
    EXPECT_EQ(host.AttachRecordObserver(&a, kObserveAllRecords), KVD_S_OK);
    EXPECT_EQ(host.AttachRecordObserver(&b, 0), KVD_S_OK);
    EXPECT_EQ(host.AttachRecordObserver(nullptr, 0), KVD_E_POINTER);
    host.NotifyRecordObservers(kRecordDataGrown);
    host.NotifyRecordObservers(kRecordDataAdded);
    EXPECT_EQ(a.told, std::vector<uint32_t>{kRecordDataGrown});
    EXPECT_EQ(b.told, (std::vector<uint32_t>{kRecordDataGrown, kRecordDataAdded}));
    EXPECT_EQ(host.DetachRecordObserver(&b), KVD_S_OK);
}

}  // namespace
