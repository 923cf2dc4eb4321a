// The platform's print and copy job: it hands a window's content to the host's print view,
// which prints it (to the print operation's PDF file) or writes it as PDF to the general
// pasteboard. The whole-window job prints the window's web view at once, during its creation.
#pragma once

#include <memory>

#include "plot/LumoPrintJob.h"

namespace AppKit {
class WindowController;
}
namespace Web {
class LumoPrintView;
}

namespace KVD {

class MacPrintJob : public LumoPrintJob {
public:
    // The whole-window job, already run; returned with one reference that the caller releases.
    static MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying);
    ~MacPrintJob() override;

    bool Cancelled() const override { return false; }
    std::string DeviceName() const override { return {}; }
    bool PrintingAll() const override { return true; }
    bool PrintingRange() const override { return false; }
    bool PrintingSelection() const override { return false; }
    int NumCopies() const override { return 1; }

    // The print view once one was made; null before.
    const Web::LumoPrintView* PrintView() const { return mPrintView.get(); }
    bool IsCopying() const { return mCopying; }

protected:
    MacPrintJob(AppKit::WindowController* windowController, bool copying, std::string plotId, std::string jobName);
    // A new print view bound to the window prints the window's web view, or copies it.
    void PrintWebView();

private:
    AppKit::WindowController* mWindowController;  // not owned
    std::unique_ptr<Web::LumoPrintView> mPrintView;
    bool mCopying;
};

MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying);

}  // namespace KVD
