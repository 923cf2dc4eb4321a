// Recordings read from EDF and CSV files that the tests write, good and malformed.
#include <gtest/gtest.h>

#include <edflib.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "host/data/EdfRecordingWriter.h"
#include "host/data/Recording.h"
#include "support/TempFolder.h"

namespace {

using Host::LoadRecording;
using Host::RecordingError;

const TestSupport::TempFolder gFolder;

std::string TempPath(const std::string& name)
{
    return (gFolder.Path() / name).string();
}

std::string WriteText(const std::string& name, const std::string& text)
{
    return gFolder.Write(name, text).string();
}

// The message of the RecordingError that loading the file throws; empty when it loads.
std::string LoadError(const std::string& path)
{
    try {
        LoadRecording(path);
    } catch (const RecordingError& e) {
        return e.what();
    }
    return {};
}

TEST(CsvRecording, ReadsChannelsUnitsRateAndValues)
{
    const auto path = WriteText("ok.csv",
                                "time, Flow [L/s], Volume [L]\n"
                                "0.00, 0.5, 0\n0.01, -0.5, 1\n0.02, 1.5, 2\n\n"
                                "5.00, 0, 0.5\n5.01, 1, 1.5\n");
    const Host::Recording r = LoadRecording(path);
    EXPECT_DOUBLE_EQ(r.TickRate(), 100.0);
    ASSERT_EQ(r.ChannelCount(), 2u);
    EXPECT_EQ(r.Channel(0).title, "Flow");
    EXPECT_EQ(r.Channel(0).unit, "L/s");
    EXPECT_EQ(r.Channel(1).unit, "L");
    EXPECT_EQ(r.FindChannel("Volume"), 1);
    EXPECT_EQ(r.FindChannel("Pressure"), -1);
    ASSERT_EQ(r.RecordCount(), 2u);
    EXPECT_EQ(r.Record(0).ticks, 3u);
    EXPECT_EQ(r.Record(1).ticks, 2u);
    // 16-bit storage over the channel's range [-0.5, 1.5]: one step is 2/65534.
    const double step = 2.0 / 65534;
    EXPECT_NEAR(r.PhysicalAt(0, 0, 0), 0.5, step / 2);
    EXPECT_NEAR(r.PhysicalAt(0, 0, 1), -0.5, step / 2);
    EXPECT_NEAR(r.PhysicalAt(0, 0, 2), 1.5, step / 2);
    EXPECT_NEAR(r.PhysicalAt(1, 1, 1), 1.5, step / 2);
    // Zero stays zero (a pause in the flow is no flow), at either channel's range.
    EXPECT_EQ(r.PhysicalAt(1, 0, 0), 0.0);
    EXPECT_EQ(r.PhysicalAt(0, 1, 0), 0.0);
}

TEST(CsvRecording, MalformedFilesNameTheFileThePlaceAndTheFault)
{
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"", "the file is empty"},
        {"when, Flow [L/s]\n0, 1\n0.1, 2\n", ":1: the header must start with a time column"},
        {"time\n0\n1\n", ":1: the header names no channel"},
        {"time, Flow [L/s\n0, 1\n", ":1: column 2: \"Flow [L/s\": the unit has no closing ']'"},
        {"time, Flow [L/s]\n0, 1\n0.1\n", ":3: expected 2 values, found 1"},
        {"time, Flow [L/s]\n0, 1\n0.1, x2\n", ":3: column 2: \"x2\" is not a number"},
        {"time, Flow [L/s]\n0, 1\n0.1, 2\n0.3, 3\n", ":4: the time step changes"},
        {"time, Flow [L/s]\n0, 1\n0, 2\n", ":3: the time must increase"},
        {"time, Flow [L/s]\n0, 1\n", "at least two samples are needed"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const auto path = WriteText("bad" + std::to_string(n++) + ".csv", c.text);
        const std::string error = LoadError(path);
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << "got: " << error;
    }
    EXPECT_NE(LoadError(TempPath("missing.csv")).find("cannot be opened"), std::string::npos);
    EXPECT_NE(LoadError(TempPath("notes.txt")).find("unknown kind of recording"), std::string::npos);
    // A long path is quoted by its end, which names the file, whatever the folder's length.
    const std::string deep = TempPath(std::string(100, 'd') + "/missing.csv");
    EXPECT_EQ(LoadError(deep), "..." + std::string(68, 'd') + "/missing.csv: the file cannot be opened: No such file or "
                               "directory");
}

