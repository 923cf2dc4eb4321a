// An HTML view opened through its class: a page read from the bundle loads into its web view,
// each finished frame reaches the view, the context menu copies through it, a missing page
// leaves the text alone, and the page runs scripts and renders to PNG in Chromium.
#include <gtest/gtest.h>

#include "cf/Bundle.h"
#include "foundation/StringResources.h"
#include "appkit/Window.h"
#include "graphics/Image.h"
#include "web/Browser.h"
#include "ViewHostFixture.h"
#include "framework/WebViewBase.h"

using namespace ViewTest;

namespace {

class PageView : public KVD::WebViewBase {
public:
    using KVD::WebViewBase::WebViewBase;
    std::shared_ptr<SPIRO_KVDHTMLWindow> CreateWindowController() override
    {
        return std::make_shared<SPIRO_KVDHTMLWindow>("KVDHTMLWindow", this);
    }
    KVD::String GetViewName() const override { return L"Breath Report"; }
    void OnLoad() override { ++loads; }
    void copyToPasteboard() override { ++copies; }
    KVD::String Edit_CopyToClipboardMenuText() const override { return L"Copy Report"; }
    KVD::String File_PrintMenuText() const override { return L"Print Report"; }

    int loads = 0;
    int copies = 0;
};

class HTMLWindow : public ViewHostFixture {
protected:
    void SetUp() override
    {
        ViewHostFixture::SetUp();
        docView = Open(AddViewClass<PageView>(L"Report View", 3, nullptr));
        ASSERT_NE(docView, nullptr);
        view = ViewObject<PageView>(docView);
        controller = view->GetWindowController();
        ASSERT_NE(controller, nullptr);
        ASSERT_NE(controller->GetWebView(), nullptr);
    }

    KVD::COMPtr<IDocView> docView;
    PageView* view = nullptr;
    SPIRO_KVDHTMLWindow* controller = nullptr;
};

TEST_F(HTMLWindow, LoadsABundlePageAndServesTheView)
{
    Web::WebView& web = *controller->GetWebView();
    // The web view sits in the window where the layout's placeholder is.
    EXPECT_EQ(web.GetWindow(), view->GetNativeWindow());
    EXPECT_EQ(web.Frame().width, 640);
    EXPECT_EQ(controller->ViewName(), "Breath Report");
    EXPECT_FALSE(controller->Loaded());

    KVD::String page(L"unchanged");
    EXPECT_FALSE(view->LoadHTMLFromResource(TestBundle(), L"NoSuchPage", page));
    EXPECT_EQ(page, L"unchanged");
    ASSERT_TRUE(view->LoadHTMLFromResource(TestBundle(), L"TestPage", page));
    view->LoadHTMLString(page, L"ignored");
    EXPECT_NE(web.PageText().find("<h1>Breaths</h1>"), std::string::npos);
    // Relative names resolve against the plug-in bundle's resources, whatever base was given.
    EXPECT_EQ(web.BaseURL(), "file://" + KVDGetMyBundle()->ResourcePath() + "/");
    // The main frame and the page's frame each finished.
    EXPECT_EQ(view->loads, 2);
    EXPECT_TRUE(controller->Loaded());

    // Scripts run in the page and answer their values as text; one that throws answers "".
    EXPECT_EQ(controller->ExecuteJavaScript("document.querySelector('h1').textContent"), "Breaths");
    EXPECT_EQ(controller->ExecuteJavaScript("frames.length * 21"), "21");
    EXPECT_EQ(controller->ExecuteJavaScript("plot.scale()"), "");

    // "Copy" comes first in the context menu, then the web view's own items; it copies
    // through the view.
    const auto menu = web.ContextMenuForElement({});
    ASSERT_EQ(menu->ItemCount(), 3u);
    EXPECT_EQ(menu->ItemAt(0).Title(), "Copy");
    EXPECT_EQ(menu->ItemAt(0).KeyEquivalent(), "c");
    EXPECT_EQ(menu->ItemAt(1).Title(), "Reload");
    EXPECT_EQ(menu->ItemAt(2).Title(), "Inspect Element");
    EXPECT_TRUE(menu->ItemAt(0).Invoke());
    EXPECT_EQ(view->copies, 1);
}

// The controller is held while the view is open, and goes with its window when it closes.
TEST_F(HTMLWindow, AClosedViewIsNotReachedByItsWindow)
{
    const std::weak_ptr<SPIRO_KVDDocViewWindowController> held = controller->weak_from_this();
    document->CloseView(docView);
    EXPECT_TRUE(held.expired());
}

TEST_F(HTMLWindow, RendersTheBundlePageThroughChromium)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    KVD::String page;
    ASSERT_TRUE(view->LoadHTMLFromResource(TestBundle(), L"TestPage", page));
    view->LoadHTMLString(page, L"");
    const std::string png = ::testing::TempDir() + "report-view.png";
    ASSERT_TRUE(controller->GetWebView()->RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 640);
    EXPECT_EQ(image.Pixel(630, 470) & 0x00FFFFFF, 0x000000FFu);  // the page's blue
}

}  // namespace
