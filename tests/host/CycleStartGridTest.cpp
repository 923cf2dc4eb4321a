// Where the host's cycle detection puts the starts of breathing both ways over settings and
// recordings the analytic cases hold fixed: every minimum cycle shorter than the cycles, rates
// from 50 Hz to 1 kHz, inspirations shorter than the minimum cycle or longer than the
// expirations; and long noisy generated recordings, whose starts are judged against the
// generator's true breaths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host/calc/CycleDetector.h"
#include "host/synth/SyntheticBreathing.h"

namespace {

using HostCalc::CycleDetector;
using HostCalc::CycleSettings;
using HostCalc::CycleStart;

constexpr double kPi = 3.14159265358979323846;

// Starts in seconds.
std::vector<double> StartTimes(const CycleSettings& settings, const std::vector<float>& signal, double rate)
{
    CycleDetector detector;
    std::vector<double> starts;
    for (size_t i = 0; i < signal.size(); ++i) {
        CycleStart found;
        if (detector.Push(settings, 1.0 / rate, static_cast<int32_t>(i), signal[i], found))
            starts.push_back(found.position / rate);
    }
    return starts;
}

CycleSettings Settings(double level, double minimumCycle)
{
    CycleSettings s;
    s.level = level;
    s.hysteresis = 0.5;
    s.minimumCycle = minimumCycle;
    s.smoothing = 8.0;
    return s;
}

// Breathing both ways, each half sin^2-shaped and of 0.5 L: in over ti, out over the rest of
// the cycle. Cycle k lasts period (1 +- 0.05 (0.5 + 0.5 frac(0.618 k))), the sign alternating,
// its inspiration in proportion.
struct Sin2Breathing {
    double period, ti;
    double lead;  // s into the first cycle where the recording begins

    double Scale(int k) const
    {
        const double share = 0.5 + 0.5 * std::fmod(0.618 * k, 1.0);
        return 1.0 + (k % 2 == 0 ? 0.05 : -0.05) * share;
    }
    double Shortest() const { return period * 0.95; }
    // Expiration-only where the inspirations are rests at zero.
    double Flow(double t, bool twoSided = true) const
    {
        double start = -lead;
        for (int k = 0;; ++k) {
            const double ti_k = ti * Scale(k);
            const double te_k = (period - ti) * Scale(k);
            const double s = t - start;
            if (s < ti_k)
                return twoSided ? 1.0 / ti_k * std::pow(std::sin(kPi * s / ti_k), 2) : 0.0;
            if (s < ti_k + te_k)
                return -1.0 / te_k * std::pow(std::sin(kPi * (s - ti_k) / te_k), 2);
            start += ti_k + te_k;
        }
    }
    // Where the flow rises through level (above 0) in each cycle, in the recording's time.
    std::vector<double> Starts(double level, double seconds) const
    {
        std::vector<double> starts;
        double start = -lead;
        for (int k = 0; start < seconds; ++k) {
            const double ti_k = ti * Scale(k);
            starts.push_back(start + ti_k / kPi * std::asin(std::sqrt(level * ti_k)));
            start += period * Scale(k);
        }
        return starts;
    }
    // Expiration-only, where the flow comes back up through level (at or below 0) at the end of
    // each expiration, in the recording's time.
    std::vector<double> Ends(double level, double seconds) const
    {
        std::vector<double> ends;
        double start = -lead;
        for (int k = 0; start < seconds; ++k) {
            const double te_k = (period - ti) * Scale(k);
            start += period * Scale(k);
            ends.push_back(start - te_k / kPi * std::asin(std::sqrt(-level * te_k)));
        }
        return ends;
    }
    std::vector<float> Sampled(double seconds, double rate, double noise, bool twoSided = true) const
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> jitter(-noise, noise);
        std::vector<float> out(static_cast<size_t>(seconds * rate));
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<float>(Flow(i / rate, twoSided) + (noise > 0 ? jitter(random) : 0.0));
        return out;
    }
    // Where each cycle's start may lie after rest seconds of noise: both ways, about where the
    // inspiration begins; expiration-only, in the rest after each expiration (where the noise
    // takes the signal back to the level).
    std::vector<std::pair<double, double>> Windows(double rest, double seconds, bool twoSided, double tolerance) const
    {
        std::vector<std::pair<double, double>> windows;
        double start = rest - lead;
        for (int k = 0; start < seconds; ++k) {
            const double end = start + ti * Scale(k) + (period - ti) * Scale(k);
            if (twoSided)
                windows.push_back({start - tolerance, start + tolerance});
            else
                windows.push_back({end - tolerance, end + ti * Scale(k + 1) + tolerance});
            start = end;
        }
        return windows;
    }
    // Noise alone, uniform within +-noise and drawn from seed, for rest seconds, then the breathing
    // with that noise on it.
    std::vector<float> AfterRest(double rest, double seconds, double rate, double noise, unsigned seed,
                                 bool twoSided) const
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> jitter(-noise, noise);
        std::vector<float> out(static_cast<size_t>(seconds * rate));
        for (size_t i = 0; i < out.size(); ++i) {
            const double t = i / rate;
            out[i] = static_cast<float>((t < rest ? 0.0 : Flow(t - rest, twoSided)) + jitter(random));
        }
        return out;
    }
};

