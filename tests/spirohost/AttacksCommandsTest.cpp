// Attacks on the commands' options and on their writes, run against spirohost as a user would:
// values the simulated head cannot record, a view told to write nothing, names as long as a
// folder takes, writes killed half-way, and an option parser given a formula of 60 kB. Each is
// refused with a message that names what is wrong, before any work, or done leaving nothing.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "host/data/Recording.h"
#include "host/synth/SyntheticBreathing.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
// The highest rate generate writes: a second of 16-bit samples and EDFlib's 114 bytes of
// annotations fill a data record of 10 MiB.
constexpr int kMostRate = 5242823;

class AttacksCommands : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    std::string Run(const std::string& args, int* status) const
    {
        return RunCommand("timeout 120 " + Spirohost() + " " + args + " 2>&1", status);
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(mFolder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestSupport::TempFolder mFolder;
};

// Values that are not finite, that the head would clip or that no recording may hold are
// refused with the option's range, and nothing is written.
TEST_F(AttacksCommands, GenerateRefusesWhatTheHeadCannotRecord)
{
    const std::string out = Path("x.edf");
    // At the highest rate, enough quiet breaths for more samples than a recording may hold.
    Host::SyntheticOptions fast;
    fast.rate = kMostRate;
    fast.quietBreathsPerRun = 20;
    const double seconds = Host::SyntheticBreathing(fast).Seconds();
    ASSERT_GT(seconds * kMostRate, double(Host::kMaxExpandedBytes / 2));
    const struct {
        std::string options;
        std::string message;
    } cases[] = {
        {"--noise nan", "--noise takes 0 to 1.23 L/s"},
        {"--noise inf", "--noise takes 0 to 1.23 L/s"},
        {"--fvc 1e300", "--fvc takes 0.03 to 10.4 L"},
        // Volumes whose breaths 16-bit samples cannot hold within 3 %: 1e-6 L would be all zeros.
        {"--fvc 0", "--fvc takes 0.03 to 10.4 L"},
        {"--fvc 0.029", "--fvc takes 0.03 to 10.4 L"},
        {"--tidal-volume -nan", "--tidal-volume takes 0.021 to 10.4 L"},
        {"--tidal-volume 1e-6", "--tidal-volume takes 0.021 to 10.4 L"},
        {"--tidal-volume 0.02", "--tidal-volume takes 0.021 to 10.4 L"},
        {"--tau 1e300", "--tau takes 0.01 to 100 s"},
        {"--drift -9", "--drift takes -8.19 to 8.19 L/s"},
        {"--quiet 100000000", "--quiet takes 0 to 100000 breaths"},
        {"--forced -1", "--forced takes 0 to 100000 breaths"},
        // Too slow for the forced breaths to analyse to their figures: 50 ticks per second, and
        // 25 a time constant of the forced expiration.
        {"--rate 0", "--rate takes 50 to 5242823 ticks per second with --tau 0.5 s"},
        {"--rate 10", "--rate takes 50 to 5242823 ticks per second with --tau 0.5 s"},
        {"--rate 49", "--rate takes 50 to 5242823 ticks per second with --tau 0.5 s"},
        {"--rate 124 --tau 0.2 --fvc 1.5", "--rate takes 125 to 5242823 ticks per second with --tau 0.2 s"},
        {"--rate 1000 --tau 0.02 --fvc 0.1", "--rate takes 1250 to 5242823 ticks per second with --tau 0.02 s"},
        // A second of samples past the highest rate no longer fits in an EDF data record.
        {"--rate 5242824 --quiet 1 --forced 0", "--rate takes 50 to 5242823 ticks per second with --tau 0.5 s"},
        {"--rate 10000000", "--rate takes 50 to 5242823 ticks per second with --tau 0.5 s"},
        {"--quiet 0 --forced 0", "there must be a quiet or a forced breath"},
        {"--quiet 1000 --forced 200", "--quiet 1000 and --forced 200 make 201200 breaths; a recording may have at "
                                      "most 100000"},
        // The forced expiration's peak, 4.1 / (1 - e^-10) / 0.5 = 8.2004 L/s, with the drift and the
        // noise at its largest draw (0.0001 x 6.66).
        {"--fvc 4.1", "the flow would reach 8.2 L/s, beyond the simulated head's full scale of 8.19 L/s: lower --fvc, "
                      "--tidal-volume, --noise or --drift, or raise --tau"},
        {"--rate 5242823 --quiet 20", std::to_string(std::llround(seconds * kMostRate)) + " samples (" +
                                          std::to_string(std::lround(seconds)) + " s at 5242823 ticks per second) are "
                                          "more than the 536870816 (1 GiB of 16-bit samples with their record's "
                                          "bookkeeping) a recording may hold: lower --rate or the breath counts"},
        // Just past what the readers take, 2^29 - 96 samples: 129 s of 33 quiet breaths, 2 samples
        // short of 2^29, which was written and then refused by every reader.
        {"--rate 4161790 --quiet 33 --forced 0", "536870910 samples (129 s at 4161790 ticks per second) are more "
                                                 "than the 536870816 (1 GiB of 16-bit samples with their record's "
                                                 "bookkeeping) a recording may hold: lower --rate or the breath "
                                                 "counts"},
    };
    for (const auto& c : cases) {
        int status = -1;
        EXPECT_EQ(Run("generate " + out + " " + c.options, &status), "spirohost generate: " + c.message + "\n")
            << c.options;
        EXPECT_EQ(status, 2) << c.options;
        EXPECT_FALSE(fs::exists(out)) << c.options;
    }
}

// At the highest rate a second of samples fills an EDF data record, and the recording is written
// and read back; EDFlib refused it only after the samples were made, saying no more than
// "cannot write the samples".
TEST_F(AttacksCommands, GenerateWritesAtItsHighestRate)
{
    const std::string out = Path("fast.edf");
    int status = -1;
    const std::string text = Run("generate " + out + " --rate " + std::to_string(kMostRate) + " --quiet 1 --forced 0",
                                 &status);
    ASSERT_EQ(status, 0) << text;
    const Host::Recording recording = Host::LoadRecording(out);
    EXPECT_EQ(recording.TickRate(), kMostRate);
    EXPECT_EQ(recording.Record(0).ticks % kMostRate, 0u);
}

// Just within full scale, the recording is written unclipped: without noise or drift its lowest
// raw value is the forced expiration's peak, 4.09 / (1 - e^-10) / 0.5 = 8.1804 L/s, at 2 L/s a
// volt and 0.000125 V a step: 32721 steps (or the next tick's, 32656, should the first tick of
// expiration round to the inspiration's end), never the 16-bit limit.
TEST_F(AttacksCommands, GenerateWritesUpToFullScaleUnclipped)
{
    const std::string out = Path("x.edf");
    int status = -1;
    const std::string text = Run("generate " + out + " --fvc 4.09 --quiet 1 --forced 1 --noise 0 --drift 0", &status);
    ASSERT_EQ(status, 0) << text;
    const Host::Recording recording = Host::LoadRecording(out);
    const std::vector<int16_t>& raw = recording.Record(0).samples[0];
    const int lowest = *std::min_element(raw.begin(), raw.end());
    EXPECT_GE(lowest, -32721);
    EXPECT_LE(lowest, -32656);
}

TEST_F(AttacksCommands, ViewThatWouldWriteNothingIsRefusedAtOnce)
{
    const std::string view = "view " + kSample + " --raw 1 --scale 2 --view \"Spirometry Report\"";
    int status = -1;
    EXPECT_EQ(Run(view, &status), "spirohost view: nothing to write: give --png, --print or --copy\n");
    EXPECT_EQ(status, 2);
    for (const std::string& option : {std::string(" --png \"\""), std::string(" --print \"\""),
                                      std::string(" --copy \"\""), " --print " + Path("x.pdf") + " --png \"\""}) {
        EXPECT_EQ(Run(view + option, &status), "spirohost view: an empty name is not a file name\n") << option;
        EXPECT_EQ(status, 1) << option;
    }
    EXPECT_TRUE(Files().empty());
}

// Names of 248 to 255 bytes, which the folder takes, are written, and nothing else is left.
TEST_F(AttacksCommands, EveryNameTheFolderTakesCanBeWritten)
{
    const std::string recording = mFolder.Write("flow.csv", "time,Flow [L/s]\n0,1\n0.1,2\n0.2,3\n").string();
    for (const size_t length : {size_t(248), size_t(251), size_t(NAME_MAX)}) {
        const std::string name(length - 4, 'n');
        const std::vector<std::pair<std::string, std::string>> writes = {
            {name + ".txt", "formula " + recording + " ch1*2 --out " + Path(name + ".txt")},
            {name + ".spd", "doc save " + recording + " --out " + Path(name + ".spd") + " --channel \"F=ch1*2\""},
            {name + ".edf",
             "generate " + Path(name + ".edf") + " --quiet 1 --forced 1 --figures " + Path(name + ".csv")},
        };
        for (const auto& [file, args] : writes) {
            int status = -1;
            const std::string out = Run(args, &status);
            EXPECT_EQ(status, 0) << length << ": " << out;
            EXPECT_TRUE(fs::is_regular_file(Path(file))) << length << ": " << out;
        }
        EXPECT_EQ(Files(), (std::vector<std::string>{"flow.csv", name + ".csv", name + ".edf", name + ".spd",
                                                     name + ".txt"}));
        for (const char* extension : {".csv", ".edf", ".spd", ".txt"})
            fs::remove(Path(name + extension));
    }
}

// A report written over a set-user-ID and set-group-ID file keeps only its permissions: the new
// file belongs to the writer, who would otherwise lend anyone running it their rights.
TEST_F(AttacksCommands, AWriteOverASetIdFileKeepsOnlyThePermissions)
{
    const std::string report = Path("report.csv");
    std::ofstream(report) << "old";
    ASSERT_EQ(::chmod(report.c_str(), 06755), 0);
    int status = -1;
    const std::string out = Run("analyse " + kSample + " --raw 1 --scale 2 --csv " + report, &status);
    ASSERT_EQ(status, 0) << out;
    struct stat st {};
    ASSERT_EQ(::stat(report.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

// The pid of spirohost started with args, not waited for.
pid_t Start(const std::vector<std::string>& args)
{
    std::vector<std::string> words = {Spirohost()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // The signals a test sends end it as they would a program started from a terminal, whatever
    // the test runner ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t quiet;  // what it prints is not looked at
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const bool started = ::posix_spawn(&pid, argv[0], &quiet, &attributes, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    posix_spawnattr_destroy(&attributes);
    return started ? pid : -1;
}

// True once the process holds a file in folder open: the write to it has begun.
bool Writing(pid_t pid, const fs::path& folder)
{
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const fs::path target = fs::read_symlink(fd.path(), error);
        if (!error && target.parent_path() == folder)
            return true;
    }
    return false;
}

// A recording of about 37 MB, killed while it is written, leaves nothing in the folder; the
// kill comes when the process has the file open, however long it took to get there.
TEST_F(AttacksCommands, AWriteKilledHalfWayLeavesNothing)
{
    const std::string out = Path("big.edf");
    std::ofstream(out) << "old";
    for (int kill = 0; kill < 3; ++kill) {
        const pid_t pid = Start({"generate", out, "--quiet", "2500", "--forced", "1"});
        ASSERT_GT(pid, 0);
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        bool writing = false;
        while (!(writing = Writing(pid, mFolder.Path())) && std::chrono::steady_clock::now() < until &&
               ::waitpid(pid, nullptr, WNOHANG) == 0)
            ::usleep(1000);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(writing) << "the write was never seen under way";
        EXPECT_EQ(Files(), std::vector<std::string>{"big.edf"});
    }
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "old");
}

// Whether the folder holds a named scratch file (a hidden name).
bool NamedScratch(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string()[0] == '.')
            return true;
    return false;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// generate stopped by a signal at any moment of writing a recording and its figures leaves the
// old pair and nothing else: signalled as soon as a scratch file is seen with a name, and at
// delays into the write. A signal it can catch that comes while the two are put in place waits
// until both are, and leaves the new pair. SIGKILL in that moment, between naming the first and
// renaming the last, is the one stop that can leave a scratch file (which the next write to its
// target removes) and new figures beside the old recording: it is sent only at the delays.
TEST_F(AttacksCommands, GenerateStoppedWhileWritingLeavesAWholePair)
{
    const std::string recording = Path("rec.edf"), figures = Path("rec.csv");
    constexpr int kAtANamedScratch = -1;
    int oldPairs = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
        for (const int delay : {kAtANamedScratch, 0, 200, 500}) {
            if (signal == SIGKILL && delay == kAtANamedScratch)
                continue;
            std::ofstream(recording) << "old";
            std::ofstream(figures) << "old";
            const pid_t pid = Start({"generate", recording, "--quiet", "1000", "--forced", "1", "--figures", figures});
            ASSERT_GT(pid, 0);
            const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
            std::optional<std::chrono::steady_clock::time_point> seen;
            bool exited = false;
            for (;;) {
                const auto now = std::chrono::steady_clock::now();
                if (!seen && Writing(pid, mFolder.Path()))
                    seen = now;
                const bool due = delay == kAtANamedScratch ? NamedScratch(mFolder.Path())
                                                           : seen && now - *seen >= std::chrono::milliseconds(delay);
                if (due || now > until || (exited = ::waitpid(pid, nullptr, WNOHANG) != 0))
                    break;
                ::usleep(500);
            }
            if (!exited) {
                ::kill(pid, signal);
                ::waitpid(pid, nullptr, 0);
            }
            EXPECT_EQ(Files(), (std::vector<std::string>{"rec.csv", "rec.edf"})) << signal << " after " << delay;
            const bool old = Contents(recording) == "old";
            EXPECT_EQ(Contents(figures) == "old", old) << signal << " after " << delay;
            oldPairs += old;
            for (const std::string& name : Files())  // so that each try starts from the old pair alone
                fs::remove(Path(name));
        }
    EXPECT_GT(oldPairs, 0) << "no signal came during a write";
}

// A scratch file that a write killed between naming it and renaming it left is removed by the
// next write to the same target; one a running write holds is left to it.
TEST_F(AttacksCommands, TheNextWriteRemovesAScratchFileLeftBehind)
{
    const std::string recording = mFolder.Write("flow.csv", "time,Flow [L/s]\n0,1\n0.1,2\n").string();
    const std::string left = Path(".out.saving-Ab12Cd.txt"), held = Path(".out.saving-Xy34Zw.txt");
    std::ofstream(left) << "half";
    std::ofstream(held) << "busy";
    std::ofstream(Path(".other.saving-Ab12Cd.txt")) << "another target's";
    const int lock = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    int status = -1;
    const std::string out = Run("formula " + recording + " ch1 --out " + Path("out.txt"), &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(Files(), (std::vector<std::string>{".other.saving-Ab12Cd.txt", ".out.saving-Xy34Zw.txt", "flow.csv",
                                                 "out.txt"}));
    ::close(lock);
}

// An option given a formula is quoted in a readable piece: the first 80 characters and "...".
TEST_F(AttacksCommands, OptionMessagesQuoteAReadablePiece)
{
    const std::string recording = mFolder.Write("flow.csv", "time,Flow [L/s]\n0,1\n0.1,2\n").string();
    const std::string formula = "--" + std::string(60000, 'a');
    const std::string piece = "--" + std::string(78, 'a') + "...";
    std::ofstream(Path("formula.txt")) << formula;
    int status = -1;
    std::string out = Run("formula " + recording + " \"$(cat " + Path("formula.txt") + ")\" --out -", &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out.substr(0, out.find('\n')), "spirohost formula: unrecognised option '" + piece + "'");
    EXPECT_LT(out.size(), 400u) << out.size();

    out = Run("generate x.edf --rate \"$(cat " + Path("formula.txt") + ")\"", &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "spirohost generate: the argument ('" + piece + "') for option '--rate' is invalid");

    // A character of several bytes is never cut in two: the 80th byte is the first of the 39th
    // micro sign, which goes whole.
    std::string wide;
    for (int i = 0; i < 100; ++i)
        wide += "\xC2\xB5";
    out = Run("formula " + recording + " \"--x" + wide + "\" --out -", &status);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "spirohost formula: unrecognised option '--x" + wide.substr(0, 76) + "...'");

    out = Run("\"" + formula.substr(2, 5000) + "\"", &status);
    EXPECT_EQ(out.substr(0, out.find('\n')), "spirohost: unknown command '" + std::string(80, 'a') + "...'");
    EXPECT_EQ(status, 2);
}

// Values of 100 kB that name no view, selection, calculation or file are quoted by a piece: the
// commands' own by their first 80 characters, the host's by their first 60, a file's name by its
// last 80, which say what file it is.
TEST_F(AttacksCommands, RefusedValuesAreQuotedByAPiece)
{
    std::ofstream(Path("value.txt")) << std::string(100000, '7');
    std::ofstream(Path("late.txt")) << "0:" + std::string(100000, '0') + "9999";
    const std::string typed = "\"$(cat " + Path("value.txt") + ")\"", late = "\"$(cat " + Path("late.txt") + ")\"";
    const std::string piece = std::string(80, '7') + "...", hostPiece = std::string(60, '7') + "...";
    const std::string pathEnd = "..." + std::string(80, '7');
    const std::string analysed = kSample + " --raw 1 --scale 2 ";
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"view " + analysed + "--png " + Path("v.png") + " --view " + typed,
         "spirohost view: the plug-in registered no class \"" + hostPiece + "\""},
        {"analyse " + analysed + "--csv " + Path("r.csv") + " --select " + typed,
         "spirohost analyse: --select takes FROM:TO in seconds, not \"" + piece + "\""},
        {"analyse " + analysed + "--csv " + Path("r.csv") + " --select " + late,
         "spirohost analyse: the selection 0:" + std::string(78, '0') + "... reaches beyond the end of the recording "
         "(at 88 s)"},
        {"dialog " + analysed + "--calc " + typed,
         "spirohost dialog: --calc takes flow, volume, tidal or minvent, not \"" + piece + "\""},
        {"info " + typed + ".edf",
         "spirohost info: ..." + std::string(76, '7') + ".edf: the file cannot be opened: File name too long"},
        {"info " + typed, "spirohost info: " + pathEnd + ": unknown kind of recording (expected .edf or .csv)"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string out = Run(c.args, &status);
        EXPECT_EQ(out.substr(0, out.find('\n')), c.message) << c.args.substr(0, 100);
        EXPECT_LT(out.size(), 400u) << c.args.substr(0, 100);
        EXPECT_NE(status, 0) << c.args.substr(0, 100);
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"late.txt", "value.txt"}));
}

}  // namespace
