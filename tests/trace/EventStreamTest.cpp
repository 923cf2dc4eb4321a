// The event drawer over a stream of the record data's own kind: events whose value is not a
// number are passed over, and a stream without an event-draw class gives white markers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TraceFixture.h"
#include "host/drawing/RecordPixMap.h"
#include "support/ListEvents.h"
#include "trace/EventDrawer.h"

using namespace OrrelDraw;

namespace {

// One record of 1000 ticks whose event channel is a list.
class ListRecordData final : public TestSupport::HeapDouble<IRecordData> {
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
    HRESULT GetFloatStream(TChannelId, KVDPosition, uint32_t, IEnumFloatEx**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelUnitName(int, TChannelId, IUnitName**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetUnitsConversion(int, TChannelId, IUnitsConversion**) const override { return KVD_E_NOTIMPL; }
    HRESULT HasChannelData(int, TChannelId, AutoBool*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordEnd(int, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelTitle(TChannelId, IAutoKVDString**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetShortStream(TChannelId, KVDPosition, uint32_t, IEnumShortEx**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetPositionTimes(uint32_t, const KVDPosition*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelObject(int, TChannelId, IRecordChannel**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSample(TChannelId, KVDPosition, float*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRange(TChannelId, KVDPosition, KVDPosition, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetDataScaling(int, TChannelId, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT ResolvePosition(uint32_t, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSampleIndex(TChannelId, KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT CreatePixMap(uint32_t, IRecordDataPixMap**) const override { return KVD_E_NOTIMPL; }
    HRESULT CreatePolyLineEnum(uint32_t, int32_t, const int64_t*, int64_t, int64_t, int32_t, const DataScaling*,
                               uint32_t, IPolyLineEnumEx**) const override
    {
        return KVD_E_NOTIMPL;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(23, 56)
    HRESULT IsValidRange(KVDPosition, KVDPosition, AutoBool*) const override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)
    HRESULT GetAbsoluteTick(KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }

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
