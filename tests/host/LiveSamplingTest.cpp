// Live sampling of the host stand-in: the simulated device on the run loop's virtual clock, the
// order in which sinks hear it, refusals, and the monitoring record that keeps what it sampled.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "appkit/RunLoop.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "host/data/Adopt.h"
#include "host/data/DocumentData.h"
#include "IRecordDataPixMap.h"
#include "host/sampling/MonitoringRecord.h"
#include "host/sampling/SimulatedDeviceManager.h"

namespace {

using Host::Adopt;
using KVD::COMPtr;

// Writes down every call it hears, as "name block[ ticks]".
class CallLog final : public KVD::detail::CountedUnknown<IOrrelDataSink> {
public:
    HRESULT PrepareForSampling(uint32_t block) override { return Log("prepare", block); }
    HRESULT OnRecordStart(uint32_t block, AutoBool) override { return Log("start", block); }
    HRESULT AppendSamples(uint32_t, uint32_t channels, uint32_t ticks, const float* samples) override
    {
        appended += ticks;
        lastChannels = channels;
        values.insert(values.end(), samples, samples + ticks);  // channel 0
        return KVD_S_OK;
    }
    HRESULT Update(uint32_t block) override { return Log("update", block); }
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType*) override { return Log("end", block); }
    HRESULT CleanUpAfterSampling(AutoBool) override { return Log("cleanup", 0); }

    // The log with runs of updates folded into one "update" entry.
    std::vector<std::string> Folded() const
    {
        std::vector<std::string> folded;
        for (const auto& call : calls)
            if (folded.empty() || folded.back() != call || call.rfind("update", 0) != 0)
                folded.push_back(call);
        return folded;
    }

    std::vector<std::string> calls;
    std::vector<float> values;
    uint64_t appended = 0;
    uint32_t lastChannels = 0;

private:
    HRESULT Log(const char* name, uint32_t block)
    {
        calls.push_back(std::string(name) + " " + std::to_string(block));
        return KVD_S_OK;
    }
};

Host::SyntheticOptions Options()
{
    Host::SyntheticOptions options;
    options.rate = 1000;
    return options;
}

class LiveSampling : public ::testing::Test {
protected:
    void SetUp() override { AppKit::RunLoop::Main().UseVirtualClock(true); }
    void TearDown() override { AppKit::RunLoop::Main().UseVirtualClock(false); }

    std::shared_ptr<Host::BreathingSource> source = std::make_shared<Host::BreathingSource>(Options(), 2);
    COMPtr<Host::SimulatedDeviceManager> manager = Adopt(Host::SimulatedDeviceManager::Create(source));
    COMPtr<CallLog> log{new CallLog};
};

TEST_F(LiveSampling, SinksHearPrepareStartUpdatesEndAndCleanUpInOrder)
{
    manager->AddSink(0, log.get());
    ASSERT_EQ(manager->Start(0.0, 0, nullptr), KVD_S_OK);
    // A little past the 20th hand-over of 50 ms: the clock's sum of steps need not hit 1.0.
    AppKit::RunLoop::Main().Advance(1.01);
    EXPECT_EQ(log->appended, 1000u);
    EXPECT_EQ(log->lastChannels, 2u);
    manager->Stop(0);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(log->Folded(), (std::vector<std::string>{"prepare 0", "start 0", "update 0", "end 0", "cleanup 0"}));
    // 20 hand-overs, and the 10 ms due at the stop.
    EXPECT_EQ(log->appended, 1010u);
    EXPECT_EQ(log->calls.size(), 2u + 21u + 2u);

    // The next run is the next block.
    log->calls.clear();
    manager->Start(0.0, 0, nullptr);
    AppKit::RunLoop::Main().Advance(0.1);
    manager->Stop(0);
    EXPECT_EQ(log->Folded(), (std::vector<std::string>{"prepare 1", "start 1", "update 1", "end 1", "cleanup 0"}));
}

TEST_F(LiveSampling, SamplesFollowTheBreathingModelOnTheClock)
{
    manager->AddSink(0, log.get());
    manager->Start(0.0, 0, nullptr);
    AppKit::RunLoop::Main().Advance(0.525);
    // 0.5 s handed over by the timer; Stop takes the 25 ms due since.
    EXPECT_EQ(log->appended, 500u);
    manager->Stop(0);
    ASSERT_EQ(log->values.size(), 525u);
    Host::SyntheticBreathing breathing(Options());
    for (size_t tick : {0u, 137u, 524u})
        EXPECT_FLOAT_EQ(log->values[tick], float(breathing.Flow(tick / 1000.0) / Options().headScale)) << tick;
}

