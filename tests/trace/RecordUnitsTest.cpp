// Units asked of trace drawers are the units of the record the pane asks about: a channel that
// has units only from its second record is found there by the channel pane's block walk, and
// the conversion a drawer hands back is that record's.
#include <gtest/gtest.h>

#include <set>

#include "DataPaneFixture.h"
#include "IUnitsConversion.h"
#include "host/data/Adopt.h"
#include "support/ComDoubles.h"
#include "support/StubRecordData.h"
#include "trace/CustomUnitsPolyLineTraceDrawer.h"

using namespace OrrelDraw;

namespace {

// The recording's data, except that no record before `first` has units or a conversion for
// any channel. Its pixel maps read this data, so drawers given them ask it.
class UnitsFromRecord final : public TestSupport::StubRecordData<TestSupport::HeapDouble<IRecordData>> {
public:
    UnitsFromRecord(IRecordData* inner, int first) : mInner(inner), mFirst(first) {}

    HRESULT GetChannelUnitName(int r, TChannelId c, IUnitName** name) const override
    {
        asked.push_back(r);
        if (r < mFirst)
            return *name = nullptr, KVD_E_BADSTATE;
        return mInner->GetChannelUnitName(r, c, name);
    }
    HRESULT GetUnitsConversion(int r, TChannelId c, IUnitsConversion** units) const override
    {
        if (r < mFirst)
            return *units = nullptr, KVD_S_FALSE;
        return mInner->GetUnitsConversion(r, c, units);
    }
    HRESULT CreatePixMap(uint32_t number, IRecordDataPixMap** out) const override
    {
        const HRESULT hr = mInner->CreatePixMap(number, out);
        if (hr == KVD_S_OK)
            (*out)->SetRecordData(const_cast<UnitsFromRecord*>(this));
        return hr;
    }
    HRESULT GetRecordCount(int* n) const override { return mInner->GetRecordCount(n); }
    HRESULT GetRecordTicks(int r, uint32_t* t) const override { return mInner->GetRecordTicks(r, t); }
    HRESULT GetSecsPerTick(int r, double* s) const override { return mInner->GetSecsPerTick(r, s); }
    HRESULT HasChannelData(int r, TChannelId c, AutoBool* has) const override
    {
        return mInner->HasChannelData(r, c, has);
    }
    HRESULT GetRecordEnd(int r, KVDPosition* e) const override { return mInner->GetRecordEnd(r, e); }
    HRESULT GetChannelTitle(TChannelId c, IAutoKVDString** t) const override { return mInner->GetChannelTitle(c, t); }
    HRESULT GetChannelObject(int r, TChannelId c, IRecordChannel** o) const override
    {
        return mInner->GetChannelObject(r, c, o);
    }
    HRESULT GetPositionTimes(uint32_t n, const KVDPosition* p, double* s) const override
    {
        return mInner->GetPositionTimes(n, p, s);
    }
    HRESULT GetRange(TChannelId c, KVDPosition f, KVDPosition t, double* hi, double* lo) const override
    {
        return mInner->GetRange(c, f, t, hi, lo);
    }
    HRESULT GetDataScaling(int r, TChannelId c, double* s, double* o) const override
    {
        return mInner->GetDataScaling(r, c, s, o);
    }
    HRESULT ResolvePosition(uint32_t f, KVDPosition* p) const override { return mInner->ResolvePosition(f, p); }
    HRESULT CreatePolyLineEnum(uint32_t f, int32_t c, const int64_t* pair, int64_t max, int64_t start, int32_t r,
                               const DataScaling* s, uint32_t type, IPolyLineEnumEx** out) const override
    {
        return mInner->CreatePolyLineEnum(f, c, pair, max, start, r, s, type, out);
    }
    HRESULT IsValidRange(KVDPosition l, KVDPosition r, AutoBool* v) const override
    {
        return mInner->IsValidRange(l, r, v);
    }
    HRESULT GetAbsoluteTick(KVDPosition p, int64_t* t) const override { return mInner->GetAbsoluteTick(p, t); }

    mutable std::vector<int> asked;  // records of the units names asked for

private:
    KVD::COMPtr<IRecordData> mInner;
    int mFirst;
};

std::wstring LeftUnits(DataPane& pane)
{
    KVD::String text;
    {
        KVD::String::Setter out(text);
        pane.GetChannelPane(0).ScaleOf(kScaleLeft)->GetUnitsText(out);
    }
    return text.c_str();
}

// Two records of channel 0 ("Sine", volts); units only from the second.
class RecordUnits : public ::testing::Test {
protected:
    RecordUnits()
        : data(TraceTest::MakeRecording({1000, 1000})),
          records(Host::Adopt(new UnitsFromRecord(data.data, 1))),
          pane(new TraceTest::TestDataPane(PaneFlag::kLeftScale, 0, [] { return 0; }))
    {
        pane->OnSetupWindow(&data, &data);
    }

    void Show(IOrrelRecordDrawer* drawer)
    {
        pane->AddRecordDrawer(0, 0, KVD::COMPtr<IOrrelRecordDrawer>(drawer), 0);
        pane->SetRecordData(0, records, nullptr);
        pane->OnSize(TSize(402, 200));
        pane->OnPrePaint();
    }

