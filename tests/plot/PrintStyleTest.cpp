#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <boost/token_functions.hpp>

#include "graphics/RecordingContext.h"
#include "plot/PrintCanvas.h"
#include "plot/PrintStyle.h"
#include "plot/SvgNumber.h"
#include "plot/SvgTransform.h"
#include "plot/BadSvgException.h"

namespace {

using KVD::PrintCanvas;

struct ColourCase {
    const char* text;
    Gfx::Color expected;
};

TEST(PrintStyle, ColoursFromHexAndRgba) {
    const ColourCase cases[] = {
        {"#0a0b0c", {10 / 255.0, 11 / 255.0, 12 / 255.0, 1}},
        {"#FF8000", {1, 128 / 255.0, 0, 1}},
        {"color #ff0000 trailing", {1, 0, 0, 1}},  // around the "#" is ignored
        {"#g0a0b0", {0, 160 / 255.0, 176 / 255.0, 1}},  // a pair that is not hexadecimal reads 0
        {"#a-0000", {10 / 255.0, 0, 0, 1}},             // as far as the pair reads
        {"#12345", {0, 0, 0, 1}},                       // five characters: black
        {"rgba(255,0,0,0.3)", {1, 0, 0, 0.3f}},
        {"rgba(0,128,255,1)", {0, 128 / 255.0, 1, 1}},
        {"rgba(255, 0, 0, 0.3)", {0, 0, 0, 1}},  // blanks: not the form
        {"rgba(300,0,0,2)", {1, 0, 0, 1}},       // clamped
        {"rgba(99999999999,0,0,1)", {0, 0, 0, 1}},  // beyond an integer: black, no failure
        {"rgba(1,2,3,1.2.3)", {0, 0, 0, 1}},       // two points: black, no failure
        {"rgba(1,2,3,)", {0, 0, 0, 1}},
        {"rgb(1,2,3)", {0, 0, 0, 1}},
        {"red", {0, 0, 0, 1}},
        {"", {0, 0, 0, 1}},
    };
    for (const ColourCase& c : cases) {
        Gfx::Color colour = KVD::ToColour(c.text);
        EXPECT_NEAR(colour.red, c.expected.red, 1e-6) << c.text;
        EXPECT_NEAR(colour.green, c.expected.green, 1e-6) << c.text;
        EXPECT_NEAR(colour.blue, c.expected.blue, 1e-6) << c.text;
        EXPECT_NEAR(colour.alpha, c.expected.alpha, 1e-6) << c.text;
    }
}

TEST(PrintStyle, LengthsAndOpacities) {
    const std::pair<const char*, float> lengths[] = {
        {"14px", 14}, {" 12.5", 12.5f}, {"3em", 3}, {"-2", -2}, {"abc", 0}, {"", 0}, {"1e2px", 100},
        {"nan", 0},   {"inf", 0},       {"1e99", 0}, {"px12", 0}};
    for (auto [text, expected] : lengths)
        EXPECT_EQ(KVD::StringTo<float>(text), expected) << text;

    const std::pair<const char*, int> opacities[] = {{"2", 255}, {"-1", 0}, {"0.5", 127}, {"1", 255},
                                                     {"0", 0},   {"x", 0},  {"0.999", 254}};
    for (auto [text, expected] : opacities)
        EXPECT_EQ(KVD::OpacityToByte(text), expected) << text;
}

TEST(PrintStyle, NumberSyntax) {
    const std::pair<const char*, size_t> scans[] = {
        {"10,20", 2}, {"-1.5e3x", 6}, {".5", 2}, {"+2.", 3}, {"1e", 1}, {"1e+", 1}, {"e5", 0},
        {".", 0},     {"-", 0},       {"nan", 0}, {"0x10", 1}, {"12.3.4", 4}};
    for (auto [text, length] : scans)
        EXPECT_EQ(KVD::ScanSvgNumber(text), length) << text;
    EXPECT_EQ(KVD::ParseSvgFloat("-1.5e3"), -1500.0f);
    EXPECT_FALSE(KVD::ParseSvgFloat("1e39"));  // beyond a float
    EXPECT_EQ(KVD::ParseSvgFloat("-1e7"), -1e7f);
    EXPECT_FALSE(KVD::ParseSvgFloat("1.1e7"));  // beyond the magnitude bound
    EXPECT_FALSE(KVD::ParseSvgFloat(" 1"));
    EXPECT_FALSE(KVD::ParseSvgFloat(std::string(KVD::kMaxSvgNumberLength + 1, '1')));
}

// Decimals read to the float nearest them, as strtof reads them, bit for bit: short ones, ones
// with more digits than a float holds, halfway cases and signed zeros.
TEST(PrintStyle, DecimalsReadToTheNearestFloat) {
    std::vector<std::string> texts = {"0",         "-0",        "+0.0",       "1677.7216", "1677.7217",
                                      "1677721.85", "0.1",      "-0.3",       "1.0000001", "0.0000000001",
                                      "1e-3",      "123.4567891", "9999999",  "5.",        ".5",
                                      "0.00000000001", "429496.7295", "3355443.3", "0.30000001192092896"};
    char text[32];
    for (int i = 0; i < 200000; ++i) {
        unsigned spread = i * 2654435761u;
        int places = i % 11;
        std::snprintf(text, sizeof text, "%s%u.%0*u", i % 3 ? "" : "-", spread % 100000, places,
                      places ? spread % 1000000007u % static_cast<unsigned>(std::pow(10, places)) : 0u);
        texts.emplace_back(places ? text : std::string(text, std::strlen(text) - 1));
    }
    for (const std::string& t : texts) {
        std::optional<float> read = KVD::ParseSvgFloat(t);
        float expected = std::strtof(t.c_str(), nullptr);
        ASSERT_TRUE(read) << t;
        ASSERT_EQ(std::memcmp(&*read, &expected, sizeof expected), 0) << t << " read as " << *read;
    }
}

TEST(PrintStyle, StyleKeysChangeOnlyWhatTheyName) {
    Gfx::RecordingContext context({100, 100});
    PrintCanvas canvas(context, 1, 1, 0, 0);
    EXPECT_EQ(canvas.FontSize(), 8);
    EXPECT_EQ(canvas.FillColour().alpha, 1);

    canvas.ApplyStyle("fill: #ff0000; fill-opacity: 0.5; font-weight: bold;stroke-width:3");
    EXPECT_EQ(canvas.FillColour().red, 1);
    EXPECT_NEAR(canvas.FillColour().alpha, 127 / 255.0, 1e-9);
    EXPECT_EQ(canvas.StrokeColour().red, 0);

    canvas.ApplyStyle("stroke:#00ff00;stroke-opacity:0.5;font-size:14px");
    EXPECT_EQ(canvas.StrokeColour().green, 1);
    EXPECT_NEAR(canvas.StrokeColour().alpha, 127 / 255.0, 1e-9);
    EXPECT_EQ(canvas.FontSize(), 14);
    EXPECT_EQ(canvas.FillColour().red, 1);  // untouched by a style that does not name it

    canvas.ApplyStyle("fill:none;stroke:none");  // transparent, never black
    EXPECT_TRUE(canvas.FillColour().IsTransparent());
    EXPECT_TRUE(canvas.StrokeColour().IsTransparent());

    canvas.ApplyStyle("font-size:big;no colon;fill:;font-family:\"DejaVu Sans; Bold\"");
    EXPECT_EQ(canvas.FontSize(), 0);

    canvas.ApplyStyle("stroke-dasharray: 3, 3");
    EXPECT_EQ(canvas.DashPattern(), (std::vector<double>{3, 3}));
    canvas.ApplyStyle("stroke-dasharray:none");
    EXPECT_EQ(canvas.DashPattern(), (std::vector<double>{0}));
    canvas.ResetStyle();
    EXPECT_TRUE(canvas.DashPattern().empty());
    EXPECT_THROW(canvas.ApplyStyle("fill:\\q"), boost::escaped_list_error);
    EXPECT_TRUE(context.Calls().empty());  // styles alone draw nothing
}

TEST(SvgTransform, TranslationsWithSignsExponentsAndCommas) {
    struct Case {
        const char* text;
        bool matches;
        double x, y;
    } cases[] = {
        {"translate(10 20)", true, 10, 20},     {"translate(10,20)", true, 10, 20},
        {"translate(-5 10)", true, -5, 10},     {"translate(1e2, -2.5E-1)", true, 100, -0.25},
        {" translate( 3 , 4 ) ", true, 3, 4},   {"translate(7)", true, 7, 0},
        {"translate(1.2.3 4)", false, 0, 0},    {"scale(2)", false, 0, 0},
        {"translate(1 2) scale(2)", false, 0, 0}, {"translate(1 2", false, 0, 0},
        {"translate(,2)", false, 0, 0},         {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        std::optional<Gfx::Point> t = KVD::MatchTranslation(c.text);
        ASSERT_EQ(t.has_value(), c.matches) << c.text;
        if (t) {
            EXPECT_DOUBLE_EQ(t->x, c.x) << c.text;
            EXPECT_DOUBLE_EQ(t->y, c.y) << c.text;
        }
    }
    EXPECT_THROW(KVD::MatchTranslation("translate(1e50 0)"), KVD::bad_svg_exception);
}

TEST(SvgTransform, RotationsAndReferences) {
    EXPECT_EQ(KVD::MatchRotation("rotate(-90 12 40)"), -90.0f);
    EXPECT_EQ(KVD::MatchRotation("rotate(+45.5  1.5\t2)"), 45.5f);
    EXPECT_FALSE(KVD::MatchRotation("rotate(-90)"));  // no centre: not recognised
    EXPECT_FALSE(KVD::MatchRotation("rotate(-90,1,2)"));
    EXPECT_FALSE(KVD::MatchRotation(" rotate(1 2 3)"));
    EXPECT_THROW(KVD::MatchRotation("rotate(. 1 2)"), KVD::bad_svg_exception);

    EXPECT_EQ(KVD::ReduceReference("url(#clip1)"), "clip1");
    EXPECT_EQ(KVD::ReduceReference("url(#a)b)"), "a)b");
    EXPECT_EQ(KVD::ReduceReference("url(#a) "), "url(#a) ");
    EXPECT_EQ(KVD::ReduceReference("shadow"), "shadow");
}

}  // namespace
