// The host's base of document print views. A page is the printable area of the shared print
// info's paper (A4 upright unless page setup says otherwise) less the margins; the base draws a
// header (the job's title) at its top and a footer ("Page 1 of 2") at its bottom, and the
// subclass draws its content, in its drawing, in the space between, whose size
// AvailablePageSizeMinusHeaderAndFooter gives.
#pragma once

#include <string>

#include "appkit/PrintView.h"

class KVDDocViewPrintBase : public AppKit::DocViewPrintBase {
public:
    static constexpr double kHeaderHeight = 24;
    static constexpr double kFooterHeight = 24;
    // The least distance of header and footer from the paper's sides: a page printed without
    // side margins still gets its header inside the paper's printable area.
    static constexpr double kHeaderSideMargin = 36;

    explicit KVDDocViewPrintBase(AppKit::Rect frame = {}) : AppKit::DocViewPrintBase(frame) {}
    const char* ClassName() const override { return "KVDDocViewPrintBase"; }

    // The content's size on a page: of the print operation running, else of the shared print info.
    Gfx::Size AvailablePageSizeMinusHeaderAndFooter() const;
    const std::string& JobTitle() const { return mJobTitle; }
    void SetJobTitle(const std::string& title) { mJobTitle = title; }

    // Prints every page through a print operation on the shared print info: into its PDF file.
    // False when it names none or the file cannot be written.
    bool Print();

    // The content fills the page's middle; header and footer follow it.
    void DrawPage(Gfx::Context& context, int page) override;

private:
    void DrawHeaderAndFooter(Gfx::Context& context, const Gfx::Size& content, const AppKit::PrintInfo& info, int page,
                             int pages);
    std::string mJobTitle;
};