TEST_F(LiveSampling, ARefusedStartSaysWhyAndCallsNoSink)
{
    manager->AddSink(0, log.get());
    manager->RefuseStart(KVD_E_SAMPLING_REFUSED, L"The flow head is not connected");
    AutoBool answer = kAutoTrue;
    IAutoKVDString* reason = nullptr;
    EXPECT_EQ(manager->CanStart(0, &answer, &reason), KVD_E_SAMPLING_REFUSED);
    EXPECT_EQ(answer, kAutoFalse);
    KVD::String text;
    text.MakeValidStringRepAndRelease(reason);
    EXPECT_EQ(text, KVD::String(L"The flow head is not connected"));

    IAutoKVDString* again = nullptr;
    EXPECT_EQ(manager->Start(0.0, 0, &again), KVD_E_SAMPLING_REFUSED);
    KVD::String told;
    told.MakeValidStringRepAndRelease(again);
    EXPECT_EQ(told, text);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), 0u);
    EXPECT_TRUE(log->calls.empty());

    manager->RefuseStart(KVD_S_OK, L"");
    AutoBool yes = kAutoFalse;
    EXPECT_EQ(manager->CanStart(0, &yes, nullptr), KVD_S_OK);
    EXPECT_EQ(yes, kAutoTrue);
}

TEST_F(LiveSampling, AManagerGoneMidSampleLeavesNoTimerAndEndsTheRecord)
{
    manager->AddSink(0, log.get());
    manager->Start(0.0, 0, nullptr);
    AppKit::RunLoop::Main().Advance(0.2);
    manager = nullptr;
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), 0u);
    EXPECT_EQ(log->calls.back(), "cleanup 0");
}

TEST_F(LiveSampling, TheDocumentMakesMonitoringRecordsThatKeepAndRelayWhatIsSampled)
{
    Host::Recording recording("doc.csv", 1000, {{"Flow head", "V", 0.000125, 0}, {"Other", "V", 0.001, 0}});
    COMPtr<Host::DocumentData> document = Adopt(Host::DocumentData::Create(
        std::make_shared<Host::Recording>(std::move(recording))));
    COMPtr<IRecordDataServices> services;
    ASSERT_EQ(document->QueryInterface(IID_IRecordDataServices, reinterpret_cast<void**>(&services)), KVD_S_OK);
    IRecordData* created = nullptr;
    ASSERT_EQ(services->CreateRecord(0, &created), KVD_S_OK);
    COMPtr<IRecordData> monitor = Adopt(created);
    COMPtr<IOrrelDataSink> sink;
    ASSERT_EQ(monitor->QueryInterface(IID_IOrrelDataSink, reinterpret_cast<void**>(&sink)), KVD_S_OK);
    COMPtr<IRecordDataServices> monitorServices;
    ASSERT_EQ(monitor->QueryInterface(IID_IRecordDataServices, reinterpret_cast<void**>(&monitorServices)), KVD_S_OK);
    monitorServices->AddViewSink(log.get());
    manager->AddSink(0, sink.get());

    int records = -1;
    monitor->GetRecordCount(&records);
    EXPECT_EQ(records, 0);
    for (int run = 0; run < 2; ++run) {
        manager->Start(0.0, 0, nullptr);
        AppKit::RunLoop::Main().Advance(2.0);
        manager->Stop(0);
    }
    monitor->GetRecordCount(&records);
    ASSERT_EQ(records, 2);
    uint32_t ticks = 0;
    monitor->GetRecordTicks(1, &ticks);
    EXPECT_EQ(ticks, 2000u);
    // The record keeps the device's values in its channels' 16-bit steps.
    float value = 0;
    ASSERT_EQ(monitor->GetSample(TChannelId{0, 0xC0001000}, KVDPosition{1234, 1}, &value), KVD_S_OK);
    EXPECT_NEAR(value, source->Value(0, 1234), 0.000125 / 2 + 1e-6);
    // The views hear the record's own block numbers.
    EXPECT_EQ(log->Folded(), (std::vector<std::string>{"prepare 0", "start 0", "update 0", "end 0", "cleanup 0",
                                                       "prepare 1", "start 1", "update 1", "end 1", "cleanup 0"}));
    monitorServices->RemoveViewSink(log.get());
    manager->RemoveSink(0, sink.get());
    EXPECT_EQ(manager->SinkCount(), 0u);
}

