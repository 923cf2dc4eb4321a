#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "graphics/Canvas.h"
#include "graphics/Screen.h"
#include "graphics/Text.h"
#include "support/PdfRaster.h"

using Gfx::Canvas;
using Gfx::Color;
using Gfx::Image;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
constexpr Color kWhiteC{1, 1, 1, 1}, kBlackC{0, 0, 0, 1}, kRedC{1, 0, 0, 1}, kBlueC{0, 0, 1, 1};

// Sharp edges, a white page: what both the PNG and the PDF probes expect.
std::unique_ptr<Canvas> Prepared(std::unique_ptr<Canvas> canvas) {
    Gfx::Context& c = canvas->GetContext();
    c.SetShouldAntialias(false);
    c.SetFillColor(kWhiteC);
    c.FillRect({0, 0, canvas->GetSize().width, canvas->GetSize().height});
    return canvas;
}

// A 1-unit line along y = 5.5, a filled square at (10,10)-(20,20), a blue ellipse inside
// (30,10)-(50,30) clipped to its left half.
void DrawProbeScene(Gfx::Context& c) {
    c.SetStrokeColor(kBlackC);
    c.SetLineWidth(1);
    c.MoveTo(0, 5.5);
    c.LineTo(40, 5.5);
    c.StrokePath();
    c.SetFillColor(kRedC);
    c.FillRect({10, 10, 10, 10});
    c.SaveState();
    c.ClipToRect({30, 10, 10, 20});
    c.SetFillColor(kBlueC);
    c.AddEllipse({30, 10, 20, 20});
    c.FillPath();
    c.RestoreState();
}

void ExpectProbeScene(const Image& image) {
    ASSERT_EQ(image.Width(), 60);
    ASSERT_EQ(image.Height(), 40);
    EXPECT_EQ(image.Pixel(20, 5), kBlack);
    EXPECT_EQ(image.Pixel(20, 4), kWhite);
    EXPECT_EQ(image.Pixel(20, 6), kWhite);
    EXPECT_EQ(image.Pixel(10, 10), kRed);
    EXPECT_EQ(image.Pixel(19, 19), kRed);
    EXPECT_EQ(image.Pixel(20, 20), kWhite);
    EXPECT_EQ(image.Pixel(9, 15), kWhite);
    EXPECT_EQ(image.Pixel(38, 20), kBlue);   // inside the ellipse and the clip
    EXPECT_EQ(image.Pixel(42, 20), kWhite);  // inside the ellipse, outside the clip
    EXPECT_EQ(image.Pixel(31, 11), kWhite);  // inside the clip, outside the ellipse
}

}  // namespace

TEST(CairoCanvas, ImageCanvasDrawsShapesWithSharpEdges) {
    auto canvas = Prepared(Canvas::CreateImage(60, 40));
    DrawProbeScene(canvas->GetContext());
    ExpectProbeScene(canvas->Snapshot());
}

TEST(CairoCanvas, PdfCanvasReadsBackAsTheSamePixels) {
    auto canvas = Prepared(Canvas::CreatePDF(60, 40));
    DrawProbeScene(canvas->GetContext());
    const std::string& pdf = canvas->Finish();
    ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    ExpectProbeScene(TestSupport::RasterizePDF(pdf));
}

TEST(CairoCanvas, PdfPagesAndSvgDocuments) {
    auto pdf = Canvas::CreatePDF(60, 40);
    pdf->GetContext().FillRect({0, 0, 60, 40});
    pdf->NewPage();
    pdf->GetContext().SetFillColor(kRedC);
    pdf->GetContext().FillRect({0, 0, 60, 40});
    const std::string& bytes = pdf->Finish();
    EXPECT_NE(bytes.find("/Count 2"), std::string::npos);
    EXPECT_EQ(TestSupport::RasterizePDF(bytes, 2).Pixel(30, 20), kRed);
    pdf->GetContext().FillRect({0, 0, 1, 1});  // after the end: ignored, no crash
    EXPECT_EQ(pdf->Finish().size(), bytes.size());

    auto svg = Canvas::CreateSVG(60, 40);
    svg->GetContext().FillRect({0, 0, 10, 10});
    const std::string& text = svg->Finish();
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"60"), std::string::npos);
    EXPECT_TRUE(svg->Snapshot().IsEmpty());
}

