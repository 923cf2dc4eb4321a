// Blur of an 8-bit alpha mask, for soft shadows: three box passes each way come close to a
// Gaussian at a fraction of its cost.
#pragma once

#include <cstdint>

namespace Gfx {

// mask: height rows of stride bytes, width of them used. radius in pixels; 0 leaves the mask.
void BoxBlurAlpha(uint8_t* mask, int width, int height, int stride, int radius);

}  // namespace Gfx
