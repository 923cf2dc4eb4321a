// The host's document-class base (class object of fixed type id 0x80000012), which a plug-in
// document class aggregates: it keeps the class's documents and sends the class's commands to
// the active one.
#pragma once

#include <vector>

#include "ICAFCommandHandler.h"
#include "ICustomDocument.h"
#include "foundation/COMPtr.h"
#include "host/framework/Aggregated.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class DocumentClassBase final : public Aggregated<IDocumentClass, ICAFCommandHandler> {
public:
    explicit DocumentClassBase(IUnknown* outer) : Aggregated(outer) {}

    HRESULT GetCustomClass(ICustomDocClass** cls) override;
    HRESULT GetDocumentCount(uint32_t* count) override;
    HRESULT GetDocumentAt(uint32_t index, IDocument** document) override;
    HRESULT GetActiveDocument(IDocument** document) override;
    HRESULT AttachDocument(IDocument* document) override;
    HRESULT DetachDocument(IDocument* document) override;
    HRESULT ActivateDocument(IDocument* document) override;

    // To the active document; KVD_S_FALSE without one, or when it does not handle the command.
    HRESULT Command(TCAFId id) override;
    HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler) override;
    HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n) override;

private:
    KVD::COMPtr<ICAFCommandHandler> ActiveHandler() const;

    std::vector<IDocument*> mDocuments;  // documents detach themselves when they go
    IDocument* mActive = nullptr;
};

class DocClassBaseClass final : public ServiceClassObject<IDocClassBaseClass> {
public:
    DocClassBaseClass();
    HRESULT CreateDocClassBase(IUnknown* outer, bool flag, IUnknown** inner) override;
};

}  // namespace Host
