#include "host/document/DocumentBase.h"

#include <algorithm>
#include <cstring>

#include "FrameworkIds.h"
#include "IFramework.h"
#include "IOrrelData2.h"
#include "IOrrelDocument.h"
#include "foundation/UnknownImp.h"
#include "host/channels/SetChanCalcMsg.h"
#include "host/framework/Framework.h"
#include "host/framework/Message.h"
#include "host/settings/SettingsRegistrar.h"

namespace Host {

// The host window of one view: it has no parent window here, and closing the view from inside
// lets the window go.
class DocumentBase::WindowSite final : public KVD::UncountedUnknown<IClientWindowSite> {
public:
    HRESULT GetParentWindow(HWND* parent) override
    {
        if (parent == nullptr)
            return KVD_E_POINTER;
        *parent = HWND{};
        return KVD_S_OK;
    }
    HRESULT CloseView(IUnknown*) override
    {
        open = false;
        return KVD_S_OK;
    }

    bool open = true;
};

DocumentBase::DocumentBase(ICustomDocClass* cls, IDocumentSite* site, IUnknown* outer)
    : EventMapSubject(outer), mClass(cls), mDocClass(KVD::com_cast(cls)), mSite(site)
{
    if (mDocClass != nullptr)
        mDocClass->AttachDocument(Self());
}

DocumentBase::~DocumentBase()
{
    if (mDocClass != nullptr)
        mDocClass->DetachDocument(Self());
    RemoveFromEventMap();
}

HRESULT DocumentBase::GetDocumentName(IAutoKVDString** name)
{
    KVD::COMPtr<ICustomDocument> custom;
    GetCustomDocument(custom.Set());
    return custom == nullptr ? KVD_E_BADSTATE : custom->GetDocumentName(name);
}

HRESULT DocumentBase::GetSite(IDocumentSite** site)
{
    if (site == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(mSite, site);
    return mSite == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT DocumentBase::GetApplication(ICAFApplication** application)
{
    if (application == nullptr)
        return KVD_E_POINTER;
    *application = nullptr;
    return KVD_S_FALSE;
}

HRESULT DocumentBase::GetParentDocument(IDocument** parent)
{
    if (parent == nullptr)
        return KVD_E_POINTER;
    *parent = nullptr;
    return mSite == nullptr ? KVD_S_FALSE : mSite->GetHostDocument(parent);
}

HRESULT DocumentBase::GetRootDocument(IDocument** root)
{
    if (root == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IDocument> parent;
    GetParentDocument(parent.Set());
    if (parent != nullptr)
        return parent->GetRootDocument(root);
    *root = Self();
    AddRef();
    return KVD_S_OK;
}

HRESULT DocumentBase::GetCustomDocument(ICustomDocument** document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    return Outer()->QueryInterface(IID_ICustomDocument, reinterpret_cast<void**>(document));
}

HRESULT DocumentBase::GetTypeId(TCAFId* typeId)
{
    if (typeId == nullptr)
        return KVD_E_POINTER;
    *typeId = 0;
    return mClass == nullptr ? KVD_S_FALSE : mClass->GetTypeId(typeId);
}

HRESULT DocumentBase::CanCloseView(IUnknown*, AutoBool* can)
{
    return can == nullptr ? KVD_E_POINTER : KVD_S_OK;
}

std::vector<DocumentBase::OpenedView>::iterator DocumentBase::FindView(IUnknown* view)
{
    KVD::COMPtr<IDocView> docView(KVD::com_cast(view));
    return std::find_if(mViews.begin(), mViews.end(), [&](const OpenedView& v) { return v.view == docView; });
}

HRESULT DocumentBase::ViewClosed(IUnknown* view)
{
    auto it = FindView(view);
    if (it == mViews.end())
        return KVD_S_FALSE;
    mClosed.push_back(std::move(*it));
    mViews.erase(it);
    return KVD_S_OK;
}

HRESULT DocumentBase::ViewActivated(IUnknown*)
{
    if (mDocClass != nullptr)
        mDocClass->ActivateDocument(Self());
    return KVD_S_OK;
}

HRESULT DocumentBase::IsViewOpen(TCAFId viewClassType, AutoBool* open)
{
    if (open == nullptr)
        return KVD_E_POINTER;
    *open = kAutoFalse;
    for (const OpenedView& v : mViews) {
        IDL_CAFViewId id = 0;
        v.view->GetUniqueId(&id);
        if (static_cast<TCAFId>(id) == viewClassType)
            *open = kAutoTrue;
    }
    return KVD_S_OK;
}

uint32_t DocumentBase::NextViewNumber(TCAFId viewClassType) const
{
    uint32_t highest = 0;
    for (const OpenedView& v : mViews) {
        IDL_CAFViewId id = 0;
        v.view->GetUniqueId(&id);
        if (static_cast<TCAFId>(id) == viewClassType)
            highest = std::max(highest, static_cast<uint32_t>((id >> 32) & 0xFFFF));
    }
    return highest + 1;
}

HRESULT DocumentBase::CheckDocInterfaces(IDocViewClass* cls)
{
    KVD::COMPtr<IEnumInterface> ids;
    cls->EnumDocInterfaces(ids.Set());
    if (ids == nullptr)
        return KVD_S_OK;
    _IID iid{};
    while (ids->Next(1, &iid, nullptr) == KVD_S_OK) {
        KVD::COMPtr<IUnknown> answer;
        if (Outer()->QueryInterface(iid, answer.Set()) != KVD_S_OK)
            return KVD_E_NOINTERFACE;
    }
    return KVD_S_OK;
}

HRESULT DocumentBase::OpenView(TCAFId viewClassType, IUnknown** out)
{
    if (out != nullptr)
        *out = nullptr;
    mClosed.clear();
    KVD::COMPtr<IDocViewClass> cls;
    if (Framework* framework = Framework::Instance())
        framework->GetClassObject(viewClassType, IID_IDocViewClass, cls.Set());
    if (cls == nullptr)
        return KVD_E_BADSTATE;
    HRESULT hr = CheckDocInterfaces(cls);
    if (hr != KVD_S_OK)
        return hr;
    OpenedView opened;
    hr = cls->CreateView(0, Self(), opened.view.Set());
    if (opened.view == nullptr)
        return hr != KVD_S_OK ? hr : KVD_E_BADSTATE;
    opened.view->SetViewNumber(NextViewNumber(viewClassType));
    opened.site = std::make_unique<WindowSite>();
    KVD::COMPtr<IDocView> view = opened.view;
    WindowSite* site = opened.site.get();
    mViews.push_back(std::move(opened));
    if (KVD::COMPtr<IClientWindow> window{KVD::com_cast(view.get())}) {
        HWND record{};
        window->DoCreateWindow(site, &record);
        const auto opened = FindView(view);
        if (opened != mViews.end())
            opened->window = record;
    }
    view->OnActivate();
    if (out != nullptr)
        view.GetOut(out);
    return KVD_S_OK;
}

HWND DocumentBase::ViewWindow(IUnknown* view)
{
    const auto opened = FindView(view);
    return opened != mViews.end() ? opened->window : HWND{};
}

HRESULT DocumentBase::CloseView(IUnknown* view)
{
    auto it = FindView(view);
    if (it == mViews.end())
        return KVD_S_FALSE;
    const KVD::COMPtr<IDocView> closing = it->view;
    AutoBool can = kAutoTrue;
    closing->CanClose(&can);
    if (can == kAutoFalse)
        return KVD_S_FALSE;
    const HRESULT hr = closing->Close();
    // A view that did not report its close is let go here.
    ViewClosed(closing);
    mClosed.clear();
    return hr;
}

HRESULT DocumentBase::GetViewCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<uint32_t>(mViews.size());
    return KVD_S_OK;
}

HRESULT DocumentBase::GetViewAt(uint32_t index, IUnknown** view)
{
    if (view == nullptr)
        return KVD_E_POINTER;
    *view = nullptr;
    if (index >= mViews.size())
        return KVD_E_BADSTATE;
    mViews[index].view.GetOut(view);
    return KVD_S_OK;
}

HRESULT DocumentBase::GetChildDocumentCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = 0;
    return KVD_S_OK;
}

HRESULT DocumentBase::GetChildDocumentAt(uint32_t, IDocument** child)
{
    if (child != nullptr)
        *child = nullptr;
    return KVD_E_BADSTATE;
}

HRESULT DocumentBase::GetChildView(TCAFId, IUnknown** child)
{
    if (child != nullptr)
        *child = nullptr;
    return KVD_S_FALSE;
}

HRESULT DocumentBase::GetChildObject(TCAFId, uint32_t, IUnknown** child)
{
    if (child != nullptr)
        *child = nullptr;
    return KVD_S_FALSE;
}

HRESULT DocumentBase::DispatchKVDMessage(const IMessage* message)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    TCAFId id = 0;
    message->GetId(&id);
    const void* block = nullptr;
    message->GetParamBlock(&block);
    const uint32_t signature = Message::Signature(block);
    const uint8_t* values = static_cast<const uint8_t*>(block) + 4;
    if (id == kMsgId_OpenView && signature == kMsgParam_CAFId) {
        TCAFId viewClass = 0;
        std::memcpy(&viewClass, values, 4);
        OpenView(viewClass, nullptr);
    } else if (id == kMsgId_CloseView && (signature & 0xFF) == (kMsgParam_UInt << 4 | kMsgParam_CAFId)) {
        uint32_t low = 0, high = 0;
        std::memcpy(&low, values, 4);
        std::memcpy(&high, values + 4, 4);
        const IDL_CAFViewId wanted = static_cast<IDL_CAFViewId>(high) << 32 | low;
        KVD::COMPtr<IDocView> found;
        for (const OpenedView& v : mViews) {
            IDL_CAFViewId viewId = 0;
            v.view->GetUniqueId(&viewId);
            if (viewId == wanted)
                found = v.view;
        }
        if (found != nullptr)
            CloseView(found);
    } else if (KVD::COMPtr<ISetChanCalcMsg> setCalculation{KVD::com_cast(const_cast<IMessage*>(message))}) {
        return ApplySetChanCalcMsg(*setCalculation, SiteCalculations());
    }
    return KVD_S_OK;
}

KVD::COMPtr<IOrrelSetCalcData> DocumentBase::SiteCalculations() const
{
    KVD::COMPtr<IAutoOrrelDoc> site(KVD::com_cast(mSite));
    KVD::COMPtr<IOrrelData2> data;
    if (site != nullptr)
        site->GetData(data.Set());
    return KVD::COMPtr<IOrrelSetCalcData>(KVD::com_cast(data.get()));
}

HRESULT DocumentBase::AddChildHandler(IMessageHandler*)
{
    return KVD_E_NOTIMPL;
}

HRESULT DocumentBase::DetachChildHandler(IMessageHandler*)
{
    return KVD_E_NOTIMPL;
}

HRESULT DocumentBase::SetParent(IMessageHandler*)
{
    return KVD_S_OK;
}

HRESULT DocumentBase::GetDefaultHandler(IMessageHandler** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    return Outer()->QueryInterface(IID_IMessageHandler, reinterpret_cast<void**>(out));
}

HRESULT DocumentBase::QueryExtra(const _IID& iid, void** out)
{
    *out = nullptr;
    if (iid != IID_ISettingsRegistrar)
        return KVD_E_NOINTERFACE;
    KVD::COMPtr<IDocument> parent;
    GetParentDocument(parent.Set());
    if (parent != nullptr && parent->QueryInterface(iid, out) == KVD_S_OK)
        return KVD_S_OK;
    if (mRegistrar == nullptr)
        mRegistrar = KVD::COMPtr<ISettingsRegistrar>::Take(SettingsRegistrar::Create());
    mRegistrar.GetOut(reinterpret_cast<ISettingsRegistrar**>(out));
    return KVD_S_OK;
}

DocumentBaseClass::DocumentBaseClass() : ServiceClassObject(kTypeId_DocumentBase, L"Document base") {}

HRESULT DocumentBaseClass::CreateDocumentBase(ICustomDocClass* docClass, IDocumentSite* site, IUnknown* outer, bool,
                                              IUnknown** inner)
{
    if (inner == nullptr)
        return KVD_E_POINTER;
    *inner = (new DocumentBase(docClass, site, outer))->TakeInner();
    return KVD_S_OK;
}

}  // namespace Host
