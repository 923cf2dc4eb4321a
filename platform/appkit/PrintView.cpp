#include "appkit/PrintView.h"

#include <fstream>

#include "graphics/Canvas.h"

namespace AppKit {

namespace {

PrintOperation* gCurrent = nullptr;

}  // namespace

PrintOperation* PrintOperation::Current() { return gCurrent; }

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
    auto canvas = Gfx::Canvas::CreatePDF(mInfo.paperWidth, mInfo.paperHeight);
    Gfx::Context& c = canvas->GetContext();
    PrintOperation* outer = gCurrent;
    gCurrent = this;
    const Rect page = mInfo.PageRect();
    for (mPage = 0; mPage < pages; ++mPage) {
        if (mPage > 0)
            canvas->NewPage();
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
    if (pdf.empty())
        return false;
    std::ofstream out(path, std::ios::binary);
    out << pdf;
    return static_cast<bool>(out.flush());
}

}  // namespace AppKit
