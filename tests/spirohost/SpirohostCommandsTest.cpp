// The recording commands of spirohost: generate and info, with their error paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "host/data/Recording.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

std::string Temp(const std::string& name) { return ::testing::TempDir() + "gen_" + std::to_string(getpid()) + name; }

TEST(GenerateCommand, WritesTheRecordingAndItsFigures)
{
    const std::string edf = Temp(".edf"), figures = Temp(".csv");
    int status = -1;
    const std::string out =
        RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --figures " + figures, &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("analyse with --raw 1 --scale 2 --drift-correction"), std::string::npos) << out;
    EXPECT_NE(out.find("breaths 7, non-forced 6"), std::string::npos) << out;

    const Host::Recording r = Host::LoadRecording(edf);
    EXPECT_EQ(r.Channel(0).title, "Flow head");
    EXPECT_DOUBLE_EQ(r.TickRate(), 1000.0);

    std::ifstream in(figures);
    std::string line;
    int rows = 0, forced = 0;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("breath,forced,start (s),Ti (s)", 0), 0u) << line;
    while (std::getline(in, line) && line.rfind("V_E", 0) != 0) {
        ++rows;
        forced += line.find(",yes,") != std::string::npos;
    }
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(forced, 1);
}

TEST(GenerateCommand, ForcedBreathsAloneFollowOneAnother)
{
    const std::string edf = Temp("_forced.edf"), figures = Temp("_forced.csv");
    int status = -1;
    const std::string out =
        RunCommand(Spirohost() + " generate " + edf + " --quiet 0 --forced 2 --figures " + figures, &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("breaths 2, non-forced 0"), std::string::npos) << out;
    std::ifstream in(figures);
    std::string line;
    std::getline(in, line);
    // Lead-in 3 s; a forced breath takes 2 s in and 5 s out.
    std::getline(in, line);
    EXPECT_EQ(line.rfind("1,yes,3.000,2.000,5.000,7.000,3.5000,", 0), 0u) << line;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("2,yes,10.000,2.000,5.000,7.000,3.5000,", 0), 0u) << line;
    EXPECT_DOUBLE_EQ(Host::LoadRecording(edf).Record(0).ticks / 1000.0, 21.0);
}

TEST(GenerateCommand, RefusesBadInputWithAMessageAndNonZeroExit)
{
    int status = 0;
    for (const std::string& args : {std::string(" generate"), std::string(" generate x.edf --tau -1"),
                                    std::string(" generate x.edf --quiet zero"),
                                    std::string(" generate x.edf --quiet -1"),
                                    std::string(" generate x.edf --quiet 0 --forced 0"),
                                    std::string(" generate /nonexistent/dir/x.edf")}) {
        const std::string err = RunCommand(Spirohost() + args + " 2>&1 >/dev/null", &status);
        EXPECT_NE(status, 0) << args;
        EXPECT_NE(err.find("spirohost generate"), std::string::npos) << args << ": " << err;
    }
    const std::string help = RunCommand(Spirohost() + " generate --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(help.find("--figures"), std::string::npos);
}

TEST(InfoCommand, ListsRecordsAndChannels)
{
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " info " + SPIRO_TEST_DATA_DIR "/sample.edf", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("1 record(s) at 1000 ticks per second"), std::string::npos) << out;
    EXPECT_NE(out.find("record 1: 88000 ticks, 88 s"), std::string::npos) << out;
    EXPECT_NE(out.find("channel 1: \"Flow head\" [V]"), std::string::npos) << out;

    const std::string err = RunCommand(Spirohost() + " info /nonexistent.csv 2>&1 >/dev/null", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(err.find("/nonexistent.csv: the file cannot be opened: No such file or directory"), std::string::npos) << err;
}

// The README's synopsis of a command: its lines from "    spirohost NAME" to the next command's.
std::string Synopsis(const std::string& readme, const std::string& command)
{
    const size_t start = readme.find("\n    spirohost " + command + " ");
    if (start == std::string::npos)
        return "";
    const size_t end = std::min(readme.find("\n    spirohost ", start + 1), readme.find("\n\n", start + 1));
    return readme.substr(start, end - start);
}

// The options a command's --help lists, without the positional ones.
std::vector<std::string> HelpOptions(const std::string& command, const std::set<std::string>& positional)
{
    int status = -1;
    std::istringstream help(RunCommand(Spirohost() + " " + command + " --help", &status));
    std::vector<std::string> options;
    for (std::string line; std::getline(help, line);) {
        if (line.compare(0, 4, "  --") != 0)
            continue;
        const std::string name = line.substr(2, line.find_first_of(" [", 2) - 2);
        if (positional.count(name) == 0)
            options.push_back(name);
    }
    return options;
}

// The help's lines, wrapped as the terminal's width asks, made one.
std::string OneLine(const std::string& help)
{
    return std::regex_replace(help, std::regex("\\s+"), " ");
}

// Every option --help shows is in the command's synopsis in the README (a view's may be among
// analyse's), or among those every command, or every command that loads the plug-in, takes.
TEST(Synopses, TheReadmeNamesEveryOptionTheHelpShows)
{
    std::ifstream in(std::string(SPIRO_TEST_DATA_DIR) + "/../../README.md");
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(readme.empty());
    const std::set<std::string> common = {"--help", "--verbose", "--log", "--bundle", "--answer"};
    const std::vector<std::pair<std::string, std::set<std::string>>> commands = {
        {"analyse", {"--recording"}}, {"generate", {"--out"}},   {"formula", {"--recording", "--formula"}},
        {"view", {"--recording"}},    {"dialog", {"--recording"}}, {"sample", {"--out"}},
    };
    for (const auto& [command, positional] : commands) {
        std::string synopsis = Synopsis(readme, command);
        if (command == "view")
            synopsis += Synopsis(readme, "analyse");
        const std::vector<std::string> options = HelpOptions(command, positional);
        EXPECT_GT(options.size(), 2u) << command;
        for (const std::string& option : options) {
            const bool named = common.count(option) ? readme.find("`" + option) != std::string::npos
                                                    : std::regex_search(synopsis, std::regex(option + "[^a-z-]"));
            EXPECT_TRUE(named) << command << " " << option << " is not in the README";
        }
    }
    // The dialog's actions, as the README lists them.
    int status = -1;
    const std::string help = OneLine(RunCommand(Spirohost() + " dialog --help", &status));
    for (const char* action : {"set FIELD=TEXT", "choose POPUP=ITEM", "click CONTROL", "press BUTTON", "snapshot FILE",
                               "wait SECONDS"})
        EXPECT_NE(help.find(action), std::string::npos) << action;
    EXPECT_NE(OneLine(RunCommand(Spirohost() + " view --help", &status)).find("seconds (0 to 60)"), std::string::npos);
}

}  // namespace
