// The attacks the program must withstand, run against spirohost as a user would: a formula long
// enough to exhaust the stack, links planted where saves write, saves racing to one path,
// inputs that are not files, outputs that are not regular files, a full disk, a small EDF that
// would expand without bound, a CSV whose values cannot be represented, and browsers that are
// missing, exit, never answer or die while a view is shown. Each must end with a clear message
// and a non-zero exit, leaving every file that was there as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/EdfBytes.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Files(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
const std::string kNotRegular = ": not replaced: it exists and is not a regular file";

// Every command that writes a file other than a recording or document, writing to target (and
// the report of one that fails before it).
std::vector<std::string> OutputWriters(const std::string& target, const std::string& report)
{
    const std::string view = "view " + kSample + " --raw 1 --scale 2 --settle 0 --view \"Spirometry Report\" ";
    const std::string dialog = "dialog " + kSample + " --raw 1 --calc flow ";
    return {
        view + "--png " + target,
        view + "--print " + target,
        view + "--copy " + target,
        dialog + "--do \"press OK\" --csv " + target,
        dialog + "--do \"snapshot " + target + "\" --do \"press OK\"",
        "analyse " + kSample + " --raw 1 --scale 2 --csv " + report + " --settings \"snapshot " + target +
            "\" --settings \"press OK\"",
        // Sampling for an hour first would run into the time limit.
        "sample " + target + " --seconds 3600",
    };
}

