// Option parsing shared by the commands: --help on every command, a clear message otherwise.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

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
// it is short enough: how messages quote what a user typed (a path by its end: Host::PathExcerpt).
std::string Shortened(const std::string& piece);

// message with each piece, quoted or not, of at most 80 characters (the rest given as "..."):
// a parser quotes the word it refuses whole, and a word may be a formula of 64 kB.
std::string Readable(const std::string& message);

// The refusal of an output (given with option) that would be written over the file named
// other, which the command reads or writes too; "" when out may be written.
std::string RefuseWritingOver(const std::string& option, const std::string& out, const std::string& other,
                              const std::string& otherIs = "the recording this command reads");

// The refusal of an output (given with option; none for a command's first word) named under
// /dev or /proc, other than standard output and error; "" when out may be written.
std::string RefuseSystemName(const std::string& option, const std::string& out);

// The refusal of an output whose name ends in the extension of the recording format that it is
// not written in (written: "edf" or "csv"), which every reader would take it for; "" otherwise.
std::string RefuseOtherFormat(const std::string& option, const std::string& out, const std::string& written);

// An output a command writes: the option that names it ("--do snapshot" for an action's) and
// the name.
struct Output {
    std::string option;
    std::string path;
};

// The refusal of the first output that names a file of the system's (RefuseSystemName), would
// be written over the file named read (the one the command reads, which readIs describes), is
// where the log lines go, or names the file of an earlier output, however either is spelt: two
// outputs under one name would leave one of them. "" when every output may be written.
std::string RefuseOutputs(const std::vector<Output>& outputs, const std::string& read,
                          const std::string& readIs = "the recording this command reads");

// Where a command says what it did, given every output it writes (its snapshots too): standard
// output, unless an output goes there; then standard error, unless an output goes there too;
// then nowhere. A stream that carries an output carries that output alone.
std::ostream& Said(const std::vector<std::string>& outputs);
std::ostream& Said(const std::vector<Output>& outputs);
// Where a command tells what happened along the way (the alerts it answered): as Said, with
// standard error first.
std::ostream& Told(const std::vector<Output>& outputs);

Parsed ParseOptions(const char* command, const char* synopsis, const po::options_description& options,
                    const po::positional_options_description& positional, const Args& args);

}  // namespace SpiroHost
