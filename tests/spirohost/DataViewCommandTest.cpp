// spirohost view of the data view: a generated recording's breaths as two plots in Chromium,
// written as PNG and printed to one PDF page, each plot's trace in its own half and the
// overlays' shading of the forced breath over both; the traces of long recordings as visible as
// those of a short one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "RunCommand.h"
#include "graphics/Image.h"
#include "support/PdfRaster.h"
#include "support/PixelCount.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

// The flow trace (#0040ff): more green than red, unlike the overlays' pure blue pen. The
// volume trace (#0e6a00): green ahead of both. The shading: a quarter of dark grey over white.
bool FlowBlue(int r, int g, int b) { return b - r > 80 && g - r > 15; }
bool VolumeGreen(int r, int g, int b) { return g - std::max(r, b) > 40; }
bool Shade(int r, int g, int b) { return std::abs(r - 0xD8) < 10 && r == g && g == b; }

// The traces' pixels in their own colours, not blended with any overlay: the screen's picture
// and the printed page rasterised at 100 dpi without antialiasing.
struct TracePixels {
    int flow = 0, volume = 0;
};

int CountColour(const Gfx::Image& image, uint32_t rgb)
{
    return TestSupport::CountPixels(image, 0, image.Height(), [rgb](int r, int g, int b) {
        return uint32_t(r << 16 | g << 8 | b) == rgb;
    });
}

TracePixels TracesOf(const Gfx::Image& image) { return {CountColour(image, 0x0040FF), CountColour(image, 0x0E6A00)}; }

// The screen's and the print's trace pixels of the data view of the recording.
std::pair<TracePixels, TracePixels> ViewTraces(const std::string& edf, const std::filesystem::path& folder)
{
    const auto png = folder / "view.png", pdf = folder / "view.pdf";
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " view " + edf + " --bundle " + SPIRO_BUNDLE_DIR +
                                           " --raw 1 --scale 2 --view \"Spirometry Data View\" --png " + png.string() +
                                           " --print " + pdf.string() + " 2>&1",
                                       &status);
    EXPECT_EQ(status, 0) << out;
    const Gfx::Image page = TestSupport::RasterizePDFFileWith(pdf.string(), "-r 100 -f 1 -l 1");
    EXPECT_FALSE(page.IsEmpty());
    return {TracesOf(Gfx::Image::FromPNG(png.string())), TracesOf(page)};
}

TEST(DataViewCommand, WritesAndPrintsBothPlotsWithTheirOverlays)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    TestSupport::TempFolder folder;
    const std::string edf = (folder.Path() / "breathing.edf").string();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + edf + " --quiet 3 --forced 1 --seed 5 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const auto png = folder.Path() / "data.png";
    const auto pdf = folder.Path() / "data.pdf";
    out = RunCommand(Spirohost() + " view " + edf + " --bundle " + SPIRO_BUNDLE_DIR +
                         " --raw 1 --scale 1 --view \"Spirometry Data View\" --png " + png.string() + " --print " +
                         pdf.string() + " 2>&1",
                     &status);
    ASSERT_EQ(status, 0) << out;

    // The window: flow above the divider at 302, volume below.
    const Gfx::Image window = Gfx::Image::FromPNG(png.string());
    ASSERT_EQ(window.Width(), 800);
    EXPECT_GT(TestSupport::CountPixels(window, 0, 302, FlowBlue), 300);
    EXPECT_EQ(TestSupport::CountPixels(window, 302, window.Height(), FlowBlue), 0);
    EXPECT_GT(TestSupport::CountPixels(window, 302, window.Height(), VolumeGreen), 300);
    EXPECT_EQ(TestSupport::CountPixels(window, 0, 302, VolumeGreen), 0);
    EXPECT_GT(TestSupport::CountPixels(window, 0, 302, Shade), 5000);
    EXPECT_GT(TestSupport::CountPixels(window, 302, window.Height(), Shade), 5000);

    // One page: the pair centred below the wide top margin, the flow plot first.
    out = RunCommand("pdfinfo " + pdf.string() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Pages:           1"), std::string::npos) << out;
    const auto page = folder.Path() / "page";
    out = RunCommand("pdftoppm -png -r 72 -singlefile " + pdf.string() + " " + page.string() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const Gfx::Image printed = Gfx::Image::FromPNG(page.string() + ".png");
    // A4 at 72 dpi less margins 200 and 20 and the header and footer (24 each); plots of 800
    // by 299 each, scaled to the width.
    const double scale = std::min(595.276 / 800, (841.89 - 200 - 20 - 48) / 598);
    const int middle = int(224 + (841.89 - 200 - 20 - 48 - 598 * scale) / 2 + 299 * scale);
    EXPECT_GT(TestSupport::CountPixels(printed, 0, middle, FlowBlue), 100);
    EXPECT_GT(TestSupport::CountPixels(printed, middle, printed.Height(), VolumeGreen), 100);
    EXPECT_EQ(TestSupport::CountPixels(printed, middle, printed.Height(), FlowBlue), 0);
    EXPECT_GT(TestSupport::CountPixels(printed, 0, middle, Shade), 1000);
    EXPECT_GT(TestSupport::CountPixels(printed, middle, printed.Height(), Shade), 1000);
}

// An hour's breaths share the plots' columns a few to each; their lines must not bury the
// traces. The 88 s sample's breaths lie apart, tens of pixels each.
TEST(DataViewCommand, TheTracesOfLongRecordingsStayVisible)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    TestSupport::TempFolder folder;
    const auto [screen, print] = ViewTraces(std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf", folder.Path());
    ASSERT_GT(screen.flow, 0);
    ASSERT_GT(screen.volume, 0);
    ASSERT_GT(print.flow, 1000);
    ASSERT_GT(print.volume, 1000);
    // 56 min and 2.5 h.
    for (const char* quiet : {"300", "800"}) {
        const std::string edf = (folder.Path() / "long.edf").string();
        int status = -1;
        const std::string out =
            RunCommand(Spirohost() + " generate " + edf + " --quiet " + quiet + " --forced 2 2>&1", &status);
        ASSERT_EQ(status, 0) << out;
        const auto [longScreen, longPrint] = ViewTraces(edf, folder.Path());
        EXPECT_GE(2 * longScreen.flow, screen.flow) << quiet;
        EXPECT_GE(2 * longScreen.volume, screen.volume) << quiet;
        EXPECT_GE(2 * longPrint.flow, print.flow) << quiet;
        EXPECT_GE(2 * longPrint.volume, print.volume) << quiet;
    }
}

}  // namespace
