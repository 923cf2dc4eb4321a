#include "host/document/DocumentClassBase.h"

#include <algorithm>

#include "FrameworkIds.h"

namespace Host {

HRESULT DocumentClassBase::GetCustomClass(ICustomDocClass** cls)
{
    if (cls == nullptr)
        return KVD_E_POINTER;
    return Outer()->QueryInterface(IID_ICustomDocClass, reinterpret_cast<void**>(cls));
}

HRESULT DocumentClassBase::GetDocumentCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<uint32_t>(mDocuments.size());
    return KVD_S_OK;
}

HRESULT DocumentClassBase::GetDocumentAt(uint32_t index, IDocument** document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(index < mDocuments.size() ? mDocuments[index] : nullptr, document);
    return *document == nullptr ? KVD_E_BADSTATE : KVD_S_OK;
}

HRESULT DocumentClassBase::GetActiveDocument(IDocument** document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(mActive, document);
    return mActive == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT DocumentClassBase::AttachDocument(IDocument* document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    if (std::find(mDocuments.begin(), mDocuments.end(), document) == mDocuments.end())
        mDocuments.push_back(document);
    mActive = document;
    return KVD_S_OK;
}

HRESULT DocumentClassBase::DetachDocument(IDocument* document)
{
    auto it = std::find(mDocuments.begin(), mDocuments.end(), document);
    if (it == mDocuments.end())
        return KVD_S_FALSE;
    mDocuments.erase(it);
    if (mActive == document)
        mActive = mDocuments.empty() ? nullptr : mDocuments.back();
    return KVD_S_OK;
}

HRESULT DocumentClassBase::ActivateDocument(IDocument* document)
{
    if (std::find(mDocuments.begin(), mDocuments.end(), document) == mDocuments.end())
        return KVD_E_BADSTATE;
    mActive = document;
    return KVD_S_OK;
}

KVD::COMPtr<ICAFCommandHandler> DocumentClassBase::ActiveHandler() const
{
    if (mActive == nullptr)
        return nullptr;
    KVD::COMPtr<ICustomDocument> custom;
    mActive->GetCustomDocument(custom.Set());
    return KVD::COMPtr<ICAFCommandHandler>(KVD::com_cast(custom.get()));
}

HRESULT DocumentClassBase::Command(TCAFId id)
{
    const KVD::COMPtr<ICAFCommandHandler> handler = ActiveHandler();
    return handler == nullptr ? KVD_S_FALSE : handler->Command(id);
}

HRESULT DocumentClassBase::CommandEnable(TCAFId id, ICAFCommandEnabler* enabler)
{
    const KVD::COMPtr<ICAFCommandHandler> handler = ActiveHandler();
    return handler == nullptr ? KVD_S_FALSE : handler->CommandEnable(id, enabler);
}

HRESULT DocumentClassBase::OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n)
{
    const KVD::COMPtr<ICAFCommandHandler> handler = ActiveHandler();
    return handler == nullptr ? KVD_S_FALSE : handler->OnCAFCommandEvent(id, type, menu, n);
}

DocClassBaseClass::DocClassBaseClass() : ServiceClassObject(kTypeId_DocumentClassBase, L"Document class base") {}

HRESULT DocClassBaseClass::CreateDocClassBase(IUnknown* outer, bool, IUnknown** inner)
{
    if (inner == nullptr)
        return KVD_E_POINTER;
    *inner = (new DocumentClassBase(outer))->TakeInner();
    return KVD_S_OK;
}

}  // namespace Host
