#include "host/views/OpenedView.h"

#include <chrono>
#include <sstream>

#include "FrameworkIds.h"
#include "IDocView.h"
#include "appkit/Pasteboard.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "host/document/DocumentBase.h"
#include "host/loader/ClassRegistration.h"
#include "host/views/ViewCommands.h"
#include "web/Page.h"

namespace Host {
namespace {

std::string Hex(HRESULT hr)
{
    std::ostringstream code;
    code << "0x" << std::hex << uint32_t(hr);
    return code.str();
}

}  // namespace

void SettlePages(double seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        Web::Page::ServeCalls();
        AppKit::RunLoop::Main().RunFor(0.02);
    } while (std::chrono::steady_clock::now() < until);
    Web::Page::ServeCalls();
}

OpenedView::OpenedView(IUnknown* document, const std::string& viewClassName) : mDocument(KVD::com_cast(document))
{
    const KVD::COMPtr<ICAFClassObject> named = FindClassObject(CATID_OrrelViewClass, viewClassName);
    if (named == nullptr)
        throw ViewError("the plug-in registered no class \"" + viewClassName + "\"");
    const KVD::COMPtr<IDocViewClass> cls(KVD::com_cast(named.get()));
    TCAFId type = 0;
    if (cls == nullptr || cls->GetTypeId(&type) != KVD_S_OK || mDocument == nullptr)
        throw ViewError("\"" + viewClassName + "\" is no view class");
    const HRESULT hr = mDocument->OpenView(type, mView.Set());
    if (mView == nullptr)
        throw ViewError("the view \"" + viewClassName + "\" could not be opened (" + Hex(hr) + ")");
}

OpenedView::~OpenedView() { mDocument->CloseView(mView); }

AppKit::Window* OpenedView::Window() const
{
    auto* base = dynamic_cast<DocumentBase*>(mDocument.get());
    return base != nullptr ? reinterpret_cast<AppKit::Window*>(base->ViewWindow(mView).words[2]) : nullptr;
}

void OpenedView::WritePng(const std::string& path) const
{
    AppKit::Window* window = Window();
    if (window == nullptr || !window->RenderToPng(path))
        throw ViewError("the view's window could not be written to " + path);
}

void OpenedView::PrintToPdf(const std::string& path) const
{
    const HRESULT hr = ViewCommands::PrintToPdf(mView, path);
    if (hr != KVD_S_OK)
        throw ViewError("the view could not be printed to " + path + " (" + Hex(hr) + ")");
}

void OpenedView::CopyToPdf(const std::string& path) const
{
    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Clear();
    const HRESULT hr = ViewCommands::Perform(mView, ViewCommands::kCopy);
    // A plot's copy arrives when its page answers with the plot's SVG.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(ViewCommands::kPageAnswerSeconds);
    while (hr == KVD_S_OK && !pasteboard.Has(AppKit::Pasteboard::kPdfType) && std::chrono::steady_clock::now() < until)
        SettlePages(0.01);
    if (hr != KVD_S_OK || !pasteboard.SaveTo(AppKit::Pasteboard::kPdfType, path))
        throw ViewError("the view's copy could not be written to " + path + " (" + Hex(hr) + ")");
}

}  // namespace Host
