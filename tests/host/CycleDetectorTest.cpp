// Where the host's cycle detection puts the starts of cycles in analytic signals: a sine of
// known period, breaths of unequal length, noise about the level, a flat signal.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <limits>
#include <vector>

#include "host/calc/CycleDetector.h"

namespace {

using HostCalc::CycleDetector;
using HostCalc::CycleSettings;
using HostCalc::CycleStart;

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 100.0;  // ticks per second

std::vector<CycleStart> Starts(const CycleSettings& settings, const std::vector<float>& signal)
{
    CycleDetector detector;
    std::vector<CycleStart> starts;
    for (size_t i = 0; i < signal.size(); ++i) {
        CycleStart found;
        if (detector.Push(settings, 1.0 / kRate, static_cast<int32_t>(i), signal[i], found))
            starts.push_back(found);
    }
    return starts;
}

std::vector<float> Sampled(double seconds, const std::function<double(double)>& f)
{
    std::vector<float> out(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(f(i / kRate));
    return out;
}

CycleSettings Settings(double hysteresis, double minimumCycle, double smoothing)
{
    CycleSettings s;
    s.hysteresis = hysteresis;
    s.minimumCycle = minimumCycle;
    s.smoothing = smoothing;
    return s;
}

// sin(2 pi (t - 0.73) / 4) rises through 0 at 0.73 s + 4 k s; raised by 0.2 and with the level
// at 0.2 it does the same. Smoothing by a moving mean keeps the crossings where they are.
TEST(CycleDetector, SineStartsOnePeriodApartAtItsRisingZeros)
{
    for (double smoothing : {1.0, 8.0, 25.0}) {
        CycleSettings s = Settings(0.5, 0.5, smoothing);
        s.level = 0.2;
        const auto starts = Starts(s, Sampled(20.0, [](double t) { return 0.2 + std::sin(2 * kPi * (t - 0.73) / 4); }));
        ASSERT_EQ(starts.size(), 5u) << smoothing;
        for (size_t k = 0; k < starts.size(); ++k) {
            EXPECT_NEAR(starts[k].position, (0.73 + 4.0 * k) * kRate, 0.02) << smoothing << " start " << k;
            EXPECT_NEAR(starts[k].length, k == 0 ? 0.0 : 4.0, 2e-4) << smoothing << " start " << k;
        }
    }
}

// Falling through the level: the starts half a period later.
TEST(CycleDetector, FallingEdgeStartsWhereTheSignalFalls)
{
    CycleSettings s = Settings(0.5, 0.5, 1.0);
    s.falling = true;
    const auto starts = Starts(s, Sampled(12.0, [](double t) { return std::sin(2 * kPi * (t - 0.73) / 4); }));
    ASSERT_EQ(starts.size(), 3u);
    for (size_t k = 0; k < starts.size(); ++k)
        EXPECT_NEAR(starts[k].position, (2.73 + 4.0 * k) * kRate, 0.02) << k;
}

// Half-sine lobes: inspiration ti up, expiration te down, each breath of its own length.
struct Breath {
    double ti, te, volume;
};

double BreathFlow(const std::vector<Breath>& breaths, double lead, double t)
{
    double start = lead;
    for (const Breath& b : breaths) {
        const double s = t - start;
        if (s >= 0 && s < b.ti)
            return kPi * b.volume / (2 * b.ti) * std::sin(kPi * s / b.ti);
        if (s >= b.ti && s < b.ti + b.te)
            return -kPi * b.volume / (2 * b.te) * std::sin(kPi * (s - b.ti) / b.te);
        start += b.ti + b.te;
    }
    return 0.0;
}

TEST(CycleDetector, BreathsOfUnequalLengthStartAtTheirInspirations)
{
    // Inspirations with twice the peak flow of their expirations, and a deep breath whose
    // expiration peaks at more than six times the next inspiration.
    const std::vector<Breath> breaths = {{1.5, 2.4, 0.55}, {1.2, 3.1, 0.8}, {0.9, 1.6, 0.3}, {2.0, 1.5, 3.5},
                                         {1.4, 2.0, 0.5},  {1.0, 1.0, 0.2}};
    const double lead = 1.25;
    // Sampled with a dip first, so that the first inspiration is seen to rise.
    auto flow = [&](double t) { return t < 0.5 ? -0.1 * std::sin(kPi * t / 0.5) : BreathFlow(breaths, lead, t); };
    // Lobes meet on whole ticks, where the flow is zero; a moving mean of eight samples blurs
    // a start by up to half its length.
    for (const auto& [smoothing, tolerance] : {std::pair{1.0, 0.01}, std::pair{8.0, 4.0}}) {
        const auto starts = Starts(Settings(0.5, 0.5, smoothing), Sampled(30.0, flow));
        ASSERT_EQ(starts.size(), breaths.size()) << smoothing;
        double start = lead;
        for (size_t k = 0; k < breaths.size(); ++k) {
            EXPECT_NEAR(starts[k].position, start * kRate, tolerance) << smoothing << " breath " << k;
            if (k > 0) {
                EXPECT_NEAR(starts[k].length, breaths[k - 1].ti + breaths[k - 1].te, tolerance / kRate) << k;
            }
            start += breaths[k].ti + breaths[k].te;
        }
    }
}

// Noise on breathing both ways: as the flow turns downwards it wiggles about the level, which
// may look like a dip coming back to it; yet only the inspirations start cycles, as they do
// without the noise. The noise begins with the first inspiration, after a clean dip.
TEST(CycleDetector, NoisyBreathingStartsOnlyAtItsInspirations)
{
    const std::vector<Breath> breaths = {{1.5, 2.4, 0.55}, {1.2, 3.1, 0.8}, {0.9, 1.6, 0.3}, {2.0, 1.5, 3.5},
                                         {1.4, 2.0, 0.5},  {1.0, 1.0, 0.2}, {1.5, 2.4, 0.55}, {1.2, 3.1, 0.8}};
    const double lead = 1.25;
    for (double noise : {0.03, 0.05}) {
        auto flow = [&](double t) {
            if (t < 0.5)
                return -0.1 * std::sin(kPi * t / 0.5);
            if (t < lead)
                return 0.0;
            return BreathFlow(breaths, lead, t) +
                   noise * (0.6 * std::sin(2 * kPi * 17 * t) + 0.4 * std::sin(2 * kPi * 41 * t + 1));
        };
        const auto starts = Starts(Settings(0.5, 0.5, 1.0), Sampled(40.0, flow));
        ASSERT_EQ(starts.size(), breaths.size()) << noise;
        double start = lead;
        for (size_t k = 0; k < breaths.size(); ++k) {
            EXPECT_NEAR(starts[k].position, start * kRate, 4.0) << noise << " breath " << k;
            start += breaths[k].ti + breaths[k].te;
        }
    }
}

// Breaths with pauses at zero flow in which the signal wanders about the level: the hysteresis
// makes one start per breath, in the pause before its inspiration; without it the noise makes
// starts of its own.
TEST(CycleDetector, NoiseAboutTheLevelMakesOneStartPerCycle)
{
    const double period = 4.0;
    const double pause = 0.6;  // at the end of each cycle
    auto flow = [&](double t) {
        const double s = std::fmod(t, period);
        if (s < 1.4)
            return 0.6 * std::sin(kPi * s / 1.4);
        if (s < period - pause)
            return -0.4 * std::sin(kPi * (s - 1.4) / (period - pause - 1.4));
        // +-0.03 L/s at 17 Hz and 41 Hz: many crossings of zero in each pause.
        return 0.02 * std::sin(2 * kPi * 17 * t) + 0.01 * std::sin(2 * kPi * 41 * t + 1);
    };
    const auto signal = Sampled(6 * period + 0.5, [&](double t) { return flow(t + 3.0); });
    const auto starts = Starts(Settings(0.5, 0.0, 1.0), signal);
    // The recording begins 3 s into a cycle: six cycles begin after it.
    ASSERT_EQ(starts.size(), 6u);
    for (size_t k = 0; k < starts.size(); ++k) {
        const double inspiration = (1.0 + period * k) * kRate;
        EXPECT_GE(starts[k].position, inspiration - pause * kRate) << k;
        EXPECT_LE(starts[k].position, inspiration + 1.0) << k;
    }
    EXPECT_GT(Starts(Settings(0.0, 0.0, 1.0), signal).size(), 20u);
}

// A second rise sooner than the minimum cycle after a start is none: the cycle goes on.
TEST(CycleDetector, RiseSoonerThanTheMinimumCycleStartsNothing)
{
    // Rises at 1.0 s, 1.3 s (a short blip after a dip) and 5.0 s.
    auto f = [](double t) {
        if (t < 1.0)
            return -0.5 * std::sin(kPi * t);
        if (t < 1.1)
            return std::sin(kPi * (t - 1.0) / 0.1);
        if (t < 1.3)
            return -std::sin(kPi * (t - 1.1) / 0.2);
        if (t < 3.0)
            return std::sin(kPi * (t - 1.3) / 1.7);
        if (t < 5.0)
            return -std::sin(kPi * (t - 3.0) / 2.0);
        return std::sin(kPi * (t - 5.0) / 2.0);
    };
    const auto signal = Sampled(6.0, f);
    const auto kept = Starts(Settings(0.5, 0.5, 1.0), signal);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_NEAR(kept[0].position, 100.0, 0.5);
    EXPECT_NEAR(kept[1].position, 500.0, 0.5);
    EXPECT_NEAR(kept[1].length, 4.0, 0.01);
    const auto all = Starts(Settings(0.5, 0.0, 1.0), signal);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_NEAR(all[1].position, 130.0, 0.5);
}

// Expiration-only flow: half-sine dips below zero, each of its own length and depth, with rests
// between them on a baseline (zero, or a little below it) that may carry a little noise.
struct Expiration {
    double rest, te, depth;  // the rest before it (s), its length (s), its peak flow
};

struct ExpirationFlow {
    std::vector<Expiration> expirations;
    double baseline = 0.0;
    double noise = 0.0;  // amplitude of two sines at 17 Hz and 41 Hz

    double operator()(double t) const
    {
        double start = 0.0;
        double flow = baseline + noise * (0.6 * std::sin(2 * kPi * 17 * t) + 0.4 * std::sin(2 * kPi * 41 * t + 1));
        for (const Expiration& e : expirations) {
            start += e.rest;
            if (t >= start && t < start + e.te)
                return flow - e.depth * std::sin(kPi * (t - start) / e.te);
            start += e.te;
        }
        return flow;
    }
    // Where each expiration ends, in ticks.
    std::vector<double> Ends() const
    {
        std::vector<double> ends;
        double t = 0.0;
        for (const Expiration& e : expirations)
            ends.push_back((t += e.rest + e.te) * kRate);
        return ends;
    }
};

const std::vector<Expiration> kExpirations = {{1.0, 1.6, 0.5}, {1.5, 2.2, 0.9}, {0.8, 1.1, 0.35}, {2.0, 3.0, 1.4},
                                              {1.2, 1.5, 0.45}, {0.9, 2.0, 0.6}, {1.5, 1.0, 0.3}};

// The flow never rises through zero: each expiration's return to the level is the start of the
// next cycle, confirmed when the next expiration falls away from the level. On a zero baseline
// the start is where the flow is back at zero (half the moving mean's length later when it is
// smoothed); the last expiration's return is never confirmed.
TEST(CycleDetector, ExpirationOnlyFlowStartsWhereEachExpirationEnds)
{
    const ExpirationFlow flow{kExpirations};
    const std::vector<double> ends = flow.Ends();
    for (const auto& [smoothing, delay] : {std::pair{1.0, 0.0}, std::pair{8.0, 3.5}}) {
        const auto starts = Starts(Settings(0.5, 0.5, smoothing), Sampled(ends.back() / kRate + 2.0, flow));
        ASSERT_EQ(starts.size(), kExpirations.size() - 1) << smoothing;
        for (size_t k = 0; k < starts.size(); ++k) {
            EXPECT_NEAR(starts[k].position, ends[k] + delay, 1.0) << smoothing << " expiration " << k;
            if (k > 0) {
                EXPECT_NEAR(starts[k].length, (ends[k] - ends[k - 1]) / kRate, 0.02) << k;
            }
        }
    }
}

// On a baseline below the level, with noise, the start lies in the rest after each expiration:
// never inside one, and one per rest once the first expiration has set the scale. Noise in a
// rest before any expiration has nothing to be told apart from.
TEST(CycleDetector, ExpirationOnlyFlowBelowTheLevelStartsOncePerRest)
{
    for (double noise : {0.0, 0.004, 0.008}) {
        ExpirationFlow flow{kExpirations, -0.01, noise};
        const std::vector<double> ends = flow.Ends();
        for (double smoothing : {1.0, 8.0}) {
            const auto starts = Starts(Settings(0.5, 0.5, smoothing), Sampled(ends.back() / kRate + 2.0, flow));
            for (size_t k = 0; k + 1 < ends.size(); ++k) {
                // Or in the expiration's last ticks, where its flow is within the noise.
                const double restStart = ends[k] - 0.02 * kExpirations[k].te * kRate;
                const double nextExpiration = ends[k] + kExpirations[k + 1].rest * kRate;
                size_t inRest = 0;
                for (const CycleStart& start : starts)
                    inRest += start.position >= restStart && start.position < nextExpiration ? 1 : 0;
                EXPECT_EQ(inRest, 1u) << noise << " " << smoothing << " rest after expiration " << k;
            }
            size_t before = 0;
            for (const CycleStart& start : starts)
                before += start.position < kExpirations[0].rest * kRate ? 1 : 0;
            EXPECT_EQ(starts.size(), before + kExpirations.size() - 1) << noise << " " << smoothing;
        }
    }
}

// Expirations of uneven depth, each as long as the others: one a third as deep as its
// neighbours, or 0.4 as deep as those around it, is a cycle of its own, at any hysteresis, on a
// zero baseline and on one a little below the level with noise.
TEST(CycleDetector, ShallowExpirationBetweenDeepOnesIsACycleOfItsOwn)
{
    for (const std::vector<double>& depths :
         {std::vector<double>{1.0, 1.0, 0.4, 1.0, 1.0}, std::vector<double>{1.5, 0.5, 1.5, 0.5, 1.5, 0.5}}) {
        std::vector<Expiration> expirations;
        for (double depth : depths)
            expirations.push_back({1.0, 1.6, depth});
        for (const auto& [baseline, noise] : {std::pair{0.0, 0.0}, std::pair{-0.01, 0.004}}) {
            const ExpirationFlow flow{expirations, baseline, noise};
            const std::vector<double> ends = flow.Ends();
            for (double hysteresis : {0.5, 1.0}) {
                for (double smoothing : {1.0, 8.0}) {
                    const auto starts =
                        Starts(Settings(hysteresis, 0.5, smoothing), Sampled(ends.back() / kRate + 2.0, flow));
                    ASSERT_EQ(starts.size(), ends.size() - 1) << depths[1] << " " << baseline << " " << hysteresis;
                    // In the rest after each expiration: from its last ticks to the next one.
                    for (size_t k = 0; k < starts.size(); ++k) {
                        EXPECT_GE(starts[k].position, ends[k] - 3.0) << depths[1] << " " << baseline << " " << k;
                        EXPECT_LT(starts[k].position, ends[k] + expirations[k + 1].rest * kRate)
                            << depths[1] << " " << baseline << " " << k;
                    }
                }
            }
        }
    }
}

// Dips that come back to the level and rest there start a cycle where each comes back; dips
// that come back only part of the way start none.
TEST(CycleDetector, ReturnCloseToTheLevelStartsACycle)
{
    // Back to zero at each 1.5 s + 3 k: the return is the start, confirmed when the next dip
    // begins, so the last is never confirmed.
    auto dips = [](double t) { return std::fmod(t, 3.0) < 1.5 ? -std::sin(kPi * std::fmod(t, 3.0) / 1.5) : 0.0; };
    const auto starts = Starts(Settings(0.5, 0.5, 1.0), Sampled(12.0, dips));
    ASSERT_EQ(starts.size(), 3u);
    for (size_t k = 0; k < starts.size(); ++k)
        EXPECT_NEAR(starts[k].position, 150.0 + 300.0 * k, 0.5) << k;
    // Back only to -0.6 of a depth of 1: never within the band of the level.
    auto partial = [](double t) { return -0.8 - 0.2 * std::sin(2 * kPi * t / 3.0); };
    EXPECT_TRUE(Starts(Settings(0.5, 0.5, 1.0), Sampled(12.0, partial)).empty());
}

// A flat signal has no cycles, wherever it lies against the level; samples that are no
// numbers are passed over.
TEST(CycleDetector, FlatSignalHasNoCycles)
{
    for (float value : {-1.0f, 0.0f, 0.25f})
        EXPECT_TRUE(Starts(Settings(0.5, 0.5, 8.0), std::vector<float>(2000, value)).empty()) << value;
    auto signal = Sampled(12.0, [](double t) { return std::sin(2 * kPi * (t - 0.73) / 4); });
    for (size_t i = 0; i < signal.size(); i += 37)
        signal[i] = std::numeric_limits<float>::quiet_NaN();
    const auto starts = Starts(Settings(0.5, 0.5, 1.0), signal);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_NEAR(starts[1].position, 473.0, 0.05);
}

TEST(CycleDetector, SettingsOutsideTheirRangesAreInvalid)
{
    EXPECT_TRUE(CycleSettings().IsValid());
    EXPECT_EQ(CycleSettings().Window(), 1);
    EXPECT_EQ(Settings(0.5, 0.5, 7.6).Window(), 8);
    EXPECT_EQ(Settings(0.5, 0.5, 0.0).Window(), 1);
    EXPECT_FALSE(Settings(1.5, 0.5, 8).IsValid());
    EXPECT_FALSE(Settings(-0.1, 0.5, 8).IsValid());
    EXPECT_FALSE(Settings(0.5, -1, 8).IsValid());
    EXPECT_FALSE(Settings(0.5, 0.5, 10001).IsValid());
    EXPECT_FALSE(Settings(std::nan(""), 0.5, 8).IsValid());
    CycleSettings far;
    far.level = 2e15;
    EXPECT_FALSE(far.IsValid());
}

}  // namespace
