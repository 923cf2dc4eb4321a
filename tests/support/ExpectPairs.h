// Comparing the pairs a pixel reduction keeps with those worked out by hand: a gap (NaN) in the
// expected pairs must be a gap in the answer.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace TestSupport {

inline void ExpectPairs(const std::vector<double>& got, const std::vector<double>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (std::isnan(want[i]))
            EXPECT_TRUE(std::isnan(got[i])) << "at " << i;
        else
            EXPECT_EQ(got[i], want[i]) << "at " << i;
    }
}

}  // namespace TestSupport
