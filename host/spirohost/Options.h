// Option parsing shared by the commands: --help on every command, a clear message otherwise.
#pragma once

#include <optional>

#include <boost/program_options.hpp>

#include "spirohost/Commands.h"

namespace SpiroHost {

namespace po = boost::program_options;

// Parses args against the options (and positional names). Returns the values, or an exit
// code when the command must stop: 0 after --help was printed, 2 after a usage error.
struct Parsed {
    po::variables_map values;
    std::optional<int> exitCode;
};

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args);

}  // namespace SpiroHost
