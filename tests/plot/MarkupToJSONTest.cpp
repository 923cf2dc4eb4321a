// Markup to the page's script literal, text for text, and the interval texts views put into
// markup.
#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "foundation/KVDString.h"
#include "plot/IntervalStrings.h"
#include "plot/MarkupToJSON.h"

namespace {

// The literal of a single declaration named v whose value text is value.
std::string Single(const std::string& value)
{
    return "[\n{\nproperty_name: 'v',\nmarkup:\n" + value + "\n}\n]";
}

std::string Literal(const std::string& markup)
{
    std::string out = "unchanged";
    EXPECT_TRUE(Lumo::MarkupToJSON(markup, out)) << markup;
    return out;
}

TEST(MarkupToJSON, WholeLiteralOfTwoDeclarations)
{
    EXPECT_EQ(Literal("a: 0.5, b: 'x'"),
              "[\n{\nproperty_name: 'a',\nmarkup:\n0.5\n},\n{\nproperty_name: 'b',\nmarkup:\n'x'\n}\n]");
}

TEST(MarkupToJSON, ValueTexts)
{
    const struct {
        const char* markup;
        const char* text;
    } cases[] = {
        {"v: 0.5", "0.5"},
        {"v: 100", "100"},
        {"v: 1e7", "1e+07"},
        {"v: 0.1", "0.1"},
        {"v: 1e-7", "1e-07"},
        {"v: -0", "-0"},
        // Shortest text that reads back as the same double, never 6 significant digits.
        {"v: 1234567", "1234567"},
        {"v: 0.30000000000000004", "0.30000000000000004"},
        {"v: 123456789012", "123456789012"},
        // Non-finite numbers become what a script can read.
        {"v: nan", "NaN"},
        {"v: inf", "Infinity"},
        {"v: -inf", "-Infinity"},
        {"v: true", "true"},
        {"v: false", "false"},
        {"v: null", "null"},
        {"v: #ff000080", "new lumo.Colour(255, 0, 0, 128)"},
        {"v: #0A0b0C0d", "new lumo.Colour(10, 11, 12, 13)"},
        {"v: 'flow'[0:0.001:end)", "['generator', 'flow', ['interval', 0, 0.001, null, lumo.kOpenInterval]]"},
        {"v: 'labels'#000000ff", "['text_generator', 'labels', new lumo.Colour(0, 0, 0, 255)]"},
        {"v: [0:0.01:end]", "['interval', 0, 0.01, null, lumo.kClosedInterval]"},
        {"v: [begin:0.5:10)", "['interval', null, 0.5, 10, lumo.kOpenInterval]"},
        {"v: [0|0.5, end]", "['interval', , lumo.kClosedInterval]"},
        {"v: [1, 'a', null, [true], []]", "[1, 'a', null, [true], []]"},
        {"v: []", "[]"},
        {"v: {x: 1, y: true}", "{\nx: 1,\ny: true\n}"},
        {"v: {}", "{\n\n}"},
        {"v: {o: {p: [#00000000]}}", "{\no: {\np: [new lumo.Colour(0, 0, 0, 0)]\n}\n}"},
        // Keys that are no plain script identifiers are quoted and escaped.
        {"v: {'my key': 1, 'font-size': 2, '$ok_1': 3, \"it's\": 4}",
         "{\n'my key': 1,\n'font-size': 2,\n$ok_1: 3,\n'it\\'s': 4\n}"},
        // Strings: backslash, quote, CR and LF escaped; a CR LF pair becomes four characters.
        {"v: 'a\r\nb'", "'a\\r\\nb'"},
        {"v: \"it's\"", "'it\\'s'"},
        {R"(v: 'it\'s')", "'it\\'s'"},
        {R"(v: 'C:\\data')", "'C:\\\\data'"},
        {"v: 'say \"hi\"'", "'say \"hi\"'"},
        {"v: '\xc2\xb5L'", "'\xc2\xb5L'"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(Literal(test.markup), Single(test.text)) << test.markup;
}

TEST(MarkupToJSON, DeclarationNamesAreEscaped)
{
    EXPECT_EQ(Literal("\"it's\": 1"), "[\n{\nproperty_name: 'it\\'s',\nmarkup:\n1\n}\n]");
}

TEST(MarkupToJSON, FailureLeavesOutAndKeepsTheError)
{
    std::string out = "unchanged";
    EXPECT_FALSE(Lumo::MarkupToJSON("a 1", out));
    EXPECT_EQ(out, "unchanged");
    std::string error;
    EXPECT_FALSE(Lumo::MarkupToJSON("a: 1 b: 2", out, error));
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(error, "Missing comma on line 1: a: 1_ b: 2");
}

TEST(IntervalStrings, ShortestNumbersThatReadBack)
{
    const struct {
        KVD::String text;
        const wchar_t* expected;
    } cases[] = {
        {KVD::GetOpenIntervalString<double>(0.5, 0.001), L"[0.5:0.001:end]"},
        {KVD::GetOpenIntervalString<double>(1e7, 100), L"[1e+07:100:end]"},
        {KVD::GetOpenIntervalString<double>(1234567, 0.1), L"[1234567:0.1:end]"},
        {KVD::GetOpenIntervalString<double>(-2.5, 1.0 / 3), L"[-2.5:0.3333333333333333:end]"},
        {KVD::GetClosedIntervalString<int>(100, 1, 1234567), L"[100:1:1234567]"},
        {KVD::GetClosedIntervalString<int>(-5, 2, 0), L"[-5:2:0]"},
        {KVD::GetClosedIntervalString<double>(0, 0.25, 1e-9), L"[0:0.25:1e-09]"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.text, test.expected);
}

// The numbers of an interval text read back as the very same doubles.
TEST(IntervalStrings, NumbersReadBackExactly)
{
    const double begin = 12345.0 / 7;
    const double step = 1.0 / 3;
    const std::string text = KVD::ToU8String(KVD::GetOpenIntervalString<double>(begin, step));
    const std::string::size_type colon = text.find(':');
    double readBegin = 0;
    double readStep = 0;
    std::from_chars(text.data() + 1, text.data() + colon, readBegin);
    std::from_chars(text.data() + colon + 1, text.data() + text.find(':', colon + 1), readStep);
    EXPECT_EQ(readBegin, begin) << text;
    EXPECT_EQ(readStep, step) << text;
}

}  // namespace
