#include "spirometry/Breath.h"

namespace Spirometry {

namespace {

KVDPosition At(int32_t tick, int32_t record) { return {static_cast<uint32_t>(tick), record}; }

}  // namespace

Breath::Breath(const SpBreathEvent& event, int32_t record)
    : peakPositiveFlow(event.flow.maxFlow),
      peakNegativeFlow(event.flow.minFlow),
      maxVolume(event.maxVol),
      minVolume(event.minVol),
      excluded(event.flow.excluded != 0),
      start(At(event.flow.startTick, record)),
      end(At(event.flow.endTick, record)),
      maxVolumePos(At(event.maxVolTick, record)),
      minVolumePos(At(event.minVolTick, record)),
      peakPositiveFlowPos(At(event.flow.maxFlowTick, record)),
      peakNegativeFlowPos(At(event.flow.minFlowTick, record)),
      reversalPos(At(event.flow.reversalTick, record))
{
}

}  // namespace Spirometry
