#include "spirometry/Breath.h"

namespace Spirometry {

namespace {

KVDPosition At(int32_t tick, int32_t record) { return {static_cast<uint32_t>(tick), record}; }

// A cycle's positive peak lies in its own span unless the cycle has no positive lobe: the first
// cycle of a record that begins inside an inspiration opens at the falling crossing, and the
// flow detector finds its positive peak in the next breath's inspiration.
bool Inspires(const SpFlowEvent& cycle) { return cycle.maxFlowTick < cycle.endTick; }

}  // namespace

Breath::Breath(const SpBreathEvent& event, int32_t record)
    : peakPositiveFlow(Inspires(event.flow) ? event.flow.maxFlow : 0.0),
      peakNegativeFlow(event.flow.minFlow),
      maxVolume(event.maxVol),
      minVolume(event.minVol),
      excluded(event.flow.excluded != 0 || !Inspires(event.flow)),
      start(At(event.flow.startTick, record)),
      end(At(event.flow.endTick, record)),
      maxVolumePos(At(event.maxVolTick, record)),
      minVolumePos(At(event.minVolTick, record)),
      peakPositiveFlowPos(At(Inspires(event.flow) ? event.flow.maxFlowTick : EEH3::kNoTick, record)),
      peakNegativeFlowPos(At(event.flow.minFlowTick, record)),
      reversalPos(At(event.flow.reversalTick, record))
{
}

}  // namespace Spirometry
