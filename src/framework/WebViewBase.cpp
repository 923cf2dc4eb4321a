#include "framework/WebViewBase.h"

namespace KVD {

WebViewBase::WebViewBase(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                         NSBundle* bundle)
    : ViewBase(parent, viewClass, docView, document, L"", bundle)
{
}

WebViewBase::~WebViewBase()
{
    if (mController != nullptr)
        mController->ForgetOwnerView();
}

HWND WebViewBase::Create()
{
    if (mController == nullptr)
        mController = CreateWindowController();
    if (mController == nullptr) {
        SetupWindow();
        return HWND{};
    }
    const HWND record = mController->Hwnd();
    SetupWindow();
    return record;
}

void WebViewBase::LoadHTMLString(KVD::String html, KVD::String baseURL)
{
    if (mController != nullptr)
        mController->LoadHTMLString(ToU8String(html), ToU8String(baseURL));
}

bool WebViewBase::LoadHTMLFromResource(NSBundle* bundle, KVD::String name, KVD::String& text) const
{
    if (mController == nullptr)
        return false;
    const std::optional<KVD::String> read = mController->LoadHTMLFromBundle(bundle, ToU8String(name));
    if (!read)
        return false;
    text = *read;
    return true;
}

}  // namespace KVD
