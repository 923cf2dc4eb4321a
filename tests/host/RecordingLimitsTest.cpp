// Recordings refused before they can hurt: EDF headers checked field by field, headers that
// would expand a small file into a huge recording, values and rates that cannot be
// represented, and paths that are not regular files.
#include <gtest/gtest.h>

#include <edflib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/data/Recording.h"
#include "support/EdfBytes.h"
#include "support/TempFolder.h"

namespace {

using Host::RecordingError;
using TestSupport::EdfBytes;
using TestSupport::EdfSignal;

const TestSupport::TempFolder gFolder;

std::string LoadError(const std::string& path)
{
    try {
        Host::LoadRecording(path);
    } catch (const RecordingError& e) {
        return e.what();
    }
    return {};
}

TEST(RecordingLimits, EdfHeaderFieldsAreNamedWithTheirOffsetAndWhatWasExpected)
{
    const std::string good = EdfBytes({EdfSignal()}, 3);
    const struct {
        size_t offset;
        std::string text;
        std::string expected;
    } cases[] = {
        {0, "1       ", "header field \"version\" at byte 0: expected 0, found \"1\""},
        {8, "\x01", "header field \"local patient identification\" at byte 8: expected printable ASCII characters, found \"?atient\""},
        {168, "32.01.26", "header field \"start date\" at byte 168: expected a date dd.mm.yy, found \"32.01.26\""},
        {176, "10:20:30", "header field \"start time\" at byte 176: expected a time hh.mm.ss, found \"10:20:30\""},
        {184, "768     ", "header field \"number of bytes in header\" at byte 184: expected 512 (256 for each of the 1 "
                          "signals and 256 more), found \"768\""},
        {236, "three   ", "header field \"number of data records\" at byte 236: expected a whole number of at least 1, found \"three\""},
        {244, "0       ", "header field \"duration of a data record\" at byte 244: expected a number of seconds "
                          "greater than 0, found \"0\""},
        {252, "0   ", "header field \"number of signals\" at byte 252: expected a whole number from 1 to 640, found \"0\""},
        // EDFlib refuses a number that does not start at the field's first byte.
        {244, " 1      ", "header field \"duration of a data record\" at byte 244: expected a number from the field's "
                          "first byte, found \"1\""},
        {472, " 10     ", "header field \"samples per data record of signal 1 (Flow)\" at byte 472: expected a whole "
                          "number of at least 1 from the field's first byte, found \"10\""},
        {360, "low     ", "header field \"physical minimum of signal 1 (Flow)\" at byte 360: expected a number, found "
                          "\"low\""},
        {368, "-10     ", "header field \"physical maximum of signal 1 (Flow)\" at byte 368: expected a value other "
                          "than the physical minimum, found \"-10\""},
        {368, "1e300   ", "header field \"physical maximum of signal 1 (Flow)\" at byte 368: expected a value within "
                          "+-1e+15, found \"1e300\""},
        {376, "-40000  ", "header field \"digital minimum of signal 1 (Flow)\" at byte 376: expected a whole number "
                          "from -32768 to 32767, found \"-40000\""},
        {384, "-1000   ", "header field \"digital maximum of signal 1 (Flow)\" at byte 384: expected more than the "
                          "digital minimum, found \"-1000\""},
        {472, "0       ", "header field \"samples per data record of signal 1 (Flow)\" at byte 472: expected a whole "
                          "number of at least 1, found \"0\""},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::string bytes = good;
        bytes.replace(c.offset, c.text.size(), c.text);
        const std::string path = gFolder.Write("field" + std::to_string(n++) + ".edf", bytes).string();
        EXPECT_EQ(LoadError(path), path + ": " + c.expected);
    }
    const std::string cut = gFolder.Write("cut.edf", good.substr(0, good.size() - 1)).string();
    EXPECT_EQ(LoadError(cut), cut + ": the file is 571 bytes long, but its header describes 572 (512 of header and 3 "
                                    "data records of 20)");
    EXPECT_EQ(LoadError(gFolder.Write("good.edf", good).string()), "");
}

// An EDF+ file of one signal of 1000 samples in each of its three 1-second data records,
// written with EDFlib, its record duration then written as durationField.
std::string EdfPlusBytes(const std::string& durationField)
{
    const std::string path = (gFolder.Path() / "written.edf").string();
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, 1);
    if (h < 0)
        return {};
    edf_set_samplefrequency(h, 0, 1000);
    edf_set_digital_minimum(h, 0, -1000);
    edf_set_digital_maximum(h, 0, 1000);
    edf_set_physical_minimum(h, 0, -10.0);
    edf_set_physical_maximum(h, 0, 10.0);
    edf_set_label(h, 0, "Flow");
    std::vector<short> zeros(1000);
    for (int r = 0; r < 3; ++r)
        edfwrite_digital_short_samples(h, zeros.data());
    edfclose_file(h);
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str().replace(244, 8, TestSupport::EdfField(durationField, 8));
}

