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
// A dip after rises of at most this share of its area is expiration alone (the rises are
// artefacts: blips, sniffs, noise), and the signal back at the level after it rests until it
// rises by this share of the dip's area. Breathing in and out, a dip follows a rise of its size.
constexpr double kArtefactShare = 0.25;
// A dip of less than this share of the rise before it is the flow turning after breathing in:
// noise may bring it back to the level, and that is no return.
constexpr double kTurnShare = 0.25;
// Rising out of a dip the recording began in, the share of its depth the hysteresis is a share
// of: an inspiration a quarter as high as the dip is deep passes the usual hysteresis of a half,
// noise an eighth as high in a pause after it does not.
constexpr double kFirstDipShare = 1.0 / 3.0;
// Before the first start, the least peak of a rise or dip that starts a cycle, in deviations of
// the noise the smoothed signal carries: white noise smoothed reaches it about never.
constexpr double kNoiseDeviations = 5.0;
// The least a rise passes the level by, in those deviations: at a kilohertz the noise chatters
// about the level for tenths of a second as breathing crosses it, seldom by this much; a rest
// just above the level stays above it.
constexpr double kRiseDeviations = 4.0;
// Before the first start, the least a crossing of the level passes it by, in those deviations.
constexpr double kCrossingDeviations = 3.0;

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
    mNoise.PushRaw(settings.Window(), secondsPerTick, x);
    double position = 0.0;
    double value = 0.0;
    if (!Smooth(settings.Window(), tick, x, position, value))
        return false;
    mNoise.PushSmoothed(settings.Window(), secondsPerTick, value);
    // A falling signal is a rising one turned over.
    const double sign = settings.falling ? -1.0 : 1.0;
    return Detect(settings, sign * settings.level, secondsPerTick, position, sign * value, found);
}

