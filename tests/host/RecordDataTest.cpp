// The document data over a recording: streams read, cloned and skipped over the stored samples,
// and the record-data questions answered from the recording.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "IEnumFloatEx.h"
#include "IEnumShortEx.h"
#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/data/DocumentData.h"

namespace {

constexpr uint32_t kUnits = 0x40001000;     // the channel's data in its unit
constexpr uint32_t kStored = 0x40000000;    // as stored
constexpr uint32_t kRecorded = 0x1001;      // raw recorded data

// Two records at 100 Hz: "Flow" in L/s (stored x 0.001) and "Pressure" in cmH2O
// ((stored + 100) x 0.01); stored values are 10 x tick - 200 and 7 x tick in record 0.
std::shared_ptr<Host::Recording> MakeRecording()
{
    auto rec = std::make_shared<Host::Recording>(
        "test.csv", 100.0,
        std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}, {"Pressure", "cmH2O", 0.01, 100.0}});
    for (uint32_t ticks : {50u, 30u}) {
        Host::RecordBlock block;
        block.ticks = ticks;
        block.samples.resize(2);
        for (uint32_t t = 0; t < ticks; ++t) {
            block.samples[0].push_back(int16_t(10 * t - 200));
            block.samples[1].push_back(int16_t(7 * t));
        }
        rec->AddRecord(std::move(block));
    }
    return rec;
}

class RecordData : public ::testing::Test {
protected:
    RecordData() : data(Host::DocumentData::Create(MakeRecording())) { data->Release(); }
    ~RecordData() override { data->Close(); }

    IRecordData* Records() { return data.get(); }

    std::vector<float> Pull(IEnumFloatEx* stream, uint32_t n, HRESULT expected = KVD_S_OK)
    {
        std::vector<float> out(n, -1.0f);
        uint32_t delivered = 99;
        EXPECT_EQ(stream->Next(n, out.data(), &delivered), expected);
        out.resize(delivered);
        return out;
    }

    KVD::COMPtr<Host::DocumentData> data;
};

float Flow(uint32_t tick) { return float((10.0 * tick - 200) * 0.001); }

