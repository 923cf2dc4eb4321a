#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/property_tree/exceptions.hpp>
#include <boost/token_functions.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "graphics/RecordingContext.h"
#include "plot/BadSvgException.h"
#include "plot/PrintCanvasFromSVG.h"
#include "plot/SvgBounds.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

std::string Svg(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"400\" height=\"300\">" +
           body + "</svg>";
}

// The calls between the reader's own save and restore of the context's state.
std::vector<std::string> Draw(const std::string& body, float scale = 1, float offsetX = 0, float offsetY = 0) {
    Gfx::RecordingContext context({400, 300});
    KVD::PrintCanvasFromSVG(context, Svg(body), scale, scale, offsetX, offsetY);
    std::vector<std::string> calls = context.Calls();
    EXPECT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), "SaveState()");
    EXPECT_EQ(calls.back(), "RestoreState()");
    return std::vector<std::string>(calls.begin() + 1, calls.end() - 1);
}

TEST(PrintCanvasFromSVG, RectsFillWhenTheyCanElseStrokeAndMapScaleThenOffset) {
    EXPECT_THAT(Draw("<rect x='1' y='2' width='3' height='4' style='fill:#ff0000'/>", 2, 10, 5),
                ElementsAre("SetFillColor(rgba(1, 0, 0, 1))", "FillRect(12, 9, 6, 8)"));
    EXPECT_THAT(Draw("<rect x='1' y='2' width='3' height='4' style='fill:none;stroke:#0000ff'/>"),
                ElementsAre("SetStrokeColor(rgba(0, 0, 1, 1))", "StrokeRect(1, 2, 3, 4)"));
    EXPECT_THAT(Draw("<rect x='1' y='2' width='3' height='4' style='fill:none;stroke:none'/>"), ElementsAre());
    // A half-transparent red fill, and no stroke.
    EXPECT_THAT(Draw("<rect x=' 1 ' y='2' width='3' height='4' style='fill:#ff0000;fill-opacity:0.5'/>"),
                ElementsAre("SetFillColor(rgba(1, 0, 0, 0.498039))", "FillRect(1, 2, 3, 4)"));
}

TEST(PrintCanvasFromSVG, ShadowFilterStrokesTheRectWithAShadow) {
    EXPECT_THAT(Draw("<filter id='shadow-filter'><feGaussianBlur in='SourceAlpha' stdDeviation='3'/></filter>"
                     "<rect x='1' y='2' width='3' height='4' filter='url(#shadow-filter)' style='fill:#ffffff'/>"
                     "<filter id='plain'><feGaussianBlur in='SourceAlpha'/></filter>"
                     "<rect x='0' y='0' width='1' height='1' filter='url(#plain)' style=''/>"),
                ElementsAre("SaveState()", "SetShadow(2, 2, 3, rgba(0, 0, 0, 0.3))", "SetStrokeColor(rgba(0, 0, 0, 1))",
                            "StrokeRect(1, 2, 3, 4)", "RestoreState()",  //
                            "SaveState()", "SetShadow(2, 2, 1, rgba(0, 0, 0, 0.3))",  // blur 1 by default
                            "SetStrokeColor(rgba(0, 0, 0, 1))", "StrokeRect(0, 0, 1, 1)", "RestoreState()"));
}

TEST(PrintCanvasFromSVG, PathsMoveAndLineWithCommasAndFullNumbers) {
    EXPECT_THAT(Draw("<path d='M10 20 L30 40 50 60' style='stroke:#00ff00'/>", 2, 1, 0),
                ElementsAre("BeginPath()", "MoveTo(21, 40)", "LineTo(61, 80)", "LineTo(101, 120)",
                            "SetStrokeColor(rgba(0, 1, 0, 1))", "StrokePath()"));
    EXPECT_THAT(Draw("<path d='M10,20L-1.5e1,.5 Z' style=''/>"),
                ElementsAre("BeginPath()", "MoveTo(10, 20)", "LineTo(-15, 0.5)", "SetStrokeColor(rgba(0, 0, 0, 1))",
                            "StrokePath()"));
    // A line with no point to start from starts there; pairs after an unknown command are not drawn.
    EXPECT_THAT(Draw("<path d='L1 2 L3 4 C5 6 7 8' style='stroke:none'/>"),
                ElementsAre("BeginPath()", "MoveTo(1, 2)", "LineTo(3, 4)", "BeginPath()"));
}

