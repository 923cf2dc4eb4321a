// What a request word (the second word of a TChannelId, or a flags argument) asks of a
// channel's data.
#pragma once

#include <cstdint>

namespace Host {

struct DataRequest {
    explicit DataRequest(uint32_t flags)
        : recorded((flags & 0x1u) != 0), inUnits((flags & 0x3000u) != 0), prefixed((flags & 0x2000u) != 0) {}

    // Bit 0 ("raw", "recorded"): the channel's recorded data even when a calculation is on it.
    bool recorded;
    // Bit 12 ("units") or 13 ("prefix"): recorded values in the channel's unit; without them a
    // recorded channel is read as stored. Computed channels are always in their unit.
    bool inUnits;
    // Bit 13 ("prefix"): computed data in the prefix its calculation shows it in (mL/s for a
    // flow in L/s shown in millilitres); without it, in the unit itself.
    bool prefixed;
};

}  // namespace Host
