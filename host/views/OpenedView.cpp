#include "host/views/OpenedView.h"

#include <chrono>

#include "FrameworkIds.h"
#include "IDocView.h"
#include "appkit/Pasteboard.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "host/data/Excerpt.h"
#include "host/document/DocumentBase.h"
#include "host/framework/ResultText.h"
#include "host/framework/SafeFile.h"
#include "host/loader/ClassRegistration.h"
#include "host/views/ViewCommands.h"
#include "web/Page.h"

namespace Host {

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
        throw ViewError("the plug-in registered no class \"" + Excerpt(viewClassName) + "\"");
    const KVD::COMPtr<IDocViewClass> cls(KVD::com_cast(named.get()));
    TCAFId type = 0;
    if (cls == nullptr || cls->GetTypeId(&type) != KVD_S_OK || mDocument == nullptr)
        throw ViewError("\"" + Excerpt(viewClassName) + "\" is no view class");
    const HRESULT hr = mDocument->OpenView(type, mView.Set());
    if (mView == nullptr)
        throw ViewError("the view \"" + Excerpt(viewClassName) + "\" could not be opened: " + ResultText(hr));
}

OpenedView::~OpenedView() { mDocument->CloseView(mView); }

AppKit::Window* OpenedView::Window() const
{
    auto* base = dynamic_cast<DocumentBase*>(mDocument.get());
    return base != nullptr ? reinterpret_cast<AppKit::Window*>(base->ViewWindow(mView).words[2]) : nullptr;
}

void OpenedView::WritePng(const std::string& path) const
{
    SafeFile file(path);
    const AppKit::Window* window = Window();
    if (window == nullptr)
        throw ViewError("the view could not be written to " + path + ": it has no window");
    std::string failure;
    const std::string png = window->RenderPng(false, &failure);
    if (png.empty())
        throw ViewError("the view could not be written to " + path + ": " + failure);
    file.Stream() << png;
    file.Commit();
}

void OpenedView::PrintToPdf(const std::string& path) const
{
    std::string why;
    if (ViewCommands::PrintToPdf(mView, path, &why, Window()) != KVD_S_OK)
        throw ViewError("the view could not be printed to " + path + ": " + why);
}

void OpenedView::CopyToPdf(const std::string& path) const
{
    SafeFile file(path);
    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Clear();
    const HRESULT hr = ViewCommands::Perform(mView, ViewCommands::kCopy);
    if (hr != KVD_S_OK)
        throw ViewError("the view could not be copied to " + path + ": " +
                        (hr == KVD_E_BADSTATE ? "the view offers no copy command" : ResultText(hr)));
    // A plot's copy arrives when its page answers with the plot's SVG.
    const std::string failure =
        ViewCommands::AwaitPages([&] { return pasteboard.Has(AppKit::Pasteboard::kPdfType); }, Window());
    if (!failure.empty())
        throw ViewError("the view could not be copied to " + path + ": " + failure);
    file.Stream() << pasteboard.Read(AppKit::Pasteboard::kPdfType);
    file.Commit();
}

}  // namespace Host
