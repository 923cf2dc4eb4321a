// The web view keeps its page and renders it through headless Chromium.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <fstream>

#include "graphics/Image.h"
#include "web/Browser.h"
#include "web/WebView.h"

namespace {

TEST(WebView, KeepsThePageAndTheResourcesItNames)
{
    Web::WebView view(AppKit::Rect{0, 0, 200, 100});
    EXPECT_FALSE(view.RenderToPng(::testing::TempDir() + "none.png"));  // no page yet
    view.LoadHTMLString("<html><head><script src=\"plot.js\"></script><link href='plot.css' rel=stylesheet>"
                        "</head><body><img SRC=\"logo.png\"></body></html>",
                        "file:///bundle/Resources");
    EXPECT_EQ(view.LoadCount(), 1);
    EXPECT_EQ(view.BaseURL(), "file:///bundle/Resources");
    EXPECT_EQ(view.ResourcesNamed(), (std::vector<std::string>{"plot.js", "plot.css", "logo.png"}));
    view.LoadHTMLString("<p>again</p>", "");
    EXPECT_EQ(view.PageText(), "<p>again</p>");
    EXPECT_TRUE(view.ResourcesNamed().empty());
}

class Chromium : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }
};

// The page's colour comes from a style sheet beside it, found through the base URL.
TEST_F(Chromium, RendersAPageWithItsResourcesToPngAndPdf)
{
    const std::string folder = ::testing::TempDir() + "webres";
    ::mkdir(folder.c_str(), 0755);
    std::ofstream(folder + "/page.css") << "body { margin: 0; background: rgb(255, 0, 0); }";
    Web::WebView view(AppKit::Rect{0, 0, 160, 120});
    view.LoadHTMLString("<html><head><link rel=\"stylesheet\" href=\"page.css\"></head><body>Breaths</body></html>",
                        "file://" + folder);
    const std::string png = ::testing::TempDir() + "page.png";
    ASSERT_TRUE(view.RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 160);
    ASSERT_EQ(image.Height(), 120);
    EXPECT_EQ(image.Pixel(150, 110) & 0x00FFFFFF, 0x00FF0000u);  // the style sheet's red

    const std::string pdf = ::testing::TempDir() + "page.pdf";
    ASSERT_TRUE(view.RenderToPdf(pdf));
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(&head[0], 5);
    EXPECT_EQ(head, "%PDF-");
}

}  // namespace
