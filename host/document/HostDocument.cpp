#include "host/document/HostDocument.h"

#include <algorithm>
#include <locale>
#include <sstream>

#include "FrameworkIds.h"
#include "foundation/DynamicId.h"
#include "host/data/Adopt.h"
#include "host/document/DocumentRecording.h"
#include "host/drawing/DisplaySettings.h"
#include "host/settings/SettingsRegistrar.h"

namespace Host {
namespace {

// The style bit of a time origin at the start of the recording.
constexpr uint32_t kStyleFromFirstRecord = 0x00800000;

template <class I>
HRESULT Give(const KVD::COMPtr<I>& held, I** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    held.GetOut(out);
    return held == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT Count(int value, int* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = value;
    return KVD_S_OK;
}

}  // namespace

HostDocument* HostDocument::Create(const KVD::String& name)
{
    return KVD::MakeCounted<HostDocument>(name).Forget();
}

HostDocument::HostDocument(const KVD::String& name)
    : mName(name),
      mRegistrar(KVD::COMPtr<ISettingsRegistrar>::Take(SettingsRegistrar::Create())),
      mSelection(KVD::COMPtr<Selection>::Take(Selection::Create()))
{
}

HostDocument::~HostDocument()
{
    RemoveFromEventMap();
}

HRESULT HostDocument::QueryMore(const _IID& iid, void** out)
{
    if (iid == IID_ISettingsRegistrar)
        return mRegistrar->QueryInterface(iid, out);
    if (iid == IID_IOrrelRecording && mRecording != nullptr)
        return mRecording->QueryInterface(iid, out);
    return KVD::AnswerFace<IMessageHandler>(&mMessageHandler, iid, out);
}

HRESULT HostDocument::CreateChildDocument(ICustomDocClass* cls, uint32_t flags, ICustomDocument** out,
                                          const std::function<void(ICustomDocument*)>& beforeComplete)
{
    if (out != nullptr)
        *out = nullptr;
    if (cls == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<ICustomDocument> child;
    HRESULT hr = cls->CreateDocument(nullptr, this, flags, child.Set(), nullptr);
    if (child == nullptr)
        return hr != KVD_S_OK ? hr : KVD_E_BADSTATE;
    mChildren.push_back(child);
    child->PostCreateInit(flags);
    if (KVD::COMPtr<IObserver> observer{KVD::com_cast(child.get())})
        AttachObserver(observer);
    if (beforeComplete)
        beforeComplete(child);
    KVD::COMPtr<IDocument, KVD::COMWeak> created(KVD::com_cast(child.get()));
    uint64_t args[2] = {reinterpret_cast<uintptr_t>(created.get()), reinterpret_cast<uintptr_t>(created.get())};
    NotifyObservers(kEventId_CreationComplete, args);
    if (out != nullptr)
        child.GetOut(out);
    return KVD_S_OK;
}

HRESULT HostDocument::CloseChildDocument(ICustomDocument* child)
{
    auto it = std::find_if(mChildren.begin(), mChildren.end(), [child](const auto& c) { return c == child; });
    if (it == mChildren.end())
        return KVD_S_FALSE;
    const KVD::COMPtr<ICustomDocument> closing = *it;
    mChildren.erase(it);
    // Open views hold their document: they close first.
    if (KVD::COMPtr<IDocument> document{KVD::com_cast(closing.get())}) {
        for (;;) {
            KVD::COMPtr<IUnknown> view;
            document->GetViewAt(0, view.Set());
            if (view == nullptr || document->CloseView(view) != KVD_S_OK)
                break;
        }
    }
    if (KVD::COMPtr<IObserver> observer{KVD::com_cast(closing.get())})
        DetachObserver(observer);
    return closing->Cleanup();
}

void HostDocument::Close()
{
    while (!mChildren.empty())
        CloseChildDocument(mChildren.back());
    mPersistParts.clear();
}

void HostDocument::SetDeviceManager(IKVDDeviceManager* manager)
{
    mRecording.Clear();
    if (manager != nullptr)
        mRecording = KVD::MakeCounted<DocumentRecording>(manager);
}

void HostDocument::SetChannelCounts(int all, int withData, int computed)
{
    mChannels = all;
    mChannelsWithData = withData;
    mComputedChannels = computed;
}

IUnknown* HostDocument::GetPersistPart(uint32_t part) const
{
    auto it = mPersistParts.find(part);
    return it == mPersistParts.end() ? nullptr : it->second.get();
}

HRESULT HostDocument::GetDocumentName(IAutoKVDString** name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mName.GetOut(name);
    return KVD_S_OK;
}

HRESULT HostDocument::GetSite(IDocumentSite** site)
{
    if (site != nullptr)
        *site = nullptr;
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetApplication(ICAFApplication** application)
{
    if (application != nullptr)
        *application = nullptr;
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetParentDocument(IDocument** parent)
{
    if (parent != nullptr)
        *parent = nullptr;
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetRootDocument(IDocument** root)
{
    return GetDocument(root);
}

HRESULT HostDocument::GetCustomDocument(ICustomDocument** document)
{
    if (document != nullptr)
        *document = nullptr;
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetTypeId(TCAFId* typeId)
{
    if (typeId == nullptr)
        return KVD_E_POINTER;
    *typeId = TypeIdClass<&CLSID_OrrelDocument, 0>::GetId();
    return KVD_S_OK;
}

HRESULT HostDocument::CanCloseView(IUnknown*, AutoBool* can)
{
    return can == nullptr ? KVD_E_POINTER : KVD_S_OK;
}

HRESULT HostDocument::ViewClosed(IUnknown*)
{
    return KVD_S_FALSE;
}

HRESULT HostDocument::ViewActivated(IUnknown*)
{
    return KVD_S_OK;
}

HRESULT HostDocument::IsViewOpen(TCAFId, AutoBool* open)
{
    if (open == nullptr)
        return KVD_E_POINTER;
    *open = kAutoFalse;
    return KVD_S_OK;
}

// The plug-in's views open on its child documents.
HRESULT HostDocument::OpenView(TCAFId, IUnknown** view)
{
    if (view != nullptr)
        *view = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT HostDocument::GetViewCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = 0;
    return KVD_S_OK;
}

HRESULT HostDocument::GetViewAt(uint32_t, IUnknown** view)
{
    if (view != nullptr)
        *view = nullptr;
    return KVD_E_BADSTATE;
}

HRESULT HostDocument::GetChildDocumentCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<uint32_t>(mChildren.size());
    return KVD_S_OK;
}

HRESULT HostDocument::GetChildDocumentAt(uint32_t index, IDocument** child)
{
    if (child == nullptr)
        return KVD_E_POINTER;
    *child = nullptr;
    if (index >= mChildren.size())
        return KVD_E_BADSTATE;
    return mChildren[index]->QueryInterface(IID_IDocument, reinterpret_cast<void**>(child));
}

HRESULT HostDocument::GetChildView(TCAFId typeId, IUnknown** child)
{
    if (child == nullptr)
        return KVD_E_POINTER;
    *child = nullptr;
    if (typeId != TypeIdClass<&GUID_OrrelObjects, kOrrelObject_DataView>::GetId() || mDataView == nullptr)
        return KVD_S_FALSE;
    return mDataView->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(child));
}

HRESULT HostDocument::CloseView(IUnknown*)
{
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetChildObject(TCAFId typeId, uint32_t, IUnknown** child)
{
    if (child == nullptr)
        return KVD_E_POINTER;
    *child = nullptr;
    auto it = mChildObjects.find(typeId);
    if (it != mChildObjects.end() && it->second != nullptr) {
        it->second.GetOut(child);
        return KVD_S_OK;
    }
    // A child document of that type, as its document base names it.
    for (const KVD::COMPtr<ICustomDocument>& document : mChildren) {
        KVD::COMPtr<IDocument> asDocument(KVD::com_cast(document.get()));
        TCAFId childType = 0;
        if (asDocument != nullptr && asDocument->GetTypeId(&childType) == KVD_S_OK && childType == typeId) {
            document.GetOut(child);
            return KVD_S_OK;
        }
    }
    return KVD_S_FALSE;
}

HRESULT HostDocument::GetHostDocument(IDocument** document)
{
    return GetDocument(document);
}

HRESULT HostDocument::RegisterPersistPart(IUnknown*, uint32_t part, IUnknown* persist, uint32_t, uint32_t,
                                          IAutoKVDString** name)
{
    if (persist == nullptr)
        return KVD_E_POINTER;
    mPersistParts[part] = persist;
    if (name != nullptr)
        KVD::String(std::wstring(L"Part ") + std::to_wstring(part)).GetOut(name);
    return KVD_S_OK;
}

HRESULT HostDocument::RevokePersistPart(IUnknown*, uint32_t part)
{
    return mPersistParts.erase(part) == 0 ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT HostDocument::GetDocument(IDocument** document)
{
    if (document == nullptr)
        return KVD_E_POINTER;
    *document = this;
    AddRef();
    return KVD_S_OK;
}

HRESULT HostDocument::GetChannelCount(int* count)
{
    return Count(mChannels, count);
}

HRESULT HostDocument::GetChannelCountEx(int* count, int maxChannels, int)
{
    return Count(std::min(mChannelsWithData, maxChannels), count);
}

HRESULT HostDocument::GetChannelColour(int channel, uint32_t* rgb)
{
    if (rgb == nullptr)
        return KVD_E_POINTER;
    const auto colour = mColours.find(channel);
    *rgb = colour != mColours.end() ? colour->second : 0xFFFFFF;
    return KVD_S_OK;
}

HRESULT HostDocument::GetTimeDisplayMode(int32_t* mode)
{
    if (mode == nullptr)
        return KVD_E_POINTER;
    *mode = mTimeDisplayMode;
    return KVD_S_OK;
}

// Seconds from the start of the position's record, or of the first record under the style's
// time-origin bit, written as the spirometry reports write times (classic locale, six
// significant digits).
HRESULT HostDocument::PositionToText(int32_t, uint32_t, int32_t, KVDPosition position, uint32_t style, int32_t,
                                     IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    const KVDPosition origin = (style & kStyleFromFirstRecord) != 0 ? KVDPosition{0, 0} : KVDPosition{0, position.record};
    const KVDPosition positions[2] = {position, origin};
    double seconds[2] = {0.0, 0.0};
    if (mRecordData == nullptr || mRecordData->GetPositionTimes(2, positions, seconds) != KVD_S_OK)
        return KVD_E_BADSTATE;
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << seconds[0] - seconds[1];
    KVD::String(out.str()).GetOut(text);
    return KVD_S_OK;
}

HRESULT HostDocument::GetSamplingState(int32_t* sampling)
{
    if (sampling == nullptr)
        return KVD_E_POINTER;
    *sampling = mSampling ? 1 : 0;
    return KVD_S_OK;
}

HRESULT HostDocument::GetChannelDisplaySettings(int channel, IChannelDisplaySettings2** settings)
{
    if (settings == nullptr)
        return KVD_E_POINTER;
    uint32_t colour = 0;
    GetChannelColour(channel, &colour);
    DisplaySettings* display = DisplaySettings::CreateForChannel(channel, colour);
    for (const auto& [other, rgb] : mColours)
        if (other != channel)
            display->SetChannel(other, rgb, 0, 1);
    *settings = display;
    return KVD_S_OK;
}

HRESULT HostDocument::GetComputedChannelCount(int, int* count)
{
    return Count(mComputedChannels, count);
}

HRESULT HostDocument::GetData(IOrrelData2** data)
{
    return Give(mData, data);
}

HRESULT HostDocument::GetSettingsRegistrar(IUnknown** registrar)
{
    if (registrar == nullptr)
        return KVD_E_POINTER;
    return mRegistrar->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(registrar));
}

HRESULT HostDocument::GetRecordData(int, IRecordData** records)
{
    return Give(mRecordData, records);
}

HRESULT HostDocument::GetSelection(int, IRecordDataSelection** selection)
{
    if (selection == nullptr)
        return KVD_E_POINTER;
    mSelection.GetOut(selection);
    return KVD_S_OK;
}

}  // namespace Host
