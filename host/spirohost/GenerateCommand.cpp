// spirohost generate: writes a synthetic flow-head recording and prints its true figures.
#include <cstdio>
#include <iostream>

#include "host/data/EdfRecordingWriter.h"
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

}  // namespace

int RunGenerate(const Args& args)
{
    Host::SyntheticOptions o;
    po::options_description options("options");
    options.add_options()
        ("out", po::value<std::string>()->required(), "the EDF file to write")
        ("figures", po::value<std::string>(), "also write the true figures to this CSV file")
        ("rate", po::value<int>(&o.rate)->default_value(o.rate), "ticks per second")
        ("quiet", po::value<int>(&o.quietBreathsPerRun)->default_value(o.quietBreathsPerRun),
         "quiet breaths before, between and after the forced ones (0: forced breaths only)")
        ("forced", po::value<int>(&o.forcedBreaths)->default_value(o.forcedBreaths), "forced breaths")
        ("tidal-volume", po::value<double>(&o.tidalVolume)->default_value(o.tidalVolume), "mean V_T of quiet breaths (L)")
        ("fvc", po::value<double>(&o.forcedVolume)->default_value(o.forcedVolume), "FVC of forced breaths (L)")
        ("tau", po::value<double>(&o.tau)->default_value(o.tau), "time constant of forced expiration (s)")
        ("noise", po::value<double>(&o.noise)->default_value(o.noise), "flow noise, standard deviation (L/s)")
        ("drift", po::value<double>(&o.drift)->default_value(o.drift), "baseline drift at the end (L/s)")
        ("seed", po::value<uint32_t>(&o.seed)->default_value(o.seed), "seed of the noise");
    po::positional_options_description positional;
    positional.add("out", 1);
    Parsed parsed = ParseOptions("generate", "OUT.edf [options]", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    // Forced breaths alone (--quiet 0) are a fair recording; no breath at all is none.
    if (o.rate <= 0 || o.quietBreathsPerRun < 0 || o.forcedBreaths < 0 ||
        o.quietBreathsPerRun + o.forcedBreaths == 0 || !(o.tau > 0) || !(o.tidalVolume > 0) ||
        !(o.forcedVolume > 0) || o.noise < 0) {
        std::cerr << "spirohost generate: rate, volumes and tau must be positive, breath counts and noise not "
                     "negative, and there must be a quiet or a forced breath\n";
        return 2;
    }

    const Host::SyntheticBreathing synth(o);
    const std::string out = parsed.values["out"].as<std::string>();
    const Host::SyntheticSummary s = synth.Summary();
    Host::WriteEdfRecording(out, synth.MakeRecording(out));
    if (parsed.values.count("figures")) {
        Host::SafeFile figures(parsed.values["figures"].as<std::string>());
        PrintFigures(figures.Stream(), synth, ",");
        figures.Stream() << "V_E (L/s)," << s.ve << "\nf (Hz)," << s.frequency << "\n";
        figures.Commit();
    }
    std::cout << "Wrote " << out << ": channel 1 \"Flow head\" (V), " << o.rate << " Hz, " << synth.Seconds()
              << " s\nflow = raw x " << o.headScale << " (analyse with --raw 1 --scale " << o.headScale
              << " --drift-correction)\n\n";
    PrintFigures(std::cout, synth, "\t");
    char summary[256];
    std::snprintf(summary, sizeof summary,
                  "\nbreaths %d, non-forced %d: V_E %.4f L/s (%.3f L/min), f %.4f Hz (%.2f /min)\n", s.breaths,
                  s.nonForced, s.ve, s.ve * 60, s.frequency, s.frequency * 60);
    std::cout << summary;
    return 0;
}

}  // namespace SpiroHost
