// The noise floor of the cycle detection against noise of known deviation: white, correlated as a
// flow head's filter leaves it, and a noisy stretch that ends.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/calc/NoiseFloor.h"

namespace {

using HostCalc::NoiseFloor;

// Feeds x, raw, and its moving mean over window samples; the deviation of that mean.
double Feed(NoiseFloor& floor, const std::vector<double>& x, int window, double rate)
{
    double sum = 0.0, squares = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        floor.PushRaw(window, 1.0 / rate, x[i]);
        if (i + 1 < static_cast<size_t>(window))
            continue;
        double mean = 0.0;
        for (int j = 0; j < window; ++j)
            mean += x[i - j] / window;
        floor.PushSmoothed(window, 1.0 / rate, mean);
        sum += mean;
        squares += mean * mean;
        ++count;
    }
    return std::sqrt(squares / count - (sum / count) * (sum / count));
}

// Normal noise of deviation, averaged over span samples (keeping that deviation), for seconds.
std::vector<double> Noise(double deviation, int span, double seconds, double rate, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> draw(0.0, deviation * std::sqrt(static_cast<double>(span)));
    std::vector<double> drawn(static_cast<size_t>(seconds * rate) + span), out;
    for (double& d : drawn)
        d = draw(random);
    for (size_t i = 0; i + span < drawn.size(); ++i) {
        double mean = 0.0;
        for (int j = 0; j < span; ++j)
            mean += drawn[i + j] / span;
        out.push_back(mean);
    }
    return out;
}

TEST(NoiseFloor, NothingSeenIsNoNoise)
{
    EXPECT_EQ(NoiseFloor{}.Deviation(), 0.0);
}

// White noise, and noise averaged over 3 or 10 samples, at a kilohertz under the moving mean of 8
// samples or none: the estimate is the smoothed noise's deviation within 15 %. (Second
// differences of neighbouring raw samples read the noise averaged over 10 samples, smoothed, as
// a ninth of it.)
TEST(NoiseFloor, ReadsWhiteAndCorrelatedNoiseAtAKilohertz)
{
    for (int span : {1, 3, 10}) {
        for (int window : {1, 8}) {
            NoiseFloor floor;
            const double smoothed = Feed(floor, Noise(0.05, span, 5.0, 1000.0, 3), window, 1000.0);
            EXPECT_NEAR(floor.Deviation(), smoothed, 0.15 * smoothed) << "averaged over " << span << ", window " << window;
        }
    }
}

// White noise at 50 Hz: the raw samples' second differences read it, divided by the root of the
// moving mean's length.
TEST(NoiseFloor, ReadsWhiteNoiseAtFiftyHertz)
{
    NoiseFloor floor;
    Feed(floor, Noise(0.1, 1, 10.0, 50.0, 5), 8, 50.0);
    EXPECT_NEAR(floor.Deviation(), 0.1 / std::sqrt(8.0), 0.15 * 0.1 / std::sqrt(8.0));
}

// 10 s of noise of 0.2 L/s, then 10 s of 0.01 L/s: the estimate follows it down within a few
// seconds; a burst of 0.3 s does not lift it.
TEST(NoiseFloor, FollowsTheRecordingAndNotABurst)
{
    for (double rate : {100.0, 1000.0}) {
        std::vector<double> x = Noise(0.2, 1, 10.0, rate, 7);
        const std::vector<double> quiet = Noise(0.01, 1, 10.0, rate, 8);
        x.insert(x.end(), quiet.begin(), quiet.end());
        const std::vector<double> burst = Noise(0.2, 1, 0.3, rate, 9);
        x.insert(x.end(), burst.begin(), burst.end());
        NoiseFloor floor;
        Feed(floor, x, 8, rate);
        const double expected = 0.01 / std::sqrt(8.0);
        EXPECT_NEAR(floor.Deviation(), expected, 0.2 * expected) << rate << " Hz";
    }
}

}  // namespace
