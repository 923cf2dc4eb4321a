#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "graphics/Canvas.h"
#include "plot/PrintCanvasFromSVG.h"
#include "plot/fuzz/PrintableSvgFuzzEntry.h"

namespace {

// The seed corpus of the fuzz target, replayed through its entry (which aborts on a fault).
TEST(PrintableSvgFuzz, CorpusReplays) {
    const std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "printable-svg-corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(PrintableSvgFuzzOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0)
            << entry.path().filename();
        ++files;
    }
    EXPECT_GE(files, 14);
}

// The same corpus over a Cairo context: whatever the SVG did, what is drawn after it lands
// where it is meant to, as the data view's overlays do.
TEST(PrintableSvgFuzz, CorpusLeavesACairoContextDrawing) {
    const std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "printable-svg-corpus";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto image = Gfx::Canvas::CreateImage(60, 60);
        Gfx::Context& context = image->GetContext();
        try {
            KVD::PrintCanvasFromSVG(context, bytes, 0.5f, 0.5f, 2, 3);
        } catch (const std::exception&) {
            // refused; the context must still be usable
        }
        context.SetShouldAntialias(false);
        context.SetFillColor({1, 0, 0, 1});
        context.FillRect({54, 54, 4, 4});
        EXPECT_EQ(image->Snapshot().Pixel(55, 55), 0xFFFF0000u) << entry.path().filename();
    }
}

}  // namespace
