// The web view keeps its page and renders it through headless Chromium, alone and in a window.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <fstream>

#include "appkit/Window.h"
#include "graphics/Image.h"
#include "web/Browser.h"
#include "web/WebView.h"
#include "support/TempFolder.h"

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
    // A folder of this run's own, so that runs side by side never share files.
    std::string Temp(const std::string& name) const { return (mFolder.Path() / name).string(); }

    TestSupport::TempFolder mFolder;
};

// The page's colour comes from a style sheet beside it, found through the base URL.
TEST_F(Chromium, RendersAPageWithItsResourcesToPngAndPdf)
{
    const std::string folder = Temp("webres");
    ::mkdir(folder.c_str(), 0755);
    std::ofstream(folder + "/page.css") << "body { margin: 0; background: rgb(255, 0, 0); }";
    Web::WebView view(AppKit::Rect{0, 0, 160, 120});
    view.LoadHTMLString("<html><head><link rel=\"stylesheet\" href=\"page.css\"></head><body>Breaths</body></html>",
                        "file://" + folder);
    const std::string png = Temp("page.png");
    ASSERT_TRUE(view.RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 160);
    ASSERT_EQ(image.Height(), 120);
    EXPECT_EQ(image.Pixel(150, 110) & 0x00FFFFFF, 0x00FF0000u);  // the style sheet's red

    const std::string pdf = Temp("page.pdf");
    ASSERT_TRUE(view.RenderToPdf(pdf));
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(&head[0], 5);
    EXPECT_EQ(head, "%PDF-");
}

// In a window the web view shows the page at its frame, beside the window's other views; its
// PDF is the page printed, not the view's empty drawing.
TEST_F(Chromium, AWindowShowsItsWebViewAndTheViewCopiesAsThePagesPdf)
{
    AppKit::Window window(AppKit::Rect{0, 0, 200, 150}, "Report");
    window.SetContentView(std::make_unique<AppKit::View>(AppKit::Rect{0, 0, 200, 150}));
    auto& label = static_cast<AppKit::Label&>(
        window.ContentView().AddSubview(std::make_unique<AppKit::Label>(AppKit::Rect{0, 0, 200, 30})));
    label.SetText("Breaths");
    auto& web = static_cast<Web::WebView&>(
        window.ContentView().AddSubview(std::make_unique<Web::WebView>(AppKit::Rect{20, 40, 160, 100})));
    web.LoadHTMLString("<body style='margin:0;background:rgb(0,128,0)'>"
                       "<div style='margin-left:80px;height:100px;background:rgb(255,255,0)'></div></body>",
                       "");
    const std::string png = Temp("window-with-page.png");
    ASSERT_TRUE(window.RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Pixel(10, 145) & 0x00FFFFFF, 0x00FFFFFFu);   // the window's ground
    EXPECT_EQ(image.Pixel(30, 100) & 0x00FFFFFF, 0x00008000u);   // the page's green
    EXPECT_EQ(image.Pixel(170, 130) & 0x00FFFFFF, 0x00FFFF00u);  // its yellow div
    EXPECT_EQ(image.Pixel(190, 100) & 0x00FFFFFF, 0x00FFFFFFu);  // outside the web view again

    const std::string pdf = web.DataWithPDFInsideRect(web.VisibleRect());
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    EXPECT_NE(pdf.find("/MediaBox [0 0 595"), std::string::npos);  // A4, as the page prints
}

}  // namespace
