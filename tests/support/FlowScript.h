// Hand-made flow recordings, written piece by piece as a person breathes into a flow head:
// rests at zero flow, half-sine expirations (negative) and inspirations (positive), forced
// expirations falling exponentially, short positive artefacts (blips, sniffs), quiet breaths;
// uniform or normal noise; cut to begin at any time. The script knows each expiration's span
// and true volume, and reads back a channel that should show it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace TestSupport {

class FlowScript {
public:
    struct Expiration {
        double onset, end;   // s, from the recording's first sample
        double restBefore;   // s of rest (artefacts included) before it; 0 after an inspiration
        double volume;       // L
    };

    FlowScript& Rest(double seconds) { return Add(seconds, 0.0, Kind::kRest); }
    FlowScript& Expire(double seconds, double litres) { return Add(seconds, litres, Kind::kExpiration); }
    FlowScript& Inspire(double seconds, double litres) { return Add(seconds, litres, Kind::kInspiration); }
    // Out at once at the peak flow, falling with time constant tau; the litres over the seconds.
    FlowScript& ExpireExponential(double seconds, double litres, double tau)
    {
        return Add(seconds, litres, Kind::kExpiration, tau);
    }
    // A positive artefact of this volume over this time, inside a rest.
    FlowScript& Artefact(double seconds, double litres) { return Add(seconds, litres, Kind::kArtefact); }
    // Breaths both ways of this volume, each in over ti and out over te.
    FlowScript& Breaths(int count, double litres, double ti = 1.5, double te = 2.0)
    {
        for (int k = 0; k < count; ++k)
            Inspire(ti, litres).Expire(te, litres);
        return *this;
    }
    // Quiet breaths: 0.5 L in over 1.5 s, out over 2 s, and 0.5 s of rest.
    FlowScript& Quiet(int count)
    {
        for (int k = 0; k < count; ++k)
            Breaths(1, 0.5).Rest(0.5);
        return *this;
    }
    // The recording begins this many seconds into the script.
    FlowScript& CutAt(double seconds)
    {
        mCut = seconds;
        return *this;
    }
    // Samples half a tick later, so that with pieces of whole ticks none falls on a boundary or
    // on a lobe's zero.
    FlowScript& MidTick()
    {
        mOffset = 0.5;
        return *this;
    }
    // Uniform within +-amplitude (L/s), the same for every run with the same seed.
    FlowScript& Noise(double amplitude, unsigned seed = 7) { return SetNoise(amplitude, seed, false); }
    // Normal of this deviation (L/s), the same for every run with the same seed.
    FlowScript& NormalNoise(double deviation, unsigned seed) { return SetNoise(deviation, seed, true); }

    // What an exponential expiration breathes out in its first second.
    static double ExponentialFev1(double seconds, double litres, double tau)
    {
        return Amplitude(seconds, litres, tau) * (1.0 - std::exp(-1.0 / tau));
    }

    // The flow in L/s at rate samples per second.
    std::vector<float> Flow(double rate) const
    {
        std::mt19937 random(mSeed);
        std::normal_distribution<double> normal;
        auto jitter = [&] { return mNoise * (mNormal ? normal(random) : 2.0 * random() / 4294967295.0 - 1.0); };
        std::vector<float> flow;
        double start = 0.0;
        for (const Piece& p : mPieces) {
            const double end = start + p.seconds;
            // A sample on the boundary of two pieces belongs to the later one.
            for (size_t tick = flow.size(); At(tick, rate) < end - 1e-9; tick = flow.size())
                flow.push_back(static_cast<float>(p.Value(At(tick, rate) - start) + jitter()));
            start = end;
        }
        return flow;
    }
    // The tick of the next sample at this rate.
    size_t Ticks(double rate) const { return Flow(rate).size(); }

    // The whole expirations within the recording, from its first sample.
    std::vector<Expiration> Expirations() const
    {
        std::vector<Expiration> out;
        double start = -mCut;
        double rest = 0.0;
        for (const Piece& p : mPieces) {
            if (p.kind == Kind::kExpiration && start >= 0.0)
                out.push_back({start, start + p.seconds, rest, p.litres});
            rest = p.kind == Kind::kRest || p.kind == Kind::kArtefact ? rest + p.seconds : 0.0;
            start += p.seconds;
        }
        return out;
    }