// Every true start after the first one within the recording, but for those in its last settle
// seconds (not yet confirmed), has a start within tolerance, and every start lies within
// tolerance of a true one. Counted as missed plus spurious.
int WrongStarts(const std::vector<double>& truth, const std::vector<double>& found, double seconds, double tolerance,
                double settle = 0.5)
{
    auto near = [&](double t, const std::vector<double>& at) {
        return std::any_of(at.begin(), at.end(), [&](double a) { return std::fabs(a - t) <= tolerance; });
    };
    std::vector<double> inside;
    for (double t : truth)
        if (t > 0.0 && t < seconds - settle)
            inside.push_back(t);
    int wrong = 0;
    for (size_t k = 1; k < inside.size(); ++k)
        wrong += near(inside[k], found) ? 0 : 1;
    for (double t : found)
        wrong += near(t, truth) ? 0 : 1;
    return wrong;
}

// Two-sided breathing of these (cycle, inspiration) shapes, begun at an inspiration or halfway
// through an expiration, at these rates, clean and with noise of 0.005 L/s under a level above
// it: for every minimum cycle given (as seconds, or as shares of the shortest cycle when below
// 1), every start after the first is found and none besides.
void ExpectEveryStartAfterTheFirst(const std::vector<std::pair<double, double>>& shapes,
                                   const std::vector<double>& rates, const std::vector<double>& minima,
                                   const std::vector<double>& shares)
{
    for (const auto& [period, ti] : shapes) {
        for (double lead : {0.0, ti + (period - ti) / 2}) {
            const Sin2Breathing breathing{period, ti, lead};
            const double seconds = std::max(12.0, 8 * period);
            std::vector<double> cycles = minima;
            for (double share : shares)
                cycles.push_back(share * breathing.Shortest());
            for (double rate : rates) {
                for (double noise : {0.0, 0.005}) {
                    const double level = noise > 0 ? 0.01 : 0.0;
                    const std::vector<float> flow = breathing.Sampled(seconds, rate, noise);
                    const std::vector<double> truth = breathing.Starts(level, seconds);
                    for (double minimum : cycles) {
                        const std::vector<double> found = StartTimes(Settings(level, minimum), flow, rate);
                        EXPECT_EQ(WrongStarts(truth, found, seconds, 0.05 + 4.0 / rate), 0)
                            << "cycle " << period << " s, inspiration " << ti << " s, begun " << lead << " s in, "
                            << rate << " Hz, noise " << noise << ", minimum cycle " << minimum << " s: "
                            << found.size() << " starts";
                    }
                }
            }
        }
    }
}

// Inspirations shorter than the minimum cycle (0.4 s at 60 breaths a minute, 1.4 s in cycles of
// 4.5 s), and halves of one length: with every minimum cycle up to just below the shortest
// cycle, at 50 Hz to 1 kHz.
TEST(CycleStartGrid, EveryStartAfterTheFirstForEveryMinimumCycleShorterThanTheCycles)
{
    ExpectEveryStartAfterTheFirst({{1.0, 0.4}, {4.5, 1.4}, {5.0, 2.5}}, {50.0, 100.0, 200.0, 1000.0},
                                  {0.0, 0.2, 0.5}, {0.6, 0.95});
}