TEST(PrintCanvasFromSVG, TextsAlignOnTheirAnchorAndTurnAboutIt) {
    // Measured by the recording context: half the size per character wide, the size high.
    EXPECT_THAT(Draw("<text x='20' y='30' text-anchor='middle' dominant-baseline='text-after-edge'>Hi</text>", 2),
                ElementsAre("DrawText(32.5, 44, \"Hi\", 16, rgba(0, 0, 0, 1), flipped)"));
    EXPECT_THAT(Draw("<text style='font-size:10px' text-anchor='end' dominant-baseline='middle'>\n   Hi\n  </text>"),
                ElementsAre("DrawText(-9.5, -5, \"Hi\", 10, rgba(0, 0, 0, 1), flipped)"));
    EXPECT_THAT(Draw("<text x='12' y='40' style='font-size:10' text-anchor='middle' dominant-baseline='middle' "
                     "transform='rotate(-90 12 40)'>Label</text>"),
                ElementsAre("SaveState()", "Translate(7, 52.5)", "Rotate(-1.5708)",
                            "DrawText(0, 0, \"Label\", 10, rgba(0, 0, 0, 1), flipped)", "RestoreState()"));
    // Bytes that are not UTF-8 (the XML reader passes them on) end the text.
    EXPECT_THAT(Draw("<text x='1' y='2' style='font-size:10'>AB\xff\xfe" "C</text>"),
                ElementsAre("DrawText(1.5, 2, \"AB\", 10, rgba(0, 0, 0, 1), flipped)"));
    // Texts are drawn in the text colour, whatever the fill.
    EXPECT_THAT(Draw("<text x='1' y='2' style='font-size:10;fill:#ff0000'>A</text>"),
                ElementsAre("DrawText(1.5, 2, \"A\", 10, rgba(0, 0, 0, 1), flipped)"));
    // A rotation without its centre is not recognised: the text stands upright.
    EXPECT_THAT(Draw("<text x='1' y='2' style='font-size:10' transform='rotate(-90)'>A</text>"),
                ElementsAre("DrawText(1.5, 2, \"A\", 10, rgba(0, 0, 0, 1), flipped)"));
}

TEST(PrintCanvasFromSVG, CirclesEllipsesAndDashedLines) {
    EXPECT_THAT(Draw("<circle cx='2' cy='2' r='2' style='stroke:#ff0000'/>"),
                ElementsAre("BeginPath()", "AddEllipse(0, 0, 4, 4)", "SetStrokeColor(rgba(1, 0, 0, 1))",
                            "StrokePath()"));
    EXPECT_THAT(Draw("<ellipse cx='10' cy='20' rx='4' ry='2' style='' transform='rotate(30 10 20)'/>", 2),
                ElementsAre("SaveState()", "Translate(20, 40)", "Rotate(0.523599)", "BeginPath()",
                            "AddEllipse(-8, -4, 16, 8)", "SetStrokeColor(rgba(0, 0, 0, 1))", "StrokePath()",
                            "RestoreState()"));
    EXPECT_THAT(Draw("<line x1='0' y1='1' x2='10' y2='1' style='stroke:#0000ff;stroke-dasharray:3,3'/>"
                     "<line x1='0' y1='2' x2='10' y2='2' style='stroke-dasharray:none'/>"
                     "<line x1='0' y1='3' x2='10' y2='3' style=''/>"),
                ElementsAre("SetLineDash(0, [3, 3])", "BeginPath()", "MoveTo(0, 1)", "LineTo(10, 1)",
                            "SetStrokeColor(rgba(0, 0, 1, 1))", "StrokePath()", "SetLineDash(0, [])",
                            // "none" reads as a pattern of [0], which draws solid
                            "BeginPath()", "MoveTo(0, 2)", "LineTo(10, 2)", "SetStrokeColor(rgba(0, 0, 1, 1))",
                            "StrokePath()",
                            // each line clears the pattern before its own style
                            "BeginPath()", "MoveTo(0, 3)", "LineTo(10, 3)", "SetStrokeColor(rgba(0, 0, 1, 1))",
                            "StrokePath()"));
}

