// Option parsing shared by the commands: --help on every command, a clear message otherwise.
#pragma once

#include <optional>
#include <string>

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

// The first 80 characters of piece (cut between UTF-8 characters) and "...", or the whole when
// it is short enough: how messages quote what a user typed.
std::string Shortened(const std::string& piece);

// message with each piece, quoted or not, of at most 80 characters (the rest given as "..."):
// a parser quotes the word it refuses whole, and a word may be a formula of 64 kB.
std::string Readable(const std::string& message);

// The refusal of an output (given with option) that would be written over the file named
// other, which the command reads or writes too; "" when out may be written.
std::string RefuseWritingOver(const std::string& option, const std::string& out, const std::string& other,
                              const char* otherIs = "the recording this command reads");

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args);

}  // namespace SpiroHost