// Inspirations longer than the expirations (1.5 s of 2 s, 4 s of 5 s, 0.8 s of 1 s): the short
// expiration dips three or four times deeper than the inspiration peaks, and neither half stays
// beyond the hysteresis for half the minimum cycle.
TEST(CycleStartGrid, InspirationsLongerThanExpirationsStartEveryCycle)
{
    ExpectEveryStartAfterTheFirst({{2.0, 1.5}, {5.0, 4.0}, {1.0, 0.8}}, {50.0, 200.0, 1000.0}, {0.2}, {0.6, 0.95});
}

// Expiration-only flow whose expirations are shorter than half the minimum cycle, each followed
// by a rest at zero of the rest of the cycle (1 s or 2.5 s expirations every 5 s, 0.2 s every
// second): with every minimum cycle up to just below the shortest cycle, at 50 Hz to 1 kHz,
// clean at level 0 and with noise of 0.005 L/s under a level of -0.01, begun at a rest or
// halfway through an expiration, every start after the first is found (where the expiration
// comes back to the level) and none besides. Each start is known once the next expiration
// begins, a rest later.
TEST(CycleStartGrid, ShortExpirationsWithLongRestsStartEveryCycle)
{
    for (const auto& [period, rest] : {std::pair{5.0, 4.0}, std::pair{5.0, 2.5}, std::pair{1.0, 0.8}}) {
        for (double lead : {0.0, rest + (period - rest) / 2}) {
            const Sin2Breathing breathing{period, rest, lead};
            const double seconds = std::max(12.0, 8 * period);
            for (double rate : {50.0, 100.0, 200.0, 1000.0}) {
                for (double noise : {0.0, 0.005}) {
                    const double level = noise > 0 ? -0.01 : 0.0;
                    const std::vector<float> flow = breathing.Sampled(seconds, rate, noise, false);
                    const std::vector<double> truth = breathing.Ends(level, seconds);
                    for (double minimum : {0.2, 0.6 * breathing.Shortest(), 0.95 * breathing.Shortest()}) {
                        const std::vector<double> found = StartTimes(Settings(level, minimum), flow, rate);
                        EXPECT_EQ(WrongStarts(truth, found, seconds, 0.05 + 4.0 / rate, rest * 1.05 + 0.1), 0)
                            << "cycle " << period << " s, rest " << rest << " s, begun " << lead << " s in, " << rate
                            << " Hz, noise " << noise << ", minimum cycle " << minimum << " s: " << found.size()
                            << " starts";
                    }
                }
            }
        }
    }
}

// Noise in a rest before the first breath is no cycle, at the formula's default minimum cycle,
// the expiratory-only tidal volume's and a longer one, 50 Hz to 1 kHz, breathing both ways (60
// breaths a minute) or expiration-only (1 s expirations, 1 s rests), for many draws of the noise.
// One start may come before the second breath's: the first breath's (noise that just rose
// through the level before an inspiration may carry it up to 0.5 s earlier); each breath after
// it has one start.
TEST(CycleStartGrid, NoiseInARestBeforeTheFirstBreathStartsNothing)
{
    const double rest = 4.0;
    for (bool twoSided : {true, false}) {
        const Sin2Breathing breathing = twoSided ? Sin2Breathing{1.0, 0.4, 0.0} : Sin2Breathing{2.0, 1.0, 0.0};
        const double seconds = rest + 4 * breathing.period;
        for (double rate : {50.0, 100.0, 200.0, 1000.0}) {
            const double tolerance = 0.05 + 4.0 / rate;
            // The last window's start is confirmed only once the next breath has begun.
            const std::vector<std::pair<double, double>> windows =
                breathing.Windows(rest, seconds - breathing.period, twoSided, tolerance);
            for (double noise : {0.005, 0.02}) {
                for (unsigned seed = 1; seed <= 20; ++seed) {
                    const std::vector<float> flow = breathing.AfterRest(rest, seconds, rate, noise, seed, twoSided);
                    for (double minimum : {0.2, 0.5, 0.9}) {
                        const std::vector<double> found = StartTimes(Settings(0.0, minimum), flow, rate);
                        std::ostringstream where;
                        where << (twoSided ? "both ways, " : "expiration-only, ") << rate << " Hz, noise " << noise
                              << " drawn from " << seed << ", minimum cycle " << minimum << " s: starts at";
                        for (double t : found)
                            where << ' ' << t;
                        auto within = [&](double from, double to) {
                            return std::count_if(found.begin(), found.end(),
                                                 [&](double t) { return t >= from && t <= to; });
                        };
                        EXPECT_EQ(within(0.0, windows[0].first - 0.5), 0) << where.str();
                        EXPECT_LE(within(0.0, windows[1].first), 1) << where.str();
                        for (size_t k = 1; k < windows.size(); ++k)
                            EXPECT_EQ(within(windows[k].first, windows[k].second), 1)
                                << "breath " << k + 1 << "; " << where.str();
                    }
                }
            }
        }
    }
}

