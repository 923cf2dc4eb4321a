// The hand-made flow recordings the breath tests draw: where samples fall, what each piece
// breathes, where a cut recording begins, and the noise of each kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "support/FlowScript.h"

namespace {

using TestSupport::FlowScript;

const double kPi = std::acos(-1.0);

double Litres(const std::vector<float>& flow, size_t from, size_t to, double rate)
{
    return std::accumulate(flow.begin() + from, flow.begin() + to, 0.0) / rate;
}

// 20 ms of rest, 1 L in over 0.5 s (peak pi L/s), 2 L out falling with tau 0.5 s over 1 s.
FlowScript RestInOut()
{
    FlowScript script;
    return script.Rest(0.02).Inspire(0.5, 1.0).ExpireExponential(1.0, 2.0, 0.5);
}

TEST(FlowScript, SamplesFallOnTicksOrHalfATickLater)
{
    const double peak = 2.0 / (1.0 - std::exp(-2.0)) / 0.5;
    const std::vector<float> onTicks = RestInOut().Flow(100);
    ASSERT_EQ(onTicks.size(), 152u);
    EXPECT_EQ(onTicks[1], 0.0f);
    // The inspiration's first sample lies on its zero; the sample on a boundary is the later
    // piece's.
    EXPECT_EQ(onTicks[2], 0.0f);
    EXPECT_FLOAT_EQ(onTicks[3], float(kPi * std::sin(kPi / 50)));
    EXPECT_FLOAT_EQ(onTicks[52], float(-peak));

    FlowScript script = RestInOut();
    const std::vector<float> midTick = script.MidTick().Flow(100);
    ASSERT_EQ(midTick.size(), 152u);
    EXPECT_EQ(script.Ticks(100), 152u);
    EXPECT_EQ(midTick[1], 0.0f);
    EXPECT_FLOAT_EQ(midTick[2], float(kPi * std::sin(kPi / 100)));
    EXPECT_FLOAT_EQ(midTick[51], midTick[2]);
    EXPECT_FLOAT_EQ(midTick[52], float(-peak * std::exp(-0.01)));
}

// Each piece breathes its litres, the exponential expiration's first second what its FEV1
// says; its span and volume are an expiration's.
TEST(FlowScript, PiecesBreatheTheirVolumes)
{
    EXPECT_NEAR(FlowScript::ExponentialFev1(5.0, 3.5, 0.5), 3.0264639, 1e-7);
    const double rate = 1000;
    FlowScript script;
    script.MidTick().Rest(1).Inspire(2.0, 3.5).ExpireExponential(5.0, 3.5, 0.5).Rest(1);
    const std::vector<float> flow = script.Flow(rate);
    ASSERT_EQ(flow.size(), 9000u);
    EXPECT_NEAR(Litres(flow, 1000, 3000, rate), 3.5, 1e-5);
    EXPECT_NEAR(Litres(flow, 3000, 8000, rate), -3.5, 1e-5);
    EXPECT_NEAR(Litres(flow, 3000, 4000, rate), -FlowScript::ExponentialFev1(5.0, 3.5, 0.5), 1e-5);
    const std::vector<FlowScript::Expiration> expirations = script.Expirations();
    ASSERT_EQ(expirations.size(), 1u);
    EXPECT_DOUBLE_EQ(expirations[0].onset, 3.0);
    EXPECT_DOUBLE_EQ(expirations[0].end, 8.0);
    EXPECT_DOUBLE_EQ(expirations[0].restBefore, 0.0);
    EXPECT_DOUBLE_EQ(expirations[0].volume, 3.5);

    // Quiet breaths: 0.5 L each way, 4 s each.
    FlowScript quiet;
    const std::vector<float> breaths = quiet.MidTick().Quiet(2).Flow(100);
    ASSERT_EQ(breaths.size(), 800u);
    EXPECT_NEAR(Litres(breaths, 400, 550, 100), 0.5, 1e-4);
    EXPECT_NEAR(Litres(breaths, 550, 750, 100), -0.5, 1e-4);
    EXPECT_EQ(breaths[799], 0.0f);
}

// Sampled half a tick late, a recording cut at whole ticks is the uncut one without its first
// samples.
TEST(FlowScript, ACutRecordingBeginsLater)
{
    FlowScript whole;
    whole.MidTick().Quiet(3);
    FlowScript cut = whole;
    const std::vector<float> all = whole.Flow(100);
    const std::vector<float> later = cut.CutAt(0.75).Flow(100);
    ASSERT_EQ(later.size(), all.size() - 75);
    for (size_t tick = 0; tick < later.size(); ++tick)
        ASSERT_NEAR(later[tick], all[tick + 75], 1e-6) << tick;
}

// Uniform noise stays within its amplitude, normal noise has its deviation; each the same for a
// seed.
TEST(FlowScript, NoiseOfEachKind)
{
    FlowScript rest;
    rest.Rest(100);
    FlowScript uniform = rest, normal = rest;
    const std::vector<float> u = uniform.Noise(0.01, 5).Flow(100);
    const std::vector<float> n = normal.NormalNoise(0.01, 5).Flow(100);
    EXPECT_EQ(n, normal.Flow(100));
    EXPECT_NE(n, rest.NormalNoise(0.01, 6).Flow(100));
    auto deviation = [](const std::vector<float>& x) {
        return std::sqrt(std::inner_product(x.begin(), x.end(), x.begin(), 0.0) / double(x.size()));
    };
    double widest = 0;
    for (float x : u)
        widest = std::max(widest, std::fabs(double(x)));
    EXPECT_LE(widest, 0.01);
    EXPECT_NEAR(deviation(u), 0.01 / std::sqrt(3.0), 0.0002);
    EXPECT_NEAR(deviation(n), 0.01, 0.0003);
    EXPECT_NEAR(std::accumulate(n.begin(), n.end(), 0.0) / double(n.size()), 0.0, 4e-4);
}

}  // namespace
