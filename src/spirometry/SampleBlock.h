// Sixteen float samples at a time, four to an SSE register: the running extremes of a block and
// its tests against levels, each equal to what a sample-by-sample scan would find.
#pragma once

#include <cstdint>

#include <emmintrin.h>

namespace Spirometry {

struct SampleBlock {
    static constexpr uint32_t kSize = 16;

    // lowest and highest go on through the block as x < lowest and x > highest would take
    // them: a sample that is no number changes neither.
    static void Extremes(const float* x, float& lowest, float& highest)
    {
        __m128 low = _mm_set1_ps(lowest);
        __m128 high = _mm_set1_ps(highest);
        for (uint32_t k = 0; k < kSize; k += 4) {
            const __m128 v = _mm_loadu_ps(x + k);
            low = _mm_min_ps(v, low);
            high = _mm_max_ps(v, high);
        }
        low = _mm_min_ps(low, _mm_movehl_ps(low, low));
        lowest = _mm_cvtss_f32(_mm_min_ps(low, _mm_shuffle_ps(low, low, 1)));
        high = _mm_max_ps(high, _mm_movehl_ps(high, high));
        highest = _mm_cvtss_f32(_mm_max_ps(high, _mm_shuffle_ps(high, high, 1)));
    }

    // Bit k set where sample k is greater than level.
    static unsigned Above(const float* x, float level)
    {
        const __m128 l = _mm_set1_ps(level);
        unsigned bits = 0;
        for (uint32_t k = 0; k < kSize; k += 4)
            bits |= unsigned(_mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(x + k), l))) << k;
        return bits;
    }

    // Bit k set where sample k is less than level.
    static unsigned Below(const float* x, float level)
    {
        const __m128 l = _mm_set1_ps(level);
        unsigned bits = 0;
        for (uint32_t k = 0; k < kSize; k += 4)
            bits |= unsigned(_mm_movemask_ps(_mm_cmplt_ps(_mm_loadu_ps(x + k), l))) << k;
        return bits;
    }

    // The first of the samples equal to value, which one of them must be. Zeros of either sign
    // are equal: the extreme is the sample found, as the scan would have kept it.
    static uint32_t IndexOf(const float* x, float value)
    {
        const __m128 v = _mm_set1_ps(value);
        unsigned bits = 0;
        for (uint32_t k = 0; k < kSize; k += 4)
            bits |= unsigned(_mm_movemask_ps(_mm_cmpeq_ps(_mm_loadu_ps(x + k), v))) << k;
        return uint32_t(__builtin_ctz(bits));
    }
};

}  // namespace Spirometry
