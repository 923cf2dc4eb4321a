// The event framework driven by a small detector: upward crossings of a level.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CrossingDetector.h"
#include "calc/CalcEnumAgg.h"
#include "calc/EEH3Enumerator.h"
#include "foundation/KVDString.h"
#include "support/FakeStreams.h"

namespace {

using namespace EEH3;
using CalcTest::Crossings;
using CalcTest::CrossingEvent;
using CalcTest::FloatStream;

using Detector = EEH3Enumerator<Crossings, 8>;

constexpr int32_t kPeriod = 1237;
constexpr int32_t kSamples = 250000;  // two checkpoints, many source blocks

// Square wave around 0 whose rising edges are at multiples of kPeriod, with values that tell
// the edges apart.
std::vector<float> Signal()
{
    std::vector<float> samples(kSamples);
    for (int32_t i = 0; i < kSamples; ++i)
        samples[i] = (i % kPeriod < kPeriod / 2 ? 1.0f : -1.0f) * static_cast<float>(1 + i % 7);
    return samples;
}

struct Wired {
    Wired()
    {
        source = FloatStream::Make(Signal());
        BlockUpdateType update = 0;
        detector->SetSettings(KVD::String(L"(ch1,0.5)\t-1\t0.5").AsIAutoKVDString(), &update);
        IUnknown* sources[] = {source};
        detector->SetSources(0, 1, sources, nullptr, 0.001, 0);
        detector->SetInitialPosition(0);
    }
    ~Wired()
    {
        detector->ReleaseSources();
        detector->Release();
        source->Release();
    }
    // Reads every event from the position on, `room` bytes at a time, up to endTick.
    std::vector<CrossingEvent> ReadAll(uint32_t room, int32_t endTick = kNoTick)
    {
        std::vector<uint8_t> buffer(room);
        std::vector<CrossingEvent> events;
        for (;;) {
            uint32_t count = 0;
            int32_t position = 0;
            const HRESULT hr = detector->Next(room, endTick, buffer.data(), &count, &position);
            for (uint32_t i = 0; i < count; ++i) {
                CrossingEvent event;
                std::memcpy(&event, buffer.data() + i * sizeof event, sizeof event);
                events.push_back(event);
            }
            if (hr != KVD_S_OK || position >= endTick)
                return events;
        }
    }

