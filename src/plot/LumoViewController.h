// The controller of a plot's web view: it makes the view, installs the plot proxy's bridge on
// every page, loads the plot page with the bundle's resources as base, runs scripts once the
// page is both connected and loaded (and drops them before), and shows the proxy's menus,
// running an item's script when the user chooses it.
#pragma once

#include <map>
#include <memory>

#include "foundation/KVDString.h"
#include "plot/LumoProxyOwner.h"
#include "web/WebView.h"

class NSBundle;

namespace KVD {

class LumoProxyMac;

class LumoViewController final : public LumoProxyOwner, public Web::FrameLoadDelegate, public AppKit::Responder {
public:
    static constexpr unsigned kSizable = 18;  // width and height follow the parent
    static constexpr const char* kItemAction = "menuItemAction:";

    // The proxy is not counted: it owns this controller's owner.
    explicit LumoViewController(LumoProxyMac* proxy) : mProxy(proxy) {}
    ~LumoViewController() override;

    // Makes the web view at the parent's bounds (empty without a parent) and puts it in the
    // parent; the proxy's bridge goes on every window the view makes. A child, when given,
    // lies on top of the page.
    void AttachWebView(AppKit::View* parent, std::unique_ptr<AppKit::View> child = nullptr);
    Web::WebView* GetWebView() const { return mWebView; }
    bool IsLoaded() const { return mLoaded; }
    bool IsConnected() const { return mConnected; }
    // Loads the page with the plug-in bundle's resource folder as base URL.
    void LoadHTML(const std::string& html);
    // Loads the page at the URL into the main frame; the page is not loaded until it finishes.
    void LoadUrl(const std::string& url);
    // The text of the bundle's page NAME.html; nothing when it is missing or unreadable, so
    // that no plot shows a page it did not ask for.
    static std::optional<String> LoadHTMLFromBundle(NSBundle* bundle, const std::string& name);
    // Where the last menu popped up, in the web view's bottom-up coordinates.
    const Gfx::Point& LastMenuLocation() const { return mMenuAt; }

    // LumoProxyOwner
    std::optional<Web::Value> ExecuteJavaScript(const std::string& script) override;
    void PostJavaScript(const std::string& script) override;
    Web::WebScriptObject* WindowScriptObject() override;
    std::unique_ptr<AppKit::MenuItem> MenuItemWithName(const std::string& title, const std::string* script,
                                                       const std::string* keyEquivalent, const std::string* toolTip,
                                                       bool enabled) override;
    void ShowDropDownMenu(AppKit::Menu& menu, const Gfx::Point& at) override;

    // FrameLoadDelegate: loaded, and the window's controller hears of every frame.
    void DidFinishLoadForFrame(Web::WebView& view, const Web::WebFrame& frame) override;
    // The window went first: no page, no scripts from now on.
    void WebViewWillClose(Web::WebView& view) override;
    // Responder: an item's action runs its script.
    bool RespondsTo(const std::string& selector) const override { return selector == kItemAction; }
    bool Perform(const std::string& selector, void* sender) override;

private:
    LumoProxyMac* mProxy;
    Web::WebView* mWebView = nullptr;
    std::unique_ptr<Web::WebView> mOwnedWebView;  // when it has no parent
    bool mConnected = false;
    bool mLoaded = false;
    std::map<const AppKit::MenuItem*, std::string> mItemScripts;  // the items' represented objects
    Gfx::Point mMenuAt;
};

}  // namespace KVD