    // The plain scaling of channel 0's conversion in the second record, as the host gives it.
    double PlainScale() const
    {
        KVD::COMPtr<IUnitsConversion> units;
        data.data->GetUnitsConversion(1, TChannelId{0, TraceTest::kUnits}, units.Set());
        double scale = 0, offset = 0;
        if (units != nullptr)
            units->GetScaling(0, &scale, &offset);
        return scale;
    }

    TraceTest::TraceData data;
    KVD::COMPtr<UnitsFromRecord> records;
    KVD::COMPtr<TraceTest::TestDataPane> pane;
};

TEST_F(RecordUnits, TheBlockWalkFindsATraceDrawersUnitsInTheRecordThatHasThem)
{
    auto* trace = new PolyLineTraceDrawer(0x1000, TChannelId{0, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0,
                                          0x201, 1);
    Show(trace);
    ChannelPane& channelPane = pane->GetChannelPane(0);
    records->asked.clear();
    EXPECT_EQ(channelPane.SetYScaleUnits(0, 1), 1);
    EXPECT_EQ(records->asked, (std::vector<int>{0, 1}));
    EXPECT_TRUE(channelPane.LeftUnitsFound());
    EXPECT_EQ(LeftUnits(*pane), L"V");
    EXPECT_EQ(channelPane.SetYScaleUnits(0, 0), kNoUnitsBlock);

    // The scaling comes with the units of the record asked about: none in the first.
    DataScaling scaling{-7.0, -7.0};
    KVD::String units;
    AutoBool has = kAutoFalse;
    EXPECT_TRUE(channelPane.GetUnitsForScale(kScaleLeft, 0, 1, &units, &scaling, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(units.c_str()), L"V");
    EXPECT_EQ(scaling.scale, PlainScale());
    UnitsContext first{0, 0};
    trace->OnEvent(DrawerEvent::kUnitsContext, &first);
    scaling = DataScaling{-7.0, -7.0};
    EXPECT_EQ(trace->GetPrefixedUnitsName(1, 1, KVD::String::Setter(units), &has, &scaling, nullptr, nullptr),
              KVD_S_FALSE);
    EXPECT_EQ(scaling.scale, -7.0);
}

TEST_F(RecordUnits, AutoScaleAsksTheScalingOfTheFirstRecordInView)
{
    Show(new PolyLineTraceDrawer(0x1000, TChannelId{0, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1));
    ChannelPane& channelPane = pane->GetChannelPane(0);
    ASSERT_EQ(channelPane.SetYScaleUnits(1, 1), 1);  // the last units asked about: the second record's
    ASSERT_NE(PlainScale(), 1.0);
    // The first record, in view from the start, has no conversion: its values are shown as stored.
    ChannelYDataRange range{};
    AutoBool unscaled = kAutoFalse;
    ASSERT_EQ(channelPane.OnAutoScaleRequest(kScaleLeft, &range, &unscaled), KVD_S_OK);
    EXPECT_EQ(unscaled, kAutoTrue);
}

// Shows "mL/s" for volts, in milli.
class VoltsAsFlow final : public UnitMapper {
public:
    int32_t GetChannel() const override { return 1; }
    uint32_t GetFlags() const override { return TraceTest::kUnits; }
    bool Map(const KVD::String& channelUnits, const KVD::String&, KVD::String& shown, UnitPrefix& prefix) const override
    {
        if (channelUnits != KVD::String(L"V"))
            return false;
        shown = KVD::String(L"mL/s");
        prefix = kUnitPrefixMilli;
        return true;
    }
};

TEST_F(RecordUnits, AMappedTraceAnswersForTheRecordAskedAboutToo)
{
    auto* trace = new CustomUnitsPolyLineTraceDrawer(4096, TChannelId{0, TraceTest::kUnits},
                                                     std::make_unique<VoltsAsFlow>(), 1, nullptr, kNoChannel, 0, 0x201);
    Show(trace);
    records->asked.clear();
    EXPECT_EQ(pane->GetChannelPane(0).SetYScaleUnits(0, 1), 1);
    EXPECT_EQ(LeftUnits(*pane), L"mL/s");
    // Both names (the channel's and the mapper's channel's) are read in the record asked about.
    EXPECT_EQ(std::set<int>(records->asked.begin(), records->asked.end()), (std::set<int>{0, 1}));

    KVD::String units;
    AutoBool has = kAutoFalse;
    DataScaling scaling{-7.0, -7.0};
    double factor = 0;
    UnitsContext second{1, 0};
    trace->OnEvent(DrawerEvent::kUnitsContext, &second);
    ASSERT_EQ(trace->GetPrefixedUnitsName(1, 1, KVD::String::Setter(units), &has, &scaling, nullptr, &factor),
              KVD_S_OK);
    EXPECT_EQ(scaling.scale, PlainScale());
    EXPECT_DOUBLE_EQ(factor, 1000.0);
    UnitsContext first{0, 0};
    trace->OnEvent(DrawerEvent::kUnitsContext, &first);
    EXPECT_EQ(trace->GetUnitsName(1, 1, KVD::String::Setter(units), &has), KVD_S_FALSE);
}

}  // namespace