// "1e0" is a valid number of seconds that EDFlib reads otherwise: a plain EDF file is read with
// the duration as written, an EDF+ file (which EDFlib refuses) is refused with the field named.
TEST(RecordingLimits, ARecordDurationWithAnExponentIsReadAsWrittenOrRefusedByName)
{
    EdfSignal flow;
    flow.samples = 1000;
    const std::string plain = gFolder.Write("exponent.edf", EdfBytes({flow}, 3, "1e0")).string();
    const Host::Recording recording = Host::LoadRecording(plain);
    EXPECT_DOUBLE_EQ(recording.TickRate(), 1000.0);
    ASSERT_EQ(recording.RecordCount(), 1u);
    EXPECT_EQ(recording.Record(0).ticks, 3000u);

    const std::string decimal = gFolder.Write("plus.edf", EdfPlusBytes("1.0")).string();
    EXPECT_DOUBLE_EQ(Host::LoadRecording(decimal).TickRate(), 1000.0);
    const std::string plus = gFolder.Write("plus-exponent.edf", EdfPlusBytes("1e0")).string();
    EXPECT_EQ(LoadError(plus), plus + ": header field \"duration of a data record\" at byte 244: expected a number "
                                      "of seconds in digits with at most one point (EDF+ takes no exponent), found "
                                      "\"1e0\"");
}

// One fast signal and 500 slow ones: each slow one would be held at the fast rate.
TEST(RecordingLimits, HeaderThatWouldExpandBeyondTheLimitIsRefusedUnread)
{
    std::vector<EdfSignal> signals(501);
    signals[0].samples = 10000;
    for (size_t s = 1; s < signals.size(); ++s)
        signals[s].samples = 1;
    const std::string path = gFolder.Write("amplifying.edf", EdfBytes(signals, 200)).string();
    EXPECT_EQ(LoadError(path), path + ": 501 channels of 2000000 samples each would take more than the 1024 MiB a "
                                      "recording may take in memory");
}

// An EDF+ file's annotation signals become no channels: a file of one signal of 9,000,000 samples
// (18 MB) and 64 annotation signals is read, where counting them as channels at the signal's
// rate made 1170 MB.
TEST(RecordingLimits, AnEdfPlusFileIsSizedByTheChannelsItKeeps)
{
    const std::string path = (gFolder.Path() / "annotated.edf").string();
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, 1);
    ASSERT_GE(h, 0);
    constexpr int kRate = 1000000, kSeconds = 9;
    ASSERT_EQ(edf_set_number_of_annotation_signals(h, 64), 0);
    edf_set_samplefrequency(h, 0, kRate);
    edf_set_digital_minimum(h, 0, -1000);
    edf_set_digital_maximum(h, 0, 1000);
    edf_set_physical_minimum(h, 0, -10.0);
    edf_set_physical_maximum(h, 0, 10.0);
    edf_set_label(h, 0, "Flow");
    std::vector<short> zeros(kRate);
    for (int r = 0; r < kSeconds; ++r)
        ASSERT_EQ(edfwrite_digital_short_samples(h, zeros.data()), 0);
    ASSERT_EQ(edfclose_file(h), 0);
    const Host::Recording recording = Host::LoadRecording(path);
    ASSERT_EQ(recording.ChannelCount(), 1u);
    EXPECT_EQ(recording.Record(0).ticks, uint32_t(kRate * kSeconds));
    ::unlink(path.c_str());

    // 500 slow signals besides a fast one and an annotation signal: the message counts 501.
    std::vector<EdfSignal> signals(502);
    signals[0].samples = 10000;
    for (size_t s = 1; s < signals.size(); ++s)
        signals[s].samples = 1;
    signals.back().label = "EDF Annotations";
    std::string bytes = EdfBytes(signals, 200);
    bytes.replace(192, 5, "EDF+C");
    const std::string amplifying = gFolder.Write("amplifying-plus.edf", bytes).string();
    EXPECT_EQ(LoadError(amplifying), amplifying + ": 501 channels of 2000000 samples each would take more than the "
                                                  "1024 MiB a recording may take in memory");
}

