// The platform's print and copy job: it hands a plot's SVG, or a window's content, to the
// host's print view, which prints it (to the print operation's PDF file) or writes it as PDF to
// the general pasteboard. The plot job asks the plot's page for its SVG and prints when the
// page answers; the whole-window job prints the window's web view at once, during its creation.
#pragma once

#include <memory>

#include "appkit/View.h"
#include "plot/LumoPrintJob.h"

namespace AppKit {
class WindowController;
}
namespace Web {
class LumoPrintView;
}

namespace KVD {

class LumoProxyMac;

class MacPrintJob : public LumoPrintJob {
public:
    // The plot job, its SVG asked for; returned with one reference that the caller releases.
    static MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, LumoProxyMac* proxy,
                                          const std::string& plotId, ISubject* subject, const std::string& jobName,
                                          bool copying);
    // The whole-window job, already run; returned with one reference that the caller releases.
    static MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying);
    ~MacPrintJob() override;

    bool Cancelled() const override { return false; }
    std::string DeviceName() const override { return {}; }
    bool PrintingAll() const override { return true; }
    bool PrintingRange() const override { return false; }
    bool PrintingSelection() const override { return false; }
    int NumCopies() const override { return 1; }
    // A print view of the SVG, within the window's content bounds, prints it or writes it as
    // the pasteboard's only item; a print that writes no file throws std::runtime_error.
    void PrintSvg(const std::string& svg) override;

    // The print view once one was made; null before.
    const Web::LumoPrintView* PrintView() const { return mPrintView.get(); }
    bool IsCopying() const { return mCopying; }

protected:
    MacPrintJob(AppKit::WindowController* windowController, bool copying, std::string plotId, std::string jobName);
    template <class T, class... Args>
    friend COMPtr<T> MakeCounted(Args&&...);
    // A new print view bound to the window prints the window's web view, or copies it; the
    // job has failed when nothing was printed or copied.
    void PrintWebView();

private:
    AppKit::Rect ViewRect() const;

    AppKit::WindowController* mWindowController;  // not owned
    std::unique_ptr<Web::LumoPrintView> mPrintView;
    bool mCopying;
};

MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, LumoProxyMac* proxy,
                               const std::string& plotId, ISubject* subject, const std::string& jobName, bool copying);
MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying);

}  // namespace KVD
