#include "spirometry/ForcedExpiration.h"

#include <algorithm>
#include <cmath>

#include "spirometry/SpiroDocument.h"

namespace Spirometry {

KVDPosition ForcedExpiration::TimeZero(const SpiroDocument& document, const Breath& breath)
{
    const KVDPosition top = breath.maxVolumePos;
    const KVDPosition peak = breath.peakNegativeFlowPos;
    float peakVolume = 0.0f;
    if (peak.record != top.record || peak.tick <= top.tick || !(breath.peakNegativeFlow < 0.0) ||
        !document.DataAt(peak, nullptr, &peakVolume, false))
        return top;
    const double ticksBack =
        (breath.maxVolume - double(peakVolume)) / -breath.peakNegativeFlow * document.TickRateAt(peak);
    const double tick = std::round(double(peak.tick) - ticksBack);
    return KVDPosition{uint32_t(std::clamp(tick, double(top.tick), double(peak.tick))), top.record};
}

ForcedExpiration ForcedExpiration::Of(const SpiroDocument& document, const Breath& breath, double seconds)
{
    ForcedExpiration e;
    e.timeZero = TimeZero(document, breath);
    if (!document.PositionAfter(e.timeZero, seconds, e.timed))
        return e;
    float volume = 0.0f;
    if (e.timed.tick < breath.end.tick) {
        e.read = document.DataAt(e.timed, nullptr, &volume, false);
        e.volume = std::clamp(breath.maxVolume - double(volume), 0.0, breath.Volume());
    } else {
        // Breathed out before the time is up, unless the data ended first.
        e.read = document.DataAt(breath.end, nullptr, nullptr, false);
        e.volume = breath.Volume();
    }
    return e;
}

}  // namespace Spirometry
