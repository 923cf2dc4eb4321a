// A plot's printable SVG drawn as PDF places its texts as the page's canvas does: a text hangs
// from its anchor, is centred on it, or stands on it as its "dominant-baseline" says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/PdfRaster.h"
#include "web/SvgPdf.h"

namespace {

constexpr double kEm = 40;  // font size of the probes; a capital H is 0.73 em high

// A black "H" at (x, y) in the printable SVG's text form.
std::string Text(int x, int y, const std::string& baseline, const std::string& extra = "")
{
    return "<text x='" + std::to_string(x) + "' y='" + std::to_string(y) +
           "' style='font-size:40px;font-family:sans-serif;fill:#000000' text-anchor='start'" +
           (baseline.empty() ? "" : " dominant-baseline='" + baseline + "'") + extra + ">H</text>";
}

struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when there is none
};

// The box of the dark pixels between columns x0 and x1.
Ink InkBetween(const Gfx::Image& image, int x0, int x1)
{
    Ink ink;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = x0; x < x1 && x < image.Width(); ++x) {
            if ((image.Pixel(x, y) & 0xFF) >= 128)
                continue;
            if (ink.top < 0)
                ink = {x, y, x, y};
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.bottom = y;
        }
    }
    return ink;
}

TEST(SvgToPdf, TextsStandAgainstTheirAnchorAsTheirBaselineSays)
{
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='560' height='200'>" +
                            Text(20, 100, "text-before-edge") + Text(120, 100, "middle") +
                            Text(220, 100, "text-after-edge") + Text(320, 100, "") +
                            Text(500, 150, "text-before-edge", " transform='rotate(-90 500 150)'") + "</svg>";
    std::string pdf, error;
    ASSERT_TRUE(Web::SvgToPdf(svg, Gfx::Size{560, 200}, Gfx::Rect{0, 0, 560, 200}, pdf, error)) << error;
    const Gfx::Image page = TestSupport::RasterizePDF(pdf);
    ASSERT_EQ(page.Width(), 560);

    // Hanging: all of it below the anchor (an axis's label below the frame), close to it.
    const Ink top = InkBetween(page, 0, 100);
    EXPECT_GT(top.top, 100);
    EXPECT_LT(top.top, 100 + 0.2 * kEm);
    // Centred: its middle near the anchor.
    const Ink middle = InkBetween(page, 100, 200);
    ASSERT_GE(middle.top, 0);
    EXPECT_NEAR((middle.top + middle.bottom) / 2.0, 100, 0.1 * kEm);
    // Standing on the anchor with its descent: all of it above, close to it.
    const Ink bottom = InkBetween(page, 200, 300);
    ASSERT_GE(bottom.top, 0);
    EXPECT_LT(bottom.bottom, 100);
    EXPECT_GT(bottom.bottom, 100 - 0.4 * kEm);
    // Without a baseline named, on the alphabetic one.
    const Ink plain = InkBetween(page, 300, 400);
    EXPECT_NEAR(plain.bottom, 100, 2);
    // Turned a quarter against the clock, hanging from its anchor means right of it.
    const Ink turned = InkBetween(page, 400, 560);
    EXPECT_GT(turned.left, 500);
    EXPECT_LT(turned.left, 500 + 0.2 * kEm);
    EXPECT_LT(turned.bottom, 150);
}

}  // namespace
