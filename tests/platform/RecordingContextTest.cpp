#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "graphics/RecordingContext.h"

using Gfx::RecordingContext;
using testing::ElementsAre;

TEST(RecordingContext, LogsPathsAndPaintWithTheirArguments) {
    RecordingContext rc({100, 50});
    rc.SetStrokeColor({1, 0, 0.5, 0.25});
    rc.SetLineWidth(2);
    rc.SetLineCap(Gfx::LineCap::Square);
    rc.SetLineDash(0, {3, 3, 0.5});
    rc.BeginPath();
    rc.MoveTo(0.5, 5.5);
    rc.LineTo(10.5, -5.5);
    rc.CurveTo(1, 2, 3, 4, 5, 6);
    rc.ClosePath();
    rc.StrokePath();
    rc.AddEllipse({1, 2, 3, 4});
    rc.FillStrokePath();
    rc.ClearRect({0, 0, 100, 50});
    rc.SetShadow({2, -2}, 4, {0, 0, 0, 0.5});
    EXPECT_THAT(rc.Calls(),
                ElementsAre("SetStrokeColor(rgba(1, 0, 0.5, 0.25))", "SetLineWidth(2)", "SetLineCap(square)",
                            "SetLineDash(0, [3, 3, 0.5])", "BeginPath()", "MoveTo(0.5, 5.5)", "LineTo(10.5, -5.5)",
                            "CurveTo(1, 2, 3, 4, 5, 6)", "ClosePath()", "StrokePath()", "AddEllipse(1, 2, 3, 4)",
                            "FillStrokePath()", "ClearRect(0, 0, 100, 50)",
                            "SetShadow(2, -2, 4, rgba(0, 0, 0, 0.5))"));
    rc.ClearCalls();
    EXPECT_TRUE(rc.Calls().empty());
}

