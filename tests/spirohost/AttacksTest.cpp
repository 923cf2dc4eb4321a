// The attacks the program must withstand, run against spirohost as a user would: a formula long
// enough to exhaust the stack, links planted where saves write, saves racing to one path,
// inputs that are not files, a full disk, a small EDF that would expand without bound, and a
// CSV whose values cannot be represented. Each must end with a clear message and a non-zero
// exit, leaving every file that was there as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/EdfBytes.h"
#include "support/TempFolder.h"

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
}

}  // namespace