// A huge field is quoted by its start, with the row and column where it lies.
TEST(CsvRecording, MessagesQuoteAReadablePieceOfAHugeField)
{
    const std::string cell(10 << 20, '1');
    const std::string bad = WriteText("huge-cell.csv", "time, Flow [L/s]\n0, 1\n0.1, x" + cell + "\n");
    EXPECT_EQ(LoadError(bad), bad + ":3: column 2: \"x" + std::string(59, '1') + "...\" is not a number");
    const std::string title(100000, 'F');
    const std::string large = WriteText("huge-title.csv", "time, " + title + "\n0, 1\n0.1, 1e300\n");
    EXPECT_EQ(LoadError(large), large + ":3: channel \"" + std::string(60, 'F') + "...\": the value 1e300 cannot be "
                                        "represented (values must lie within +-1e+15)");
    const std::string unit = WriteText("huge-unit.csv", "time, Flow [" + title + "\n0, 1\n");
    EXPECT_EQ(LoadError(unit), unit + ":1: column 2: \"Flow [" + std::string(54, 'F') + "...\": the unit has no "
                                      "closing ']'");
}

// A row whose values are all empty is a gap (what `spirohost formula` writes where a formula
// gave no number): it ends the record, as a blank line does.
TEST(CsvRecording, ARowOfEmptyValuesIsAGapBetweenRecords)
{
    const std::string path = WriteText("gaps.csv", "time, Flow [L/s], Volume [L]\n0, 1, 2\n0.1, 2, 3\n0.2, 3, 4\n"
                                                   "0.3,,\n0.4, 5, 6\n0.5, 6, 7\n0.6, ,\n");
    const auto r = LoadRecording(path);
    EXPECT_DOUBLE_EQ(r.TickRate(), 10.0);
    ASSERT_EQ(r.RecordCount(), 2u);
    EXPECT_EQ(r.Record(0).ticks, 3u);
    EXPECT_EQ(r.Record(1).ticks, 2u);
    const double step = 5.0 / 65534;  // the 16-bit step of either range (1 to 6, 2 to 7)
    EXPECT_NEAR(r.PhysicalAt(0, 1, 2), 4.0, step);
    EXPECT_NEAR(r.PhysicalAt(1, 0, 0), 5.0, step);
    EXPECT_NEAR(r.PhysicalAt(1, 1, 1), 7.0, step);

    const std::string partly = WriteText("partly.csv", "time, Flow [L/s], Volume [L]\n0, 1, 2\n0.1, 2,\n");
    EXPECT_EQ(LoadError(partly), partly + ":3: column 3: the value is missing (a gap leaves every value of its row "
                                          "empty)");
    const std::string untimed = WriteText("untimed.csv", "time, Flow [L/s]\n0, 1\n0.1, 2\n,\n");
    EXPECT_EQ(LoadError(untimed), untimed + ":4: column 1: \"\" is not a number");
}

// A CSV of records of two rows each, split by gaps.
std::string ShortRecords(const std::string& name, int records)
{
    std::string text = "time, Flow [L/s]\n";
    for (int r = 0; r < records; ++r)
        text += std::to_string(3 * r) + ",1\n" + std::to_string(3 * r + 1) + ",2\n" + std::to_string(3 * r + 2) + ",\n";
    return WriteText(name, text);
}

// Each record costs its bookkeeping besides its samples, a hundred bytes and more: a file of
// short records would cost many times its size. The count is bounded, and the cost is charged
// against the memory a recording may take.
TEST(CsvRecording, ManyShortRecordsAreBoundedByTheirCount)
{
    EXPECT_EQ(LoadRecording(ShortRecords("most.csv", int(Host::kMaxRecords))).RecordCount(), Host::kMaxRecords);
    const std::string more = ShortRecords("more.csv", int(Host::kMaxRecords) + 1);
    EXPECT_EQ(LoadError(more), more + ": 10001 records are more than the 10000 a recording may have");
    // 640 channels of 600,000 samples take 768 MB; in 10,000 records, each costs some 36 kB more.
    EXPECT_NO_THROW(Host::CheckExpandedSize("wide.csv", 640, 600000, 1));
    EXPECT_THROW(Host::CheckExpandedSize("wide.csv", 640, 600000, 10000), RecordingError);
}

// An EDF+ file with a 100 Hz and a 50 Hz signal, written with EDFlib directly.
std::string WriteTwoRateEdf()
{
    const std::string path = TempPath("two.edf");
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, 2);
    EXPECT_GE(h, 0);
    const int rates[2] = {100, 50};
    for (int s = 0; s < 2; ++s) {
        edf_set_samplefrequency(h, s, rates[s]);
        edf_set_digital_minimum(h, s, -1000);
        edf_set_digital_maximum(h, s, 1000);
        edf_set_physical_minimum(h, s, s == 0 ? -10.0 : 0.0);
        edf_set_physical_maximum(h, s, s == 0 ? 10.0 : 5.0);
        edf_set_label(h, s, s == 0 ? "Flow" : "Pressure");
        edf_set_physical_dimension(h, s, s == 0 ? "L/s" : "kPa");
    }
    for (int second = 0; second < 2; ++second)
        for (int s = 0; s < 2; ++s) {
            std::vector<short> samples(rates[s]);
            for (int i = 0; i < rates[s]; ++i)
                samples[i] = static_cast<short>(second * 100 + i);
            edfwrite_digital_short_samples(h, samples.data());
        }
    edfclose_file(h);
    return path;
}

