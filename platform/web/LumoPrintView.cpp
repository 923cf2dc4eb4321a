#include "web/LumoPrintView.h"

#include <stdexcept>

#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/Pasteboard.h"
#include "cf/FileBytes.h"
#include "web/SvgPdf.h"
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

LumoPrintView::LumoPrintView(std::string svg, const AppKit::Rect& viewRect)
    : AppKit::DocViewPrintBase(viewRect), mHasSvg(true), mSvg(std::move(svg))
{
}

std::string LumoPrintView::SvgPdf(const Gfx::Size& page, const AppKit::Rect& area) const
{
    std::string pdf, error;
    if (!SvgToPdf(mSvg, page, area, pdf, error))
        throw std::invalid_argument("The plot's SVG cannot be printed: " + error);
    return pdf;
}

std::string LumoPrintView::DataWithPDFInsideRect(const AppKit::Rect& rect)
{
    if (!mHasSvg)
        return AppKit::DocViewPrintBase::DataWithPDFInsideRect(rect);
    return SvgPdf(Gfx::Size{rect.width, rect.height}, AppKit::Rect{0, 0, rect.width, rect.height});
}

void LumoPrintView::WritePDFInsideRect(const AppKit::Rect& rect, AppKit::Pasteboard& pasteboard)
{
    pasteboard.WriteObjects(AppKit::PasteboardPDFWriter(DataWithPDFInsideRect(rect)), nullptr);
}

WebView* LumoPrintView::FindWebView() const
{
    auto* controller = dynamic_cast<AppKit::DocViewWindowControllerBase*>(GetWindowController());
    if (controller == nullptr || !controller->IsWindowLoaded())
        return nullptr;
    return FindIn(controller->GetWindow().ContentView());
}

bool LumoPrintView::Print(void*)
{
    if (mHasSvg) {
        if (mCopying) {
            WritePDFInsideRect(Bounds(), AppKit::Pasteboard::General());
            return true;
        }
        // An SVG that cannot be drawn is refused before anything else.
        const AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
        const std::string pdf = SvgPdf(info.PaperSize(), info.PageRect());
        return !info.savingPath.empty() && CF::WriteFileBytes(info.savingPath, pdf);
    }
    WebView* web = FindWebView();
    if (web == nullptr)
        return false;
    if (mCopying) {
        AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
        pasteboard.Clear();
        std::string pdf = web->DataWithPDFInsideRect(web->Bounds());
        if (pdf.empty())
            return false;
        pasteboard.WriteObjects(AppKit::PasteboardPDFWriter(std::move(pdf)), nullptr);
        return true;
    }
    const AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
    return !info.savingPath.empty() && PrintToFile(*web, info);
}

// The page printed on the print info's paper; a view without a page prints its own drawing,
// and a page that cannot be printed prints nothing (a blank page would pass for the page).
bool LumoPrintView::PrintToFile(WebView& web, const AppKit::PrintInfo& info) const
{
    PrintInfo paper;
    paper.paperWidth = info.paperWidth;
    paper.paperHeight = info.paperHeight;
    paper.top = info.marginTop + info.headerHeight;
    paper.bottom = info.marginBottom + info.footerHeight;
    paper.left = info.marginLeft;
    paper.right = info.marginRight;
    if (web.LoadCount() != 0)
        return web.RenderToPdf(info.savingPath, paper);
    const std::string pdf = web.DataWithPDFInsideRect(web.Bounds());
    return !pdf.empty() && CF::WriteFileBytes(info.savingPath, pdf);
}

}  // namespace Web