    FloatStream* source;
    Detector* detector = new Detector(nullptr, nullptr);
};

std::vector<int32_t> Ticks(const std::vector<CrossingEvent>& events)
{
    std::vector<int32_t> ticks;
    for (const CrossingEvent& event : events)
        ticks.push_back(event.header.tick);
    return ticks;
}

TEST(EEH3Enumerator, DeliversFixedSizeRecordsWithTheirHeaderAcrossBlocksAndCheckpoints)
{
    Wired wired;
    int32_t size = 0;
    wired.detector->GetSizeofEvents(&size);
    EXPECT_EQ(size, 24);
    // Room for five events and a little more: records are never cut.
    const std::vector<CrossingEvent> events = wired.ReadAll(5 * 24 + 7);
    ASSERT_EQ(events.size(), static_cast<size_t>((kSamples - 1) / kPeriod));
    for (size_t k = 0; k < events.size(); ++k) {
        const int32_t tick = static_cast<int32_t>(k + 1) * kPeriod;
        EXPECT_EQ(events[k].header.tick, tick);
        EXPECT_EQ(events[k].header.fraction, 0.0f);
        EXPECT_EQ(events[k].header.value, 1 + tick % 7);
        EXPECT_EQ(events[k].ordinal, static_cast<int32_t>(k + 1));
    }
    int32_t position = 0;
    wired.detector->GetPosition(&position);
    EXPECT_EQ(position, kNoTick);
}

TEST(EEH3Enumerator, ARestartFromACheckpointGivesTheStraightRunsEvents)
{
    Wired straight;
    const std::vector<CrossingEvent> all = straight.ReadAll(64 * 24);
    std::vector<CrossingEvent> tail;
    for (const CrossingEvent& event : all)
        if (event.header.tick >= 210000)
            tail.push_back(event);

    // Positioned past the second checkpoint, the search resumes there: far fewer samples are
    // read than from the start, and the records (ordinals included) are the same.
    const uint64_t before = straight.source->Log().samplesRead;
    straight.detector->SetInitialPosition(210000);
    const std::vector<CrossingEvent> resumed = straight.ReadAll(3 * 24);
    EXPECT_LT(straight.source->Log().samplesRead - before, 60000u);
    ASSERT_EQ(resumed.size(), tail.size());
    EXPECT_EQ(std::memcmp(resumed.data(), tail.data(), tail.size() * sizeof(CrossingEvent)), 0);

    // Find keeps the event it found for the next Next; a search inside the first chunk
    // starts again from a fresh state.
    EXPECT_EQ(straight.detector->Find(0, 50000, 0, kSamples), KVD_S_OK);
    int32_t position = 0;
    straight.detector->GetPosition(&position);
    const int32_t first = (50000 / kPeriod + 1) * kPeriod;
    EXPECT_EQ(position, first);
    const std::vector<CrossingEvent> found = straight.ReadAll(24, first + 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(std::memcmp(&found[0], &all[first / kPeriod - 1], sizeof(CrossingEvent)), 0);
}

TEST(EEH3Enumerator, RefusesABufferSmallerThanOneEventAndStopsAtTheEndTick)
{
    Wired wired;
    std::vector<uint8_t> buffer(23, 0xAB);
    uint32_t count = 7;
    int32_t position = 0;
    EXPECT_EQ(wired.detector->Next(23, kNoTick, buffer.data(), &count, &position), KVD_E_BADSTATE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(23, 0xAB));

    // An end tick at the position delivers nothing and is no failure.
    buffer.assign(24, 0xAB);
    EXPECT_EQ(wired.detector->Next(24, 0, buffer.data(), &count, &position), KVD_S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(24, 0xAB));
    // Up to an end tick just after the second edge: two events, the position at the end tick.
    EXPECT_EQ(Ticks(wired.ReadAll(10 * 24, 2 * kPeriod + 1)), (std::vector<int32_t>{kPeriod, 2 * kPeriod}));
    wired.detector->GetPosition(&position);
    EXPECT_EQ(position, 2 * kPeriod + 1);
}

TEST(EEH3Enumerator, SettingsCopiesAndAggregation)
{
    Wired wired;
    IAutoKVDString* text = nullptr;
    wired.detector->GetSettings(&text);
    EXPECT_EQ(KVD::String(text), L"0.5");
    text->Release();
    EXPECT_EQ(wired.detector->GetParams().mSettingsIndex, -1);

    // A copy keeps the settings but needs its sources.
    IEnumEventEx* copy = nullptr;
    wired.detector->Clone(&copy);
    ICalcEnum* calc = nullptr;
    copy->QueryInterface(IID_ICalcEnum, reinterpret_cast<void**>(&calc));
    IUnknown* sources[] = {wired.source};
    calc->SetSources(0, 1, sources, nullptr, 0.001, 0);
    calc->SetInitialPosition(0);
    std::vector<uint8_t> buffer(24);
    uint32_t count = 0;
    int32_t position = 0;
    copy->Next(24, kNoTick, buffer.data(), &count, &position);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(position, kPeriod + 1);
    calc->ReleaseSources();
    calc->Release();
    copy->Release();

    // Aggregated: counted by the outer object, reached through the inner IUnknown.
    struct Outer : IUnknown {
        uint32_t AddRef() override { return ++count; }
        uint32_t Release() override { return --count; }
        HRESULT QueryInterface(const _IID&, void**) override { return KVD_E_NOINTERFACE; }
        uint32_t count = 1;
    } outer;
    auto* inner = new CalcEnums::CalcEnumAgg<Detector>(&outer, nullptr, nullptr);
    IEnumEventEx* events = nullptr;
    ASSERT_EQ(inner->NonDelegating()->QueryInterface(IID_IEnumEventEx, reinterpret_cast<void**>(&events)), KVD_S_OK);
    EXPECT_EQ(outer.count, 2u);
    events->Release();
    EXPECT_EQ(outer.count, 1u);
    inner->NonDelegating()->Release();
}

}  // namespace