TEST(PrintCanvasFromSVG, GroupsTranslateAndClip) {
    EXPECT_THAT(Draw("<clipPath id='c'><rect x='9' y='9' width='9' height='9'/><rect x='0' y='1' width='50' "
                     "height='40'/></clipPath>"
                     "<g clip-path='url(#c)' transform='translate(-5, 6)'>"
                     "<rect x='1' y='1' width='1' height='1' style='fill:#000000'/></g>",
                     2),
                ElementsAre("Translate(-10, 12)", "SaveState()", "ClipToRect(0, 2, 100, 80)",  // the last rect
                            "SetFillColor(rgba(0, 0, 0, 1))", "FillRect(2, 2, 2, 2)", "RestoreState()",
                            "Translate(10, -12)"));
    // An undefined clip leaves nothing visible; a transform other than a translation none.
    EXPECT_THAT(Draw("<g clip-path='url(#none)' transform='scale(2)'></g>"),
                ElementsAre("SaveState()", "ClipToRect(0, 0, 0, 0)", "RestoreState()"));
}

TEST(PrintCanvasFromSVG, UsesDrawDefinitionsOfTheirOwnReadingOnly) {
    const std::string defs = "<defs><path id='cross' d='M0 0 L4 4 M4 0 L0 4' style='stroke-width:1'/></defs>";
    const std::string use = "<use xlink:href='#cross' x='8' y='8' style='stroke:#ff0000'/>";
    const std::vector<std::string> marker{"Translate(8, 8)", "BeginPath()",  "MoveTo(0, 0)",
                                          "LineTo(4, 4)",    "MoveTo(4, 0)", "LineTo(0, 4)",
                                          "SetStrokeColor(rgba(1, 0, 0, 1))", "StrokePath()",
                                          "Translate(-8, -8)"};
    EXPECT_THAT(Draw(defs + use), ElementsAreArray(marker));
    // Another print without the definition draws only the translation.
    EXPECT_THAT(Draw(use), ElementsAre("Translate(8, 8)", "Translate(-8, -8)"));
    // A use before the defs draws nothing, and takes nothing away from the uses after them.
    std::vector<std::string> twice{"Translate(8, 8)", "Translate(-8, -8)"};
    twice.insert(twice.end(), marker.begin(), marker.end());
    EXPECT_THAT(Draw(use + defs + use), ElementsAreArray(twice));
    // A later print's own definition of the same id is the one drawn.
    EXPECT_THAT(Draw("<defs><circle id='cross' cx='0' cy='0' r='1' style=''/></defs>" + use),
                ElementsAre("Translate(8, 8)", "BeginPath()", "AddEllipse(-1, -1, 2, 2)",
                            "SetStrokeColor(rgba(1, 0, 0, 1))", "StrokePath()", "Translate(-8, -8)"));
}

