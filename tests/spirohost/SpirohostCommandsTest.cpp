// The recording commands of spirohost: generate and info, with their error paths.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "host/data/Recording.h"
#include "support/TempFolder.h"

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

// generate run in a folder of its own, against files that were there before.
class GenerateTargets : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    // What generate prints on both outputs, run in the folder.
    std::string Generate(const std::string& args, int* status) const
    {
        return RunCommand("cd " + mFolder.Path().string() + " && " + Spirohost() + " generate " + args + " 2>&1",
                          status);
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mFolder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestSupport::TempFolder mFolder;
};

// Figures that cannot be written leave the old recording, and nothing is said to be written;
// figures named as the recording are refused before any work.
TEST_F(GenerateTargets, FiguresThatCannotBeWrittenLeaveTheOldRecording)
{
    mFolder.Write("keep.edf", "OLD");
    ASSERT_EQ(::mkdir(Path("folder").c_str(), 0700), 0);
    const struct {
        std::string figures;
        std::string message;
        int status;
    } cases[] = {
        {"''", "an empty name is not a file name", 1},
        {"folder", "folder: not replaced: it exists and is not a regular file", 1},
        {"/dev/null", "--figures '/dev/null' is a name of the system's (under /dev or /proc), which is never written: "
                      "name a file, or /dev/stdout or /dev/stderr for the stream", 2},
        {"missing/f.csv", "missing/f.csv: cannot be written: no file can be made in its folder: No such file or "
                          "directory", 1},
        {"keep.edf", "--figures 'keep.edf' is the recording this command writes; writing it would lose it: name "
                     "another file", 2},
        {"./folder/../keep.edf", "--figures './folder/../keep.edf' is the recording this command writes; writing it "
                                 "would lose it: name another file", 2},
    };
    for (const auto& c : cases) {
        int status = -1;
        EXPECT_EQ(Generate("keep.edf --quiet 1 --forced 1 --figures " + c.figures, &status),
                  "spirohost generate: " + c.message + "\n")
            << c.figures;
        EXPECT_EQ(status, c.status) << c.figures;
        EXPECT_EQ(Read("keep.edf"), "OLD") << c.figures;
        EXPECT_EQ(Files(), (std::vector<std::string>{"folder", "keep.edf"})) << c.figures;
    }
}

// Only names that are read back as EDF are written: a CSV that a slip names is left as it was.
TEST_F(GenerateTargets, OnlyNamesReadAsEdfAreWritten)
{
    mFolder.Write("flow.csv", "time,Flow [L/s]\n0,1\n");
    for (const std::string name : {"flow.csv", "flow", "flow.edf.txt", "edf"}) {
        int status = -1;
        EXPECT_EQ(Generate(name + " --quiet 1 --forced 0", &status),
                  "spirohost generate: '" + name + "' must end in .edf: the recording is written as EDF, and "
                  "recordings are read as their extension says\n");
        EXPECT_EQ(status, 2) << name;
    }
    EXPECT_EQ(Read("flow.csv"), "time,Flow [L/s]\n0,1\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"flow.csv"});
    // The readers take the extension in any case.
    int status = -1;
    const std::string out = Generate("FLOW.EDF --quiet 1 --forced 0", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(Host::LoadRecording(Path("FLOW.EDF")).Channel(0).title, "Flow head");
}

// A target that cannot take the recording is refused before it is built: before even the
// refusal of a recording of too many samples, which comes once its breaths are laid out.
TEST_F(GenerateTargets, BadTargetsAreRefusedBeforeTheWork)
{
    ASSERT_EQ(::mkdir(Path("folder.edf").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(Path("pipe.edf").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", Path("device.edf").c_str()), 0);
    const std::string tooMany = " --rate 5242823 --quiet 20";
    const struct {
        std::string out;
        std::string message;
    } cases[] = {
        {"folder.edf", "folder.edf: not replaced: it exists and is not a regular file"},
        {"pipe.edf", "pipe.edf: not replaced: it exists and is not a regular file"},
        {"device.edf", "device.edf: not replaced: it exists and is not a regular file"},
        {"''", "an empty name is not a file name"},
        {"missing/x.edf", "missing/x.edf: cannot be written: no file can be made in its folder: No such file or "
                          "directory"},
        {"x.edf --figures folder.edf", "folder.edf: not replaced: it exists and is not a regular file"},
    };
    for (const auto& c : cases) {
        int status = -1;
        EXPECT_EQ(Generate(c.out + tooMany, &status), "spirohost generate: " + c.message + "\n") << c.out;
        EXPECT_EQ(status, 1) << c.out;
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"device.edf", "folder.edf", "pipe.edf"}));
}

// The true figures printed are the command's result: standard output on a full device fails it.
TEST_F(GenerateTargets, FiguresPrintedToAFullDeviceFailTheCommand)
{
    int status = -1;
    const std::string out = RunCommand("cd " + mFolder.Path().string() + " && " + Spirohost() +
                                           " generate x.edf --quiet 1 --forced 1 2>&1 >/dev/full",
                                       &status);
    EXPECT_EQ(out, "spirohost generate: standard output could not be written: No space left on device\n");
    EXPECT_EQ(status, 1);
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
