// Outputs named so that a write would lose one, or reach what is not a file: two outputs of one
// command under one name however spelt, an output under a recording format's extension that it
// is not written in, and the standard streams by their names under /dev, written in a private
// mount namespace so that the machine's /dev is never at stake. Each is refused before any work,
// or written where its name says.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class AttacksOutputs : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    // spirohost run in the test's folder, as a user names files there.
    std::string Run(const std::string& args, int* status) const
    {
        return RunCommand("cd " + mFolder.Path().string() + " && timeout 120 " + Spirohost() + " " + args + " 2>&1",
                          status);
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(mFolder.Path()))
            names.push_back(fs::relative(entry.path(), mFolder.Path()).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestSupport::TempFolder mFolder;
};

// Two outputs that name one file, through "." and "..", a hard link, a link to the other's file,
// a linked folder, or one standard stream by two names, are refused before any work: neither is
// written, and nothing is said to be. So is an output where the log lines go.
TEST_F(AttacksOutputs, TwoOutputsUnderOneNameAreRefusedAtOnce)
{
    fs::create_directory(Path("sub"));
    std::ofstream(Path("a.png")) << "old a";
    fs::create_hard_link(Path("a.png"), Path("hard.png"));
    fs::create_symlink("a.png", Path("link.png"));
    fs::create_directory_symlink(".", Path("here"));
    const std::vector<std::string> before = Files();
    const std::string view = "view " + kSample + " --raw 1 --scale 2 --settle 0 --view \"Spirometry Report\" ";
    const std::string analyse = "analyse " + kSample + " --raw 1 --scale 2 ";
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {view + "--png x.out --print ./x.out",
         "view: --print './x.out' is the file --png 'x.out' writes; writing both would lose one: name another file"},
        {view + "--print x.pdf --copy sub/../x.pdf",
         "view: --copy 'sub/../x.pdf' is the file --print 'x.pdf' writes; writing both would lose one: name another "
         "file"},
        {view + "--png a.png --copy hard.png",
         "view: --copy 'hard.png' is the file --png 'a.png' writes; writing both would lose one: name another file"},
        {view + "--png link.png --print a.png",
         "view: --print 'a.png' is the file --png 'link.png' writes; writing both would lose one: name another file"},
        {view + "--print new.pdf --copy here/new.pdf",
         "view: --copy 'here/new.pdf' is the file --print 'new.pdf' writes; writing both would lose one: name another "
         "file"},
        {view + "--png /dev/stdout --copy /dev/fd/1",
         "view: --copy '/dev/fd/1' is the file --png '/dev/stdout' writes; writing both would lose one: name another "
         "file"},
        {"dialog " + kSample + " --raw 1 --calc flow --do \"snapshot x.csv\" --do \"press OK\" --csv ./x.csv",
         "dialog: --do snapshot 'x.csv' is the file --csv './x.csv' writes; writing both would lose one: name another "
         "file"},
        {analyse + "--settings \"snapshot y.csv\" --settings \"press OK\" --csv y.csv",
         "analyse: --settings snapshot 'y.csv' is the file --csv 'y.csv' writes; writing both would lose one: name "
         "another file"},
        {analyse + "--settings \"snapshot s.png\" --settings \"snapshot sub/../s.png\" --settings \"press OK\" --csv "
                   "r.csv",
         "analyse: --settings snapshot 'sub/../s.png' is the file --settings snapshot 's.png' writes; writing both "
         "would lose one: name another file"},
        {"formula " + kSample + " ch1 --verbose --out /dev/fd/2",
         "formula: --out '/dev/fd/2' is where the log lines go (--log, --verbose or SPIRO_LOG); they would be mixed "
         "into it: name another file"},
        {analyse + "--log sub/../y.csv --csv y.csv",
         "analyse: --csv 'y.csv' is where the log lines go (--log, --verbose or SPIRO_LOG); they would be mixed into "
         "it: name another file"},
        {"doc save " + kSample + " --raw 1 --scale 2 --settings \"snapshot d.spd\" --settings \"press OK\" --out "
                                 "./d.spd",
         "doc save: --settings snapshot 'd.spd' is the file --out './d.spd' writes; writing both would lose one: name "
         "another file"},
    };
    for (const auto& c : cases) {
        int status = -1;
        EXPECT_EQ(Run(c.args, &status), "spirohost " + c.message + "\n") << c.args;
        EXPECT_EQ(status, 2) << c.args;
        EXPECT_EQ(Files(), before) << c.args;
    }
    EXPECT_EQ(Read(Path("a.png")), "old a");
}

