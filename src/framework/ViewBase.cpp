#include "framework/ViewBase.h"

#include "FrameworkIds.h"
#include "appkit/PageLayout.h"
#include "appkit/Window.h"
#include "foundation/DynamicId.h"
#include "framework/CAFProxyEventHandler.h"
#include "framework/KVDDocViewWindowController.h"

CAF_DEFINE_RESPONSE_TABLE(ViewBase, CAFCppEventHandler) = {
    TableHeader(),
    ResponseTable::CommandEnable<ViewBase>(&StaticTypeIdClass<kCmdId_CopyToClipboard>::GetId,
                                           &ViewBase::CeCopyToClipboard),
    ResponseTable::CommandEnable<ViewBase>(&StaticTypeIdClass<kCmdId_Print>::GetId, &ViewBase::CePrint),
    ResponseTable::CommandEnable<ViewBase>(&StaticTypeIdClass<kCmdId_PrintPreview>::GetId, &ViewBase::CePrintPreview),
    ResponseTable::Message<ViewBase, ViewBase::PageSetupMsg>(&ViewBase::HmPageSetup),
    ResponseTable::Message<ViewBase, ViewBase::PositionWindowMsg>(&ViewBase::HmPositionWindow),
    TableEnd(),
};

ViewBase::ViewBase(TWindow*, IDocViewClass* viewClass, IDocView* docView, IDocument* document, const wchar_t*,
                   NSBundle* bundle)
    : mBundle(bundle), mDocument(document), mViewClass(viewClass), mDocView(docView)
{
    // Until its doc view attaches it, the view answers through a proxy of its own.
    AttachProxy(*new CAFProxyEventHandler);
    if (mViewClass != nullptr)
        mViewClass->GetViewName(KVD::String::Setter(mTitle));
    if (mDocument != nullptr) {
        KVD::COMPtr<IDocument> root;
        mDocument->GetRootDocument(root.Set());
        mRootDocument = root.get();
    }
}

ViewBase::~ViewBase()
{
    if (SPIRO_KVDDocViewWindowController* controller = GetWindowControllerOfView())
        controller->ForgetOwnerView();
}

HRESULT ViewBase::QueryInterface(const _IID&, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOINTERFACE;
}

int ViewBase::DoMacViewUserAction(unsigned int, void*)
{
    return 0;
}

ViewId ViewBase::GetViewId() const
{
    TCAFId type = 0;
    if (mViewClass != nullptr)
        mViewClass->GetTypeId(&type);
    uint32_t number = 0;
    int instance = 0;
    if (mDocView != nullptr) {
        mDocView->GetViewNumber(&number);
        if (KVD::COMPtr<IDocView2> docView2{KVD::com_cast(mDocView.get())})
            docView2->GetInstance(&instance);
    }
    const uint64_t high = (number & 0xFFFFu) | (static_cast<uint64_t>(instance) & 0xFFFFu) << 16;
    return type | high << 32;
}

SPIRO_KVDDocViewWindowController* ViewBase::GetWindowControllerOfView() const
{
    auto* window = static_cast<AppKit::Window*>(GetNativeWindow());
    return window == nullptr ? nullptr : dynamic_cast<SPIRO_KVDDocViewWindowController*>(window->Controller());
}

bool ViewBase::InitialisePosition(const IAutoOrrelDoc* document)
{
    if (document == nullptr)
        return false;
    // The host's automation interface is not const-correct: asking changes nothing.
    IAutoOrrelDoc* doc = const_cast<IAutoOrrelDoc*>(document);
    KVD::COMPtr<IAutoOrrelDoc> held(doc);
    KVD::COMPtr<IUnknown> answer;
    held->GetSettingsRegistrar(answer.Set());
    const KVD::COMPtr<ISettingsRegistrar> registrar(KVD::com_cast(answer.get()));
    return registrar != nullptr && InitialisePosition(registrar.get());
}

bool ViewBase::InitialisePosition(const ISettingsRegistrar* registrar)
{
    if (registrar == nullptr)
        return false;
    KVD::COMPtr<IUnknown> stored;
    {
        const WindowKey key(kMsgId_WindowPosition, GetViewId());
        registrar->GetObject(key.GetKey(), stored.Set());
    }
    if (stored == nullptr)
        return false;
    if (const KVD::COMPtr<IMessage> message{KVD::com_cast(stored.get())})
        CAFEventHandlerBase::DispatchKVDMessage(message);
    return true;
}

void ViewBase::CeCopyToClipboard(CmdEnabler& enabler)
{
    enabler.SetText(Edit_CopyToClipboardMenuText());
    enabler.Enable(CanCopyToClipboard());
}

void ViewBase::CePrint(CmdEnabler& enabler)
{
    enabler.SetText(File_PrintMenuText());
    enabler.Enable(CanPrint());
}

void ViewBase::CePrintPreview(CmdEnabler& enabler)
{
    enabler.Enable(CanPrintPreview());
}

bool ViewBase::HmPageSetup()
{
    AppKit::PageLayout::Shared().RunModal(AppKit::PrintInfo::Shared());
    return true;
}

bool ViewBase::HmPositionWindow(CAFId idLow, unsigned int idHigh, const tagRECT& frame)
{
    const ViewId id = GetViewId();
    SPIRO_KVDDocViewWindowController* controller = GetWindowControllerOfView();
    if (controller == nullptr || static_cast<CAFId>(id) != idLow || static_cast<unsigned int>(id >> 32) != idHigh)
        return true;
    // Moving the window reports the move again: a frame it already has is left alone, so that
    // the report cannot come back here without end.
    const AppKit::IntRect now = controller->GetOrzPosRect();
    if (now.left != frame.left || now.top != frame.top || now.right != frame.right || now.bottom != frame.bottom)
        controller->SetFrameFromOrzPosRect({frame.left, frame.top, frame.right, frame.bottom});
    return true;
}
