// The web view that pages are loaded into: it keeps the page text and base URL it was given
// and the resources the page names, and shows the page through a Page (Page.h): a live page
// in headless Chromium unless a test chose another. A page loads at once: its frames have
// finished loading when the load call returns. In a window snapshot the view draws what the
// page shows, and so does its PDF of a rectangle; printed, the page is paged on paper.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "appkit/View.h"
#include "web/WebDelegates.h"
#include "web/WebScriptObject.h"

namespace Web {

class WebView : public AppKit::View {
public:
    explicit WebView(AppKit::Rect frame = {});
    ~WebView() override;
    const char* ClassName() const override { return "WebView"; }

    // The user default that makes the context menu offer the developer tools.
    static constexpr const char* kDeveloperExtrasKey = "WebKitDeveloperExtras";

    // Replaces the page; baseURL (a file:// folder URL, may be empty) resolves relative names.
    void LoadHTMLString(const std::string& html, const std::string& baseURL);
    // Loads the page at the URL. Only file:// URLs are reachable: the file's folder becomes the
    // base URL. Anything else leaves an empty page whose frames never finish loading.
    void LoadRequest(const std::string& url);
    const std::string& PageText() const { return mHtml; }
    const std::string& BaseURL() const { return mBaseURL; }
    // The URL last requested; empty for a page given as text.
    const std::string& MainFrameURL() const { return mURL; }
    int LoadCount() const { return mLoads; }
    // The main frame and then each frame element of the page, in page order; none while no
    // page has loaded.
    std::vector<WebFrame> Frames() const { return mPage->Frames(); }
    Page& GetPage() const { return *mPage; }

    // Not owned: the delegates outlive the view or clear themselves; the frame-load delegate
    // hears when the view goes.
    void SetFrameLoadDelegate(FrameLoadDelegate* delegate) { mFrameLoadDelegate = delegate; }
    FrameLoadDelegate* GetFrameLoadDelegate() const { return mFrameLoadDelegate; }
    void SetUIDelegate(UIDelegate* delegate) { mUIDelegate = delegate; }
    UIDelegate* GetUIDelegate() const { return mUIDelegate; }

    WebScriptObject& WindowScriptObject() { return mScript; }
    // The script's value as text; empty when it has none or fails.
    std::string StringByEvaluatingJavaScriptFromString(const std::string& script)
    {
        return mScript.EvaluateWebScript(script).ToText();
    }

    // The context menu for a click on element: "Reload", and "Inspect Element" when the
    // developer extras are on, as the UI delegate rearranges them.
    std::unique_ptr<AppKit::Menu> ContextMenuForElement(const WebElement& element);
    // "reload:" loads the current page again.
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

    // The values of the page's src and href attributes, in page order.
    std::vector<std::string> ResourcesNamed() const;

    // Renders the page at the view's size to PNG, or prints it to PDF; false without a page,
    // or when rendering fails (the page's LastError() says why).
    bool RenderToPng(const std::string& path) const;
    bool RenderToPdf(const std::string& path, const PrintInfo& print = PrintInfo()) const;

    // What the page shows, at the view's frame; nothing without a page.
    void DrawSelf(Gfx::Context& context) override;
    // "the page did not load: ...", the browser gone, or why the last rendering failed.
    std::string DrawingFailure() const override;
    // What the view shows within the rectangle (in its own coordinates: the page as scrolled
    // now), on one page of the rectangle's size; the view's own drawing before any page was
    // loaded or for an empty rectangle, and nothing when the page cannot be printed.
    std::string DataWithPDFInsideRect(const AppKit::Rect& rect) override;

private:
    void Load(const std::string& html, const std::string& baseURL);
    // Keeps why a rendering failed (or that the last one did not); gives ok back.
    bool Rendered(bool ok) const;
    int Width() const;
    int Height() const;

    std::string mHtml;
    std::string mBaseURL;
    std::string mURL;
    int mLoads = 0;
    mutable std::string mDrawFailure;  // why the last rendering failed
    FrameLoadDelegate* mFrameLoadDelegate = nullptr;
    UIDelegate* mUIDelegate = nullptr;
    std::unique_ptr<Page> mPage;
    WebScriptObject mScript;
};

}  // namespace Web
