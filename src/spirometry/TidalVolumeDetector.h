// The tidal-volume detector behind the formula function "SpTidalVolume" ("SpTidVol"): it finds
// the breathing cycles from the sign of the flow and reports, once per cycle at the cycle's
// first sample, the volume that flowed in the negative direction during it. Each sample adds
// its flow times the sampling value (seconds per sample), so L/s gives litres. Plugged into
// the event framework as EEH3Enumerator<DetEx_Enumerator, 8>.
#pragma once

#include "spirometry/DetectorParts.h"

namespace Spirometry {

// The 16-byte common header: the cycle's first tick and its tidal volume.
struct DetEx_Event : EEH3::EventHeader {
};

// The flow ("Tick Source"); Height is kept and written back, and no step of the detection
// reads it.
class DetEx_EventDetectorParams : public EEH3::ParamsBase {
public:
    void setSettings(std::wistream& in) override;
    void getSettings(KVD::OStringStream& out) const override;

    // Null until a source is wired.
    EEH3::FloatExWrapper* Flow() const;

    double mHeight = 0.0;
};

class DetEx_DetectorState final : public EEH3::StateBase {
public:
    explicit DetEx_DetectorState(int32_t startTick) : StateBase(startTick), mNextIncompleteTick(startTick) {}

    int32_t NextIncompleteTick() const override { return mNextIncompleteTick; }

    int32_t mPhase = 0;              // 0 not yet known, 1 positive, 2 negative
    double mPositiveVolume = 0.0;    // since the cycle began
    double mNegativeVolume = 0.0;    // magnitude, since the cycle began
    int32_t mCycleStartTick = 0;
    double mPreviousNegativeVolume = 0.0;  // of the last completed cycle
    int32_t mNextIncompleteTick;
};

struct DetEx_EventAlgorithm {
    static bool FindEvent(DetEx_DetectorState& state, DetEx_EventDetectorParams& params, DetEx_Event& event);
};

struct DetEx_Enumerator
    : DetectorParts<DetEx_EventDetectorParams, DetEx_DetectorState, DetEx_Event, DetEx_EventAlgorithm> {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Spirometry