TEST(EdfRecording, ReadsScalingRatesAndHoldsSlowerSignals)
{
    const Host::Recording r = LoadRecording(WriteTwoRateEdf());
    EXPECT_DOUBLE_EQ(r.TickRate(), 100.0);
    ASSERT_EQ(r.ChannelCount(), 2u);
    EXPECT_EQ(r.Channel(1).title, "Pressure");
    EXPECT_EQ(r.Channel(1).unit, "kPa");
    ASSERT_EQ(r.RecordCount(), 1u);
    ASSERT_EQ(r.Record(0).ticks, 200u);
    // Flow: digital d in [-1000, 1000] is d / 100 L/s.
    EXPECT_NEAR(r.PhysicalAt(0, 0, 7), 0.07, 1e-12);
    EXPECT_NEAR(r.PhysicalAt(0, 0, 100 + 3), 1.03, 1e-12);
    // Pressure at 50 Hz: each sample held for two ticks; d in [-1000, 1000] is (d + 1000) / 400 kPa,
    // stored as 32 d (2,001 digital values fill the 16 bits so).
    EXPECT_EQ(std::vector<int16_t>(&r.Record(0).samples[1][10], &r.Record(0).samples[1][13]),
              (std::vector<int16_t>{5 * 32, 5 * 32, 6 * 32}));
    EXPECT_NEAR(r.PhysicalAt(0, 1, 10), (5 + 1000) / 400.0, 1e-12);
    EXPECT_EQ(r.Record(0).samples[1][100], 100 * 32);
}

TEST(EdfRecording, WrittenRecordingsReadBackSampleForSample)
{
    Host::ChannelFormat flow{"Raw flow", "mV", 0.01, 3.0};
    Host::Recording original("", 200.0, {flow});
    Host::RecordBlock block;
    block.ticks = 400;
    block.samples.emplace_back(400);
    for (int t = 0; t < 400; ++t)
        block.samples[0][t] = static_cast<int16_t>(std::lround(3000 * std::sin(t / 20.0)));
    original.AddRecord(block);
    const std::string path = TempPath("round.edf");
    Host::WriteEdfRecording(path, original);
    const Host::Recording back = LoadRecording(path);
    ASSERT_EQ(back.Record(0).ticks, 400u);
    EXPECT_EQ(back.Channel(0).title, "Raw flow");
    // EDF keeps the physical range in 8-character fields: values agree to that precision.
    for (uint32_t t = 0; t < 400; ++t) {
        ASSERT_EQ(back.Record(0).samples[0][t], original.Record(0).samples[0][t]) << t;
        ASSERT_NEAR(back.PhysicalAt(0, 0, t), original.PhysicalAt(0, 0, t), 1e-4) << t;
    }
}

TEST(EdfRecording, MalformedFilesAreRefusedWithAMessage)
{
    const auto garbage = WriteText("garbage.edf", std::string(300, 'x'));
    EXPECT_NE(LoadError(garbage).find(garbage + ": "), std::string::npos);
    EXPECT_NE(LoadError(TempPath("missing.edf")).find("the file cannot be opened: No such file or directory"), std::string::npos);

    // A valid file cut in the middle of its data.
    const std::string whole = WriteTwoRateEdf();
    std::ifstream in(whole, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto cut = WriteText("cut.edf", bytes.substr(0, bytes.size() - 150));
    EXPECT_FALSE(LoadError(cut).empty());

    Host::Recording oddRate("", 99.5, {Host::ChannelFormat{"a", "", 1, 0}});
    EXPECT_THROW(Host::WriteEdfRecording(TempPath("odd.edf"), oddRate), RecordingError);
}

// Two channels at 2,621,411 samples per second and EDFlib's annotations fill a data record of
// 10 MiB; one sample more a second is refused before anything is written, naming the rate.
TEST(EdfRecording, RatesWhoseSecondOverfillsADataRecordAreRefusedAhead)
{
    constexpr int kMost = 2621411;
    const std::vector<Host::ChannelFormat> channels(2, Host::ChannelFormat{"a", "V", 1, 0});
    Host::Recording most("", kMost, channels), over("", kMost + 1, channels);
    most.AddRecord(Host::RecordBlock{kMost, {std::vector<int16_t>(kMost, 1), std::vector<int16_t>(kMost, 2)}});
    over.AddRecord(Host::RecordBlock{kMost + 1, {std::vector<int16_t>(kMost + 1, 1), std::vector<int16_t>(kMost + 1, 2)}});
    const std::string path = TempPath("fast.edf");
    Host::WriteEdfRecording(path, most);
    EXPECT_EQ(LoadRecording(path).Record(0).samples[1][kMost - 1], 2);
    std::remove(path.c_str());
    try {
        Host::WriteEdfRecording(path, over);
        ADD_FAILURE() << "written";
    } catch (const RecordingError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": EDF takes 2 channel(s) at up to 2621411 samples per second (a second "
                                                "of samples must fit in a data record of 10 MiB), not 2621412");
    }
    EXPECT_FALSE(std::ifstream(path).good());
}

}  // namespace
