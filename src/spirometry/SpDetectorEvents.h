// The event records of the breath detectors, as they travel between enumerators: fixed
// little-endian layouts whose first 16 bytes are the event framework's common header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "calc/EEH3AnalysisRegion.h"

namespace Spirometry {

// One flow cycle: a positive lobe followed by a negative one, from zero crossing to zero
// crossing. Ticks not yet found hold 0x7fffffff.
struct SpFlowEvent {
    int32_t tick;    // the cycle's start tick
    float fraction;  // start tick minus tick
    double value;    // the largest positive flow
    float maxFlow;
    float minFlow;
    uint8_t excluded;  // a last cycle that was never seen above the positive level
    uint8_t pad[3];
    int32_t startTick;
    int32_t endTick;
    int32_t maxFlowTick;
    int32_t minFlowTick;
    int32_t reversalTick;  // where the positive lobe ends
};

// One breath: the flow cycle and the volume extremes within it.
struct SpBreathEvent {
    EEH3::EventHeader header;
    SpFlowEvent flow;
    int32_t maxVolTick;
    float maxVol;
    int32_t minVolTick;  // of the lowest volume at or after the maximum
    float minVol;
};

static_assert(sizeof(SpFlowEvent) == 48 && offsetof(SpFlowEvent, maxFlow) == 16 &&
                  offsetof(SpFlowEvent, excluded) == 24 && offsetof(SpFlowEvent, startTick) == 28 &&
                  offsetof(SpFlowEvent, reversalTick) == 44,
              "the flow event's stored layout");
static_assert(sizeof(SpBreathEvent) == 80 && offsetof(SpBreathEvent, flow) == 16 &&
                  offsetof(SpBreathEvent, maxVolTick) == 64 && offsetof(SpBreathEvent, minVol) == 76,
              "the breath event's stored layout");

}  // namespace Spirometry
