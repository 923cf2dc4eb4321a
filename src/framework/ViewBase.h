// The base of every document view the plug-in shows in a host window. It is the plug-in window,
// the handler that the host reaches through the view's COM proxy, and a counted object. It
// answers what all views share: the enables of the host's copy, print and print-preview
// commands, the page-setup message, the view's id, and the window position that its window
// controller stored in the host's settings registrar.
#pragma once

#include "IDocView.h"
#include "IOrrelDocument.h"
#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFCppEventHandler.h"
#include "framework/ResponseTable.h"
#include "framework/SRKey.h"
#include "framework/TWindow.h"

class NSBundle;
class SPIRO_KVDDocViewWindowController;

class ViewBase : public TWindow, public CAFCppEventHandler, public KVD::CComObjectRoot {
public:
    // The position message: the view id's two halves and the frame in host window coordinates.
    typedef MsgData3<StaticMsgIdClass<0x80010005>, 0, MsgCAFId, unsigned int, tagRECT> PositionWindowMsg;
    // The host's page-setup message.
    typedef MsgData0<StaticMsgIdClass<0x8001000D>, 0x40> PageSetupMsg;

    // parent and title are not used: the title is the view class's name.
    ViewBase(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, const wchar_t* title,
             NSBundle* bundle);
    // Leaves the window controller without an owner view, so that the window can do no more.
    ~ViewBase() override;

    // No interface: views are reached through their doc view. Sets out to null and answers
    // KVD_E_NOINTERFACE whatever the id, unless a view overrides it.
    virtual HRESULT QueryInterface(const _IID& iid, void** out);
    virtual int DoMacViewUserAction(unsigned int action, void* record);
    virtual KVD::String Edit_CopyToClipboardMenuText() const = 0;
    virtual KVD::String File_PrintMenuText() const = 0;
    virtual bool CanPrint() const { return false; }
    virtual bool CanCopyToClipboard() { return false; }
    virtual bool CanPrintPreview() const { return false; }
    CAF_DECLARE_RESPONSE_TABLE();

    // Not counted: the document outlives its views.
    IDocument* GetRootDocument() const { return mRootDocument; }
    IDocument* GetDocument() const { return mDocument; }
    IDocViewClass* GetViewClass() const { return mViewClass; }
    IDocView* GetDocView() const { return mDocView; }
    NSBundle* GetBundle() const { return mBundle; }
    const KVD::String& GetTitle() const { return mTitle; }

    // Type id of the view class in bits 0-31, view number in 32-47, instance in 48-63.
    ViewId GetViewId() const;
    // The window controller that shows this view, when its window is loaded.
    SPIRO_KVDDocViewWindowController* GetWindowControllerOfView() const;

    // Replays the window position stored for this view; true when something was stored.
    bool InitialisePosition(const IAutoOrrelDoc* document);
    bool InitialisePosition(const ISettingsRegistrar* registrar);

    void CeCopyToClipboard(CmdEnabler& enabler);
    void CePrint(CmdEnabler& enabler);
    void CePrintPreview(CmdEnabler& enabler);
    // Runs the page-setup panel on the application's print info; handled.
    bool HmPageSetup();
    // Moves the window when the message is this view's; handled in every case.
    bool HmPositionWindow(CAFId idLow, unsigned int idHigh, const tagRECT& frame);

private:
    NSBundle* mBundle;
    KVD::COMPtr<IDocument, KVD::COMWeak> mDocument;
    KVD::COMPtr<IDocViewClass, KVD::COMWeak> mViewClass;
    KVD::COMPtr<IDocView, KVD::COMWeak> mDocView;
    KVD::COMPtr<IDocument, KVD::COMWeak> mRootDocument;
    KVD::String mTitle;
};
