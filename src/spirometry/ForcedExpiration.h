// What a breath breathes out in a given time from the start of its expiration, as the reports
// give FEV1 and the data view marks it. The expiration starts at time zero, found by
// back-extrapolation: the line through the peak expiratory flow's point, with that flow's
// slope, meets the breath's highest volume there (to the nearest sample), so that a pause at
// full inspiration is not timed as part of the expiration. The time never reaches past the
// breath's end: a breath breathed out sooner has breathed out its whole volume.
#pragma once

#include "KVDTypes.h"

namespace Spirometry {

class SpiroDocument;
struct Breath;

struct ForcedExpiration {
    // What the breath breathes out in the seconds from its time zero.
    static ForcedExpiration Of(const SpiroDocument& document, const Breath& breath, double seconds);
    // Time zero of the breath's expiration: from its highest volume to its peak expiratory flow.
    static KVDPosition TimeZero(const SpiroDocument& document, const Breath& breath);

    KVDPosition timeZero{kNoPositionTick, kNoPositionRecord};
    KVDPosition timed{kNoPositionTick, kNoPositionRecord};  // the seconds after time zero
    // False when the data end inside the breath before the seconds have passed.
    bool read = false;
    // Litres breathed out from the highest volume: from none to the breath's volume.
    double volume = 0.0;
};

}  // namespace Spirometry
