// A plot's printable SVG drawn into a PDF page with scale and offset, read back with pdftoppm.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "graphics/Canvas.h"
#include "plot/PrintCanvasFromSVG.h"
#include "support/PdfRaster.h"
#include "support/Pictures.h"

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

int CountNear(const Gfx::Image& image, uint32_t rgb, int tolerance, Gfx::Rect area) {
    int count = 0;
    for (int y = int(area.y); y < int(area.Bottom()); ++y)
        for (int x = int(area.x); x < int(area.Right()); ++x) {
            uint32_t p = Rgb(image, x, y);
            bool near = true;
            for (int shift : {0, 8, 16})
                near = near && std::abs(int((p >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) <= tolerance;
            count += near;
        }
    return count;
}

// The page library's own print rendering of a time plot, placed as the data view places a plot.
TEST(PrintToPdf, PagePlotPrintsWithItsTextsAndShadow) {
    std::ifstream in(std::filesystem::path(SPIRO_TEST_DATA_DIR) / "printable-svg" / "page_plot.svg");
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto page = Gfx::Canvas::CreatePDF(842, 595);
    KVD::PrintCanvasFromSVG(page->GetContext(), svg, 1.2f, 1.2f, 20, 40);
    Gfx::Image image = TestSupport::RasterizePDF(page->Finish());
    ASSERT_EQ(image.Width(), 842);
    image.WritePNG(TestSupport::PicturePath("page_plot-pdf.png", "printable-svg"));

    // The data area: (75, 21) to (637, 325) in the SVG.
    const Gfx::Rect area{75 * 1.2 + 20, 21 * 1.2 + 40, 562 * 1.2, 304 * 1.2};
    EXPECT_GT(CountNear(image, 0xD62728, 40, area), 500);  // the trace
    EXPECT_GT(CountNear(image, 0x2CA02C, 40, area), 40);   // its markers, drawn by use
    EXPECT_EQ(Rgb(image, 20 + 5, 40 + 5), kWhite);         // the plot's own background
    EXPECT_EQ(Rgb(image, 5, 5), kWhite);                   // outside the plot: untouched
    // The tick label "0" hangs below the data area's bottom-left corner, centred on it.
    const Gfx::Rect zeroLabel{area.x - 6, area.Bottom() + 6, 12, 14};
    EXPECT_GT(CountNear(image, 0x000000, 100, zeroLabel), 5);
    // The shadow's black stroke runs along the data area's edge, under the white area.
    EXPECT_GT(CountNear(image, 0x000000, 100, {area.x, area.Bottom() - 1, area.width, 3}), 200);
}

}  // namespace
