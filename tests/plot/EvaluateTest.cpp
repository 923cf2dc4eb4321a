// The equation evaluator: values of a table of expressions against hand-computed ones, the code
// it compiles, and what it does with text that is no expression.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "plot/Evaluate.h"

namespace {

uint64_t Bits(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double At(const std::string& expression, double t = 0)
{
    std::vector<double> out;
    EXPECT_TRUE(KVD::Evaluate(expression, t, 1, 1, out)) << expression;
    return out.empty() ? std::numeric_limits<double>::quiet_NaN() : out[0];
}

TEST(Evaluate, Values)
{
    const struct {
        const char* expression;
        double t;
        double value;
    } cases[] = {
        {"sin(pi)", 0, std::sin(3.14159265)},  // the eight-decimal pi: about 3.6e-9, not 0
        {"pi", 0, 3.14159265},
        {"e", 0, 2.71828183},
        {"ln(e)", 0, std::log(2.71828183)},
        {"log(100)", 0, 2},
        {"-7 % 3", 0, 2},
        {"7 % -3", 0, -2},
        {"7.5 % 2", 0, 1.5},
        {"round(2.5)", 0, 3},
        {"round(-2.5)", 0, -2},
        {"ceil(1.2)", 0, 2},
        {"floor(-1.2)", 0, -2},
        {"sqrt(16)", 0, 4},
        {"cos(0) + tan(0)", 0, 1},
        {"2^3^2", 0, 64},  // left-associative
        {"-2^2", 0, 4},    // the sign binds tighter than ^
        {"-(2)^2", 0, 4},
        {"2+3*4^2", 0, 50},
        {"(1+2)*3", 0, 9},
        {"10-4-3", 0, 3},
        {"12/4/3", 0, 1},
        {"2*-1", 0, -2},
        {"--3", 0, 3},
        {"- - 3", 0, 3},
        {"+t", 5, 5},
        {"t*t - t", 3, 6},
        {" 2 * ( t + 1 ) ", 1.5, 5},
        {"1e3 + 2.5E-1", 0, 1000.25},
        {"sin(cos(t))", 0.5, std::sin(std::cos(0.5))},
    };
    for (const auto& test : cases)
        EXPECT_DOUBLE_EQ(At(test.expression, test.t), test.value) << test.expression;
}

// Numeric trouble is no error: the samples carry the IEEE results.
TEST(Evaluate, NumericTroubleGivesIeeeResults)
{
    EXPECT_EQ(At("1/0"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(At("-1/0"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(At("ln(-1)")));
    EXPECT_TRUE(std::isnan(At("sqrt(-1)")));
    EXPECT_TRUE(std::isnan(At("1 % 0")));
}

TEST(Evaluate, SamplesOverRunningT)
{
    std::vector<double> out = {42};
    ASSERT_TRUE(KVD::Evaluate("2*t+1", 0, 0.5, 3, out));
    EXPECT_EQ(out, (std::vector<double>{1, 2, 3}));

    // The step is added to the running t, not computed as t0 + i * dt.
    ASSERT_TRUE(KVD::Evaluate("t", 0, 0.1, 10, out));
    double t = 0;
    for (int i = 0; i < 9; ++i)
        t += 0.1;
    EXPECT_EQ(out.size(), 10u);
    EXPECT_EQ(out[9], t);
    EXPECT_NE(out[9], 9 * 0.1);

    ASSERT_TRUE(KVD::Evaluate("t", 0, 1, 0, out));
    EXPECT_TRUE(out.empty());
}

TEST(Evaluate, CompiledCode)
{
    KVD::EquationCode code;
    std::string message;
    ASSERT_TRUE(KVD::CompileEquation("2*t+1", code, message));
    const KVD::EquationCode expected = {KVD::kPush, 2.0, KVD::kPushT, KVD::kMultiply, KVD::kPush, 1.0, KVD::kAdd};
    EXPECT_EQ(code, expected);
    ASSERT_TRUE(KVD::CompileEquation("-sqrt(t)", code, message));
    EXPECT_EQ(code, (KVD::EquationCode{KVD::kPushT, KVD::kSqrt, KVD::kNegate}));
}

// Text that is no expression gives NaN samples of one bit pattern, with a message only where an
// expectation failed; the message goes to the exception log, not to the standard output.
TEST(Evaluate, Failures)
{
    const struct {
        const char* expression;
        const char* message;
    } cases[] = {
        {"", ""},
        {"sin (t)", ""},
        {"t t", ""},
        {"Sin(t)", ""},
        {"(1+2", R"x(Expecting ")" here: "")x"},
        {"1+", R"x(Expecting <term> here: "")x"},
        {"1- ", R"x(Expecting <term> here: " ")x"},
        {"2*", R"x(Expecting <factor> here: "")x"},
        {"2/)", R"x(Expecting <factor> here: ")")x"},
        {"2%", R"x(Expecting <factor> here: "")x"},
        {"2^", R"x(Expecting <unnamed-rule> here: "")x"},
        {"-", R"x(Expecting <unnamed-rule> here: "")x"},
        {"sin()", R"x(Expecting <expression> here: ")")x"},
        {"(", R"x(Expecting <expression> here: "")x"},
        {"floor(t", R"x(Expecting ")" here: "")x"},
        // The innermost failure is the one reported.
        {"1+(2", R"x(Expecting ")" here: "")x"},
    };
    for (const auto& test : cases) {
        KVD::EquationCode code;
        std::string message;
        EXPECT_FALSE(KVD::CompileEquation(test.expression, code, message)) << test.expression;
        EXPECT_EQ(message, test.message) << test.expression;

        std::vector<double> out;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(KVD::Evaluate(test.expression, 0, 1, 4, out)) << test.expression;
        const std::string stdoutText = testing::internal::GetCapturedStdout();
        const std::string stderrText = testing::internal::GetCapturedStderr();
        ASSERT_EQ(out.size(), 4u);
        for (double sample : out)
            EXPECT_EQ(Bits(sample), 0x7FF8600000000000ull) << test.expression;
        EXPECT_EQ(stdoutText, "");
        if (test.message[0] == '\0') {
            EXPECT_EQ(stderrText, "") << test.expression;
        } else {
            EXPECT_NE(stderrText.find(std::string("XKVD: ") + test.message), std::string::npos) << stderrText;
        }
    }
}

