#include "framework/KVDDocViewWindowController.h"

#include "FrameworkIds.h"
#include "appkit/Window.h"
#include "cf/Bundle.h"
#include "foundation/StringResources.h"
#include "framework/ViewBase.h"

NSBundle* SPIRO_KVDDocViewWindowController::BundleOf(ViewBase* view)
{
    NSBundle* bundle = view != nullptr ? view->GetBundle() : nullptr;
    return bundle != nullptr ? bundle : KVDGetMyBundle();
}

SPIRO_KVDDocViewWindowController::SPIRO_KVDDocViewWindowController(const std::string& nibName, ViewBase* ownerView)
    : AppKit::DocViewWindowControllerBase(BundleOf(ownerView) != nullptr ? BundleOf(ownerView)->ResourcePath() + "/layouts"
                                                                         : std::string(),
                                          nibName),
      mOwnerView(ownerView),
      mBundle(BundleOf(ownerView))
{
    if (mOwnerView == nullptr)
        return;
    KVD::COMPtr<IDocument> root(mOwnerView->GetRootDocument());
    if (root == nullptr)
        return;
    const KVD::COMPtr<IMessageHandler, KVD::COMWeak> handler(KVD::com_cast(root.get()));
    if (handler != nullptr)
        mMessageSender.SetDestination(handler, false);
}

SPIRO_KVDDocViewWindowController::~SPIRO_KVDDocViewWindowController()
{
    // A view that outlives its controller must not keep the window this controller owns.
    if (mOwnerView != nullptr && IsWindowLoaded() && mOwnerView->GetNativeWindow() == &GetWindow())
        mOwnerView->SetNativeWindow(nullptr);
}

void SPIRO_KVDDocViewWindowController::LoadWindow()
{
    AppKit::DocViewWindowControllerBase::LoadWindow();
    if (mOwnerView != nullptr)
        mOwnerView->SetNativeWindow(&GetWindow());
    TweakDefaultPosition();
}

void SPIRO_KVDDocViewWindowController::ForgetOwnerView()
{
    ViewBase* view = std::exchange(mOwnerView, nullptr);
    mMessageSender.DoCleanup();
    if (!IsWindowLoaded())
        return;
    if (view != nullptr && view->GetNativeWindow() == &GetWindow())
        view->SetNativeWindow(nullptr);
    GetWindow().Close();
}

bool SPIRO_KVDDocViewWindowController::WindowShouldClose(AppKit::Window&)
{
    // The host may close the view, and with it drop this controller, while the message is out.
    const std::shared_ptr<SPIRO_KVDDocViewWindowController> keep = weak_from_this().lock();
    SendCloseMessage();
    return false;
}

void SPIRO_KVDDocViewWindowController::WindowDidMoveOrResize(AppKit::Window&)
{
    const tagRECT frame = CurrentFrame();
    RememberPosition(&frame);
}

tagRECT SPIRO_KVDDocViewWindowController::CurrentFrame() const
{
    const AppKit::IntRect r = GetOrzPosRect();
    return {r.left, r.top, r.right, r.bottom};
}

bool SPIRO_KVDDocViewWindowController::ReportableViewId(ViewId* id) const
{
    if (mOwnerView == nullptr)
        return false;
    *id = mOwnerView->GetViewId();
    return static_cast<CAFId>(*id) >= 0x10000;
}

void SPIRO_KVDDocViewWindowController::SendCloseMessage()
{
    const tagRECT frame = CurrentFrame();
    RememberPosition(&frame);
    ViewId id = 0;
    if (!ReportableViewId(&id))
        return;
    const CloseViewMsg message(static_cast<CAFId>(id), static_cast<unsigned int>(id >> 32), 0u);
    const WindowKey key(kMsgId_CloseView, id);
    mMessageSender.SendMsg(mMessageSender.GetDestination(), message, key, kCloseSendFlags);
}

void SPIRO_KVDDocViewWindowController::RememberPosition(const tagRECT* frame)
{
    ViewId id = 0;
    if (frame == nullptr || !ReportableViewId(&id))
        return;
    const ViewBase::PositionWindowMsg message(static_cast<CAFId>(id), static_cast<unsigned int>(id >> 32), *frame);
    const WindowKey key(kMsgId_WindowPosition, id);
    mMessageSender.SendMsg(mMessageSender.GetDestination(), message, key, kPositionSendFlags);
}
