// The plain loop beside a benchmark: in every iteration the measured work and a plain C++ loop
// over the same samples are timed one after the other, so that their ratio holds when the
// shared machine's speed drifts. The benchmark uses manual time (the measured work's own) and
// reports the plain loop's time and the ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

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
        state.SetIterationTime(measured);
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
};

}  // namespace Bench