// An output named as a recording in the other format than it is written in would be read as
// that format: refused before any work.
TEST_F(AttacksOutputs, AnOutputUnderTheOtherRecordingFormatsExtensionIsRefused)
{
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"formula " + kSample + " ch1 --out x.edf",
         "formula: --out 'x.edf' ends in .edf, but it is written as CSV, and recordings are read as their extension "
         "says: name another file"},
        {"formula " + kSample + " ch1 --out sub/../X.EDF",
         "formula: --out 'sub/../X.EDF' ends in .edf, but it is written as CSV, and recordings are read as their "
         "extension says: name another file"},
        {"dialog " + kSample + " --raw 1 --calc flow --do \"press OK\" --csv flow.edf",
         "dialog: --csv 'flow.edf' ends in .edf, but it is written as CSV, and recordings are read as their extension "
         "says: name another file"},
        {"sample live.csv --seconds 1",
         "sample: --out 'live.csv' ends in .csv, but it is written as EDF, and recordings are read as their extension "
         "says: name another file"},
    };
    for (const auto& c : cases) {
        int status = -1;
        EXPECT_EQ(Run(c.args, &status), "spirohost " + c.message + "\n") << c.args;
        EXPECT_EQ(status, 2) << c.args;
        EXPECT_EQ(Files(), std::vector<std::string>{}) << c.args;
    }
    int status = -1;
    const std::string out = Run("formula " + kSample + " ch1 --to 0.02 --out x.csv", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(Files(), std::vector<std::string>{"x.csv"});
}

// The commands run in a mount namespace of their own, whose /dev is a scratch file system made
// like the machine's: its stream links, its fd folder and the devices a program opens.
class StandardStreams : public AttacksOutputs {
protected:
    void SetUp() override
    {
        int status = -1;
        // What the namespace's set-up does, tried first: a namespace may be made where no file
        // system may be mounted.
        RunCommand("unshare --mount sh -c 'mount --make-rprivate / && mount -t tmpfs probe /dev' 2>&1", &status);
        if (status != 0)
            GTEST_SKIP() << "no private mount namespace with a scratch /dev can be made here (it needs root)";
    }
    // Runs the shell commands in the namespace, then lists its /dev and where its stdout link
    // points, into dev.txt.
    std::string InNamespace(const std::string& commands, int* status) const
    {
        std::ofstream(Path("script.sh")) << SetUp() << commands
                                         << "\ncode=$?; { ls -A /dev | tr '\\n' ' '; readlink /dev/stdout; } > dev.txt; "
                                            "exit $code\n";
        return RunCommand("unshare --mount sh " + Path("script.sh") + " 2>&1", status);
    }
    // Starts spirohost with args in the namespace, in the folder, its standard output into out
    // and its standard error into err.txt, with TMPDIR the folder tmp; its process id (the shell
    // that sets the namespace up becomes spirohost).
    pid_t StartInNamespace(const std::string& args, int out) const
    {
        std::ofstream(Path("start.sh")) << SetUp() << "export TMPDIR=" << Path("tmp") << "\nexec " << Spirohost()
                                        << " " << args << " 2> err.txt\n";
        const std::string script = Path("start.sh");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out, STDOUT_FILENO);
            ::execlp("unshare", "unshare", "--mount", "sh", script.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }
    std::string SetUp() const
    {
        return "set -e; mount --make-rprivate /; mount -t tmpfs -o mode=755 scratch-dev /dev\n"
               "mknod -m 666 /dev/null c 1 3; mknod -m 666 /dev/zero c 1 5; mknod -m 666 /dev/urandom c 1 9\n"
               "ln -s /proc/self/fd /dev/fd; ln -s /proc/self/fd/0 /dev/stdin; ln -s /proc/self/fd/1 /dev/stdout\n"
               "ln -s /proc/self/fd/2 /dev/stderr; set +e; cd " + mFolder.Path().string() + "\n"
               // A test build's leak report, which a program that drew text adds at exit.
               "export LSAN_OPTIONS=print_suppressions=0\n";
    }
    std::string Spiro() const { return "timeout 120 " + Spirohost() + " "; }

    static constexpr char kDevices[] = "fd null stderr stdin stdout urandom zero /proc/self/fd/1\n";
};

