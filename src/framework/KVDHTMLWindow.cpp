#include "framework/KVDHTMLWindow.h"

#include <cstdio>

#include "appkit/UserDefaults.h"
#include "appkit/Window.h"
#include "cf/Bundle.h"
#include "foundation/ResourceText.h"
#include "framework/WebViewBase.h"

SPIRO_KVDHTMLWindow::SPIRO_KVDHTMLWindow(const std::string& nibName, KVD::WebViewBase* docView)
    : SPIRO_KVDDocViewWindowController(nibName, docView), mDocView(docView)
{
}

SPIRO_KVDHTMLWindow::~SPIRO_KVDHTMLWindow()
{
    if (mWebView != nullptr) {
        mWebView->SetFrameLoadDelegate(nullptr);
        mWebView->SetUIDelegate(nullptr);
    }
}

void SPIRO_KVDHTMLWindow::AttatchWebView(AppKit::View* placeholder)
{
    auto webView = std::make_unique<Web::WebView>(placeholder != nullptr ? placeholder->Frame() : AppKit::Rect{});
    webView->SetFrameLoadDelegate(this);
    webView->SetUIDelegate(this);
    AppKit::View* superview = placeholder != nullptr ? placeholder->Superview() : nullptr;
    if (superview != nullptr) {
        mWebView = static_cast<Web::WebView*>(&superview->AddSubview(std::move(webView)));
        mUnplacedWebView.reset();
    } else {
        mUnplacedWebView = std::move(webView);
        mWebView = mUnplacedWebView.get();
    }
}

Web::WebScriptObject* SPIRO_KVDHTMLWindow::WindowScriptObject() const
{
    return mWebView != nullptr ? &mWebView->WindowScriptObject() : nullptr;
}

HWND SPIRO_KVDHTMLWindow::Hwnd()
{
    HWND record{};
    try {
        record.words[2] = reinterpret_cast<uintptr_t>(&GetWindow());
    } catch (const AppKit::LayoutError& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    return record;
}

std::string SPIRO_KVDHTMLWindow::ViewName() const
{
    return mDocView != nullptr ? KVD::ToU8String(mDocView->GetViewName()) : std::string();
}

void SPIRO_KVDHTMLWindow::ForgetOwnerView()
{
    mDocView = nullptr;
    SPIRO_KVDDocViewWindowController::ForgetOwnerView();
}

void SPIRO_KVDHTMLWindow::LoadUrl(const std::string& url)
{
    if (mWebView != nullptr)
        mWebView->LoadRequest(url);
}

void SPIRO_KVDHTMLWindow::LoadHTMLString(const std::string& html, const std::string&)
{
    if (mWebView == nullptr)
        return;
    NSBundle* bundle = GetBundle();
    mWebView->LoadHTMLString(html, bundle != nullptr ? "file://" + bundle->ResourcePath() + "/" : std::string());
}

std::optional<KVD::String> SPIRO_KVDHTMLWindow::LoadHTMLFromBundle(NSBundle* bundle, const std::string& fileName) const
{
    KVD::String text;
    if (bundle == nullptr || !KVD::ReadResourceText(bundle, fileName, "html", text))
        return std::nullopt;
    return text;
}

std::string SPIRO_KVDHTMLWindow::ExecuteJavaScript(const std::string& script) const
{
    return mWebView != nullptr ? mWebView->StringByEvaluatingJavaScriptFromString(script) : std::string();
}

void SPIRO_KVDHTMLWindow::CopyView()
{
    if (mDocView != nullptr)
        mDocView->copyToPasteboard();
}

void SPIRO_KVDHTMLWindow::WindowDidLoad()
{
    AppKit::UserDefaults::Standard().SetBool(Web::WebView::kDeveloperExtrasKey, true);
    AppKit::UserDefaults::Standard().Synchronize();
}

void SPIRO_KVDHTMLWindow::DidFinishLoadForFrame(Web::WebView&, const Web::WebFrame&)
{
    mIsLoaded = true;
    if (mDocView != nullptr)
        mDocView->OnLoad();
}

Web::MenuItems SPIRO_KVDHTMLWindow::ContextMenuItemsForElement(Web::WebView&, const Web::WebElement&,
                                                               Web::MenuItems defaultItems)
{
    Web::MenuItems items;
    items.push_back(std::make_unique<AppKit::MenuItem>("Copy", "copyView:", "c"));
    items.back()->SetTarget(static_cast<AppKit::LayoutOwner*>(this));
    for (auto& item : defaultItems)
        items.push_back(std::move(item));
    return items;
}

bool SPIRO_KVDHTMLWindow::SetOutlet(const std::string& name, AppKit::View* view)
{
    if (name != kPlaceholderOutlet)
        return SPIRO_KVDDocViewWindowController::SetOutlet(name, view);
    mPlaceholder = view;
    return true;
}

void SPIRO_KVDHTMLWindow::AwakeFromNib()
{
    if (mPlaceholder != nullptr)
        AttatchWebView(mPlaceholder);
}

bool SPIRO_KVDHTMLWindow::RespondsTo(const std::string& selector) const
{
    return selector == "copyView:" || SPIRO_KVDDocViewWindowController::RespondsTo(selector);
}

bool SPIRO_KVDHTMLWindow::Perform(const std::string& selector, void* sender)
{
    if (selector != "copyView:")
        return SPIRO_KVDDocViewWindowController::Perform(selector, sender);
    CopyView();
    return true;
}
