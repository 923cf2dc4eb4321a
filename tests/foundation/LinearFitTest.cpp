#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/numeric/LinearFit.h"

using ExtLib::linear_fit_series;

TEST(LinearFit, FreeInterceptMatchesHandComputedLine) {
    // x 1..4, y 2, 3, 5, 6: x̄ 2.5, ȳ 4, Sxx 5, Sxy 7, Syy 10; slope 1.4, intercept 0.5,
    // r² = 49 / 50.
    std::vector<double> coefficients;
    double r2 = 0;
    ASSERT_TRUE(linear_fit_series({2, 3, 5, 6}, {1, 2, 3, 4}, false, 0, coefficients, &r2));
    ASSERT_EQ(coefficients.size(), 2u);
    EXPECT_NEAR(coefficients[0], 0.5, 1e-12);
    EXPECT_NEAR(coefficients[1], 1.4, 1e-12);
    EXPECT_NEAR(r2, 0.98, 1e-12);

    // An exact falling line: r² is 1 whatever the sign of the slope.
    ASSERT_TRUE(linear_fit_series({7, 4, 1}, {0, 1, 2}, false, 0, coefficients, nullptr));
    EXPECT_NEAR(coefficients[0], 7, 1e-12);
    EXPECT_NEAR(coefficients[1], -3, 1e-12);
}

TEST(LinearFit, FixedInterceptGoesThroughTheMeanPoint) {
    // Through (0, 1) and the mean point (2.5, 4): slope 1.2. Residuals -0.2, -0.4, 0.4, 0.2
    // (squares 0.4 in all) against a total of 10: r² = 0.96.
    std::vector<double> coefficients;
    double r2 = 0;
    ASSERT_TRUE(linear_fit_series({2, 3, 5, 6}, {1, 2, 3, 4}, true, 1.0, coefficients, &r2));
    EXPECT_DOUBLE_EQ(coefficients[0], 1.0);
    EXPECT_NEAR(coefficients[1], 1.2, 1e-12);
    EXPECT_NEAR(r2, 0.96, 1e-12);
}

TEST(LinearFit, SkipsPairsThatAreNotFinite) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    std::vector<double> coefficients;
    ASSERT_TRUE(linear_fit_series({2, nan, 3, 99, 5, 6}, {1, 7, 2, inf, 3, 4}, false, 0, coefficients, nullptr));
    EXPECT_NEAR(coefficients[1], 1.4, 1e-12);
    EXPECT_NEAR(coefficients[0], 0.5, 1e-12);
    // x longer than y: the extra values are not read; x shorter: only the common part.
    ASSERT_TRUE(linear_fit_series({2, 3, 5, 6}, {1, 2, 3, 4, 100}, false, 0, coefficients, nullptr));
    EXPECT_NEAR(coefficients[1], 1.4, 1e-12);
    ASSERT_TRUE(linear_fit_series({2, 3, 5, 6, 100}, {1, 2, 3, 4}, false, 0, coefficients, nullptr));
    EXPECT_NEAR(coefficients[1], 1.4, 1e-12);
}

TEST(LinearFit, NoFitLeavesTheCoefficientsAlone) {
    const std::vector<double> before{9, 9, 9};
    std::vector<double> coefficients = before;
    double r2 = -5;
    EXPECT_FALSE(linear_fit_series({3, 3, 3, 3}, {1, 2, 3, 4}, false, 0, coefficients, &r2));  // constant series
    EXPECT_FALSE(linear_fit_series({1, 2, 3}, {5, 5, 5}, false, 0, coefficients, &r2));        // all-equal x
    EXPECT_FALSE(linear_fit_series({1}, {1}, false, 0, coefficients, &r2));
    EXPECT_FALSE(linear_fit_series({1, std::nan("")}, {1, 2}, false, 0, coefficients, &r2));
    EXPECT_FALSE(linear_fit_series({}, {}, false, 0, coefficients, &r2));
    EXPECT_FALSE(linear_fit_series({1, 3}, {-1, 1}, true, 0, coefficients, &r2));  // fixed, x̄ = 0
    EXPECT_EQ(coefficients, before);
    EXPECT_EQ(r2, -5);
}

TEST(LinearFit, SumsTakenPairByPairGiveTheSameLine) {
    // The line of FreeInterceptMatchesHandComputedLine, with unusable pairs among the others.
    ExtLib::LinearFitSums sums;
    std::vector<double> coefficients{9, 9};
    EXPECT_FALSE(sums.Fit(coefficients, nullptr));
    const double x[] = {1, 2, std::nan(""), 3, 5, 4};
    const double y[] = {2, 3, 1, 5, std::numeric_limits<double>::infinity(), 6};
    for (int i = 0; i < 6; ++i)
        sums.Add(x[i], y[i]);
    double r2 = 0;
    ASSERT_TRUE(sums.Fit(coefficients, &r2));
    EXPECT_NEAR(coefficients[0], 0.5, 1e-12);
    EXPECT_NEAR(coefficients[1], 1.4, 1e-12);
    EXPECT_NEAR(r2, 0.98, 1e-12);
}
