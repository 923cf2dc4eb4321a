// The tidal-volume detectors ("SpTidalVolume" and "SpTidalVolumeExpiratory") against the
// integrated expiratory volume of synthetic breathing and on hand-made flows.

#include <gtest/gtest.h>

#include <ostream>

#include "BreathSignals.h"
#include "support/ListEvents.h"
#include "ResultCodes.h"
#include "spirometry/ExpiratoryTidalVolumeDetector.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/TidalVolumeDetector.h"

namespace {

using Spirometry::DetEx_Enumerator;
using Spirometry::DetEx_Event;
using Spirometry::SpFlowEnumerator;
using Spirometry::Expiratory::DetEx_ExpiratoryEnumerator;
using Spirometry::Expiratory::DetEx_ExpiratoryEvent;
using SpiroTest::BreathSignal;
using SpiroTest::Detector;

struct Measured {
    int32_t tick;
    double value;
    bool operator==(const Measured& o) const { return tick == o.tick && value == o.value; }
    friend std::ostream& operator<<(std::ostream& out, const Measured& m)
    {
        return out << "{" << m.tick << ", " << m.value << "}";
    }
};

template <class E>
std::vector<Measured> Measures(const std::vector<E>& events)
{
    std::vector<Measured> out;
    for (const E& e : events)
        out.push_back({e.tick, e.value});
    return out;
}

std::vector<Measured> TidalVolumes(const std::vector<float>& flow, double sampling)
{
    SpiroTest::Streams streams;
    Detector<DetEx_Enumerator> detector(L"1", {streams.Of(flow)}, sampling);
    return Measures(detector.ReadAll());
}

BreathSignal Quiet(int breaths)
{
    BreathSignal s;
    s.Quiet(100);
    for (int i = 0; i < breaths; ++i)
        s.Breath({401 + 40 * i, 601 - 20 * i, 0.5f + 0.05f * i, 0.35f});
    s.Closing();
    s.Quiet(50);
    s.Integrate();
    return s;
}

TEST(TidalVolumeDetector, ReportsEachBreathsIntegratedExpiratoryVolumeAtItsStart)
{
    const BreathSignal s = Quiet(5);
    const std::vector<Measured> found = TidalVolumes(s.flow, s.dt);
    // The lead-in's expiration first, at tick 0; the closing inspiration's cycle stays open.
    ASSERT_EQ(found.size(), s.breaths.size() + 1);
    EXPECT_EQ(found[0].tick, 0);
    EXPECT_NEAR(found[0].value, 100 * 0.01 * s.dt, 1e-9);
    for (size_t i = 0; i < s.breaths.size(); ++i) {
        EXPECT_EQ(found[i + 1].tick, s.breaths[i].start);
        EXPECT_DOUBLE_EQ(found[i + 1].value, s.breaths[i].expired);
    }
}

TEST(TidalVolumeDetector, HandMadeFlows)
{
    const std::vector<float> up(10, 1.0f), down(5, -1.0f);
    auto join = [](std::initializer_list<std::vector<float>> parts) {
        std::vector<float> out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    struct Case {
        const char* what;
        std::vector<float> flow;
        std::vector<Measured> events;
    } cases[] = {
        {"never changes sign", up, {}},
        {"two cycles", {1, 1, -1, -1, 1, 1, -1, -1, 1}, {{0, 2}, {4, 2}}},
        // Not more than 10 % of the positive volume: inspiration goes on, the blip counts.
        {"negative blip during inspiration", join({up, {-0.125f, 1, 1}, down, {1}}), {{0, 5.125}}},
        // More than 10 %: the cycle ends at once, and the new one cannot turn negative before its
        // positive volume exceeds 10 % of the last negative volume.
        {"positive blip during expiration", join({up, down, {0.5f}, down, {1}}), {{0, 5}}},
        // A first sample of 0 opens a positive phase of volume 0, which no negative flow can end.
        {"first sample zero", join({{0}, down, {1}, down, {1}}), {{0, 10}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TidalVolumes(c.flow, 1.0), c.events) << c.what;
}

std::vector<Measured> ExpiratoryVolumes(const std::vector<float>& flow, IEnumEventEx* boundaries, double sampling)
{
    SpiroTest::Streams streams;
    Detector<DetEx_ExpiratoryEnumerator> detector(L"", {streams.Of(flow), boundaries}, sampling);
    return Measures(detector.ReadAll());
}

TEST(ExpiratoryTidalVolumeDetector, MeasuresTheIntervalsBetweenCycleBoundaries)
{
    const BreathSignal s = Quiet(5);
    SpiroTest::Streams streams;
    Detector<SpFlowEnumerator> cycles(L"0.1", {streams.Of(s.flow)});
    const std::vector<Measured> found = ExpiratoryVolumes(s.flow, cycles.Events(), s.dt);
    // Intervals open at tick 0 and at each cycle's start; the one after the last stays open.
    ASSERT_EQ(found.size(), s.breaths.size());
    EXPECT_EQ(found[0].tick, 0);
    for (size_t i = 1; i < found.size(); ++i) {
        EXPECT_EQ(found[i].tick, s.breaths[i - 1].start);
        EXPECT_DOUBLE_EQ(found[i].value, s.breaths[i - 1].expired);
    }
}

TEST(ExpiratoryTidalVolumeDetector, BoundariesTheFlowHasPassedAreSkipped)
{
    const std::vector<float> flow(40, -1.0f);
    auto* boundaries = new CalcTest::ListEvents({{2, 1}, {5, 1}, {5, 1}, {9, 1}, {10, 1}, {20, 1}});
    const std::vector<Measured> found = ExpiratoryVolumes(flow, boundaries, 1.0);
    boundaries->Release();
    // The second boundary at tick 5 ends no interval and holds nothing up; boundaries one tick
    // apart measure the later one's sample alone.
    const std::vector<Measured> expected = {{0, 3}, {2, 3}, {5, 4}, {9, 1}, {10, 10}};
    EXPECT_EQ(found, expected);
}

}  // namespace
