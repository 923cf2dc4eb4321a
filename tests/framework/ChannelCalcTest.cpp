// The channel-calculation base: its 16-bit scaling, its aggregated calculation host, the
// enumerator it installs, and auto-scaling over a range by running a temporary calculation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CalcDoubles.h"
#include "TableDoubles.h"
#include "foundation/ClassObjectAccessor.h"
#include "host/document/HostDocument.h"

using namespace FrameworkTest;

namespace {

constexpr TChannelId kChannel1{1, 0x40001000};
constexpr TChannelId kComputed{5, 0};

class ChannelCalc : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICalcEnumClass2*>(&TheGainEnumClass()));
        data = new RecordedData;
        data->AddRef();
        data->AddRecord({{1, {1, -4, 2, 8, -1, 3}}});
        data->AddRecord({{1, {5, 6, -7, 0}}});
        host = Host::HostDocument::Create(L"Recording");
        host->SetData(static_cast<IOrrelData2*>(data));
        host->SetRecordData(static_cast<IRecordData*>(data));
    }
    void TearDown() override
    {
        ObjectFactoryAccessor::Get()->RevokeClassObject(GainEnumClass::TypeId());
        host->Close();
        host->Release();
        data->Release();
        EXPECT_EQ(GainCalc::sLive, 0);
        EXPECT_EQ(GainEnum::sLive, 0);
    }

    // A calculation as a calculation class makes it: one reference, the maker's.
    GainCalc* MakeCalc() { return new GainCalc(&calcClass, static_cast<IOrrelSetCalcData*>(data), kComputed); }

    ICalcEnumHost* HostOf(GainCalc* calc) { return calc->GetCalcEnumHost(); }

    RecordedData* data = nullptr;
    Host::HostDocument* host = nullptr;
    GainCalcClass calcClass;
};

TEST(MakeUnits, SixtyFourThousandStepsOverTheRange)
{
    GainCalc calc(nullptr, nullptr, kComputed);
    DataScaling scaling{};
    calc.MakeUnits(10, -10, 3, &scaling, false);
    EXPECT_NEAR(calc.GetStep(), 0.0003125, 1e-10);
    EXPECT_NEAR(scaling.scale, 3200.0, 1e-3);
    EXPECT_EQ(scaling.offset, 0.0);
    EXPECT_EQ(calc.GetUnitIndex(), 3);
    EXPECT_NEAR((-10 + scaling.offset) * scaling.scale, -32000.0, 0.01);
    EXPECT_NEAR((10 + scaling.offset) * scaling.scale, 32000.0, 0.01);

    // Offset: lo maps to -32000 and the middle to 0.
    calc.MakeUnits(7, 1, 2, &scaling, false);
    EXPECT_NEAR((1 + scaling.offset) * scaling.scale, -32000.0, 0.01);
    EXPECT_NEAR((4 + scaling.offset) * scaling.scale, 0.0, 0.01);
    EXPECT_NEAR(scaling.offset, -4.0, 1e-6);
    EXPECT_NEAR(calc.GetOffset(), 4.0 / calc.GetStep(), 0.01);

    // Symmetric: the bottom is -top whatever is passed.
    DataScaling symmetric{};
    calc.MakeUnits(5, 123, 2, &symmetric, true);
    DataScaling plain{};
    calc.MakeUnits(5, -5, 2, &plain, false);
    EXPECT_EQ(symmetric.scale, plain.scale);
    EXPECT_EQ(symmetric.offset, plain.offset);
    calc.mRangeLow = 0;
    calc.MakeUnits(5, -5, 2, &plain, false);
    EXPECT_EQ(calc.mRangeLow, std::numeric_limits<float>::infinity());
    EXPECT_EQ(calc.mRangeHigh, -std::numeric_limits<float>::infinity());
}

TEST(MakeUnits, HugeInfiniteAndEmptyRanges)
{
    GainCalc calc(nullptr, nullptr, kComputed);
    DataScaling scaling{};
    calc.MakeUnits(2e30f, 0, 2, &scaling, false);
    EXPECT_NEAR(calc.GetStep(), static_cast<double>(1e24f / 64000.0f), 1e12);
    EXPECT_TRUE(std::isfinite(scaling.scale));

    calc.MakeUnits(std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), 2, &scaling, false);
    EXPECT_TRUE(std::isfinite(calc.GetStep()));
    EXPECT_TRUE(std::isfinite(scaling.scale));

    calc.MakeUnits(std::nanf(""), 0, 2, &scaling, false);
    EXPECT_TRUE(std::isfinite(scaling.scale));

    // An empty range is stored with scale 1: the value itself at 0.
    calc.MakeUnits(3, 3, 2, &scaling, false);
    EXPECT_EQ(scaling.scale, 1.0);
    EXPECT_EQ(scaling.offset, -3.0);
    EXPECT_EQ(calc.GetStep(), 1.0);
}

