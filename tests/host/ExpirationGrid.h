// Recordings of flow that expires only, or turns so, departing from the clean case: lone
// positive artefacts of several sizes and places, breathing both ways that turns
// expiration-only and back, recordings cut to begin at every tenth of the first cycle; each
// clean and with noise, at 100 Hz and 1 kHz. Cut into cycles by the host's cycle detection with
// the expiratory-only tidal volume's settings, and the channel that volume shows worked out as
// its detector does: each cycle's expired volume, from the cycle's start on.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/calc/CycleDetector.h"
#include "support/FlowScript.h"

namespace ExpirationGrid {

using TestSupport::FlowScript;

struct Case {
    std::string name;
    FlowScript script;
};

// The volumes of the expirations the recording holds, each after 2 s of rest.
inline FlowScript Expirations(const std::vector<double>& litres)
{
    FlowScript script;
    for (double v : litres)
        script.Rest(2.0).Expire(2.0, v);
    return script.Rest(2.0);
}

const std::vector<double> kVolumes = {0.6, 0.8, 0.5, 0.7, 0.9, 0.4};

// Artefacts in the rest before one expiration: blips (0.05 to 0.4 L/s, 0.05 to 0.2 s) and
// sniffs (0.01 to 0.05 L over 0.2 to 0.3 s), early, midway or late in the rest.
inline std::vector<Case> ArtefactsBefore(size_t before)
{
    struct Size {
        const char* name;
        double seconds, litres;
    };
    const Size sizes[] = {{"blip 0.1 L/s", 0.1, 0.1 * 0.2 / std::acos(-1.0)},
                          {"blip 0.4 L/s", 0.05, 0.4 * 0.1 / std::acos(-1.0)},
                          {"blip 0.05 L/s", 0.2, 0.05 * 0.4 / std::acos(-1.0)},
                          {"sniff 0.02 L", 0.2, 0.02},
                          {"sniff 0.05 L", 0.3, 0.05}};
    std::vector<Case> cases;
    for (const Size& size : sizes) {
        for (double place : {0.2, 0.5, 0.8}) {
            FlowScript script;
            for (size_t k = 0; k < kVolumes.size(); ++k) {
                if (k == before) {
                    const double lead = 2.0 * place - size.seconds / 2;
                    script.Rest(lead).Artefact(size.seconds, size.litres).Rest(2.0 - lead - size.seconds);
                } else {
                    script.Rest(2.0);
                }
                script.Expire(2.0, kVolumes[k]);
            }
            script.Rest(2.0);
            cases.push_back({std::string(size.name) + " before expiration " + std::to_string(before + 1) + " at " +
                                 std::to_string(place).substr(0, 3) + " of its rest",
                             script});
        }
    }
    return cases;
}

// Artefacts before the first, third or fourth expiration, and a sniff before every one.
inline std::vector<Case> Artefacts()
{
    std::vector<Case> cases;
    for (size_t before : {0u, 2u, 3u}) {
        const std::vector<Case> some = ArtefactsBefore(before);
        cases.insert(cases.end(), some.begin(), some.end());
    }
    // Sniffs of 0.02 L in the rest before every expiration of sixteen.
    FlowScript sniffs;
    for (int k = 0; k < 16; ++k)
        sniffs.Rest(0.8).Artefact(0.2, 0.02).Rest(1.0).Expire(2.0, kVolumes[k % kVolumes.size()]);
    cases.push_back({"a sniff before each of 16 expirations", sniffs.Rest(2.0)});
    return cases;
}

// Breathing both ways (8 breaths of 0.6 L) that turns expiration-only, and back to four breaths.
inline std::vector<Case> Turns()
{
    std::vector<Case> cases;
    for (double rest : {0.0, 1.0, 2.0}) {
        FlowScript script;
        script.Rest(1.0).Breaths(8, 0.6);
        for (double v : {0.8, 0.5, 0.7, 0.9, 0.4})
            script.Rest(2.0).Expire(2.0, v);
        script.Rest(rest).Breaths(4, 0.6).Rest(1.0);
        cases.push_back({"both ways, expiration-only, both ways after " + std::to_string(rest).substr(0, 3) + " s",
                         script});
    }
    return cases;
}

// The recording cut to begin at every tenth of its first cycle (rest, then expiration).
inline std::vector<Case> Cuts()
{
    std::vector<Case> cases;
    for (int tenth = 0; tenth < 10; ++tenth) {
        FlowScript script = Expirations(kVolumes);
        cases.push_back({"cut at " + std::to_string(tenth * 0.4).substr(0, 3) + " s", script.CutAt(tenth * 0.4)});
    }
    return cases;
}

// The settings the expiratory-only tidal volume's formula gives the cycle detection.
inline HostCalc::CycleSettings TidalSettings()
{
    HostCalc::CycleSettings settings;
    settings.hysteresis = 0.5;
    settings.minimumCycle = 0.5;
    settings.smoothing = 8.0;
    return settings;
}

// What the channel shows at each sample: from each cycle's start to the next, the volume
// expired from the sample after the one start's tick to the next start's tick (the first from
// tick 0); after the last start nothing is shown.
inline std::vector<double> Tidal(const std::vector<float>& flow, double rate)
{
    HostCalc::CycleDetector detector;
    std::vector<double> shown(flow.size(), NAN);
    size_t from = 0;
    double expired = 0.0;
    size_t counted = 0;  // samples counted so far
    for (size_t i = 0; i < flow.size(); ++i) {
        HostCalc::CycleStart start;
        if (!detector.Push(TidalSettings(), 1.0 / rate, static_cast<int32_t>(i), flow[i], start))
            continue;
        const size_t tick = static_cast<size_t>(std::floor(start.position));
        for (; counted <= tick; ++counted)
            expired -= flow[counted] < 0 ? flow[counted] / rate : 0.0;
        for (; from < tick; ++from)
            shown[from] = expired;
        expired = 0.0;
    }
    return shown;
}

}  // namespace ExpirationGrid