// /dev/stdout and /dev/stderr, however spelt, are written to the streams, whole, with the
// command's own line on standard error; the links stay. The report is the one a file gets.
TEST_F(StandardStreams, StandardOutputAndErrorAreWrittenToTheirStreams)
{
    int status = -1;
    const std::string analyse = "analyse " + kSample + " --raw 1 --scale 2 --csv ";
    ASSERT_EQ(Run(analyse + "report.csv", &status), "Report written to report.csv\n");
    InNamespace(Spiro() + analyse + "/dev/stdout > out.txt 2> err.txt", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(Path("out.txt")), Read(Path("report.csv")));
    EXPECT_EQ(Read(Path("err.txt")), "Report written to /dev/stdout\n");
    EXPECT_EQ(Read(Path("dev.txt")), kDevices);

    InNamespace(Spiro() + "formula " + kSample + " ch1 --to 0.002 --out /dev/fd/1 > out.txt 2> err.txt", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(Path("out.txt")), "0,0.000125\n0.001,0\n0.002,0.000125\n") << Read(Path("err.txt"));
    EXPECT_EQ(Read(Path("err.txt")), "Samples written to /dev/fd/1 (3 of record 1)\n");
    EXPECT_EQ(Read(Path("dev.txt")), kDevices);

    InNamespace(Spiro() + "formula " + kSample + " ch1 --to 0.001 --out //dev/./stderr > out.txt 2> err.txt", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(Path("out.txt")), "Samples written to //dev/./stderr (2 of record 1)\n");
    EXPECT_EQ(Read(Path("err.txt")), "0,0.000125\n0.001,0\n");
    EXPECT_EQ(Read(Path("dev.txt")), kDevices);
}

// Other names there are refused before any work, whatever the stream is: standard input is a
// regular file here, the case in which it would have been replaced.
TEST_F(StandardStreams, OtherNamesUnderDevAreRefusedAndLeftAlone)
{
    std::ofstream(Path("in.txt")) << "input";
    for (const std::string target : {"/dev/stdin", "/dev/fd/0", "/dev/report.csv", "/proc/self/fd/0"}) {
        int status = -1;
        const std::string out = InNamespace(
            Spiro() + "analyse " + kSample + " --raw 1 --scale 2 --csv " + target + " < in.txt > out.txt", &status);
        EXPECT_EQ(status, 2) << target << ": " << out;
        EXPECT_EQ(out, "spirohost analyse: --csv '" + target + "' is a name of the system's (under /dev or /proc), "
                       "which is never written: name a file, or /dev/stdout or /dev/stderr for the stream\n");
        EXPECT_EQ(Read(Path("out.txt")), "") << target;
        EXPECT_EQ(Read(Path("in.txt")), "input") << target;
        EXPECT_EQ(Read(Path("dev.txt")), kDevices) << target;
    }
}

// A stream that is not open takes no output, however the command writes it: the command fails
// with exit 1, says why where it can, and says nothing is written. A closed stream's descriptor
// is no file's, so an earlier open (a --log file) cannot take the output either.
TEST_F(StandardStreams, AnOutputToAStreamThatIsNotOpenFails)
{
    const std::string notOpen = ": /dev/stdout: not written: standard output is not open\n";
    const struct {
        std::string args;
        std::string said;
    } cases[] = {
        {"analyse " + kSample + " --raw 1 --scale 2 --csv /dev/stdout", "spirohost analyse" + notOpen},
        {"analyse " + kSample + " --raw 1 --scale 2 --settings \"snapshot /dev/stdout\" --settings \"press OK\" --csv "
                                "report.csv",
         "spirohost analyse: the settings dialog" + notOpen},
        {"formula " + kSample + " ch1 --log log.txt --out /dev/stdout", "spirohost formula" + notOpen},
        {"generate gen.edf --figures /dev/stdout", "spirohost generate" + notOpen},
        {"sample /dev/stdout --seconds 1", "spirohost sample" + notOpen},
        {"doc save " + kSample + " --out /dev/stdout", "spirohost doc save" + notOpen},
        {"dialog " + kSample + " --raw 1 --calc flow --do \"press OK\" --csv /dev/stdout", "spirohost dialog" + notOpen},
        {"dialog " + kSample + " --raw 1 --calc flow --do \"snapshot /dev/stdout\" --do \"press OK\"",
         "spirohost dialog" + notOpen},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string out = InNamespace(Spiro() + c.args + " >&- 2> err.txt", &status);
        EXPECT_EQ(status, 1) << c.args << ": " << out;
        EXPECT_EQ(Read(Path("err.txt")), c.said) << c.args;
        EXPECT_FALSE(fs::exists(Path("gen.edf"))) << c.args;
        EXPECT_FALSE(fs::exists(Path("report.csv"))) << c.args;
    }
    // Standard error closed: nothing is said on standard output either.
    int status = -1;
    InNamespace(Spiro() + "formula " + kSample + " ch1 --to 0.002 --out /dev/stderr 2>&- > out.txt", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Read(Path("out.txt")), "");
}

