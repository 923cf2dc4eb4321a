// The volume event detector behind the formula function "SPEEVol": for each cycle of a
// "SPEEFlow" event stream it finds, on a volume channel, the largest volume and the lowest
// volume after it, and delivers the cycle with them as one breath. Plugged into the event
// framework as EEH3Enumerator<SpVolEnumerator, 8>.
#pragma once

#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3ParamsBase.h"
#include "calc/EEH3StateBase.h"
#include "spirometry/SpDetectorEvents.h"

namespace Spirometry {

// The volume channel, then the flow cycles; no settings of its own.
class SpVolParams : public EEH3::ParamsBase {
public:
    void getSettings(KVD::OStringStream& out) const override;
    void setSources(long count, IUnknown** sources, IUnitName** units) override;

    // Null until both sources are wired.
    EEH3::FloatExWrapper* Volume() const;
    EEH3::EventWrapperEx<SpFlowEvent>* Cycles() const;
};

class SpVolState : public EEH3::StateBase {
public:
    explicit SpVolState(int32_t startTick) : StateBase(startTick), mPosition(startTick) {}

    int32_t NextIncompleteTick() const override { return mPosition; }

    int32_t mPosition;  // of the cycle stream
};

struct SpVolAlgorithm {
    static bool FindEvent(SpVolState& state, SpVolParams& params, SpBreathEvent& event);
};

struct SpVolEnumerator {
    using Params = SpVolParams;
    using State = SpVolState;
    using Event = SpBreathEvent;
    using Algorithm = SpVolAlgorithm;

    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Spirometry
