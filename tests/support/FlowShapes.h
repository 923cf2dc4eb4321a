// Breathing drawn sample by sample, as a person breathes into a flow head: quiet breaths,
// forced ones with a hold at full inspiration, expirations cut short. Flow in litres per
// second, positive in; samples sit half a tick into each stretch, so none falls on a lobe's
// zero.
#pragma once

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace TestSupport {

class FlowShapes {
public:
    explicit FlowShapes(double rate = 100) : mRate(rate) {}

    FlowShapes& Rest(double seconds) { return Add(seconds, [](double) { return 0.0; }); }
    // Half-sine lobes taking in, or giving out, the litres over the seconds.
    FlowShapes& In(double litres, double seconds) { return HalfSine(litres, seconds); }
    FlowShapes& Out(double litres, double seconds) { return HalfSine(-litres, seconds); }
    // Out at once at the peak flow, falling with time constant tau; the litres over the seconds.
    FlowShapes& OutExponential(double litres, double seconds, double tau)
    {
        const double amplitude = litres / (1.0 - std::exp(-seconds / tau));
        return Add(seconds, [=](double s) { return -amplitude / tau * std::exp(-s / tau); });
    }
    // 0.5 L in over 1.5 s, out over 2 s, and 0.5 s of rest.
    FlowShapes& Quiet(int breaths)
    {
        for (int i = 0; i < breaths; ++i)
            In(0.5, 1.5).Out(0.5, 2.0).Rest(0.5);
        return *this;
    }
    // The recording begins the seconds later: what was drawn before is cut off.
    FlowShapes& CutFirst(double seconds)
    {
        mFlow.erase(mFlow.begin(), mFlow.begin() + std::lround(seconds * mRate));
        return *this;
    }
    // Normal noise of the given deviation on every sample so far.
    FlowShapes& Noise(double deviation, unsigned seed)
    {
        std::mt19937 engine(seed);
        std::normal_distribution<double> normal(0.0, deviation);
        for (double& f : mFlow)
            f += normal(engine);
        return *this;
    }

    // What the exponential expiration breathes out in its first second.
    static double ExponentialFev1(double litres, double seconds, double tau)
    {
        return litres / (1.0 - std::exp(-seconds / tau)) * (1.0 - std::exp(-1.0 / tau));
    }

    // The tick of the next sample.
    int Here() const { return int(mFlow.size()); }
    double Rate() const { return mRate; }
    const std::vector<double>& Flow() const { return mFlow; }
    // A hand-made recording: "time, Raw [V]", the head giving 2 L/s per volt.
    std::string Csv() const
    {
        std::ostringstream out;
        out.precision(10);
        out << "time, Raw [V]\n";
        for (size_t i = 0; i < mFlow.size(); ++i)
            out << double(i) / mRate << ", " << mFlow[i] / 2.0 << "\n";
        return out.str();
    }

private:
    template <class Shape>
    FlowShapes& Add(double seconds, Shape shape)
    {
        const int n = int(std::lround(seconds * mRate));
        for (int k = 0; k < n; ++k)
            mFlow.push_back(shape((k + 0.5) / mRate));
        return *this;
    }
    FlowShapes& HalfSine(double litres, double seconds)
    {
        const double peak = M_PI * litres / (2.0 * seconds);
        return Add(seconds, [=](double s) { return peak * std::sin(M_PI * s / seconds); });
    }

    double mRate;
    std::vector<double> mFlow;
};

}  // namespace TestSupport
