// The markup grammar: what it accepts and the tree it builds, what it refuses and the message
// and line it reports.
#include <gtest/gtest.h>

#include <string>

#include "plot/MarkupParse.h"

namespace {

using namespace Lumo::Markup;

struct Refused {
    const char* markup;
    const char* error;
    int line;
};

AST ParseOrFail(const std::string& markup)
{
    AST ast;
    std::string error;
    int line = -1;
    EXPECT_TRUE(Lumo::TmplParse::Parse(markup, ast, error, line)) << markup << "\n" << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(line, -1);
    return ast;
}

TEST(MarkupParse, AcceptsAndBuildsKinds)
{
    const struct {
        const char* markup;
        int kind;
    } cases[] = {
        {"x: 3", kDouble},  // numbers are doubles: the int kind never comes from a value
        {"x: -2.5e3", kDouble},
        {"x: nan", kDouble},
        {"x: true", kBool},
        {"x: false", kBool},
        {"x: 'flow'[0:0.001:end)", kGenerator},
        {"x: 'labels'#000000ff", kTextGenerator},
        {"x: 'plain'", kString},
        {"x: \"plain\"", kString},
        {"x: {a: 1, b: {}}", kObject},
        {"x: {}", kObject},
        {"x: #ff000080", kColour},
        {"x: [0:0.01:end]", kInterval},
        {"x: [begin:0.5:10)", kInterval},
        {"x: [0|0.5, end]", kInterval},
        {"x: [1, 2,]", kArray},
        {"x: []", kArray},
        {"x: [[1], [2, [3]]]", kArray},
        {"x: null", kNull},
        {"  // leading comment\r\n x: 1, // trailing comment", kDouble},
        {"x: 1,", kDouble},
        {"'quoted name': 1", kDouble},
        {"font-size_2: 1", kDouble},
    };
    for (const auto& test : cases) {
        const AST ast = ParseOrFail(test.markup);
        ASSERT_EQ(ast.size(), 1u) << test.markup;
        EXPECT_EQ(ast[0].value.which(), test.kind) << test.markup;
    }
}

TEST(MarkupParse, DeclarationsKeepOrderAndNames)
{
    const AST ast = ParseOrFail("b: 1, 'a b': 2,\n\"c\": 3");
    ASSERT_EQ(ast.size(), 3u);
    EXPECT_EQ(ast[0].name, "b");
    EXPECT_EQ(ast[1].name, "a b");
    EXPECT_EQ(ast[2].name, "c");
    EXPECT_EQ(boost::get<double>(ast[2].value), 3.0);
}

// A backslash keeps the quote or backslash it escapes.
TEST(MarkupParse, StringEscapesKeepTheCharacter)
{
    const struct {
        const char* markup;
        const char* value;
    } cases[] = {
        {R"(s: 'it\'s')", "it's"},
        {R"(s: 'a\\b')", "a\\b"},
        {R"(s: "say \"hi\"")", "say \"hi\""},
        {R"(s: "it's")", "it's"},
        {R"(s: 'say "hi"')", "say \"hi\""},
        {"s: '\xc2\xb5L/s'", "\xc2\xb5L/s"},
        {"s: '// not a comment'", "// not a comment"},
    };
    for (const auto& test : cases) {
        const AST ast = ParseOrFail(test.markup);
        ASSERT_EQ(ast.size(), 1u);
        EXPECT_EQ(boost::get<std::string>(ast[0].value), test.value) << test.markup;
    }
}

TEST(MarkupParse, IntervalsAndGenerators)
{
    const AST ast = ParseOrFail("g: 'flow'[0.5:0.001:end), t: 'l'#0a0B0c0D, k: [2|end, end]");
    const Generator& generator = boost::get<Generator>(ast[0].value);
    EXPECT_EQ(generator.name, "flow");
    const FloatInterval& body = boost::get<FloatInterval>(generator.interval.body);
    EXPECT_EQ(boost::get<double>(body.begin), 0.5);
    EXPECT_EQ(body.step, 0.001);
    EXPECT_NE(boost::get<EndType>(&body.end), nullptr);
    EXPECT_NE(boost::get<OpenInterval>(&generator.interval.end), nullptr);

    const TextGenerator& text = boost::get<TextGenerator>(ast[1].value);
    EXPECT_EQ(text.name, "l");
    EXPECT_EQ(static_cast<const std::string&>(text.colour), "0a0B0c0D");

    const Interval& ticks = boost::get<Interval>(ast[2].value);
    const TickInterval& tickBody = boost::get<TickInterval>(ticks.body);
    const FiniteTickPosition& first = boost::get<FiniteTickPosition>(tickBody.first);
    EXPECT_EQ(first.record, 2);
    EXPECT_NE(boost::get<EndType>(&first.position), nullptr);
    EXPECT_NE(boost::get<EndType>(&tickBody.second), nullptr);
    EXPECT_NE(boost::get<ClosedInterval>(&ticks.end), nullptr);
}

TEST(MarkupParse, RefusesWithMessageAndLine)
{
    const Refused cases[] = {
        {"a: 1 b: 2", "Missing comma on line 1: a: 1_ b: 2", 1},
        {"a 1", "Expected : on line 1: a_ 1", 1},
        {"a: #ff00", "Expected xdigit on line 1: a: #ff00_", 1},
        {"a: [0:1:end", "Expected alternative><an open interval><a closed interval on line 1: a: [0:1:end_", 1},
        {"n: nullx", "Missing comma on line 1: n: null_x", 1},
        {"a: 'abc", "Expected ' on line 1: a: 'abc_", 1},
        {"a: \"abc", "Expected \" on line 1: a: \"abc_", 1},
        {"a: 'x\\n'", "Expected ' on line 1: a: 'x_\\n'", 1},
        {"a: {b 1}", "Expected : on line 1: a: {b_ 1}", 1},
        {"a: {b: 1", "Expected } on line 1: a: {b: 1_", 1},
        {"a: [1, 2", "Expected ] on line 1: a: [1, 2_", 1},
        {"a: [0:x]", "Expected real on line 1: a: [0:_x]", 1},
        {"a: [0:1:x]", "Expected a float or the 'end' keyword on line 1: a: [0:1:_x]", 1},
        {"a: [1|x]", "Expected a float or the 'end' keyword on line 1: a: [1|_x]", 1},
        {"a: [end x]", "Expected , on line 1: a: [end_ x]", 1},
        {"a: [end, 1]", "Expected a tick position on line 1: a: [end,_ 1]", 1},
        {"a:", "Expected a datatype on line 1: a:_", 1},
        {"a: 1,,", "Missing comma on line 1: a: 1,_,", 1},
        {"9a: 1", "", 0},
        {"", "", 0},
        {"  // only a comment\n\n", "", 0},
        // An error after blank and comment lines is reported at the end of the last line that
        // holds something else.
        {"a: 1,\nb:\n\n// note\n  // more\n\n", "Expected a datatype on line 2: b:_", 2},
        {"a: 1,\r\nb: 2\r\n\r\n  c: 3", "Missing comma on line 2: b: 2_\r", 2},
        {"a: 1,\n  b: 2 // note\n\n  c", "Missing comma on line 2:   b: 2_ // note", 2},
        {"a: 1, // note\nb", "Expected : on line 2: b_", 2},
    };
    for (const Refused& test : cases) {
        AST ast;
        std::string error;
        int line = 0;
        EXPECT_FALSE(Lumo::TmplParse::Parse(test.markup, ast, error, line)) << test.markup;
        EXPECT_EQ(error, test.error) << test.markup;
        if (test.error[0] != '\0') {
            EXPECT_EQ(line, test.line) << test.markup;
        }
        EXPECT_FALSE(Lumo::Parse(test.markup, ast)) << test.markup;
    }
}

// Nesting deeper than the limit is refused, not parsed at the cost of the call stack.
TEST(MarkupParse, DeepNestingIsRefused)
{
    const auto nested = [](int depth) {
        return "a: " + std::string(depth, '[') + "1" + std::string(depth, ']');
    };
    AST ast;
    EXPECT_TRUE(Lumo::Parse(nested(Lumo::kMaxMarkupNesting), ast));
    EXPECT_FALSE(Lumo::Parse(nested(Lumo::kMaxMarkupNesting + 1), ast));
    for (const char* open : {"[", "{a: ", "['x', "}) {
        std::string markup = "a: ";
        for (int i = 0; i < 20000; ++i)
            markup += open;
        EXPECT_FALSE(Lumo::Parse(markup, ast)) << open;
    }
}

}  // namespace