// Wrong events against the generator's breaths: an event within 0.15 s of an expiration's onset
// or more than 0.15 s from every start and onset, and a start with no event within 0.15 s;
// events before from s are not judged, but for one that matches a start.
int WrongEvents(const std::vector<double>& events, const std::vector<Host::SyntheticBreath>& breaths,
                double from = 3.0)
{
    constexpr double kTolerance = 0.15;
    std::vector<double> starts, onsets;
    for (const Host::SyntheticBreath& b : breaths) {
        starts.push_back(b.start);
        onsets.push_back(b.start + b.ti);
    }
    auto near = [&](double t, const std::vector<double>& at) {
        return std::any_of(at.begin(), at.end(), [&](double a) { return std::fabs(a - t) <= kTolerance; });
    };
    std::vector<double> judged;
    std::copy_if(events.begin(), events.end(), std::back_inserter(judged),
                 [&](double t) { return t >= from || near(t, starts); });
    int wrong = 0;
    for (double t : judged)
        wrong += near(t, onsets) || !near(t, starts) ? 1 : 0;
    for (double s : starts)
        wrong += near(s, judged) ? 0 : 1;
    return wrong;
}

std::vector<double> GeneratedStarts(int rate, double noise, uint32_t seed, double minimumCycle,
                                    std::vector<Host::SyntheticBreath>& breaths)
{
    Host::SyntheticOptions options;
    options.rate = rate;
    options.quietBreathsPerRun = 60;
    options.forcedBreaths = 2;
    options.noise = noise;
    options.seed = seed;
    const Host::SyntheticBreathing synth(options);
    breaths = synth.Breaths();
    const Host::Recording recording = synth.MakeRecording("long.edf");
    std::vector<float> volts(recording.Record(0).ticks);
    for (uint32_t tick = 0; tick < volts.size(); ++tick)
        volts[tick] = static_cast<float>(recording.PhysicalAt(0, 0, tick));
    return StartTimes(Settings(0.0, minimumCycle), volts, rate);
}

// About 180 breaths at 200 Hz with noise of 0.08 L/s: noise at the end of an expiration that
// reaches the level and falls back is no start; the one wrong event is the closing inspiration's
// start, which the figures do not count as a breath.
TEST(CycleStartGrid, LongNoisyBreathingStartsAtItsInspirations)
{
    for (uint32_t seed : {1u, 2u}) {
        std::vector<Host::SyntheticBreath> breaths;
        const std::vector<double> starts = GeneratedStarts(200, 0.08, seed, 0.5, breaths);
        ASSERT_GT(breaths.size(), 180u);
        EXPECT_LE(WrongEvents(starts, breaths), 1) << "noise drawn from " << seed;
    }
}

// At 1 kHz with 8 samples' smoothing the noise crosses the level many times at each crossing of
// breathing, and may make the first phase's peak, the scale, its own size: a minimum cycle longer
// than the 1.5 s inspirations still finds the first breath, and the starts after it where the
// inspirations begin, not where noise first reaches the level. The one wrong event allowed is the
// closing inspiration's start.
TEST(CycleStartGrid, LongNoisyBreathingAtAKilohertzWithAMinimumCycleLongerThanItsInspirations)
{
    for (const auto& [noise, minimum] : {std::pair{0.05, 2.0}, std::pair{0.08, 3.0}}) {
        std::vector<Host::SyntheticBreath> breaths;
        const std::vector<double> starts = GeneratedStarts(1000, noise, 1, minimum, breaths);
        ASSERT_GT(breaths.size(), 180u);
        EXPECT_LE(WrongEvents(starts, breaths), 1) << "noise " << noise << ", minimum cycle " << minimum << " s";
        ASSERT_FALSE(starts.empty());
        EXPECT_LT(starts.front(), breaths.front().start + 0.15);
    }
}

