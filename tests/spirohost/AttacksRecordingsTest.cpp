// Recordings made to hurt the program that reads them, run against spirohost as a user would: a
// small EDF whose slower signals are held over many ticks and a CSV of many values must cost no
// more memory than their samples, a CSV line or header of millions of fields no more than the
// line, and a CSV with a cell of 10 MB gives a message a person can read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/EdfBytes.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

// The most memory `spirohost info path` held at once, in bytes, and its exit status. Under the
// address sanitizer, freed memory is not held back for checking, so that what is counted is
// what the program holds. GNU time measures it: a child forked from this test process would
// count the test's own pages, which it holds until its exec, as its peak.
struct Peak {
    uint64_t bytes = 0;
    int status = -1;
};

Peak InfoPeak(const std::string& path)
{
    const std::string program = Spirohost(), measured = path + ".peak";
    const pid_t child = fork();
    if (child == 0) {
        const char* asan = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":quarantine_size_mb=0").c_str(), 1);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execl("/usr/bin/time", "time", "-f", "%M", "-o", measured.c_str(), program.c_str(), "info", path.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Peak peak;
    int raw = 0;
    if (child < 0 || ::waitpid(child, &raw, 0) != child)
        return peak;
    peak.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    // The last line holds the kilobytes; a line before it tells of a failed command.
    std::ifstream file(measured);
    std::string line, last;
    while (std::getline(file, line))
        last = line;
    peak.bytes = std::strtoull(last.c_str(), nullptr, 10) * 1024;
    return peak;
}

// One signal of `fast` samples a record and 199 of one sample each, in one data record.
std::string HeldSignals(int fast)
{
    std::vector<TestSupport::EdfSignal> signals(200);
    signals[0].samples = fast;
    for (size_t s = 1; s < signals.size(); ++s)
        signals[s].samples = 1;
    return TestSupport::EdfBytes(signals, 1);
}

// Each of the 199 slower signals is held over the 250,000 ticks of the fast one: 100 MB of
// samples from a file of half a megabyte. Reading them must cost those samples (and, under the
// address sanitizer, an eighth more for its shadow), not a further 4 bytes for each tick of each
// held signal as an index of the sample it shows would (200 MB more).
TEST(AttacksRecordings, HeldSignalsCostNoMoreThanTheirSamples)
{
    const TestSupport::TempFolder folder;
    constexpr int kTicks = 250000;
    const Peak small = InfoPeak(folder.Write("small.edf", HeldSignals(10)).string());
    const Peak held = InfoPeak(folder.Write("held.edf", HeldSignals(kTicks)).string());
    ASSERT_EQ(small.status, 0);
    ASSERT_EQ(held.status, 0);
    const uint64_t samples = uint64_t(200) * kTicks * sizeof(int16_t);
    EXPECT_GT(held.bytes, small.bytes + samples - samples / 16) << "the samples are all in memory";
    EXPECT_LT(held.bytes, small.bytes + samples + samples / 8 + (uint64_t(16) << 20));
}

// A CSV of rows of 40 values, from 0 to 99.
std::string Rows(int rows)
{
    std::string text = "time";
    for (int c = 0; c < 40; ++c)
        text += ",c" + std::to_string(c);
    text += "\n";
    for (int r = 0; r < rows; ++r) {
        text += std::to_string(r);
        for (int c = 0; c < 40; ++c)
            text += "," + std::to_string((r * 7 + c) % 100);
        text += "\n";
    }
    return text;
}

// A million values take 2 MB as 16-bit samples; holding them as read until each channel's range
// is known took 8 MB more (and up to twice that as the vectors grew).
TEST(AttacksRecordings, CsvValuesCostTheirSamples)
{
    const TestSupport::TempFolder folder;
    constexpr int kRows = 25000;
    const Peak small = InfoPeak(folder.Write("small.csv", Rows(2)).string());
    const Peak many = InfoPeak(folder.Write("many.csv", Rows(kRows)).string());
    ASSERT_EQ(small.status, 0);
    ASSERT_EQ(many.status, 0);
    const uint64_t samples = uint64_t(40) * kRows * sizeof(int16_t);
    EXPECT_LT(many.bytes, small.bytes + 2 * samples + (uint64_t(4) << 20));
}

