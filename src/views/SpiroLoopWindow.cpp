#include "views/SpiroLoopWindow.h"

#include "plot/LumoHtml.h"
#include "views/SpiroLoopView.h"

SpiroLoopWindow::SpiroLoopWindow(Spirometry::SpiroLoopView* view)
    : SPIRO_KVDDocViewWindowController(kNibName, view), mDocView(view)
{
}

bool SpiroLoopWindow::SetOutlet(const std::string& name, AppKit::View* view)
{
    if (name != kFrameOutlet)
        return SPIRO_KVDDocViewWindowController::SetOutlet(name, view);
    mFrame = view;
    return true;
}

void SpiroLoopWindow::AwakeFromNib()
{
    if (mDocView != nullptr)
        mDocView->GetPlot().AttachWebView(mFrame);
}

// A page may finish loading at once, and its frame reaches the view through the window's
// controller: the window must be this controller's first.
void SpiroLoopWindow::WindowDidLoad()
{
    if (mDocView != nullptr)
        mDocView->GetPlot().LoadHTML(KVD::ToKVDString(KVD::LumoHtml::GetLumoHtml()), KVD::String());
}

void SpiroLoopWindow::OnFrameLoaded(const Web::WebFrame& frame)
{
    if (mDocView != nullptr)
        mDocView->OnLoad(frame);
}

void SpiroLoopWindow::ForgetOwnerView()
{
    mDocView = nullptr;
    SPIRO_KVDDocViewWindowController::ForgetOwnerView();
}