TEST_F(ChannelCalc, AggregatesTheHostsCalculationHost)
{
    GainCalc* calc = MakeCalc();
    ASSERT_NE(HostOf(calc), nullptr);
    EXPECT_EQ(calc->mData, static_cast<IOrrelData2*>(data));
    EXPECT_EQ(calc->mRecordData.get(), static_cast<IRecordData*>(data));
    void* out = nullptr;
    EXPECT_EQ(calc->QueryInterface(IID_IChannelCalc, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IChannelCalc*>(calc));
    calc->Release();
    // The host's interfaces come from the inner object but count on the calculation.
    EXPECT_EQ(calc->QueryInterface(IID_ICalcEnumHost, &out), KVD_S_OK);
    EXPECT_EQ(out, HostOf(calc));
    static_cast<ICalcEnumHost*>(out)->Release();
    EXPECT_EQ(calc->QueryInterface(IID_ICalculation, &out), KVD_S_OK);
    TChannelId channel{};
    static_cast<ICalculation*>(out)->GetChannel(&channel);
    static_cast<ICalculation*>(out)->Release();
    // Neither answers this one.
    out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(calc->QueryInterface(IID_IDocument, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    IAutoKVDString* info = reinterpret_cast<IAutoKVDString*>(0x1);
    EXPECT_EQ(calc->GetInfoString(0, &info), KVD_E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(calc->Deconfigure(0), KVD_S_OK);
    EXPECT_EQ(GainCalc::sLive, 1);
    calc->Release();
}

TEST_F(ChannelCalc, InstallsItsEnumeratorAndTheHostPullsThroughIt)
{
    GainCalc* calc = MakeCalc();
    EXPECT_EQ(calc->SetCalcEnums(0x7FFF0001), KVD_E_BADSTATE);
    EXPECT_EQ(calc->GetCalcEnumClass(), 0x7FFF0001u);
    EXPECT_EQ(calc->Configure(nullptr, kAutoTrue), KVD_S_OK);
    EXPECT_EQ(calc->GetCalcEnumClass(), GainEnumClass::TypeId());
    EXPECT_EQ(TheGainEnumClass().mLastData, static_cast<IOrrelData2*>(data));
    KVD::COMPtr<ICalcEnum> installed;
    EXPECT_EQ(HostOf(calc)->GetCalcEnum(installed.Set()), KVD_S_OK);
    ASSERT_NE(installed, nullptr);
    TChannelId channel{};
    HostOf(calc)->GetChannel(&channel);
    EXPECT_EQ(channel.channel, kComputed.channel);

    // The host hands the enumerator its settings and sources and pulls the channel's samples.
    const CalcEnums::CCalcEnumSourceInfo source{kChannel1, kEnumDataSamples};
    HostOf(calc)->SetSources(1, &source, 0);
    HostOf(calc)->SetSettingsText(KVD::String(L"2").AsIAutoKVDString(), nullptr);
    float samples[4] = {};
    uint32_t delivered = 0;
    EXPECT_EQ(HostOf(calc)->GetSamples(0, 2, 3, samples, &delivered), KVD_S_OK);
    EXPECT_EQ(delivered, 3u);
    EXPECT_EQ(std::vector<float>(samples, samples + 3), (std::vector<float>{4, 16, -2}));
    EXPECT_EQ(HostOf(calc)->GetSamples(1, 2, 4, samples, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(samples[1], 0.0f);
    installed.Clear();
    calc->Release();
}

TEST_F(ChannelCalc, AutoScalesOverARange)
{
    const CalcEnums::CCalcEnumSourceInfo source{kChannel1, kEnumDataSamples};
    float top = 0, bottom = 0;
    // Ticks 1..4 of record 0 (-4, 2, 8) at gain 3.
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, GainEnumClass::TypeId(), nullptr, L"3", host,
                                            kComputed, KVDPosition{1, 0}, KVDPosition{4, 0}, &top, &bottom, false),
              KVD_S_OK);
    EXPECT_EQ(top, 24.0f);
    EXPECT_EQ(bottom, -12.0f);
    // Across records: from tick 4 of record 0 to tick 3 of record 1.
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, GainEnumClass::TypeId(), nullptr, L"1", host,
                                            kComputed, KVDPosition{4, 0}, KVDPosition{3, 1}, &top, &bottom, false),
              KVD_S_OK);
    EXPECT_EQ(top, 6.0f);
    EXPECT_EQ(bottom, -7.0f);
    // The flag takes 0 into the range.
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, GainEnumClass::TypeId(), nullptr, L"1", host,
                                            kComputed, KVDPosition{0, 1}, KVDPosition{2, 1}, &top, &bottom, true),
              KVD_S_OK);
    EXPECT_EQ(top, 6.0f);
    EXPECT_EQ(bottom, 0.0f);
    // No enumerator class of that id.
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, 0x7FFF0001, nullptr, L"1", host, kComputed,
                                            KVDPosition{0, 0}, KVDPosition{2, 0}, &top, &bottom, false),
              KVD_E_BADSTATE);
}

TEST_F(ChannelCalc, AutoScalesOverWhatAViewShows)
{
    const CalcEnums::CCalcEnumSourceInfo source{kChannel1, kEnumDataSamples};
    float top = 0, bottom = 0;
    // Without a view: all of record 0.
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, GainEnumClass::TypeId(), nullptr, L"-1", host,
                                            nullptr, kComputed, &top, &bottom, false, false),
              KVD_S_OK);
    EXPECT_EQ(top, 4.0f);
    EXPECT_EQ(bottom, -8.0f);
    // With a view: the range it shows, here the start of record 1.
    ShownRange view(KVDPosition{0, 1}, KVDPosition{2, 1});
    EXPECT_EQ(ChannelCalcBase::sDoAutoScale(1, &source, &calcClass, GainEnumClass::TypeId(), nullptr, L"2", host,
                                            &view, kComputed, &top, &bottom, false, false),
              KVD_S_OK);
    EXPECT_EQ(top, 12.0f);
    EXPECT_EQ(bottom, 10.0f);
}

}  // namespace