// The judge itself: the right starts are no wrong events, nor is one just before the judged
// span that matches a start in it; one at an onset, one far from every breath, and a breath
// without one each are.
TEST(CycleStartGrid, WrongEventsCountOnsetsStraysAndMisses)
{
    const std::vector<Host::SyntheticBreath> breaths = {{false, 3.0, 1.5, 2.0, 0.5}, {false, 6.5, 1.5, 2.0, 0.5}};
    EXPECT_EQ(WrongEvents({1.0, 3.1, 6.4}, breaths), 0);
    EXPECT_EQ(WrongEvents({1.0, 2.99998, 6.4}, breaths), 0);
    EXPECT_EQ(WrongEvents({2.9, 6.4}, breaths, 5.0), 0);
    EXPECT_EQ(WrongEvents({3.1, 4.55, 6.4}, breaths), 1);
    EXPECT_EQ(WrongEvents({3.1, 5.5, 6.4}, breaths), 1);
    EXPECT_EQ(WrongEvents({3.1, 6.7}, breaths), 2);
}

// Breathing both ways every 4 s, sin^2-shaped halves, in over 1.2 to 1.5 s; a quarter of the
// breaths 15 to 30 % as deep as the others (0.5 L). With normal noise of 0.01 L/s, after an
// opening of opening s of normal noise of the given deviation (0: only the breathing's).
std::vector<float> AfterOpening(double opening, double deviation, double rate,
                                std::vector<Host::SyntheticBreath>& breaths)
{
    std::mt19937 random(static_cast<uint32_t>(rate + opening));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    breaths.clear();
    for (int k = 0; k < 60; ++k) {
        const double ti = 1.2 + 0.3 * uniform(random);
        const double volume = uniform(random) < 0.25 ? 0.5 * (0.15 + 0.15 * uniform(random)) : 0.5;
        breaths.push_back({false, opening + 4.0 * k, ti, 4.0 - ti, volume});
    }
    std::mt19937 opener(static_cast<uint32_t>(rate));
    std::normal_distribution<double> noise(0.0, 0.01), loud(0.0, deviation > 0 ? deviation : 1.0);
    std::vector<float> out(static_cast<size_t>((opening + 241.0) * rate));
    size_t k = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = i / rate;
        while (k + 1 < breaths.size() && t >= breaths[k + 1].start)
            ++k;
        const Host::SyntheticBreath& b = breaths[k];
        const double s = t - b.start;
        double flow = 0.0;
        if (s >= 0 && s < b.ti)
            flow = 2 * b.volume / b.ti * std::pow(std::sin(kPi * s / b.ti), 2);
        else if (s >= b.ti && s < b.Duration())
            flow = -2 * b.volume / b.te * std::pow(std::sin(kPi * (s - b.ti) / b.te), 2);
        out[i] = static_cast<float>(flow + noise(random) + (t < opening && deviation > 0 ? loud(opener) : 0.0));
    }
    return out;
}

// A noisy opening (a mouthpiece being fitted, the subject settling) lifts the noise floor only
// while it lasts: the breathing after it, shallow breaths too, is found as after a quiet one
// (within 2 wrong events), at the expiratory-only tidal volume's settings, 50 Hz to 1 kHz.
TEST(CycleStartGrid, BreathingAfterANoisyOpeningIsFoundAsAfterAQuietOne)
{
    for (double rate : {50.0, 100.0, 200.0, 1000.0}) {
        for (double opening : {5.0, 20.0}) {
            std::vector<Host::SyntheticBreath> breaths;
            const CycleSettings settings = Settings(0.0, 0.5);
            const int quiet = WrongEvents(StartTimes(settings, AfterOpening(opening, 0.0, rate, breaths), rate),
                                          breaths, opening);
            for (double deviation : {0.05, 0.1, 0.2}) {
                const std::vector<float> flow = AfterOpening(opening, deviation, rate, breaths);
                const std::vector<double> found = StartTimes(settings, flow, rate);
                EXPECT_LE(WrongEvents(found, breaths, opening), quiet + 2)
                    << rate << " Hz, " << opening << " s of noise of " << deviation << " L/s";
            }
        }
    }
}

}  // namespace
