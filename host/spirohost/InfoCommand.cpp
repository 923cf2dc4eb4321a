// spirohost info: the records and channels of a recording.
#include <cstdio>
#include <iostream>

#include "host/data/Recording.h"
#include "spirohost/Options.h"

namespace SpiroHost {

int RunInfo(const Args& args)
{
    po::options_description options("options");
    options.add_options()("recording", po::value<std::string>()->required(), "an EDF, EDF+ or CSV recording");
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("info", "RECORDING", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;

    const Host::Recording r = Host::LoadRecording(parsed.values["recording"].as<std::string>());
    char line[512];
    std::snprintf(line, sizeof line, "%s: %zu record(s) at %g ticks per second\n", r.Path().c_str(), r.RecordCount(),
                  r.TickRate());
    std::cout << line;
    for (size_t i = 0; i < r.RecordCount(); ++i) {
        std::snprintf(line, sizeof line, "  record %zu: %u ticks, %g s\n", i + 1, r.Record(i).ticks,
                      r.Record(i).ticks / r.TickRate());
        std::cout << line;
    }
    for (size_t c = 0; c < r.ChannelCount(); ++c) {
        const Host::ChannelFormat& f = r.Channel(c);
        std::snprintf(line, sizeof line, "  channel %zu: \"%s\" [%s], %g to %g %s (physical = (raw + %g) x %g)\n",
                      c + 1, f.title.c_str(), f.unit.c_str(), f.Physical(f.lowest), f.Physical(f.highest),
                      f.unit.c_str(), f.offset, f.scale);
        std::cout << line;
    }
    return 0;
}

}  // namespace SpiroHost