int32_t CycleDetector::EarliestPending(int32_t nextTick) const
{
    // The first smoothed sample lies at the mean of the window's ticks, not before its first.
    if (!mHavePrevious)
        return mNext == 0 ? nextTick : std::min(nextTick, mTicks[0]);
    double earliest = mPreviousPosition;
    if (mReturned && mHaveCandidate)
        earliest = std::min(mCandidate, mTopPosition);
    else if (mReturned)
        earliest = mTopPosition;
    else if (mHaveCandidate)
        earliest = mCandidate;
    if (mProbing)
        earliest = std::min(earliest, mProbeStart);
    return static_cast<int32_t>(std::floor(earliest));
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

bool CycleDetector::AboveNoise(double peak) const
{
    return peak >= kNoiseDeviations * mNoise.Deviation();
}

double CycleDetector::Scale() const
{
    // The phase the recording began in has no phase before it to show how far the signal goes
    // the other way: a short inspiration peaks at more than twice its long expiration's depth,
    // and a short expiration dips three or four times deeper than its long inspiration peaks.
    if (mRecentCount == 0)
        return mPhase == Phase::kHigh ? kReturnShare * mPeak : kFirstDipShare * mPeak;
    double scale = mPeak;
    for (size_t i = 0; i < mRecentCount; ++i)
        scale = std::min(scale, mRecentPeaks[i]);
    return scale;
}

double CycleDetector::Threshold(double hysteresis) const
{
    // Scale() is a phase's peak, and noise's where the signal began in noise or a phase of noise
    // followed: a threshold within the noise lets the noise chatter through it.
    return std::max(hysteresis * Scale(), kRiseDeviations * mNoise.Deviation());
}

double CycleDetector::ReturnBand(double hysteresis) const
{
    return hysteresis * kReturnShare * mPeak;
}

CycleDetector::Return CycleDetector::Judge(const CycleSettings& settings, double secondsPerTick,
                                           double position) const
{
    // Before the first start the rises before the dip are all the signal's rises so far.
    const double before = mHaveStart ? mRiseBefore : mRiseArea;
    // Noise about the level, or the flow turning after breathing in. A cycle of an expiration
    // shorter than half the minimum cycle holds in the rest after it, from the return until the
    // signal falls away: noise's dips are short, and so are the stretches between them.
    const bool held =
        Held(settings, secondsPerTick, mLongestBelow) || Held(settings, secondsPerTick, position - mTopPosition);
    if (!held || mDipArea < kTurnShare * before)
        return Return::kNone;
    // Before the first start the signal's size is not known: a dip no larger than noise about
    // the level has made the level is noise itself.
    if (!mHaveStart && (before > kArtefactShare * mDipArea || !AboveNoise(mPeak)))
        return Return::kNone;
    // A dip after breathing in, or one the recording began inside: its return is a crossing only
    // where the signal goes on to fall away from it by twice the band, as a dip does, and noise
    // in a pause before the next breath in rarely does.
    const bool seen = mDipFrom <= ReturnBand(settings.hysteresis);
    return seen && before <= kArtefactShare * mDipArea ? Return::kStart : Return::kFurther;
}

bool CycleDetector::Resting(const CycleSettings& settings, double secondsPerTick, double position) const
{
    return mPhase == Phase::kLow && mReturned && Judge(settings, secondsPerTick, position) == Return::kStart &&
           mRiseArea < kArtefactShare * mDipArea;
}

bool CycleDetector::Held(const CycleSettings& settings, double secondsPerTick, double ticks)
{
    return ticks * secondsPerTick >= settings.minimumCycle / 2;
}

void CycleDetector::EndPhase()
{
    mRecentPeaks[mRecentNext] = mPeak;
    mRecentNext = (mRecentNext + 1) % mRecentPeaks.size();
    mRecentCount = std::min(mRecentCount + 1, mRecentPeaks.size());
}

void CycleDetector::BeginLow(double depth, double from)
{
    mPhase = Phase::kLow;
    mPeak = depth;
    mDipArea = depth;
    mLongestBelow = 0.0;
    mRiseBefore = mRiseArea;
    mDipFrom = from;
    mDeep = false;
    mReturned = false;
}

void CycleDetector::NoteReturn(double band, double level, double position, double y)
{
    if (mReturned) {
        if (y > mTop && mTop < level) {
            mTop = y;
            mTopPosition = position;
        }
    } else if (y < level - band) {
        mDeep = true;
    } else if (mDeep) {
        mReturned = true;
        mTop = y;
        mTopPosition = position;
        mFallArea = 0.0;
        mReturnedDipArea = mDipArea;
        if (mHaveStart)
            mRiseArea = 0.0;
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
    mProbing = false;
    return true;
}

void CycleDetector::FollowFirstCycle(double threshold, double level, double y)
{
    if (!mProbing)
        return;
    // Noise about the level as the signal crosses it is no crossing: a quarter of the threshold,
    // and more than the noise.
    const double band = std::max(kReturnShare * threshold, kCrossingDeviations * mNoise.Deviation());
    if (mProbeAbove ? y < level - band : y > level + band) {
        mProbeAbove = !mProbeAbove;
        ++mProbeCrossings;
    }
    if (!mProbeDipping) {
        mProbeRise += std::max(0.0, y - level);
        mProbeRisePeak = std::max(mProbeRisePeak, y - level);
        mProbeDipping = y < level - threshold;
    }
    if (mProbeDipping) {
        mProbeDip += std::max(0.0, level - y);
        mProbeDipPeak = std::max(mProbeDipPeak, level - y);
    }
}

bool CycleDetector::FirstCycle(const CycleSettings& settings, double secondsPerTick, CycleStart& found)
{
    // Still the rise that opened it.
    if (mProbing && !mProbeDipping)
        return false;
    // Breathing both ways: a cycle of at least the minimum that crossed the level but once between
    // its rises, as noise about the level rarely does for so long, and a dip of about the rise's
    // size.
    const bool closed = mProbing && (mCandidate - mProbeStart) * secondsPerTick >= settings.minimumCycle &&
                        mProbeCrossings == 2 && mProbeRise >= kArtefactShare * mProbeDip &&
                        mProbeDip >= kTurnShare * mProbeRise && AboveNoise(mProbeRisePeak) &&
                        AboveNoise(mProbeDipPeak);
    if (!closed) {
        // This rise opens the first cycle instead.
        mProbing = true;
        mProbeDipping = false;
        mProbeStart = mCandidate;
        mProbeRise = mProbeDip = mProbeDipPeak = 0.0;
        mProbeRisePeak = mCandidatePeak;
        mProbeAbove = true;
        mProbeCrossings = 0;
        return false;
    }
    const double rise = mProbeRise;
    const double dip = mProbeDip;
    Started(settings, secondsPerTick, mProbeStart, found);
    // The low phase is now the cycle's dip, after its rise, and has not come back.
    mRiseBefore = rise;
    mDipArea = dip;
    mRiseArea = 0.0;
    mDipFrom = 0.0;
    mDeep = false;
    mReturned = false;
    return true;
}

void CycleDetector::TrackBelow(double level, double position, double y)
{
    if (y >= level) {
        mBelow = false;
    } else if (!mBelow) {
        mBelow = true;
        mBelowSince = position;
    }
    // Of the dip before its return, until it reaches the level: the signal below the level again
    // after that is a dip to come.
    if (!mReturned || mBelowSince < mTopPosition)
        mLongestBelow = std::max(mLongestBelow, mBelow ? position - mBelowSince : 0.0);
}

bool CycleDetector::Returned(const CycleSettings& settings, double secondsPerTick, double level, double position,
                             double y)
{
    const double band = ReturnBand(settings.hysteresis);
    // Measured from the level once the signal has reached it: noise above it is no fall.
    const double fall = std::min(mTop, level) - y;
    if (mReturned)
        mFallArea += std::max(0.0, level - y);
    if (!mReturned || fall <= band) {
        NoteReturn(band, level, position, y);
        return false;
    }
    const Return judged = Judge(settings, secondsPerTick, position);
    if (judged == Return::kNone) {
        mDeep = false;
        mReturned = false;
        return false;
    }
    // After breathing in, noise at the end of a slow expiration may reach the level and fall
    // back by the band while the flow is still going out: the dip after a return is a dip of its
    // own only once it has a quarter of the area of the one before.
    return judged == Return::kStart || (fall > 2.0 * band && mFallArea >= kTurnShare * mReturnedDipArea);
}

bool CycleDetector::Rose(const CycleSettings& settings, double secondsPerTick, double level, double previous,
                         double previousPosition, double position, double y, CycleStart& found)
{
    // A signal that rests on the level rises where it leaves it.
    if (y <= level) {
        mHaveCandidate = false;
        mRisen = false;
        return false;
    }
    if (!mHaveCandidate) {
        // Placed between the two samples by straight line.
        mCandidate = previousPosition + (level - previous) / (y - previous) * (position - previousPosition);
        mHaveCandidate = true;
        mCandidatePeak = 0.0;
    }
    mCandidatePeak = std::max(mCandidatePeak, y - level);
    // Before the first start a rise holds from where it passes the hysteresis share of the scale
    // (a clean inspiration barely longer than the minimum cycle still holds), but only one
    // past the noise as well opens or closes the first cycle.
    const double hysteresis = settings.hysteresis * Scale();
    if (!(y > level + (mHaveStart ? Threshold(settings.hysteresis) : hysteresis))) {
        mRisen = false;
        return false;
    }
    if (!mRisen) {
        mRisen = true;
        mRisenSince = position;
    }
    if (!mHaveStart && y > level + Threshold(settings.hysteresis) && FirstCycle(settings, secondsPerTick, found))
        return true;
    // Before the first start a dip that held below the level may be noise as well: the
    // signal's size is not known yet.
    const bool afterDip = mHaveStart && Held(settings, secondsPerTick, mLongestBelow);
    // A rise holds above the level from where it crossed it: a long inspiration after a short
    // deep expiration stays above the hysteresis of its own small peak for only half its length.
    // Before the first start it holds by itself, above the hysteresis for twice as long: noise
    // with an artefact in it may hold above the level for half the minimum cycle.
    const double risen = mHaveStart ? position - mCandidate : (position - mRisenSince) / 2.0;
    if (Resting(settings, secondsPerTick, position) || !(afterDip || Held(settings, secondsPerTick, risen)) ||
        !(mHaveStart || AboveNoise(mCandidatePeak)))
        return false;
    EndPhase();
    mPhase = Phase::kHigh;
    mPeak = y - level;
    mHaveCandidate = false;
    mRisen = false;
    mReturned = false;
    return Started(settings, secondsPerTick, mCandidate, found);
}

bool CycleDetector::Detect(const CycleSettings& settings, double level, double secondsPerTick, double position,
                           double y, CycleStart& found)
{
    const double previous = mPrevious;
    const double previousPosition = mPreviousPosition;
    mPrevious = y;
    mPreviousPosition = position;
    mRiseArea += std::max(0.0, y - level);
    TrackBelow(level, position, y);
    if (!mHavePrevious) {
        mHavePrevious = true;
        if (y > level) {
            mPhase = Phase::kHigh;
            mPeak = y - level;
        } else {
            // Begun inside a dip, perhaps.
            BeginLow(level - y, level - y);
        }
        return false;
    }
    if (mPhase == Phase::kHigh) {
        mPeak = std::max(mPeak, y - level);
        if (y < level - settings.hysteresis * Scale()) {
            EndPhase();
            BeginLow(level - y, 0.0);
        }
        return false;
    }
    if (y <= level) {
        mPeak = std::max(mPeak, level - y);
        mDipArea += level - y;
    }
    if (!mHaveStart)
        FollowFirstCycle(Threshold(settings.hysteresis), level, y);
    if (Returned(settings, secondsPerTick, level, position, y)) {
        // Low again without having risen through the level: the return was the crossing, and a
        // new low phase begins.
        EndPhase();
        BeginLow(level - y, 0.0);
        mHaveCandidate = false;
        return Started(settings, secondsPerTick, mTopPosition, found);
    }
    return Rose(settings, secondsPerTick, level, previous, previousPosition, position, y, found);
}

}  // namespace HostCalc
