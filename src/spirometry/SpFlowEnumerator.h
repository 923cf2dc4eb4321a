// The flow event detector behind the formula function "SPEEFlow": it cuts a flow channel into
// breath cycles at its zero crossings. A cycle is one positive lobe followed by one negative
// lobe; it counts only when the positive lobe reached the detection level and the negative
// lobe its negative. Plugged into the event framework as EEH3Enumerator<SpFlowEnumerator, 8>.
#pragma once

#include "spirometry/DetectorParts.h"
#include "spirometry/SpDetectorEvents.h"

namespace Spirometry {

// The description both flow-event classes give the host.
inline constexpr wchar_t kFindsFlowEventsText[] = L"Finds Spirometry Flow Events";

// The flow channel and the detection level, in the flow channel's units.
class SpFlowParams : public EEH3::ParamsBase {
public:
    void setSettings(std::wistream& in) override;
    void getSettings(KVD::OStringStream& out) const override;

    // Null until a source is wired.
    EEH3::FloatExWrapper* Flow() const;

    double mLevel = 0.0;
};

// What the search changes sample by sample: plain data, which the search keeps in locals
// while it scans a block.
struct SpFlowScan {
    // Where the pending cycle began: a later search must see it whole.
    int32_t NextIncompleteTick() const { return mPending ? mEvent.startTick : mTick; }

    float mSample = 0.0f;  // the last sample read
    int32_t mTick = 0;     // of the next sample to read
    // 1 no crossing yet; 2 crossed, waiting to go beyond the level; 3 a cycle began; 4 it began
    // in the negative lobe before any event of the record; 5 seen beyond the level.
    int32_t mPhase = 1;
    bool mLevelExceeded = true;  // beyond the level since the last low point
    bool mNegativeSeen = true;   // negative flow in this cycle
    bool mPreviousSign = false;
    int32_t mLastCrossing = 0;
    bool mSign = false;
    int32_t mCount = 0;  // events delivered in this record
    bool mPending = false;
    float mLowValue = 0.0f;  // of the low point that marks the reversal
    SpFlowEvent mEvent{};    // the pending cycle
};

class SpFlowState final : public EEH3::StateBase, public SpFlowScan {
public:
    explicit SpFlowState(int32_t startTick);

    int32_t NextIncompleteTick() const override { return SpFlowScan::NextIncompleteTick(); }
};

struct SpFlowAlgorithm {
    static bool FindEvent(SpFlowState& state, SpFlowParams& params, SpFlowEvent& event);
};

struct SpFlowEnumerator : DetectorParts<SpFlowParams, SpFlowState, SpFlowEvent, SpFlowAlgorithm> {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Spirometry
