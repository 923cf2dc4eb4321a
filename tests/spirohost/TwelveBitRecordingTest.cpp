// A flow head of 12 bits: its EDF recording gives the breaths the 16-bit recording of the same
// signal gives, and info shows the range its header states. The breath-detection level is a
// share of the flow channel's full range, and a quiet breath is lost under a level taken from a
// range 16 times too wide.
#include <gtest/gtest.h>

#include <edflib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "host/synth/SyntheticBreathing.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

constexpr int kRate = 100;

struct Head {
    int digitalMin, digitalMax;
    double physicalMin, physicalMax;  // mV
    int factor;                       // of the 12-bit values written
};

// Writes the values, in whole seconds, as one signal "Flow head" in mV.
std::string WriteEdf(const std::string& path, const Head& head, const std::vector<int16_t>& values)
{
    const int h = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS, 1);
    EXPECT_GE(h, 0);
    edf_set_samplefrequency(h, 0, kRate);
    edf_set_digital_minimum(h, 0, head.digitalMin);
    edf_set_digital_maximum(h, 0, head.digitalMax);
    edf_set_physical_minimum(h, 0, head.physicalMin);
    edf_set_physical_maximum(h, 0, head.physicalMax);
    edf_set_label(h, 0, "Flow head");
    edf_set_physical_dimension(h, 0, "mV");
    std::vector<short> second(kRate);
    for (size_t start = 0; start + kRate <= values.size(); start += kRate) {
        for (int i = 0; i < kRate; ++i)
            second[size_t(i)] = short(values[start + size_t(i)] * head.factor);
        edfwrite_digital_short_samples(h, second.data());
    }
    edfclose_file(h);
    return path;
}

std::string Text(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a report, without their line ends (CRLF or LF).
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        at = end + 1;
    }
    return lines;
}

// The line two after the section's heading: its first row of figures.
std::string FiguresOf(const std::vector<std::string>& lines, const std::string& section)
{
    const auto at = std::find(lines.begin(), lines.end(), section);
    return lines.end() - at > 2 ? at[2] : std::string();
}

TEST(TwelveBitRecording, GivesTheBreathsOfTheSixteenBitRecordingOfTheSameSignal)
{
    const TestSupport::TempFolder folder;
    // Three quiet breaths, a forced one and three quiet: 16-bit steps of 0.125 mV, kept to 12 bits
    // (steps of 2 mV).
    Host::SyntheticOptions options;
    options.rate = kRate;
    options.quietBreathsPerRun = 3;
    options.forcedBreaths = 1;
    const Host::Recording synthetic = Host::SyntheticBreathing(options).MakeRecording("");
    std::vector<int16_t> twelve;
    for (int16_t v : synthetic.Record(0).samples[0])
        twelve.push_back(int16_t(std::clamp(std::lround(v / 16.0), -2048L, 2047L)));
    const std::string narrow =
        WriteEdf((folder.Path() / "twelve.edf").string(), {-2048, 2047, -4096, 4094, 1}, twelve);
    const std::string wide =
        WriteEdf((folder.Path() / "sixteen.edf").string(), {-32768, 32767, -4096, 4095.875, 16}, twelve);

    int status = -1;
    std::string out = RunCommand(Spirohost() + " info " + narrow + " 2>&1", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("  channel 1: \"Flow head\" [mV], -4096 to 4094 mV (physical = (raw + 0) x 0.125)\n"),
              std::string::npos)
        << out;

    std::string reports[2];
    for (const std::string* recording : {&narrow, &wide}) {
        const std::string report = *recording + ".csv";
        out = RunCommand(Spirohost() + " analyse " + *recording + " --raw 1 --scale 0.002 --csv " + report + " 2>&1",
                         &status);
        EXPECT_EQ(status, 0) << out;
        reports[recording == &narrow ? 0 : 1] = Text(report);
    }
    EXPECT_EQ(reports[0], reports[1]);
    // All seven breaths, six of them quiet, with their ventilation and frequency.
    const std::vector<std::string> lines = Lines(reports[0]);
    const std::string overall = FiguresOf(lines, "Overall");
    EXPECT_EQ(overall.substr(overall.find(',') + 1), "7") << reports[0];
    const std::string quiet = FiguresOf(lines, "Non-forced");
    EXPECT_EQ(quiet.substr(quiet.find(',') + 1), "6") << reports[0];
    EXPECT_EQ(FiguresOf(lines, "Non-forced breaths").find(",,"), std::string::npos) << reports[0];
    EXPECT_NE(FiguresOf(lines, "Non-forced breaths"), "") << reports[0];
}

}  // namespace
