// spirohost formula: a formula run over a small recording, one line per sample; its errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "RunCommand.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

// Ten samples at 10 Hz: Flow = t, Pressure = 2.
std::string Recording()
{
    const std::string path = ::testing::TempDir() + "formula_" + std::to_string(getpid()) + ".csv";
    std::ofstream out(path);
    out << "time,Flow [L/s],Pressure [cmH2O]\n";
    for (int i = 0; i < 10; ++i)
        out << i / 10.0 << "," << i / 10.0 << ",2\n";
    return path;
}

// Checks each line "time,value" against the times given and value(time), within the 16-bit
// step of the recorded channels.
template <class F>
void ExpectSamples(const std::string& out, const std::vector<std::string>& times, F value)
{
    std::istringstream lines(out);
    std::string line;
    size_t n = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(n, times.size()) << out;
        const auto comma = line.find(',');
        EXPECT_EQ(line.substr(0, comma), times[n]) << line;
        EXPECT_NEAR(std::atof(line.c_str() + comma + 1), value(std::atof(times[n].c_str())), 1e-4) << line;
        ++n;
    }
    EXPECT_EQ(n, times.size()) << out;
}

TEST(FormulaCommand, WritesTimeAndValueOfEverySample)
{
    const std::string rec = Recording(), file = rec + ".out";
    int status = -1;
    // It says what it wrote, as the other writers do.
    EXPECT_EQ(RunCommand(Spirohost() + " formula " + rec + " \"ch1 * 2 + Pressure\" --out " + file, &status),
              "Samples written to " + file + " (10 of record 1)\n");
    ASSERT_EQ(status, 0);
    std::ifstream in(file);
    const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ExpectSamples(out, {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"},
                  [](double t) { return 2 * t + 2; });

    // A bare channel, by title, over part of the record.
    const std::string part = RunCommand(Spirohost() + " formula " + rec + " Flow --from 0.25 --to 0.5 --out -", &status);
    ASSERT_EQ(status, 0);
    ExpectSamples(part, {"0.3", "0.4", "0.5"}, [](double t) { return t; });

    // A formula that starts with a minus sign is the formula, not an option; -h still helps.
    const std::string negated = RunCommand(Spirohost() + " formula " + rec + " \"-2*Ch1\" --to 0.1 --out -", &status);
    ASSERT_EQ(status, 0) << negated;
    ExpectSamples(negated, {"0", "0.1"}, [](double t) { return -2 * t; });
    EXPECT_NE(RunCommand(Spirohost() + " formula -h", &status).find("usage: spirohost formula"), std::string::npos);
    EXPECT_EQ(status, 0);
}

TEST(FormulaCommand, ReportsErrorsWithAMessageAndNonZeroExit)
{
    const std::string rec = Recording();
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {rec + " \"ch1 * (2 +\" --out -", 1, "position 10: "},
        {rec + " \"ch1 + nosuch\" --out -", 1, "nosuch"},
        {rec + " ch1 --record 2 --out -", 2, "has no record 2 (it has 1)"},
        {rec + " ch1 --from 0.5 --to 0.4 --out -", 2, "within record 1 (0 to 0.9 s)"},
        {rec + " ch1", 2, "--out"},
        {"/nonexistent.csv ch1 --out -", 1, "/nonexistent.csv"},
        {rec + " ch1 --out /nonexistent/dir/out.csv", 1, "/nonexistent/dir/out.csv: cannot be written: no file can be made in its folder: No such file or directory"},
        // Formulas that compile but cannot run: the calculation's own reason, never NaN and 0.
        {rec + " \"decimatesec(ch1)\" --out -", 1, "Failed to connect Calculation Enumerator <decimatesec>"},
        {rec + " \"lowpass(ch1, 10)\" --out -", 1, "Failed to create Calculation Enumerator <lowpass>."},
        {rec + " ch9 --out -", 1, "Channel 9 has no data to compute from."},
        {rec + " \"speeflow(ch1, 0.5)\" --out -", 1, "gives events, not samples"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string err = RunCommand(Spirohost() + " formula " + c.args + " 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.args << ": " << err;
        EXPECT_EQ(err.rfind("spirohost formula: ", 0), 0u) << c.args << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    }
    // The position counts in the text shown, where the caret points.
    int status = -1;
    const std::string err = RunCommand(Spirohost() + " formula " + rec + " \"2-ch1 * )\" --out - 2>&1", &status);
    EXPECT_NE(err.find("position 9: "), std::string::npos) << err;
    EXPECT_NE(err.find("\n  2 -ch1 * )\n           ^"), std::string::npos) << err;

    const std::string help = RunCommand(Spirohost() + " formula --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(help.find("--from"), std::string::npos) << help;
}

}  // namespace
