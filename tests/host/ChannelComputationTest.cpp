// Computed channels computed as they are read: an array with a producer computes no more than
// its readers reach (a part at a time), gives the same samples as a computation all at once,
// and is computed to the end before anything else uses its calculation, before its settings
// change and when the table drops it while a stream still reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "IEnumFloatEx.h"
#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "host/data/ChannelComputation.h"
#include "host/data/DocumentData.h"
#include "support/FormulaSettings.h"

namespace {

using TestSupport::FormulaSettings;

// Computes sample i as i / 2, eight samples at least at a time; counts its calls.
class HalvesProducer final : public Host::ComputedSamples::Producer {
public:
    HalvesProducer(int& calls, int& destroyed, const Host::ComputedSamples* self = nullptr)
        : mCalls(calls), mDestroyed(destroyed), mSelf(self)
    {
    }
    ~HalvesProducer() override { ++mDestroyed; }

    uint32_t Produce(float* samples, uint32_t ready, uint32_t end) override
    {
        ++mCalls;
        if (mSelf != nullptr) {
            // Reading itself while producing: what is not ready yet is not there.
            float own[2] = {1.0f, 1.0f};
            mSelf->Read(ready, 2, own);
            seenWhileProducing = own[0];
            inPlaceWhileProducing = mSelf->InPlace(ready, 1);
        }
        const uint32_t upTo = std::min<uint32_t>(std::max(end, ready + 8), 20);
        for (uint32_t i = ready; i < upTo; ++i)
            samples[i] = float(i) / 2;
        return upTo;
    }

    float seenWhileProducing = 0.0f;
    const float* inPlaceWhileProducing = reinterpret_cast<const float*>(1);

private:
    int& mCalls;
    int& mDestroyed;
    const Host::ComputedSamples* mSelf;
};

TEST(ChannelComputation, AnArrayComputesWhatItsReadersReachAndNoMore)
{
    int calls = 0, destroyed = 0;
    Host::ComputedSamples samples(20);
    samples.ProduceLazily(std::make_unique<HalvesProducer>(calls, destroyed));
    EXPECT_FALSE(samples.IsComplete());
    float out[4] = {};
    samples.Read(3, 4, out);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{1.5f, 2.0f, 2.5f, 3.0f}));
    EXPECT_EQ(calls, 1);
    float eight[8] = {};
    samples.Read(0, 8, eight);
    EXPECT_EQ(eight[7], 3.5f);
    EXPECT_EQ(calls, 1);  // samples 0 to 7 were ready
    const float* at = samples.InPlace(9, 3);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at[2], 5.5f);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(samples.IsComplete());
    samples.Complete();
    EXPECT_TRUE(samples.IsComplete());
    EXPECT_EQ(samples.InPlace(19, 1)[0], 9.5f);
    // Done: the producer is let go.
    EXPECT_EQ(destroyed, 1);

    // Storage given up lets the producer go without computing the rest.
    int moreCalls = 0, moreDestroyed = 0;
    Host::ComputedSamples given(20);
    given.ProduceLazily(std::make_unique<HalvesProducer>(moreCalls, moreDestroyed));
    given.TakeStorage();
    EXPECT_EQ(moreCalls, 0);
    EXPECT_EQ(moreDestroyed, 1);
}

TEST(ChannelComputation, AnArrayReadByItsOwnProducerHasNothingThereYet)
{
    int calls = 0, destroyed = 0;
    Host::ComputedSamples samples(20);
    auto producer = std::make_unique<HalvesProducer>(calls, destroyed, &samples);
    HalvesProducer& watched = *producer;
    samples.ProduceLazily(std::move(producer));
    float out = 0.0f;
    samples.Read(0, 1, &out);
    EXPECT_EQ(out, 0.0f);
    EXPECT_TRUE(std::isnan(watched.seenWhileProducing));
    EXPECT_EQ(watched.inPlaceWhileProducing, nullptr);
    EXPECT_EQ(calls, 1);
}

constexpr uint32_t kTicks = 50000;  // three parts and a bit

std::shared_ptr<Host::Recording> LongRecording()
{
    auto rec = std::make_shared<Host::Recording>("long.csv", 1000.0,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}});
    Host::RecordBlock block{kTicks, {{}}};
    for (uint32_t t = 0; t < kTicks; ++t)
        block.samples[0].push_back(int16_t(int(t % 2000) - 1000));
    rec->AddRecord(std::move(block));
    return rec;
}

