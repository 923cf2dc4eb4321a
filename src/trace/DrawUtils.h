// Small numeric and colour utilities of the trace drawing library.
#pragma once

#include <cstdint>

#include "foundation/draw/TColor.h"

namespace OrrelDraw {

// Rounds *value up along 1, 2, 5, 10 of its decade (a mantissa up to 1.5 gives 2, up to 4.5
// gives 5, larger 10) and sets *digit to the step taken.
void RoundUp125(double* value, int* digit);
// The same along 1, 2, 6, 12, 24 (mantissa up to 1.5 gives 2, up to 5.5 6, up to 11.5 12).
void RoundUp1_2_6_12(double* value, int* digit);

// A colour made to stand out on a black background: each component moved by the same step
// towards the opposite end; on any other background (white included) unchanged.
TColor gAdjustColorForBackground(TColor colour, TColor background);

// Marks where a record starts: the channel panes' record boundary and the record numbers.
extern const TColor kRecordHeaderColour;

// 24-bit RGB (red in the low byte) to a colour: trunc(c / 255 × 65535) per component, alpha 1.
TColor ColourFromRgb(uint32_t rgb);
// And back: the top byte of each component.
uint32_t RgbFromColour(const TColor& colour);

}  // namespace OrrelDraw
