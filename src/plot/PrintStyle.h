// The value readers of printable SVG styles: lengths, opacities and colours. Each degrades
// rather than fails: what cannot be read becomes 0, or black.
#pragma once

#include <string>

#include "graphics/Color.h"

namespace KVD {

template <class T>
T StringTo(const std::string& text);

// The number at the start of text, cut before the first "px"; 0 when there is none.
template <>
float StringTo<float>(const std::string& text);

// An opacity 0..1 read as StringTo reads, as a byte: above 1 gives 255, below 0 gives 0, else
// the value times 255 truncated.
int OpacityToByte(const std::string& text);

// "#rrggbb" (anything before the "#" or after the six characters is ignored; a pair that is
// not hexadecimal reads as 0) or "rgba(r,g,b,a)" with no blanks and components clamped to
// 0..255 and 0..1; anything else, an rgba value too, is opaque black.
Gfx::Color ToColour(const std::string& text);

}  // namespace KVD
