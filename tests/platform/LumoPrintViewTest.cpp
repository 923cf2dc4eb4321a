// The host's print view given a plot's SVG: copied as a PDF of its rectangle, printed scaled to
// the paper's printable area, and refused when the SVG cannot be drawn.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/PdfRaster.h"
#include "support/TempFolder.h"
#include "web/LumoPrintView.h"

namespace {

// Red left half, blue right half, 200 by 100.
const char* const kTwoHalves =
    "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'>"
    "<rect x='0' y='0' width='100' height='100' fill='#ff0000'/>"
    "<rect x='100' y='0' width='100' height='100' fill='#0000ff'/></svg>";

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

TEST(LumoPrintView, ACopyIsThePdfOfTheViewRectangle)
{
    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Clear();
    Web::LumoPrintView view(kTwoHalves, AppKit::Rect{0, 0, 400, 200});
    view.SetCopyingOperation(true);
    EXPECT_TRUE(view.HasSVG());
    ASSERT_TRUE(view.Print(nullptr));
    const Gfx::Image image = TestSupport::RasterizePDF(pasteboard.Read(AppKit::Pasteboard::kPdfType));
    ASSERT_EQ(image.Width(), 400);
    ASSERT_EQ(image.Height(), 200);
    EXPECT_EQ(image.Pixel(100, 100), kRed);
    EXPECT_EQ(image.Pixel(300, 100), kBlue);
    // The same drawing through the pasteboard writer, at another size.
    pasteboard.Clear();
    view.WritePDFInsideRect(AppKit::Rect{0, 0, 100, 100}, pasteboard);
    const Gfx::Image square = TestSupport::RasterizePDF(pasteboard.Read(AppKit::Pasteboard::kPdfType));
    ASSERT_EQ(square.Width(), 100);
    EXPECT_EQ(square.Pixel(50, 10), kWhite);  // proportions kept: a band in the middle
    EXPECT_EQ(square.Pixel(25, 50), kRed);
    EXPECT_EQ(square.Pixel(75, 50), kBlue);
}

TEST(LumoPrintView, APrintFitsThePrintableArea)
{
    TestSupport::TempFolder folder;
    AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
    const AppKit::PrintInfo saved = info;
    info = AppKit::PrintInfo();
    info.savingPath = (folder.Path() / "plot.pdf").string();
    Web::LumoPrintView view(kTwoHalves, AppKit::Rect{0, 0, 400, 200});
    const bool printed = view.Print(nullptr);
    info = saved;
    ASSERT_TRUE(printed);
    std::ifstream in(folder.Path() / "plot.pdf", std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Gfx::Image page = TestSupport::RasterizePDF(pdf);
    ASSERT_EQ(page.Width(), 596);  // A4, 595.3 points
    ASSERT_EQ(page.Height(), 842);
    // 523 points wide between the margins, half as high, in the middle of the area.
    EXPECT_EQ(page.Pixel(40, 421), kRed);
    EXPECT_EQ(page.Pixel(555, 421), kBlue);
    EXPECT_EQ(page.Pixel(297, 100), kWhite);
    EXPECT_EQ(page.Pixel(20, 421), kWhite);
}

TEST(LumoPrintView, AnSvgItCannotDrawIsRefused)
{
    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Clear();
    const int before = pasteboard.ChangeCount();
    for (const char* svg : {"", "<svg", "not svg at all", "<svg xmlns='http://www.w3.org/2000/svg'><rect"}) {
        Web::LumoPrintView view(svg, AppKit::Rect{0, 0, 100, 100});
        view.SetCopyingOperation(true);
        EXPECT_THROW(view.Print(nullptr), std::invalid_argument) << svg;
    }
    EXPECT_EQ(pasteboard.ChangeCount(), before);
    EXPECT_FALSE(pasteboard.Has(AppKit::Pasteboard::kPdfType));
    // Nothing to draw on.
    Web::LumoPrintView empty(kTwoHalves, AppKit::Rect{});
    EXPECT_THROW(empty.DataWithPDFInsideRect(AppKit::Rect{}), std::invalid_argument);
}

}  // namespace
