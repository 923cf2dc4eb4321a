// The single-pass breath detector ("SpBreathEvent") on synthetic breathing, and against the
// two-stage detectors on the same clean data.

#include <gtest/gtest.h>

#include <cstdlib>

#include "BreathSignals.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirometry/SpBreathEventEnumerator.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/SpVolEnumerator.h"

namespace {

using Spirometry::SpBreathEvent;
using Spirometry::SpBreathEventEnumerator;
using Spirometry::SpFlowEnumerator;
using Spirometry::SpVolEnumerator;
using SpiroTest::BreathShape;
using SpiroTest::BreathSignal;
using SpiroTest::Detector;

std::vector<SpBreathEvent> SinglePass(const BreathSignal& s)
{
    SpiroTest::Streams streams;
    Detector<SpBreathEventEnumerator> detector(L"0.1", {streams.Of(s.flow), streams.Of(s.volume)});
    return detector.ReadAll();
}

std::vector<SpBreathEvent> TwoStage(const BreathSignal& s)
{
    SpiroTest::Streams streams;
    Detector<SpFlowEnumerator> cycles(L"0.1", {streams.Of(s.flow)});
    Detector<SpVolEnumerator> breaths(L"", {streams.Of(s.volume), cycles.Events()});
    return breaths.ReadAll();
}

BreathSignal Clean(std::initializer_list<BreathShape> shapes)
{
    BreathSignal s;
    s.Quiet(100);
    for (const BreathShape& shape : shapes)
        s.Breath(shape);
    s.Closing();
    s.Quiet(50);
    s.Integrate();
    return s;
}

const BreathShape kQuiet{401, 601, 0.5f, 0.5f * 401 / 601};

TEST(BreathEventDetector, FindsTheBreathsOfTheTwoStageDetectorsOnCleanData)
{
    const BreathSignal signals[] = {
        Clean({kQuiet, kQuiet, kQuiet, kQuiet}),
        Clean({{301, 501, 0.4f, 0.3f}, {601, 901, 0.9f, 0.55f}, {201, 401, 0.25f, 0.2f}, kQuiet}),
        Clean({kQuiet, {1001, 3001, 3.0f, 6.0f, 400.0}, kQuiet, {801, 2501, 2.5f, 5.0f, 300.0}, kQuiet}),
    };
    for (const BreathSignal& s : signals) {
        const std::vector<SpBreathEvent> single = SinglePass(s);
        const std::vector<SpBreathEvent> two = TwoStage(s);
        ASSERT_EQ(two.size(), s.breaths.size());
        ASSERT_EQ(single.size(), two.size());
        for (size_t i = 0; i < single.size(); ++i) {
            SCOPED_TRACE(i);
            const SpiroTest::KnownBreath& k = s.breaths[i];
            EXPECT_LE(std::abs(single[i].flow.startTick - two[i].flow.startTick), 2);
            EXPECT_EQ(single[i].header.tick, single[i].flow.startTick);
            EXPECT_EQ(single[i].header.value, s.flow[single[i].flow.startTick]);
            EXPECT_LE(std::abs(single[i].flow.endTick - k.end), 2);
            EXPECT_EQ(single[i].flow.maxFlowTick, k.maxFlowTick);
            EXPECT_EQ(single[i].flow.maxFlow, s.flow[k.maxFlowTick]);
            EXPECT_EQ(single[i].flow.minFlowTick, k.minFlowTick);
            EXPECT_EQ(single[i].flow.minFlow, s.flow[k.minFlowTick]);
            EXPECT_EQ(single[i].flow.reversalTick, k.start + (k.maxVolTick - k.start) + 1);  // first negative sample
            EXPECT_EQ(single[i].maxVolTick, k.maxVolTick);
            EXPECT_EQ(single[i].minVolTick, k.minVolTick);
            EXPECT_EQ(single[i].minVol, s.volume[k.minVolTick]);
            EXPECT_EQ(single[i].flow.excluded, 0);
            // The embedded cycle's own header stays empty.
            EXPECT_EQ(single[i].flow.tick, 0);
            EXPECT_EQ(single[i].flow.value, 0.0);
        }
    }
}

TEST(BreathEventDetector, VolumeFiguresCoverTheExpirationOnly)
{
    BreathSignal s = Clean({kQuiet, kQuiet});
    // A volume spike during the first inspiration, well inside the band's crossing.
    s.volume[s.breaths[0].maxFlowTick] += 5.0f;
    const std::vector<SpBreathEvent> single = SinglePass(s);
    ASSERT_EQ(single.size(), 2u);
    EXPECT_EQ(single[0].maxVolTick, s.breaths[0].maxVolTick);
    EXPECT_EQ(TwoStage(s)[0].maxVolTick, s.breaths[0].maxFlowTick);  // the two-stage pair sees it
}

TEST(BreathEventDetector, EdgesOfTheData)
{
    // Flow that never leaves the band: nothing.
    BreathSignal band;
    band.Quiet(3000, 0.09f);
    band.Quiet(3000, -0.09f);
    band.Integrate();
    EXPECT_TRUE(SinglePass(band).empty());

    // Data that end during the third breath deliver two.
    BreathSignal cut = Clean({kQuiet, kQuiet, kQuiet});
    cut.flow.resize(cut.breaths[2].minFlowTick);
    cut.Integrate();
    EXPECT_EQ(SinglePass(cut).size(), 2u);

    // A recording that begins in expiration: its first breath is flagged and starts with the
    // expiration's own samples, the tick after the first one below the negative level.
    BreathSignal expiring;
    for (int k = 0; k < 300; ++k)
        expiring.flow.push_back(static_cast<float>(-0.4 * std::cos(SpiroTest::kPi * (k + 0.5) / 600)));
    expiring.Breath(kQuiet);
    expiring.Breath(kQuiet);
    expiring.Closing();
    expiring.Integrate();
    const std::vector<SpBreathEvent> events = SinglePass(expiring);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].flow.excluded, 1);
    EXPECT_EQ(events[0].flow.startTick, 1);
    EXPECT_EQ(events[0].flow.minFlowTick, 1);
    EXPECT_LT(events[0].flow.endTick, 300);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(events[i].flow.excluded, 0);
        EXPECT_LE(std::abs(events[i].flow.startTick - expiring.breaths[i - 1].start), 2);
    }
}

}  // namespace

