// EDF channels of recorders of fewer than 16 bits: their digital values are widened by a power of
// two, exactly, to fill the 16-bit values as a 16-bit recorder's do (the plug-in takes a channel's
// full range from its stored values), and the channel's full range is the one its header states.
#include <gtest/gtest.h>

#include <edflib.h>

#include <memory>
#include <string>
#include <vector>

#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "host/data/DocumentData.h"
#include "host/data/EdfRecordingWriter.h"
#include "host/data/EdfSamples.h"
#include "host/data/Recording.h"
#include "support/TempFolder.h"

namespace {

const TestSupport::TempFolder gFolder;

constexpr uint32_t kRecorded = 0x1001;  // raw recorded data

TEST(NarrowRecorder, DigitalRangesAreWidenedByAPowerOfTwoAndSixteenBitsKeptAsTheyAre)
{
    struct Case {
        int low, high;
        int factor, shift;
    } cases[] = {
        {-32768, 32767, 1, 0}, {-32767, 32767, 1, 0}, {-30000, 30000, 1, 0},  // 16 bits, as they are
        {-2048, 2047, 16, 0},                                                  // 12 bits in place
        {0, 4095, 16, -32760},                                                 // offset binary, about the middle
        {-1000, 1000, 32, 0},     {-128, 127, 256, 0}, {0, 32767, 2, -32767}, {0, 1, 32768, -16384},
    };
    for (const Case& c : cases) {
        const Host::EdfStorage storage = Host::StorageOf(c.low, c.high);
        EXPECT_EQ(storage.factor, c.factor) << c.low << ".." << c.high;
        EXPECT_EQ(storage.shift, c.shift) << c.low << ".." << c.high;
    }
}

struct Signal {
    const char* label;
    const char* unit;
    int digitalMin, digitalMax;
    double physicalMin, physicalMax;
    int16_t (*digital)(int i);  // sample i of the second
};

const Signal kSignals[] = {
    {"Twelve", "V", -2048, 2047, -4.096, 4.094, [](int i) { return int16_t(40 * i - 2000); }},
    {"Offset binary", "V", 0, 4095, -4.096, 4.094, [](int i) { return int16_t(40 * i + 48); }},
    {"Eleven", "L/s", -1000, 1000, -10.0, 10.0, [](int i) { return int16_t(20 * i - 1000); }},
};
constexpr int kRate = 100;

// The header's physical value of a digital one.
double PhysicalOf(const Signal& s, int digital)
{
    return s.physicalMin +
           (digital - s.digitalMin) * (s.physicalMax - s.physicalMin) / double(s.digitalMax - s.digitalMin);
}

std::string WriteNarrowEdf()
{
    const std::string path = (gFolder.Path() / "narrow.edf").string();
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, int(std::size(kSignals)));
    EXPECT_GE(h, 0);
    for (int s = 0; s < int(std::size(kSignals)); ++s) {
        edf_set_samplefrequency(h, s, kRate);
        edf_set_digital_minimum(h, s, kSignals[s].digitalMin);
        edf_set_digital_maximum(h, s, kSignals[s].digitalMax);
        edf_set_physical_minimum(h, s, kSignals[s].physicalMin);
        edf_set_physical_maximum(h, s, kSignals[s].physicalMax);
        edf_set_label(h, s, kSignals[s].label);
        edf_set_physical_dimension(h, s, kSignals[s].unit);
    }
    for (const Signal& signal : kSignals) {
        std::vector<short> samples(kRate);
        for (int i = 0; i < kRate; ++i)
            samples[size_t(i)] = signal.digital(i);
        edfwrite_digital_short_samples(h, samples.data());
    }
    edfclose_file(h);
    return path;
}

// Each channel's range is its header's, it spans more than half the 16-bit values, and each
// sample reads as the header makes it.
void ExpectHeaderRangesAndValues(const Host::Recording& r)
{
    ASSERT_EQ(r.ChannelCount(), std::size(kSignals));
    for (size_t c = 0; c < std::size(kSignals); ++c) {
        const Signal& s = kSignals[c];
        const Host::ChannelFormat& f = r.Channel(c);
        EXPECT_NEAR(f.Physical(f.lowest), s.physicalMin, 1e-9) << s.label;
        EXPECT_NEAR(f.Physical(f.highest), s.physicalMax, 1e-9) << s.label;
        EXPECT_GT(f.highest - f.lowest, 32767) << s.label;
        for (int i = 0; i < kRate; ++i)
            ASSERT_NEAR(r.PhysicalAt(0, c, uint32_t(i)), PhysicalOf(s, s.digital(i)), 1e-9) << s.label << " " << i;
    }
    // Twelve bits in place: each value sixteen times its digital one.
    EXPECT_EQ(r.Record(0).samples[0][3], 16 * kSignals[0].digital(3));
}

TEST(NarrowRecorder, ChannelsSpanTheRangeTheirHeadersStateAndReadTheirValues)
{
    const Host::Recording r = Host::LoadRecording(WriteNarrowEdf());
    ExpectHeaderRangesAndValues(r);

    // The plug-in sees the header's range as the channel's full range.
    KVD::COMPtr<Host::DocumentData> data(Host::DocumentData::Create(std::make_shared<Host::Recording>(r)));
    data->Release();
    for (size_t c = 0; c < std::size(kSignals); ++c) {
        KVD::COMPtr<IUnitsConversion> units;
        ASSERT_EQ(data->GetUnitsConversion(0, TChannelId{int32_t(c), kRecorded}, units.Set()), KVD_S_OK);
        double top = 0, bottom = 0;
        units->GetRange(kRecorded, &top, &bottom);
        EXPECT_NEAR(top, kSignals[c].physicalMax, 1e-9) << kSignals[c].label;
        EXPECT_NEAR(bottom, kSignals[c].physicalMin, 1e-9) << kSignals[c].label;
    }
    data->Close();
}

// Written as EDF, a channel keeps its range: the file states it, and reads back as it was.
TEST(NarrowRecorder, AWrittenRecordingKeepsEachChannelsRange)
{
    const Host::Recording r = Host::LoadRecording(WriteNarrowEdf());
    const std::string path = (gFolder.Path() / "narrow-again.edf").string();
    Host::WriteEdfRecording(path, r);
    const Host::Recording back = Host::LoadRecording(path);
    ExpectHeaderRangesAndValues(back);
    for (size_t c = 0; c < std::size(kSignals); ++c) {
        EXPECT_EQ(back.Channel(c).lowest, r.Channel(c).lowest) << kSignals[c].label;
        EXPECT_EQ(back.Channel(c).highest, r.Channel(c).highest) << kSignals[c].label;
        EXPECT_EQ(back.Record(0).samples[c], r.Record(0).samples[c]) << kSignals[c].label;
    }
}

}  // namespace
