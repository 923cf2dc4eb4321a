// The expiratory-only tidal volume end to end: spirohost's dialog command turns it on in the
// tidal-volume dialog, the host finds the breaths with its cycle detection, and the channel
// shows, through each breath, the volume the generator expired in it; and the same over flow
// that only expires, written as a CSV recording by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/FlowScript.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 100.0;
// The dialog command's flow takes the default flow head, 40.1 L/s per volt, over a raw signal
// that the generator writes at 2 L/s per volt: every volume shows 20.05 times its truth.
constexpr double kHeadGain = 40.1 / 2.0;

struct TrueBreath {
    double start, ti, te, volume;
};

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ','))
        cells.push_back(cell);
    return cells;
}

// The breaths of the generator's figures: start, Ti, Te and V_T or FVC.
std::vector<TrueBreath> Figures(const std::string& path)
{
    std::ifstream in(path);
    std::vector<TrueBreath> breaths;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() < 7)
            break;
        breaths.push_back({std::stod(cells[2]), std::stod(cells[3]), std::stod(cells[4]), std::stod(cells[6])});
    }
    return breaths;
}

// The value column of the dialog command's time,value lines.
std::vector<double> Samples(const std::string& path)
{
    std::ifstream in(path);
    std::vector<double> values;
    std::string line;
    while (std::getline(in, line))
        values.push_back(std::stod(line.substr(line.find(',') + 1)));
    return values;
}

