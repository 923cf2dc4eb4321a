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

TEST(FormulaCommand, ComplexFunctionsOfAChannelGiveTheirRealValuedMeaning)
{
    const std::string rec = Recording();
    const std::vector<std::string> times = {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"};
    const struct {
        std::string formula;
        double (*value)(double);
    } cases[] = {
        {"conj(ch1)", [](double t) { return t; }},
        {"real(ch1)", [](double t) { return t; }},
        {"imag(ch1)", [](double) { return 0.0; }},
        {"norm(ch1)", [](double t) { return t * t; }},
        {"arg(ch1 - 0.45)", [](double t) { return t < 0.45 ? 3.141592653589793 : 0.0; }},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string out = RunCommand(Spirohost() + " formula " + rec + " \"" + c.formula + "\" --out -", &status);
        ASSERT_EQ(status, 0) << c.formula << ": " << out;
        ExpectSamples(out, times, c.value);
    }
}

// What the formula command writes reads back as a recording (under a header naming its column):
// where the formula gives no number (a division by zero), it writes an empty cell, a gap that
// ends a record, never "inf" or "nan".
TEST(FormulaCommand, ValuesThatAreNoNumberAreWrittenAsGapsThatReadBack)
{
    const std::string rec = Recording();
    int status = -1;
    EXPECT_EQ(RunCommand(Spirohost() + " formula " + rec + " ch1/0 --to 0.2 --out -", &status), "0,\n0.1,\n0.2,\n");
    EXPECT_EQ(status, 0);

    // Flow = t - 0.5 is stored exactly 0 at 0.5 s only, where (Flow + 1) x Flow / Flow is 0 / 0.
    const std::string centred = rec + ".centred.csv", file = rec + ".gaps.csv";
    std::ofstream(centred) << "time,Flow [L/s]\n0,-0.5\n0.1,-0.4\n0.2,-0.3\n0.3,-0.2\n0.4,-0.1\n0.5,0\n0.6,0.1\n"
                              "0.7,0.2\n0.8,0.3\n0.9,0.4\n";
    const std::string out =
        RunCommand(Spirohost() + " formula " + centred + " \"(ch1 + 1) * ch1 / ch1\" --out -", &status);
    ASSERT_EQ(status, 0);
    ASSERT_NE(out.find("\n0.5,\n"), std::string::npos) << out;
    std::ofstream(file) << "time,Formula\n" << out;

    const std::string info = RunCommand(Spirohost() + " info " + file, &status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find("2 record(s) at 10 ticks per second\n  record 1: 5 ticks, 0.5 s\n  record 2: 4 ticks, 0.4 s\n"),
              std::string::npos)
        << info;
    // The second record holds 0.6 s to 0.9 s, its ticks counted from its own start.
    const std::string again = RunCommand(Spirohost() + " formula " + file + " Formula --record 2 --out -", &status);
    ASSERT_EQ(status, 0);
    ExpectSamples(again, {"0", "0.1", "0.2", "0.3"}, [](double t) { return t + 1.1; });
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
        {rec + " \"decimatesec(ch1)\" --out -", 1, "Failed to create Calculation Enumerator <decimatesec>."},
        {rec + " \"lowpass(ch1, 10)\" --out -", 1, "The function <lowpass> is not available on this host."},
        {rec + " \"smooth(ch1, 3)\" --out -", 1, "The function <smooth> is not available on this host."},
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
    // The position counts in the formula as typed, shown with a caret at the start of what
    // is wrong.
    const struct {
        std::string formula;
        std::string shown;
    } placed[] = {
        {"2-ch1 * )", "position 8: A number, a channel, a function or '(' was expected here.\n  2-ch1 * )\n          ^"},
        {"CH1 + FooBar", "position 6: 'foobar' is used before a value has been assigned to it.\n  CH1 + FooBar\n        ^"},
        {"Ch1)", "position 3: This ')' has no '(' to close.\n  Ch1)\n     ^"},
        {"Ch1*2)", "position 5: This ')' has no '(' to close.\n  Ch1*2)\n       ^"},
    };
    int status = -1;
    for (const auto& c : placed) {
        const std::string err = RunCommand(Spirohost() + " formula " + rec + " \"" + c.formula + "\" --out - 2>&1", &status);
        EXPECT_EQ(status, 1) << c.formula;
        EXPECT_EQ(err, "spirohost formula: " + c.shown + "\n") << c.formula;
    }

    // A formula past the term limit is quoted in part, around the place.
    std::string terms = "ch1";
    for (int i = 0; i < 1200; ++i)
        terms += "+ch1";
    const std::string err = RunCommand(Spirohost() + " formula " + rec + " \"" + terms + "\" --out - 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_LT(err.size(), 400u) << err;
    EXPECT_NE(err.find("The formula has too many terms"), std::string::npos) << err;
    // The 2000th symbol is the "+" after the 1001st term, at 4 * 1000 + 3.
    EXPECT_NE(err.find("position 4003: "), std::string::npos) << err;
    EXPECT_NE(err.find("\n  ...+ch1+ch1"), std::string::npos) << err;
    EXPECT_NE(err.find("ch1...\n" + std::string(2 + 3 + 40, ' ') + "^\n"), std::string::npos) << err;

    const std::string help = RunCommand(Spirohost() + " formula --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(help.find("--from"), std::string::npos) << help;
}

}  // namespace