class Attacks : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    // Runs spirohost with a time limit, so that a command that blocks fails instead of hanging.
    std::string Run(const std::string& args, int* status) const
    {
        return RunCommand("timeout 60 " + Spirohost() + " " + args + " 2>&1", status);
    }
    std::string Recording(const std::string& title = "Flow") const
    {
        const std::string path = Path("flow.csv");
        std::ofstream out(path);
        out << "time," << title << " [L/s]\n";
        for (int i = 0; i < 20; ++i)
            out << i / 10.0 << "," << (i % 5) << "\n";
        return path;
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(Attacks, FormulasTooLongOrWithTooManyTermsAreRefused)
{
    const std::string rec = Recording("a");
    const auto chain = [](int terms) {
        std::string formula = "a";
        for (int i = 1; i < terms; ++i)
            formula += "+a";
        return formula;
    };
    // 60,000 terms of a channel of one letter stay within the system's limit on one argument;
    // the formula comes through the shell from a file.
    for (const int terms : {60000, 1001}) {
        std::ofstream(Path("formula.txt")) << chain(terms);
        int status = -1;
        const std::string out = Run("formula " + rec + " \"$(cat " + Path("formula.txt") + ")\" --out -", &status);
        EXPECT_EQ(status, 1) << terms << " terms: " << out.substr(0, 300);
        EXPECT_NE(out.find(terms == 60000 ? "The formula is too long: it may have at most 65536 characters."
                                          : "The formula has too many terms: it may have at most 2000"),
                  std::string::npos)
            << out.substr(0, 300);
    }
    int status = -1;
    std::ofstream(Path("formula.txt")) << chain(1000);
    const std::string out = Run("formula " + rec + " \"$(cat " + Path("formula.txt") + ")\" --out -", &status);
    EXPECT_EQ(status, 0) << out.substr(0, 300);
    const size_t line = out.find("\n0.1,");
    ASSERT_NE(line, std::string::npos) << out.substr(0, 300);
    EXPECT_NEAR(std::atof(out.c_str() + line + 5), 1000.0, 0.1);  // within the 16-bit step, times 1000
}

TEST_F(Attacks, PlantedLinksAreNeverFollowed)
{
    const std::string rec = Recording(), doc = Path("doc.spd"), victim = Path("victim");
    std::ofstream(victim) << "precious";
    // At the scratch name a save once used, and at the target itself.
    ASSERT_EQ(::symlink(victim.c_str(), (doc + ".saving").c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), doc.c_str()), 0);
    int status = -1;
    const std::string out = Run("doc save " + rec + " --out " + doc + " --channel \"F=ch1*2\"", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(Read(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(doc));
    EXPECT_EQ(Run("doc show " + doc, &status).find(doc + ": a document over "), 0u);

    // A target that is not a regular file is refused and left as it is.
    const std::string fifo = Path("fifo.spd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Run("doc save " + rec + " --out " + fifo, &status),
              "spirohost doc save: " + fifo + ": not replaced: it exists and is not a regular file\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

// A FIFO, a device and folders at an output's path are refused before anything is done, and
// left as they were: nothing blocks on the FIFO, no folder is replaced, nothing is written.
TEST_F(Attacks, OutputsThatAreNotRegularFilesAreRefusedAtOnce)
{
    const std::string fifo = Path("fifo.png"), device = Path("device.png"), empty = Path("empty.pdf"),
                      full = Path("full.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
    fs::create_directory(empty);
    fs::create_directory(full);
    std::ofstream(full + "/kept") << "kept";
    for (const std::string& target : {fifo, device, empty, full}) {
        for (const std::string& args : OutputWriters(target, Path("report.csv"))) {
            int status = -1;
            const std::string out = Run(args, &status);
            EXPECT_EQ(status, 1) << args << ": " << out;
            EXPECT_NE(out.find(target + kNotRegular), std::string::npos) << args << ": " << out;
            EXPECT_EQ(out.find("View "), std::string::npos) << args << ": " << out;
            EXPECT_EQ(out.find("accepted"), std::string::npos) << args << ": " << out;
        }
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
    EXPECT_TRUE(fs::is_directory(empty));
    EXPECT_TRUE(fs::is_empty(empty));
    EXPECT_EQ(Files(full), std::vector<std::string>{"kept"});
    EXPECT_EQ(Files(mFolder.Path()), (std::vector<std::string>{"device.png", "empty.pdf", "fifo.png", "full.pdf"}));
}

// A name under /dev or /proc, however it is reached, is refused before any work as a usage
// error: nothing there is made or replaced. Only names that no write reached before either are
// tried here; the streams are written in a private mount namespace (AttacksOutputsTest).
TEST_F(Attacks, OutputsUnderDevAndProcAreRefusedAtOnce)
{
    for (const std::string& target : {std::string("/dev/null"), std::string("/proc/self/status")}) {
        for (const std::string& args : OutputWriters(target, Path("report.csv"))) {
            int status = -1;
            const std::string out = Run(args, &status);
            EXPECT_EQ(status, 2) << args << ": " << out;
            EXPECT_NE(out.find("'" + target + "' is a name of the system's (under /dev or /proc), which is never "
                                              "written: name a file, or /dev/stdout or /dev/stderr for the stream\n"),
                      std::string::npos)
                << args << ": " << out;
        }
    }
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
    EXPECT_EQ(Files(mFolder.Path()), std::vector<std::string>{});
}

// A link planted at an output's path is replaced by the output; what it pointed to is untouched.
TEST_F(Attacks, LinksPlantedAtOutputsAreReplacedNotFollowed)
{
    const std::string victim = Path("victim");
    std::ofstream(victim) << "precious";
    struct Output {
        std::string name;
        std::string args;
        std::string start;  // of what is written
    };
    std::vector<Output> outputs = {
        {"samples.csv", "dialog " + kSample + " --raw 1 --calc flow --do \"press OK\" --csv " + Path("samples.csv"), "0,"},
        {"dialog.png", "dialog " + kSample + " --raw 1 --calc flow --do \"snapshot " + Path("dialog.png") +
                           "\" --do \"press OK\"", "\x89PNG"},
        {"sampled.edf", "sample " + Path("sampled.edf") + " --seconds 1", "0       "},
    };
    if (Web::Browser::Available()) {
        const std::string view = "view " + kSample + " --raw 1 --scale 2 --view \"Spirometry Report\" ";
        outputs.push_back({"view.png", view + "--png " + Path("view.png"), "\x89PNG"});
        outputs.push_back({"view.pdf", view + "--print " + Path("view.pdf"), "%PDF-"});
        outputs.push_back({"copy.pdf", view + "--copy " + Path("copy.pdf"), "%PDF-"});
    }
    for (const Output& o : outputs) {
        ASSERT_EQ(::symlink(victim.c_str(), Path(o.name).c_str()), 0);
        int status = -1;
        const std::string out = Run(o.args, &status);
        EXPECT_EQ(status, 0) << o.args << ": " << out;
        EXPECT_FALSE(fs::is_symlink(Path(o.name))) << o.args;
        EXPECT_EQ(Read(Path(o.name)).substr(0, o.start.size()), o.start) << o.args;
        EXPECT_EQ(Read(victim), "precious") << o.args;
    }
}

TEST_F(Attacks, SavesToOnePathAtOnceLeaveOneWholeDocument)
{
    const std::string rec = Recording(), doc = Path("doc.spd");
    std::string commands;
    for (int i = 1; i <= 8; ++i)
        commands += Spirohost() + " doc save " + rec + " --out " + doc + " --channel \"C" + std::to_string(i) + "=ch1*" +
                    std::to_string(i) + "\" >/dev/null 2>&1 & ";
    int status = -1;
    RunCommand(commands + "wait", &status);
    const std::string shown = Run("doc show " + doc, &status);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_NE(shown.find("computed by Arithmetic: ch1*"), std::string::npos) << shown;
    EXPECT_EQ(Files(mFolder.Path()), (std::vector<std::string>{"doc.spd", "flow.csv"}));
}

TEST_F(Attacks, InputsThatAreNotFilesAreRefused)
{
    const std::string fifo = Path("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int status = -1;
    EXPECT_EQ(Run("info " + fifo, &status),
              "spirohost info: " + fifo + ": not a regular file (a device, FIFO or socket cannot be a recording)\n");
    EXPECT_EQ(status, 1);
}

// What info, list and doc show print is their result: a standard output that takes nothing (a
// full device) fails them, and they say so on standard error.
TEST_F(Attacks, ResultsThatCannotReachStandardOutputFailTheCommand)
{
    const std::string rec = Recording(), doc = Path("doc.spd");
    int status = -1;
    const std::string saved = Run("doc save " + rec + " --out " + doc, &status);
    ASSERT_EQ(status, 0) << saved;
    const std::pair<std::string, std::string> commands[] = {
        {"info", "info " + rec}, {"list", "list"}, {"doc", "doc show " + doc}};
    for (const auto& [name, args] : commands) {
        const std::string err = RunCommand("timeout 60 " + Spirohost() + " " + args + " 2>&1 >/dev/full", &status);
        EXPECT_EQ(status, 1) << args;
        EXPECT_EQ(err, "spirohost " + name + ": standard output could not be written: No space left on device\n")
            << args;
    }
}

TEST_F(Attacks, AmplifyingEdfAndUnrepresentableCsvAreRefused)
{
    std::vector<TestSupport::EdfSignal> signals(501);
    signals[0].samples = 10000;
    for (size_t s = 1; s < signals.size(); ++s)
        signals[s].samples = 1;
    const std::string edf = mFolder.Write("amplifying.edf", TestSupport::EdfBytes(signals, 200)).string();
    const std::string csv = mFolder.Write("range.csv", "time,Flow [L/s]\n0,1e308\n0.1,-1e308\n0.2,0\n").string();
    const std::string report = Path("report.csv");
    std::ofstream(report) << "old report";
    const struct {
        std::string recording;
        std::string message;
    } cases[] = {
        {edf, edf + ": 501 channels of 2000000 samples each would take more than the 1024 MiB a recording may take "
                    "in memory\n"},
        {csv, csv + ":2: channel \"Flow\": the value 1e308 cannot be represented (values must lie within +-1e+15)\n"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string out = Run("analyse " + c.recording + " --raw 1 --scale 1 --csv " + report, &status);
        EXPECT_EQ(status, 1) << out;
        EXPECT_EQ(out, "spirohost analyse: " + c.message);
        EXPECT_EQ(Read(report), "old report");
    }
}

// A tmpfs of a few blocks stands for a full disk; mounting one needs root, as CI has.
class FullDisk : public Attacks {
protected:
    void SetUp() override
    {
        mDisk = Path("disk");
        fs::create_directory(mDisk);
        int status = -1;
        const std::string out = RunCommand("mount -t tmpfs -o size=64k tmpfs " + mDisk + " 2>&1", &status);
        if (status != 0)
            GTEST_SKIP() << "the full-disk case is skipped: a tmpfs cannot be mounted here (" << out << ")";
        mMounted = true;
    }
    void TearDown() override
    {
        int status = -1;
        if (mMounted)
            RunCommand("umount " + mDisk, &status);
    }
    // Fills what is left of the disk.
    void Fill()
    {
        int status = -1;
        RunCommand("dd if=/dev/zero of=" + mDisk + "/pad bs=4k 2>/dev/null", &status);
    }

    std::string mDisk;
    bool mMounted = false;
};

TEST_F(FullDisk, EveryWriterFailsLoudlyAndLeavesTheOldFile)
{
    const std::string rec = Recording();
    const std::string sample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
    const std::vector<std::pair<std::string, std::string>> writes = {
        {"x.edf", "generate " + mDisk + "/x.edf"},
        {"figures.csv", "generate " + Path("gen.edf") + " --figures " + mDisk + "/figures.csv"},
        {"samples.txt", "formula " + sample + " ch1 --out " + mDisk + "/samples.txt"},
        {"report.csv", "analyse " + sample + " --raw 1 --scale 1 --csv " + mDisk + "/report.csv"},
        {"doc.spd", "doc save " + rec + " --out " + mDisk + "/doc.spd --channel \"F=ch1*2\""},
    };
    for (const auto& [name, args] : writes)
        std::ofstream(mDisk + "/" + name) << "old " << name;
    // The recording whose figures fail is not replaced either.
    std::ofstream(Path("gen.edf")) << "old gen.edf";
    Fill();
    for (const auto& [name, args] : writes) {
        int status = -1;
        const std::string out = Run(args, &status);
        EXPECT_EQ(status, 1) << args << ": " << out;
        EXPECT_NE(out.find(mDisk + "/" + name), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find("No space left on device"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(out.find("Wrote "), std::string::npos) << args << ": " << out;
        EXPECT_EQ(Read(mDisk + "/" + name), "old " + name) << args;
    }
    EXPECT_EQ(Files(mDisk), (std::vector<std::string>{"doc.spd", "figures.csv", "pad", "report.csv", "samples.txt",
                                                      "x.edf"}));
    EXPECT_EQ(Read(Path("gen.edf")), "old gen.edf");
}

// A disk with a block or so free takes the document's first records but not the rest: the
// record that failed is named with the system's reason.
TEST_F(FullDisk, ADocumentThatFillsTheDiskSaysWhy)
{
    const std::string rec = Recording(), doc = mDisk + "/doc.spd";
    Fill();
    int status = -1;
    RunCommand("truncate -s -4096 " + mDisk + "/pad", &status);
    const std::string out = Run("doc save " + rec + " --out " + doc + " --channel \"F=ch1*2\"", &status);
    EXPECT_EQ(status, 1) << out;
    EXPECT_EQ(out.substr(0, out.find(": cannot write ")), "spirohost doc save: " + doc) << out;
    EXPECT_NE(out.find(": No space left on device\n"), std::string::npos) << out;
    EXPECT_EQ(Files(mDisk), std::vector<std::string>{"pad"});
}

TEST_F(FullDisk, OutputsOfViewsDialogsAndSamplingFailLoudlyAndLeaveTheOldFile)
{
    const std::string view = "view " + kSample + " --raw 1 --scale 2 --view \"Spirometry Report\" ";
    std::vector<std::pair<std::string, std::string>> writes = {
        {"samples.csv", "dialog " + kSample + " --raw 1 --calc flow --do \"press OK\" --csv " + mDisk + "/samples.csv"},
        {"dialog.png", "dialog " + kSample + " --raw 1 --calc flow --do \"snapshot " + mDisk +
                           "/dialog.png\" --do \"press OK\""},
        {"sampled.edf", "sample " + mDisk + "/sampled.edf --seconds 1"},
    };
    if (Web::Browser::Available()) {
        writes.emplace_back("view.png", view + "--png " + mDisk + "/view.png");
        writes.emplace_back("view.pdf", view + "--print " + mDisk + "/view.pdf");
        writes.emplace_back("copy.pdf", view + "--copy " + mDisk + "/copy.pdf");
    }
    for (const auto& [name, args] : writes)
        std::ofstream(mDisk + "/" + name) << "old " << name;
    // The recording whose figures fail is not replaced either.
    std::ofstream(Path("gen.edf")) << "old gen.edf";
    Fill();
    for (const auto& [name, args] : writes) {
        int status = -1;
        const std::string out = Run(args, &status);
        EXPECT_EQ(status, 1) << args << ": " << out;
        EXPECT_NE(out.find(mDisk + "/" + name), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find("No space left on device"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(out.find("accepted"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(out.find("View "), std::string::npos) << args << ": " << out;
        EXPECT_EQ(Read(mDisk + "/" + name), "old " + name) << args;
    }
    std::vector<std::string> names{"pad"};
    for (const auto& write : writes)
        names.push_back(write.first);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Files(mDisk), names);
}

// Browsers that fail in every way a browser can: a view whose page did not load or draw, or
// whose browser has gone, writes nothing, says why and exits with 1.
class Browsers : public Attacks {
protected:
    // A program at the name, from the script's text.
    std::string Script(const std::string& name, const std::string& text) const
    {
        const std::string path = Path(name);
        std::ofstream(path) << "#!/bin/sh\n" << text << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    // The view written with the browser, which fails with the reason why (the end of the
    // message); the old file at the target may not change.
    void ExpectNothingWritten(const std::string& browser, const std::string& viewName, const std::string& output,
                              const std::string& options, const std::string& why)
    {
        const std::string target = Path("out");
        std::ofstream(target) << "old";
        int status = -1;
        const std::string args = "view " + kSample + " --raw 1 --scale 2 --view \"" + viewName + "\" " + options +
                                 " " + output + " " + target;
        const std::string out = RunCommand("SPIRO_CHROMIUM=" + browser + " timeout 100 " + Spirohost() + " " + args +
                                               " 2>&1",
                                           &status);
        EXPECT_EQ(status, 1) << args << ": " << out;
        EXPECT_NE(out.find("spirohost view: the view could not be "), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find(" " + target + ": "), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find(why + "\n"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(out.find("View "), std::string::npos) << args << ": " << out;
        EXPECT_EQ(Read(target), "old") << args;
    }
};

TEST_F(Browsers, AMissingBrowserWritesNoPictureOfAnyView)
{
    const std::string missing = Path("no-such-browser");
    for (const char* view : {"Spirometry Report", "Spirometry Loop View", "Spirometry Data View"})
        for (const char* output : {"--png", "--print", "--copy"})
            ExpectNothingWritten(missing, view, output, "--settle 0",
                                 "the page did not load: no browser at " + missing);
}

TEST_F(Browsers, ABrowserThatExitsAtOnceWritesNothing)
{
    for (const char* output : {"--png", "--print", "--copy"})
        ExpectNothingWritten("/bin/false", "Spirometry Report", output, "--settle 0",
                             "the page did not load: the browser did not start: the browser has exited");
}

TEST_F(Browsers, ABrowserThatNeverAnswersWritesNothing)
{
    ExpectNothingWritten(Script("silent", "exec sleep 1000"), "Spirometry Report", "--print", "--settle 0",
                         "the page did not load: the browser did not start: the browser did not answer within 20 s");
}

// The browser is killed while the pages settle (or, on a slow machine, while they load): the
// picture, print and copy would be blank.
TEST_F(Browsers, ABrowserKilledWhileTheViewIsShownWritesNothing)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    // The killer lets go of the browser's pipe, so that its end is seen when the browser dies.
    const std::string killed = Script("killed", "( exec 3>&- 4>&-; sleep 5; kill -9 $$ ) >/dev/null 2>&1 &\n"
                                                "exec " + Web::Browser::Executable() + " \"$@\"");
    ExpectNothingWritten(killed, "Spirometry Report", "--png", "--settle 9", "the browser has exited");
    ExpectNothingWritten(killed, "Spirometry Loop View", "--print", "--settle 9", "the browser has exited");
    ExpectNothingWritten(killed, "Spirometry Data View", "--copy", "--settle 9", "the browser has exited");
}

}  // namespace