TEST(PrintCanvasFromSVG, WhatTheSubsetDoesNotNameIsIgnored) {
    EXPECT_THAT(Draw(""), ElementsAre());
    // The defs block's own attributes and comments are not definitions.
    EXPECT_THAT(Draw("<defs id='markers'><!-- markers --><circle id='m' cx='0' cy='0' r='1' style=''/></defs>"
                     "<use xlink:href='#m' x='1' y='1' style=''/>"),
                ElementsAre("Translate(1, 1)", "BeginPath()", "AddEllipse(-1, -1, 2, 2)",
                            "SetStrokeColor(rgba(0, 0, 0, 1))", "StrokePath()", "Translate(-1, -1)"));
    EXPECT_THAT(Draw("<!-- note --><Rect x='1' y='1' width='1' height='1' style=''/><tspan>x</tspan>"
                     "<polyline points='0 0 1 1'/><svg><rect/></svg>"),
                ElementsAre());
    // A child of a clip path that is not a rect draws and then defines a shadow of blur 0.
    EXPECT_THAT(Draw("<clipPath id='s'><circle cx='1' cy='1' r='1' style=''/></clipPath>"
                     "<rect x='0' y='0' width='2' height='2' filter='url(#s)' style=''/>"),
                ElementsAre("BeginPath()", "AddEllipse(0, 0, 2, 2)", "SetStrokeColor(rgba(0, 0, 0, 1))",
                            "StrokePath()", "SaveState()", "SetShadow(2, 2, 0, rgba(0, 0, 0, 0.3))",
                            "SetStrokeColor(rgba(0, 0, 0, 1))", "StrokeRect(0, 0, 2, 2)", "RestoreState()"));
}

template <class Exception>
void ExpectFailure(const std::string& svg, const char* what) {
    Gfx::RecordingContext context({400, 300});
    EXPECT_THROW(KVD::PrintCanvasFromSVG(context, svg, 1, 1, 0, 0), Exception) << what;
}

std::string Nested(int depth, const std::string& inner) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<g>";
        close += "</g>";
    }
    return open + inner + close;
}

TEST(PrintCanvasFromSVG, InvalidOrOversizedSvgFailsWithBadSvg) {
    const std::pair<std::string, const char*> cases[] = {
        {Svg("<clipPath id='c'><path d='M0 0' style=''/></clipPath>"), "path in a definition"},
        {Svg("<clipPath id='c'><g/></clipPath>"), "group in a definition"},
        {Svg("<filter id='f'><filter id='g'/></filter>"), "filter in a definition"},
        {Svg("<feGaussianBlur in='SourceAlpha'/>"), "blur outside a filter"},
        {Svg("<filter id='f'><feGaussianBlur in='SourceGraphic'/></filter>"), "blur of another input"},
        {Svg(Nested(KVD::kMaxSvgDepth, "")), "nested deeper than the limit"},
        {Svg([] {
             std::string many;
             for (size_t i = 0; i < KVD::kMaxSvgElements; ++i)
                 many += "<a/>";
             return many;
         }()),
         "more elements than the limit"},
        {std::string(KVD::kMaxSvgBytes + 1, ' '), "larger than the limit"},
        {Svg("<rect x='" + std::string(80, '1') + "' y='0' width='1' height='1' style=''/>"), "long attribute"},
        {Svg("<path d='M" + std::string(80, '1') + " 0' style=''/>"), "long path number"},
        {Svg("<path d='M1e39 0' style=''/>"), "path number beyond a float"},
        {Svg("<path d='M0 0 L2e7 0' style=''/>"), "path number beyond the magnitude bound"},
        {Svg("<rect x='-1.5e7' y='0' width='1' height='1' style=''/>"), "coordinate beyond the magnitude bound"},
        {Svg("<text x='1e8'>A</text>"), "optional coordinate beyond the magnitude bound"},
        {Svg("<g transform='translate(1e39 0)'/>"), "translation beyond a float"},
        {Svg("<text transform='rotate(. 1 2)'>x</text>"), "rotation that is not a number"},
        {Svg("<text>" + std::string(KVD::kMaxSvgTextBytes + 1, 'x') + "</text>"), "long text"},
        {Svg("<defs><g id='loop'><use xlink:href='#loop' x='0' y='0' style=''/></g></defs>"
             "<use xlink:href='#loop' x='0' y='0' style=''/>"),
         "a use that draws itself"},
        {Svg("<defs><g id='a'>" + std::string(300, ' ') + "</g></defs>" + [] {
             // Each level uses the one below ten times: ten to the sixth elements drawn.
             std::string defs = "<defs><circle id='l0' cx='0' cy='0' r='1' style=''/>";
             for (int level = 1; level <= 6; ++level) {
                 defs += "<g id='l" + std::to_string(level) + "'>";
                 for (int i = 0; i < 10; ++i)
                     defs += "<use xlink:href='#l" + std::to_string(level - 1) + "' x='0' y='0' style=''/>";
                 defs += "</g>";
             }
             return defs + "</defs><use xlink:href='#l6' x='0' y='0' style=''/>";
         }()),
         "uses that multiply"},
    };
    for (const auto& [svg, what] : cases)
        ExpectFailure<KVD::bad_svg_exception>(svg, what);
    // The nesting limit itself is allowed.
    Gfx::RecordingContext context({10, 10});
    EXPECT_NO_THROW(KVD::PrintCanvasFromSVG(context, Svg(Nested(KVD::kMaxSvgDepth - 1, "")), 1, 1, 0, 0));
}

