#include <gtest/gtest.h>

#include <cmath>

#include "RecordBytes.h"
#include "support/MemoryIStream.h"
#include "spirometry/Settings.h"
#include "spirometry/SpiroIds.h"

using Spirometry::Settings;
using Spirometry::SpConfig;
using SpiroTest::ByteVector;
using SpiroTest::Bytes;
using TestSupport::MemoryIStream;

namespace {

constexpr int32_t kNone = static_cast<int32_t>(0x80000000);

// The stored record after the stream's version word, up to the given version's fields.
Bytes DocumentRecord(uint32_t version, bool versionWord = true)
{
    Bytes b;
    if (versionWord)
        b.put(0x5515AAAAu);
    b.put(version);
    if (version >= 2)
        b.i32(3).i32(4).f64(0.5).f64(3.0).put(1u);
    if (version >= 3)
        b.u8(1).f64(0.02).i32(7).emptyString();
    return b;
}

HRESULT Load(Settings& s, const ByteVector& bytes)
{
    MemoryIStream stream(bytes, STGM_READ);
    return s.Load(&stream);
}

}  // namespace

TEST(DocumentSettings, DefaultsAreSavedByteForByte)
{
    Settings s;
    MemoryIStream stream;
    ASSERT_EQ(s.Save(&stream, true), KVD_S_OK);
    const ByteVector expected = Bytes()
                                    .put(0x5515AAAAu)
                                    .put(3u)
                                    .i32(kNone)
                                    .i32(kNone)
                                    .f64(1.0)
                                    .f64(2.0)
                                    .put(0u)
                                    .u8(0)
                                    .f64(0.0)
                                    .i32(8)
                                    .emptyString();
    EXPECT_EQ(expected.size(), 63u);
    EXPECT_EQ(stream.Bytes(), expected);

    CLSID id{};
    EXPECT_EQ(s.GetClassID(&id), KVD_S_OK);
    EXPECT_EQ(id, Spirometry::SpiroDocumentGUID);
    EXPECT_EQ(s.GetSizeMax(nullptr), KVD_E_NOTIMPL);
}

TEST(DocumentSettings, SaveClearsDirtyOnlyWhenAskedAndWhenWritten)
{
    Settings s;
    EXPECT_EQ(s.IsDirty(), KVD_S_FALSE);
    s.mDirty = true;
    MemoryIStream kept;
    EXPECT_EQ(s.Save(&kept, false), KVD_S_OK);
    EXPECT_EQ(s.IsDirty(), KVD_S_OK);

    MemoryIStream full;
    full.writeLimit = 20;
    EXPECT_NE(s.Save(&full, true), KVD_S_OK);
    EXPECT_EQ(s.IsDirty(), KVD_S_OK);

    MemoryIStream good;
    EXPECT_EQ(s.Save(&good, true), KVD_S_OK);
    EXPECT_EQ(s.IsDirty(), KVD_S_FALSE);
}

TEST(DocumentSettings, LoadTakesWhatEachVersionCarries)
{
    Settings s;
    ASSERT_EQ(Load(s, DocumentRecord(3)), KVD_S_OK);
    EXPECT_EQ(s.mSpFlowCalcChan, 3);
    EXPECT_EQ(s.mSpVolCalcChan, 4);
    EXPECT_EQ(s.mCycleDetectionFactor, 0.5);
    EXPECT_EQ(s.mForcedExpirationThreshold, 3.0);
    EXPECT_TRUE(s.mNonForcedInReport);
    EXPECT_TRUE(s.mFlowNoiseClamp.enabled);
    EXPECT_EQ(s.mFlowNoiseClamp.level, 0.02);
    EXPECT_EQ(s.mFlowUnitPrefix, 7);
    EXPECT_TRUE(s.mLoaded && s.mRegistered);
    EXPECT_EQ(s.mLoadedVersion, 3u);

    // Version 2, also from a stream without the version word: no clamping, no prefix.
    for (bool versionWord : {true, false}) {
        Settings v2;
        ASSERT_EQ(Load(v2, DocumentRecord(2, versionWord)), KVD_S_OK);
        EXPECT_EQ(v2.mSpVolCalcChan, 4);
        EXPECT_FALSE(v2.mFlowNoiseClamp.enabled);
        EXPECT_EQ(v2.mFlowUnitPrefix, 8);
        EXPECT_EQ(v2.mLoadedVersion, 2u);
    }

    Settings v1;
    ASSERT_EQ(Load(v1, DocumentRecord(1)), KVD_S_OK);
    EXPECT_TRUE(v1.Config() == SpConfig());
    EXPECT_EQ(v1.mLoadedVersion, 1u);
}

TEST(DocumentSettings, NewerTruncatedOrCorruptRecordsChangeNothing)
{
    ByteVector truncated = DocumentRecord(3);
    truncated.resize(30);  // inside the threshold
    ByteVector badString = DocumentRecord(3);
    badString[badString.size() - 6] = 7;  // the string's check word no longer matches its count
    const struct {
        const char* what;
        ByteVector bytes;
        HRESULT result;
    } cases[] = {
        {"version 4", DocumentRecord(4), KVD_E_NEWERVERSION},
        {"truncated", truncated, KVD_E_BADSTATE},
        {"string length", badString, KVD_E_ARRAYSIZE},
        {"no record version", {0xAA, 0xAA}, KVD_E_BADSTATE},
    };
    for (const auto& c : cases) {
        Settings s;
        s.mDirty = true;
        EXPECT_EQ(Load(s, c.bytes), c.result) << c.what;
        EXPECT_TRUE(s.Config() == SpConfig()) << c.what;
        EXPECT_FALSE(s.mLoaded || s.mRegistered) << c.what;
        EXPECT_EQ(s.IsDirty(), KVD_S_OK) << c.what;
    }
}

TEST(DocumentSettings, SettingsChangesKeepTheirRanges)
{
    const SpConfig defaults;
    EXPECT_EQ(defaults.mCycleDetectionFactor, 1.0);
    EXPECT_EQ(defaults.mForcedExpirationThreshold, 2.0);
    EXPECT_EQ(defaults.mFlowUnitPrefix, 8);
    EXPECT_EQ(defaults.mSpFlowCalcChan, kNone);

    const struct {
        double threshold, factor;
        int32_t prefix;
        bool inRange;
        double keptThreshold, keptFactor;
        int32_t keptPrefix;
    } cases[] = {
        {0.1, 0.01, 6, true, 0.1, 0.01, 6},       {10.0, 10.0, 7, true, 10.0, 10.0, 7},
        {0.05, 11.0, 8, false, 0.1, 10.0, 8},     {12.0, 0.001, 5, false, 10.0, 0.01, 8},
        {NAN, NAN, 9, false, 2.0, 1.0, 8},
    };
    for (const auto& c : cases) {
        SpConfig config;
        EXPECT_EQ(config.Assign(c.threshold, c.factor, true, 1, 2, c.prefix, 0.1, true), c.inRange);
        EXPECT_EQ(config.mForcedExpirationThreshold, c.keptThreshold);
        EXPECT_EQ(config.mCycleDetectionFactor, c.keptFactor);
        EXPECT_EQ(config.mFlowUnitPrefix, c.keptPrefix);
        EXPECT_EQ(config.mSpVolCalcChan, 2);
        EXPECT_TRUE(config.mFlowNoiseClamp.enabled);
    }
}
