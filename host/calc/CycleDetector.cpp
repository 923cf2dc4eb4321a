#include "host/calc/CycleDetector.h"

#include <algorithm>
#include <cmath>

namespace HostCalc {
namespace {

constexpr double kLargestLevel = 1e15;
constexpr double kLongestCycle = 3600.0;
constexpr double kLongestSmoothing = 10000.0;
// The share of a dip's depth that the hysteresis of its return is a share of: below a third.
constexpr double kReturnShare = 0.25;

}  // namespace

int CycleSettings::Window() const
{
    return std::max(1, static_cast<int>(std::lround(smoothing)));
}

bool CycleSettings::IsValid() const
{
    return std::fabs(level) <= kLargestLevel && hysteresis >= 0.0 && hysteresis <= 1.0 && minimumCycle >= 0.0 &&
           minimumCycle <= kLongestCycle && smoothing >= 0.0 && smoothing <= kLongestSmoothing;
}

bool CycleDetector::Push(const CycleSettings& settings, double secondsPerTick, int32_t tick, float x,
                         CycleStart& found)
{
    // A sample that is no number is a gap, not a level.
    if (!std::isfinite(x))
        return false;
    double position = 0.0;
    double value = 0.0;
    if (!Smooth(settings.Window(), tick, x, position, value))
        return false;
    // A falling signal is a rising one turned over.
    const double sign = settings.falling ? -1.0 : 1.0;
    return Detect(settings, sign * settings.level, secondsPerTick, position, sign * value, found);
}

int32_t CycleDetector::EarliestPending(int32_t nextTick) const
{
    if (mReturned && mHaveCandidate)
        return static_cast<int32_t>(std::floor(std::min(mCandidate, mTopPosition)));
    if (mReturned)
        return static_cast<int32_t>(std::floor(mTopPosition));
    if (mHaveCandidate)
        return static_cast<int32_t>(std::floor(mCandidate));
    if (mHavePrevious)
        return static_cast<int32_t>(std::floor(mPreviousPosition));
    // The first smoothed sample lies at the mean of the window's ticks, not before its first.
    return mNext == 0 ? nextTick : std::min(nextTick, mTicks[0]);
}

bool CycleDetector::Smooth(int window, int32_t tick, float x, double& position, double& value)
{
    const size_t size = static_cast<size_t>(window);
    if (mSamples.size() != size) {
        mSamples.assign(size, 0.0f);
        mTicks.assign(size, 0);
        mNext = 0;
        mSum = mTickSum = 0.0;
    }
    const size_t slot = mNext % size;
    if (mNext >= size) {
        mSum -= mSamples[slot];
        mTickSum -= mTicks[slot];
    }
    mSamples[slot] = x;
    mTicks[slot] = tick;
    mSum += x;
    mTickSum += tick;
    if (++mNext < size)
        return false;
    value = mSum / window;
    position = mTickSum / window;
    return true;
}

double CycleDetector::Scale() const
{
    double scale = mPeak;
    for (size_t i = 0; i < mRecentCount; ++i)
        scale = std::min(scale, mRecentPeaks[i]);
    return scale;
}

double CycleDetector::ReturnBand(double hysteresis) const
{
    return hysteresis * kReturnShare * mPeak;
}

bool CycleDetector::RoseBy(double band) const
{
    return mRise > band || *std::max_element(mRecentRises.begin(), mRecentRises.end()) > band;
}

void CycleDetector::EndPhase()
{
    mRecentPeaks[mRecentNext] = mPeak;
    mRecentNext = (mRecentNext + 1) % mRecentPeaks.size();
    mRecentCount = std::min(mRecentCount + 1, mRecentPeaks.size());
}

void CycleDetector::BeginLow(double depth)
{
    mPhase = Phase::kLow;
    mPeak = depth;
    mDipFrom = 0.0;
    mDeep = false;
    mReturned = false;
}

void CycleDetector::NoteReturn(double band, double level, double position, double y)
{
    if (mReturned) {
        if (y > mTop) {
            mTop = y;
            mTopPosition = position;
        }
    } else if (y < level - mDipFrom - band) {
        mDeep = true;
    } else if (mDeep && y >= level - band) {
        mReturned = true;
        mTop = y;
        mTopPosition = position;
    }
}

bool CycleDetector::Started(const CycleSettings& settings, double secondsPerTick, double position,
                            CycleStart& found)
{
    const double length = mHaveStart ? (position - mLastStart) * secondsPerTick : 0.0;
    // Too soon after the last start: the cycle that began there goes on.
    if (mHaveStart && length < settings.minimumCycle)
        return false;
    found = CycleStart{position, length};
    mLastStart = position;
    mHaveStart = true;
    mRecentRises[mRecentRiseNext] = mRise;
    mRecentRiseNext = (mRecentRiseNext + 1) % mRecentRises.size();
    mRise = 0.0;
    return true;
}

bool CycleDetector::Detect(const CycleSettings& settings, double level, double secondsPerTick, double position,
                           double y, CycleStart& found)
{
    const double previous = mPrevious;
    const double previousPosition = mPreviousPosition;
    mPrevious = y;
    mPreviousPosition = position;
    mRise = std::max(mRise, y - level);
    if (!mHavePrevious) {
        mHavePrevious = true;
        if (y > level) {
            mPhase = Phase::kHigh;
            mPeak = y - level;
        } else {
            // Begun inside a dip, perhaps: only a dip below this depth is seen to begin.
            BeginLow(level - y);
            mDipFrom = level - y;
        }
        return false;
    }
    if (mPhase == Phase::kHigh) {
        mPeak = std::max(mPeak, y - level);
        if (y < level - settings.hysteresis * Scale()) {
            EndPhase();
            BeginLow(level - y);
        }
        return false;
    }
    if (y <= level)
        mPeak = std::max(mPeak, level - y);
    const double band = ReturnBand(settings.hysteresis);
    if (RoseBy(band)) {
        // A cycle that rose through the level: a return is no crossing.
        mDeep = false;
        mReturned = false;
    } else if (mReturned && y < mTop - band) {
        // Low again without having risen through the level: the return was the crossing, and
        // a new low phase begins.
        EndPhase();
        BeginLow(level - y);
        mHaveCandidate = false;
        return Started(settings, secondsPerTick, mTopPosition, found);
    } else {
        NoteReturn(band, level, position, y);
    }
    // A signal that rests on the level rises where it leaves it.
    if (y <= level) {
        mHaveCandidate = false;
        return false;
    }
    if (!mHaveCandidate) {
        // Placed between the two samples by straight line.
        mCandidate = previousPosition + (level - previous) / (y - previous) * (position - previousPosition);
        mHaveCandidate = true;
    }
    if (!(y > level + settings.hysteresis * Scale()))
        return false;
    EndPhase();
    mPhase = Phase::kHigh;
    mPeak = y - level;
    mHaveCandidate = false;
    mReturned = false;
    return Started(settings, secondsPerTick, mCandidate, found);
}

}  // namespace HostCalc
