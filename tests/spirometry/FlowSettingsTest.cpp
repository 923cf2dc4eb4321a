#include <gtest/gtest.h>

#include "foundation/KVDResultCodes.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/RecordCodes.h"
#include "spirometry/SpFlowSettings.h"
#include "RecordBytes.h"

using Spirometry::FlowHeads;
using Spirometry::SpFlowSettings;
using SpiroTest::ByteVector;
using SpiroTest::Bytes;

namespace {

constexpr long kNone = static_cast<int32_t>(0x80000000);

// A record of the given version spelled out, with the fields the tests vary as arguments.
ByteVector FlowRecord(int32_t version, uint8_t channel, uint8_t drift, uint8_t head, int32_t prefix, uint8_t clamp,
                      int32_t marker = 987654)
{
    Bytes b;
    b.i32(version).u8(channel).u8(drift).u8(head).u8(1).u8(0).f64(11.79);
    if (version >= 2)
        b.f64(15.0).f64(-5.0);
    if (version >= 3)
        b.i32(prefix).u8(clamp).f64(0.05).emptyString();
    if (version >= 2)
        b.i32(marker);
    return b;
}

bool Unchanged(const SpFlowSettings& s)
{
    const SpFlowSettings defaults;
    return s.IsEqual(&defaults) && s.mRangeTop == 20.0 && s.mRangeBottom == -20.0;
}

}  // namespace

TEST(FlowHeads, TableHoldsTheFiveBuiltInHeads)
{
    const FlowHeads heads;
    const struct {
        const wchar_t* name;
        double scale;
        double coefficient;
    } rows[] = {{L"Valtrin A", 0.08, 1.0}, {L"Valtrin B", 0.72, 1.0}, {L"Valtrin C", 11.79, 0.37},
                {L"Valtrin D", 40.1, 1.0}, {L"Quelby E", 38.0, 1.0}};
    ASSERT_EQ(heads.GetCount(), 5u);
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_EQ(heads.GetName(i), rows[i].name);
        EXPECT_EQ(heads.GetScale(i), rows[i].scale);
        EXPECT_EQ(heads.GetCoefficient(i), rows[i].coefficient);
    }
    EXPECT_FALSE(heads.IsRow(FlowHeads::kCustomHead));
}

TEST(FlowSettings, RecordIsWrittenByteForByteAndReadBack)
{
    SpFlowSettings s;
    EXPECT_EQ(SpiroTest::WriteRecord(s), Bytes()
                                             .i32(3)
                                             .u8(0xFF)  // no channel
                                             .u8(0).u8(3).u8(0).u8(0).f64(0.0).f64(20.0).f64(-20.0).i32(8).u8(0)
                                             .f64(0.0).emptyString().i32(987654).get());

    s.mRawFlowChannel = 300;  // only the low byte is stored
    s.mDriftCorrection = true;
    s.mHeadIndex = 2;
    s.mNonLinearCompensation = true;
    s.mHeadScale = 11.79;
    s.mRangeTop = 15.0;
    s.mRangeBottom = -5.0;
    s.mUnitPrefix = 7;
    s.mClamp = {0.05, true};
    const ByteVector written = SpiroTest::WriteRecord(s);
    EXPECT_EQ(written, FlowRecord(3, 44, 1, 2, 7, 1));

    SpFlowSettings back;
    ASSERT_EQ(SpiroTest::ReadRecord(back, written), KVD_S_OK);
    s.mRawFlowChannel = 44;
    EXPECT_TRUE(back.IsEqual(&s));
    EXPECT_EQ(back.mRangeTop, 15.0);
    EXPECT_EQ(back.mRangeBottom, -5.0);

    SpFlowSettings none;
    none.mRawFlowChannel = 0;
    ASSERT_EQ(SpiroTest::ReadRecord(none, SpiroTest::WriteRecord(SpFlowSettings())), KVD_S_OK);
    EXPECT_EQ(none.mRawFlowChannel, kNone);
}

TEST(FlowSettings, OlderVersionsReadWhatTheyCarry)
{
    for (int32_t version : {0, 1}) {
        SpFlowSettings s;
        ASSERT_EQ(SpiroTest::ReadRecord(s, Bytes().i32(version).u8(2).u8(1).u8(5).u8(0).u8(1).f64(12.5)), KVD_S_OK);
        EXPECT_EQ(s.mRawFlowChannel, 2);
        EXPECT_TRUE(s.mDriftCorrection);
        EXPECT_EQ(s.mHeadIndex, 5);
        EXPECT_TRUE(s.mCustomHead);
        EXPECT_EQ(s.mHeadScale, 12.5);
        EXPECT_EQ(s.mRangeTop, 20.0);
        EXPECT_EQ(s.mUnitPrefix, 8);
        EXPECT_FALSE(s.mClamp.enabled);
    }
    // Flags are on only for 1; the clamp for any non-zero byte; the older empty string form.
    ByteVector shortString = Bytes().i32(3).u8(1).u8(2).u8(2).u8(1).u8(0).f64(11.79).f64(15.0).f64(-5.0).i32(7)
                                 .u8(2).f64(0.05).emptyStringShort().i32(987654);
    SpFlowSettings s;
    ASSERT_EQ(SpiroTest::ReadRecord(s, shortString), KVD_S_OK);
    EXPECT_FALSE(s.mDriftCorrection);
    EXPECT_TRUE(s.mClamp.enabled);
    EXPECT_EQ(s.mClamp.level, 0.05);
}

