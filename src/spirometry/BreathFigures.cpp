#include "spirometry/BreathFigures.h"

#include "spirometry/ForcedExpiration.h"
#include "spirometry/SpiroDocument.h"

namespace Spirometry {

float BreathFigures::Seconds(const SpiroDocument& document, KVDPosition a, KVDPosition b, KVDPosition rateAt)
{
    return float(document.TicksBetween(a, b)) / float(document.TickRateAt(rateAt));
}

BreathFigures BreathFigures::Of(const SpiroDocument& document, const Breath& breath, double scale)
{
    BreathFigures f;
    f.ti = Seconds(document, breath.start, breath.maxVolumePos, breath.start);
    f.te = Seconds(document, breath.maxVolumePos, breath.end, breath.maxVolumePos);
    f.duration = Seconds(document, breath.start, breath.end, breath.start);
    f.volume = float((breath.maxVolume - breath.minVolume) * scale);
    f.pif = float(breath.peakPositiveFlow * scale);
    f.pef = float(-breath.peakNegativeFlow * scale);
    const ForcedExpiration firstSecond = ForcedExpiration::Of(document, breath, 1.0);
    f.hasFev1 = firstSecond.read;
    if (f.hasFev1)
        f.fev1 = float(firstSecond.volume * scale);
    return f;
}

void NonForcedSums::Add(const BreathFigures& breath)
{
    volume += breath.volume;
    duration += breath.duration;
    ++count;
}

}  // namespace Spirometry
