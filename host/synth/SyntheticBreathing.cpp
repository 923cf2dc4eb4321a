#include "host/synth/SyntheticBreathing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace Host {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The values the noise's uniform deviates are drawn among: 2^32 + 1.
constexpr double kUniformSpan = 4294967297.0;
constexpr double kForcedTi = 2.0;  // s
constexpr double kForcedTe = 5.0;  // s
// Quiet breaths: Ti and Te, and how far each swings either way from breath to breath (s); and
// how far a breath's volume swings from the mean, as a share of it.
constexpr double kQuietTi = 1.5;
constexpr double kQuietTiSwing = 0.1;
constexpr double kQuietTe = 2.2;
constexpr double kQuietTeSwing = 0.2;
constexpr double kVolumeSwing = 0.2;
// The analysis's tolerance on a volume, as a share of it.
constexpr double kVolumeTolerance = 0.03;
constexpr int kLeastRate = 50;
constexpr double kLeastTicksPerTau = 25;

// Seconds rounded to whole ticks, so that every crossing lies on a tick.
double OnTick(double seconds, int rate) { return std::round(seconds * rate) / rate; }

// Half a step of the raw channel, as flow (L/s): the most a stored sample is off.
double HalfStepFlow(const SyntheticOptions& options) { return options.voltsPerStep * options.headScale / 2; }

// The least volume whose breaths of this duration (s) the samples hold within the tolerance.
double LeastVolume(const SyntheticOptions& options, double duration)
{
    return std::ceil(HalfStepFlow(options) * duration / kVolumeTolerance * 1000) / 1000;
}

// Normal deviates from the standard-specified Mersenne twister (Box-Muller), so that a seed
// makes the same recording everywhere.
class Noise {
public:
    explicit Noise(uint32_t seed) : mEngine(seed) {}
    double Next()
    {
        const double u1 = (mEngine() + 1.0) / kUniformSpan;
        const double u2 = mEngine() / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    std::mt19937 mEngine;
};

}  // namespace

double FullScale(const SyntheticOptions& options)
{
    return std::numeric_limits<int16_t>::max() * options.voltsPerStep * options.headScale;
}

// A half-sine inspiration of volume V over Ti peaks at pi V / (2 Ti).
double LargestBreathVolume(const SyntheticOptions& options)
{
    return FullScale(options) * 2.0 * kForcedTi / kPi;
}

int LeastRate(const SyntheticOptions& options)
{
    return std::max(kLeastRate, int(std::ceil(kLeastTicksPerTau / options.tau)));
}

double LeastTidalVolume(const SyntheticOptions& options)
{
    const double longest = kQuietTi + kQuietTiSwing + kQuietTe + kQuietTeSwing;
    return LeastVolume(options, longest / (1 - kVolumeSwing));
}

double LeastForcedVolume(const SyntheticOptions& options)
{
    return LeastVolume(options, kForcedTi + kForcedTe);
}

// Box-Muller's radius is largest at the smallest u1, 1 / kUniformSpan; the cosine is at most 1.
double LargestNoiseDeviate()
{
    return std::sqrt(2.0 * std::log(kUniformSpan));
}

SyntheticBreathing::SyntheticBreathing(const SyntheticOptions& options) : mOptions(options)
{
    double t = mLeadIn;
    int quiet = 0;
    for (int run = 0; run <= mOptions.forcedBreaths; ++run) {
        for (int i = 0; i < mOptions.quietBreathsPerRun; ++i)
            PlanQuietBreath(t, quiet++);
        if (run < mOptions.forcedBreaths)
            PlanForcedBreath(t);
    }
    mClosing.start = t;
    mClosing.ti = 1.5;
    mClosing.volume = mOptions.tidalVolume;
    mClosing.pif = kPi * mClosing.volume / (2.0 * mClosing.ti);
    // Quiet after the closing inspiration, to a whole second.
    mSeconds = std::ceil(t + mClosing.ti + 2.0);
}

