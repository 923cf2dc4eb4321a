#include "framework/CAFDocumentClass.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/ClassObjectAnswers.h"
#include "foundation/DynamicId.h"

CAFDocumentClassBase::CAFDocumentClassBase(const wchar_t* name, const _IID& classId, const _IID* category, CAFId typeId,
                                           DocumentClassFlags flags, bool flag)
    : mName(name), mClassId(&classId), mCategory(category), mTypeId(typeId), mFlags(flags)
{
    IDocClassBaseClass* bases =
        ObjectFactoryClassObjectAccessor<IDocClassBaseClass, StaticTypeIdClass<kTypeId_DocumentClassBase>>::Get();
    if (bases == nullptr)
        return;
    // The aggregation takes and drops references on this object before anyone holds one.
    const KVD::RefCount::InternalReffer hold(mObjectCount);
    bases->CreateDocClassBase(static_cast<ICustomDocClass*>(this), flag, &mInnerUnknown);
    // Borrowed: the inner object's interfaces count on this object, so holding one is a cycle.
    mInnerClass = KVD::COMPtr<IDocumentClass, KVD::COMWeak>(KVD::com_cast(mInnerUnknown)).get();
}

CAFDocumentClassBase::~CAFDocumentClassBase()
{
    mInnerClass = nullptr;
    if (mInnerUnknown != nullptr)
        std::exchange(mInnerUnknown, nullptr)->Release();
}

HRESULT CAFDocumentClassBase::GetTypeId(TCAFId* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = mTypeId;
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::GetCategory(const _IID** category)
{
    if (category == nullptr)
        return KVD_E_POINTER;
    *category = mCategory;
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::GetObjectName(IAutoKVDString** name)
{
    return GetDocumentClassName(name);
}

HRESULT CAFDocumentClassBase::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, mCategory);
}

HRESULT CAFDocumentClassBase::GetDocumentClassName(IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mName.GetOut(name);
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::GetFlags(DocumentClassFlags* flags)
{
    if (flags == nullptr)
        return KVD_E_POINTER;
    *flags = mFlags;
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::OnRegister(IDocumentClass* cls)
{
    KVD::COMPtr<ICAFCommandHandler> handler(KVD::com_cast(static_cast<ICustomDocClass*>(this)));
    if (handler != nullptr)
        RegisterCommands(handler, cls);
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::Close()
{
    return KVD_S_OK;
}

HRESULT CAFDocumentClassBase::GetDocumentClassId(const _IID** classId)
{
    if (classId == nullptr)
        return KVD_E_POINTER;
    *classId = mClassId;
    return KVD_S_OK;
}

ICAFCommandHandler* CAFDocumentClassBase::InnerHandler() const
{
    // Borrowed: counted on this object, which the caller holds.
    return KVD::COMPtr<ICAFCommandHandler, KVD::COMWeak>(KVD::com_cast(mInnerUnknown)).get();
}

HRESULT CAFDocumentClassBase::Command(TCAFId id)
{
    if (ICAFCommandHandler* inner = InnerHandler())
        if (inner->Command(id) == KVD_S_OK)
            return KVD_S_OK;
    return CAFEventHandler::Command(id);
}

HRESULT CAFDocumentClassBase::CommandEnable(TCAFId id, ICAFCommandEnabler* enabler)
{
    if (ICAFCommandHandler* inner = InnerHandler())
        if (inner->CommandEnable(id, enabler) == KVD_S_OK)
            return KVD_S_OK;
    return CAFEventHandler::CommandEnable(id, enabler);
}

HRESULT CAFDocumentClassBase::OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n)
{
    if (ICAFCommandHandler* inner = InnerHandler())
        if (inner->OnCAFCommandEvent(id, type, menu, n) == KVD_S_OK)
            return KVD_S_OK;
    return CAFEventHandler::OnCAFCommandEvent(id, type, menu, n);
}
