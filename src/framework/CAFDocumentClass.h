// Document classes: the class object through which the host learns about one kind of plug-in
// document, creates documents of it and gets its commands. It aggregates the host's
// document-class base, which answers commands first.
#pragma once

#include "ICustomDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/InterfaceArray.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFCommand.h"
#include "framework/CAFEventHandlerT.h"

class CAFDocumentClassBase : public ICustomDocClass, public CAFEventHandler, public KVD::CComObjectRoot {
public:
    // flag is passed to the host's document-class base.
    CAFDocumentClassBase(const wchar_t* name, const _IID& classId, const _IID* category, CAFId typeId,
                         DocumentClassFlags flags, bool flag);
    ~CAFDocumentClassBase() override;

    KVD_BEGIN_INTERFACE_MAP(CAFDocumentClassBase)
        KVD_INTERFACE_ENTRY_IID(IID_ICAFClassObject, ICustomDocClass)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IMessageHandler)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(ICustomDocClass)
        KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(mInnerUnknown)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_REFCOUNT_OF(mObjectCount)
    KVD_IMPLEMENT_QUERYINTERFACE()

    HRESULT GetTypeId(TCAFId* id) override;
    HRESULT GetCategory(const _IID** category) override;
    HRESULT GetObjectName(IAutoKVDString** name) override;
    // 0 for the category (or an equal GUID), KVD_S_FALSE otherwise.
    HRESULT IsInCategoryHR(const _IID* category) override;
    HRESULT GetDocumentClassName(IAutoKVDString** name) override;
    HRESULT GetFlags(DocumentClassFlags* flags) override;
    // Registers the class's commands when the class answers ICAFCommandHandler.
    HRESULT OnRegister(IDocumentClass* cls) override;
    HRESULT Close() override;
    HRESULT GetDocumentClassId(const _IID** classId) override;

    // The host's document-class base answers first; what it leaves goes to the own tables.
    HRESULT Command(TCAFId id) override;
    HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler) override;
    HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n) override;

    virtual void RegisterCommands(ICAFCommandHandler* handler, IDocumentClass* cls) = 0;

    const _IID* GetClassId() const { return mClassId; }
    IDocumentClass* GetInnerClass() const { return mInnerClass; }

protected:
    KVD::RefCount mObjectCount;

private:
    ICAFCommandHandler* InnerHandler() const;

    IUnknown* mInnerUnknown = nullptr;  // one reference: the aggregated host object
    IDocumentClass* mInnerClass = nullptr;  // the inner object's, without a reference
    InterfaceArray<ICAFCommand> mCommands;
    KVD::String mName;
    const _IID* mClassId;
    const _IID* mCategory;
    CAFId mTypeId;
    DocumentClassFlags mFlags;
};

// The document class of Doc. Doc is constructed with (manager, site, class, flags) and offers
// static void GetCommands(CAFCommandGroup&) to fill the class's menu.
template <class Doc>
class CAFDocumentClass : public CAFDocumentClassBase {
public:
    using CAFDocumentClassBase::CAFDocumentClassBase;

    HRESULT CreateDocument(IDocManager* manager, IDocumentSite* site, uint32_t flags, ICustomDocument** out,
                           IUnknown*) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = nullptr;
        const KVD::COMPtr<Doc> document(new Doc(manager, site, this, flags));
        return document->QueryInterface(IID_ICustomDocument, reinterpret_cast<void**>(out));
    }

    // The commands reach the host only through RegisterCommands.
    HRESULT GetCommands(ICAFCommandGroup** group) override
    {
        if (group != nullptr)
            *group = nullptr;
        return KVD_E_NOTIMPL;
    }

    // The group puts its commands into the host's menus; the host keeps it.
    void RegisterCommands(ICAFCommandHandler* handler, IDocumentClass*) override
    {
        CAFCommandGroup group(GetClassId(), handler, static_cast<ICustomDocClass*>(this));
        Doc::GetCommands(group);
    }
};
