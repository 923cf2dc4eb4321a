// What the web view tells its delegates: every frame of a page as it finishes (a load begun
// meanwhile ends the old page's reports), pages requested by file URL, its context menu, and
// its PDF of a rectangle.
#include <gtest/gtest.h>

#include <fstream>

#include "appkit/SavePanel.h"
#include "appkit/UserDefaults.h"
#include "web/InProcessPage.h"
#include "web/WebView.h"

namespace {

struct FrameLog : Web::FrameLoadDelegate {
    std::vector<std::string> frames;
    std::function<void(Web::WebView&)> onFirst;
    void DidFinishLoadForFrame(Web::WebView& view, const Web::WebFrame& frame) override
    {
        frames.push_back(frame.isMain ? "main" : frame.name);
        if (onFirst)
            std::exchange(onFirst, nullptr)(view);
    }
};

// The views here show in-process pages: what is tested is the view, not the browser.
class WebViewDelegates : public ::testing::Test {
protected:
    void SetUp() override
    {
        Web::Page::SetFactory([] { return std::make_unique<Web::InProcessPage>(); });
    }
    void TearDown() override { Web::Page::SetFactory(nullptr); }
};

TEST_F(WebViewDelegates, FramesRequestsAndReloads)
{
    FrameLog log;  // outlives the view, which tells it when it goes
    Web::WebView view;
    view.SetFrameLoadDelegate(&log);
    view.LoadHTMLString("<iframe name='flow'></iframe><FRAME id=\"volume\">", "");
    EXPECT_EQ(log.frames, (std::vector<std::string>{"main", "flow", "volume"}));

    // A page loaded while the first reports its main frame replaces it: its other frames are
    // never reported.
    log.frames.clear();
    log.onFirst = [](Web::WebView& v) { v.LoadHTMLString("<p>second</p>", ""); };
    view.LoadHTMLString("<iframe name='late'></iframe>", "");
    EXPECT_EQ(log.frames, (std::vector<std::string>{"main", "main"}));

    const std::string path = ::testing::TempDir() + "requested.html";
    std::ofstream(path) << "<p>from a file</p>";
    log.frames.clear();
    view.LoadRequest("file://" + path);
    EXPECT_EQ(view.PageText(), "<p>from a file</p>");
    EXPECT_EQ(view.BaseURL(), "file://" + ::testing::TempDir());
    EXPECT_TRUE(view.Perform("reload:", nullptr));
    EXPECT_EQ(view.LoadCount(), 5);
    EXPECT_EQ(log.frames.size(), 2u);
    // Nothing is reachable but files: the page stays empty and never finishes.
    view.LoadRequest("http://127.0.0.1/none.html");
    EXPECT_EQ(view.PageText(), "");
    EXPECT_EQ(log.frames.size(), 2u);
}

TEST_F(WebViewDelegates, ContextMenuOffersTheDeveloperToolsOnlyWhenAsked)
{
    Web::WebView view;
    AppKit::UserDefaults::Standard().RemoveObjectForKey(Web::WebView::kDeveloperExtrasKey);
    EXPECT_EQ(view.ContextMenuForElement({})->ItemCount(), 1u);
    AppKit::UserDefaults::Standard().SetBool(Web::WebView::kDeveloperExtrasKey, true);
    const auto menu = view.ContextMenuForElement({});
    ASSERT_EQ(menu->ItemCount(), 2u);
    EXPECT_EQ(menu->ItemAt(1).Title(), "Inspect Element");
}

TEST(SavePanel, PathTakesAnAllowedExtension)
{
    AppKit::SavePanel panel;
    panel.directory = "/data";
    panel.allowedFileTypes = {"txt", "csv"};
    for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
             {"breaths", "/data/breaths.txt"}, {"breaths.csv", "/data/breaths.csv"}, {"b.v1", "/data/b.v1.txt"}}) {
        panel.nameFieldValue = name;
        EXPECT_EQ(panel.Path(), path);
    }
    EXPECT_EQ(panel.RunModal(), AppKit::SavePanel::kCancel);  // nobody answers: cancelled
}

// The view's PDF of a rectangle is its page's PDF of that area, one page of the rectangle's
// size; an empty rectangle, or a view without a page, gives the view's own drawing, and a page
// that cannot print gives nothing, with the reason kept for the view's drawing failure.
TEST_F(WebViewDelegates, APdfOfARectangleIsThePagesAreaOfIt)
{
    Web::WebView view(AppKit::Rect{0, 0, 300, 200});
    auto& page = dynamic_cast<Web::InProcessPage&>(view.GetPage());
    EXPECT_EQ(view.DataWithPDFInsideRect(view.VisibleRect()).compare(0, 5, "%PDF-"), 0);
    EXPECT_TRUE(page.RenderedAreas().empty());

    view.LoadHTMLString("<p>report</p>", "");
    EXPECT_EQ(view.DataWithPDFInsideRect(view.VisibleRect()), "");
    EXPECT_EQ(view.DrawingFailure(), Web::InProcessPage::kCannotRender);

    page.SetPrintedPdf("%PDF-1.4 printed");
    const std::string pdf = view.DataWithPDFInsideRect(AppKit::Rect{10, 20, 120, 80});
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 120 80 ]"), std::string::npos) << pdf.substr(0, 400);
    EXPECT_EQ(pdf.find("printed"), std::string::npos);
    EXPECT_TRUE(view.DrawingFailure().empty());
    EXPECT_EQ(view.DataWithPDFInsideRect(AppKit::Rect{0, 0, 0, 200}).compare(0, 5, "%PDF-"), 0);
    ASSERT_EQ(page.RenderedAreas().size(), 2u);
    const Web::PageArea& area = page.RenderedAreas()[1];
    EXPECT_EQ(std::vector<double>({area.x, area.y, area.width, area.height}), std::vector<double>({10, 20, 120, 80}));
}

}  // namespace
