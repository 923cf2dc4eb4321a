// A channel computed by a formula through the host's arithmetic calculation: its samples come
// from the composite enumerator as floats, and a settings change recomputes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "IEnumFloatEx.h"
#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "host/data/DocumentData.h"
#include "support/FormulaSettings.h"

namespace {

using TestSupport::FormulaSettings;

// One channel, "Flow", stored as ticks x 0.001 L/s in records of 40 and 25 ticks.
std::shared_ptr<Host::Recording> FlowRecording()
{
    auto rec = std::make_shared<Host::Recording>("flow.csv", 50.0,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}});
    for (uint32_t ticks : {40u, 25u}) {
        Host::RecordBlock block{ticks, {{}}};
        for (uint32_t t = 0; t < ticks; ++t)
            block.samples[0].push_back(int16_t(t + 100 * rec->RecordCount()));
        rec->AddRecord(std::move(block));
    }
    return rec;
}

std::vector<float> Samples(IRecordData* records, int channel, int record)
{
    KVD::COMPtr<IEnumFloatEx> stream;
    records->GetFloatStream(TChannelId{channel, 0x40001000}, KVDPosition{0, record}, kRecordEndTick, stream.Set());
    std::vector<float> out(100);
    uint32_t delivered = 0;
    if (stream != nullptr)
        stream->Next(100, out.data(), &delivered);
    out.resize(delivered);
    return out;
}

// What the formula makes of the recorded samples, computed in floats as the enumerators do.
template <class F>
std::vector<float> Expected(IRecordData* records, int record, F f)
{
    std::vector<float> out = Samples(records, 0, record);
    for (float& v : out)
        v = f(v);
    return out;
}

TEST(ComputedChannel, FormulaRecomputedAfterItsSettingsChange)
{
    KVD::COMPtr<Host::DocumentData> data(Host::DocumentData::Create(FlowRecording()));
    data->Release();
    int changes = 0;
    data->SetDataChangedHandler([&changes] { ++changes; });
    const int channel = data->Channels().AddChannel("Volume", "L");
    IRecordData* records = data.get();

    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                 cls.Set());
    ASSERT_NE(cls, nullptr);
    KVD::COMPtr<ICalculation> calculation;
    ASSERT_EQ(cls->Create(TChannelId{channel, 0}, data.get(), calculation.Set()), KVD_S_OK);
    ASSERT_EQ(calculation->Configure(FormulaSettings(L"Ch1 * 2 + 0.0005"), kAutoTrue), KVD_S_OK);
    ASSERT_EQ(data->SetCalculation(TChannelId{channel, 0}, calculation), KVD_S_OK);

    // Served as the enumerator's floats: 0.0005 is below the 16-bit step of a stored channel.
    auto twice = [](float v) { return v * 2 + 0.0005f; };
    EXPECT_EQ(Samples(records, channel, 0), Expected(records, 0, twice));
    EXPECT_EQ(Samples(records, channel, 1), Expected(records, 1, twice));
    EXPECT_EQ(Samples(records, channel, 1).size(), 25u);

    // The same settings change nothing; new ones recompute the channel and tell the document.
    const int before = changes;
    EXPECT_EQ(calculation->Configure(FormulaSettings(L"Ch1 * 2 + 0.0005"), kAutoFalse), KVD_S_FALSE);
    EXPECT_EQ(changes, before);
    ASSERT_EQ(calculation->Configure(FormulaSettings(L"ch1 - 1"), kAutoFalse), KVD_S_OK);
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(Samples(records, channel, 0), Expected(records, 0, [](float v) { return v - 1; }));
    KVD::String text;
    KVD::COMPtr<IChannelCalc>(KVD::com_cast(calculation.get()))->GetInfoString(0, KVD::String::Setter(text));
    EXPECT_EQ(text, L"ch1 - 1");

    // A formula that does not compile leaves the channel as it was.
    EXPECT_NE(calculation->Configure(FormulaSettings(L"ch1 * ("), kAutoFalse), KVD_S_OK);
    EXPECT_EQ(Samples(records, channel, 0), Expected(records, 0, [](float v) { return v - 1; }));

    // A formula that reads its own output gets nothing there: NaN, not an endless recursion.
    const int loop = data->Channels().AddChannel("Loop", "L");
    KVD::COMPtr<ICalculation> selfReading;
    cls->Create(TChannelId{loop, 0}, data.get(), selfReading.Set());
    ASSERT_EQ(selfReading->Configure(FormulaSettings(L"ch3 + 1"), kAutoTrue), KVD_S_OK);
    data->SetCalculation(TChannelId{loop, 0}, selfReading);
    const std::vector<float> looped = Samples(records, loop, 1);
    ASSERT_EQ(looped.size(), 25u);
    EXPECT_TRUE(std::all_of(looped.begin(), looped.end(), [](float v) { return v != v; }));
    data->Close();
}

