// spirohost formula: runs a channel-calculation formula over a record of a recording and writes
// its samples, one line each: the time from the record's start and the value (empty where the
// formula gave no number).
#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>

#include "host/document/DataDocument.h"
#include "host/framework/SafeFile.h"
#include "spirohost/FormulaChannel.h"
#include "spirohost/PluginSession.h"
#include "spirohost/SampleLines.h"

namespace SpiroHost {
namespace {

struct TickRange {
    uint32_t first = 0;
    uint32_t last = 0;  // inclusive
};

// The ticks whose times lie in from..to; false when none does.
bool Ticks(const po::variables_map& values, uint32_t ticks, double rate, TickRange& range)
{
    const double from = values.count("from") ? values["from"].as<double>() : 0.0;
    const double to = values.count("to") ? values["to"].as<double>() : (ticks - 1.0) / rate;
    if (!(from >= 0) || !(to >= from) || ticks == 0)
        return false;
    const double first = std::ceil(from * rate - 1e-9);
    const double last = std::min(std::floor(to * rate + 1e-9), ticks - 1.0);
    if (first > last)
        return false;
    range = {uint32_t(first), uint32_t(last)};
    return true;
}

}  // namespace

int RunFormula(const Args& args)
{
    po::options_description options("options");
    options.add_options()
        ("recording", po::value<std::string>()->required(), "an EDF, EDF+ or CSV recording")
        ("formula", po::value<std::string>()->required(), "the formula; ch1, ch2, ... or titles name the channels")
        ("record", po::value<int>()->default_value(1), "the record to run it over, from 1")
        ("from", po::value<double>(), "first time, in seconds from the record's start")
        ("to", po::value<double>(), "last time, in seconds from the record's start")
        ("out", po::value<std::string>()->required(), "the file to write, - for standard output");
    AddBundleOption(options);
    po::positional_options_description positional;
    positional.add("recording", 1).add("formula", 1);
    Parsed parsed = ParseOptions("formula", "RECORDING \"FORMULA\" [--record N] [--from S --to S] --out FILE", options,
                                 positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const po::variables_map& values = parsed.values;
    const std::string path = values["out"].as<std::string>();
    std::string refusal = path == "-" ? "" : RefuseOutputs({{"--out", path}}, values["recording"].as<std::string>());
    if (refusal.empty())
        refusal = RefuseOtherFormat("--out", path, "csv");
    if (!refusal.empty()) {
        std::cerr << "spirohost formula: " << refusal << "\n";
        return 2;
    }

    const PluginSession plugin(values["bundle"].as<std::string>());
    auto recording = std::make_shared<const Host::Recording>(Host::LoadRecording(values["recording"].as<std::string>()));
    const int record = values["record"].as<int>();
    if (record < 1 || size_t(record) > recording->RecordCount()) {
        std::cerr << "spirohost formula: " << recording->Path() << " has no record " << record << " (it has "
                  << recording->RecordCount() << ")\n";
        return 2;
    }
    TickRange range;
    if (!Ticks(values, recording->Record(record - 1).ticks, recording->TickRate(), range)) {
        std::cerr << "spirohost formula: --from and --to must give a range of times within record " << record << " (0 to "
                  << (recording->Record(record - 1).ticks - 1.0) / recording->TickRate() << " s)\n";
        return 2;
    }

    Host::DataDocument document(recording);
    const int channel = document.AddChannel("Formula", "");
    const std::string error = PutFormula(document.Data(), channel, values["formula"].as<std::string>());
    if (!error.empty()) {
        std::cerr << "spirohost formula: " << error << "\n";
        return 1;
    }
    const std::string failure = RunFailure(document.Channels(), record - 1, channel);
    if (!failure.empty()) {
        std::cerr << "spirohost formula: " << failure << "\n";
        return 1;
    }
    const auto samples = document.Channels().Floats(record - 1, channel, 0);
    if (path != "-") {
        Host::SafeFile file(path);
        WriteSampleLines(file.Stream(), *samples, range.first, range.last, recording->TickRate());
        file.Commit();
        Said({path}) << "Samples written to " << path << " (" << range.last - range.first + 1 << " of record "
                     << record << ")\n";
        return 0;
    }
    WriteSampleLines(std::cout, *samples, range.first, range.last, recording->TickRate());
    if (!std::cout.flush()) {
        std::cerr << "spirohost formula: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

}  // namespace SpiroHost
