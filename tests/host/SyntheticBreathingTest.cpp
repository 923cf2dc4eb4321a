// The synthetic recording's true figures against the flow it is made of.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "host/synth/SyntheticBreathing.h"

namespace {

using Host::SyntheticBreath;
using Host::SyntheticBreathing;

// Simpson's rule over [a, b] with n (even) intervals.
double Integral(const std::function<double(double)>& f, double a, double b, int n = 20000)
{
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int i = 1; i < n; ++i)
        sum += f(a + i * h) * (i % 2 ? 4 : 2);
    return sum * h / 3;
}

double Peak(const std::function<double(double)>& f, double a, double b)
{
    double peak = 0;
    for (int i = 0; i <= 20000; ++i)
        peak = std::max(peak, f(a + (b - a) * i / 20000));
    return peak;
}

class Synthetic : public ::testing::Test {
protected:
    Host::SyntheticOptions options;
    SyntheticBreathing synth{options};
    double Flow(double t) const { return synth.Flow(t); }
};

TEST_F(Synthetic, EveryBreathInspiresAndExpiresItsVolume)
{
    ASSERT_EQ(synth.Breaths().size(), 20u);
    for (const SyntheticBreath& b : synth.Breaths()) {
        auto flow = [&](double t) { return Flow(t); };
        // The forced expiration starts at its peak: stop just short of the maximum.
        const double inspired = Integral(flow, b.start, b.start + b.ti - 1e-12);
        const double expired = -Integral(flow, b.start + b.ti, b.start + b.Duration() - 1e-12);
        EXPECT_NEAR(inspired, b.volume, 1e-6) << b.start;
        EXPECT_NEAR(expired, b.volume, 1e-6) << b.start;
    }
}

TEST_F(Synthetic, BreathsOpenAtZeroCrossingsAndPeakAsStated)
{
    for (const SyntheticBreath& b : synth.Breaths()) {
        EXPECT_LE(Flow(b.start - 1e-4), 0.0);
        EXPECT_GT(Flow(b.start + 1e-4), 0.0);
        EXPECT_NEAR(Flow(b.start + b.ti - 1e-9), 0.0, 1e-6);
        EXPECT_LT(Flow(b.start + b.ti + 1e-4), 0.0);
        EXPECT_NEAR(Peak([&](double t) { return Flow(t); }, b.start, b.start + b.ti), b.pif, 1e-6);
        EXPECT_NEAR(Peak([&](double t) { return -Flow(t); }, b.start + b.ti + 1e-12, b.start + b.Duration()), b.pef,
                    1e-3 * b.pef);
    }
}

TEST_F(Synthetic, ForcedExpirationsFollowTheExponentialVolumeCurve)
{
    int forced = 0;
    for (const SyntheticBreath& b : synth.Breaths()) {
        if (!b.forced)
            continue;
        ++forced;
        const double top = b.start + b.ti;
        const double fev1 = -Integral([&](double t) { return Flow(t); }, top + 1e-12, top + 1.0);
        EXPECT_NEAR(fev1, b.fev1, 1e-6);
        // A (1 - e^-1/tau) of A (1 - e^-te/tau): with tau 0.5 and te 5 s, 86.47 %.
        EXPECT_NEAR(b.fev1 / b.volume, (1 - std::exp(-2.0)) / (1 - std::exp(-10.0)), 1e-12);
        EXPECT_NEAR(b.pef, b.volume / (1 - std::exp(-10.0)) / options.tau, 1e-12);
    }
    EXPECT_EQ(forced, 2);
}

TEST_F(Synthetic, SummaryCoversTheNonForcedBreaths)
{
    double volume = 0, duration = 0;
    int n = 0;
    for (const SyntheticBreath& b : synth.Breaths())
        if (!b.forced)
            volume += b.volume, duration += b.Duration(), ++n;
    const auto s = synth.Summary();
    EXPECT_EQ(s.breaths, 20);
    EXPECT_EQ(s.nonForced, 18);
    EXPECT_DOUBLE_EQ(s.ve, volume / duration);
    EXPECT_DOUBLE_EQ(s.frequency, n / duration);
}

