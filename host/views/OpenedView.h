// A view opened on a document through the view class registered under a name, as the host
// opens a document's views, and what a user without a screen gets of it: the pages settle,
// then the window as PNG, the view's print as PDF and the view's copy (the pasteboard's PDF).
#pragma once

#include <stdexcept>
#include <string>

#include "ICustomDocument.h"
#include "IDocument.h"
#include "foundation/COMPtr.h"

namespace AppKit {
class Window;
}

namespace Host {

// Serves the pages' calls and runs the timers for a while, so that pages that ask the host for
// data have drawn it.
void SettlePages(double seconds);

struct ViewError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Open while the object lives; throws ViewError naming what failed.
class OpenedView {
public:
    OpenedView(IUnknown* document, const std::string& viewClassName);
    ~OpenedView();
    OpenedView(const OpenedView&) = delete;
    OpenedView& operator=(const OpenedView&) = delete;

    IUnknown* View() const { return mView; }
    // The view's window; null when it made none.
    AppKit::Window* Window() const;

    // Each throws ViewError when nothing could be written.
    void WritePng(const std::string& path) const;
    void PrintToPdf(const std::string& path) const;
    void CopyToPdf(const std::string& path) const;

private:
    KVD::COMPtr<IDocument> mDocument;
    KVD::COMPtr<IUnknown> mView;
};

}  // namespace Host