TEST(PrintCanvasFromSVG, LibraryFailuresLeaveAsTheirOwnExceptions) {
    using boost::property_tree::ptree_bad_data;
    using boost::property_tree::ptree_bad_path;
    ExpectFailure<boost::property_tree::xml_parser_error>("<svg><rect></svg>", "not XML");
    ExpectFailure<ptree_bad_path>("<html/>", "no svg root");
    ExpectFailure<ptree_bad_path>(Svg("<rect x='1' y='1' width='1' style=''/>"), "no height");
    ExpectFailure<ptree_bad_path>(Svg("<use xlink:href='#a' x='1' y='1'/>"), "use without style");
    ExpectFailure<ptree_bad_data>(Svg("<rect x='1' y='1' width='10px' height='1' style=''/>"), "width in px");
    ExpectFailure<ptree_bad_data>(Svg("<circle cx='nan' cy='1' r='1' style=''/>"), "not a number");
    ExpectFailure<boost::escaped_list_error>(Svg("<rect x='1' y='1' width='1' height='1' style='a:\\q'/>"),
                                             "style escape");
}

TEST(PrintCanvasFromSVG, StateIsRestoredOnEveryWayOut) {
    Gfx::RecordingContext context({400, 300});
    const Gfx::Matrix before = context.CurrentMatrix();
    const Gfx::Rect clipBefore = context.ClipBounds();
    const std::string failing =
        Svg("<clipPath id='c'><rect x='0' y='0' width='5' height='5'/></clipPath>"
            "<g transform='translate(30 40)' clip-path='url(#c)'><g transform='translate(1 1)'>"
            "<rect x='1' y='1' width='1' style=''/></g></g>");
    EXPECT_THROW(KVD::PrintCanvasFromSVG(context, failing, 2, 2, 7, 7), std::exception);
    const Gfx::Matrix after = context.CurrentMatrix();
    EXPECT_EQ(after.tx, before.tx);
    EXPECT_EQ(after.ty, before.ty);
    EXPECT_EQ(after.d, before.d);
    EXPECT_EQ(context.ClipBounds(), clipBefore);
    int saves = 0, restores = 0;
    for (const std::string& call : context.Calls()) {
        saves += call == "SaveState()";
        restores += call == "RestoreState()";
    }
    EXPECT_EQ(saves, 2);  // the reader's own and the clip region's
    EXPECT_EQ(restores, 2);
    EXPECT_EQ(context.Calls().back(), "RestoreState()");
}

TEST(PrintCanvasFromSVG, BadSvgCarriesTheStringTableMessage) {
    try {
        Gfx::RecordingContext context({10, 10});
        KVD::PrintCanvasFromSVG(context, Svg("<feGaussianBlur in='SourceAlpha'/>"), 1, 1, 0, 0);
        ADD_FAILURE() << "no exception";
    } catch (const KVD::bad_svg_exception& e) {
        EXPECT_STREQ(e.what(), "Printable SVG generated by this plot is invalid");
    }
}

}  // namespace
