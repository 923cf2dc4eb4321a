// The host's document base (class object of fixed type id 0x80000011), which a plug-in document
// aggregates: the document's IDocument, its subject (through the event map) and its message
// handler, which opens and closes the document's views on the framework's messages.
#pragma once

#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "ICustomDocument.h"
#include "IDocView.h"
#include "IMessageHandler.h"
#include "IObserver.h"
#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "host/framework/Aggregated.h"
#include "host/framework/EventMapSubject.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class DocumentBase final : public EventMapSubject<Aggregated<IDocument, IMessageHandler, ISubject>> {
public:
    DocumentBase(ICustomDocClass* cls, IDocumentSite* site, IUnknown* outer);
    ~DocumentBase() override;

    HRESULT GetDocumentName(IAutoKVDString** name) override;
    HRESULT GetSite(IDocumentSite** site) override;
    HRESULT GetApplication(ICAFApplication** application) override;
    HRESULT GetParentDocument(IDocument** parent) override;
    HRESULT GetRootDocument(IDocument** root) override;
    HRESULT GetCustomDocument(ICustomDocument** document) override;
    HRESULT GetTypeId(TCAFId* typeId) override;
    HRESULT CanCloseView(IUnknown* view, AutoBool* can) override;
    HRESULT ViewClosed(IUnknown* view) override;
    HRESULT ViewActivated(IUnknown* view) override;
    HRESULT IsViewOpen(TCAFId viewClassType, AutoBool* open) override;
    // The view class of that type id, found through the object factory, makes the view if the
    // document answers every interface the class asks for; its window is made at once.
    HRESULT OpenView(TCAFId viewClassType, IUnknown** view) override;
    HRESULT GetViewCount(uint32_t* count) override;
    HRESULT GetViewAt(uint32_t index, IUnknown** view) override;
    HRESULT GetChildDocumentCount(uint32_t* count) override;
    HRESULT GetChildDocumentAt(uint32_t index, IDocument** child) override;
    HRESULT GetChildView(TCAFId typeId, IUnknown** child) override;
    HRESULT CloseView(IUnknown* view) override;
    KVD_RESERVED_SLOTS_NOTIMPL(21, 24)
    HRESULT GetChildObject(TCAFId typeId, uint32_t flags, IUnknown** child) override;

    // Opens a view on the open-view message and closes one on the close message; carries out
    // the set-channel-calculation message on the calculations of the site document's data.
    HRESULT DispatchKVDMessage(const IMessage* message) override;
    HRESULT AddChildHandler(IMessageHandler* child) override;
    HRESULT DetachChildHandler(IMessageHandler* child) override;
    HRESULT SetParent(IMessageHandler* parent) override;
    HRESULT GetDefaultHandler(IMessageHandler** out) override;

    // The window record the open view's window gave when it was made; all zero for a view that
    // is not open here or made no window.
    HWND ViewWindow(IUnknown* view);

protected:
    // The settings registrar of the parent document, or the document's own.
    HRESULT QueryExtra(const _IID& iid, void** out) override;

private:
    class WindowSite;
    struct OpenedView {
        KVD::COMPtr<IDocView> view;
        std::unique_ptr<WindowSite> site;
        HWND window{};
    };

    IDocument* Self() { return this; }
    std::vector<OpenedView>::iterator FindView(IUnknown* view);
    uint32_t NextViewNumber(TCAFId viewClassType) const;
    HRESULT CheckDocInterfaces(IDocViewClass* cls);
    // The calculations of the data of the document this one lives in.
    KVD::COMPtr<IOrrelSetCalcData> SiteCalculations() const;

    ICustomDocClass* mClass;  // the plug-in document holds it
    KVD::COMPtr<IDocumentClass> mDocClass;
    IDocumentSite* mSite;  // the parent document, which outlives its children
    std::vector<OpenedView> mViews;
    std::vector<OpenedView> mClosed;  // kept until the view's own close has returned
    KVD::COMPtr<ISettingsRegistrar> mRegistrar;
};

class DocumentBaseClass final : public ServiceClassObject<IDocumentBaseClass> {
public:
    DocumentBaseClass();
    HRESULT CreateDocumentBase(ICustomDocClass* docClass, IDocumentSite* site, IUnknown* outer, bool flag,
                               IUnknown** inner) override;
};

}  // namespace Host