// A recording generated with these options, the expiratory-only tidal volume turned on over it
// in the dialog with these options: the generator's true breaths and the channel's samples.
void GenerateTidal(const std::string& generate, const std::string& dialog, std::vector<TrueBreath>& breaths,
                   std::vector<double>& tidal)
{
    TestSupport::TempFolder folder;
    const std::string edf = (folder.Path() / "breathing.edf").string();
    const std::string figures = (folder.Path() / "figures.csv").string();
    const std::string csv = (folder.Path() / "tidal.csv").string();
    int status = -1;
    std::string out =
        RunCommand(Spirohost() + " generate " + edf + " " + generate + " --figures " + figures + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    out = RunCommand(Spirohost() + " dialog " + edf + " --raw 1 " + dialog + " --calc tidal" +
                         " --do \"click expirationCheck\" --do \"press OK\" --csv " + csv + " 2>&1",
                     &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "accepted\n");
    breaths = Figures(figures);
    tidal = Samples(csv);
}

// A hand-made recording of the script, written as a raw channel at scale L/s per volt, turned
// expiratory-only in the dialog: the channel's samples.
std::vector<double> ScriptedTidal(const TestSupport::FlowScript& script, double rate, double scale)
{
    TestSupport::TempFolder folder;
    const std::string recording = folder.Write("flow.csv", script.Csv(rate, scale)).string();
    const std::string csv = (folder.Path() / "tidal.csv").string();
    int status = -1;
    std::ostringstream scaled;
    scaled << scale;
    const std::string out =
        RunCommand(Spirohost() + " dialog " + recording + " --raw 1 --scale " + scaled.str() + " --calc tidal" +
                       " --do \"click expirationCheck\" --do \"press OK\" --csv " + csv + " 2>&1",
                   &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "accepted\n");
    return Samples(csv);
}

TEST(ExpiratoryTidalVolume, EachBreathShowsTheVolumeItExpired)
{
    std::vector<TrueBreath> breaths;
    std::vector<double> tidal;
    GenerateTidal("--rate 100 --quiet 3 --forced 1 --seed 3", "", breaths, tidal);
    ASSERT_EQ(breaths.size(), 7u);
    ASSERT_FALSE(tidal.empty());
    for (size_t k = 0; k < breaths.size(); ++k) {
        const TrueBreath& b = breaths[k];
        // Read halfway through the expiration: from the breath's start to the next one's the
        // channel holds the breath's expired volume.
        const size_t tick = static_cast<size_t>(std::lround((b.start + b.ti + b.te / 2) * kRate));
        ASSERT_LT(tick, tidal.size());
        const double measured = tidal[tick] / kHeadGain;
        EXPECT_LE(std::fabs(measured - b.volume), std::max(0.03 * b.volume, 0.05))
            << "breath " << k + 1 << ": " << measured << " L against " << b.volume << " L";
    }
}

// Noisy breathing at 1000 Hz, its flow given to the dialog as L/s: as the flow turns
// downwards the noise wiggles about zero, yet the breaths are cut only where they begin, so the
// channel shows each breath's expired volume through the whole of it, inspiration included.
TEST(ExpiratoryTidalVolume, NoisyBreathingShowsEachBreathThroughout)
{
    constexpr double kFastRate = 1000.0;
    std::vector<TrueBreath> breaths;
    std::vector<double> tidal;
    GenerateTidal("--rate 1000 --noise 0.02 --seed 4", "--scale 2", breaths, tidal);
    ASSERT_EQ(breaths.size(), 20u);
    for (size_t k = 0; k < breaths.size(); ++k) {
        const TrueBreath& b = breaths[k];
        for (double t : {b.start + b.ti / 2, b.start + b.ti + b.te / 2}) {
            const size_t tick = static_cast<size_t>(std::lround(t * kFastRate));
            ASSERT_LT(tick, tidal.size());
            EXPECT_LE(std::fabs(tidal[tick] - b.volume), std::max(0.03 * b.volume, 0.05))
                << "breath " << k + 1 << " at " << t << " s: " << tidal[tick] << " L against " << b.volume << " L";
        }
    }
}

// Breathing both ways at 60 breaths a minute, inspirations of 0.4 s shorter than the 0.5 s
// minimum cycle the volume's cycle detection takes: once its first breath is whole, each breath
// shows its 0.5 L expired.
TEST(ExpiratoryTidalVolume, BreathingAtSixtyAMinuteShowsEachBreath)
{
    TestSupport::FlowScript script;
    script.Expire(0.3, 0.25).Breaths(60, 0.5, 0.4, 0.6);
    const std::vector<double> tidal = ScriptedTidal(script, kRate, 1.0);
    // Read halfway through each expiration from the second breath's on; the last is not closed.
    for (int k = 1; k + 1 < 60; ++k) {
        const size_t tick = static_cast<size_t>(std::lround((0.3 + k + 0.4 + 0.3) * kRate));
        ASSERT_LT(tick, tidal.size());
        EXPECT_NEAR(tidal[tick], 0.5, 0.05 * 0.5) << "breath " << k + 1;
    }
}

// Flow that only expires: half-sine dips below the baseline, rests between them.
struct Expiration {
    double rest, te, depth;  // the rest before it (s), its length (s), its peak flow (L/s)
    double Volume() const { return 2.0 * depth * te / kPi; }
};

const std::vector<Expiration> kExpirations = {{1.0, 1.6, 0.5}, {1.5, 2.2, 0.9}, {0.8, 1.1, 0.35}, {1.5, 3.0, 1.4},
                                              {1.2, 1.5, 0.45}, {0.9, 2.0, 0.6}, {1.5, 1.0, 0.3}};

// A CSV recording of the flow in L/s at 100 Hz, 2 s of rest after the last expiration; noise
// uniform within +-noise, the same for every run.
std::string ExpirationsCsv(const std::vector<Expiration>& expirations, double baseline, double noise)
{
    std::mt19937 random(7);
    std::string csv = "time, Flow [L/s]\n";
    char line[64];
    double start = 0.0;
    size_t tick = 0;
    for (size_t k = 0; k <= expirations.size(); ++k) {
        const double rest = k < expirations.size() ? expirations[k].rest : 2.0;
        const double te = k < expirations.size() ? expirations[k].te : 0.0;
        const double end = start + rest + te;
        for (; tick < static_cast<size_t>(std::lround(end * kRate)); ++tick) {
            const double t = tick / kRate - start - rest;
            const double dip = te > 0 && t >= 0 ? expirations[k].depth * std::sin(kPi * t / te) : 0.0;
            const double jitter = noise * (2.0 * random() / 4294967295.0 - 1.0);
            std::snprintf(line, sizeof line, "%.2f,%.6f\n", tick / kRate, baseline - dip + jitter);
            csv += line;
        }
        start = end;
    }
    return csv;
}

// The tidal-volume channel of the recording in expiratory-only mode, read halfway through each
// expiration but the last, which no return to the level closes.
void ExpectEachClosedExpirationsVolume(double baseline, double noise,
                                       const std::vector<Expiration>& expirations = kExpirations)
{
    TestSupport::TempFolder folder;
    const std::string recording =
        folder.Write("expirations.csv", ExpirationsCsv(expirations, baseline, noise)).string();
    const std::string csv = (folder.Path() / "tidal.csv").string();
    int status = -1;
    const std::string out =
        RunCommand(Spirohost() + " dialog " + recording + " --raw 1 --scale 1 --calc tidal" +
                       " --do \"click expirationCheck\" --do \"press OK\" --csv " + csv + " 2>&1",
                   &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "accepted\n");
    const std::vector<double> tidal = Samples(csv);
    double start = 0.0;
    for (size_t k = 0; k + 1 < expirations.size(); ++k) {
        const Expiration& e = expirations[k];
        const size_t tick = static_cast<size_t>(std::lround((start + e.rest + e.te / 2) * kRate));
        start += e.rest + e.te;
        ASSERT_LT(tick, tidal.size());
        EXPECT_LE(std::fabs(tidal[tick] - e.Volume()), std::max(0.03 * e.Volume(), 0.05))
            << "baseline " << baseline << ", noise " << noise << ", expiration " << k + 1 << ": " << tidal[tick]
            << " L against " << e.Volume() << " L";
    }
}

TEST(ExpiratoryTidalVolume, ExpirationOnlyFlowShowsEachClosedExpiration)
{
    ExpectEachClosedExpirationsVolume(0.0, 0.0);
}

TEST(ExpiratoryTidalVolume, ExpirationOnlyFlowOnANegativeBaselineWithNoise)
{
    ExpectEachClosedExpirationsVolume(-0.01, 0.0);
    ExpectEachClosedExpirationsVolume(-0.01, 0.01);
    ExpectEachClosedExpirationsVolume(0.0, 0.01);
}

// Expirations of uneven volume, each 1.6 s long: one of 0.4 L between ones of 1 L, and ones of
// 0.5 L between ones of 1.5 L, each show their own volume, not their sum with the next.
TEST(ExpiratoryTidalVolume, ShallowExpirationsShowTheirOwnVolume)
{
    for (const std::vector<double>& volumes :
         {std::vector<double>{1.0, 1.0, 0.4, 1.0, 1.0}, std::vector<double>{1.5, 0.5, 1.5, 0.5, 1.5, 0.5}}) {
        std::vector<Expiration> expirations;
        for (double volume : volumes)
            expirations.push_back({1.2, 1.6, volume * kPi / (2.0 * 1.6)});
        ExpectEachClosedExpirationsVolume(0.0, 0.0, expirations);
        ExpectEachClosedExpirationsVolume(-0.01, 0.01, expirations);
    }
}

// Hand-made recordings that depart from the clean case, written as a raw channel at 2 L/s per
// volt and turned expiratory-only in the dialog: every closed expiration, and the late part of
// the rest before it, shows the expiration's own volume.
void ExpectEachExpirationAndRest(const std::string& name, const TestSupport::FlowScript& script, double rate)
{
    const TestSupport::FlowScript::Wrong wrong = script.Judge(ScriptedTidal(script, rate, 2.0), rate);
    EXPECT_EQ(wrong.expirations + wrong.rests, 0) << name << ": " << wrong.detail;
}

TestSupport::FlowScript Expirations(const std::vector<double>& litres, int blipBefore = -1)
{
    TestSupport::FlowScript script;
    for (size_t k = 0; k < litres.size(); ++k) {
        // A blip of +0.1 L/s for 0.1 s in the middle of the rest.
        if (static_cast<int>(k) == blipBefore)
            script.Rest(0.95).Artefact(0.1, 0.1 * 0.2 / kPi).Rest(0.95);
        else
            script.Rest(2.0);
        script.Expire(2.0, litres[k]);
    }
    return script.Rest(2.0);
}

TEST(ExpiratoryTidalVolume, DeparturesFromTheCleanCaseShowEachExpiration)
{
    const std::vector<double> volumes = {0.6, 0.8, 0.5, 0.7, 0.9, 0.4};
    ExpectEachExpirationAndRest("a blip before the fourth", Expirations(volumes, 3), 100.0);
    ExpectEachExpirationAndRest("begun at 3.0 s", Expirations(volumes).CutAt(3.0), 100.0);
    ExpectEachExpirationAndRest("noise of 0.005 L/s", Expirations(volumes).Noise(0.005), 100.0);
    TestSupport::FlowScript turning;
    turning.Rest(1.0).Breaths(8, 0.6);
    for (double v : {0.8, 0.5, 0.7, 0.9, 0.4})
        turning.Rest(2.0).Expire(2.0, v);
    ExpectEachExpirationAndRest("both ways, then expiration-only, at 1 kHz with noise",
                                turning.Rest(2.0).Noise(0.003), 1000.0);
}

}  // namespace
