#include <gtest/gtest.h>

#include "foundation/numeric/Step125.h"

namespace {

double Inc(double x) {
    double result = inc125(&x);
    EXPECT_EQ(result, x);  // stored and returned alike
    return x;
}

double Dec(double x) {
    double result = dec125(&x);
    EXPECT_EQ(result, x);
    return x;
}

}  // namespace

TEST(Step125, StepsToTheNextOrPreviousValueOfTheSeries) {
    // 9.6 rounds to the next decade's 1, then steps on.
    const double up[][2] = {{1, 2}, {2, 5}, {5, 10}, {7, 10}, {0.3, 0.5}, {10, 20}, {9.6, 20}, {500000, 1000000}};
    for (const auto& [x, next] : up)
        EXPECT_DOUBLE_EQ(Inc(x), next) << x;
    const double down[][2] = {{10, 5}, {5, 2}, {2, 1}, {1, 0.5}, {0.1, 0.05}, {7, 5}, {3, 2}, {200, 100}};
    for (const auto& [x, previous] : down)
        EXPECT_DOUBLE_EQ(Dec(x), previous) << x;
}

TEST(Step125, StepsUpAndDownRetraceTheSeries) {
    double x = 0.1;
    const double up[] = {0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
    for (double expected : up)
        EXPECT_DOUBLE_EQ(inc125(&x), expected);
    for (int i = 7; i >= 0; --i)
        EXPECT_DOUBLE_EQ(dec125(&x), up[i]);
}