TEST(RecordingContext, TopDownOriginFlipsAndTransformsCompose) {
    RecordingContext topDown({100, 50});
    Gfx::Matrix m = topDown.CurrentMatrix();
    EXPECT_LT(m.d, 0);
    // The top-left corner of user space is the top-left of the base space, (0, 50).
    EXPECT_DOUBLE_EQ(topDown.CurrentMatrix().Apply({0, 0}).y, 50);

    RecordingContext page({100, 50}, Gfx::Origin::BottomLeft);
    page.Translate(10, 20);
    page.Scale(2, -1);
    Gfx::Point p = page.CurrentMatrix().Apply({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 12);  // scaled first, then moved
    EXPECT_DOUBLE_EQ(p.y, 19);
    Gfx::Point back = page.CurrentMatrix().Inverted().Apply(p);
    EXPECT_DOUBLE_EQ(back.x, 1);
    EXPECT_DOUBLE_EQ(back.y, 1);
}

TEST(RecordingContext, RotationIsLoggedAndKeptInTheMatrix) {
    RecordingContext page({100, 50}, Gfx::Origin::BottomLeft);
    page.Translate(10, 20);
    page.Rotate(M_PI / 2);
    EXPECT_EQ(page.Calls().back(), "Rotate(1.5708)");
    Gfx::Point p = page.CurrentMatrix().Apply({1, 0});
    EXPECT_NEAR(p.x, 10, 1e-9);  // +x turned to +y, then moved
    EXPECT_NEAR(p.y, 21, 1e-9);
}

TEST(RecordingContext, ClipNarrowsInUserSpaceAndRestores) {
    RecordingContext rc({100, 50});
    EXPECT_EQ(rc.ClipBounds(), (Gfx::Rect{0, 0, 100, 50}));

    rc.SaveState();
    rc.Translate(10, 10);
    rc.ClipToRect({0, 0, 20, 200});  // runs past the bottom edge
    EXPECT_EQ(rc.ClipBounds(), (Gfx::Rect{0, 0, 20, 40}));
    rc.ClipToRect({50, 0, 5, 5});  // outside the first: nothing left
    EXPECT_TRUE(rc.ClipBounds().IsEmpty());
    rc.RestoreState();
    EXPECT_DOUBLE_EQ(rc.ClipBounds().width, 100);
    EXPECT_DOUBLE_EQ(rc.CurrentMatrix().tx, 0);
    rc.RestoreState();  // unbalanced: logged, state kept
    EXPECT_DOUBLE_EQ(rc.ClipBounds().width, 100);
    EXPECT_EQ(rc.Calls().back(), "RestoreState()");
}

TEST(RecordingContext, TextImagesAndLayersShareOneLog) {
    RecordingContext rc({100, 50});
    rc.DrawText({2, 3}, "Hé", 11, {0, 0, 0, 1}, true);
    EXPECT_DOUBLE_EQ(rc.MeasureText("Hé", 10).width, 10);  // two characters, five each
    EXPECT_DOUBLE_EQ(rc.MeasureText("Hé", 10).height, 10);
    rc.DrawImage(Gfx::Image(4, 3), {5, 6}, 1, false);

    std::unique_ptr<Gfx::Layer> layer = rc.CreateLayer({40, 30});
    EXPECT_DOUBLE_EQ(layer->GetSize().width, 40);
    Gfx::Context& lc = layer->GetContext();
    EXPECT_DOUBLE_EQ(lc.CurrentMatrix().d, 1);  // a layer starts over its own base space
    lc.FillRect({0, 0, 40, 30});
    rc.DrawLayer(*layer, {7, 8});
    std::unique_ptr<Gfx::Layer> second = rc.CreateLayer({1, 1});
    second->GetContext().StrokePath();

    EXPECT_THAT(rc.Calls(), ElementsAre("DrawText(2, 3, \"Hé\", 11, rgba(0, 0, 0, 1), flipped)",
                                        "DrawImage(4x3, 5, 6, 1, unflipped)", "CreateLayer(40, 30) -> layer1",
                                        "layer1: FillRect(0, 0, 40, 30)", "DrawLayer(layer1, 7, 8)",
                                        "CreateLayer(1, 1) -> layer2", "layer2: StrokePath()"));
}

// Logged numbers read as "%g" prints them, including near the fixed/exponent switch, around
// rounding ties and at the powers of ten where the rounding carries into a new digit.
TEST(RecordingContext, NumbersAreLoggedAsPrintfGeneral) {
    std::vector<double> values = {0,       -0.0,     1,          -1,         0.5,       842,       595.000001,
                                  1e-4,    9.9999e-5, 0.00012345, 123456.5,   123457.5,  999999.4,  999999.5,
                                  1e6,     -1e6,     9.999995,   9.9999949,  0.1,       0.3,       2.675,
                                  1.0000005, 12345.65, 3.14159265, -273.15,   1e-5,      1e300,     1e-300,
                                  NAN,     INFINITY, -INFINITY};
    // The coordinates the print reader logs: floats widened to double, at several scales.
    for (int i = 0; i < 20000; ++i) {
        float column = static_cast<float>(i) + 0.5f;
        values.push_back(static_cast<double>(column * 0.4f + 10.0f));
        values.push_back(static_cast<double>(std::sin(i * 0.02f) * 40.0f - 3.0f) * 0.4);
        values.push_back(std::ldexp(static_cast<double>(i * 2654435761u % 1000003), i % 60 - 40));
        // A seventh digit of 5: the nearest double lies either side of the tie.
        char decimal[32];
        std::snprintf(decimal, sizeof decimal, "%d.%04d5e%d", 1 + i % 9, i % 10000, i % 9 - 4);
        values.push_back(std::strtod(decimal, nullptr));
    }
    for (double v : values) {
        RecordingContext rc({1, 1});
        rc.Rotate(v);
        char expected[64];
        std::snprintf(expected, sizeof expected, "Rotate(%g)", v == 0 ? 0.0 : v);
        ASSERT_EQ(rc.Calls().front(), expected) << "value " << std::hexfloat << v;
    }
}
