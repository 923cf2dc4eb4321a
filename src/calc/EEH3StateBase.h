// The running state of an event detector within one record. The framework copies it to keep
// checkpoints, and saves and restores the positions of the detector's sources with it, so a
// search can resume from any checkpoint. A detector's state derives from it.
#pragma once

#include <cstddef>
#include <vector>

#include "calc/EEH3AnalysisRegion.h"

namespace EEH3 {

class StateBase {
public:
    explicit StateBase(int32_t startTick) : mStartTick(startTick) {}
    StateBase(const StateBase&) = default;
    StateBase& operator=(const StateBase&) = default;
    virtual ~StateBase() = default;

    // The tick from which the detector still has work to do; 0x7fffffff once it has none.
    // The default: where the slowest source stands, or the start without sources.
    virtual int32_t NextIncompleteTick() const;
    virtual void HandleHitEndOfAnalysisRegion() { mHitEnd = true; }

    // Every source at tick, with no end of its own.
    void ResetPositions(size_t sources, int32_t tick) { mPositions.assign(sources, tSrcPosItem{tick, kNoTick}); }

    std::vector<tSrcPosItem> mPositions;
    int32_t mAnalysisEnd = kNoTick;
    bool mHitEnd = false;

protected:
    int32_t mStartTick;
};

}  // namespace EEH3
