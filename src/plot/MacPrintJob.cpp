#include "plot/MacPrintJob.h"

#include <stdexcept>
#include <utility>

#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/Pasteboard.h"
#include "foundation/StringKeys.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoText.h"
#include "web/LumoPrintView.h"

namespace KVD {

MacPrintJob::MacPrintJob(AppKit::WindowController* windowController, bool copying, std::string plotId,
                         std::string jobName)
    : LumoPrintJob(std::move(plotId), std::move(jobName)), mWindowController(windowController), mCopying(copying)
{
}

MacPrintJob::~MacPrintJob() = default;

MacPrintJob* MacPrintJob::CreateMacPrintJob(AppKit::WindowController* windowController, LumoProxyMac* proxy,
                                            const std::string& plotId, ISubject* subject,
                                            const std::string& jobName, bool copying)
{
    auto job = MakeCounted<MacPrintJob>(windowController, copying, plotId, jobName);
    job->Init(proxy, subject);
    return job.Forget();
}

MacPrintJob* MacPrintJob::CreateMacPrintJob(AppKit::WindowController* windowController, bool copying)
{
    auto job = MakeCounted<MacPrintJob>(windowController, copying, std::string(), std::string());
    job->PrintWebView();
    return job.Forget();
}

void MacPrintJob::PrintWebView()
{
    mPrintView = std::make_unique<Web::LumoPrintView>();
    mPrintView->SetWindowController(mWindowController);
    mPrintView->SetCopyingOperation(mCopying);
    if (!mPrintView->Print(nullptr))
        SetFailed();
}

// The window's content bounds; all zero without a loaded window.
AppKit::Rect MacPrintJob::ViewRect() const
{
    auto* controller = dynamic_cast<AppKit::DocViewWindowControllerBase*>(mWindowController);
    if (controller == nullptr || !controller->IsWindowLoaded())
        return AppKit::Rect{};
    return controller->GetWindow().ContentView().Bounds();
}

void MacPrintJob::PrintSvg(const std::string& svg)
{
    const AppKit::Rect rect = ViewRect();
    mPrintView = std::make_unique<Web::LumoPrintView>(svg, rect);
    mPrintView->SetCopyingOperation(mCopying);
    mPrintView->SetWindowController(mWindowController);
    if (mCopying) {
        AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
        pasteboard.Clear();
        mPrintView->SetFrame(rect);
        mPrintView->WritePDFInsideRect(rect, pasteboard);
    } else if (!mPrintView->Print(nullptr)) {
        throw std::runtime_error(Lumo::Text(LumoStr::IDS_LUMO_NOT_PRINTED));
    }
}

MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, LumoProxyMac* proxy,
                               const std::string& plotId, ISubject* subject, const std::string& jobName, bool copying)
{
    return MacPrintJob::CreateMacPrintJob(windowController, proxy, plotId, subject, jobName, copying);
}

MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying)
{
    return MacPrintJob::CreateMacPrintJob(windowController, copying);
}

}  // namespace KVD
