// spirohost dialog: a calculation's settings changed through its dialog by scripted user
// actions, and the calculation's samples afterwards; scripts that cannot be carried out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include "RunCommand.h"
#include "host/data/Recording.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

// Ten samples at 10 Hz of a raw signal in volts: 0.1 t.
std::string Recording()
{
    const std::string path = ::testing::TempDir() + "dialog_" + std::to_string(getpid()) + ".csv";
    std::ofstream out(path);
    out << "time,Raw [V]\n";
    for (int i = 0; i < 10; ++i)
        out << i / 10.0 << "," << i / 100.0 << "\n";
    return path;
}

std::vector<double> Values(const std::string& path)
{
    std::ifstream in(path);
    std::vector<double> values;
    std::string line;
    while (std::getline(in, line))
        values.push_back(std::atof(line.c_str() + line.find(',') + 1));
    return values;
}

std::string Dialog(const std::string& rest, int* status, const std::string& recording = Recording())
{
    return RunCommand(Spirohost() + " dialog " + recording + " --raw 1 " + rest + " 2>&1", status);
}

// Records of 850, 1,250 and 1,650 samples at 100 Hz of breaths of 4 s: 0.25 sin(pi t / 2) V.
const uint32_t kRecordTicks[] = {850, 1250, 1650};

std::string ThreeRecords()
{
    const std::string path = ::testing::TempDir() + "dialog_records_" + std::to_string(getpid()) + ".csv";
    std::ofstream out(path);
    out << "time,Raw [V]\n";
    for (uint32_t ticks : kRecordTicks) {
        for (uint32_t i = 0; i < ticks; ++i)
            out << i / 100.0 << "," << 0.25 * std::sin(M_PI * i / 200.0) << "\n";
        out << "\n";
    }
    return path;
}

std::string Text(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DialogCommand, TheFlowHeadChosenInTheDialogMakesTheFlow)
{
    const std::string csv = ::testing::TempDir() + "dialog_flow.csv";
    struct Case {
        std::string actions;
        std::string said;
        double (*flow)(double raw);
    } cases[] = {
        {"--do \"choose headList=Valtrin C\" --do \"click compensateCheck\" --do \"press OK\"", "accepted\n",
         [](double raw) { return 11.79 * (1 - 0.37 * std::fabs(raw)) * raw; }},
        {"--do \"choose headList=Custom\" --do \"set flowGain=2.5\" --do \"press OK\" --do \"press OK\"",
         "accepted\n", [](double raw) { return 2.5 * raw; }},
        // Cancelled: the default head stays.
        {"--do \"choose headList=Valtrin A\" --do \"press Cancel\"", "cancelled\n",
         [](double raw) { return 40.1 * raw; }},
    };
    for (const Case& c : cases) {
        int status = -1;
        const std::string out = Dialog("--calc flow " + c.actions + " --csv " + csv, &status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out.substr(0, c.said.size()), c.said) << c.actions;
        const std::vector<double> flow = Values(csv);
        ASSERT_EQ(flow.size(), 10u) << c.actions;
        for (int i = 0; i < 10; ++i)
            EXPECT_NEAR(flow[i], c.flow(i / 100.0), 2e-3) << c.actions << " sample " << i;
    }
}

