// View classes: the class object through which a plug-in registers one kind of view with the
// host. It counts its live views, lists the interfaces a document must offer, and aggregates the
// host's view-class base.
#pragma once

#include <memory>
#include <vector>

#include "IDocView.h"
#include "foundation/COMPtr.h"
#include "foundation/DynamicId.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFCommand.h"

class OwlDocViewClassBase : public IDocViewClass, public KVD::CComObjectRoot {
public:
    // objectName may be null: the view name stands for it then.
    OwlDocViewClassBase(const KVD::String& name, const _IID* category, ViewClassFlags flags, const wchar_t* objectName);
    ~OwlDocViewClassBase() override;

    KVD_BEGIN_INTERFACE_MAP(OwlDocViewClassBase)
        KVD_INTERFACE_ENTRY_IID(IID_ICAFClassObject, IDocViewClass)
        KVD_INTERFACE_ENTRY(IDocViewClass)
        KVD_INTERFACE_ENTRY(IViewClass)
        KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(mInnerUnknown)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_REFCOUNT_OF(mObjectCount)
    KVD_IMPLEMENT_QUERYINTERFACE()

    HRESULT GetCategory(const _IID** category) override;
    HRESULT GetObjectName(IAutoKVDString** name) override;
    HRESULT IsInCategoryHR(const _IID* category) override;
    HRESULT GetViewName(IAutoKVDString** name) override;
    // No view-specific command information: KVD_E_NOTIMPL.
    HRESULT GetCommandInfo(NSBundle** bundle, ViewCommandInfo* info) override;
    HRESULT GetFlags(ViewClassFlags* flags) override;
    // Tells the host's view-class base, then registers the view commands with the document
    // class's command handler, when it has one.
    HRESULT OnRegister(IUnknown* docClass) override;
    HRESULT ViewCreated(IDocView* view) override;
    HRESULT ViewDestroyed(IDocView* view) override;
    HRESULT GetTotalViewCount(uint32_t flags, long* count) override;
    HRESULT RegisterViewSpecificCommands(ICAFCommandHandler* handler) override;

    // An enumerator over a copy of the n interface ids.
    static HRESULT CreateInterfaceEnum(const _IID* const* ids, unsigned int n, IEnumInterface** out);

protected:
    KVD::RefCount mObjectCount;

private:
    IUnknown* mInnerUnknown = nullptr;  // one reference: the aggregated host view-class base
    KVD::String mViewName;
    KVD::String mObjectName;
    const _IID* mCategory;
    ViewClassFlags mFlags;
    long mViewCount = 0;
};

// The view class of the document view DocView, which is constructed with (view class,
// document, bundle). Its type id names the views; a document must answer every interface of
// docInterfaces for the host to open one on it.
template <class DocView>
class CAFOwlDocViewClass : public OwlDocViewClassBase {
public:
    CAFOwlDocViewClass(const KVD::String& name, const _IID* category, ViewClassFlags flags, const wchar_t* objectName,
                       TCAFId typeId, NSBundle* bundle, std::vector<const _IID*> docInterfaces)
        : OwlDocViewClassBase(name, category, flags, objectName),
          mTypeId(typeId),
          mBundle(bundle),
          mDocInterfaces(std::move(docInterfaces))
    {
    }

    HRESULT GetTypeId(TCAFId* id) override
    {
        if (id == nullptr)
            return KVD_E_POINTER;
        *id = mTypeId;
        return KVD_S_OK;
    }

    HRESULT CreateView(uint32_t, IDocument* document, IDocView** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = nullptr;
        const KVD::COMPtr<DocView> view(new DocView(this, document, mBundle));
        return view->QueryInterface(IID_IDocView, reinterpret_cast<void**>(out));
    }

    HRESULT EnumDocInterfaces(IEnumInterface** out) override
    {
        return CreateInterfaceEnum(mDocInterfaces.data(), static_cast<unsigned int>(mDocInterfaces.size()), out);
    }

    // The group is made under the GUID of the type id's dynamic id; the views add to it.
    HRESULT RegisterViewSpecificCommands(ICAFCommandHandler* handler) override
    {
        mViewGuid = DynId::GetGuid(static_cast<unsigned short>(mTypeId >> 16));
        mCommands = std::make_unique<CAFCommandGroup>(&mViewGuid, handler, static_cast<IDocViewClass*>(this));
        return KVD_S_OK;
    }

    CAFCommandGroup* GetCommandGroup() const { return mCommands.get(); }

private:
    TCAFId mTypeId;
    NSBundle* mBundle;
    std::vector<const _IID*> mDocInterfaces;
    _IID mViewGuid{};
    std::unique_ptr<CAFCommandGroup> mCommands;
};
