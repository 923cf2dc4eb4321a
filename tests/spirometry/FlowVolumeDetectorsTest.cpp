// The flow event detector ("SPEEFlow") and the volume event detector fed by it ("SPEEVol") on
// synthetic breathing whose landmarks are known to the tick.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "BreathSignals.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/SpVolEnumerator.h"

namespace {

using Spirometry::SpBreathEvent;
using Spirometry::SpFlowEnumerator;
using Spirometry::SpFlowEvent;
using Spirometry::SpVolEnumerator;
using SpiroTest::BreathShape;
using SpiroTest::BreathSignal;
using SpiroTest::Detector;
using SpiroTest::KnownBreath;

constexpr double kLevel = 0.1;

// Both stages over a signal: the flow cycles on their own, and the breaths of the nested pair.
struct TwoStage {
    explicit TwoStage(const BreathSignal& signal)
    {
        SpiroTest::Streams streams;
        Detector<SpFlowEnumerator> cycles(L"0.1", {streams.Of(signal.flow)});
        flow = cycles.ReadAll();
        Detector<SpFlowEnumerator> inner(L"0.1", {streams.Of(signal.flow)});
        Detector<SpVolEnumerator> outer(L"", {streams.Of(signal.volume), inner.Events()});
        breaths = outer.ReadAll();
    }
    std::vector<SpFlowEvent> flow;
    std::vector<SpBreathEvent> breaths;
};

void ExpectBreath(const BreathSignal& s, const KnownBreath& k, const SpFlowEvent& f, const SpBreathEvent& b)
{
    EXPECT_EQ(f.tick, k.start);
    EXPECT_EQ(f.fraction, 0.0f);
    EXPECT_EQ(f.startTick, k.start);
    EXPECT_EQ(f.endTick, k.end);
    EXPECT_EQ(f.maxFlowTick, k.maxFlowTick);
    EXPECT_EQ(f.minFlowTick, k.minFlowTick);
    EXPECT_EQ(f.reversalTick, k.reversalTick);
    EXPECT_EQ(f.maxFlow, s.flow[k.maxFlowTick]);
    EXPECT_EQ(f.value, f.maxFlow);
    EXPECT_EQ(f.minFlow, s.flow[k.minFlowTick]);
    EXPECT_EQ(f.excluded, 0);
    // The breath carries the cycle whole and its header.
    EXPECT_EQ(std::memcmp(&b.flow, &f, sizeof f), 0);
    EXPECT_EQ(b.header.tick, f.tick);
    EXPECT_EQ(b.header.value, f.value);
    EXPECT_EQ(b.maxVolTick, k.maxVolTick);
    EXPECT_EQ(b.maxVol, s.volume[k.maxVolTick]);
    EXPECT_EQ(b.minVolTick, k.minVolTick);
    EXPECT_EQ(b.minVol, s.volume[k.minVolTick]);
}

struct Scenario {
    const char* name;
    std::function<void(BreathSignal&)> build;
};

// pef = pif ti / te gives equal inspired and expired volumes for half sines.
BreathShape Sine(int ti, int te, float pif, float scale = 1.0f)
{
    return {ti, te, pif, pif * ti / te * scale};
}

const Scenario kScenarios[] = {
    {"sinusoidal quiet breathing",
     [](BreathSignal& s) {
         s.Quiet(100);
         for (int i = 0; i < 5; ++i)
             s.Breath(Sine(401, 601, 0.5f));
         s.Closing();
         s.Quiet(50);
     }},
    {"breaths of unequal size",
     [](BreathSignal& s) {
         s.Quiet(37);
         s.Breath(Sine(301, 501, 0.4f, 1.1f));
         s.Breath(Sine(601, 901, 0.9f, 0.9f));
         s.Breath(Sine(201, 401, 0.25f));
         s.Breath(Sine(501, 701, 0.6f, 1.3f));
         s.Closing(251, 0.3f);
         s.Quiet(20);
     }},
    {"forced expirations with an exponential volume curve",
     [](BreathSignal& s) {
         s.Quiet(100);
         s.Breath(Sine(401, 601, 0.5f));
         s.Breath({1001, 3001, 3.0f, 6.0f, 400.0});
         s.Breath(Sine(401, 601, 0.5f));
         s.Breath({801, 2501, 2.5f, 5.0f, 300.0});
         s.Closing();
         s.Quiet(50);
     }},
    {"ripple near the level",
     [](BreathSignal& s) {
         s.Quiet(100);
         for (int i = 0; i < 4; ++i)
             s.Breath(Sine(401 + 100 * i, 701, 0.4f + 0.1f * i));
         s.Closing();
         s.Quiet(50);
         s.RippleNearLevel(kLevel, 0.04);
     }},
};

TEST(FlowVolumeDetectors, FindEveryBreathWithItsLandmarksAtTheirTicks)
{
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        BreathSignal s;
        scenario.build(s);
        s.Integrate();
        const TwoStage found(s);
        ASSERT_EQ(found.flow.size(), s.breaths.size());
        ASSERT_EQ(found.breaths.size(), s.breaths.size());
        for (size_t i = 0; i < s.breaths.size(); ++i) {
            SCOPED_TRACE(i);
            ExpectBreath(s, s.breaths[i], found.flow[i], found.breaths[i]);
        }
    }
}

