#include <gtest/gtest.h>

#include <cfloat>

#include "HostDoubles.h"
#include "host/document/DataDocument.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpConfig.h"
#include "spirometry/SpiroIds.h"

using namespace Spirometry::DlgCommon;

namespace {

// A document that only knows its channels' colours.
class ColourDocument final : public IAutoOrrelDoc {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void**) override { return KVD_E_NOINTERFACE; }
    HRESULT GetDocument(IDocument**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCount(int*) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCountEx(int*, int, int) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelColour(int channel, uint32_t* rgb) override
    {
        *rgb = 0x0080FF;  // red 255, green 128, blue 0
        return channel == 3 ? KVD_S_OK : KVD_E_BADSTATE;
    }
    HRESULT GetComputedChannelCount(int, int*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTimeDisplayMode(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT PositionToText(int32_t, uint32_t, int32_t, KVDPosition, uint32_t, int32_t, IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSamplingState(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetData(IOrrelData2**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelDisplaySettings(int, IChannelDisplaySettings2**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSettingsRegistrar(IUnknown**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordData(int, IRecordData**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSelection(int, IRecordDataSelection**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(4, 4)
    KVD_RESERVED_SLOTS_NOTIMPL(14, 16)
    KVD_RESERVED_SLOTS_NOTIMPL(18, 49)
    KVD_RESERVED_SLOTS_NOTIMPL(51, 60)
};

}  // namespace

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

    ColourDocument colours;
    TColor colour(1, 2, 3, 0.5f);
    ASSERT_TRUE(getChannelColour(colour, 3, &colours));
    EXPECT_EQ(colour.red, 65535);
    EXPECT_EQ(colour.green, 32896);
    EXPECT_EQ(colour.blue, 0);
    EXPECT_EQ(colour.alpha, 1.0f);
    EXPECT_FALSE(getChannelColour(colour, 4, &colours));
    EXPECT_EQ(colour.red, 65535);
}

TEST(DlgCommon, NamesRangesAndUnitsOfTheDocumentsChannels)
{
    const struct {
        const char* unit;
        bool notVolts;
    } units[] = {{"mV", false}, {"V", false}, {"uV", false}, {"L/s", true}, {"xV", true}, {"", false}};
    for (const auto& u : units) {
        Host::DataDocument doc(SpiroTest::MakeRecording(
            10.0, {{{"Flow head", u.unit, 0.5, 2.0}, {{0.0f}, {0.0f}}}, {{"Other", "V", 1.0, 0.0}, {{0.0f}, {0.0f}}}}));
        bool user = true, notVolts = !u.notVolts;
        CheckForUserUnits(doc.AutoDocument(), 0, 0, user, notVolts);
        EXPECT_FALSE(user) << u.unit;
        EXPECT_EQ(notVolts, u.notVolts) << u.unit;

        IRecordData& records = doc.Data();
        EXPECT_EQ(GetChannelNames(doc.AutoDocument(), &records, 3),
                  (std::vector<KVD::String>{L"Flow head", L"Other", L"", L""}));
        EXPECT_EQ(GetChannelNames(doc.AutoDocument(), &records, 0).size(), 2u);

        double low = 0, high = 0;
        EXPECT_TRUE(getChannelRangeR(doc.AutoDocument(), 0, 0, false, false, low, high));
        EXPECT_EQ(low, (2.0 - DBL_MAX) * 0.5);
        EXPECT_EQ(high, (2.0 + DBL_MAX) * 0.5);
        doc.Close();
    }
}

TEST(SpiroIds, ViewAndFormatIdsDifferOnlyWhereTheyShould)
{
    using namespace Spirometry;
    const TCAFId views[] = {SpiroDataViewTypeId(), SpiroLoopViewTypeId(), SpiroReportViewTypeId()};
    for (TCAFId id : views)
        EXPECT_EQ(id & 0xFFFF, 1u);
    EXPECT_NE(views[0] >> 16, views[1] >> 16);
    EXPECT_NE(views[1] >> 16, views[2] >> 16);
    EXPECT_EQ(SpiroCSVFormatId(), (SpiroReportViewTypeId() & 0xFFFF0000u) | 2);
}