// Two formula channels, the second reading the first: ch2 = ch1 * 2, ch3 = ch2 + 1.
class Chained : public ::testing::Test {
protected:
    Chained() : data(Host::DocumentData::Create(LongRecording()))
    {
        data->Release();
        KVD::COMPtr<ICalculationClass> cls;
        ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(),
                                                     IID_ICalculationClass, cls.Set());
        const wchar_t* formulas[2] = {L"ch1 * 2", L"ch2 + 1"};
        for (int i = 0; i < 2; ++i) {
            const int channel = data->Channels().AddChannel(i == 0 ? "Twice" : "Plus one", "L");
            cls->Create(TChannelId{channel, 0}, data.get(), calculations[i].Set());
            EXPECT_EQ(calculations[i]->Configure(FormulaSettings(formulas[i]), kAutoTrue), KVD_S_OK);
            EXPECT_EQ(data->SetCalculation(TChannelId{channel, 0}, calculations[i]), KVD_S_OK);
        }
    }
    ~Chained() override { data->Close(); }

    float Raw(uint32_t t) const { return float(float(int(t % 2000) - 1000) * 0.001); }
    float Twice(uint32_t t) const { return Raw(t) * 2; }
    float PlusOne(uint32_t t) const { return Twice(t) + 1; }

    std::shared_ptr<const Host::ComputedSamples> Array(int channel)
    {
        return std::dynamic_pointer_cast<const Host::ComputedSamples>(data->Channels().Floats(0, channel, 0));
    }

    KVD::COMPtr<IEnumFloatEx> Stream(int channel)
    {
        KVD::COMPtr<IEnumFloatEx> stream;
        data->GetFloatStream(TChannelId{channel, 0x40001000}, KVDPosition{0, 0}, kRecordEndTick, stream.Set());
        return stream;
    }

    KVD::COMPtr<Host::DocumentData> data;
    KVD::COMPtr<ICalculation> calculations[2];
};

TEST_F(Chained, AChannelReadingAnotherComputesBothAPartAtATimeAndRight)
{
    const KVD::COMPtr<IEnumFloatEx> stream = Stream(2);
    ASSERT_NE(stream, nullptr);
    std::vector<float> first(100);
    uint32_t delivered = 0;
    ASSERT_EQ(stream->Next(100, first.data(), &delivered), KVD_S_OK);
    EXPECT_EQ(first[99], PlusOne(99));
    // Only the first part of either is computed.
    EXPECT_FALSE(Array(2)->IsComplete());
    EXPECT_FALSE(Array(1)->IsComplete());
    std::vector<float> rest(kTicks);
    stream->Next(kTicks, rest.data(), &delivered);
    ASSERT_EQ(delivered, kTicks - 100);
    EXPECT_TRUE(Array(2)->IsComplete());
    for (uint32_t t = 100; t < kTicks; ++t)
        ASSERT_EQ(rest[t - 100], PlusOne(t)) << t;
    std::vector<float> twice(kTicks);
    Array(1)->Read(0, kTicks, twice.data());
    for (uint32_t t = 0; t < kTicks; ++t)
        ASSERT_EQ(twice[t], Twice(t)) << t;
}

TEST_F(Chained, AnotherUseOfTheCalculationFinishesTheRecordFirst)
{
    const KVD::COMPtr<IEnumFloatEx> stream = Stream(1);
    float one = 0.0f;
    uint32_t delivered = 0;
    stream->Next(1, &one, &delivered);
    const std::shared_ptr<const Host::ComputedSamples> open = Array(1);
    ASSERT_FALSE(open->IsComplete());
    // The calculation host asked for samples of its own.
    KVD::COMPtr<ICalcEnumHost> host(KVD::com_cast(calculations[0].get()));
    std::vector<float> direct(kTicks);
    ASSERT_EQ(host->GetSamples(0, 0, kTicks, direct.data(), &delivered), KVD_S_OK);
    EXPECT_TRUE(open->IsComplete());
    std::vector<float> kept(kTicks);
    open->Read(0, kTicks, kept.data());
    EXPECT_EQ(kept, direct);
    EXPECT_EQ(kept[kTicks - 1], Twice(kTicks - 1));
}

TEST_F(Chained, ARecordStillReadIsComputedWithTheSettingsItBeganWith)
{
    const KVD::COMPtr<IEnumFloatEx> stream = Stream(2);
    float one = 0.0f;
    uint32_t delivered = 0;
    stream->Next(1, &one, &delivered);
    ASSERT_FALSE(Array(2)->IsComplete());
    ASSERT_EQ(calculations[1]->Configure(FormulaSettings(L"ch2 - 1"), kAutoFalse), KVD_S_OK);
    std::vector<float> rest(kTicks);
    ASSERT_EQ(stream->Next(kTicks - 1, rest.data(), &delivered), KVD_S_OK);
    for (uint32_t t = 1; t < kTicks; ++t)
        ASSERT_EQ(rest[t - 1], PlusOne(t)) << t;
    // The channel itself is the new formula's.
    std::vector<float> now(kTicks);
    Array(2)->Read(0, kTicks, now.data());
    EXPECT_EQ(now[kTicks - 1], Twice(kTicks - 1) - 1);

    // Dropped by the table while read: computed to the end as it was.
    const KVD::COMPtr<IEnumFloatEx> again = Stream(2);
    again->Next(1, &one, &delivered);
    data->Channels().DropComputed();
    EXPECT_EQ(data->Channels().ComputeFailure(0, 2), "");
    ASSERT_EQ(again->Next(kTicks - 1, rest.data(), &delivered), KVD_S_OK);
    EXPECT_EQ(rest[kTicks - 2], Twice(kTicks - 1) - 1);
}

}  // namespace