TEST_F(Synthetic, TheRecordingHoldsTheFlowWithDriftAndNoiseQuietAtBothEnds)
{
    const Host::Recording r = synth.MakeRecording("synthetic.edf");
    ASSERT_EQ(r.RecordCount(), 1u);
    const uint32_t ticks = r.Record(0).ticks;
    EXPECT_EQ(ticks, static_cast<uint32_t>(synth.Seconds() * options.rate));
    double worst = 0;
    for (uint32_t i = 0; i < ticks; ++i) {
        const double t = double(i) / options.rate;
        const double flow = r.PhysicalAt(0, 0, i) * options.headScale;
        const double expected = Flow(t) + options.drift * t / synth.Seconds();
        worst = std::max(worst, std::fabs(flow - expected));
    }
    // Quantisation (half a step of 0.00025 L/s) and noise (sd 0.0001 L/s; 6 sd bound).
    EXPECT_LT(worst, 0.000125 + 6 * options.noise);
    for (uint32_t i : {0u, 1000u, ticks - 1000, ticks - 1})
        EXPECT_LT(std::fabs(r.PhysicalAt(0, 0, i) * options.headScale), 0.003) << i;

    const Host::Recording again = synth.MakeRecording("again.edf");
    EXPECT_EQ(again.Record(0).samples, r.Record(0).samples);
    Host::SyntheticOptions other = options;
    other.seed = 2;
    EXPECT_NE(SyntheticBreathing(other).MakeRecording("other.edf").Record(0).samples, r.Record(0).samples);
}

// The recording walks through the breaths in time order: without noise and drift each stored
// sample is the stored value of the flow the breaths describe at its tick.
TEST_F(Synthetic, WithoutNoiseOrDriftEachSampleIsTheFlowAtItsTick)
{
    Host::SyntheticOptions quiet = options;
    quiet.noise = 0;
    quiet.drift = 0;
    const SyntheticBreathing plain(quiet);
    const Host::Recording r = plain.MakeRecording("plain.edf");
    const Host::ChannelFormat head{"Flow head", "V", quiet.voltsPerStep, 0.0};
    const auto& samples = r.Record(0).samples[0];
    int differing = 0;
    for (uint32_t i = 0; i < r.Record(0).ticks; ++i)
        differing += samples[i] != head.Raw(plain.Flow(double(i) / quiet.rate) / quiet.headScale);
    EXPECT_EQ(differing, 0);
}

// The least rates: 50 ticks per second, or 25 a time constant of the forced expiration.
TEST(SyntheticLimits, TheLeastRateKeepsTwentyFiveTicksATimeConstant)
{
    Host::SyntheticOptions o;
    EXPECT_EQ(Host::LeastRate(o), 50);
    o.tau = 2;
    EXPECT_EQ(Host::LeastRate(o), 50);
    o.tau = 0.2;
    EXPECT_EQ(Host::LeastRate(o), 125);
    o.tau = 0.19;  // 131.6
    EXPECT_EQ(Host::LeastRate(o), 132);
    o.tau = 0.01;
    EXPECT_EQ(Host::LeastRate(o), 2500);
}

// Half a step (0.000125 L/s) on every sample of a quiet breath of 1.6 + 2.4 s, 3 % of 80 % of
// the mean: 0.0208 L, to the millilitre above 0.021; of a forced one of 7 s, 0.0292 L: 0.030. At
// those volumes each breath's samples, summed over its inspiration and its expiration, hold its
// volume within 3 %.
TEST(SyntheticLimits, TheLeastVolumesSurviveTheSixteenBitSamples)
{
    Host::SyntheticOptions o;
    EXPECT_DOUBLE_EQ(Host::LeastTidalVolume(o), 0.021);
    EXPECT_DOUBLE_EQ(Host::LeastForcedVolume(o), 0.03);
    o.noise = 0;
    o.drift = 0;
    o.tidalVolume = Host::LeastTidalVolume(o);
    o.forcedVolume = Host::LeastForcedVolume(o);
    const SyntheticBreathing synth(o);
    const Host::Recording r = synth.MakeRecording("least.edf");
    for (const SyntheticBreath& b : synth.Breaths()) {
        const auto sum = [&](double from, double to) {
            double volume = 0;
            for (auto i = uint32_t(std::lround(from * o.rate)); i < uint32_t(std::lround(to * o.rate)); ++i)
                volume += r.PhysicalAt(0, 0, i) * o.headScale / o.rate;
            return volume;
        };
        EXPECT_NEAR(sum(b.start, b.start + b.ti), b.volume, 0.03 * b.volume) << b.start;
        EXPECT_NEAR(-sum(b.start + b.ti, b.start + b.Duration()), b.volume, 0.03 * b.volume) << b.start;
    }
}

}  // namespace
