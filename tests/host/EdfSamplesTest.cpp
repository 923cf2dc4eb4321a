// EDF data records decoded in blocks: every block size (one record, a few with a partial last
// block, all at once) gives the same samples; signals of odd and differing sample counts are
// held to the fastest; stored values beyond a signal's digital range read as its ends, as
// EDFlib reads them, widened as the signal's storage says; a file that ends inside its records is
// refused with the record named.
#include <gtest/gtest.h>

#include <edflib.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host/data/EdfSamples.h"
#include "host/data/Recording.h"
#include "support/TempFolder.h"

namespace {

const TestSupport::TempFolder gFolder;

constexpr int kRecords = 7;
constexpr int kOffset = 512;  // a made-up header ahead of the records

// Record r, sample i of a signal with n samples per record: distinct values, some beyond
// +-1000.
int16_t Stored(int signal, int r, int i) { return int16_t((signal + 1) * 1000 - 150 * r + 37 * i); }

// Four signals a record: 7 samples (the fastest), 3, 5 (not read, as annotations are not) and 7
// with the digital range [-1000, 1000], stored 32 times as wide.
Host::EdfData Layout()
{
    Host::EdfData data;
    data.offset = kOffset;
    data.records = kRecords;
    data.fastest = 7;
    data.signals = {{7, -32768, 32767, 0}, {3, -32768, 32767, 1}, {5, -32768, 32767, -1}, {7, -1000, 1000, 2, {32, 0}}};
    return data;
}

std::string WriteRecords(const std::string& name, size_t cutAtEnd = 0)
{
    std::string bytes(kOffset, 'h');
    const Host::EdfData data = Layout();
    for (int r = 0; r < kRecords; ++r)
        for (size_t s = 0; s < data.signals.size(); ++s)
            for (int i = 0; i < data.signals[s].samplesPerRecord; ++i) {
                const uint16_t v = uint16_t(Stored(int(s), r, i));
                bytes += char(v & 0xFF);
                bytes += char(v >> 8);
            }
    return gFolder.Write(name, bytes.substr(0, bytes.size() - cutAtEnd)).string();
}

TEST(EdfSamples, EveryBlockSizeGivesTheSamplesHeldToTheFastestAndClampedToTheDigitalRange)
{
    const std::string path = WriteRecords("records.edf");
    const size_t recordBytes = 2 * (7 + 3 + 5 + 7);
    // One record a block, three (the last block holds one), all, and less than one record.
    for (size_t block : {recordBytes, 3 * recordBytes + 5, size_t(1) << 20, size_t(10)}) {
        const std::vector<std::vector<int16_t>> samples = Host::ReadEdfSamples(path, Layout(), block);
        ASSERT_EQ(samples.size(), 3u) << block;
        for (const auto& channel : samples)
            ASSERT_EQ(channel.size(), size_t(kRecords * 7)) << block;
        for (int r = 0; r < kRecords; ++r)
            for (int j = 0; j < 7; ++j) {
                const size_t t = size_t(r * 7 + j);
                EXPECT_EQ(samples[0][t], Stored(0, r, j)) << block << " " << t;
                // Three samples a record over seven ticks: ticks 0-2, 3-4 and 5-6 (j x 3 / 7).
                const int held[7] = {0, 0, 0, 1, 1, 2, 2};
                EXPECT_EQ(samples[1][t], Stored(1, r, held[j])) << block << " " << t;
                const int v = Stored(3, r, j);
                EXPECT_EQ(samples[2][t], 32 * (v > 1000 ? 1000 : v < -1000 ? -1000 : v)) << block << " " << t;
            }
    }
    // The values chosen do reach beyond the range of the last signal.
    EXPECT_GT(Stored(3, 0, 0), 1000);
}

TEST(EdfSamples, AFileEndingInsideItsRecordsIsRefusedWithTheRecord)
{
    const std::string path = WriteRecords("short.edf", 3);
    const size_t recordBytes = 2 * (7 + 3 + 5 + 7);
    try {
        Host::ReadEdfSamples(path, Layout(), 2 * recordBytes);
        FAIL() << "read a file that ends inside its last record";
    } catch (const Host::RecordingError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": data record 7 or one after it cannot be read");
    }
    try {
        Host::ReadEdfSamples(gFolder.Write("gone.edf", "").string() + ".missing", Layout());
        FAIL() << "read a missing file";
    } catch (const Host::RecordingError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot be opened: No such file or directory"), std::string::npos);
    }
}

// A whole EDF+ file of odd rates (7 and 3 a second, two-second records), written with EDFlib
// and some stored values then set beyond the digital range: the recording holds what EDFlib's
// own reading gives, held to the fastest signal and widened 16 times (4,001 digital values fill
// the 16 bits so).
TEST(EdfSamples, AWholeFileReadsAsEdflibReadsIt)
{
    const std::string path = (gFolder.Path() / "odd.edf").string();
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, 2);
    ASSERT_GE(h, 0);
    const int perRecord[2] = {14, 6};
    edf_set_datarecord_duration(h, 200000);
    for (int s = 0; s < 2; ++s) {
        edf_set_samplefrequency(h, s, perRecord[s]);
        edf_set_digital_minimum(h, s, -2000);
        edf_set_digital_maximum(h, s, 2000);
        edf_set_physical_minimum(h, s, -20.0);
        edf_set_physical_maximum(h, s, 20.0);
        edf_set_label(h, s, s == 0 ? "Fast" : "Slow");
    }
    for (int r = 0; r < 5; ++r)
        for (int s = 0; s < 2; ++s) {
            std::vector<short> samples(size_t(perRecord[s]));
            for (int i = 0; i < perRecord[s]; ++i)
                samples[size_t(i)] = short(s * 500 + r * 100 + i * 13 - 700);
            ASSERT_EQ(edfwrite_digital_short_samples(h, samples.data()), 0);
        }
    ASSERT_EQ(edfwrite_annotation_latin1(h, 5000, -1, "mark"), 0);
    edfclose_file(h);
    {
        // The first stored values of both signals (the header is 256 x 4 bytes: two signals and
        // the annotations).
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(1024);
        const int16_t beyond[2] = {30000, -30000};
        f.write(reinterpret_cast<const char*>(beyond), sizeof beyond);
        f.seekp(1024 + 2 * 14);
        f.write(reinterpret_cast<const char*>(beyond), sizeof beyond);
    }

    edf_hdr_struct header{};
    ASSERT_EQ(edfopen_file_readonly(path.c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    std::vector<std::vector<int>> expected(2);
    for (int s = 0; s < 2; ++s) {
        expected[size_t(s)].resize(size_t(perRecord[s]) * 5);
        ASSERT_EQ(edfread_digital_samples(header.handle, s, int(expected[size_t(s)].size()), expected[size_t(s)].data()),
                  int(expected[size_t(s)].size()));
    }
    edfclose_file(header.handle);
    EXPECT_EQ(expected[0][0], 2000);
    EXPECT_EQ(expected[1][1], -2000);

    const Host::Recording recording = Host::LoadRecording(path);
    EXPECT_DOUBLE_EQ(recording.TickRate(), 7.0);
    ASSERT_EQ(recording.Record(0).ticks, 70u);
    for (uint32_t t = 0; t < 70; ++t) {
        EXPECT_EQ(recording.Record(0).samples[0][t], 16 * expected[0][t]) << t;
        EXPECT_EQ(recording.Record(0).samples[1][t], 16 * expected[1][t * 6 / 14]) << t;
    }
    ASSERT_EQ(recording.Annotations().size(), 1u);
    EXPECT_EQ(recording.Annotations()[0].text, "mark");
}

}  // namespace
