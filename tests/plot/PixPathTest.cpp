// The host's reduction of a long XY line to the points its drawing keeps: the pairs it keeps
// and the ranges it finds, against values worked out by hand, and a line reduced in two
// requests kept as in one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "plot/PixPath.h"
#include "support/ExpectPairs.h"

namespace {

using TestSupport::ExpectPairs;
using KVD::PixPath;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const double kNoPoint = std::numeric_limits<double>::quiet_NaN();

// Ten pixels a unit on x from 0; y upwards, ten pixels a unit from 100 at 0.
const PixPath::Mapping kTen{0, 0, 10, 100, 0, -10};

TEST(PixPath, KeepsWhatTheLineDrawsAndOnePairPerGap)
{
    // (1, 1) at pixel (10, 90); (1.005, 1.005) is within a tenth of a pixel of it on both axes:
    // dropped. (1.005, 1.02) moves 0.2 pixels on y: kept. NaN and infinity are one gap; after
    // a gap the next point is kept whatever. 1e6 units are 1e7 pixels out: a gap too.
    const std::vector<float> x = {1, 1.005f, 1.005f, 2, kNaN, 3, 3, 3.001f, 5, 1e6f, 6, 6};
    const std::vector<float> y = {1, 1.005f, 1.02f, 2, 0, kInf, 4, 4.001f, 5, 0, 7, 7};
    std::vector<double> out;
    PixPath path(kTen, kNoPoint, kNoPoint, out);
    path.Add(x.data(), y.data(), uint32_t(x.size()));
    EXPECT_EQ(path.Count(), int64_t(x.size()));
    ExpectPairs(out, {1, 1, 1.005f, 1.02f, 2, 2, kNoPoint, kNoPoint, 3, 4, 5, 5, kNoPoint, kNoPoint, 6, 7});
    // The ranges of the points whose x and y are both finite, the one far out among them.
    EXPECT_EQ(path.XLow(), 1);
    EXPECT_EQ(path.XHigh(), 1e6f);
    EXPECT_EQ(path.YLow(), 0);
    EXPECT_EQ(path.YHigh(), 7);
}

TEST(PixPath, NoFinitePointHasNoRangeAndEveryGapIsOne)
{
    const std::vector<float> x = {kNaN, 1, kInf};
    const std::vector<float> y = {1, kNaN, 2};
    std::vector<double> out;
    PixPath path(kTen, kNoPoint, kNoPoint, out);
    path.Add(x.data(), y.data(), 3);
    ExpectPairs(out, {kNoPoint, kNoPoint});
    EXPECT_GT(path.XLow(), path.XHigh());
    EXPECT_GT(path.YLow(), path.YHigh());
}

// A line reduced in two requests, the second going on from the point the first kept last, keeps
// what one request keeps; starting anew instead keeps the second part's first point.
TEST(PixPath, GoesOnFromThePointKeptBefore)
{
    std::vector<float> x, y;
    for (int i = 0; i < 400; ++i) {
        x.push_back(float(std::sin(i / 400.0)));
        y.push_back(float(std::cos(i / 400.0) + 0.001 * (i % 7)));
    }
    std::vector<double> whole;
    PixPath(kTen, kNoPoint, kNoPoint, whole).Add(x.data(), y.data(), 400);
    ASSERT_LT(whole.size(), 400u);  // most points dropped: they move 0.025 pixels a step
    for (const uint32_t split : {1u, 137u, 250u}) {
        std::vector<double> parts;
        PixPath(kTen, kNoPoint, kNoPoint, parts).Add(x.data(), y.data(), split);
        const double lastX = parts[parts.size() - 2], lastY = parts.back();
        PixPath(kTen, lastX, lastY, parts).Add(x.data() + split, y.data() + split, 400 - split);
        ExpectPairs(parts, whole);
    }
    // A line started anew keeps its first point, which the line going on from point 0 drops.
    std::vector<double> fresh;
    PixPath(kTen, kNoPoint, kNoPoint, fresh).Add(x.data() + 1, y.data() + 1, 399);
    ASSERT_GE(fresh.size(), 2u);
    EXPECT_EQ(fresh[0], x[1]);
    EXPECT_NE(whole[2], x[1]);
}

}  // namespace
