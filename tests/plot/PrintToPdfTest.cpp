// A plot's printable SVG drawn into a PDF page with scale and offset, read back with pdftoppm.
#include <gtest/gtest.h>

#include "graphics/Canvas.h"
#include "plot/PrintCanvasFromSVG.h"
#include "support/PdfRaster.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

uint32_t Rgb(const Gfx::Image& image, int x, int y) {
    return image.Pixel(x, y) | 0xFF000000;
}

TEST(PrintToPdf, PlotLandsScaledAndOffsetOnThePage) {
    const std::string svg =
        "<svg xmlns:xlink='http://www.w3.org/1999/xlink' width='100' height='50'>"
        "<rect x='0' y='0' width='50' height='25' style='fill:#ff0000'/>"
        "<g transform='translate(50 25)'><rect x='0' y='0' width='50' height='25' style='fill:#0000ff'/></g>"
        "</svg>";
    auto page = Gfx::Canvas::CreatePDF(300, 200);
    Gfx::Context& context = page->GetContext();
    context.SetShouldAntialias(false);
    KVD::PrintCanvasFromSVG(context, svg, 2, 2, 40, 30);
    // Drawn after the plot, as the data view's overlays are: the reader left the state as it was.
    context.SetFillColor({0, 0.5, 0, 1});
    context.FillRect({0, 0, 10, 10});
    Gfx::Image image = TestSupport::RasterizePDF(page->Finish());
    ASSERT_EQ(image.Width(), 300);
    ASSERT_EQ(image.Height(), 200);
    // Red from (40, 30) to (140, 80), blue from (140, 80) to (240, 130).
    EXPECT_EQ(Rgb(image, 45, 35), 0xFFFF0000u);
    EXPECT_EQ(Rgb(image, 135, 75), 0xFFFF0000u);
    EXPECT_EQ(Rgb(image, 145, 85), 0xFF0000FFu);
    EXPECT_EQ(Rgb(image, 235, 125), 0xFF0000FFu);
    EXPECT_EQ(Rgb(image, 35, 35), kWhite);
    EXPECT_EQ(Rgb(image, 145, 75), kWhite);
    EXPECT_EQ(Rgb(image, 245, 135), kWhite);
    EXPECT_EQ(Rgb(image, 5, 5) & 0xFFFF00FFu, 0xFF000000u);  // green, at the page's own origin
    EXPECT_NEAR(int((Rgb(image, 5, 5) >> 8) & 0xFF), 0x80, 1);
    EXPECT_EQ(Rgb(image, 15, 15), kWhite);
}

}  // namespace
