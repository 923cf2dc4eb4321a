// The plain loop beside a benchmark: in every iteration the measured work and a plain C++ loop
// over the same samples are timed one after the other, so that their ratio holds when the
// shared machine's speed drifts. The benchmark uses manual time (the measured work's own) and
// reports the plain loop's time and the ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace Bench {

class PlainLoop {
public:
    // Times work and then plain, and gives the benchmark the time of work.
    template <class Work, class Plain>
    void Iteration(benchmark::State& state, Work&& work, Plain&& plain)
    {
        const double measured = Seconds(work);
        mPlain += Seconds(plain);
        mMeasured += measured;
        mTimes.push_back(measured);
        state.SetIterationTime(measured);
    }

    // The median of the measured work's times, in seconds; 0 before the first iteration.
    double MedianSeconds() const
    {
        if (mTimes.empty())
            return 0;
        std::vector<double> times = mTimes;
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    }

    // "plain loop ms": the plain loop's mean time; "x plain loop": the measured time over it.
    void Report(benchmark::State& state) const
    {
        if (state.iterations() == 0 || mPlain <= 0)
            return;
        state.counters["plain loop ms"] = 1000.0 * mPlain / double(state.iterations());
        state.counters["x plain loop"] = mMeasured / mPlain;
    }

private:
    template <class F>
    static double Seconds(F&& f)
    {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    double mPlain = 0;
    double mMeasured = 0;
    std::vector<double> mTimes;
};

}  // namespace Bench