namespace {

// The generator's recording as flow (L/s) and volume: quantised to the raw channel's steps,
// with its drift and noise.
BreathSignal FromGenerator(const Host::SyntheticOptions& options)
{
    const Host::SyntheticBreathing synth(options);
    const Host::Recording recording = synth.MakeRecording("synthetic");
    BreathSignal s;
    s.dt = recording.SecondsPerTick();
    const Host::RecordBlock& block = recording.Record(0);
    for (uint32_t i = 0; i < block.ticks; ++i)
        s.flow.push_back(static_cast<float>(recording.PhysicalAt(0, 0, i) * options.headScale));
    s.Integrate();
    return s;
}

// The generator's quiet lead-in is mostly whole zeros with a few steps of noise: the start
// candidate of a fresh search follows every sample below its own size, so it comes to rest
// near the last zero crossing before the first inspiration (whereas comparing magnitudes would
// leave it on the first zero, seconds early).
TEST(BreathEventDetector, FindsTheBreathsOfTheGeneratorsRecordings)
{
    Host::SyntheticOptions options;
    options.drift = 0;  // the flow enumerator removes it
    const Host::SyntheticBreathing synth(options);
    const BreathSignal s = FromGenerator(options);
    const std::vector<SpBreathEvent> single = SinglePass(s);
    const std::vector<SpBreathEvent> two = TwoStage(s);
    ASSERT_EQ(two.size(), synth.Breaths().size());
    ASSERT_EQ(single.size(), two.size());
    for (size_t i = 0; i < two.size(); ++i) {
        SCOPED_TRACE(i);
        const int32_t start = static_cast<int32_t>(std::lround(synth.Breaths()[i].start * options.rate));
        EXPECT_LE(std::abs(two[i].flow.startTick - start), 2);
        EXPECT_LE(std::abs(single[i].flow.startTick - two[i].flow.startTick), i == 0 ? 20 : 2);
    }
}

}  // namespace