std::vector<float> Held(const Host::FloatSamples& samples)
{
    std::vector<float> out(samples.Size());
    samples.Read(0, samples.Size(), out.data());
    return out;
}

// Recomputing reuses the storage of arrays nothing else reads, never that of one still read.
TEST(ComputedChannel, ArraysStillReadKeepTheirSamplesWhenRecomputed)
{
    KVD::COMPtr<Host::DocumentData> data(Host::DocumentData::Create(FlowRecording()));
    data->Release();
    Host::ChannelTable& channels = data->Channels();
    const int channel = channels.AddChannel("Volume", "L");
    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                 cls.Set());
    KVD::COMPtr<ICalculation> calculation;
    ASSERT_EQ(cls->Create(TChannelId{channel, 0}, data.get(), calculation.Set()), KVD_S_OK);
    ASSERT_EQ(calculation->Configure(FormulaSettings(L"ch1 * 2"), kAutoTrue), KVD_S_OK);
    ASSERT_EQ(data->SetCalculation(TChannelId{channel, 0}, calculation), KVD_S_OK);
    IRecordData* records = data.get();
    const auto twice = Expected(records, 0, [](float v) { return v * 2; });

    // Record 0 is held while the formula changes twice; record 1 is not.
    const std::shared_ptr<const Host::FloatSamples> held = channels.Floats(0, channel, 0);
    EXPECT_EQ(Held(*held), twice);
    channels.Floats(1, channel, 0);
    for (const wchar_t* formula : {L"ch1 + 1", L"ch1 - 3"}) {
        ASSERT_EQ(calculation->Configure(FormulaSettings(formula), kAutoFalse), KVD_S_OK);
        channels.Floats(0, channel, 0);
        channels.Floats(1, channel, 0);
    }
    EXPECT_EQ(Held(*held), twice);
    const auto minus3 = [](float v) { return v - 3; };
    EXPECT_EQ(Held(*channels.Floats(0, channel, 0)), Expected(records, 0, minus3));
    EXPECT_EQ(Held(*channels.Floats(1, channel, 0)), Expected(records, 1, minus3));

    // Dropped without being read again, then recomputed from its spare storage: every sample
    // is the new formula's, and a channel whose calculation goes serves nothing computed.
    channels.DropComputed();
    ASSERT_EQ(calculation->Configure(FormulaSettings(L"ch1 * 4"), kAutoFalse), KVD_S_OK);
    EXPECT_EQ(Held(*channels.Floats(1, channel, 0)), Expected(records, 1, [](float v) { return v * 4; }));
    data->SetCalculation(TChannelId{channel, 0}, nullptr);
    EXPECT_EQ(channels.Floats(1, channel, 0), nullptr);
    data->Close();
}

// The calculation answers its own faces and its calculation host's with one identity, and a
// reference through any of them keeps the whole object alive.
TEST(ComputedChannel, CalculationFacesShareOneIdentity)
{
    KVD::COMPtr<Host::DocumentData> data(Host::DocumentData::Create(FlowRecording()));
    data->Release();
    const int channel = data->Channels().AddChannel("Volume", "L");
    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                 cls.Set());
    ASSERT_NE(cls, nullptr);
    KVD::COMPtr<ICalculation> calculation;
    ASSERT_EQ(cls->Create(TChannelId{channel, 0}, data.get(), calculation.Set()), KVD_S_OK);
    ASSERT_NE(calculation, nullptr);

    KVD::COMPtr<IChannelCalc> own(KVD::com_cast(calculation.get()));
    KVD::COMPtr<IOffLineData> offLine(KVD::com_cast(calculation.get()));
    const KVD::COMPtr<ICalcEnumHost> host(KVD::com_cast(own.get()));
    ASSERT_NE(own, nullptr);
    ASSERT_NE(offLine, nullptr);
    ASSERT_NE(host, nullptr);
    KVD::COMPtr<IUnknown> identity(KVD::com_cast(calculation.get()));
    EXPECT_EQ(KVD::COMPtr<IUnknown>(KVD::com_cast(own.get())).get(), identity.get());
    EXPECT_EQ(KVD::COMPtr<IUnknown>(KVD::com_cast(offLine.get())).get(), identity.get());
    EXPECT_EQ(KVD::COMPtr<IUnknown>(KVD::com_cast(host.get())).get(), identity.get());
    EXPECT_EQ(static_cast<void*>(identity.get()), static_cast<void*>(own.get()));
    void* none = &none;
    EXPECT_EQ(own->QueryInterface(IID_IRecordData, &none), KVD_E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // Only the host's face left: the calculation still answers through it.
    calculation.Clear();
    own.Clear();
    offLine.Clear();
    identity.Clear();
    offLine = KVD::com_cast(host.get());
    ASSERT_NE(offLine, nullptr);
    TChannelId answered{};
    EXPECT_EQ(offLine->GetChannel(&answered), KVD_S_OK);
    EXPECT_EQ(answered.channel, channel);
}

}  // namespace