    // The recording as CSV, "time, Raw [V]" at gain L/s per volt.
    std::string Csv(double rate, double gain) const
    {
        std::string csv = "time, Raw [V]\n";
        const std::vector<float> flow = Flow(rate);
        char line[64];
        for (size_t tick = 0; tick < flow.size(); ++tick) {
            std::snprintf(line, sizeof line, "%.4f,%.7f\n", tick / rate, flow[tick] / gain);
            csv += line;
        }
        return csv;
    }

    // Samples that a tidal-volume channel shows wrong: at the middle of every expiration but the
    // last (which nothing closes) and through the last quarter of the rest before it, each must
    // be within 3 % or 50 mL of the expiration's volume. Counted per expiration and per rest.
    struct Wrong {
        int expirations = 0;
        int rests = 0;
        std::string detail;
    };
    Wrong Judge(const std::vector<double>& tidal, double rate) const
    {
        Wrong wrong;
        const std::vector<Expiration> expirations = Expirations();
        for (size_t k = 0; k + 1 < expirations.size(); ++k) {
            const Expiration& e = expirations[k];
            const double tolerance = std::max(0.03 * e.volume, 0.05);
            auto shown = [&](double t) {
                const size_t tick = static_cast<size_t>(std::lround(t * rate));
                return tick < tidal.size() ? tidal[tick] : NAN;
            };
            auto off = [&](double t) { return !(std::fabs(shown(t) - e.volume) <= tolerance); };
            char text[160];
            if (off((e.onset + e.end) / 2)) {
                ++wrong.expirations;
                std::snprintf(text, sizeof text, "expiration at %.2f s shows %.4g L, not %.4g L; ", e.onset,
                              shown((e.onset + e.end) / 2), e.volume);
                wrong.detail += text;
            }
            const double late = std::max(0.0, e.onset - e.restBefore / 4);
            for (double t = late; t < e.onset; t += 1.0 / rate) {
                if (off(t)) {
                    ++wrong.rests;
                    std::snprintf(text, sizeof text, "rest before %.2f s shows %.4g L at %.3f s; ", e.onset,
                                  shown(t), t);
                    wrong.detail += text;
                    break;
                }
            }
        }
        return wrong;
    }

private:
    enum class Kind { kRest, kExpiration, kInspiration, kArtefact };
    struct Piece {
        double seconds, litres;
        Kind kind;
        double tau;  // s; an exponential expiration's time constant, 0 for a half-sine lobe
        double Value(double t) const
        {
            if (tau > 0.0)
                return -Amplitude(seconds, litres, tau) / tau * std::exp(-t / tau);
            const double peak = std::acos(-1.0) * litres / (2.0 * seconds);
            const double lobe = peak * std::sin(std::acos(-1.0) * t / seconds);
            return kind == Kind::kRest ? 0.0 : kind == Kind::kExpiration ? -lobe : lobe;
        }
    };

    // What an exponential expiration would breathe out were it not cut off after the seconds.
    static double Amplitude(double seconds, double litres, double tau)
    {
        return litres / (1.0 - std::exp(-seconds / tau));
    }
    // The sample's time within the script.
    double At(size_t tick, double rate) const { return (tick + mOffset) / rate + mCut; }

    FlowScript& Add(double seconds, double litres, Kind kind, double tau = 0.0)
    {
        mPieces.push_back({seconds, litres, kind, tau});
        return *this;
    }
    FlowScript& SetNoise(double size, unsigned seed, bool normal)
    {
        mNoise = size;
        mSeed = seed;
        mNormal = normal;
        return *this;
    }

    std::vector<Piece> mPieces;
    double mCut = 0.0;
    double mOffset = 0.0;  // ticks
    double mNoise = 0.0;
    unsigned mSeed = 7;
    bool mNormal = false;
};

}  // namespace TestSupport