// The most samples a recording may hold is one bound for every reader and writer: 1 GiB less
// the bookkeeping of its records (192 bytes a record of one channel), in 16-bit samples.
TEST(RecordingLimits, TheMostTicksAreWhatTheSizeCheckTakes)
{
    EXPECT_EQ(Host::MostTicks(1), (uint64_t(1) << 29) - 96);
    for (const uint64_t channels : {uint64_t(1), uint64_t(3), uint64_t(640)})
        for (const uint64_t records : {uint64_t(1), uint64_t(7), uint64_t(10000)}) {
            const uint64_t most = Host::MostTicks(channels, records);
            EXPECT_NO_THROW(Host::CheckExpandedSize("x.edf", channels, most, records)) << channels << " " << records;
            EXPECT_THROW(Host::CheckExpandedSize("x.edf", channels, most + 1, records), RecordingError)
                << channels << " " << records;
        }
    // A record holds at most 2^31 - 1 ticks, however few its channels.
    EXPECT_EQ(Host::MostTicks(0), uint64_t(Host::kMaxTicks));
}

TEST(RecordingLimits, ValuesAndRatesThatCannotBeRepresentedAreRefused)
{
    // A digital range a little wider than 15 bits is stored as it is, and its 16-bit range,
    // about twice the physical range, goes past what can be represented.
    EdfSignal wide;
    wide.physMin = "-6e14";
    wide.physMax = "6e14";
    wide.digMin = "-16385";
    wide.digMax = "16384";
    const std::string range = gFolder.Write("range.edf", EdfBytes({wide}, 2)).string();
    EXPECT_EQ(LoadError(range), range + ": channel \"Flow\": the value -1.19995e+15 cannot be represented (values "
                                        "must lie within +-1e+15)");
    const std::string slow = gFolder.Write("slow.edf", EdfBytes({EdfSignal()}, 2, "99999999")).string();
    EXPECT_EQ(LoadError(slow), slow + ": a rate of 1e-07 samples per second is beyond what can be represented (0.001 "
                                      "to 1e+07)");
    const std::string csv =
        gFolder.Write("range.csv", "time, Flow [L/s], Volume [L]\n0, 1, 1e308\n0.1, 2, -1e308\n").string();
    EXPECT_EQ(LoadError(csv), csv + ":2: channel \"Volume\": the value 1e308 cannot be represented (values must lie "
                                    "within +-1e+15)");
}

TEST(RecordingLimits, OnlyRegularFilesAreRead)
{
    const std::string fifo = (gFolder.Path() / "pipe.csv").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string device = (gFolder.Path() / "zero.edf").string();
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    const std::string folder = (gFolder.Path() / "folder.edf").string();
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const std::string notRegular = ": not a regular file (a device, FIFO or socket cannot be a recording)";
    EXPECT_EQ(LoadError(fifo), fifo + notRegular);
    EXPECT_EQ(LoadError(device), device + notRegular);
    EXPECT_EQ(LoadError(folder), folder + ": a folder, not a recording");
}

}  // namespace
