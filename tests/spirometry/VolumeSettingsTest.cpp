#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "spirometry/RecordCodes.h"
#include "spirometry/SpVolSettings.h"

using Spirometry::SpVolSettings;
using SpiroTest::ByteVector;
using SpiroTest::Bytes;

namespace {

ByteVector VolumeRecord(int32_t version, uint8_t channel, float deadSpace, float ratio, int32_t marker = 987654)
{
    Bytes b;
    b.i32(version).u8(channel).u8(1).f32(deadSpace).f32(ratio);
    if (version >= 3)
        b.u8(1);
    if (version >= 4)
        b.i32(0);
    if (version >= 2)
        b.f64(6.0).f64(-3.0).i32(marker);
    return b;
}

}  // namespace

TEST(VolumeSettings, RecordAndSettingsText)
{
    SpVolSettings s;
    EXPECT_EQ(SpiroTest::WriteRecord(s), Bytes()
                                             .i32(4)
                                             .u8(0xFF)  // no channel
                                             .u8(0).f32(400.0f).f32(1.0f).u8(0).i32(0).f64(4.0).f64(-2.0)
                                             .i32(987654).get());
    EXPECT_EQ(s.GetSettingStr(), L"-2147483648\t0\t400\t1\t0\t");

    s.mFlowChannel = 300;  // only the low byte is stored
    s.mApplyCorrection = true;
    s.mResetVolume = true;
    s.mDeadSpace = 150.0;
    s.mVolumeRatio = 1.05;
    s.mCorrectionMethod = 1;
    s.mRangeTop = 6.0;
    s.mRangeBottom = -3.0;
    const ByteVector written = SpiroTest::WriteRecord(s);
    EXPECT_EQ(written, Bytes().i32(4).u8(44).u8(1).f32(150.0f).f32(1.05f).u8(1).i32(1).f64(6.0).f64(-3.0)
                           .i32(987654).get());
    EXPECT_EQ(s.GetSettingStr(), L"-2147483648\t1\t150\t1.05\t1\t");

    SpVolSettings back;
    ASSERT_EQ(SpiroTest::ReadRecord(back, written), KVD_S_OK);
    EXPECT_EQ(back.mFlowChannel, 44);
    EXPECT_EQ(back.mCorrectionMethod, 1);
    EXPECT_EQ(back.mRangeTop, 6.0);
    EXPECT_FALSE(back.WasOutOfRange());
}

TEST(VolumeSettings, OlderAndOutOfRangeRecords)
{
    SpVolSettings v1;
    ASSERT_EQ(SpiroTest::ReadRecord(v1, VolumeRecord(1, 0xFF, 150.0f, 1.1f)), KVD_S_OK);
    EXPECT_FALSE(v1.mResetVolume);
    EXPECT_EQ(v1.mCorrectionMethod, 1);
    EXPECT_EQ(v1.mRangeTop, 4.0);
    EXPECT_EQ(v1.mFlowChannel, Spirometry::kNoChannel);

    SpVolSettings high;
    ASSERT_EQ(SpiroTest::ReadRecord(high, VolumeRecord(4, 2, 12000.0f, 12.0f)), KVD_S_OK);
    EXPECT_EQ(high.mVolumeRatio, 10.0);
    EXPECT_EQ(high.mVolumeRatioAsRead, 12.0);
    EXPECT_EQ(high.mDeadSpace, 10000.0);
    EXPECT_TRUE(high.WasOutOfRange());
    SpVolSettings copy(&high);  // a copy takes the values in range as read
    EXPECT_FALSE(copy.WasOutOfRange());

    SpVolSettings zero;
    ASSERT_EQ(SpiroTest::ReadRecord(zero, VolumeRecord(4, 2, 400.0f, 0.0f)), KVD_S_OK);
    EXPECT_EQ(zero.mVolumeRatio, 0.0);
    EXPECT_FALSE(zero.WasOutOfRange());
    EXPECT_EQ(zero.GetSettingStr(), L"-2147483648\t1\t400\t0\t1\t");

    ByteVector truncated = VolumeRecord(4, 2, 400.0f, 1.0f);
    truncated.resize(truncated.size() - 6);
    const struct {
        const char* what;
        ByteVector record;
        HRESULT result;
    } refused[] = {
        {"version 5", VolumeRecord(5, 2, 400.0f, 1.0f), KVD_E_NEWERVERSION},
        {"wrong end marker", VolumeRecord(4, 2, 400.0f, 1.0f, 1), KVD_E_BADSTATE},
        {"truncated", truncated, KVD_E_BADSTATE},
    };
    for (const auto& c : refused) {
        SpVolSettings s;
        EXPECT_EQ(SpiroTest::ReadRecord(s, c.record), c.result) << c.what;
        const SpVolSettings defaults;
        EXPECT_TRUE(s.IsEqual(&defaults)) << c.what;
    }
}
