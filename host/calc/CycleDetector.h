// Finds where the cycles of a signal begin: where it rises through a level (leaves it upwards),
// with hysteresis so that noise about the level makes one start per cycle. A signal that only
// dips below the level and comes back to it (expiration-only flow, at rest between
// expirations) never rises through it: there the return to the level after a low phase is the
// crossing, known once the signal falls away again. Which of the two a dip is, is read near it
// in time: from the area the signal rose above the level between the return before the dip and
// the dip. Breathing both ways, a dip follows a rise of about its own size, and its return
// counts only where the signal then falls away by twice the return's band into a dip of a
// quarter of its area (so that breathing that turns expiration-only is cut from its first
// expiration on, and noise in a pause before the next breath in, or at the end of a slow
// expiration, is not); a dip after rises of at most a quarter of its area (blips,
// sniffs, noise in a rest) is expiration alone, its return counts at once, and the rest after
// it is cut by no rise smaller than that; a dip under a quarter of the rise before it is the
// flow turning, and noise there is no return. A recording that begins deep inside a dip is
// read as if breathing both ways. The return's band is a share of the dip's own depth, small
// enough that an expiration a third as deep as the one before still falls away by it. Noise
// about the level crosses it as breathing does, only for less time: a crossing counts only
// where the dip it leaves held below the level (until it reached it again) for half the
// minimum cycle, or the signal rested at the level that long after it (a short expiration, a
// long rest), or the rise holds above it that long (from where it crossed it: a long inspiration
// after a short deep expiration stays beyond the hysteresis for only half its length). Before
// the first start the signal's size is not known, and a dip that held may be noise as well: a
// rise must hold by itself, for the whole minimum cycle, or close a whole cycle both ways
// (inspirations may be shorter than the minimum cycle): the rise before it came at least the
// minimum cycle earlier, the signal crossed the level but once between them (by a quarter of
// the threshold, and by three deviations of the noise, which at a kilohertz chatters about the
// level as breathing crosses it), and that rise and the dip after it are each at least a quarter
// of the other's area; that rise is then the first start, known a cycle later. A dip's return
// counts only where the dip's area is four times all the signal rose so far. Against scales of
// its own making, noise in a rest can pass all that: the rise, the dip that returns, or both of
// the whole cycle must also peak at five deviations of the noise the smoothed signal carries
// (see NoiseFloor: estimated over the last few seconds all through the recording, so that a
// noisy opening deafens the finder to shallow breaths only while it lasts). A rise counts
// (before the first start: opens or closes a cycle) only where it passes the level by four such
// deviations as well: the scale is the smallest recent peak, which noise
// at the recording's beginning makes the noise's own. A rise the recording begins in has no
// dip before it to show how deep the signal goes: it ends at a quarter of the hysteresis it
// would otherwise need; a dip it begins in has no rise before it, and a short expiration dips
// three or four times deeper than its long inspiration peaks: a rise out of it passes at a third.
// The signal may first be smoothed by a moving mean; a start too soon after the last one is no
// start. One sample at a time, so that the state can be kept and resumed by the event framework.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/calc/NoiseFloor.h"

namespace HostCalc {

struct CycleSettings {
    double level = 0.0;
    // A crossing counts once the signal has passed the level on its new side by this share of
    // the smallest peak excursion among the phase it leaves and the four phases before: a
    // small breath after a deep one still counts, noise about the level does not (rising, by four
    // deviations of the recent noise as well; leaving a rise the
    // recording began in, a quarter of its peak excursion; rising out of a dip it began in, a
    // third of its depth). A return to
    // the level from below is first within a band of the level, this share of a quarter of the
    // dip's depth, and counts once the signal falls away from it by the band again.
    double hysteresis = 0.25;
    double minimumCycle = 0.2;  // seconds
    double smoothing = 1.0;     // samples of the moving mean, rounded; 0 or 1: none
    bool falling = false;       // cycles begin where the signal falls through the level

    // The moving mean's length, at least 1.
    int Window() const;
    // Whether every value lies in its range (hysteresis 0 to 1, the minimum cycle 0 to 3600 s,
    // smoothing 0 to 10000 samples, the level finite within +-1e15).
    bool IsValid() const;
};

struct CycleStart {
    double position = 0.0;  // tick, with the part between two samples where the level lay
    double length = 0.0;    // seconds since the last start; 0 for the first
};

class CycleDetector {
public:
    // Takes the sample x at tick; true when it confirms a cycle start, written to found.
    // secondsPerTick turns tick distances into time.
    bool Push(const CycleSettings& settings, double secondsPerTick, int32_t tick, float x, CycleStart& found);

    // No start found later can lie before this tick; nextTick is the tick of the next sample.
    int32_t EarliestPending(int32_t nextTick) const;

private:
    enum class Phase { kLow, kHigh };

