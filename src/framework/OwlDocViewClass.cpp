#include "framework/OwlDocViewClass.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/ClassObjectAnswers.h"
#include "framework/InterfaceIdEnum.h"

OwlDocViewClassBase::OwlDocViewClassBase(const KVD::String& name, const _IID* category, ViewClassFlags flags,
                                         const wchar_t* objectName)
    : mViewName(name), mObjectName(objectName), mCategory(category), mFlags(flags)
{
    IGenericClassObject* bases =
        ObjectFactoryClassObjectAccessor<IGenericClassObject, StaticTypeIdClass<kTypeId_ViewClassBase>>::Get();
    if (bases == nullptr)
        return;
    // The aggregation takes and drops references on this object before anyone holds one.
    const KVD::RefCount::InternalReffer hold(mObjectCount);
    bases->CreateObject(static_cast<IDocViewClass*>(this), IID_IUnknown, reinterpret_cast<void**>(&mInnerUnknown));
}

OwlDocViewClassBase::~OwlDocViewClassBase()
{
    if (mInnerUnknown != nullptr)
        std::exchange(mInnerUnknown, nullptr)->Release();
}

HRESULT OwlDocViewClassBase::GetCategory(const _IID** category)
{
    if (category == nullptr)
        return KVD_E_POINTER;
    *category = mCategory;
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::GetObjectName(IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    (mObjectName.empty() ? mViewName : mObjectName).GetOut(name);
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, mCategory);
}

HRESULT OwlDocViewClassBase::GetViewName(IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mViewName.GetOut(name);
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::GetCommandInfo(NSBundle** bundle, ViewCommandInfo*)
{
    if (bundle != nullptr)
        *bundle = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT OwlDocViewClassBase::GetFlags(ViewClassFlags* flags)
{
    if (flags == nullptr)
        return KVD_E_POINTER;
    *flags = mFlags;
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::OnRegister(IUnknown* docClass)
{
    if (KVD::COMPtr<IViewClassAggBase> base{KVD::com_cast(static_cast<IDocViewClass*>(this))})
        base->OnClassRegistered(docClass);
    if (KVD::COMPtr<ICAFCommandHandler> handler{KVD::com_cast(docClass)})
        RegisterViewSpecificCommands(handler);
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::ViewCreated(IDocView*)
{
    ++mViewCount;
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::ViewDestroyed(IDocView*)
{
    --mViewCount;
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::GetTotalViewCount(uint32_t, long* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = mViewCount;
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::RegisterViewSpecificCommands(ICAFCommandHandler*)
{
    return KVD_S_OK;
}

HRESULT OwlDocViewClassBase::CreateInterfaceEnum(const _IID* const* ids, unsigned int n, IEnumInterface** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = InterfaceIdEnum::Create(ids, n);
    return KVD_S_OK;
}
