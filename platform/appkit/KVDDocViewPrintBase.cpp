#include "appkit/KVDDocViewPrintBase.h"

#include <algorithm>

#include "appkit/Texts.h"

Gfx::Size KVDDocViewPrintBase::AvailablePageSizeMinusHeaderAndFooter() const
{
    const AppKit::PrintOperation* operation = AppKit::PrintOperation::Current();
    const AppKit::Rect page = (operation ? operation->Info() : AppKit::PrintInfo::Shared()).PageRect();
    return {page.width, std::max(page.height - kHeaderHeight - kFooterHeight, 0.0)};
}

bool KVDDocViewPrintBase::Print() { return AppKit::PrintOperation(AppKit::PrintInfo::Shared()).Run(*this); }

void KVDDocViewPrintBase::DrawPage(Gfx::Context& context, int page)
{
    const Gfx::Size content = AvailablePageSizeMinusHeaderAndFooter();
    SetFrame({0, 0, content.width, content.height});
    context.SaveState();
    context.Translate(0, kHeaderHeight);
    Display(context);
    context.RestoreState();
    // Outside a running operation (a preview of one page) the view counts its pages itself.
    const AppKit::PrintOperation* operation = AppKit::PrintOperation::Current();
    const AppKit::PrintInfo& info = operation ? operation->Info() : AppKit::PrintInfo::Shared();
    const int counted = operation ? operation->PageCount() : 0;
    DrawHeaderAndFooter(context, content, info, page, counted > 0 ? counted : PageCount(info));
}

void KVDDocViewPrintBase::DrawHeaderAndFooter(Gfx::Context& c, const Gfx::Size& content, const AppKit::PrintInfo& info,
                                              int page, int pages)
{
    constexpr double kFontSize = 9;
    const double left = std::max(0.0, kHeaderSideMargin - info.marginLeft);
    const double right = content.width - std::max(0.0, kHeaderSideMargin - info.marginRight);
    const Gfx::Color ink{0.3, 0.3, 0.3, 1};
    c.SetStrokeColor(ink);
    c.SetLineWidth(0.5);
    c.BeginPath();
    c.MoveTo(left, kHeaderHeight - 4);
    c.LineTo(right, kHeaderHeight - 4);
    const double footerTop = kHeaderHeight + content.height;
    c.MoveTo(left, footerTop + 4);
    c.LineTo(right, footerTop + 4);
    c.StrokePath();
    const Gfx::Size title = c.MeasureText(mJobTitle, kFontSize);
    c.DrawText({left, kHeaderHeight - 6 - title.height}, mJobTitle, kFontSize, ink, true);
    const std::string footer =
        AppKit::LocalizedText("IDS_PAGE_OF", {std::to_string(page + 1), std::to_string(pages)});
    const Gfx::Size size = c.MeasureText(footer, kFontSize);
    c.DrawText({right - size.width, footerTop + 6}, footer, kFontSize, ink, true);
}