TEST(FlowSettings, BadRecordsAreRefusedAndChangeNothing)
{
    ByteVector truncated = FlowRecord(3, 1, 1, 2, 7, 1);
    truncated.resize(truncated.size() - 3);
    const struct {
        const char* what;
        ByteVector record;
        HRESULT result;
    } cases[] = {
        {"newer version", FlowRecord(4, 1, 1, 2, 7, 1), KVD_E_NEWERVERSION},
        {"wrong end marker", FlowRecord(3, 1, 1, 2, 7, 1, 987655), KVD_E_BADSTATE},
        {"truncated", truncated, KVD_E_BADSTATE},
        {"head index 6", FlowRecord(3, 1, 1, 6, 7, 1), Spirometry::kRecordBadValue},
        {"unit prefix 15", FlowRecord(3, 1, 1, 2, 15, 1), Spirometry::kRecordBadValue},
        {"unit prefix -1", FlowRecord(3, 1, 1, 2, -1, 1), Spirometry::kRecordBadValue},
    };
    for (const auto& c : cases) {
        SpFlowSettings s;
        EXPECT_EQ(SpiroTest::ReadRecord(s, c.record), c.result) << c.what;
        EXPECT_TRUE(Unchanged(s)) << c.what;
    }
}

TEST(FlowSettings, FlowHeadChoiceAndEquality)
{
    SpFlowSettings s;
    s.mNonLinearCompensation = true;
    s.SetFlowHead(2, 99.0);
    EXPECT_TRUE(s.mNonLinearCompensation);
    EXPECT_EQ(s.mHeadScale, 11.79);
    s.SetFlowHead(3, 99.0);
    EXPECT_FALSE(s.mNonLinearCompensation);
    EXPECT_EQ(s.mHeadScale, 40.1);
    EXPECT_FALSE(s.mCustomHead);
    s.SetFlowHead(5, 12.5);
    EXPECT_TRUE(s.mCustomHead);
    EXPECT_EQ(s.mHeadScale, 12.5);

    SpFlowSettings a, b;
    a.mHeadScale = 1.0;
    b.mHeadScale = 1.0 + 5e-7;
    EXPECT_TRUE(a.IsEqual(&b));
    b.mHeadScale = 1.0 + 2e-6;
    EXPECT_FALSE(a.IsEqual(&b));
    b.mHeadScale = 1.0;
    b.mRangeTop = 3.0;  // derived values are not compared
    EXPECT_TRUE(a.IsEqual(&b));
    b.mClamp.level = 0.5;
    EXPECT_FALSE(a.IsEqual(&b));
}

TEST(FlowSettings, SettingsTextAndFormula)
{
    SpFlowSettings s;
    s.mRawFlowChannel = 2;
    s.mOwnChannel = 4;
    EXPECT_EQ(s.GetSettingStr(), L"-2147483648\t0\t3\t0\t0\t0\t2\t4\t0\t0\t");
    s.SetFlowHead(3, 0.0);
    s.mDriftCorrection = true;
    s.mClamp = {0.125, true};
    EXPECT_EQ(s.GetSettingStr(), L"-2147483648\t1\t3\t0\t40.1\t0\t2\t4\t1\t0.125\t");
    EXPECT_EQ(s.mSettingsText, s.GetSettingStr());

    EXPECT_EQ(s.GetFlowFormula(), L"Flow = 40.1 × Signal");
    s.SetFlowHead(2, 0.0);
    s.mNonLinearCompensation = true;
    EXPECT_EQ(s.GetFlowFormula(), L"Flow = 11.79 × (1 − 0.37 × |Signal|) × Signal");
}

TEST(FlowSettings, RawUnitsAndSources)
{
    const struct {
        const wchar_t* unit;
        bool volts;
        int exponent;
    } units[] = {{L"V", true, 0},     {L"mV", true, -3}, {L"", true, 0},    {L"A", false, 0},
                 {L"xV", false, 0},   {L"mA", false, -3}, {L"mVs", false, 0}, {L"kV", true, 3}};
    const SpFlowSettings s;
    for (const auto& u : units) {
        int exponent = 99;
        EXPECT_EQ(s.CheckBaseUnitAndPrefix(KVD::String(u.unit).AsIAutoKVDString(), exponent), u.volts) << u.unit;
        EXPECT_EQ(exponent, u.exponent) << u.unit;
    }

    SpFlowSettings own;
    own.mRawFlowChannel = 4;
    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    own.MakeSourceInfos(4, sources);
    own.MakeSourceInfos(4, sources);  // emptied first
    ASSERT_EQ(sources.GetCount(), 1u);
    EXPECT_EQ(sources[0].channel.channel, 4);
    EXPECT_EQ(sources[0].channel.blockDataType, 0x80001001u);
    EXPECT_EQ(sources[0].dataType, 0x80000000u);
    own.MakeSourceInfos(6, sources);
    EXPECT_EQ(sources[0].channel.blockDataType, 0xC0001000u);
}
