// What a plot proxy needs of the controller of its web view: running scripts in the page, the
// page's window, and menus shown over the page.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "appkit/Menu.h"
#include "graphics/Geometry.h"
#include "web/WebScriptObject.h"

namespace KVD {

class LumoProxyOwner {
public:
    virtual ~LumoProxyOwner() = default;

    // The script's value; none while the page is not both connected and loaded.
    virtual std::optional<Web::Value> ExecuteJavaScript(const std::string& script) = 0;
    // Has the page run the script when it can, without waiting for it (Web::Page::Post).
    virtual void PostJavaScript(const std::string& script) { ExecuteJavaScript(script); }
    // The page's window; null without a web view.
    virtual Web::WebScriptObject* WindowScriptObject() = 0;
    // An item that, when chosen, runs script in the page (no action without a script); key
    // equivalent and tool tip are set only when given.
    virtual std::unique_ptr<AppKit::MenuItem> MenuItemWithName(const std::string& title, const std::string* script,
                                                               const std::string* keyEquivalent,
                                                               const std::string* toolTip, bool enabled) = 0;
    // Pops the menu up at a point of the page (origin top left); the chosen item acts.
    virtual void ShowDropDownMenu(AppKit::Menu& menu, const Gfx::Point& at) = 0;
};

}  // namespace KVD