// --scale sets the custom head up as analyse's --scale does, before the script's own actions.
TEST(DialogCommand, TheScaleOptionMakesTheFlowAsAnalyseDoes)
{
    const std::string csv = ::testing::TempDir() + "dialog_scaled.csv";
    int status = -1;
    std::string out = Dialog("--scale 2 --calc flow --do \"press OK\" --csv " + csv, &status);
    EXPECT_EQ(status, 0) << out;
    const std::vector<double> flow = Values(csv);
    ASSERT_EQ(flow.size(), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(flow[i], 2 * i / 100.0, 1e-4) << "sample " << i;

    // The volume calculation sums that flow times 0.1 s, each sample's own included: 2 x 0.45 x 0.1.
    out = Dialog("--scale 2 --calc volume --do \"press OK\" --csv " + csv, &status);
    EXPECT_EQ(status, 0) << out;
    const std::vector<double> volume = Values(csv);
    ASSERT_EQ(volume.size(), 10u);
    EXPECT_NEAR(volume.back(), 0.09, 1e-4);

    out = Dialog("--scale 200 --calc flow --do \"press OK\"", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("spirohost dialog: --scale takes a flow gain from 0.01 to 100"), std::string::npos) << out;
}

TEST(DialogCommand, ScriptsThatCannotBeCarriedOutSayWhy)
{
    struct Case {
        std::string args;
        std::string message;
    } cases[] = {
        {"--calc minvent --do \"set intervalEdit=20000\" --do \"press OK\"",
         "spirohost dialog: the actions ran out with the dialog \"Spirometry Minute Ventilation\" open (Please enter "
         "a number from 0.0001 to 10000.)\n"},
        // An interval of no length would leave the channel without a single value.
        {"--calc minvent --do \"set intervalEdit=0\" --do \"press OK\"",
         "spirohost dialog: the actions ran out with the dialog \"Spirometry Minute Ventilation\" open (Please enter "
         "a number from 0.0001 to 10000.)\n"},
        {"--calc volume --do \"click Whole breaths\"",
         "spirohost dialog: window \"Spirometry Volume\": \"Whole breaths\" is disabled\n"},
        {"--calc flow --do \"press OK\" --do \"press OK\"",
         "spirohost dialog: 1 actions were left when the dialogs had closed\n"},
        {"--calc tidal --do \"jump OK\"",
         "spirohost dialog: --do \"jump OK\": not one of set FIELD=TEXT, choose POPUP=ITEM, click CONTROL, press "
         "BUTTON, snapshot FILE, wait SECONDS\n"},
        {"--calc pressure", "spirohost dialog: --calc takes flow, volume, tidal or minvent, not \"pressure\"\n"},
    };
    for (const Case& c : cases) {
        int status = -1;
        const std::string out = Dialog(c.args, &status);
        EXPECT_EQ(status, 1) << c.args;
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}

// Seconds past the first record, up to those past any 64-bit count of ticks, are refused as
// analyse refuses them, before the dialog opens: nothing is written.
TEST(DialogCommand, SelectionsPastTheFirstRecordAreRefusedInSeconds)
{
    const std::string recording = ThreeRecords();
    const std::string csv = ::testing::TempDir() + "dialog_unselected.csv";
    std::remove(csv.c_str());
    for (const char* select : {"0:1e17", "0:1e300", "1e300:1e300", "0:1e16", "0:8.6", "8.6:8.7"}) {
        int status = -1;
        const std::string out = Dialog("--scale 2 --calc tidal --select " + std::string(select) +
                                           " --do \"press OK\" --csv " + csv,
                                       &status, recording);
        EXPECT_EQ(out, "spirohost dialog: the selection " + std::string(select) +
                           " reaches beyond the end of the first record (at 8.5 s)\n");
        EXPECT_EQ(status, 1) << select;
        EXPECT_NE(::access(csv.c_str(), F_OK), 0) << select;
    }
    int status = -1;
    const std::string out = Dialog("--scale 2 --calc tidal --select 0:8.5 --do \"press OK\" --csv " + csv, &status,
                                   recording);
    EXPECT_EQ(out, "accepted\n");
    EXPECT_EQ(status, 0);
}

// Each record's samples, times from its start, with a gap row between records, which the CSV
// reader takes as a record's end: the file reads back as the three records.
TEST(DialogCommand, TheSamplesOfEveryRecordAreWrittenAsRecords)
{
    const std::string recording = ThreeRecords();
    const std::string csv = ::testing::TempDir() + "dialog_records_out.csv";
    for (const char* calc : {"tidal", "minvent"}) {
        int status = -1;
        const std::string out = Dialog("--scale 2 --calc " + std::string(calc) + " --do \"press OK\" --csv " + csv,
                                       &status, recording);
        EXPECT_EQ(out, "accepted\n") << calc;
        EXPECT_EQ(status, 0) << calc;
        const std::string text = Text(csv);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 850 + 1 + 1250 + 1 + 1650) << calc;
        EXPECT_NE(text.find("\n8.49,"), std::string::npos) << calc;
        EXPECT_NE(text.find("\n8.5,\n0,"), std::string::npos) << calc;
        EXPECT_NE(text.find("\n12.5,\n0,"), std::string::npos) << calc;
        const std::string readable = ::testing::TempDir() + "dialog_records_back.csv";
        std::ofstream(readable) << "time,Value\n" << text;
        const Host::Recording back = Host::LoadRecording(readable);
        ASSERT_EQ(back.RecordCount(), 3u) << calc;
        for (size_t r = 0; r < 3; ++r)
            EXPECT_EQ(back.Record(r).ticks, kRecordTicks[r]) << calc << " record " << r + 1;
        EXPECT_DOUBLE_EQ(back.TickRate(), 100.0) << calc;
    }
}

// The volume dialog cancelled leaves the volume computing from the flow, as OK does when
// nothing was changed.
TEST(DialogCommand, ACancelledVolumeDialogLeavesTheVolumeAsItWas)
{
    const std::string cancelled = ::testing::TempDir() + "dialog_volume_cancelled.csv";
    const std::string kept = ::testing::TempDir() + "dialog_volume_kept.csv";
    int status = -1;
    std::string out = Dialog("--scale 2 --calc volume --do \"press Cancel\" --csv " + cancelled, &status);
    EXPECT_EQ(out, "cancelled\n");
    EXPECT_EQ(status, 0);
    out = Dialog("--scale 2 --calc volume --do \"press OK\" --csv " + kept, &status);
    EXPECT_EQ(out, "accepted\n");
    EXPECT_EQ(Text(cancelled), Text(kept));
    const std::vector<double> volume = Values(cancelled);
    ASSERT_EQ(volume.size(), 10u);
    EXPECT_NEAR(volume.back(), 0.09, 1e-4);
}

}  // namespace
