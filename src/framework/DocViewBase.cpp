#include "framework/DocViewBase.h"

DocViewBase::DocViewBase(IDocViewClass* cls, IDocument* document) : mClass(cls), mDocument(document)
{
    if (mClass != nullptr)
        mClass->ViewCreated(this);
}

DocViewBase::~DocViewBase()
{
    if (mClass != nullptr)
        mClass->ViewDestroyed(this);
    mDocument.Clear();
    mClass.Clear();
}

HRESULT DocViewBase::GetViewName(IAutoKVDString** name)
{
    if (name != nullptr)
        *name = nullptr;
    return KVD_S_FALSE;
}

HRESULT DocViewBase::CanClose(AutoBool* can)
{
    if (can == nullptr)
        return KVD_E_POINTER;
    if (mDocument != nullptr)
        mDocument->CanCloseView(static_cast<IDocView*>(this), can);
    return KVD_S_OK;
}

HRESULT DocViewBase::Close()
{
    // The document may let go of this view while it hears of the close.
    const KVD::COMPtr<IDocView> alive(this);
    if (mDocument != nullptr)
        mDocument->ViewClosed(static_cast<IDocView*>(this));
    mDocument.Clear();
    return KVD_S_OK;
}

HRESULT DocViewBase::SetViewNumber(uint32_t number)
{
    mViewNumber = number;
    return KVD_S_OK;
}

HRESULT DocViewBase::GetViewNumber(uint32_t* number)
{
    if (number == nullptr)
        return KVD_E_POINTER;
    *number = mViewNumber;
    return KVD_S_OK;
}

HRESULT DocViewBase::GetUniqueId(IDL_CAFViewId* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    TCAFId typeId = 0;
    if (mClass != nullptr)
        mClass->GetTypeId(&typeId);
    const uint64_t upper = (mViewNumber & 0xFFFFu) | (static_cast<uint64_t>(mInstance) & 0xFFFFu) << 16;
    *id = typeId | upper << 32;
    return KVD_S_OK;
}

HRESULT DocViewBase::OnActivate()
{
    if (KVD::COMPtr<IViewClassAggBase> base{KVD::com_cast(mClass.get())})
        base->ViewActivated(this);
    if (mDocument != nullptr)
        mDocument->ViewActivated(static_cast<IDocView*>(this));
    return KVD_S_OK;
}

HRESULT DocViewBase::GetViewClass(IDocViewClass** cls)
{
    if (cls == nullptr)
        return KVD_E_POINTER;
    mClass.GetOut(cls);
    return KVD_S_OK;
}

HRESULT DocViewBase::GetDocument(IDocument** document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    mDocument.GetOut(document);
    return KVD_S_OK;
}

HRESULT DocViewBase::GetMenu(IMenu** menu)
{
    if (menu != nullptr)
        *menu = nullptr;
    return KVD_S_FALSE;
}

HRESULT DocViewBase::GetInstance(int* instance)
{
    if (instance == nullptr)
        return KVD_E_POINTER;
    *instance = mInstance;
    return KVD_S_OK;
}

HRESULT DocViewBase::SetInstance(int instance)
{
    mInstance = instance;
    return KVD_S_OK;
}
