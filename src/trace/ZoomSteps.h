// The zoom control's ratios: the 1-2-5 steps of its menu and the label of a ratio.
#pragma once

#include "foundation/KVDString.h"
#include "trace/DataPaneControls.h"

namespace OrrelDraw {

// Menu items are numbered from this id, one per step.
constexpr int kFirstZoomCommand = 1130;
constexpr int kZoomStepCount = 21;

// The ticks per pixel of step index (0 = 0.1 ... 20 = 500000), normalised; out of range clamps.
TicksPerPix ZoomStepRatio(int index);
// "2k:1" above 999.999, "5:1" from 1, "x2" below 1, "x?" for 0; three significant digits.
KVD::String CompressionLabel(const TicksPerPix& ratio);

}  // namespace OrrelDraw
