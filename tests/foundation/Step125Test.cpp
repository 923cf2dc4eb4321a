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

TEST(Step125, IncrementsToTheNextValueOfTheSeries) {
    EXPECT_DOUBLE_EQ(Inc(1), 2);
    EXPECT_DOUBLE_EQ(Inc(2), 5);
    EXPECT_DOUBLE_EQ(Inc(5), 10);
    EXPECT_DOUBLE_EQ(Inc(7), 10);
    EXPECT_DOUBLE_EQ(Inc(0.3), 0.5);
    EXPECT_DOUBLE_EQ(Inc(10), 20);
    EXPECT_DOUBLE_EQ(Inc(9.6), 20);  // rounds to the next decade's 1, then steps on
    EXPECT_DOUBLE_EQ(Inc(500000), 1000000);
}

TEST(Step125, DecrementsToThePreviousValueOfTheSeries) {
    EXPECT_DOUBLE_EQ(Dec(10), 5);
    EXPECT_DOUBLE_EQ(Dec(5), 2);
    EXPECT_DOUBLE_EQ(Dec(2), 1);
    EXPECT_DOUBLE_EQ(Dec(1), 0.5);
    EXPECT_DOUBLE_EQ(Dec(0.1), 0.05);
    EXPECT_DOUBLE_EQ(Dec(7), 5);
    EXPECT_DOUBLE_EQ(Dec(3), 2);
    EXPECT_DOUBLE_EQ(Dec(200), 100);
}

TEST(Step125, StepsUpAndDownRetraceTheSeries) {
    double x = 0.1;
    const double up[] = {0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
    for (double expected : up)
        EXPECT_DOUBLE_EQ(inc125(&x), expected);
    for (int i = 7; i >= 0; --i)
        EXPECT_DOUBLE_EQ(dec125(&x), up[i]);
}
