#include "appkit/PrintView.h"

#include "cf/FileBytes.h"
#include "graphics/Canvas.h"

namespace AppKit {

namespace {

PrintOperation* gCurrent = nullptr;

}  // namespace

PrintOperation* PrintOperation::Current() { return gCurrent; }

void PrintOperation::SetCurrent(PrintOperation* operation) { gCurrent = operation; }

PrintInfo& PrintInfo::Shared()
{
    static PrintInfo shared;
    return shared;
}

void DocViewPrintBase::DrawPage(Gfx::Context& context, int)
{
    context.Translate(-Frame().x, -Frame().y);
    Display(context);
}

std::string PrintOperation::RunToPdfData(DocViewPrintBase& view)
{
    const int pages = view.PageCount(mInfo);
    if (pages <= 0)
        return {};
    mPages = pages;
    const Gfx::Size paper = mInfo.PaperSize();
    auto canvas = Gfx::Canvas::CreatePDF(paper.width, paper.height);
    Gfx::Context& c = canvas->GetContext();
    PrintOperation* outer = gCurrent;
    gCurrent = this;
    for (mPage = 0; mPage < pages; ++mPage) {
        if (mPage > 0)
            canvas->NewPage();
        const Rect page = mInfo.PageRect();
        c.SaveState();
        c.Translate(page.x, page.y);
        c.ClipToRect({0, 0, page.width, page.height});
        view.DrawPage(c, mPage);
        c.RestoreState();
    }
    mPage = -1;
    gCurrent = outer;
    return canvas->Finish();
}

bool PrintOperation::RunToPdf(DocViewPrintBase& view, const std::string& path)
{
    const std::string pdf = RunToPdfData(view);
    return !pdf.empty() && CF::WriteFileBytes(path, pdf);
}

}  // namespace AppKit
