// spirohost: runs the spirometry plug-in on Linux the way the recording host would.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

#include "host/framework/Framework.h"
#include "host/calc/PublishedFunctions.h"
#include "host/framework/HostAlertPolicy.h"
#include "host/framework/SafeFile.h"
#include "host/framework/StandardStreams.h"
#include "spirohost/Commands.h"
#include "spirohost/Options.h"

namespace {

using SpiroHost::Command;

const Command kCommands[] = {
    {"list", "load the plug-in and list the class objects it registered", SpiroHost::RunList},
    {"info", "list the records and channels of a recording", SpiroHost::RunInfo},
    {"generate", "write a synthetic flow-head recording and print its true figures", SpiroHost::RunGenerate},
    {"formula", "run a formula over a recording and write its samples", SpiroHost::RunFormula},
    {"doc", "save, show and Save As document files", SpiroHost::RunDoc},
    {"analyse", "analyse the breaths of a recording and save the spirometry report as CSV", SpiroHost::RunAnalyse},
    {"dialog", "change a calculation's settings through its dialog, as a user would", SpiroHost::RunDialog},
    {"view", "open a view of an analysed recording and write it as PNG, print it or copy it", SpiroHost::RunView},
    {"sample", "sample the simulated flow head live (or replay a recording) and write what was sampled", SpiroHost::RunSample},
};

// What a command prints is its result (info's listing, generate's true figures): output that
// did not reach standard output fails the command, whatever it returned.
int WithOutputWritten(const char* command, int code)
{
    errno = 0;
    std::cout.flush();
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good())
        return code;
    const int error = errno;
    std::cerr << "spirohost " << command << ": standard output could not be written"
              << (error != 0 ? ": " + Host::SystemErrorText(error) : std::string()) << "\n";
    return code == 0 ? 1 : code;
}

int Run(const Command& c, int argc, char** argv)
{
    try {
        return c.run(SpiroHost::Args(argv + 2, argv + argc));
    } catch (const std::bad_alloc&) {
        std::cerr << "spirohost " << c.name << ": there is not enough memory for this command\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "spirohost " << c.name << ": " << e.what() << "\n";
        return 1;
    }
}

void PrintUsage(std::ostream& out)
{
    out << "usage: spirohost COMMAND [options]   (spirohost COMMAND --help for its options)\n\ncommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.name << std::string(10 - std::strlen(c.name), ' ') << c.summary << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    Host::FillClosedStreams();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0)
            continue;
        Host::Framework::Install();
        Host::PublishFormulaFunctions();  // before the plug-in loads and any formula compiles
        Host::InstallAlertPolicy();
        return WithOutputWritten(c.name, Run(c, argc, argv));
    }
    std::cerr << "spirohost: " << SpiroHost::Readable("unknown command '" + std::string(argv[1]) + "'") << "\n";
    PrintUsage(std::cerr);
    return 2;
}
