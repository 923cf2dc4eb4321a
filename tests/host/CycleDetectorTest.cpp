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
            if (k > 0)
                EXPECT_NEAR(starts[k].length, breaths[k - 1].ti + breaths[k - 1].te, tolerance / kRate) << k;
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