TEST(CairoCanvas, OriginsAndTransforms) {
    auto page = Canvas::CreateImage(20, 10, Gfx::Origin::BottomLeft);
    Gfx::Context& c = page->GetContext();
    EXPECT_DOUBLE_EQ(c.CurrentMatrix().d, 1);
    c.SetShouldAntialias(false);
    c.FillRect({0, 0, 1, 1});  // the bottom-left pixel of a page
    c.SaveState();
    c.Translate(20, 10);
    c.Scale(-1, -1);
    c.FillRect({0, 0, 1, 1});  // the top-right one
    c.RestoreState();
    EXPECT_DOUBLE_EQ(c.CurrentMatrix().tx, 0);
    Image image = page->Snapshot();
    EXPECT_EQ(image.Pixel(0, 9), kBlack);
    EXPECT_EQ(image.Pixel(19, 0), kBlack);
    EXPECT_EQ(image.Pixel(0, 0), 0u);

    auto view = Canvas::CreateImage(20, 10);
    EXPECT_LT(view->GetContext().CurrentMatrix().d, 0);
    Gfx::Rect clip = view->GetContext().ClipBounds();
    EXPECT_DOUBLE_EQ(clip.Bottom(), 10);
}

TEST(CairoCanvas, RotationTurnsUserSpaceAboutItsOrigin) {
    auto view = Canvas::CreateImage(20, 20);
    Gfx::Context& c = view->GetContext();
    c.SetShouldAntialias(false);
    c.Translate(10, 10);
    c.Rotate(M_PI / 2);  // top-down: +x turns to +y, i.e. downwards on the image
    c.FillRect({0, 0, 8, 1});
    Image image = view->Snapshot();
    EXPECT_EQ(image.Pixel(9, 15), kBlack);
    EXPECT_EQ(image.Pixel(15, 10), 0u);
    Gfx::Point p = c.CurrentMatrix().Apply({1, 0});
    EXPECT_NEAR(p.x, 10, 1e-9);
    EXPECT_NEAR(p.y, 9, 1e-9);  // base space: one unit down from (10, 10)
}

TEST(CairoCanvas, AlphaColoursBlendAndClearMakesTransparent) {
    auto canvas = Prepared(Canvas::CreateImage(10, 10));
    Gfx::Context& c = canvas->GetContext();
    c.SetFillColor({1, 0, 0, 0.5});
    c.FillRect({0, 0, 5, 10});
    c.ClearRect({5, 0, 5, 10});
    Image image = canvas->Snapshot();
    uint32_t half = image.Pixel(2, 2);
    EXPECT_EQ(half >> 24, 0xFFu);
    EXPECT_EQ((half >> 16) & 0xFF, 0xFFu);
    EXPECT_NEAR(double((half >> 8) & 0xFF), 127.5, 1.0);  // white under half red
    EXPECT_EQ(image.Pixel(7, 2), 0u);
}

TEST(CairoCanvas, DashesLeaveGaps) {
    auto canvas = Prepared(Canvas::CreateImage(20, 3));
    Gfx::Context& c = canvas->GetContext();
    c.SetLineDash(0, {2, 4});
    c.SetLineCap(Gfx::LineCap::Butt);
    c.MoveTo(0, 1.5);
    c.LineTo(20, 1.5);
    c.StrokePath();
    Image image = canvas->Snapshot();
    EXPECT_EQ(image.Pixel(0, 1), kBlack);
    EXPECT_EQ(image.Pixel(1, 1), kBlack);
    EXPECT_EQ(image.Pixel(2, 1), kWhite);
    EXPECT_EQ(image.Pixel(5, 1), kWhite);
    EXPECT_EQ(image.Pixel(6, 1), kBlack);
}

TEST(CairoCanvas, TextIsDrawnUprightWhereMeasured) {
    Gfx::Size size = Gfx::MeasureText("Hello", 11);
    EXPECT_GT(size.width, 20);
    EXPECT_LT(size.width, 40);
    EXPECT_GT(size.height, 11);
    EXPECT_LT(size.height, 16);
    EXPECT_GT(Gfx::MeasureText("Hello Hello", 11).width, 2 * size.width);
    EXPECT_DOUBLE_EQ(Gfx::MeasureText("Hello", 22).width, 2 * size.width);

    for (bool flipped : {true, false}) {
        auto canvas = Prepared(Canvas::CreateImage(60, 30, flipped ? Gfx::Origin::TopLeft : Gfx::Origin::BottomLeft));
        Gfx::Context& c = canvas->GetContext();
        // "T": its bar lies near the top of the line box, its stem below.
        c.DrawText({10, flipped ? 5.0 : 25.0}, "T", 20, kBlackC, flipped);
        EXPECT_DOUBLE_EQ(c.MeasureText("T", 20).width, Gfx::MeasureText("T", 20).width);
        Image image = canvas->Snapshot();
        int top = -1, bottom = -1, left = 60, right = -1;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x)
                if (image.Pixel(x, y) == kBlack) {
                    top = top < 0 ? y : top;
                    bottom = y;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(top, 5) << "flipped " << flipped;
        EXPECT_LT(bottom, 5 + 25);
        EXPECT_GE(left, 10);
        EXPECT_LE(right, 10 + int(c.MeasureText("T", 20).width));
        int barWidth = 0, lowWidth = 0;
        for (int x = 0; x < 60; ++x) {
            barWidth += image.Pixel(x, top + 1) == kBlack;
            lowWidth += image.Pixel(x, bottom - 1) == kBlack;
        }
        EXPECT_GT(barWidth, 2 * lowWidth) << "the T stands upright, flipped " << flipped;
    }
}

