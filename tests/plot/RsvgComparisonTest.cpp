// The reader's drawing of hand-written printable SVG against librsvg's drawing of the same
// files (rsvg-convert): the same shapes in the same places, within a small pixel tolerance.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/Canvas.h"
#include "plot/PrintCanvasFromSVG.h"
#include "support/Pictures.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(SPIRO_TEST_DATA_DIR) / "printable-svg";
// Both drawings are kept here for a person to look at.
const fs::path kOutput = TestSupport::PictureFolder("printable-svg");

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Rgb {
    int r, g, b;
};

Rgb Unpremultiplied(uint32_t argb) {
    // Both drawings are on an opaque white ground.
    return {int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
}

// Ink: a pixel that is clearly not the white ground.
bool IsInk(Rgb c) {
    return 255 - std::min({c.r, c.g, c.b}) > 96;
}

bool SimilarColour(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 96 && std::abs(a.g - b.g) <= 96 && std::abs(a.b - b.b) <= 96;
}

// The share of a's ink pixels that have ink of a similar colour in b within radius pixels.
double MatchedInk(const Gfx::Image& a, const Gfx::Image& b, int radius, int& inkCount) {
    int matched = 0;
    inkCount = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            Rgb c = Unpremultiplied(a.Pixel(x, y));
            if (!IsInk(c))
                continue;
            ++inkCount;
            bool found = false;
            for (int dy = -radius; dy <= radius && !found; ++dy)
                for (int dx = -radius; dx <= radius && !found; ++dx) {
                    int bx = x + dx, by = y + dy;
                    if (bx < 0 || by < 0 || bx >= b.Width() || by >= b.Height())
                        continue;
                    Rgb d = Unpremultiplied(b.Pixel(bx, by));
                    found = IsInk(d) && SimilarColour(c, d);
                }
            matched += found;
        }
    return inkCount ? double(matched) / inkCount : 1.0;
}

Gfx::Image OurDrawing(const std::string& svg, int width, int height, const fs::path& png, float shift = 0) {
    auto canvas = Gfx::Canvas::CreateImage(width, height);
    Gfx::Context& context = canvas->GetContext();
    context.SetFillColor({1, 1, 1, 1});
    context.FillRect({0, 0, double(width), double(height)});
    KVD::PrintCanvasFromSVG(context, svg, 1, 1, shift, 0);
    canvas->WritePNG(png.string());
    return canvas->Snapshot();
}

// options: more of rsvg-convert's, such as a resolution for a document sized in points.
Gfx::Image RsvgDrawing(const fs::path& svg, const fs::path& png, const std::string& options = "") {
    std::string command = "rsvg-convert --background-color=white " + options + " -o '" + png.string() + "' '" +
                          svg.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? Gfx::Image::FromPNG(png.string()) : Gfx::Image();
}

// What the two draw differently by design goes before the comparison: librsvg 2.54 ignores
// "dominant-baseline" (texts are compared along x in texts.svg), and draws a filtered rect as
// its blurred alpha alone where the reader strokes it with a shadow.
std::string WithoutTextsAndFilters(const std::string& svg) {
    static const std::regex texts("<text[^>]*>[^<]*</text>"), filtered("<rect [^>]*filter=[^>]*/>");
    return std::regex_replace(std::regex_replace(svg, texts, ""), filtered, "");
}

// The share of one drawing's ink columns that have an ink column of the other within radius.
double MatchedColumns(const Gfx::Image& a, const Gfx::Image& b, int radius) {
    auto columns = [](const Gfx::Image& image) {
        std::vector<bool> ink(image.Width());
        for (int x = 0; x < image.Width(); ++x)
            for (int y = 0; y < image.Height() && !ink[x]; ++y)
                ink[x] = IsInk(Unpremultiplied(image.Pixel(x, y)));
        return ink;
    };
    std::vector<bool> inA = columns(a), inB = columns(b);
    int count = 0, matched = 0;
    for (int x = 0; x < int(inA.size()); ++x) {
        if (!inA[x])
            continue;
        ++count;
        bool found = false;
        for (int dx = -radius; dx <= radius && !found; ++dx)
            found = x + dx >= 0 && x + dx < int(inB.size()) && inB[x + dx];
        matched += found;
    }
    return count ? double(matched) / count : 1.0;
}

// Ink of one drawing matched by ink of the other, both ways, within two pixels.
constexpr double kShapeShare = 0.97;

struct Fixture {
    const char* name;
    int width, height;
    double minimumShare;  // of ink matched both ways
    // librsvg 2.54 ignores "dominant-baseline" and sets every text on its alphabetic baseline,
    // so texts are compared along x only: where each starts and ends by its anchor.
    bool alongXOnly = false;
    // Captured from the page library's copy('print'): compared without texts and filters.
    bool fromPage = false;
};

