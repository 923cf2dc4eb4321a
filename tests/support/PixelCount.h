// Counting pixels of a rendered picture that pass a colour test: the probes of the tests that
// look at what a view drew.
#pragma once

#include <cstdint>

#include "graphics/Image.h"

namespace TestSupport {

// Pixels of the rows top to bottom that pass the test of their red, green and blue.
template <class Test>
int CountPixels(const Gfx::Image& image, int top, int bottom, Test test)
{
    int count = 0;
    for (int y = top; y < bottom && y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.Pixel(x, y);
            count += test(int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF));
        }
    return count;
}

}  // namespace TestSupport
