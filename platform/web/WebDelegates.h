// What a web view tells, and asks of, the objects that serve it: when each frame of a page has
// finished loading, and which items its context menu offers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "appkit/Menu.h"

namespace Web {

class WebView;

// One frame of a page: the main frame, or a frame element (<iframe>, <frame>) of the page.
struct WebFrame {
    bool isMain = true;
    std::string name;  // the frame element's name (or id); empty for the main frame
    WebView* webView = nullptr;  // the view showing the frame, as its delegate hears of it
};

// What a context menu was opened on: the element's tag name in lower case ("body" for the page).
struct WebElement {
    std::string tag = "body";
};

using MenuItems = std::vector<std::unique_ptr<AppKit::MenuItem>>;

class FrameLoadDelegate {
public:
    virtual ~FrameLoadDelegate() = default;
    // Once for every frame that finishes loading, the main frame first.
    virtual void DidFinishLoadForFrame(WebView& view, const WebFrame& frame) = 0;
    // The view is being destroyed (with the window or view that holds it): forget it.
    virtual void WebViewWillClose(WebView&) {}
};

class UIDelegate {
public:
    virtual ~UIDelegate() = default;
    // The items of the context menu opened on element, given the web view's own items.
    virtual MenuItems ContextMenuItemsForElement(WebView& view, const WebElement& element, MenuItems defaultItems) = 0;
};

}  // namespace Web