class RsvgComparison : public testing::TestWithParam<Fixture> {};

TEST_P(RsvgComparison, SameShapesInTheSamePlaces) {
    const Fixture& f = GetParam();
    fs::create_directories(kOutput);
    fs::path svgPath = kFixtures / (std::string(f.name) + ".svg");
    std::string svg = ReadFile(svgPath);
    if (f.fromPage) {
        svg = WithoutTextsAndFilters(svg);
        svgPath = kOutput / (std::string(f.name) + "-compared.svg");
        std::ofstream(svgPath) << svg;
    }
    Gfx::Image ours = OurDrawing(svg, f.width, f.height, kOutput / (std::string(f.name) + "-ours.png"));
    Gfx::Image theirs = RsvgDrawing(svgPath, kOutput / (std::string(f.name) + "-rsvg.png"));
    ASSERT_FALSE(theirs.IsEmpty()) << "rsvg-convert (Debian librsvg2-bin) must be installed";
    ASSERT_EQ(theirs.Width(), f.width);
    ASSERT_EQ(theirs.Height(), f.height);

    if (f.alongXOnly) {
        EXPECT_GE(MatchedColumns(ours, theirs, 2), f.minimumShare) << f.name;
        EXPECT_GE(MatchedColumns(theirs, ours, 2), f.minimumShare) << f.name;
        return;
    }
    int ourInk = 0, theirInk = 0;
    double oursInTheirs = MatchedInk(ours, theirs, 2, ourInk);
    double theirsInOurs = MatchedInk(theirs, ours, 2, theirInk);
    EXPECT_GT(ourInk, 50) << f.name;
    EXPECT_GE(oursInTheirs, f.minimumShare) << f.name << ": " << ourInk << " ink pixels of ours";
    EXPECT_GE(theirsInOurs, f.minimumShare) << f.name << ": " << theirInk << " ink pixels of librsvg's";
    // The same amount of ink: a shape drawn twice as thick or missing in one shows here.
    EXPECT_NEAR(double(ourInk) / theirInk, 1.0, 0.2) << f.name;
}

// The comparison sees a drawing four pixels off.
TEST(RsvgComparisonCheck, AShiftedDrawingFails) {
    fs::create_directories(kOutput);
    const fs::path svgPath = kFixtures / "shapes.svg";
    Gfx::Image shifted = OurDrawing(ReadFile(svgPath), 240, 160, kOutput / "shapes-shifted.png", 4);
    Gfx::Image theirs = RsvgDrawing(svgPath, kOutput / "shapes-rsvg.png");
    ASSERT_FALSE(theirs.IsEmpty());
    int ink = 0;
    EXPECT_LT(MatchedInk(shifted, theirs, 2, ink), kShapeShare);
}

// Drawn into an SVG document (the third kind of surface) and that drawn by librsvg: the same
// shapes as librsvg's drawing of the fixture itself.
TEST(RsvgComparisonCheck, SvgSurfaceRoundTrip) {
    fs::create_directories(kOutput);
    const fs::path svgPath = kFixtures / "groups.svg";
    auto document = Gfx::Canvas::CreateSVG(240, 160);
    KVD::PrintCanvasFromSVG(document->GetContext(), ReadFile(svgPath), 1, 1, 0, 0);
    const fs::path written = kOutput / "groups-surface.svg";
    std::ofstream(written, std::ios::binary) << document->Finish();
    Gfx::Image roundTrip = RsvgDrawing(written, kOutput / "groups-surface.png", "--dpi-x=72 --dpi-y=72");  // pt
    Gfx::Image theirs = RsvgDrawing(svgPath, kOutput / "groups-rsvg.png");
    ASSERT_FALSE(roundTrip.IsEmpty());
    ASSERT_FALSE(theirs.IsEmpty());
    int ink = 0;
    EXPECT_GE(MatchedInk(roundTrip, theirs, 2, ink), kShapeShare);
    EXPECT_GE(MatchedInk(theirs, roundTrip, 2, ink), kShapeShare);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RsvgComparison,
                         testing::Values(Fixture{"shapes", 240, 160, kShapeShare}, Fixture{"groups", 240, 160, kShapeShare},
                                         Fixture{"markers", 200, 120, kShapeShare}, Fixture{"timeplot", 320, 200, kShapeShare},
                                         Fixture{"texts", 240, 160, 0.95, true},
                                         Fixture{"page_plot", 640, 400, kShapeShare, false, true}),
                         [](const testing::TestParamInfo<Fixture>& info) { return std::string(info.param.name); });

}  // namespace
