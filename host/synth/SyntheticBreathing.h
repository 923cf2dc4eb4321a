// A deterministic synthetic recording of a flow head: quiet breathing of unequal breaths,
// forced expirations with an exponential volume curve, baseline drift and noise, quiet at both
// ends. Inspiration is positive flow. It knows the true figures of every breath it made, as the
// report defines them: a breath runs from the zero crossing that opens its inspiration to the
// one that opens the next inspiration, and the volume maximum divides inspiration from
// expiration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/data/Recording.h"

namespace Host {

struct SyntheticOptions {
    int rate = 1000;             // ticks per second
    int quietBreathsPerRun = 6;  // quiet breaths before, between and after the forced ones
    int forcedBreaths = 2;
    double tidalVolume = 0.5;    // L, the mean of the quiet breaths; each differs by up to 20 %
    double forcedVolume = 3.5;   // L, the forced vital capacity
    double tau = 0.5;            // s, time constant of the forced expiration's volume curve
    double noise = 0.0001;       // L/s, standard deviation of the flow noise
    double drift = 0.002;        // L/s, baseline drift reached at the end of the recording
    double headScale = 2.0;      // L/s per volt of the raw signal
    double voltsPerStep = 0.000125;  // the raw channel's 16-bit step
    uint32_t seed = 1;
};

struct SyntheticBreath {
    bool forced = false;
    double start = 0;     // s, the zero crossing that opens the inspiration
    double ti = 0;        // s, start to the volume maximum
    double te = 0;        // s, volume maximum to the end
    double volume = 0;    // L, maximum minus the lowest volume after it (V_T, or FVC when forced)
    double pif = 0;       // L/s, peak inspiratory flow
    double pef = 0;       // L/s, peak expiratory flow
    double fev1 = 0;      // L, volume expired in the first second after the maximum (forced only)
    double Duration() const { return ti + te; }
};

struct SyntheticSummary {
    int breaths = 0;
    int nonForced = 0;
    double ve = 0;         // L/s over the non-forced breaths: their volume over their duration
    double frequency = 0;  // Hz over the non-forced breaths
};

// The largest flow the simulated head records, either way (L/s): its raw channel's 16-bit range
// through the head's gain. A flow beyond it would be clipped.
double FullScale(const SyntheticOptions& options);

// The largest volume (L) of a breath whose inspiration the head records: the slowest inspiration,
// a forced breath's, reaching full scale.
double LargestBreathVolume(const SyntheticOptions& options);

// The lowest rate (ticks per second) whose samples hold the breaths as the analysis measures
// them, within its tolerance on volumes (3 % or 50 mL): 50, and 25 ticks a time constant of the
// forced expiration, whose steep start a slower rate misplaces by a tick.
int LeastRate(const SyntheticOptions& options);

// The least mean tidal volume and forced volume (L, to the millilitre above) whose breaths the
// samples hold within 3 % however they round: half a step on every sample of the longest breath
// of the kind, the smallest quiet breath being 80 % of the mean.
double LeastTidalVolume(const SyntheticOptions& options);
double LeastForcedVolume(const SyntheticOptions& options);

// The largest deviate, either way, of the generator of the flow noise: the noise is at most this
// many standard deviations.
double LargestNoiseDeviate();

class SyntheticBreathing {
public:
    explicit SyntheticBreathing(const SyntheticOptions& options);

    const std::vector<SyntheticBreath>& Breaths() const { return mBreaths; }
    SyntheticSummary Summary() const;
    double Seconds() const { return mSeconds; }
    // The ticks (samples) of the recording.
    uint64_t Ticks() const;
    // The largest flow the recording can hold, either way (L/s): the highest peak of the true
    // flow plus the whole drift and the largest noise the generator draws.
    double PeakFlow() const;

    // The true flow in L/s at time t, without drift or noise.
    double Flow(double t) const;

    // One channel "Flow head" in volts, quantised to 16 bits; drift and noise added.
    Recording MakeRecording(const std::string& path) const;

private:
    // Flow(t) looking from breath `first` on, which it moves past the breaths over by t.
    double FlowFrom(double t, size_t& first) const;
    void PlanQuietBreath(double& t, int index);
    void PlanForcedBreath(double& t);

    SyntheticOptions mOptions;
    std::vector<SyntheticBreath> mBreaths;
    // The closing inspiration after the last breath: it makes the last breath end at a zero
    // crossing, and it is no breath itself (its cycle never shows expiration).
    SyntheticBreath mClosing;
    double mLeadIn = 3.0;
    double mSeconds = 0;
};

}  // namespace Host
