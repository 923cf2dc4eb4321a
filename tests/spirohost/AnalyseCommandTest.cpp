// The main job end to end: spirohost loads the built plug-in, analyses a generated recording
// and saves the report through the plug-in's CSV class; the report's figures are the
// generator's true figures. And what analyse refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "RunCommand.h"
#include "graphics/Image.h"
#include "support/FlowScript.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

constexpr double kRate = 1000.0;

std::vector<std::string> Cells(const std::string& line, char separator)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, separator))
        cells.push_back(cell);
    return cells;
}

// The lines of a file, without their CR or LF.
std::vector<std::string> Lines(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

double Number(const std::string& text)
{
    return text.empty() ? NAN : std::stod(text);
}

// The line after the first line that starts with heading.
const std::string& After(const std::vector<std::string>& lines, const std::string& heading)
{
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].rfind(heading, 0) == 0)
            return lines[i + 1];
    static const std::string none;
    ADD_FAILURE() << "no line " << heading;
    return none;
}

void ExpectNear(double actual, double truth, double relative, double absolute, const std::string& what)
{
    EXPECT_LE(std::fabs(actual - truth), std::max(relative * std::fabs(truth), absolute))
        << what << ": " << actual << " against " << truth;
}

class AnalyseCommand : public ::testing::Test {
protected:
    std::string Analyse(const std::string& recording, const std::string& options, int* status)
    {
        return RunCommand(Spirohost() + " analyse " + recording + " --bundle " + SPIRO_BUNDLE_DIR + " --csv " +
                              Report().string() + " " + options + " 2>&1",
                          status);
    }
    std::filesystem::path Report() const { return mFolder.Path() / "report.csv"; }