TEST(FlowVolumeDetectors, BreathCutByTheEndOfTheData)
{
    // Expiration cut while still beyond the level: not reported.
    BreathSignal cut;
    cut.Quiet(100);
    cut.Breath(Sine(401, 601, 0.5f));
    cut.Breath(Sine(401, 601, 0.5f));
    cut.flow.resize(cut.breaths.back().minFlowTick + 10);
    cut.breaths.pop_back();
    cut.Integrate();
    const TwoStage a(cut);
    ASSERT_EQ(a.breaths.size(), 1u);
    ExpectBreath(cut, cut.breaths[0], a.flow[0], a.breaths[0]);

    // Back within the band when the data end: the breath ends just after the last sample.
    BreathSignal ended = cut;
    ended.flow.resize(ended.breaths[0].end);
    ended.Breath(Sine(401, 601, 0.5f));
    ended.Quiet(30);
    KnownBreath& last = ended.breaths.back();
    last.end = ended.Ticks();
    last.minVolTick = ended.Ticks() - 1;  // the quiet tail still expires
    ended.Integrate();
    const TwoStage b(ended);
    ASSERT_EQ(b.breaths.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        ExpectBreath(ended, ended.breaths[i], b.flow[i], b.breaths[i]);

    // Crossed, went below the negative level and ended before the flow ever rose above the
    // level: one excluded cycle, ending just after the last sample.
    BreathSignal expiring;
    expiring.Quiet(50, 0.01f);
    for (int k = 0; k < 301; ++k)
        expiring.flow.push_back(static_cast<float>(-0.4 * std::sin(SpiroTest::kPi * (k + 0.5) / 301)));
    expiring.Integrate();
    const TwoStage c(expiring);
    ASSERT_EQ(c.flow.size(), 1u);
    EXPECT_EQ(c.flow[0].excluded, 1);
    EXPECT_EQ(c.flow[0].startTick, 50);
    EXPECT_EQ(c.flow[0].endTick, expiring.Ticks());
    EXPECT_EQ(c.flow[0].minFlowTick, 50 + 150);
    ASSERT_EQ(c.breaths.size(), 1u);
    EXPECT_EQ(c.breaths[0].maxVolTick, 50);  // measured from the cycle's start
    EXPECT_EQ(c.breaths[0].minVolTick, expiring.Ticks() - 1);
}

TEST(FlowVolumeDetectors, CyclesThatDoNotReachTheLevelAreNotBreaths)
{
    // No zero crossing at all: nothing.
    BreathSignal flat;
    flat.Quiet(5000, 0.3f);
    flat.Integrate();
    EXPECT_TRUE(TwoStage(flat).breaths.empty());

    // A shallow expiration never reaches the negative level: that cycle is dropped and the
    // next one starts at the crossing where it ended.
    BreathSignal shallow;
    shallow.Quiet(100);
    shallow.Breath(Sine(401, 601, 0.5f));
    shallow.Breath({401, 601, 0.5f, 0.09f});
    shallow.Breath(Sine(401, 601, 0.5f));
    shallow.Closing();
    shallow.Integrate();
    const TwoStage found(shallow);
    ASSERT_EQ(found.breaths.size(), 2u);
    ExpectBreath(shallow, shallow.breaths[0], found.flow[0], found.breaths[0]);
    ExpectBreath(shallow, shallow.breaths[2], found.flow[1], found.breaths[1]);
}

TEST(FlowVolumeDetectors, EqualVolumeMaximaKeepTheFirstTick)
{
    BreathSignal s;
    s.Quiet(100);
    s.Breath(Sine(401, 601, 0.5f));
    s.Closing();
    s.Integrate();
    // A plateau at the top, and a dip below the later minimum before the maximum: the minimum
    // is only searched from the maximum onwards.
    const KnownBreath& b = s.breaths[0];
    for (int32_t i = b.maxVolTick; i < b.maxVolTick + 20; ++i)
        s.volume[i] = s.volume[b.maxVolTick];
    s.volume[b.start + 5] = s.volume[b.minVolTick] - 1.0f;
    const TwoStage found(s);
    ASSERT_EQ(found.breaths.size(), 1u);
    EXPECT_EQ(found.breaths[0].maxVolTick, b.maxVolTick);
    EXPECT_EQ(found.breaths[0].minVolTick, b.minVolTick);

    // Volumes that are no number, at and after the maximum, are passed over.
    for (int32_t i : {b.maxVolTick + 20, b.maxVolTick + 41, b.minVolTick - 3})
        s.volume[i] = std::nanf("");
    const TwoStage gaps(s);
    ASSERT_EQ(gaps.breaths.size(), 1u);
    EXPECT_EQ(gaps.breaths[0].maxVolTick, b.maxVolTick);
    EXPECT_EQ(gaps.breaths[0].minVolTick, b.minVolTick);
    EXPECT_EQ(gaps.breaths[0].minVol, s.volume[b.minVolTick]);
}

TEST(FlowVolumeDetectors, BreathsAcrossTheFrameworksCheckpointsAreAllFound)
{
    // Breaths straddle the 100000-tick chunks that the framework searches in.
    BreathSignal s;
    s.Quiet(100);
    while (s.Ticks() < 330000)
        s.Breath(Sine(1401 + 2 * (s.Ticks() % 7), 2001, 0.5f));
    s.Closing();
    s.Integrate();
    const TwoStage found(s);
    ASSERT_EQ(found.breaths.size(), s.breaths.size());
    for (size_t i = 0; i < s.breaths.size(); ++i) {
        EXPECT_EQ(found.breaths[i].flow.startTick, s.breaths[i].start) << i;
        EXPECT_EQ(found.breaths[i].minVolTick, s.breaths[i].minVolTick) << i;
    }

    // The data end just after a checkpoint, with the last breath begun before it and back
    // within the band: that breath ends with the data.
    BreathSignal last;
    last.Quiet(100000 - 1500);
    last.Breath(Sine(1001, 1501, 0.5f));
    last.Quiet(20);
    last.Integrate();
    const TwoStage ended(last);
    ASSERT_EQ(ended.breaths.size(), 1u);
    EXPECT_EQ(ended.breaths[0].flow.startTick, 100000 - 1500);
    EXPECT_EQ(ended.breaths[0].flow.endTick, last.Ticks());
}

TEST(FlowVolumeDetectors, FlatPeaksKeepTheirFirstTickAndFlickerAtZeroMovesTheCrossing)
{
    BreathSignal s;
    s.Quiet(100);
    s.Breath(Sine(401, 601, 0.5f));
    s.Breath(Sine(401, 601, 0.5f));
    s.Closing();
    s.Quiet(50);
    const KnownBreath first = s.breaths[0];
    // Flat peaks over many samples: each peak is the plateau's first sample.
    int32_t maxTick = -1, minTick = -1;
    for (int32_t i = first.start; i < first.end; ++i) {
        if (s.flow[i] >= 0.45f) {
            s.flow[i] = 0.45f;
            maxTick = maxTick < 0 ? i : maxTick;
        } else if (s.flow[i] <= -0.3f) {
            s.flow[i] = -0.3f;
            minTick = minTick < 0 ? i : minTick;
        }
    }
    // The expiration's tail flickers about zero, once with no number, and its last three
    // samples are positive: the next cycle opens three samples early.
    for (int32_t i = first.end - 40; i < first.end - 3; ++i)
        s.flow[i] = i % 3 == 0 ? 0.001f : -0.001f;
    s.flow[first.end - 33] = std::nanf("");
    for (int32_t i = first.end - 3; i < first.end; ++i)
        s.flow[i] = 0.001f;
    s.flow[first.end - 4] = -0.001f;
    s.Integrate();
    const TwoStage found(s);
    ASSERT_EQ(found.flow.size(), 2u);
    EXPECT_EQ(found.flow[0].startTick, first.start);
    EXPECT_EQ(found.flow[0].endTick, first.end - 3);
    EXPECT_EQ(found.flow[0].maxFlowTick, maxTick);
    EXPECT_EQ(found.flow[0].maxFlow, 0.45f);
    EXPECT_EQ(found.flow[0].minFlowTick, minTick);
    EXPECT_EQ(found.flow[0].minFlow, -0.3f);
    EXPECT_EQ(found.flow[1].startTick, first.end - 3);
    EXPECT_EQ(found.flow[1].maxFlowTick, s.breaths[1].maxFlowTick);
    EXPECT_EQ(found.flow[1].minFlowTick, s.breaths[1].minFlowTick);
}

}  // namespace
