// Follows the deviation of the noise a signal smoothed by a moving mean carries, as the recording
// goes: a noisy stretch (a mouthpiece being fitted, the subject settling) raises it only while it
// lasts. Two estimates, of which the larger counts: white noise's, from the raw samples' second
// differences (which breathing hardly curves), and correlated noise's, from the smoothed signal's
// second differences at a lag of about ten milliseconds (at a kilohertz that spans a flow head's
// filter, noise averaged over up to ten samples, and the moving mean, which differences of
// neighbouring raw samples read as far smaller than the noise is; slower recordings read it in
// part). Each is the median over the last few seconds, in blocks, of mean absolute second
// differences: neither a burst of noise nor a block of quick breathing stands for the whole. One
// sample at a time, in bounded state.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace HostCalc {

// The median over recent blocks of a signal's absolute second differences at one lag, each divided
// by what white noise of unit deviation makes of it.
class CurvatureMedian {
public:
    // Takes the next sample; lag and spread (the white noise's second difference's deviation)
    // restart the estimate where they change.
    void Push(long lag, double spread, double secondsPerTick, double y);
    // 0 until a second difference was taken; the current block's mean until one block ended.
    double Deviation() const;

private:
    void EndBlock();

    std::vector<double> mHistory;  // the last 2 lag + 1 samples, as a ring
    size_t mNext = 0;
    double mSpread = 0.0;
    double mSum = 0.0;  // of the current block
    size_t mCount = 0;
    std::array<double, 9> mBlocks{};  // the recent blocks' deviations, as a ring
    size_t mBlockCount = 0;
    size_t mBlockNext = 0;
    double mMedian = 0.0;  // of them
};

class NoiseFloor {
public:
    // Takes a raw sample, taken secondsPerTick after the one before.
    void PushRaw(int window, double secondsPerTick, double x);
    // Takes the moving mean of the last window raw samples.
    void PushSmoothed(int window, double secondsPerTick, double y);
    // The deviation of the noise the smoothed signal carries.
    double Deviation() const;

private:
    CurvatureMedian mRaw;
    CurvatureMedian mSmoothed;
};

}  // namespace HostCalc
