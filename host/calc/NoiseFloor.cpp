#include "host/calc/NoiseFloor.h"

#include <algorithm>
#include <cmath>

namespace HostCalc {
namespace {

// The smoothed signal's lag: quick breathing curves over it by about a percent of its peak flow,
// in the smoothed noise's deviations.
constexpr double kLagSeconds = 0.01;
constexpr long kLongestLag = 32;
// Nine blocks follow a recording that turns quiet (or noisy) within two seconds.
constexpr double kBlockSeconds = 0.4;
// A normal variable's mean absolute value, in deviations: sqrt(2 / pi).
constexpr double kMeanAbsolute = 0.7979;

// The deviation of white noise's second difference at lag, after a moving mean of window samples,
// in the smoothed noise's deviations: the mean correlates samples closer than its length.
double WhiteSpread(long lag, int window)
{
    auto correlation = [window](long apart) { return std::max(0.0, 1.0 - static_cast<double>(apart) / window); };
    return std::sqrt(6.0 - 8.0 * correlation(lag) + 2.0 * correlation(2 * lag));
}

}  // namespace

void CurvatureMedian::Push(long lag, double spread, double secondsPerTick, double y)
{
    const size_t size = static_cast<size_t>(2 * lag + 1);
    if (mHistory.size() != size || mSpread != spread) {
        *this = CurvatureMedian{};
        mHistory.assign(size, 0.0);
        mSpread = spread;
    }
    mHistory[mNext % size] = y;
    if (++mNext < size)
        return;
    // The slot written next holds the oldest sample.
    const double middle = mHistory[(mNext - 1 - static_cast<size_t>(lag)) % size];
    const double oldest = mHistory[mNext % size];
    mSum += std::fabs(y - 2.0 * middle + oldest) / (kMeanAbsolute * spread);
    ++mCount;
    if (static_cast<double>(mCount) >= kBlockSeconds / secondsPerTick)
        EndBlock();
}

double CurvatureMedian::Deviation() const
{
    if (mBlockCount > 0)
        return mMedian;
    return mCount > 0 ? mSum / static_cast<double>(mCount) : 0.0;
}

void CurvatureMedian::EndBlock()
{
    mBlocks[mBlockNext] = mSum / static_cast<double>(mCount);
    mBlockNext = (mBlockNext + 1) % mBlocks.size();
    mBlockCount = std::min(mBlockCount + 1, mBlocks.size());
    mSum = 0.0;
    mCount = 0;
    auto sorted = mBlocks;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(mBlockCount / 2);
    std::nth_element(sorted.begin(), middle, sorted.begin() + static_cast<std::ptrdiff_t>(mBlockCount));
    mMedian = *middle;
}

void NoiseFloor::PushRaw(int window, double secondsPerTick, double x)
{
    // The moving mean divides white noise's deviation by the root of its length.
    mRaw.Push(1, WhiteSpread(1, 1) * std::sqrt(static_cast<double>(window)), secondsPerTick, x);
}

void NoiseFloor::PushSmoothed(int window, double secondsPerTick, double y)
{
    const long lag = std::clamp(std::lround(kLagSeconds / secondsPerTick), 1L, kLongestLag);
    mSmoothed.Push(lag, WhiteSpread(lag, window), secondsPerTick, y);
}

double NoiseFloor::Deviation() const
{
    return std::max(mRaw.Deviation(), mSmoothed.Deviation());
}

}  // namespace HostCalc
