#include "graphics/BoxBlur.h"

#include <vector>

namespace Gfx {
namespace {

// One box pass over count values spaced step apart, with the edges taken as transparent.
void BoxPass(uint8_t* values, int count, int step, int radius, std::vector<int>& scratch) {
    scratch.resize(count);
    for (int i = 0; i < count; ++i)
        scratch[i] = values[i * step];
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i <= radius && i < count; ++i)
        sum += scratch[i];
    for (int i = 0; i < count; ++i) {
        values[i * step] = static_cast<uint8_t>((sum + window / 2) / window);
        int enter = i + radius + 1, leave = i - radius;
        if (enter < count)
            sum += scratch[enter];
        if (leave >= 0)
            sum -= scratch[leave];
    }
}

}  // namespace

void BoxBlurAlpha(uint8_t* mask, int width, int height, int stride, int radius) {
    if (radius <= 0 || width <= 0 || height <= 0)
        return;
    std::vector<int> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            BoxPass(mask + y * stride, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            BoxPass(mask + x, height, stride, radius, scratch);
    }
}

}  // namespace Gfx