const std::string kHead = "time,Flow [L/s]\n0,1\n0.1,2\n";

// A CSV recording of this text is refused by info with this message after its path, at a peak
// at most `most` bytes above that of a small recording.
void ExpectRefusedWithin(const std::string& text, uint64_t most, const std::string& message)
{
    const TestSupport::TempFolder folder;
    const Peak small = InfoPeak(folder.Write("small.csv", kHead).string());
    const std::string path = folder.Write("refused.csv", text).string();
    const Peak peak = InfoPeak(path);
    ASSERT_EQ(small.status, 0);
    EXPECT_EQ(peak.status, 1);
    EXPECT_LT(peak.bytes, small.bytes + most);
    int status = -1;
    EXPECT_EQ(RunCommand(Spirohost() + " info " + path + " 2>&1", &status), "spirohost info: " + path + message + "\n");
}

// A line is counted against the header before it is split: a 12 MB line of commas, split first,
// took some 47 bytes a field (its strings and their vector) before its count was refused, 590 MB.
// Reading now costs the line, as read and as kept (and, under the address sanitizer, its shadow).
TEST(AttacksRecordings, ALineOfMillionsOfFieldsIsCountedBeforeItIsSplit)
{
    const std::string commas(12 << 20, ',');
    ExpectRefusedWithin(kHead + commas + "\n", 4 * commas.size(),
                        ":4: expected 2 values, found " + std::to_string(commas.size() + 1));
}

// A header of 2 million columns is refused by its count, before its columns are channels: each
// took some 140 bytes as a field and a channel, 280 MB.
TEST(AttacksRecordings, AHeaderOfMillionsOfColumnsIsRefusedByItsCount)
{
    constexpr int kColumns = 2000000;
    std::string header = "time";
    for (int c = 0; c < kColumns; ++c)
        header += ",c" + std::to_string(c % 1000);
    ExpectRefusedWithin(header + "\n0\n", 4 * header.size(),
                        ":1: the header names 2000000 channels; a recording may have at most 640");
}

// A line longer than any a recording needs is refused having read no more of it than that: one
// of 40 MB, held whole and split, took 2.3 GB.
TEST(AttacksRecordings, ALineBeyondTheLongestIsNotHeldWhole)
{
    ExpectRefusedWithin(kHead + std::string(40 << 20, ',') + "\n", uint64_t(40) << 20,
                        ":4: the line is longer than 16 MiB");
}

// A file of short records, rows split by gaps, is bounded by its records' count: each record's
// bookkeeping, some 300 bytes under the sanitizers, made 20 MB of one-row records cost 1.26 GB.
TEST(AttacksRecordings, ManyShortRecordsCostNoMoreThanTheirCount)
{
    std::string rows = kHead + "0.2,\n";
    for (int r = 1; r <= 1000000; ++r)
        rows += std::to_string(r) + ",1\n" + std::to_string(r) + ".5,\n";
    ExpectRefusedWithin(rows, rows.size(), ": 10001 records are more than the 10000 a recording may have");
}

// The message quotes the cell's first 60 characters, with the row and the column.
TEST(AttacksRecordings, AHugeCellIsQuotedByAPieceWithItsPlace)
{
    const TestSupport::TempFolder folder;
    const std::string cell(10 << 20, '7');
    const std::string csv = folder.Write("cell.csv", "time,Flow [L/s]\n0,1\n0.1,2\n0.2,#" + cell + "\n").string();
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " info " + csv + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "spirohost info: " + csv + ":4: column 2: \"#" + std::string(59, '7') + "...\" is not a number\n");
}

}  // namespace
