// The host's print view of plots and pages. Given a window controller, it prints the window's
// web view: the page goes to the print operation's PDF file (this platform's printer), or, for
// a copy, to the general pasteboard as PDF. It lives beside the web view because what it
// prints is the page itself, not the view's drawing.
//
// Made with a plot's printable SVG instead, it draws that SVG (with librsvg: the host never
// links the plug-in's SVG reader) within its view rectangle: printed, scaled to fit the
// printable area of the paper; copied, as a PDF of the rectangle's size. An SVG it cannot draw
// throws std::invalid_argument, so that the print job that handed it over fails.
#pragma once

#include <string>

#include "appkit/Pasteboard.h"
#include "appkit/PrintView.h"

namespace Web {

class WebView;

class LumoPrintView : public AppKit::DocViewPrintBase {
public:
    LumoPrintView() = default;
    // The view of a plot's SVG, its frame the view rectangle.
    LumoPrintView(std::string svg, const AppKit::Rect& viewRect);
    const char* ClassName() const override { return "LumoPrintView"; }
    bool HasSVG() const { return mHasSvg; }

    void SetCopyingOperation(bool copying) { mCopying = copying; }
    bool IsCopyingOperation() const { return mCopying; }

    // Prints the window's page to the shared print info's PDF file, or copies it; false when the
    // window has no web view, the print info names no file, or the file cannot be written.
    bool Print(void* sender);
    // Writes the drawing within rect as PDF to the pasteboard, beside what it holds.
    void WritePDFInsideRect(const AppKit::Rect& rect, AppKit::Pasteboard& pasteboard);
    // The SVG drawn at the rectangle's size; without one, the view's own drawing.
    std::string DataWithPDFInsideRect(const AppKit::Rect& rect) override;

private:
    // The first web view of the window controller's window, depth first.
    WebView* FindWebView() const;
    bool PrintToFile(WebView& web, const AppKit::PrintInfo& info) const;

    // The SVG on one page of that size, within area.
    std::string SvgPdf(const Gfx::Size& page, const AppKit::Rect& area) const;

    bool mCopying = false;
    bool mHasSvg = false;
    std::string mSvg;
};

}  // namespace Web
