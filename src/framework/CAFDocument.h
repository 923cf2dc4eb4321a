// A plug-in document: a COM object that the host creates through a document class and that
// lives in a host document site. It aggregates the host's document base, which does the generic
// document work, and combines its own response tables with the inner object's handlers.
#pragma once

#include "ICustomDocument.h"
#include "IUnknown.h"
#include "foundation/COMPtr.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"

// An event a document raises: its id and its data (an array of 64-bit argument slots).
struct EventInfo {
    TCAFId id;
    void* data;
};

class CAFDocument : public ICustomDocument2, public CAFEventHandler, public KVD::CComObjectRoot {
public:
    // Bit 30 of the flags is passed to the host's document base.
    CAFDocument(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags);
    ~CAFDocument() override;

    KVD_BEGIN_INTERFACE_MAP(CAFDocument)
        KVD_INTERFACE_ENTRY(ICustomDocument)
        KVD_INTERFACE_ENTRY(ICustomDocument2)
        KVD_INTERFACE_ENTRY(IMessageHandler)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY_REFUSE(IID_IPersistStorageDocument)
        KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(mInnerUnknown)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_REFCOUNT_OF(mObjectCount)
    KVD_IMPLEMENT_QUERYINTERFACE()

    HRESULT GetDocumentName(IAutoKVDString** name) override;
    HRESULT CanClose(AutoBool* can) override;
    HRESULT Cleanup() override;
    HRESULT GetMenu(IMenu** menu) override;
    HRESULT GetFlags(uint32_t* flags) override;
    HRESULT GetUndoHistory(IUndoHistory** history) override;
    HRESULT PostCreateInit(uint32_t flags) override;
    HRESULT PreSave(uint32_t flags) override;
    HRESULT PostSave(int result, IAutoKVDString* path) override;
    HRESULT PostPostSave(int result, IAutoKVDString* path) override;
    HRESULT SetChildDocInstance(long instance) override;
    HRESULT GetChildDocInstance(long* instance) override;
    HRESULT SetPersistDocPartName(uint32_t part, IAutoKVDString* name) override;
    HRESULT GetPersistDocPartName(uint32_t part, IAutoKVDString** name) override;
    HRESULT GetPersistDocPart(PSDPDocumentPart part, unsigned long flags, uint32_t* partId, IUnknown** persist) override;

    // The own tables and children first; a message they let pass goes to the inner handler.
    HRESULT DispatchKVDMessage(const IMessage* message) override;
    HRESULT RegisterEvents(ISubject* subject) override;
    HRESULT Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data) override;
    // Raises the event on the document's subject (the inner object).
    void NotifyObservers(const EventInfo& info);

    // The inner object's interfaces, asked once and kept without a reference.
    IMessageHandler* GetInnerMsgHandler();
    IObserver* GetInnerObserver();
    ISubject* GetInnerSubject();
    IDocument* GetInnerDocument();
    // The undo history of the site's document, and the application of the inner document.
    IUndoHistory* GetUndoHistory();
    ICAFApplication* GetApplication();

    // The document the site gave (the parent document), without a reference; null without a site.
    IDocument* GetSiteDocument() const { return mSiteDocument; }
    ICustomDocClass* GetDocClass() const { return mClass; }

protected:
    KVD::RefCount mObjectCount;

private:
    template <class I>
    I* Cached(I*& cache, IUnknown* source);

    IUnknown* mInnerUnknown = nullptr;  // one reference: the aggregated host document base
    unsigned int mFlags;
    long mChildDocInstance = 0;
    KVD::String mPersistDocPartName;
    KVD::String mDocumentName;
    IMessageHandler* mInnerMsgHandler = nullptr;
    IObserver* mInnerObserver = nullptr;
    ISubject* mInnerSubject = nullptr;
    IDocument* mInnerDocument = nullptr;
    IUndoHistory* mUndoHistory = nullptr;
    ICAFApplication* mApplication = nullptr;
    IDocument* mSiteDocument = nullptr;
    KVD::COMPtr<ICustomDocClass> mClass;
    KVD::COMPtr<IDocumentClass> mDocumentClass;
};