// Nesting is bounded when compiling: deep text fails with NaN samples instead of overflowing
// the call stack or the machine's stack.
TEST(Evaluate, DeepNestingIsRefused)
{
    const auto nested = [](const std::string& open, const std::string& close, int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += open;
        text += "t";
        for (int i = 0; i < depth; ++i)
            text += close;
        return text;
    };
    std::vector<double> out;
    for (const std::string open : {"(", "sin(", "1+(", "2^-("}) {
        // A sign nests as a parenthesis does.
        const int levels = open == "2^-(" ? 2 : 1;
        EXPECT_TRUE(KVD::Evaluate(nested(open, ")", KVD::kMaxEquationNesting / levels), 0.5, 1, 1, out)) << open;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(KVD::Evaluate(nested(open, ")", KVD::kMaxEquationNesting / levels + 1), 0.5, 1, 1, out)) << open;
        EXPECT_FALSE(KVD::Evaluate(nested(open, ")", 20000), 0.5, 1, 1, out)) << open;
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(out.size(), 1u);
        EXPECT_TRUE(std::isnan(out[0]));
    }
    EXPECT_TRUE(KVD::Evaluate(std::string(KVD::kMaxEquationNesting, '-') + "1", 0, 1, 1, out));
    EXPECT_EQ(out, std::vector<double>{1});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(KVD::Evaluate(std::string(20000, '-') + "1", 0, 1, 1, out));
    testing::internal::GetCapturedStderr();
}

TEST(Evaluate, SampleCountAboveTheCapIsRefused)
{
    std::vector<double> out = {1, 2};
    EXPECT_FALSE(KVD::Evaluate("t", 0, 1, KVD::kMaxEquationSamples + 1, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(KVD::Evaluate("t", 0, 1, 0xFFFFFFFFu, out));
    EXPECT_TRUE(out.empty());
}

TEST(EquationVM, CellsOfTheWrongKindAndUnknownOpcodes)
{
    KVD::VM vm;
    EXPECT_THROW(vm.Execute(0, {1.5}), boost::bad_get);
    EXPECT_THROW(vm.Execute(0, {KVD::kPush}), boost::bad_get);
    EXPECT_THROW(vm.Execute(0, {KVD::kPush, KVD::kPushT}), boost::bad_get);
    EXPECT_EQ(vm.Execute(0, {KVD::kPush, 2.0, 99, -1, KVD::kNegate}), -2);
    EXPECT_TRUE(std::isnan(vm.Execute(0, {})));
}

TEST(EquationVM, StackNeed)
{
    const struct {
        KVD::EquationCode code;
        int need;
    } cases[] = {
        {{}, 0},
        {{KVD::kPushT}, 1},
        {{KVD::kPush, 1.0, KVD::kPushT, KVD::kPushT, KVD::kMultiply, KVD::kAdd}, 3},
        {{KVD::kAdd}, -1},
        {{KVD::kPushT, KVD::kPower}, -1},
        {{KVD::kSin}, -1},
        {{KVD::kPush}, -1},
        {{KVD::kPush, KVD::kAdd}, -1},
        {{2.0}, -1},
        {{KVD::kPushT, 99}, 1},
    };
    for (const auto& test : cases)
        EXPECT_EQ(KVD::VM::StackNeed(test.code), test.need);
}

}  // namespace