TEST_F(RecordData, StreamsClonedAndSkippedReturnTheStoredSamples)
{
    KVD::COMPtr<IEnumFloatEx> stream;
    ASSERT_EQ(Records()->GetFloatStream(TChannelId{0, kUnits}, KVDPosition{10, 0}, 40, stream.Set()), KVD_S_OK);
    EXPECT_EQ(Pull(stream, 3), (std::vector<float>{Flow(10), Flow(11), Flow(12)}));

    // A clone goes on from the same place, independently.
    KVD::COMPtr<IEnumExBase> cloneBase;
    ASSERT_EQ(stream->Clone(cloneBase.Set()), KVD_S_OK);
    KVD::COMPtr<IEnumFloatEx> clone(KVD::com_cast(cloneBase.get()));
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Pull(clone, 2), (std::vector<float>{Flow(13), Flow(14)}));
    EXPECT_EQ(Pull(stream, 1), (std::vector<float>{Flow(13)}));

    // Back, forth, back to the start of the record, and stopped at both edges.
    struct Step {
        int32_t skip;
        int32_t skipped;
        HRESULT result;
        int32_t position;
    };
    const Step steps[] = {
        {-4, -4, KVD_S_OK, 10}, {20, 20, KVD_S_OK, 30}, {-30, -30, KVD_S_OK, 0},
        {-1, 0, KVD_S_FALSE, 0}, {45, 40, KVD_S_FALSE, 40},  // the end tick stops it
    };
    for (const Step& s : steps) {
        int32_t skipped = 0;
        EXPECT_EQ(stream->SkipEx(s.skip, &skipped), s.result) << s.skip;
        EXPECT_EQ(skipped, s.skipped) << s.skip;
        int32_t position = -1;
        stream->GetPosition(&position);
        EXPECT_EQ(position, s.position) << s.skip;
    }
    EXPECT_TRUE(Pull(stream, 1, KVD_S_FALSE).empty());
    stream->SkipEx(-2, nullptr);
    EXPECT_EQ(Pull(stream, 5, KVD_S_FALSE), (std::vector<float>{Flow(38), Flow(39)}));
    // The clone was not moved by any of it.
    EXPECT_EQ(Pull(clone, 1), (std::vector<float>{Flow(15)}));

    // The same data as stored values, in the unit, and as 16-bit samples.
    KVD::COMPtr<IEnumFloatEx> stored;
    Records()->GetFloatStream(TChannelId{1, kStored}, KVDPosition{2, 1}, kRecordEndTick, stored.Set());
    EXPECT_EQ(Pull(stored, 2), (std::vector<float>{14.0f, 21.0f}));
    KVD::COMPtr<IEnumFloatEx> pressure;
    Records()->GetFloatStream(TChannelId{1, kRecorded}, KVDPosition{2, 1}, kRecordEndTick, pressure.Set());
    EXPECT_EQ(Pull(pressure, 1), (std::vector<float>{float((14 + 100) * 0.01)}));
    KVD::COMPtr<IEnumShortEx> shorts;
    ASSERT_EQ(Records()->GetShortStream(TChannelId{1, kUnits}, KVDPosition{29, 1}, kRecordEndTick, shorts.Set()),
              KVD_S_OK);
    int16_t raw[2] = {0, 0};
    uint32_t delivered = 0;
    EXPECT_EQ(shorts->Next(2, raw, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 1u);
    EXPECT_EQ(raw[0], 7 * 29);
    shorts->SkipEx(-30, nullptr);  // back over the sample read, to the record's start
    shorts->Next(1, raw, &delivered);
    EXPECT_EQ(raw[0], 0);

    // Nothing is handed out for a place outside the data or a channel that is not there.
    KVD::COMPtr<IEnumFloatEx> none;
    EXPECT_EQ(Records()->GetFloatStream(TChannelId{0, kUnits}, KVDPosition{31, 1}, 40, none.Set()), KVD_E_BADSTATE);
    EXPECT_EQ(Records()->GetFloatStream(TChannelId{2, kUnits}, KVDPosition{0, 0}, 40, none.Set()), KVD_E_BADSTATE);
    EXPECT_EQ(Records()->GetFloatStream(TChannelId{0, kUnits}, KVDPosition{0, 2}, 40, none.Set()), KVD_E_BADSTATE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(RecordData, PositionsTimesAndRanges)
{
    uint32_t ticks = 0;
    Records()->GetRecordTicks(1, &ticks);
    EXPECT_EQ(ticks, 30u);
    double secs = 0;
    Records()->GetSecsPerTick(1, &secs);
    EXPECT_DOUBLE_EQ(secs, 0.01);

    // Absolute ticks count the records before; the end-of-record tick resolves to the length.
    const KVDPosition positions[] = {{5, 0}, {5, 1}, {kNoPositionTick, 0}};
    const int64_t absolute[] = {5, 55, 50};
    double times[3] = {};
    ASSERT_EQ(Records()->GetPositionTimes(3, positions, times), KVD_S_OK);
    for (int i = 0; i < 3; ++i) {
        int64_t tick = -1;
        Records()->GetAbsoluteTick(positions[i], &tick);
        EXPECT_EQ(tick, absolute[i]);
        EXPECT_DOUBLE_EQ(times[i], absolute[i] * 0.01);
    }
    KVDPosition end{kNoPositionTick, 1};
    Records()->ResolvePosition(0xC0000000, &end);
    EXPECT_EQ(end.tick, 30u);

    struct Range {
        KVDPosition left, right;
        AutoBool valid;
    };
    for (const Range& r : {Range{{0, 0}, {50, 0}, kAutoTrue}, Range{{49, 0}, {3, 1}, kAutoTrue},
                           Range{{3, 1}, {49, 0}, kAutoFalse}, Range{{51, 0}, {51, 0}, kAutoFalse},
                           Range{{0, 0}, {0, 2}, kAutoFalse}}) {
        AutoBool valid = 7;
        Records()->IsValidRange(r.left, r.right, &valid);
        EXPECT_EQ(valid, r.valid) << r.left.tick << "/" << r.left.record;
    }

    // Value range from the first position up to the second, across the record boundary.
    double hi = 0, lo = 0;
    ASSERT_EQ(Records()->GetRange(TChannelId{0, 0xC0002000}, {45, 0}, {2, 1}, &hi, &lo), KVD_S_OK);
    EXPECT_DOUBLE_EQ(hi, Flow(49));
    EXPECT_DOUBLE_EQ(lo, Flow(0));
    float sample = 0;
    Records()->GetSample(TChannelId{0, kUnits}, {20, 0}, &sample);
    EXPECT_EQ(sample, Flow(20));
    EXPECT_EQ(Records()->GetSample(TChannelId{0, kUnits}, {30, 1}, &sample), KVD_E_BADSTATE);
}

TEST_F(RecordData, ChannelsTitlesAndUnits)
{
    KVD::String title;
    Records()->GetChannelTitle(TChannelId{1, 0xC0000000}, KVD::String::Setter(title));
    EXPECT_EQ(title, L"Pressure");

    // Formulas find channels by title, whatever the case of its letters.
    TChannelId found{int32_t(0x80000000), 0xC0000000};
    EXPECT_EQ(data->FindChannel(int32_t(0xFF000000), KVD::String(L"pRESSURE").AsIAutoKVDString(), &found, nullptr, 0,
                                found),
              KVD_S_OK);
    EXPECT_EQ(found.channel, 1);
    TChannelId missing{int32_t(0x80000000), 0xC0000000};
    EXPECT_EQ(data->FindChannel(0, KVD::String(L"Volume").AsIAutoKVDString(), &missing, nullptr, 0, missing),
              KVD_S_FALSE);
    EXPECT_EQ(missing.channel, int32_t(0x80000000));

    KVD::COMPtr<IUnitsConversion> units;
    ASSERT_EQ(Records()->GetUnitsConversion(0, TChannelId{1, kRecorded}, units.Set()), KVD_S_OK);
    double value = 0, top = 0, bottom = 0;
    units->ConvertValue(kRecorded, 32000, &value);
    EXPECT_DOUBLE_EQ(value, (32000 + 100) * 0.01);
    units->GetRange(kRecorded, &top, &bottom);
    EXPECT_DOUBLE_EQ(top, (32767 + 100) * 0.01);
    EXPECT_DOUBLE_EQ(bottom, (-32768 + 100) * 0.01);

    // Every record hands out the same channel object, with the channel's unit.
    KVD::COMPtr<IRecordChannel> first, second;
    Records()->GetChannelObject(0, TChannelId{0, kUnits}, first.Set());
    Records()->GetChannelObject(1, TChannelId{0, kUnits}, second.Set());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    KVD::COMPtr<IUnitName> unit;
    first->GetUnitName(kUnits, unit.Set());
    KVD::String name;
    unit->GetName(kAutoTrue, KVD::String::Setter(name));
    EXPECT_EQ(name, L"L/s");
    AutoBool has = 0;
    Records()->HasChannelData(1, TChannelId{1, kStored}, &has);
    EXPECT_EQ(has, kAutoTrue);
    Records()->HasChannelData(2, TChannelId{1, kStored}, &has);
    EXPECT_EQ(has, kAutoFalse);
}

}  // namespace
