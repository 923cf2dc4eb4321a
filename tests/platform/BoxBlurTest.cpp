#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "graphics/BoxBlur.h"

TEST(BoxBlur, SpreadsASpotSymmetricallyAndKeepsItsWeight) {
    const int size = 21, stride = 24;
    std::vector<uint8_t> mask(stride * size, 0);
    for (int y = 9; y <= 11; ++y)
        for (int x = 9; x <= 11; ++x)
            mask[y * stride + x] = 255;
    int before = std::accumulate(mask.begin(), mask.end(), 0);
    Gfx::BoxBlurAlpha(mask.data(), size, size, stride, 2);
    int after = std::accumulate(mask.begin(), mask.end(), 0);
    EXPECT_NEAR(after, before, before * 0.05);  // rounding only
    EXPECT_LT(mask[10 * stride + 10], 255);
    EXPECT_GT(mask[10 * stride + 10], mask[10 * stride + 6]);
    EXPECT_GT(mask[10 * stride + 6], 0);
    EXPECT_EQ(mask[10 * stride + 6], mask[10 * stride + 14]);
    EXPECT_EQ(mask[6 * stride + 10], mask[10 * stride + 6]);
    EXPECT_EQ(mask[10 * stride + 21], 0);  // the padding is left alone

    std::vector<uint8_t> copy = mask;
    Gfx::BoxBlurAlpha(copy.data(), size, size, stride, 0);
    EXPECT_EQ(copy, mask);
}
