// The figures of one breath, and the sums over the non-forced ones, as both reports give them:
// single-precision values in the flow unit's prefix, so that the CSV report and the report view
// print the same digits.
#pragma once

#include "KVDTypes.h"

namespace Spirometry {

class SpiroDocument;
struct Breath;

struct BreathFigures {
    static constexpr double kPerMinute = 60.0;

    // The breath's figures; scale takes litres to the prefixed unit.
    static BreathFigures Of(const SpiroDocument& document, const Breath& breath, double scale);
    // Seconds from a to b: ticks over the tick rate of the record of rateAt, in single precision.
    static float Seconds(const SpiroDocument& document, KVDPosition a, KVDPosition b, KVDPosition rateAt);

    double PifPerMinute() const { return double(pif) * kPerMinute; }
    double PefPerMinute() const { return double(pef) * kPerMinute; }
    // FEV1 as a share of FVC, in per cent.
    double Fev1Percent() const { return double(fev1 / volume) * 100.0; }

    float ti = 0.0f;
    float te = 0.0f;
    float duration = 0.0f;
    float volume = 0.0f;  // maximum less minimum volume: V_T, or FVC
    float pif = 0.0f;
    float pef = 0.0f;     // positive
    bool hasFev1 = false; // the breath ended, or the data lasted, one second into its expiration
    float fev1 = 0.0f;
};

// Sums over the non-forced breaths and what they give.
struct NonForcedSums {
    void Add(const BreathFigures& breath);
    float VolumePerSecond() const { return volume / duration; }
    float AverageVolume() const { return volume / float(count); }
    // Breaths a second; 0 without duration.
    float Frequency() const { return duration == 0.0f ? 0.0f : float(count) / duration; }

    float volume = 0.0f;
    float duration = 0.0f;
    int count = 0;
};

}  // namespace Spirometry
