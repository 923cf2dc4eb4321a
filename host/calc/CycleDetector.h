// Finds where the cycles of a signal begin: where it rises through a level (leaves it upwards),
// with hysteresis so that noise about the level makes one start per cycle. A signal that only
// dips below the level and comes back to it (expiration-only flow, at rest between
// expirations) never rises through it: there the return to the level after a low phase is the
// crossing, known once the signal falls away again. That return rule holds only where the
// signal has not risen above the level by the return's band in this cycle or the four before:
// in breathing both ways every cycle begins with a rise (noise as the flow turns may start a
// cycle or two of its own), a wiggle in an expiration would look like a return, and the cycles
// begin only where the signal rises, as if the rule were not there. The return's band is a
// share of the dip's own depth, small enough that an expiration a third as deep as the one
// before still falls away by it and is a cycle of its own. The signal may first be smoothed by a
// moving mean; a start too soon after the last one is no start. One sample at a time, so that
// the state can be kept and resumed by the event framework.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace HostCalc {

struct CycleSettings {
    double level = 0.0;
    // A crossing counts once the signal has passed the level on its new side by this share of
    // the smallest peak excursion among the phase it leaves and the four phases before: a
    // small breath after a deep one still counts, noise about the level does not. A return to
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

    // The moving mean over the last window samples and the mean of their ticks; false until
    // the window is full.
    bool Smooth(int window, int32_t tick, float x, double& position, double& value);
    // y and level as a rising signal has them.
    bool Detect(const CycleSettings& settings, double level, double secondsPerTick, double position, double y,
                CycleStart& found);
    // What the hysteresis is a share of.
    double Scale() const;
    // The band of a low phase's return: the hysteresis share of a quarter of the phase's own
    // depth, so that a dip after it a third as deep passes it even at full hysteresis. Not the
    // scale of a rise: a deep dip after shallow ones would otherwise need to fall away by the
    // whole of it, and noise in a pause before the first dip would keep it at the noise's size.
    double ReturnBand(double hysteresis) const;
    // Whether the signal rose above the level by more than band in this cycle or the four before.
    bool RoseBy(double band) const;
    // Remembers the peak of the phase that ends.
    void EndPhase();
    // A low phase begins at the level and is depth below it now.
    void BeginLow(double depth);
    // Follows a low phase's return to the level: first below where the phase began by the band
    // (a recording that begins inside a dip has not seen it begin, and its return is no
    // crossing), then back within the band of the level, then as close to it as it comes.
    void NoteReturn(double band, double level, double position, double y);
    // A start at position unless it is too soon after the last one.
    bool Started(const CycleSettings& settings, double secondsPerTick, double position, CycleStart& found);

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
    double mDipFrom = 0.0;   // how deep the recording began inside the low phase; 0 if it did not
    bool mDeep = false;      // and it has been below that by a return's band since
    bool mReturned = false;  // and has come back within it since
    double mTop = 0.0;       // the highest value since the return: the closest to the level
    double mTopPosition = 0.0;  // where it was first reached: the crossing, once confirmed
    double mLastStart = 0.0;
    bool mHaveStart = false;
    double mRise = 0.0;  // the most the signal has risen above the level since the last start
    std::array<double, 4> mRecentRises{};  // the same in the cycles before, as a ring
    size_t mRecentRiseNext = 0;
};

}  // namespace HostCalc
