// The single-pass breath detector behind the formula function "SpBreathEvent": it reads flow
// and volume side by side and finds inspiration (flow above the level), expiration and their
// landmarks in one pass, one SpBreathEvent per breath. Plugged into the event framework as
// EEH3Enumerator<SpBreathEventEnumerator, 8>.
#pragma once

#include "spirometry/DetectorParts.h"
#include "spirometry/SpDetectorEvents.h"

namespace Spirometry {

// The flow and volume channels and the level "mHeight", in flow units.
class SpBreathEventParams : public EEH3::ParamsBase {
public:
    void setSettings(std::wistream& in) override;
    void getSettings(KVD::OStringStream& out) const override;

    // Null until both are wired.
    EEH3::FloatExWrapper* Flow() const;
    EEH3::FloatExWrapper* Volume() const;

    double mHeight = 0.0;
};

class SpBreathEventState final : public EEH3::StateBase {
public:
    explicit SpBreathEventState(int32_t startTick) : StateBase(startTick), mTick(startTick), mStart{startTick, 0.0f} {}

    // Where the breath being looked at begins.
    int32_t NextIncompleteTick() const override { return mHitEnd ? EEH3::kNoTick : mStart.tick; }

    // A candidate landmark: where, and the flow there.
    struct Mark {
        int32_t tick;
        float value;
    };

    int32_t mTick;
    int32_t mMaxFlowTick = 0;
    int32_t mMinFlowTick = 0;
    float mMaxFlow = 0.0f;
    float mMinFlow = 0.0f;
    int32_t mPhase = 1;  // 1 waiting for a breath, 2 inspiration, 3 expiration
    Mark mStart;
    Mark mReversal{0, 0.0f};
    Mark mEnd{0, 0.0f};
    bool mStartFound = false;
    int32_t mMaxVolTick = 0;
    int32_t mMinVolTick = 0;
    float mMaxVol = 0.0f;
    float mMinVol = 0.0f;
    bool mBeganInExpiration = false;
    bool mReversalFound = false;
    // Phase 1 starts its search afresh once, not again when a search resumes at a new limit.
    bool mFreshSearch = true;
};

struct SpBreathEventAlgorithm {
    static bool FindEvent(SpBreathEventState& state, SpBreathEventParams& params, SpBreathEvent& event);
};

struct SpBreathEventEnumerator
    : DetectorParts<SpBreathEventParams, SpBreathEventState, SpBreathEvent, SpBreathEventAlgorithm> {
    static const CalcEnums::NumericParamsFuncTable sFuncTable;
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;
};

}  // namespace Spirometry
