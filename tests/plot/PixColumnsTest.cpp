// The host's reduction of a wide plot's samples to its pixel columns: the pairs it keeps,
// against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "plot/PixColumns.h"
#include "support/ExpectPairs.h"

namespace {

using TestSupport::ExpectPairs;
using KVD::PixColumns;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

std::vector<double> Reduce(const PixColumns::Mapping& mapping, double index, const std::vector<float>& samples,
                           size_t split = 0)
{
    std::vector<double> out;
    PixColumns columns(mapping, index, out);
    // Fed in two parts when asked: a run may go on across them.
    columns.Add(samples.data(), uint32_t(split));
    columns.Add(samples.data() + split, uint32_t(samples.size() - split));
    EXPECT_EQ(columns.Finish(), int64_t(samples.size()));
    return out;
}

// Four samples a column (x step 0.25, one pixel per unit).
const PixColumns::Mapping kFour{0, 0.25, 0, 0, 1};

TEST(PixColumns, KeepsEachRunsExtremesInOrderAndOnePairPerGap)
{
    const std::vector<float> samples = {0, 5, 2, 1, 3, 3, 3, 3, kNaN, 1, kInf, 4, 8, 6};
    // Column 0: minimum 0 first, then maximum 5. Column 1 is flat: its first two. NaN is a
    // gap; in column 2 a lone 1, a gap at infinity, a lone 4 (the 8 is in column 3 already);
    // column 3: the maximum 8 came first.
    const std::vector<double> want = {0, 0, 1, 5, 4, 3, 5, 3, 8, NAN, 9, 1, 10, NAN, 11, 4, 12, 8, 13, 6};
    for (size_t split : {size_t(0), size_t(2), size_t(9), samples.size()})
        ExpectPairs(Reduce(kFour, 0, samples, split), want);
    // The page's indices start where asked and x goes with them: indices 4 to 7 are column 1
    // (minimum 1 first, then the maximum 9), index 8 alone in column 2.
    ExpectPairs(Reduce(kFour, 4, {7, 1, 2, 9, 9}), {5, 1, 7, 9, 8, 9});
}

TEST(PixColumns, GapsRunTogetherAndFarPixelsAreGaps)
{
    ExpectPairs(Reduce(kFour, 0, {1, kNaN, kNaN, -kInf, 2}), {0, 1, 1, NAN, 4, 2});
    // A gap first, and nothing at all.
    ExpectPairs(Reduce(kFour, 0, {kNaN, 2}), {0, NAN, 1, 2});
    ExpectPairs(Reduce(kFour, 0, {}), {});
    // Pixels beyond a million either way end the line as NaN does.
    const PixColumns::Mapping far{0, 1, -1000000.5, 0, 1};
    ExpectPairs(Reduce(far, 0, {1, 2, 3}), {0, NAN, 1, 2, 2, 3});
    // A zero scaling puts every sample in one column: the extremes of all.
    ExpectPairs(Reduce({0, 1, 0, 0, 0}, 0, {3, -1, 7, 2}), {1, -1, 2, 7});
}

}  // namespace