bool IsPng(const std::string& bytes)
{
    static const std::string kStart = "\x89PNG\r\n\x1a\n", kEnd("IEND\xae\x42\x60\x82", 8);
    return bytes.size() > kStart.size() + kEnd.size() && bytes.compare(0, kStart.size(), kStart) == 0 &&
           bytes.compare(bytes.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
}

// A stream that carries an output carries that output alone, a snapshot's too: the command's
// own lines go to the other stream, and nowhere when both carry outputs.
TEST_F(StandardStreams, AStreamCarriesItsOutputAlone)
{
    int status = -1;
    const std::string analyse = "analyse " + kSample + " --raw 1 --scale 2 ";
    ASSERT_EQ(Run(analyse + "--csv report.csv", &status), "Report written to report.csv\n");
    const std::string report = Read(Path("report.csv"));
    const std::string snapshot = " --settings \"press OK\"";
    const std::string dialog = "dialog " + kSample + " --raw 1 --calc flow --do \"snapshot /dev/";
    const struct {
        std::string args;
        std::string out;  // "png": a PNG alone
        std::string err;
    } cases[] = {
        {dialog + "stdout\" --do \"press OK\"", "png", "accepted\n"},
        {dialog + "stderr\" --do \"press OK\"", "accepted\n", "png"},
        {analyse + "--settings \"snapshot /dev/stdout\"" + snapshot + " --csv other.csv", "png",
         "Report written to other.csv\n"},
        {analyse + "--settings \"snapshot /dev/stderr\"" + snapshot + " --csv /dev/stdout", report, "png"},
    };
    for (const auto& c : cases) {
        InNamespace(Spiro() + c.args + " > out.txt 2> err.txt", &status);
        EXPECT_EQ(status, 0) << c.args << ": " << Read(Path("err.txt")).substr(0, 200);
        for (const auto& [name, expected] : {std::make_pair("out.txt", c.out), std::make_pair("err.txt", c.err)}) {
            const std::string got = Read(Path(name));
            if (expected == "png")
                EXPECT_TRUE(IsPng(got)) << c.args << ": " << name << ": " << got.substr(0, 40);
            else
                EXPECT_EQ(got, expected) << c.args << ": " << name;
        }
    }
}

// A stream that nobody reads does not keep SIGTERM off: every command writing an output there
// ends within a second of it, and leaves nothing in its temporary folder. The pipe takes a page,
// which each output fills.
TEST_F(StandardStreams, AStreamNobodyReadsEndsOnSigterm)
{
    fs::create_directory(Path("tmp"));
    int status = -1;
    const std::string generated = Run("generate long.edf --quiet 100 --forced 1", &status);
    ASSERT_EQ(status, 0) << generated;
    const std::string analysed = kSample + " --raw 1 --scale 2 ";
    const std::string cases[] = {
        "formula " + kSample + " ch1 --out /dev/stdout",
        "generate gen.edf --quiet 1000 --figures /dev/stdout",
        "analyse long.edf --raw 1 --scale 2 --non-forced --csv /dev/stdout",
        "doc save " + analysed + "--out /dev/stdout",
        "dialog " + kSample + " --raw 1 --calc flow --do \"press OK\" --csv /dev/stdout",
        "dialog " + kSample + " --raw 1 --calc flow --do \"snapshot /dev/stdout\" --do \"press OK\"",
        "sample /dev/stdout --seconds 1 --channels 16",
    };
    for (const std::string& args : cases) {
        int pipe[2];
        ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
        ::fcntl(pipe[0], F_SETPIPE_SZ, 4096);
        const int capacity = ::fcntl(pipe[0], F_GETPIPE_SZ);
        const pid_t pid = StartInNamespace(args, pipe[1]);
        ::close(pipe[1]);
        ASSERT_GT(pid, 0);
        int waiting = 0;
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        bool ended = false;
        while (!(ended = ::waitpid(pid, &status, WNOHANG) == pid) && std::chrono::steady_clock::now() < until &&
               (::ioctl(pipe[0], FIONREAD, &waiting) != 0 || waiting < capacity))
            ::usleep(10000);
        EXPECT_FALSE(ended) << args << ": ended before the pipe was full: " << Read(Path("err.txt"));
        ::kill(pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!ended && std::chrono::steady_clock::now() < deadline) {
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            if (!ended)
                ::usleep(10000);
        }
        if (!ended) {
            ADD_FAILURE() << args << ": still running a second after SIGTERM";
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        ::close(pipe[0]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << args << ": " << status;
        EXPECT_TRUE(fs::is_empty(Path("tmp"))) << args;
    }
}

}  // namespace
