// Printing: a print view lays its content out on pages; a print operation draws them, page by
// page, into a PDF file (this platform's printer).
#pragma once

#include <string>

#include "appkit/View.h"

namespace AppKit {

class WindowController;

// Paper and margins in points.
struct PrintInfo {
    enum class Orientation { Portrait, Landscape };
    double paperWidth = 595.276;   // A4, upright
    double paperHeight = 841.89;
    Orientation orientation = Orientation::Portrait;
    double marginLeft = 36, marginRight = 36, marginTop = 36, marginBottom = 36;
    double headerHeight = 0, footerHeight = 0;
    // Where a print job goes: a PDF file, this platform's printer. Empty: nowhere.
    std::string savingPath;

    // The application's print info: what page setup edits and print jobs start from.
    static PrintInfo& Shared();

    // The paper as it lies: its sides swap in landscape.
    Gfx::Size PaperSize() const
    {
        return orientation == Orientation::Portrait ? Gfx::Size{paperWidth, paperHeight} : Gfx::Size{paperHeight, paperWidth};
    }
    // The printable area of a page, inside the margins and without header and footer.
    Rect PageRect() const
    {
        const Gfx::Size paper = PaperSize();
        return {marginLeft, marginTop + headerHeight, paper.width - marginLeft - marginRight,
                paper.height - marginTop - marginBottom - headerHeight - footerHeight};
    }
};

// The host's base of print views.
class DocViewPrintBase : public View {
public:
    explicit DocViewPrintBase(Rect frame = {}) : View(frame) {}
    const char* ClassName() const override { return "DocViewPrintBase"; }

    WindowController* GetWindowController() const { return mController; }
    virtual void SetWindowController(WindowController* controller) { mController = controller; }

    // Pages of the layout for this paper; one by default.
    virtual int PageCount(const PrintInfo&) { return 1; }
    // Draws one page (0-based) in the page rectangle's coordinates; by default the view itself.
    virtual void DrawPage(Gfx::Context& context, int page);

private:
    WindowController* mController = nullptr;
};

class PrintOperation {
public:
    explicit PrintOperation(PrintInfo info = PrintInfo::Shared()) : mInfo(std::move(info)) {}

    // Prints the view to the info's PDF file; false when it names none or cannot be written.
    bool Run(DocViewPrintBase& view) { return !mInfo.savingPath.empty() && RunToPdf(view, mInfo.savingPath); }
    // Draws every page of the view into a PDF file; false when it cannot be written.
    bool RunToPdf(DocViewPrintBase& view, const std::string& path);
    // The same PDF as bytes (empty when the view has no page).
    std::string RunToPdfData(DocViewPrintBase& view);

    const PrintInfo& Info() const { return mInfo; }
    // A view may change the paper while it prints: the pages after the current one follow.
    void SetPrintInfo(const PrintInfo& info) { mInfo = info; }
    // The operation printing now, or null; its current page is 0-based.
    static PrintOperation* Current();
    static void SetCurrent(PrintOperation* operation);
    int CurrentPage() const { return mPage; }
    int PageCount() const { return mPages; }

private:
    PrintInfo mInfo;
    int mPage = -1;
    int mPages = 0;
};

}  // namespace AppKit
