// Every image the code names is one of the bundle's, drawn at its size and at twice it, so that
// no picture shows the platform's placeholder: found by name in the sources, and on every
// button of the data pane's controls and the preview's views.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "appkit/Window.h"
#include "foundation/BundleImage.h"
#include "trace/PreviewControlMac.h"
#include "trace/PreviewMasterView.h"
#include "trace/ZoomControlMac.h"

using namespace OrrelDraw;

namespace {

namespace fs = std::filesystem;

// Image names in the sources: literals ending in ".png" or in a size ("_20x16"), and the
// literals of constants named k...Image.
std::set<std::string> ImageNamesInSources()
{
    const std::regex named(R"re("([A-Za-z][A-Za-z0-9_]*(?:\.png|_[0-9]+x[0-9]+))")re");
    const std::regex constant(R"re(k[A-Za-z]*Image\s*=\s*"([A-Za-z0-9_.]+)")re");
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(SPIRO_TEST_DATA_DIR) / ".." / ".." / "src")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (const std::regex* re : {&named, &constant})
            for (std::sregex_iterator it(source.begin(), source.end(), *re), end; it != end; ++it)
                names.insert((*it)[1]);
    }
    return names;
}

int PngSide(const std::string& path, int offset)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char b[4] = {};
    in.seekg(offset);
    in.read(reinterpret_cast<char*>(b), 4);
    return (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

TEST(BundleImages, EveryImageNamedInTheSourcesIsInTheBundleAtOneAndTwiceItsSize)
{
    const std::set<std::string> names = ImageNamesInSources();
    for (const char* expected : {"ChannelPaneCursor", "ViewTraceSeparate_16x16", "OrrelDoc_20x16.png",
                                 "CompressionZoomOut.png", "ScrollToEnd.png"})
        EXPECT_EQ(names.count(expected), 1u) << expected;
    const std::string resources = fs::canonical(fs::path(SPIRO_BUNDLE_DIR) / "Resources").string();
    for (const std::string& name : names) {
        const AppKit::NamedImage image = KVDGetMyBundleImage(name);
        ASSERT_FALSE(image.IsPlaceholder()) << name;
        EXPECT_EQ(fs::canonical(image.Path()).string().rfind(resources, 0), 0u) << image.Path();
        // Width and height stand big-endian at bytes 16 and 20 of a PNG.
        const int width = PngSide(image.Path(), 16), height = PngSide(image.Path(), 20);
        EXPECT_EQ(image.Size().width, width) << name;
        std::smatch size;
        if (std::regex_search(name, size, std::regex("_([0-9]+)x([0-9]+)"))) {
            EXPECT_EQ(width, std::stoi(size[1])) << name;
            EXPECT_EQ(height, std::stoi(size[2])) << name;
        }
        fs::path twice = image.Path();
        twice.replace_filename(twice.stem().string() + "@2x.png");
        ASSERT_TRUE(fs::exists(twice)) << twice;
        EXPECT_EQ(PngSide(twice.string(), 16), 2 * width) << name;
        EXPECT_EQ(PngSide(twice.string(), 20), 2 * height) << name;
    }
    EXPECT_TRUE(KVDGetMyBundleImage("NoSuchImage_16x16").IsPlaceholder());
}

// Every button below the view that shows an image.
void CheckButtons(const AppKit::View& view, int* buttons)
{
    if (const auto* button = dynamic_cast<const AppKit::Button*>(&view)) {
        if (!button->Image().Name().empty()) {
            ++*buttons;
            EXPECT_FALSE(button->Image().IsPlaceholder()) << button->Identifier() << " " << button->Image().Name();
        }
    }
    for (const auto& sub : view.Subviews())
        CheckButtons(*sub, buttons);
}

TEST(BundleImages, TheControlsAndThePreviewsButtonsShowTheirImages)
{
    AppKit::Window window(AppKit::Rect{0, 0, 600, 300});
    window.ContentView().AddSubview(std::make_unique<SPIRO_PreviewMasterView>(AppKit::Rect{0, 0, 600, 300}));
    ZoomControlMac zoom(nullptr, window.ContentView(), kZoomAutoFitButton | kZoomScrollToEndButton);
    PreviewControlMac preview(nullptr, window.ContentView(), 0);
    int buttons = 0;
    CheckButtons(window.ContentView(), &buttons);
    // Three view modes, four zoom buttons (the ratio is a pop-up), three preview buttons.
    EXPECT_EQ(buttons, 3 + 4 + 3);
}

}  // namespace
