#include "host/document/DataDocument.h"

#include <algorithm>

#include "FrameworkIds.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "host/data/Adopt.h"
#include "host/document/CMDoc.h"
#include "host/document/PersistedPart.h"
#include "host/drawing/DisplaySettings.h"

namespace Host {
namespace {

std::wstring PartStreamNameOf(ICustomDocClass* cls)
{
    KVD::String name;
    cls->GetDocumentClassName(KVD::String::Setter(name));
    return PartStreamName(name.c_str());
}

}  // namespace

DataDocument::DataDocument(std::shared_ptr<const Recording> recording)
    : mRecording(std::move(recording)),
      mDocument(Adopt(HostDocument::Create(KVD::ToKVDString(mRecording->Path())))),
      mData(Adopt(DocumentData::Create(mRecording)))
{
    const KVDPosition start{0, 0};
    const KVDPosition end{mRecording->RecordCount() > 0 ? mRecording->Record(0).ticks : 0, 0};
    mView = Adopt(DataView::Create(start, end, 1.0));
    mDocument->SetData(mData);
    mDocument->SetRecordData(mData);
    mDocument->SetDataView(mView);
    mDocument->SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), KVD::MakeCounted<CMDoc>().get());
    mData->SetDataChangedHandler([this] { NotifyDataChanged(); });
    for (int channel = 0; channel < Channels().Count(); ++channel)
        mDocument->SetChannelColour(channel, DisplaySettings::LibraryChannelColour(channel));
    UpdateChannelCounts();
}

DataDocument::~DataDocument()
{
    Close();
}

int DataDocument::AddChannel(const std::string& title, const std::string& unit)
{
    const int channel = Channels().AddChannel(title, unit);
    mDocument->SetChannelColour(channel, DisplaySettings::LibraryChannelColour(channel));
    UpdateChannelCounts();
    return channel;
}

void DataDocument::UpdateChannelCounts()
{
    int computed = 0;
    int withData = 0;
    for (int c = 0; c < Channels().Count(); ++c) {
        computed += Channels().Calculation(c) != nullptr ? 1 : 0;
        withData += Channels().HasData(0, c, 0xC0000000) ? 1 : 0;
    }
    mDocument->SetChannelCounts(Channels().Count(), withData, computed);
}

void DataDocument::Select(KVDPosition left, KVDPosition right)
{
    mDocument->GetSelection().SetRange(left, right);
    mDocument->NotifyObservers(EventIdClass<&CLSID_OrrelDocument, 0>::GetId(), nullptr);
}

void DataDocument::ClearSelection()
{
    mDocument->GetSelection().Clear();
    mDocument->NotifyObservers(EventIdClass<&CLSID_OrrelDocument, 0>::GetId(), nullptr);
}

void DataDocument::NotifyDataChanged()
{
    UpdateChannelCounts();
    mDocument->NotifyObservers(EventIdClass<&CLSID_OrrelDocument, 4>::GetId(), nullptr);
}

HRESULT DataDocument::CreateChildDocument(ICustomDocClass* cls, uint32_t flags, IStorage* stored,
                                          ICustomDocument** out)
{
    if (out != nullptr)
        *out = nullptr;
    if (cls == nullptr)
        return KVD_E_POINTER;
    const std::wstring partName = PartStreamNameOf(cls);
    KVD::COMPtr<ICustomDocument> child;
    const HRESULT hr = mDocument->CreateChildDocument(cls, flags, child.Set(), [&](ICustomDocument* created) {
        KVD::COMPtr<IUnknown> loaded;
        if (stored != nullptr && LoadPersistedPart(created, stored, partName, loaded) == KVD_S_OK)
            mDocument->RegisterPersistPart(nullptr, 0, loaded, 0, 0, nullptr);
    });
    if (child == nullptr)
        return hr;
    mChildren.push_back(Child{child, partName});
    child.GetOut(out);
    return KVD_S_OK;
}

HRESULT DataDocument::SaveChildDocuments(IStorage* storage)
{
    if (storage == nullptr)
        return KVD_E_POINTER;
    for (const Child& child : mChildren) {
        const HRESULT hr =
            SavePersistedPart(child.document, mDocument->GetPersistPart(0), storage, child.partName);
        if (hr != KVD_S_OK && hr != KVD_S_FALSE)
            return hr;
    }
    return storage->Commit(0);
}

HRESULT DataDocument::CloseChildDocument(ICustomDocument* child)
{
    auto it = std::find_if(mChildren.begin(), mChildren.end(), [child](const Child& c) { return c.document == child; });
    if (it == mChildren.end())
        return KVD_S_FALSE;
    mChildren.erase(it);
    return mDocument->CloseChildDocument(child);
}

void DataDocument::Close()
{
    if (mClosed)
        return;
    mClosed = true;
    mChildren.clear();
    mDocument->Close();
    mData->Close();
}

}  // namespace Host
