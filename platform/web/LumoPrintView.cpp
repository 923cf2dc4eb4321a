#include "web/LumoPrintView.h"

#include <fstream>

#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/Pasteboard.h"
#include "web/WebView.h"

namespace Web {
namespace {

WebView* FindIn(AppKit::View& view)
{
    if (auto* web = dynamic_cast<WebView*>(&view))
        return web;
    for (const auto& child : view.Subviews()) {
        if (WebView* web = FindIn(*child))
            return web;
    }
    return nullptr;
}

}  // namespace

WebView* LumoPrintView::FindWebView() const
{
    auto* controller = dynamic_cast<AppKit::DocViewWindowControllerBase*>(GetWindowController());
    if (controller == nullptr || !controller->IsWindowLoaded())
        return nullptr;
    return FindIn(controller->GetWindow().ContentView());
}

bool LumoPrintView::Print(void*)
{
    WebView* web = FindWebView();
    if (web == nullptr)
        return false;
    if (mCopying) {
        AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
        pasteboard.Clear();
        pasteboard.WriteObjects(AppKit::PasteboardPDFWriter(web->DataWithPDFInsideRect(web->Bounds())), nullptr);
        return true;
    }
    const AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
    return !info.savingPath.empty() && PrintToFile(*web, info);
}

// The page printed on the print info's paper; a view without a page prints its own drawing.
bool LumoPrintView::PrintToFile(WebView& web, const AppKit::PrintInfo& info) const
{
    PrintInfo paper;
    paper.paperWidth = info.paperWidth;
    paper.paperHeight = info.paperHeight;
    paper.top = info.marginTop + info.headerHeight;
    paper.bottom = info.marginBottom + info.footerHeight;
    paper.left = info.marginLeft;
    paper.right = info.marginRight;
    if (web.RenderToPdf(info.savingPath, paper))
        return true;
    const std::string pdf = web.DataWithPDFInsideRect(web.Bounds());
    std::ofstream out(info.savingPath, std::ios::binary);
    out << pdf;
    return !pdf.empty() && static_cast<bool>(out.flush());
}

}  // namespace Web
