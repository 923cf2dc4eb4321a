#include "plot/MacPrintJob.h"

#include <utility>

#include "web/LumoPrintView.h"

namespace KVD {

MacPrintJob::MacPrintJob(AppKit::WindowController* windowController, bool copying, std::string plotId,
                         std::string jobName)
    : LumoPrintJob(std::move(plotId), std::move(jobName)), mWindowController(windowController), mCopying(copying)
{
}

MacPrintJob::~MacPrintJob() = default;

MacPrintJob* MacPrintJob::CreateMacPrintJob(AppKit::WindowController* windowController, bool copying)
{
    auto* job = new MacPrintJob(windowController, copying, std::string(), std::string());
    job->AddRef();
    job->PrintWebView();
    return job;
}

void MacPrintJob::PrintWebView()
{
    mPrintView = std::make_unique<Web::LumoPrintView>();
    mPrintView->SetWindowController(mWindowController);
    mPrintView->SetCopyingOperation(mCopying);
    mPrintView->Print(nullptr);
}

MacPrintJob* CreateMacPrintJob(AppKit::WindowController* windowController, bool copying)
{
    return MacPrintJob::CreateMacPrintJob(windowController, copying);
}

}  // namespace KVD