    // Whether a peak excursion from the level stands five deviations above the noise the
    // smoothed signal carries.
    bool AboveNoise(double peak) const;
    // The moving mean over the last window samples and the mean of their ticks; false until
    // the window is full.
    bool Smooth(int window, int32_t tick, float x, double& position, double& value);
    // y and level as a rising signal has them.
    bool Detect(const CycleSettings& settings, double level, double secondsPerTick, double position, double y,
                CycleStart& found);
    // What the hysteresis is a share of.
    double Scale() const;
    // How far a rise must pass the level to count: the hysteresis share of the scale, and at
    // least four deviations of the noise.
    double Threshold(double hysteresis) const;
    // The band of a low phase's return: the hysteresis share of a quarter of the phase's own
    // depth, so that a dip after it a third as deep passes it even at full hysteresis. Not the
    // scale of a rise: a deep dip after shallow ones would otherwise need to fall away by the
    // whole of it, and noise in a pause before the first dip would keep it at the noise's size.
    double ReturnBand(double hysteresis) const;
    // What the dip's rises before it make of its return, once the signal falls away from it (at
    // position), or while it has rested at the level until position.
    enum class Return { kStart, kFurther, kNone };
    Return Judge(const CycleSettings& settings, double secondsPerTick, double position) const;
    // Whether the signal, back at the level after a dip that expiration alone makes, has risen
    // too little to be breathing in: then it rests, and a rise through the level starts nothing.
    bool Resting(const CycleSettings& settings, double secondsPerTick, double position) const;
    // Whether the signal stayed on one side of the level for ticks long enough to be breathing
    // (half the minimum cycle), not noise about it: a cycle starts where the signal leaves a dip
    // that held below the level so long, or rested at the level so long after it, or, rising,
    // once it has held above it so long.
    static bool Held(const CycleSettings& settings, double secondsPerTick, double ticks);
    // Remembers the peak of the phase that ends.
    void EndPhase();
    // A low phase is depth below the level now, and began from depth from (0 but where the
    // recording began inside it).
    void BeginLow(double depth, double from);
    // Follows a low phase's return to the level: first below the level by the band, then back
    // within it, then as close to it as it comes, the first time it reaches it.
    void NoteReturn(double band, double level, double position, double y);
    // Follows how long the signal stays below the level.
    void TrackBelow(double level, double position, double y);
    // Whether the signal, falling away from a return, confirms it as the crossing.
    bool Returned(const CycleSettings& settings, double secondsPerTick, double level, double position, double y);
    // Follows a rise through the level out of a low phase; true when it starts a cycle.
    bool Rose(const CycleSettings& settings, double secondsPerTick, double level, double previous,
              double previousPosition, double position, double y, CycleStart& found);
    // Before the first start, follows the cycle a rise through the level opened: its rise until
    // the signal falls below the level by the threshold (the hysteresis), then its dip, and its
    // crossings of the level by a quarter of the threshold.
    void FollowFirstCycle(double threshold, double level, double y);
    // Before the first start, at a rise through the level that has passed the hysteresis:
    // whether it closes the cycle the rise before it opened, as breathing both ways would, which
    // makes that rise the first start; otherwise it opens the cycle.
    bool FirstCycle(const CycleSettings& settings, double secondsPerTick, CycleStart& found);
    // A start at position unless it is too soon after the last one.
    bool Started(const CycleSettings& settings, double secondsPerTick, double position, CycleStart& found);

    NoiseFloor mNoise;
    std::vector<float> mSamples;   // the window, as a ring
    std::vector<int32_t> mTicks;
    size_t mNext = 0;
    double mSum = 0.0;
    double mTickSum = 0.0;

    Phase mPhase = Phase::kLow;  // known from the first smoothed sample on
    double mPeak = 0.0;  // the largest excursion from the level in the current phase
    std::array<double, 4> mRecentPeaks{};  // of the phases before, as a ring
    size_t mRecentCount = 0;
    size_t mRecentNext = 0;
    double mPrevious = 0.0;
    double mPreviousPosition = 0.0;
    bool mHavePrevious = false;
    double mCandidate = 0.0;  // the last rise through the level, not yet confirmed
    bool mHaveCandidate = false;
    double mCandidatePeak = 0.0;  // its highest above the level so far
    bool mRisen = false;       // and it has been above the level by the hysteresis since
    double mRisenSince = 0.0;  // this position
    // The dip of the low phase: its area below the level, the area the signal rose above it
    // between the return before the dip and the dip's beginning, and how deep in it the
    // recording began (0 if it began at or above the level or the dip began later).
    double mDipArea = 0.0;
    double mRiseBefore = 0.0;
    double mDipFrom = 0.0;
    bool mDeep = false;      // it has been below the level by a return's band
    bool mReturned = false;  // and has come back within it since
    double mTop = 0.0;       // the highest value since the return, until it reached the level
    double mTopPosition = 0.0;  // where it was reached: the crossing, once confirmed
    double mReturnedDipArea = 0.0;  // the dip's area when it came back
    double mFallArea = 0.0;         // below the level since
    bool mBelow = false;        // the signal is below the level
    double mBelowSince = 0.0;   // since this position
    double mLongestBelow = 0.0;  // ticks: the longest it stayed there in this low phase's dip
    double mRiseArea = 0.0;  // above the level since the last return to it (or the first sample
                             // until the first start)
    double mLastStart = 0.0;
    bool mHaveStart = false;
    // Before the first start: the cycle the last rise through the level opened (where it
    // crossed), whether it has fallen below the level by the hysteresis since, the areas of its
    // rise and its dip, and how often the signal crossed the level since, and to which side.
    bool mProbing = false;
    bool mProbeDipping = false;
    bool mProbeAbove = false;
    double mProbeStart = 0.0;
    double mProbeRise = 0.0;
    double mProbeDip = 0.0;
    double mProbeRisePeak = 0.0;
    double mProbeDipPeak = 0.0;
    int mProbeCrossings = 0;
};

}  // namespace HostCalc
