// The host's print view of plots and pages. Given a window controller, it prints the window's
// web view: the page goes to the print operation's PDF file (this platform's printer), or, for
// a copy, to the general pasteboard as PDF. It lives beside the web view because what it
// prints is the page itself, not the view's drawing.
#pragma once

#include <string>

#include "appkit/PrintView.h"

namespace Web {

class WebView;

class LumoPrintView : public AppKit::DocViewPrintBase {
public:
    LumoPrintView() = default;
    const char* ClassName() const override { return "LumoPrintView"; }

    void SetCopyingOperation(bool copying) { mCopying = copying; }
    bool IsCopyingOperation() const { return mCopying; }

    // Prints the window's page to the shared print info's PDF file, or copies it; false when the
    // window has no web view, the print info names no file, or the file cannot be written.
    bool Print(void* sender);

private:
    // The first web view of the window controller's window, depth first.
    WebView* FindWebView() const;
    bool PrintToFile(WebView& web, const AppKit::PrintInfo& info) const;

    bool mCopying = false;
};

}  // namespace Web
