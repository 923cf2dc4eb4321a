// The trace view modes a preview offers for its two traces on channel pane 0: the left trace
// stacked above the right one, both overlaid, or the source trace alone.
#pragma once

#include <functional>

#include "trace/DataPane.h"

namespace OrrelDraw {

enum TTraceViewMode : int {
    kTraceViewStack = 2,
    kTraceViewOverlay = 4,
    kTraceViewSourceOnly = 8,
};
// Flags of the source-only mode: bit 0 turns it on, bit 1 off.
constexpr unsigned kSourceOnlyOn = 1, kSourceOnlyOff = 2;

// Applies the mode to pane 0; the source-only mode tells `showDerived` whether the derived
// trace shows (0 on entering the mode, 1 on leaving it).
void ApplyTraceViewMode(DataPane& pane, int mode, unsigned flags, const std::function<void(unsigned)>& showDerived);

// The stack mode's ranges from the auto-scaled ones: the left trace in the upper half, the right
// one in the lower half. Each range is {top, bottom}, the high end first.
ChannelYDataRange StackedLeftRange(const ChannelYDataRange& left);
ChannelYDataRange StackedRightRange(const ChannelYDataRange& right);

}  // namespace OrrelDraw
