// Synthetic flow and volume whose breaths are known exactly, and a harness that runs an event
// detector of the framework over them. Each breath is a half-sine inspiration of odd length
// (its peak falls on one sample) followed by a half-sine expiration of odd length or, for a
// forced breath, an exponential one; samples sit half a tick off the curve's zeros, so every
// zero crossing falls between two samples and the first sample of the new sign is its tick.
#pragma once

#include <cmath>
#include <cstring>
#include <vector>

#include "calc/EEH3Enumerator.h"
#include "foundation/KVDString.h"
#include "support/FakeStreams.h"

namespace SpiroTest {

constexpr double kPi = 3.14159265358979323846;

struct BreathShape {
    int ti;     // samples of inspiration (odd)
    int te;     // samples of expiration (odd for a sine)
    float pif;  // peak inspiratory flow
    float pef;  // peak expiratory flow, positive
    double tau = 0;  // samples; an exponential expiration when set
};

// Where each landmark of a breath lies, as the two-stage detectors define them.
struct KnownBreath {
    int32_t start, end, maxFlowTick, minFlowTick, reversalTick, maxVolTick, minVolTick;
    double expired;  // the integrated negative flow from start to end (set by Integrate)
};

struct BreathSignal {
    double dt = 0.001;
    double level = 0.1;  // of the detectors
    std::vector<float> flow;
    std::vector<float> volume;  // the running sum of flow times dt, the sample itself included
    std::vector<KnownBreath> breaths;

    // Flow within the band of the level: it never starts or ends a breath.
    void Quiet(int samples, float value = -0.01f) { flow.insert(flow.end(), samples, value); }
    void Breath(const BreathShape& s);
    // An inspiration that closes the last breath and is no breath itself.
    void Closing(int ti = 301, float pif = 0.5f);
    // A deterministic ripple of the given size where the flow is near the level, never where it
    // is near zero or at its peaks, so every landmark stays where it was.
    void RippleNearLevel(double level, double size);
    void Integrate(double startVolume = 1.0);
    int32_t Ticks() const { return static_cast<int32_t>(flow.size()); }
};

inline void BreathSignal::Breath(const BreathShape& s)
{
    const int32_t start = Ticks();
    for (int k = 0; k < s.ti; ++k)
        flow.push_back(static_cast<float>(s.pif * std::sin(kPi * (k + 0.5) / s.ti)));
    for (int k = 0; k < s.te; ++k) {
        const double f = s.tau > 0 ? s.pef * std::exp(-(k + 0.5) / s.tau) : s.pef * std::sin(kPi * (k + 0.5) / s.te);
        flow.push_back(static_cast<float>(-f));
    }
    const int32_t reversal = start + s.ti;
    // The sample nearest zero between the peak and the first negative sample (a tie keeps the
    // earlier one), or that negative sample when it is already beyond the level.
    const float first = std::fabs(flow[reversal]);
    const int32_t nearest = first < flow[reversal - 1] || first > level ? reversal : reversal - 1;
    breaths.push_back({start, start + s.ti + s.te, start + (s.ti - 1) / 2,
                       s.tau > 0 ? reversal : reversal + (s.te - 1) / 2, nearest, reversal - 1,
                       start + s.ti + s.te - 1, 0.0});
}

inline void BreathSignal::Closing(int ti, float pif)
{
    for (int k = 0; k < ti; ++k)
        flow.push_back(static_cast<float>(pif * std::sin(kPi * (k + 0.5) / ti)));
}

inline void BreathSignal::RippleNearLevel(double level, double size)
{
    uint32_t seed = 12345;
    for (float& f : flow) {
        seed = seed * 1664525u + 1013904223u;
        const double magnitude = std::fabs(f);
        if (magnitude > 0.5 * level && magnitude < 1.5 * level)
            f += static_cast<float>(size * ((seed >> 8) / 8388608.0 - 1.0));
    }
}

inline void BreathSignal::Integrate(double startVolume)
{
    volume.resize(flow.size());
    double v = startVolume;
    for (size_t i = 0; i < flow.size(); ++i)
        volume[i] = static_cast<float>(v += flow[i] * dt);
    for (KnownBreath& b : breaths) {
        b.expired = 0.0;
        for (int32_t i = b.start; i < b.end; ++i)
            if (flow[i] < 0)
                b.expired -= flow[i] * dt;
    }
}

// One detector of the framework over vector streams or other enumerators, read to the end.
template <class T>
class Detector {
public:
    using Enumerator = EEH3::EEH3Enumerator<T, 8>;
    using Event = typename T::Event;

    // settings: the detector's own, after the argument text and alias index the formula puts
    // first.
    Detector(const wchar_t* settings, std::vector<IUnknown*> sources, double sampling = 0.001)
    {
        BlockUpdateType update = 0;
        mEnum->SetSettings(KVD::String(std::wstring(L"(args)\t0\t") + settings).AsIAutoKVDString(), &update);
        mEnum->SetSources(0, static_cast<long>(sources.size()), sources.data(), nullptr, sampling, 0);
        mEnum->SetInitialPosition(0);
    }
    ~Detector()
    {
        mEnum->ReleaseSources();
        mEnum->Release();
    }
    Detector(const Detector&) = delete;
    Detector& operator=(const Detector&) = delete;

    IEnumEventEx* Events() { return mEnum->EventFace(); }

    std::vector<Event> ReadAll(int32_t endTick = EEH3::kNoTick)
    {
        std::vector<uint8_t> buffer(8 * sizeof(Event));
        std::vector<Event> events;
        for (;;) {
            uint32_t count = 0;
            int32_t position = 0;
            const HRESULT hr = mEnum->Next(static_cast<uint32_t>(buffer.size()), endTick, buffer.data(), &count,
                                           &position);
            for (uint32_t i = 0; i < count; ++i) {
                Event event;
                std::memcpy(&event, buffer.data() + i * sizeof(Event), sizeof(Event));
                events.push_back(event);
            }
            if (count == 0 || hr != KVD_S_OK || position >= endTick)
                return events;
        }
    }

private:
    Enumerator* mEnum = new Enumerator(nullptr, nullptr);
};

// A vector stream the detector holds on its own; the harness drops its reference at once.
class Streams {
public:
    IUnknown* Of(const std::vector<float>& samples)
    {
        mStreams.push_back(CalcTest::FloatStream::Make(samples));
        return static_cast<IEnumFloatEx*>(mStreams.back());
    }
    ~Streams()
    {
        for (CalcTest::FloatStream* s : mStreams)
            s->Release();
    }

private:
    std::vector<CalcTest::FloatStream*> mStreams;
};

}  // namespace SpiroTest
