// The event drawer over a stream of the record data's own kind: events whose value is not a
// number are passed over, and a stream without an event-draw class gives white markers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TraceFixture.h"
#include "host/drawing/RecordPixMap.h"
#include "support/ListEvents.h"
#include "support/StubRecordData.h"
#include "trace/EventDrawer.h"

using namespace OrrelDraw;

namespace {

// One record of 1000 ticks whose event channel is a list.
class ListRecordData final : public TestSupport::StubRecordData<TestSupport::HeapDouble<IRecordData>> {
public:
    explicit ListRecordData(std::vector<CalcTest::ListEvents::Item> items) : mItems(std::move(items)) {}

    HRESULT GetRecordCount(int* count) const override { *count = 1; return KVD_S_OK; }
    HRESULT GetRecordTicks(int, uint32_t* ticks) const override { *ticks = 1000; return KVD_S_OK; }
    HRESULT GetSecsPerTick(int, double* secs) const override { *secs = 0.001; return KVD_S_OK; }
    HRESULT GetEventStream(TChannelId, uint32_t, KVDPosition, uint32_t, IEnumEventEx** out) const override
    {
        *out = new CalcTest::ListEvents(mItems);
        return KVD_S_OK;
    }

private:
    std::vector<CalcTest::ListEvents::Item> mItems;
};

TEST(EventStreams, EventsThatAreNotNumbersArePassedOverAndWithoutADrawClassMarkersAreWhite)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    KVD::COMPtr<ListRecordData> data(new ListRecordData({{100, 1.0}, {200, nan}, {300, inf}, {400, 2.0}}));
    data->Release();
    KVD::COMPtr<Host::RecordPixMap> map(Host::RecordPixMap::Create(data));
    map->Release();
    map->SetTicksPerPixel(1, 1);
    KVD::COMPtr<EventDrawer> events(new EventDrawer(4096, TChannelId{5, 0}));
    events->SetRecordDataPixMap(0, map);
    const TRect position(0, 0, 600, 100);
    events->OnPositionChange(0, &position);
    TraceTest::Recorded rec{600, 100};
    const TRect clip(0, 0, 600, 100);
    events->DrawInRecord(*rec.dc, 0, 600, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(rec.Matching("AddEllipse"),
              (std::vector<std::string>{"AddEllipse(96, 0, 8, 8)", "AddEllipse(396, 0, 8, 8)"}));
    const auto fills = rec.Matching("SetFillColor");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0], "SetFillColor(rgba(1, 1, 1, 0.8))");
    EXPECT_EQ(rec.Matching("SetStrokeColor(rgba(0, 0, 0, 0.8))").size(), 2u);
}

}  // namespace
