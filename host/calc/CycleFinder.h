// The host's formula function CycleStarts(source, level, hysteresis, minimum cycle (s),
// smoothing (samples), falling): an event at the start of each cycle of the source (a rise
// through the level, or a return to it from below), found by CycleDetector; each event's value
// is the length in seconds of the cycle it closes (0 for the first). It is the event formula of
// the cyclic-measurements part's cycle detection. Plugged into the event framework as
// EEH3Enumerator<CycleFinder, 8>.
#pragma once

#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3ParamsBase.h"
#include "calc/EEH3StateBase.h"
#include "host/calc/CycleDetector.h"

struct ICalcEnumClass2;

namespace HostCalc {

struct CycleStartEvent : EEH3::EventHeader {
};

// The numbers after the source, in the order of the formula; missing ones keep the defaults.
class CycleFinderParams : public EEH3::ParamsBase {
public:
    void setSettings(std::wistream& in) override;
    void getSettings(KVD::OStringStream& out) const override;

    // Null until a sample source is wired.
    EEH3::FloatExWrapper* Signal() const;

    CycleSettings mSettings;
    bool mValid = true;  // the settings lie in their ranges
};

class CycleFinderState final : public EEH3::StateBase {
public:
    explicit CycleFinderState(int32_t startTick) : StateBase(startTick), mNextTick(startTick) {}

    int32_t NextIncompleteTick() const override;

    CycleDetector mDetector;
    int32_t mNextTick;  // of the next sample to read
    bool mDone = false;  // nothing to find: no source, or settings out of range
};

struct CycleFinderAlgorithm {
    static bool FindEvent(CycleFinderState& state, CycleFinderParams& params, CycleStartEvent& event);
};

struct CycleFinder {
    using Params = CycleFinderParams;
    using State = CycleFinderState;
    using Event = CycleStartEvent;
    using Algorithm = CycleFinderAlgorithm;
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
};

// The function's class object (its description and its enumerators), made on first use and
// kept for the life of the process.
ICAFClassObject* CycleStartsClass();

}  // namespace HostCalc
