// spirohost sample: samples the simulated flow head (or replays a recording as if it were
// sampled) on the real clock into a monitoring record, as a preview would monitor it, and
// writes what was sampled as EDF.
#include <algorithm>
#include <iostream>
#include <memory>

#include "appkit/RunLoop.h"
#include "host/data/Adopt.h"
#include "host/data/EdfRecordingWriter.h"
#include "host/framework/SafeFile.h"
#include "host/sampling/MonitoringRecord.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "spirohost/Options.h"

namespace SpiroHost {
namespace {

// The first whole seconds of the first record: EDF holds whole seconds, and the clock runs a
// little past the time asked for.
Host::Recording WholeSeconds(const Host::Recording& sampled, int seconds, const std::string& path)
{
    std::vector<Host::ChannelFormat> formats;
    for (size_t i = 0; i < sampled.ChannelCount(); ++i)
        formats.push_back(sampled.Channel(i));
    Host::Recording out(path, sampled.TickRate(), formats);
    const Host::RecordBlock& record = sampled.Record(0);
    Host::RecordBlock block;
    block.ticks = std::min(record.ticks, uint32_t(seconds * sampled.TickRate()));
    for (const auto& channel : record.samples)
        block.samples.emplace_back(channel.begin(), channel.begin() + block.ticks);
    out.AddRecord(std::move(block));
    return out;
}

}  // namespace

int RunSample(const Args& args)
{
    int seconds = 5;
    int channels = 1;
    po::options_description options("options");
    options.add_options()
        ("out", po::value<std::string>()->required(), "the EDF file to write")
        ("seconds", po::value<int>(&seconds)->default_value(seconds), "whole seconds to sample, on the real clock")
        ("channels", po::value<int>(&channels)->default_value(channels),
         "channels of the simulated flow head, 1 to 16 (a replay has its recording's)")
        ("replay", po::value<std::string>(), "replay this recording's first record, all its channels, instead of the "
                                             "flow head");
    po::positional_options_description positional;
    positional.add("out", 1);
    Parsed parsed = ParseOptions("sample", "OUT.edf [--seconds N] [--channels K | --replay REC]", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    if (seconds < 1 || seconds > 3600 || channels < 1 || channels > 16) {
        std::cerr << "spirohost sample: seconds must lie in 1..3600 and channels in 1..16\n";
        return 2;
    }
    if (parsed.values.count("replay") && !parsed.values["channels"].defaulted()) {
        std::cerr << "spirohost sample: --channels is for the simulated flow head: a replay samples every channel of "
                     "its recording\n";
        return 2;
    }
    const std::string out = parsed.values["out"].as<std::string>();
    std::string refusal =
        RefuseOutputs({{"--out", out}}, parsed.values.count("replay") ? parsed.values["replay"].as<std::string>() : "");
    if (refusal.empty())
        refusal = RefuseOtherFormat("--out", out, "edf");
    if (!refusal.empty()) {
        std::cerr << "spirohost sample: " << refusal << "\n";
        return 2;
    }
    try {
        Host::SafeFile::CheckTarget(out);  // before the seconds of sampling, not after
        std::shared_ptr<const Host::SampleSource> source;
        std::vector<Host::ChannelFormat> formats;
        if (parsed.values.count("replay")) {
            auto recording =
                std::make_shared<const Host::Recording>(Host::LoadRecording(parsed.values["replay"].as<std::string>()));
            for (size_t i = 0; i < recording->ChannelCount(); ++i)
                formats.push_back(recording->Channel(i));
            source = std::make_shared<Host::ReplaySource>(recording);
        } else {
            Host::SyntheticOptions breathing;
            const Host::Recording like = Host::SyntheticBreathing(breathing).MakeRecording("");
            formats.assign(size_t(channels), like.Channel(0));
            source = std::make_shared<Host::BreathingSource>(breathing, size_t(channels));
        }
        auto record = Host::Adopt(Host::MonitoringRecord::Create(source->TickRate(), formats));
        auto manager = Host::Adopt(Host::SimulatedDeviceManager::Create(source));
        manager->AddSink(0, record.get());
        manager->Prepare(0, 0x80000000, 1);
        manager->Start(0.0, 0, nullptr);
        AppKit::RunLoop::Main().RunFor(seconds);
        manager->Stop(0);
        manager->RemoveSink(0, record.get());
        Host::WriteEdfRecording(out, WholeSeconds(record->Samples(), seconds, out));
        Said({out}) << "Sampled " << manager->TicksSampled() << " ticks of " << formats.size()
                    << " channel(s) at " << source->TickRate() << " Hz; wrote the first " << seconds << " s to "
                    << out << "\n";
    } catch (const std::runtime_error& error) {  // the recording's and the file's
        std::cerr << "spirohost sample: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace SpiroHost
