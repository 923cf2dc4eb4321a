// spirohost generate: writes a synthetic flow-head recording and prints its true figures.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/data/EdfRecordingWriter.h"
#include "host/data/Excerpt.h"
#include "host/data/Recording.h"
#include "host/framework/SafeFile.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirohost/Options.h"

namespace SpiroHost {
namespace {

void PrintFigures(std::ostream& out, const Host::SyntheticBreathing& synth, const char* sep)
{
    char line[512];
    out << "breath" << sep << "forced" << sep << "start (s)" << sep << "Ti (s)" << sep << "Te (s)" << sep
        << "Duration (s)" << sep << "V_T or FVC (L)" << sep << "PIF (L/s)" << sep << "PEF (L/s)" << sep
        << "FEV_1 (L)\n";
    int n = 0;
    for (const Host::SyntheticBreath& b : synth.Breaths()) {
        std::snprintf(line, sizeof line, "%d%s%s%s%.3f%s%.3f%s%.3f%s%.3f%s%.4f%s%.4f%s%.4f%s%.4f\n", ++n, sep,
                      b.forced ? "yes" : "no", sep, b.start, sep, b.ti, sep, b.te, sep, b.Duration(), sep, b.volume,
                      sep, b.pif, sep, b.pef, sep, b.forced ? b.fev1 : 0.0);
        out << line;
    }
}

// A second of the one channel's samples must fit in an EDF data record.
constexpr int kMostRate = int(Host::MostEdfRate(1));
// About four days of breathing, which the default rate records within the most ticks a
// recording may hold.
constexpr int kMostBreaths = 100000;

// An option's value and the closed range it must lie in.
struct Range {
    std::string option;
    double value;
    double low;
    double high;
    std::string unit;
};

// Whole numbers whole, others to three digits.
std::string Number(double value)
{
    std::ostringstream text;
    if (value == std::floor(value))
        text << std::fixed << std::setprecision(0);
    else
        text << std::setprecision(3);
    text << value;
    return text.str();
}

// The first option outside its range, named with the range; empty when all are within. NaN lies
// in no range.
std::string OutOfRange(const std::vector<Range>& ranges)
{
    for (const Range& r : ranges) {
        if (r.value >= r.low && r.value <= r.high)
            continue;
        return r.option + " takes " + Number(r.low) + " to " + Number(r.high) + " " + r.unit;
    }
    return {};
}

// Refuses, before any work, what the simulated head cannot record or a recording may not hold;
// --rate once --tau is known to be within its range.
std::string CheckOptions(const Host::SyntheticOptions& o)
{
    const double fullScale = Host::FullScale(o), volume = Host::LargestBreathVolume(o);
    std::string error = OutOfRange({
        {"--quiet", double(o.quietBreathsPerRun), 0, kMostBreaths, "breaths"},
        {"--forced", double(o.forcedBreaths), 0, kMostBreaths, "breaths"},
        {"--tidal-volume", o.tidalVolume, Host::LeastTidalVolume(o), volume, "L"},
        {"--fvc", o.forcedVolume, Host::LeastForcedVolume(o), volume, "L"},
        {"--tau", o.tau, 0.01, 100, "s"},
        {"--noise", o.noise, 0, fullScale / Host::LargestNoiseDeviate(), "L/s"},
        {"--drift", o.drift, -fullScale, fullScale, "L/s"},
    });
    if (error.empty())
        error = OutOfRange({{"--rate", double(o.rate), double(Host::LeastRate(o)), kMostRate,
                             "ticks per second with --tau " + Number(o.tau) + " s"}});
    if (!error.empty())
        return error;
    // Forced breaths alone (--quiet 0) are a fair recording; no breath at all is none.
    const int64_t breaths = int64_t(o.forcedBreaths + 1) * o.quietBreathsPerRun + o.forcedBreaths;
    if (breaths == 0)
        return "there must be a quiet or a forced breath";
    if (breaths > kMostBreaths)
        return "--quiet " + std::to_string(o.quietBreathsPerRun) + " and --forced " + std::to_string(o.forcedBreaths) +
               " make " + std::to_string(breaths) + " breaths; a recording may have at most " +
               std::to_string(kMostBreaths);
    return {};
}

std::string CheckRecording(const Host::SyntheticBreathing& synth, const Host::SyntheticOptions& o)
{
    char text[256];
    if (synth.PeakFlow() > Host::FullScale(o)) {
        std::snprintf(text, sizeof text,
                      "the flow would reach %.3g L/s, beyond the simulated head's full scale of %.3g L/s: lower "
                      "--fvc, --tidal-volume, --noise or --drift, or raise --tau",
                      synth.PeakFlow(), Host::FullScale(o));
        return text;
    }
    // The bound the readers hold a recording to, so that what is written can be read.
    const uint64_t most = Host::MostTicks(1);
    if (synth.Ticks() > most) {
        std::snprintf(text, sizeof text,
                      "%llu samples (%.0f s at %d ticks per second) are more than the %llu (1 GiB of 16-bit samples "
                      "with their record's bookkeeping) a recording may hold: lower --rate or the breath counts",
                      (unsigned long long)synth.Ticks(), synth.Seconds(), o.rate, (unsigned long long)most);
        return text;
    }
    return {};
}

// Refuses a recording's name that would not be read back as EDF, and figures that would be
// written over it.
std::string CheckNames(const std::string& out, const po::variables_map& values)
{
    if (Host::RecordingExtension(out) != "edf")
        return "'" + Host::PathExcerpt(out) +
               "' must end in .edf: the recording is written as EDF, and recordings are read as their extension says";
    if (values.count("figures"))
        return RefuseWritingOver("--figures", values["figures"].as<std::string>(), out,
                                 "the recording this command writes");
    return {};
}

// The recording and its figures are both written or neither: each is finished on disk before
// either is named and put in place, together and the recording last, so that figures that cannot
// be written leave the old recording and a signal during the write leaves the old pair alone.
void WriteRecordingAndFigures(const Host::SyntheticBreathing& synth, const std::string& out,
                              const po::variables_map& values)
{
    Host::SafeFile recording(out);
    std::optional<Host::SafeFile> figures;
    if (values.count("figures")) {
        figures.emplace(values["figures"].as<std::string>());
        const Host::SyntheticSummary s = synth.Summary();
        PrintFigures(figures->Stream(), synth, ",");
        figures->Stream() << "V_E (L/s)," << s.ve << "\nf (Hz)," << s.frequency << "\n";
        figures->Finish();
    }
    Host::WriteEdfRecording(recording, synth.MakeRecording(out));
    if (figures)
        Host::SafeFile::CommitTogether({&*figures, &recording});
    else
        recording.Commit();
}

}  // namespace

int RunGenerate(const Args& args)
{
    Host::SyntheticOptions o;
    const std::string rateHelp = "ticks per second, " + std::to_string(Host::LeastRate(o)) + " (or 25 ticks per --tau, if more) to " +
                                 std::to_string(kMostRate) + " (a second of samples fills at most an EDF data record)";
    const std::string most = " to " + Number(Host::LargestBreathVolume(o)) + " L";
    const std::string tidalHelp = "mean V_T of quiet breaths, " + Number(Host::LeastTidalVolume(o)) + most;
    const std::string fvcHelp = "FVC of forced breaths, " + Number(Host::LeastForcedVolume(o)) + most;
    po::options_description options("options");
    options.add_options()
        ("out", po::value<std::string>()->required(), "the EDF file to write (named *.edf)")
        ("figures", po::value<std::string>(), "also write the true figures to this CSV file")
        ("rate", po::value<int>(&o.rate)->default_value(o.rate), rateHelp.c_str())
        ("quiet", po::value<int>(&o.quietBreathsPerRun)->default_value(o.quietBreathsPerRun),
         "quiet breaths before, between and after the forced ones (0: forced breaths only)")
        ("forced", po::value<int>(&o.forcedBreaths)->default_value(o.forcedBreaths), "forced breaths")
        ("tidal-volume", po::value<double>(&o.tidalVolume)->default_value(o.tidalVolume), tidalHelp.c_str())
        ("fvc", po::value<double>(&o.forcedVolume)->default_value(o.forcedVolume), fvcHelp.c_str())
        ("tau", po::value<double>(&o.tau)->default_value(o.tau), "time constant of forced expiration (s)")
        ("noise", po::value<double>(&o.noise)->default_value(o.noise), "flow noise, standard deviation (L/s)")
        ("drift", po::value<double>(&o.drift)->default_value(o.drift), "baseline drift at the end (L/s)")
        ("seed", po::value<uint32_t>(&o.seed)->default_value(o.seed), "seed of the noise");
    po::positional_options_description positional;
    positional.add("out", 1);
    Parsed parsed = ParseOptions("generate", "OUT.edf [options]", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const std::string out = parsed.values["out"].as<std::string>();
    const std::string figures = parsed.values.count("figures") ? parsed.values["figures"].as<std::string>() : "";
    const auto refused = [](const std::string& error) {
        if (!error.empty())
            std::cerr << "spirohost generate: " << error << "\n";
        return !error.empty();
    };
    if (refused(RefuseSystemName("", out)) || refused(RefuseSystemName("--figures", figures)))
        return 2;
    // Targets that cannot take a file are refused before the recording is built.
    Host::SafeFile::CheckTarget(out);
    if (parsed.values.count("figures"))
        Host::SafeFile::CheckTarget(figures);
    if (refused(CheckOptions(o)) || refused(CheckNames(out, parsed.values)))
        return 2;
    const Host::SyntheticBreathing synth(o);
    if (refused(CheckRecording(synth, o)))
        return 2;
    WriteRecordingAndFigures(synth, out, parsed.values);
    std::ostream& said = Said({out, figures});
    const Host::SyntheticSummary s = synth.Summary();
    said << "Wrote " << out << ": channel 1 \"Flow head\" (V), " << o.rate << " Hz, " << synth.Seconds()
         << " s\nflow = raw x " << o.headScale << " (analyse with --raw 1 --scale " << o.headScale
         << " --drift-correction)\n\n";
    PrintFigures(said, synth, "\t");
    char summary[256];
    std::snprintf(summary, sizeof summary,
                  "\nbreaths %d, non-forced %d: V_E %.4f L/s (%.3f L/min), f %.4f Hz (%.2f /min)\n", s.breaths,
                  s.nonForced, s.ve, s.ve * 60, s.frequency, s.frequency * 60);
    said << summary;
    return 0;
}

}  // namespace SpiroHost
