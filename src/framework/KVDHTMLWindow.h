// The window controller of a view whose content is an HTML page: it puts a web view in the
// window (where the layout's placeholder sits), loads pages into it, tells the view when each
// frame has loaded, runs the page's scripts, and offers a context menu whose first item copies
// through the view. Pages are read from the bundle; relative names in a page resolve against
// the bundle's resources.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "HWND.h"
#include "framework/KVDDocViewWindowController.h"
#include "web/WebView.h"

namespace KVD {
class WebViewBase;
}

class SPIRO_KVDHTMLWindow : public SPIRO_KVDDocViewWindowController,
                            public Web::FrameLoadDelegate,
                            public Web::UIDelegate {
public:
    // The layout outlet of the view that the web view is put beside.
    static constexpr const char* kPlaceholderOutlet = "webView";

    // initWithNibName:andDocView:
    SPIRO_KVDHTMLWindow(const std::string& nibName, KVD::WebViewBase* docView);
    ~SPIRO_KVDHTMLWindow() override;

    // Makes the web view with the placeholder's frame and adds it to the placeholder's
    // superview; the placeholder stays. Without a placeholder the web view has an empty frame
    // and no window until someone adds it.
    void AttatchWebView(AppKit::View* placeholder);
    Web::WebView* GetWebView() const { return mWebView; }
    Web::WebScriptObject* WindowScriptObject() const;

    // The window record: word 2 is the window, loaded on first use; all zero when the layout
    // cannot be loaded.
    HWND Hwnd();
    bool Loaded() const { return mIsLoaded; }
    std::string ViewName() const;
    KVD::WebViewBase* GetDocView() const { return mDocView; }
    void ForgetOwnerView() override;

    // The page loads the URL.
    void LoadUrl(const std::string& url);
    // The page's base is the bundle's resource folder, whatever the caller gives.
    void LoadHTMLString(const std::string& html, const std::string& baseURL);
    // The text of the bundle file NAME.html, its encoding detected; nothing when the file is
    // missing or unreadable, so that no caller shows a page it did not ask for.
    std::optional<KVD::String> LoadHTMLFromBundle(NSBundle* bundle, const std::string& fileName) const;
    // The script's result as text; empty while the page runs no scripts.
    std::string ExecuteJavaScript(const std::string& script) const;
    // The context menu's "Copy".
    void CopyView();

    // The developer tools are offered in every web view from now on.
    void WindowDidLoad() override;
    void DidFinishLoadForFrame(Web::WebView& view, const Web::WebFrame& frame) override;
    Web::MenuItems ContextMenuItemsForElement(Web::WebView& view, const Web::WebElement& element,
                                              Web::MenuItems defaultItems) override;

    // The layout's placeholder, then the web view beside it.
    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    void AwakeFromNib() override;
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    KVD::WebViewBase* mDocView;
    AppKit::View* mPlaceholder = nullptr;
    Web::WebView* mWebView = nullptr;                 // in the window, or in mUnplacedWebView
    std::unique_ptr<Web::WebView> mUnplacedWebView;  // made without a placeholder
    bool mIsLoaded = false;
};
