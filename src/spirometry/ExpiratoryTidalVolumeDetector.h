// The expiratory-only tidal-volume detector behind the formula function
// "SpTidalVolumeExpiratory" ("SpTidVolExp"): the cycle boundaries come from an event stream,
// and for each interval between two boundaries it reports the volume that flowed in the
// negative direction, at the boundary that opens the interval. Plugged into the event framework
// as EEH3Enumerator<Expiratory::DetEx_ExpiratoryEnumerator, 8>.
#pragma once

#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3ParamsBase.h"
#include "calc/EEH3StateBase.h"

namespace Spirometry {
namespace Expiratory {

struct DetEx_ExpiratoryEvent : EEH3::EventHeader {
};

// The flow ("Tick Source") and the boundaries ("Event Source"); no settings of its own.
class DetEx_ExpiratoryEventDetectorParams : public EEH3::ParamsBase {
public:
    void getSettings(KVD::OStringStream& out) const override;
    void setSources(long count, IUnknown** sources, IUnitName** units) override;

    // Null until both are wired.
    EEH3::FloatExWrapper* Flow() const;
    EEH3::EventWrapper* Boundaries() const;
};

class DetEx_ExpiratoryDetectorState : public EEH3::StateBase {
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

struct DetEx_ExpiratoryEnumerator {
    using Params = DetEx_ExpiratoryEventDetectorParams;
    using State = DetEx_ExpiratoryDetectorState;
    using Event = DetEx_ExpiratoryEvent;
    using Algorithm = DetEx_ExpiratoryEventAlgorithm;

    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Expiratory
}  // namespace Spirometry
