#include "plot/LumoViewController.h"

#include "appkit/Alert.h"
#include "cf/Bundle.h"
#include "foundation/ResourceText.h"
#include "foundation/StringResources.h"
#include "framework/KVDDocViewWindowController.h"
#include "plot/LumoProxyMac.h"
#include "web/Page.h"

namespace KVD {

LumoViewController::~LumoViewController()
{
    if (mWebView != nullptr) {
        mWebView->SetFrameLoadDelegate(nullptr);
        if (mWebView->Superview() != nullptr)
            mWebView->RemoveFromSuperview();
    }
}

void LumoViewController::AttachWebView(AppKit::View* parent, std::unique_ptr<AppKit::View> child)
{
    if (mWebView != nullptr)
        mWebView->SetFrameLoadDelegate(nullptr);  // the earlier view no longer reports here
    auto view = std::make_unique<Web::WebView>(parent != nullptr ? parent->Bounds() : AppKit::Rect{});
    view->SetAutoresizingMask(kSizable);
    view->SetFrameLoadDelegate(this);
    mWebView = view.get();
    mLoaded = false;  // the new view has no page yet
    // Every window the view makes gets the bridge before the page's scripts run.
    if (mProxy != nullptr) {
        mProxy->ConnectWithWindowScriptObject(mWebView->WindowScriptObject());
        mConnected = true;
    }
    if (child != nullptr) {
        child->SetFrame(mWebView->Bounds());
        child->SetAutoresizingMask(kSizable);
        mWebView->AddSubview(std::move(child));
    }
    if (parent != nullptr)
        parent->AddSubview(std::move(view));
    else
        mOwnedWebView = std::move(view);
}

void LumoViewController::LoadHTML(const std::string& html)
{
    if (mWebView == nullptr)
        return;
    NSBundle* bundle = KVDGetMyBundle();
    mLoaded = false;
    const std::string baseURL = bundle != nullptr ? "file://" + bundle->ResourcePath() + "/" : std::string();
    // The next plots' pages are made ahead with this page loaded: its scripts call the host
    // only once the plot is made.
    Web::Page::KeepWarm(html, baseURL);
    mWebView->LoadHTMLString(html, baseURL);
}

void LumoViewController::LoadUrl(const std::string& url)
{
    if (mWebView == nullptr)
        return;
    mLoaded = false;
    mWebView->LoadRequest(url);
}

std::optional<String> LumoViewController::LoadHTMLFromBundle(NSBundle* bundle, const std::string& name)
{
    String text;
    if (bundle == nullptr || !ReadResourceText(bundle, name, "html", text))
        return std::nullopt;
    return text;
}

std::optional<Web::Value> LumoViewController::ExecuteJavaScript(const std::string& script)
{
    if (!mConnected || !mLoaded || mWebView == nullptr)
        return std::nullopt;
    return mWebView->WindowScriptObject().EvaluateWebScript(script);
}

void LumoViewController::PostJavaScript(const std::string& script)
{
    if (mConnected && mLoaded && mWebView != nullptr)
        mWebView->WindowScriptObject().PostWebScript(script);
}

Web::WebScriptObject* LumoViewController::WindowScriptObject()
{
    return mWebView != nullptr ? &mWebView->WindowScriptObject() : nullptr;
}

std::unique_ptr<AppKit::MenuItem> LumoViewController::MenuItemWithName(const std::string& title,
                                                                       const std::string* script,
                                                                       const std::string* keyEquivalent,
                                                                       const std::string*, bool)
{
    // The stand-in's items have no tool tip or enabled state: every item of these menus acts.
    auto item = std::make_unique<AppKit::MenuItem>(title, std::string(), keyEquivalent != nullptr ? *keyEquivalent : "");
    item->SetTarget(this);
    if (script != nullptr) {
        item->SetAction(kItemAction);
        mItemScripts[item.get()] = *script;
    }
    return item;
}

void LumoViewController::ShowDropDownMenu(AppKit::Menu& menu, const Gfx::Point& at)
{
    const double height = mWebView != nullptr ? mWebView->Frame().height : 0.0;
    mMenuAt = Gfx::Point{at.x, height - at.y - 5.0};
    AppKit::MenuItem* chosen = AppKit::AlertPresenter::Shared().ChooseFromMenu(menu);
    if (chosen != nullptr)
        chosen->Invoke();
    for (size_t i = 0; i < menu.ItemCount(); ++i)
        mItemScripts.erase(&menu.ItemAt(i));
}

void LumoViewController::DidFinishLoadForFrame(Web::WebView& view, const Web::WebFrame& frame)
{
    mLoaded = true;
    AppKit::Window* window = view.GetWindow();
    if (auto* controller = dynamic_cast<SPIRO_KVDDocViewWindowController*>(window != nullptr ? window->Controller() : nullptr))
        controller->OnFrameLoaded(frame);
}

void LumoViewController::WebViewWillClose(Web::WebView& view)
{
    if (&view != mWebView)
        return;
    mWebView = nullptr;
    mLoaded = false;
}

bool LumoViewController::Perform(const std::string& selector, void* sender)
{
    if (selector != kItemAction)
        return false;
    const auto script = mItemScripts.find(static_cast<const AppKit::MenuItem*>(sender));
    if (script != mItemScripts.end())
        ExecuteJavaScript(script->second);
    return true;
}

}  // namespace KVD
