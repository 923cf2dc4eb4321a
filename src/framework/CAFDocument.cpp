#include "framework/CAFDocument.h"

#include <utility>

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace {

constexpr unsigned int kInnerFlagBit = 0x40000000;

}  // namespace

CAFDocument::CAFDocument(IDocManager*, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags)
    : mFlags(flags), mClass(cls), mDocumentClass(KVD::com_cast(cls))
{
    if (site != nullptr) {
        KVD::COMPtr<IDocument, KVD::COMWeak> document(KVD::com_cast(site));
        mSiteDocument = document;
    }
    IDocumentBaseClass* bases =
        ObjectFactoryClassObjectAccessor<IDocumentBaseClass, StaticTypeIdClass<kTypeId_DocumentBase>>::Get();
    if (bases == nullptr)
        return;
    // The aggregation takes and drops references on this object before anyone holds one.
    const KVD::RefCount::InternalReffer hold(mObjectCount);
    bases->CreateDocumentBase(cls, site, static_cast<ICustomDocument*>(this), (flags & kInnerFlagBit) != 0,
                              &mInnerUnknown);
}

CAFDocument::~CAFDocument()
{
    if (mInnerUnknown != nullptr)
        std::exchange(mInnerUnknown, nullptr)->Release();
}

template <class I>
I* CAFDocument::Cached(I*& cache, IUnknown* source)
{
    // Borrowed: the inner object lives as long as this document.
    if (cache == nullptr)
        cache = KVD::COMPtr<I, KVD::COMWeak>(KVD::com_cast(source)).get();
    return cache;
}

IMessageHandler* CAFDocument::GetInnerMsgHandler()
{
    return Cached(mInnerMsgHandler, mInnerUnknown);
}

IObserver* CAFDocument::GetInnerObserver()
{
    return Cached(mInnerObserver, mInnerUnknown);
}

ISubject* CAFDocument::GetInnerSubject()
{
    return Cached(mInnerSubject, mInnerUnknown);
}

IDocument* CAFDocument::GetInnerDocument()
{
    return Cached(mInnerDocument, mInnerUnknown);
}

IUndoHistory* CAFDocument::GetUndoHistory()
{
    return mInnerUnknown == nullptr ? nullptr : Cached(mUndoHistory, mSiteDocument);
}

ICAFApplication* CAFDocument::GetApplication()
{
    if (mApplication == nullptr) {
        if (IDocument* inner = GetInnerDocument()) {
            KVD::COMPtr<ICAFApplication> application;
            inner->GetApplication(application.Set());
            mApplication = application;  // the application lives as long as the host
        }
    }
    return mApplication;
}

HRESULT CAFDocument::GetDocumentName(IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mDocumentName.GetOut(name);
    return KVD_S_OK;
}

HRESULT CAFDocument::CanClose(AutoBool* can)
{
    if (can == nullptr)
        return KVD_E_POINTER;
    *can = kAutoTrue;
    return KVD_S_OK;
}

HRESULT CAFDocument::Cleanup()
{
    return KVD_S_OK;
}

HRESULT CAFDocument::GetMenu(IMenu** menu)
{
    if (menu != nullptr)
        *menu = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT CAFDocument::GetFlags(uint32_t* flags)
{
    if (flags == nullptr)
        return KVD_E_POINTER;
    *flags = mFlags;
    return KVD_S_OK;
}

HRESULT CAFDocument::GetUndoHistory(IUndoHistory** history)
{
    if (history == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(GetUndoHistory(), history);
    return KVD_S_OK;
}

HRESULT CAFDocument::PostCreateInit(uint32_t)
{
    return KVD_S_OK;
}

HRESULT CAFDocument::PreSave(uint32_t)
{
    return KVD_S_OK;
}

HRESULT CAFDocument::PostSave(int, IAutoKVDString*)
{
    return KVD_S_OK;
}

HRESULT CAFDocument::PostPostSave(int, IAutoKVDString*)
{
    return KVD_S_OK;
}

HRESULT CAFDocument::SetChildDocInstance(long instance)
{
    mChildDocInstance = instance;
    return KVD_S_OK;
}

HRESULT CAFDocument::GetChildDocInstance(long* instance)
{
    if (instance == nullptr)
        return KVD_E_POINTER;
    *instance = mChildDocInstance;
    return KVD_S_OK;
}

HRESULT CAFDocument::SetPersistDocPartName(uint32_t, IAutoKVDString* name)
{
    mPersistDocPartName = KVD::String(name);
    return KVD_S_OK;
}

HRESULT CAFDocument::GetPersistDocPartName(uint32_t, IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mPersistDocPartName.GetOut(name);
    return KVD_S_OK;
}

HRESULT CAFDocument::GetPersistDocPart(PSDPDocumentPart, unsigned long, uint32_t* partId, IUnknown** persist)
{
    if (partId != nullptr)
        *partId = 0;
    if (persist != nullptr)
        *persist = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT CAFDocument::DispatchKVDMessage(const IMessage* message)
{
    if (CAFEventHandler::DispatchKVDMessage(message) != KVD_S_OK)
        return KVD_S_FALSE;
    IMessageHandler* inner = GetInnerMsgHandler();
    return inner == nullptr ? KVD_S_OK : inner->DispatchKVDMessage(message);
}

HRESULT CAFDocument::RegisterEvents(ISubject* subject)
{
    if (IObserver* inner = GetInnerObserver())
        inner->RegisterEvents(subject);
    CAFEventHandlerBase::RegisterEvents(AsObserver(), subject);
    return KVD_S_OK;
}

HRESULT CAFDocument::Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data)
{
    if (IObserver* inner = GetInnerObserver())
        inner->Notify(subject, event, flags, data);
    CAFEventHandlerBase::Notify(subject, event, flags, data);
    return KVD_S_OK;
}

void CAFDocument::NotifyObservers(const EventInfo& info)
{
    if (ISubject* subject = GetInnerSubject())
        subject->NotifyObservers(info.id, info.data);
}
