// The expiratory-only tidal-volume detector behind the formula function
// "SpTidalVolumeExpiratory" ("SpTidVolExp"): the cycle boundaries come from an event stream,
// and for each interval between two boundaries it reports the volume that flowed in the
// negative direction, at the boundary that opens the interval. Plugged into the event framework
// as EEH3Enumerator<Expiratory::DetEx_ExpiratoryEnumerator, 8>.
#pragma once

#include "spirometry/DetectorParts.h"

namespace Spirometry {
namespace Expiratory {

struct DetEx_ExpiratoryEvent : EEH3::EventHeader {
};

// The flow ("Tick Source") and the boundaries ("Event Source").
using DetEx_ExpiratoryEventDetectorParams = SampleAndEventParams<EEH3::EventWrapper>;

class DetEx_ExpiratoryDetectorState final : public EEH3::StateBase {
public:
    explicit DetEx_ExpiratoryDetectorState(int32_t startTick) : StateBase(startTick), mNextIncompleteTick(startTick) {}

    int32_t NextIncompleteTick() const override { return mNextIncompleteTick; }

    double mNegativeVolume = 0.0;  // magnitude, since the interval began
    int32_t mIntervalStartTick = 0;  // the last boundary consumed
    int32_t mNextIncompleteTick;
};

struct DetEx_ExpiratoryEventAlgorithm {
    static bool FindEvent(DetEx_ExpiratoryDetectorState& state, DetEx_ExpiratoryEventDetectorParams& params,
                          DetEx_ExpiratoryEvent& event);
};

struct DetEx_ExpiratoryEnumerator
    : DetectorParts<DetEx_ExpiratoryEventDetectorParams, DetEx_ExpiratoryDetectorState, DetEx_ExpiratoryEvent,
                    DetEx_ExpiratoryEventAlgorithm> {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Expiratory
}  // namespace Spirometry