    // A recording generated with these options and its report, drift corrected, non-forced
    // breaths summed: the report's lines, its breaths' rows and the true figures' rows.
    struct Analysed {
        std::vector<std::string> report;
        std::vector<std::vector<std::string>> rows;
        std::vector<std::string> truthLines;
        std::vector<std::vector<std::string>> truth;
    };
    Analysed GenerateAndAnalyse(const std::string& options)
    {
        const std::string edf = (mFolder.Path() / "breathing.edf").string();
        const std::string figures = (mFolder.Path() / "figures.csv").string();
        int status = -1;
        std::string out =
            RunCommand(Spirohost() + " generate " + edf + " " + options + " --figures " + figures + " 2>&1", &status);
        EXPECT_EQ(status, 0) << out;
        out = Analyse(edf, "--raw 1 --scale 2 --drift-correction --non-forced", &status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_NE(out.find("Report written to " + Report().string()), std::string::npos) << out;
        Analysed analysed;
        analysed.report = Lines(Report());
        const std::vector<std::string>& report = analysed.report;
        for (size_t i = 0; i < report.size(); ++i)
            if (report[i].rfind("Breath #", 0) == 0)
                for (size_t j = i + 1; j < report.size() && !report[j].empty(); ++j)
                    analysed.rows.push_back(Cells(report[j], ','));
        analysed.truthLines = Lines(figures);
        for (size_t i = 1; i < analysed.truthLines.size() && analysed.truthLines[i].rfind("V_E", 0) != 0; ++i)
            analysed.truth.push_back(Cells(analysed.truthLines[i], ','));
        return analysed;
    }

    TestSupport::TempFolder mFolder;
};

// A breath's volumes and flows as the report gives them against the true ones: volumes within
// 3 % or 50 mL, flows within 5 % or 0.2 L/s.
void ExpectTrueVolumesAndFlows(const std::vector<std::string>& row, const std::vector<std::string>& t,
                               const std::string& which)
{
    if (t[1] != "yes") {
        ExpectNear(Number(row[4]), Number(t[6]), 0.03, 0.05, which + " V_T");
        return;
    }
    ExpectNear(Number(row[5]), Number(t[7]), 0.05, 0.2, which + " PIF");
    ExpectNear(Number(row[7]), Number(t[8]), 0.05, 0.2, which + " PEF");
    ExpectNear(Number(row[9]), Number(t[6]), 0.03, 0.05, which + " FVC");
    ExpectNear(Number(row[10]), Number(t[9]), 0.03, 0.05, which + " FEV1");
}

TEST_F(AnalyseCommand, TheReportHoldsTheGeneratorsTrueFigures)
{
    const Analysed analysed = GenerateAndAnalyse("--quiet 3 --forced 1 --seed 7");
    const std::vector<std::string>& report = analysed.report;
    const std::vector<std::vector<std::string>>& rows = analysed.rows;
    const std::vector<std::vector<std::string>>& truth = analysed.truth;
    const std::vector<std::string>& truthLines = analysed.truthLines;

    ASSERT_EQ(rows.size(), truth.size());
    EXPECT_EQ(Cells(After(report, "Duration (s),Breaths"), ',').at(1), std::to_string(truth.size()));
    const double twoSamples = 2.0 / kRate + 1e-9;
    for (size_t b = 0; b < rows.size(); ++b) {
        const std::vector<std::string>& row = rows[b];
        const std::vector<std::string>& t = truth[b];
        const std::string which = "breath " + std::to_string(b + 1);
        const bool forced = t[1] == "yes";
        ASSERT_GE(row.size(), forced ? 12u : 5u) << which;
        EXPECT_EQ(row[0].find("(forced)") != std::string::npos, forced) << which;
        ExpectNear(Number(row[1]), Number(t[3]), 0, twoSamples, which + " Ti");
        ExpectNear(Number(row[2]), Number(t[4]), 0, twoSamples, which + " Te");
        ExpectNear(Number(row[3]), Number(t[5]), 0, twoSamples, which + " duration");
        ExpectTrueVolumesAndFlows(row, t, which);
    }
    const std::vector<std::string> summary = Cells(report.back(), ',');
    ASSERT_EQ(summary.size(), 5u);
    auto truthOf = [&truthLines](const std::string& name) -> double {
        for (const std::string& line : truthLines)
            if (line.rfind(name + ",", 0) == 0)
                return Number(Cells(line, ',').at(1));
        return NAN;
    };
    ExpectNear(Number(summary[0]), truthOf("V_E (L/s)"), 0.03, 0, "V_E");
    ExpectNear(Number(summary[3]), truthOf("f (Hz)"), 0.03, 0, "f");
}

// At the least rates generate takes, 50 ticks per second and 25 a time constant of the forced
// expiration, every breath is found and analyses to its true volumes and flows.
TEST_F(AnalyseCommand, AtTheLeastRatesTheBreathsAnalyseToTheirTrueFigures)
{
    for (const std::string options : {"--rate 50", "--rate 125 --tau 0.2 --fvc 1.5 --tidal-volume 0.3"}) {
        const Analysed analysed = GenerateAndAnalyse(options);
        ASSERT_EQ(analysed.rows.size(), analysed.truth.size()) << options;
        for (size_t b = 0; b < analysed.rows.size(); ++b) {
            const std::vector<std::string>& row = analysed.rows[b];
            ASSERT_GE(row.size(), analysed.truth[b][1] == "yes" ? 12u : 5u) << options << " breath " << b + 1;
            ExpectTrueVolumesAndFlows(row, analysed.truth[b], options + ": breath " + std::to_string(b + 1));
        }
    }
}

// Recorded flow and volume channels beside the raw one: the report analyses the calculations'
// channels, not the recorded ones found by their units.
TEST_F(AnalyseCommand, AnalysesItsOwnChannelsBesideRecordedFlowAndVolume)
{
    const std::string recording = (mFolder.Path() / "recorded.csv").string();
    std::ofstream csv(recording);
    csv << "time,Raw [V],Flow [L/s],Volume [L]\n";
    for (int i = 0; i < 6000; ++i) {
        const double phase = 2 * M_PI * i / 400.0;
        csv << i / 100.0 << "," << std::sin(phase) / 2 << "," << std::sin(phase) << "," << std::cos(phase) << "\n";
    }
    csv.close();
    int status = -1;
    const std::string out = Analyse(recording, "--raw 1 --scale 2", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(After(Lines(Report()), "Flow,Volume,"), "Channel 4,Channel 5,1% full range,2 x average volume");
}

// The user opens Spirometry|Settings and changes the detection level and the forced threshold:
// the report is made with them. Actions the dialog cannot take leave no report.
TEST_F(AnalyseCommand, SettingsChangedInTheDialogReachTheReport)
{
    const std::string edf = (mFolder.Path() / "breathing.edf").string();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --seed 7 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    out = Analyse(edf,
                  "--raw 1 --scale 2 --settings \"set detectionEdit=3\" --settings \"set forcedEdit=1.5\" "
                  "--settings \"press OK\"",
                  &status);
    ASSERT_EQ(status, 0) << out;
    const std::vector<std::string> settings = Cells(After(Lines(Report()), "Flow,Volume,"), ',');
    ASSERT_EQ(settings.size(), 4u);
    EXPECT_EQ(settings[2], "3% full range");
    EXPECT_EQ(settings[3], "1.5 x average volume");

    std::filesystem::remove(Report());
    out = Analyse(edf, "--raw 1 --scale 2 --settings \"set detectionEdit=30\" --settings \"press OK\"", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("the settings dialog: the actions ran out with the dialog \"Spirometry Settings\" open"),
              std::string::npos)
        << out;
    EXPECT_FALSE(std::filesystem::exists(Report()));
}

// The forced threshold typed and the non-forced breaths ticked before the unit is chosen reach
// the report as they do when the unit is chosen first: the unit change keeps the other entries.
TEST_F(AnalyseCommand, EntriesMadeBeforeAUnitChangeReachTheReport)
{
    const std::string sample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
    const std::string entries = "--settings \"set forcedEdit=1.5\" --settings \"click includeBreathCheck\" ";
    const std::string unit = "--settings \"choose flowUnitList=mL/s\" ";
    std::vector<std::vector<std::string>> reports;
    for (const std::string& order : {entries + unit, unit + entries}) {
        int status = -1;
        const std::string out = Analyse(sample, "--raw 1 --scale 2 " + order + "--settings \"press OK\"", &status);
        ASSERT_EQ(status, 0) << out;
        reports.push_back(Lines(Report()));
    }
    const std::vector<std::string>& unitLast = reports[0];
    EXPECT_EQ(After(unitLast, "Flow,Volume,"), "Channel 2,Channel 3,1% full range,1.5 x average volume");
    const auto heading = std::find_if(unitLast.begin(), unitLast.end(),
                                      [](const std::string& line) { return line.rfind("Breath #", 0) == 0; });
    ASSERT_NE(heading, unitLast.end());
    EXPECT_NE(heading->find("PIF (mL/s)"), std::string::npos) << *heading;
    // Every breath is listed: the first is a quiet one, with its tidal volume in millilitres.
    const std::vector<std::string> first = Cells(After(unitLast, "Breath #"), ',');
    ASSERT_EQ(first.size(), 5u) << After(unitLast, "Breath #");
    EXPECT_EQ(first[0], "1");
    EXPECT_GT(Number(first[4]), 300);
    EXPECT_EQ(unitLast, reports[1]);
}

// The report in each unit the settings offer: the same breaths, each figure scaled by the unit
// (the report writes the micro sign as the one byte 0xB5).
TEST_F(AnalyseCommand, ReportsInLitresMillilitresAndMicrolitres)
{
    const std::string sample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
    std::vector<std::vector<std::string>> firstBreath;
    for (const char* units : {"L", "mL", "uL"}) {
        int status = 0;
        Analyse(sample, std::string("--raw 1 --scale 2 --units ") + units, &status);
        ASSERT_EQ(status, 0) << units;
        const std::vector<std::string> lines = Lines(Report());
        bool found = false;
        for (size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].rfind("Breath #", 0) == 0) {
                EXPECT_NE(lines[i].find(std::string("FVC (") + (units[0] == 'u' ? "\xB5L" : units) + ")"),
                          std::string::npos)
                    << lines[i];
                firstBreath.push_back(Cells(lines[i + 1], ','));
                found = true;
                break;
            }
        ASSERT_TRUE(found) << units;
    }
    ASSERT_EQ(firstBreath.size(), 3u);
    // The forced breath's FVC.
    const double litres = Number(firstBreath[0].at(9));
    EXPECT_GT(litres, 3.0);
    ExpectNear(Number(firstBreath[1].at(9)), litres * 1e3, 1e-5, 0, "mL");
    ExpectNear(Number(firstBreath[2].at(9)), litres * 1e6, 1e-5, 0, "uL");
}

TEST_F(AnalyseCommand, RefusesWhatItCannotAnalyseBeforeWritingAnything)
{
    const std::string sample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
    const std::string notARecording = mFolder.Write("notes.edf", "these are notes").string();
    const struct {
        std::string recording;
        std::string options;
        std::string message;
    } cases[] = {
        {notARecording, "--raw 1", "notes.edf"},
        {sample, "--raw 2", "has no channel 2"},
        {sample, "--raw 1 --select 10:1000", "the selection 10:1000 reaches beyond the end of the recording (at 88 s)"},
        {sample, "--raw 1 --select 0:1e300", "the selection 0:1e300 reaches beyond the end of the recording (at 88 s)"},
        {sample, "--raw 1 --select 1e300:1e300", "reaches beyond the end of the recording (at 88 s)"},
        {sample, "--raw 1 --select 5:2", "not a range"},
        {sample, "--raw 1 --head 3 --scale 2", "exclude each other"},
        {sample, "--raw 1 --units gallons", "--units"},
        {sample, "--raw 1 --compensation", "only to flow head 2"},
        {sample, "--raw 1 --head 3 --compensation", "only to flow head 2"},
        {sample, "--raw 1 --scale 2 --compensation", "only to flow head 2"},
        {sample, "--raw 1 --scale -2", "greater than 0"},
        {sample, "--raw 1 --scale nan", "greater than 0"},
        {sample, "--raw 1 --noise-floor inf", "--noise-floor"},
        // An action of the settings dialog is named by the option that gave it.
        {sample, "--raw 1 --scale 2 --settings frobnicate",
         "spirohost analyse: --settings \"frobnicate\": not one of set FIELD=TEXT, choose POPUP=ITEM, click CONTROL, "
         "press BUTTON, snapshot FILE, wait SECONDS\n"},
        {sample, "--raw 1 --scale 2 --settings \"set detectionEdit\"",
         "spirohost analyse: --settings \"set detectionEdit\": set takes NAME=VALUE\n"},
    };
    for (const auto& c : cases) {
        int status = 0;
        const std::string out = Analyse(c.recording, c.options, &status);
        EXPECT_NE(status, 0) << c.options;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.options << ": " << out;
        EXPECT_FALSE(std::filesystem::exists(Report())) << c.options;
    }
}

TEST_F(AnalyseCommand, AnInvalidSelectionIsReportedAsItsReason)
{
    int status = 0;
    const std::string out =
        Analyse(std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf", "--raw 1 --scale 2 --select 0:2", &status);
    EXPECT_NE(status, 0);
    // The reason the document gives in place of the report is told; no report file is left.
    EXPECT_NE(out.find("spirohost analyse: No breaths were found in the selection.\n"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(Report()));
    // The log lines are kept from the user unless asked for, on standard error or in a file.
    EXPECT_EQ(out.find("KVDBOOTLOG"), std::string::npos) << out;
    const std::string sample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf --raw 1 --scale 2 --select 0:2";
    const std::string verbose = Analyse(sample, "--verbose", &status);
    EXPECT_NE(verbose.find("KVDBOOTLOG: XKVD: The spirometry report could not be exported."), std::string::npos)
        << verbose;
    const std::string log = (mFolder.Path() / "spirohost.log").string();
    EXPECT_EQ(Analyse(sample, "--log " + log, &status).find("KVDBOOTLOG"), std::string::npos);
    EXPECT_EQ(Lines(log), std::vector<std::string>{"KVDBOOTLOG: XKVD: The spirometry report could not be exported."});
    // A log that takes no lines is said once, however many lines it drops.
    const std::string full = Analyse(sample, "--log /dev/full", &status);
    EXPECT_EQ(full.find("KVDBOOTLOG: XKVD"), std::string::npos) << full;
    const size_t said = full.find("KVDBOOTLOG: the log lines cannot be appended to /dev/full (No space left on device)");
    EXPECT_NE(said, std::string::npos) << full;
    EXPECT_EQ(full.find("cannot be appended", full.find('\n', said)), std::string::npos) << full;

    // Two blocks of one second each: an empty selection where they meet is empty, one that
    // crosses is two blocks.
    const std::string blocks = (mFolder.Path() / "blocks.csv").string();
    std::ofstream csv(blocks);
    csv << "time,Raw [V]\n";
    for (int block = 0; block < 2; ++block) {
        for (int i = 0; i < 100; ++i)
            csv << (block * 100 + i) / 100.0 << "," << std::sin(i / 10.0) << "\n";
        csv << "\n";
    }
    csv.close();
    const struct {
        const char* select;
        const char* reason;
    } cases[] = {{"1:1", "The selection is empty."}, {"0.5:1.5", "more than one block"}};
    for (const auto& c : cases) {
        const std::string message = Analyse(blocks, std::string("--raw 1 --scale 2 --select ") + c.select, &status);
        EXPECT_NE(status, 0);
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.select << ": " << message;
    }
}

// A level that only the forced breath reaches, set in the dialog, leaves that breath alone in
// the report; the dialog's picture shows its preview: the flow trace and the one breath marked.
TEST_F(AnalyseCommand, ADetectionLevelFromTheDialogChangesTheBreathsReportedAndItsPreviewShowsThem)
{
    const std::string edf = (mFolder.Path() / "breathing.edf").string();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --seed 7 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    out = Analyse(edf, "--raw 1 --scale 2", &status);
    ASSERT_EQ(status, 0) << out;
    const std::vector<std::string> standard = Lines(Report());
    EXPECT_EQ(After(standard, "Duration (s),Breaths"), "29.12,7");
    EXPECT_EQ(Cells(After(standard, "Breath #"), ',').at(0), "4 (forced)");

    const std::filesystem::path picture = mFolder.Path() / "settings.png";
    out = Analyse(edf,
                  "--raw 1 --scale 2 --settings \"set detectionEdit=6\" --settings \"snapshot " + picture.string() +
                      "\" --settings \"press OK\"",
                  &status);
    ASSERT_EQ(status, 0) << out;
    const std::vector<std::string> changed = Lines(Report());
    EXPECT_EQ(Cells(After(changed, "Flow,Volume,"), ',').at(2), "6% full range");
    EXPECT_EQ(After(changed, "Duration (s),Breaths"), "6.482,1");
    EXPECT_EQ(Cells(After(changed, "Breath #"), ',').at(0), "1 (forced)");

    const Gfx::Image image = Gfx::Image::FromPNG(picture.string());
    ASSERT_FALSE(image.IsEmpty());
    // The preview's part of the window: the flow trace in the flow channel's blue, and at least
    // one breath's dotted mark.
    int blue = 0, markColumns = 0;
    for (int x = 80; x < image.Width() - 10; ++x) {
        int grey = 0;
        for (int y = 300; y < 490; ++y) {
            const uint32_t p = image.Pixel(x, y);
            const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
            blue += r < 90 && g < 130 && b > 200;
            grey += r < 190 && std::abs(r - g) < 24 && std::abs(g - b) < 24;
        }
        markColumns += grey > 30;
    }
    EXPECT_GT(blue, 400);
    EXPECT_GE(markColumns, 1);
}

// With a simulated flow head the preview monitors it: frames taken a second apart show the
// monitor's background and more of the live flow in the later one. A wait that is no number of
// seconds is refused before anything runs.
TEST_F(AnalyseCommand, ThePreviewMonitorsTheSimulatedFlowHeadFrameByFrame)
{
    const std::string edf = (mFolder.Path() / "breathing.edf").string();
    int status = -1;
    std::string out =
        RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --seed 7 --rate 100 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const std::filesystem::path first = mFolder.Path() / "frame1.png", second = mFolder.Path() / "frame2.png";
    out = Analyse(edf,
                  "--raw 1 --scale 2 --live --settings \"click monitor\" --settings \"wait 1\" --settings \"snapshot " +
                      first.string() + "\" --settings \"wait 1.5\" --settings \"snapshot " + second.string() +
                      "\" --settings \"press Cancel\"",
                  &status);
    ASSERT_EQ(status, 0) << out;
    // Inside the preview, right of its scale: the flow's blue and the monitor's grey-green.
    auto count = [](const std::filesystem::path& path, auto test) {
        const Gfx::Image image = Gfx::Image::FromPNG(path.string());
        int n = 0;
        for (int y = 300; y < image.Height() && y < 500; ++y)
            for (int x = 80; x < image.Width() - 10; ++x) {
                const uint32_t p = image.Pixel(x, y);
                n += test(int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF));
            }
        return n;
    };
    const auto blue = [](int r, int g, int b) { return r < 90 && g < 130 && b > 200; };
    const auto monitor = [](int r, int g, int b) { return r > 200 && r < 245 && std::abs(r - g) < 8 && b < r - 10; };
    EXPECT_GT(count(first, monitor), 1000);
    EXPECT_GT(count(first, blue), 5);
    EXPECT_GT(count(second, blue), count(first, blue));

    out = Analyse(edf, "--raw 1 --scale 2 --settings \"wait soon\" --settings \"press OK\"", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("wait takes seconds from 0 to 600"), std::string::npos) << out;
}

// A unit chosen while the preview monitors keeps the scale's range: the expiratory half of the
// live flow stays in view rather than the scale fitting the few samples taken so far.
TEST_F(AnalyseCommand, AUnitChosenWhileMonitoringKeepsTheWholeFlowInView)
{
    const std::string edf = (mFolder.Path() / "breathing.edf").string();
    int status = -1;
    std::string out =
        RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --seed 7 --rate 100 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const std::filesystem::path frame = mFolder.Path() / "frame.png";
    out = Analyse(edf,
                  "--raw 1 --scale 2 --live --settings \"click monitor\" --settings \"wait 4\" --settings "
                  "\"choose flowUnitList=mL/s\" --settings \"wait 3\" --settings \"snapshot " +
                      frame.string() + "\" --settings \"press Cancel\"",
                  &status);
    ASSERT_EQ(status, 0) << out;
    const Gfx::Image image = Gfx::Image::FromPNG(frame.string());
    // The live breaths, within a litre per second, lie around the zero line (row 338 of the
    // preview); the rows of -4 to -6.5 L/s, right of the scale, hold none of the trace's blue.
    int blueLow = 0, blueAll = 0;
    for (int y = 280; y < 490 && y < image.Height(); ++y)
        for (int x = 80; x < image.Width() - 10; ++x) {
            const uint32_t p = image.Pixel(x, y);
            const bool blue = int(p >> 16 & 0xFF) < 90 && int(p >> 8 & 0xFF) < 130 && int(p & 0xFF) > 200;
            blueAll += blue;
            blueLow += blue && y >= 430;
        }
    EXPECT_GT(blueAll, 20);
    EXPECT_EQ(blueLow, 0);
}

// Forced manoeuvres as people make them, drawn by hand at 100 Hz and analysed as the main job
// does: the report's breath rows, and the non-forced figures.
class AnalyseDrawnBreathing : public AnalyseCommand {
protected:
    void Analyse(const TestSupport::FlowScript& script)
    {
        const std::string recording = mFolder.Write("drawn.csv", script.Csv(100, 2.0)).string();
        int status = -1;
        const std::string out = AnalyseCommand::Analyse(recording, "--raw 1 --scale 2 --non-forced", &status);
        ASSERT_EQ(status, 0) << out;
        mReport = Lines(Report());
    }
    // The cells of the rows whose label holds the text.
    std::vector<std::vector<std::string>> Rows(const std::string& label) const
    {
        std::vector<std::vector<std::string>> rows;
        for (size_t i = 0; i < mReport.size(); ++i)
            if (mReport[i].rfind("Breath #", 0) == 0)
                for (size_t j = i + 1; j < mReport.size() && !mReport[j].empty(); ++j)
                    if (mReport[j].find(label) != std::string::npos)
                        rows.push_back(Cells(mReport[j], ','));
        return rows;
    }
    std::vector<std::string> NonForcedFigures() const { return Cells(After(mReport, "V_E (L/s)"), ','); }

    std::vector<std::string> mReport;
};

TEST_F(AnalyseDrawnBreathing, AHoldAtFullInspirationLeavesFev1AsWithout)
{
    const double truth = TestSupport::FlowScript::ExponentialFev1(5.0, 3.5, 0.5);
    for (double hold : {0.0, 0.2, 0.5, 1.0, 2.0})
        for (double noise : {0.0, 0.002}) {
            const std::string what = "hold " + std::to_string(hold) + " s, noise " + std::to_string(noise);
            TestSupport::FlowScript script;
            Analyse(script.MidTick().Rest(1).Quiet(6).Inspire(2.0, 3.5).Rest(hold).ExpireExponential(5.0, 3.5, 0.5)
                        .Quiet(6).Rest(1).NormalNoise(noise, 3));
            const auto forced = Rows("(forced)");
            ASSERT_EQ(forced.size(), 1u) << what;
            ASSERT_EQ(forced[0].size(), 12u) << what;
            ExpectNear(Number(forced[0][10]), truth, 0.03, 0.05, what + " FEV1");
            ExpectNear(Number(forced[0][11]), Number(forced[0][10]) / Number(forced[0][9]) * 100, 1e-4, 0,
                       what + " FEV1/FVC");
        }
}

TEST_F(AnalyseDrawnBreathing, AForcedBreathOutWithinASecondHasItsFvcForFev1)
{
    struct Case {
        double fvc, te, next, ti;
    } cases[] = {{3.0, 0.6, 3.0, 0.8}, {2.0, 0.5, 4.0, 0.5}};
    for (const Case& c : cases)
        for (double noise : {0.0, 0.002, 0.02}) {
            const std::string what = std::to_string(c.fvc) + " L in " + std::to_string(c.te) + " s, noise " +
                                     std::to_string(noise);
            TestSupport::FlowScript script;
            Analyse(script.MidTick().Rest(1).Quiet(8).Inspire(2.0, c.fvc).Expire(c.te, c.fvc).Inspire(c.ti, c.next)
                        .Expire(3.0, c.next).Quiet(4).Rest(1).NormalNoise(noise, 11));
            const auto forced = Rows("(forced)");
            ASSERT_EQ(forced.size(), 2u) << what;
            for (const auto& row : forced) {
                ASSERT_EQ(row.size(), 12u) << what;
                EXPECT_GE(Number(row[10]), 0.0) << what;
                EXPECT_LE(Number(row[10]), Number(row[9])) << what;
            }
            EXPECT_EQ(forced[0][10], forced[0][9]) << what;
            EXPECT_EQ(forced[0][11], "100") << what;
            ExpectNear(Number(forced[0][9]), c.fvc, 0.03, 0.05, what + " FVC");
        }
}

// The record begins at the peak of an inspiration: its first expiration is a single expiration
// with its own PEF, FVC and FEV1 and no PIF, and no part of f and V_E.
TEST_F(AnalyseDrawnBreathing, ARecordBegunInsideAnInspirationReportsItsFirstExpirationAlone)
{
    TestSupport::FlowScript forced;
    Analyse(forced.MidTick().Inspire(2.0, 3.5).ExpireExponential(4.0, 3.5, 0.5).Quiet(4).CutAt(1.0));
    auto single = Rows("(single expiration)");
    ASSERT_EQ(single.size(), 1u);
    ASSERT_EQ(single[0].size(), 12u);
    EXPECT_EQ(std::vector<std::string>(single[0].begin(), single[0].begin() + 7),
              (std::vector<std::string>{"1 (single expiration)", "0", "4", "4", "", "", ""}));
    ExpectNear(Number(single[0][7]), 3.5 / (1 - std::exp(-8.0)) / 0.5, 0.02, 0, "PEF");
    ExpectNear(Number(single[0][9]), 3.5, 0.03, 0.05, "FVC");
    ExpectNear(Number(single[0][10]), TestSupport::FlowScript::ExponentialFev1(4.0, 3.5, 0.5), 0.03, 0.05, "FEV1");
    EXPECT_TRUE(Rows("(forced)").empty());
    ExpectNear(Number(NonForcedFigures().at(0)), 0.125, 0.01, 0, "V_E");
    ExpectNear(Number(NonForcedFigures().at(3)), 0.25, 0.01, 0, "f");

    // Quiet breathing only: the half breath adds nothing to f and V_E.
    TestSupport::FlowScript quiet;
    Analyse(quiet.MidTick().Quiet(7).CutAt(0.75));
    single = Rows("(single expiration)");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0][0], "1 (single expiration)");
    ExpectNear(Number(NonForcedFigures().at(0)), 0.125, 0.01, 0, "V_E");
    ExpectNear(Number(NonForcedFigures().at(3)), 0.25, 0.01, 0, "f");
}

// Two or three forced breaths of one size are all at their mean, and all forced.
TEST_F(AnalyseDrawnBreathing, IdenticalForcedBreathsGetOneMark)
{
    for (double volume : {1.0, 2.0, 2.5, 3.0, 3.5, 4.0})
        for (int count : {2, 3}) {
            TestSupport::FlowScript script;
            script.MidTick().Rest(1);
            for (int i = 0; i < count; ++i)
                script.Inspire(2.0, volume).ExpireExponential(5.0, volume, 0.5).Rest(1);
            Analyse(script);
            EXPECT_EQ(Rows("(forced)").size(), size_t(count)) << count << " breaths of " << volume << " L";
        }
}

}  // namespace
