#include <gtest/gtest.h>

#include <cfloat>

#include "HostDoubles.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpConfig.h"

using namespace Spirometry::DlgCommon;
using SpiroTest::FakeDocument;
using SpiroTest::FakeUnitsConversion;

TEST(DlgCommon, ChannelTokensAndPrefix)
{
    const struct {
        TChannelId id;
        const wchar_t* text;
    } cases[] = {{{2, 1}, L"RCh3"}, {{0, 4}, L"VCh1"}, {{5, 0}, L"Ch6"}, {{11, 0xC0000000u}, L"Ch12"}};
    for (const auto& c : cases) {
        KVD::String text;
        getSourceChanAsString(text, c.id);
        EXPECT_EQ(text, c.text);
    }
    KVD::String untouched(L"x");
    EXPECT_FALSE(getChannelUnitsR(false, TChannelId{kUnsetChannel, 0}, 0, untouched, nullptr));
    EXPECT_TRUE(getChannelUnitsR(false, TChannelId{3, 0}, 0, untouched, nullptr));
    EXPECT_EQ(untouched, L"x");

    Spirometry::SpConfig config;
    config.mFlowUnitPrefix = Spirometry::SpConfig::kMilliPrefix;
    UnitPrefix prefix = kUnitPrefixNone;
    getUnitsPrefixR(TChannelId{1, 0}, 0, prefix, nullptr, &config);
    EXPECT_EQ(prefix, kUnitPrefixMilli);
}

TEST(DlgCommon, ColourRangeAndNames)
{
    FakeDocument doc;
    doc.colours[3] = 0x0080FF;  // red 255, green 128, blue 0
    TColor colour(1, 2, 3, 0.5f);
    ASSERT_TRUE(getChannelColour(colour, 3, &doc));
    EXPECT_EQ(colour.red, 65535);
    EXPECT_EQ(colour.green, 32896);
    EXPECT_EQ(colour.blue, 0);
    EXPECT_EQ(colour.alpha, 1.0f);
    EXPECT_FALSE(getChannelColour(colour, 4, &doc));
    EXPECT_EQ(colour.red, 65535);

    double low = 0, high = 0;
    EXPECT_FALSE(getChannelRangeR(&doc, 3, 0, false, false, low, high));
    EXPECT_EQ(low, -DBL_MAX);
    EXPECT_EQ(high, DBL_MAX);

    doc.channelCount = 2;
    doc.records.titles[0] = L"Flow head";
    doc.records.titles[3] = L"Volume";
    EXPECT_EQ(GetChannelNames(&doc, &doc.records, 3),
              (std::vector<KVD::String>{L"Flow head", L"", L"", L"Volume"}));
    EXPECT_EQ(GetChannelNames(&doc, &doc.records, 0).size(), 2u);
}

TEST(DlgCommon, UserUnitsAndVolts)
{
    const struct {
        const wchar_t* unit;
        bool user;
        bool notVolts;
    } cases[] = {{L"mV", false, false}, {L"V", true, false}, {L"uV", false, false},
                 {L"L/s", false, true}, {L"xV", false, true}, {L"", false, false}};
    for (const auto& c : cases) {
        FakeDocument doc;
        doc.records.SetSamples(0, 1, {0.0f});
        doc.records.SetSamples(1, 1, {0.0f});
        auto units = std::make_shared<FakeUnitsConversion>(1.0);
        units->unit = c.unit;
        units->userDefined = c.user;
        doc.records.conversions[1] = units;
        bool user = !c.user, notVolts = !c.notVolts;
        CheckForUserUnits(&doc, 0, 1, user, notVolts);
        EXPECT_EQ(user, c.user) << c.unit;
        EXPECT_EQ(notVolts, c.notVolts) << c.unit;
    }
}
