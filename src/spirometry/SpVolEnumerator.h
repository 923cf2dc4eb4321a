// The volume event detector behind the formula function "SPEEVol": for each cycle of a
// "SPEEFlow" event stream it finds, on a volume channel, the largest volume and the lowest
// volume after it, and delivers the cycle with them as one breath. Plugged into the event
// framework as EEH3Enumerator<SpVolEnumerator, 8>.
#pragma once

#include "spirometry/DetectorParts.h"
#include "spirometry/SpDetectorEvents.h"

namespace Spirometry {

// The volume channel, then the flow cycles.
using SpVolParams = SampleAndEventParams<EEH3::EventWrapperEx<SpFlowEvent>>;

class SpVolState final : public EEH3::StateBase {
public:
    explicit SpVolState(int32_t startTick) : StateBase(startTick), mPosition(startTick) {}

    int32_t NextIncompleteTick() const override { return mPosition; }

    int32_t mPosition;  // of the cycle stream
};

struct SpVolAlgorithm {
    static bool FindEvent(SpVolState& state, SpVolParams& params, SpBreathEvent& event);
};

struct SpVolEnumerator : DetectorParts<SpVolParams, SpVolState, SpBreathEvent, SpVolAlgorithm> {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Spirometry
