// One detected breath: its positions and figures, as the document, the views and the reports
// read them. Positive flow is inspiration; the volume maximum divides inspiration from
// expiration, and maximum minus minimum is the breath's volume.
#pragma once

#include "KVDTypes.h"
#include "spirometry/SpDetectorEvents.h"

namespace Spirometry {

struct Breath {
    static constexpr KVDPosition kUnset{kNoPositionTick, kNoPositionRecord};

    Breath() = default;
    // The breath of a volume event found in the record.
    Breath(const SpBreathEvent& event, int32_t record);

    double Volume() const { return maxVolume - minVolume; }

    double peakPositiveFlow = 0.0;
    double peakNegativeFlow = 0.0;
    double maxVolume = -3.4028234663852886e38;
    double minVolume = 3.4028234663852886e38;
    bool forced = false;
    // A single expiration, without an inspiration of its own: a last breath that ended with the
    // data before a positive lobe above the level, or a first one that began inside an
    // inspiration.
    bool excluded = false;
    KVDPosition start = kUnset;  // the zero crossing that opens it
    KVDPosition end = kUnset;    // the zero crossing that closes it
    KVDPosition maxVolumePos = kUnset;
    KVDPosition minVolumePos = kUnset;
    KVDPosition peakPositiveFlowPos = kUnset;
    KVDPosition peakNegativeFlowPos = kUnset;
    KVDPosition reversalPos = kUnset;  // where the positive lobe ends
};

}  // namespace Spirometry