TEST(CairoCanvas, ImagesAndLayersCopyUpright) {
    Image marker(4, 4);  // red top row, the rest blue
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            marker.SetPixel(x, y, y == 0 ? kRed : kBlue);

    auto view = Prepared(Canvas::CreateImage(30, 20));
    Gfx::Context& c = view->GetContext();
    c.DrawImage(marker, {2, 2}, 1.0, true);
    // A buffered view draws into a layer with top-down coordinates but no flip of its own:
    // the layer's base space arrives in the top-down context upside down, which puts the
    // content the right way up.
    std::unique_ptr<Gfx::Layer> layer = c.CreateLayer({6, 6});
    Gfx::Context& lc = layer->GetContext();
    lc.SetShouldAntialias(false);
    lc.SetFillColor(kBlueC);
    lc.FillRect({0, 0, 6, 6});
    lc.SetFillColor(kRedC);
    lc.FillRect({0, 0, 1, 1});
    c.DrawLayer(*layer, {10, 10});
    Image image = view->Snapshot();
    EXPECT_EQ(image.Pixel(2, 2), kRed);
    EXPECT_EQ(image.Pixel(5, 5), kBlue);
    EXPECT_EQ(image.Pixel(6, 6), kWhite);
    EXPECT_EQ(image.Pixel(10, 10), kRed);
    EXPECT_EQ(image.Pixel(11, 10), kBlue);
    EXPECT_EQ(image.Pixel(15, 15), kBlue);
    EXPECT_EQ(image.Pixel(16, 16), kWhite);

    auto page = Prepared(Canvas::CreateImage(10, 10, Gfx::Origin::BottomLeft));
    page->GetContext().DrawImage(marker, {0, 0}, 1.0, false);  // bottom-left corner at the origin
    Image onPage = page->Snapshot();
    EXPECT_EQ(onPage.Pixel(0, 6), kRed);
    EXPECT_EQ(onPage.Pixel(0, 9), kBlue);

    std::unique_ptr<Gfx::Layer> screenLayer = Gfx::MainScreenContext().CreateLayer({8, 8});
    EXPECT_DOUBLE_EQ(screenLayer->GetContext().ClipBounds().width, 8);
}

TEST(CairoCanvas, ShadowsFallBesideWhatIsPainted) {
    auto canvas = Prepared(Canvas::CreateImage(30, 30));
    Gfx::Context& c = canvas->GetContext();
    c.SaveState();
    c.SetShadow({5, -5}, 0, kBlueC);  // base space: right and down on a top-down canvas
    c.SetFillColor(kRedC);
    c.FillRect({5, 5, 10, 10});
    c.RestoreState();
    c.FillRect({20, 20, 2, 2});  // the shadow is state: gone after the restore
    Image image = canvas->Snapshot();
    EXPECT_EQ(image.Pixel(10, 10), kRed);
    EXPECT_EQ(image.Pixel(17, 17), kBlue);
    EXPECT_EQ(image.Pixel(3, 3), kWhite);
    EXPECT_EQ(image.Pixel(23, 23), kWhite);

    auto blurred = Prepared(Canvas::CreateImage(30, 30));
    blurred->GetContext().SetShadow({0, 0}, 6, kBlackC);
    blurred->GetContext().SetFillColor(kWhiteC);
    blurred->GetContext().FillRect({10, 10, 10, 10});
    uint32_t edge = blurred->Snapshot().Pixel(8, 15);
    EXPECT_NE(edge, kWhite);  // soft shade outside the square
    EXPECT_NE(edge, kBlack);
}