// A quiet breath: half-sine inspiration and expiration lobes of equal volume. Sizes and
// timing vary from breath to breath by a fixed pattern.
void SyntheticBreathing::PlanQuietBreath(double& t, int index)
{
    SyntheticBreath b;
    b.start = t;
    b.ti = OnTick(kQuietTi + kQuietTiSwing * std::sin(1.3 * index), mOptions.rate);
    b.te = OnTick(kQuietTe + kQuietTeSwing * std::cos(0.7 * index), mOptions.rate);
    b.volume = mOptions.tidalVolume * (1.0 + kVolumeSwing * std::sin(2.1 * index + 0.5));
    b.pif = kPi * b.volume / (2.0 * b.ti);
    b.pef = kPi * b.volume / (2.0 * b.te);
    mBreaths.push_back(b);
    t += b.ti + b.te;
}

// A forced breath: a deep half-sine inspiration, then an expiration whose expired volume is
// A (1 - exp(-s / tau)), cut after te; the inspiration takes in what is expired.
void SyntheticBreathing::PlanForcedBreath(double& t)
{
    SyntheticBreath b;
    b.forced = true;
    b.start = t;
    b.ti = kForcedTi;
    b.te = kForcedTe;
    b.volume = mOptions.forcedVolume;
    const double amplitude = b.volume / (1.0 - std::exp(-b.te / mOptions.tau));
    b.pif = kPi * b.volume / (2.0 * b.ti);
    b.pef = amplitude / mOptions.tau;
    b.fev1 = amplitude * (1.0 - std::exp(-1.0 / mOptions.tau));
    mBreaths.push_back(b);
    t += b.ti + b.te;
}

double SyntheticBreathing::Flow(double t) const
{
    size_t first = 0;
    return FlowFrom(t, first);
}

// Breaths lie in time order, so a breath already over at t is over at every later time: a
// caller stepping forward in time keeps `first` and never looks at a finished breath again.
double SyntheticBreathing::FlowFrom(double t, size_t& first) const
{
    while (first < mBreaths.size() && t - mBreaths[first].start >= mBreaths[first].Duration())
        ++first;
    // Later breaths begin later still: when this one has not begun, none has.
    if (first < mBreaths.size() && t - mBreaths[first].start >= 0) {
        const SyntheticBreath& b = mBreaths[first];
        const double s = t - b.start;
        if (s < b.ti)
            return b.pif * std::sin(kPi * s / b.ti);
        const double e = s - b.ti;
        if (b.forced)
            return -b.pef * std::exp(-e / mOptions.tau);
        return -b.pef * std::sin(kPi * e / b.te);
    }
    const double s = t - mClosing.start;
    if (s >= 0 && s < mClosing.ti)
        return mClosing.pif * std::sin(kPi * s / mClosing.ti);
    return 0.0;
}

uint64_t SyntheticBreathing::Ticks() const
{
    return static_cast<uint64_t>(std::llround(mSeconds * mOptions.rate));
}

double SyntheticBreathing::PeakFlow() const
{
    double peak = mClosing.pif;
    for (const SyntheticBreath& b : mBreaths)
        peak = std::max({peak, b.pif, b.pef});
    return peak + std::abs(mOptions.drift) + mOptions.noise * LargestNoiseDeviate();
}

SyntheticSummary SyntheticBreathing::Summary() const
{
    SyntheticSummary summary;
    summary.breaths = static_cast<int>(mBreaths.size());
    double volume = 0, duration = 0;
    for (const SyntheticBreath& b : mBreaths) {
        if (b.forced)
            continue;
        ++summary.nonForced;
        volume += b.volume;
        duration += b.Duration();
    }
    if (duration > 0) {
        summary.ve = volume / duration;
        summary.frequency = summary.nonForced / duration;
    }
    return summary;
}

Recording SyntheticBreathing::MakeRecording(const std::string& path) const
{
    ChannelFormat head{"Flow head", "V", mOptions.voltsPerStep, 0.0};
    Recording recording(path, mOptions.rate, {head});
    RecordBlock block;
    block.ticks = static_cast<uint32_t>(Ticks());
    block.samples.emplace_back(block.ticks);
    Noise noise(mOptions.seed);
    size_t breath = 0;
    for (uint32_t i = 0; i < block.ticks; ++i) {
        const double t = double(i) / mOptions.rate;
        const double flow = FlowFrom(t, breath) + mOptions.drift * t / mSeconds + mOptions.noise * noise.Next();
        block.samples[0][i] = head.Raw(flow / mOptions.headScale);
    }
    recording.AddRecord(std::move(block));
    return recording;
}

}  // namespace Host