TEST(ReplaySource, PlaysTheFirstRecordAgainFromItsStart)
{
    Host::Recording recording("r.csv", 100, {{"Flow", "L/s", 0.01, 0}});
    recording.AddRecord({3, {{10, -20, 30}}});
    Host::ReplaySource replay(std::make_shared<Host::Recording>(std::move(recording)));
    EXPECT_EQ(replay.TickRate(), 100);
    const std::vector<float> expected{0.1f, -0.2f, 0.3f, 0.1f, -0.2f};
    for (size_t tick = 0; tick < expected.size(); ++tick)
        EXPECT_FLOAT_EQ(replay.Value(0, tick), expected[tick]) << tick;

    Host::Recording empty("e.csv", 100, {{"Flow", "L/s", 0.01, 0}});
    EXPECT_THROW(Host::ReplaySource(std::make_shared<Host::Recording>(std::move(empty))), Host::RecordingError);
}

}  // namespace

namespace {

TEST_F(LiveSampling, APixelMapFollowsARecordAsItGrows)
{
    COMPtr<Host::MonitoringRecord> monitor =
        Adopt(Host::MonitoringRecord::Create(1000, {{"Flow head", "V", 0.000125, 0}}));
    IRecordDataPixMap* made = nullptr;
    ASSERT_EQ(monitor->CreatePixMap(0, &made), KVD_S_OK);
    COMPtr<IRecordDataPixMap> map = Adopt(made);
    int64_t pixels = -1;
    map->GetTotalPixels(&pixels);
    EXPECT_EQ(pixels, 0);
    manager->AddSink(0, monitor.get());
    manager->Start(0.0, 0, nullptr);
    AppKit::RunLoop::Main().Advance(1.01);
    map->GetTotalPixels(&pixels);
    EXPECT_EQ(pixels, 100);  // 1000 ticks at 10 ticks per pixel
    manager->Stop(0);
    map->GetTotalPixels(&pixels);
    EXPECT_EQ(pixels, 101);  // and the 10 ticks due at the stop
}

}  // namespace

namespace {

// Eight channels at 4 MHz: one 50 ms hand-over is due as much as hours at a breathing rate after
// a stall of the clock. Channel c at tick t reads c × 10^6 + t mod 10^5, exact in a float.
class FastSource final : public Host::SampleSource {
public:
    double TickRate() const override { return 4e6; }
    size_t ChannelCount() const override { return 8; }
    float Value(size_t channel, uint64_t tick) const override { return float(channel * 1000000 + tick % 100000); }
};

// Keeps the size of each hand-over and whether every channel's samples continue the last ones.
class StepLog final : public KVD::detail::CountedUnknown<IOrrelDataSink> {
public:
    HRESULT PrepareForSampling(uint32_t) override { return KVD_S_OK; }
    HRESULT OnRecordStart(uint32_t, AutoBool) override { return KVD_S_OK; }
    HRESULT AppendSamples(uint32_t, uint32_t channels, uint32_t ticks, const float* samples) override
    {
        steps.push_back(ticks);
        for (uint32_t c = 0; c < channels; ++c)
            for (uint32_t t = 0; t < ticks; ++t)
                continuous = continuous &&
                             samples[c * ticks + t] == float(c * 1000000 + (total + t) % 100000);
        total += ticks;
        return KVD_S_OK;
    }
    HRESULT Update(uint32_t) override
    {
        ++updates;
        return KVD_S_OK;
    }
    HRESULT OnRecordEnd(uint32_t, BlockUpdateType*) override { return KVD_S_OK; }
    HRESULT CleanUpAfterSampling(AutoBool) override { return KVD_S_OK; }

    std::vector<uint32_t> steps;
    uint64_t total = 0;
    int updates = 0;
    bool continuous = true;
};

TEST(LiveSamplingCatchUp, MoreTicksThanTheBufferHoldsArriveInBoundedStepsEachFollowedByAnUpdate)
{
    auto& loop = AppKit::RunLoop::Main();
    loop.UseVirtualClock(true);
    {
        COMPtr<Host::SimulatedDeviceManager> fast =
            Adopt(Host::SimulatedDeviceManager::Create(std::make_shared<FastSource>()));
        COMPtr<StepLog> steps{new StepLog};
        fast->AddSink(0, steps.get());
        fast->Start(0.0, 0, nullptr);
        loop.Advance(0.05);
        // 200000 ticks (less one where the clock's sum falls short) of 8 channels, at most 2^18
        // samples a step: six steps of 32768 ticks and the rest.
        EXPECT_GE(steps->total, 199999u);
        EXPECT_LE(steps->total, 200000u);
        ASSERT_EQ(steps->steps.size(), 7u);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(steps->steps[i], 32768u);
        EXPECT_EQ(steps->steps[6], uint32_t(steps->total - 6 * 32768));
        EXPECT_EQ(steps->updates, 7);
        EXPECT_TRUE(steps->continuous);
        fast->Stop(0);
    }
    loop.UseVirtualClock(false);
}

}  // namespace
