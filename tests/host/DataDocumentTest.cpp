// A child document in a data document over a recording: created, given its stored part, told
// of selection and data changes, saved and closed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FrameworkIds.h"
#include "IPersistStreamInit.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/MemoryLockBytes.h"
#include "foundation/storage/StorageEntry.h"
#include "framework/CAFDocumentClass.h"
#include "framework/OrrelChildDocument.h"
#include "framework/ResponseTable.h"
#include "host/document/DataDocument.h"

namespace {

// 5A0C3E71-2D4B-4F6A-9E18-7B3C1D2E4F50: the test document class
inline constexpr _IID kPartDocGuid = {0x5A0C3E71, 0x2D4B, 0x4F6A, {0x9E, 0x18, 0x7B, 0x3C, 0x1D, 0x2E, 0x4F, 0x50}};
typedef TypeIdClass<&kPartDocGuid, 0> PartDocTypeId;
typedef StaticTypeIdClass<kEventId_CreationComplete> CreationCompleteId;

std::vector<std::string> gLog;

// A persisted part holding one number, written as four bytes.
class NumberPart final : public SimpleUnknownImp1_1<IPersistStreamInit, IPersist, 0> {
public:
    int value = 0;

    HRESULT GetClassID(CLSID* id) override { return id == nullptr ? KVD_E_POINTER : (*id = kPartDocGuid, KVD_S_OK); }
    HRESULT IsDirty() override { return KVD_S_OK; }
    HRESULT Load(IStream* stream) override
    {
        uint32_t read = 0;
        const HRESULT hr = stream->Read(&value, sizeof(value), &read);
        gLog.push_back("part: loaded " + std::to_string(value));
        return read == sizeof(value) ? hr : KVD_E_BADSTATE;
    }
    HRESULT Save(IStream* stream, bool) override { return stream->Write(&value, sizeof(value), nullptr); }
    HRESULT GetSizeMax(uint64_t* size) override { return size == nullptr ? KVD_E_POINTER : (*size = 4, KVD_S_OK); }
    HRESULT InitNew() override { return KVD_S_OK; }
};

class PartDoc : public OrrelChildDocument {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    PartDoc(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags)
        : OrrelChildDocument(manager, site, cls, flags), mPart(new NumberPart)
    {
    }
    ~PartDoc() override { gLog.push_back("doc: gone"); }
    static void GetCommands(CAFCommandGroup&) {}

    HRESULT GetPersistDocPart(PSDPDocumentPart part, unsigned long index, uint32_t* partId,
                              IUnknown** persist) override
    {
        *partId = 0;
        *persist = nullptr;
        if (part != 0 || index != 2)
            return KVD_S_FALSE;
        mPart.GetOut(reinterpret_cast<IPersistStreamInit**>(persist));
        return KVD_S_OK;
    }

    // A changed value becomes a persisted part of the host document, as the document's
    // settings do.
    void SetValue(int value)
    {
        mPart->value = value;
        KVD::COMPtr<IDocumentSite> site(KVD::com_cast(GetAutoDocument()));
        site->RegisterPersistPart(GetInnerDocument(), 0, static_cast<IPersistStreamInit*>(mPart.get()), 0, 0,
                                  nullptr);
    }

    void OnCreationComplete(IDocument*, IDocument*) { gLog.push_back("doc: created with " + std::to_string(mPart->value)); }
    void OnSelectionChanged()
    {
        KVDPosition left{}, right{};
        GetSelection()->GetRange(&left, &right);
        gLog.push_back("doc: selection " + std::to_string(left.tick) + ".." + std::to_string(right.tick));
    }
    void OnDataChanged() { gLog.push_back("doc: data"); }

private:
    KVD::COMPtr<NumberPart> mPart;
};

CAF_DEFINE_RESPONSE_TABLE(PartDoc, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<PartDoc>(&CreationCompleteId::GetId, &PartDoc::OnCreationComplete),
    ResponseTable::Event<PartDoc>(&EventIdClass<&CLSID_OrrelDocument, 0>::GetId, &PartDoc::OnSelectionChanged),
    ResponseTable::Event<PartDoc>(&EventIdClass<&CLSID_OrrelDocument, 4>::GetId, &PartDoc::OnDataChanged),
    TableEnd(),
};

class PartDocClass : public CAFDocumentClass<PartDoc> {
public:
    PartDocClass() : CAFDocumentClass(L"PartDoc", kPartDocGuid, &CATID_OrrelChildDocClass, PartDocTypeId::GetId(), 1, false) {}
};

std::shared_ptr<Host::Recording> OneRecord()
{
    auto rec = std::make_shared<Host::Recording>("part.csv", 10.0,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}});
    rec->AddRecord(Host::RecordBlock{100, {std::vector<int16_t>(100, 5)}});
    return rec;
}

TEST(DataDocument, ChildDocumentLivesThroughItsPartEventsAndClose)
{
    gLog.clear();
    KVD::COMPtr<PartDocClass> cls(new PartDocClass);
    ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICustomDocClass*>(cls.get()));
    KVD::COMPtr<ILockBytes> bytes(KVDStg::MemoryLockBytes::Create());
    bytes->Release();
    KVD::COMPtr<IStorage> storage;
    ASSERT_EQ(KVDStgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE, 0, storage.Set()), KVD_S_OK);

    {
        Host::DataDocument data(OneRecord());
        KVD::COMPtr<ICustomDocument> child;
        ASSERT_EQ(data.CreateChildDocument(cls, 0, nullptr, child.Set()), KVD_S_OK);
        auto* doc = static_cast<PartDoc*>(static_cast<ICustomDocument2*>(child.get()));
        EXPECT_EQ(doc->GetRecordData(), static_cast<IRecordData*>(&data.Data()));
        // Nothing registered yet: nothing is saved.
        EXPECT_EQ(data.SaveChildDocuments(storage), KVD_S_OK);
        KVD::COMPtr<IStream> none;
        EXPECT_NE(storage->OpenStream(L"PartDoc part 0", nullptr, STGM_READ, 0, none.Set()), KVD_S_OK);

        doc->SetValue(42);
        data.Select(KVDPosition{10, 0}, KVDPosition{60, 0});
        data.NotifyDataChanged();
        EXPECT_EQ(data.SaveChildDocuments(storage), KVD_S_OK);
        KVD::COMPtr<IStream> saved;
        EXPECT_EQ(storage->OpenStream(L"PartDoc part 0", nullptr, STGM_READ, 0, saved.Set()), KVD_S_OK);
        EXPECT_EQ(data.CloseChildDocument(child), KVD_S_OK);
        EXPECT_EQ(data.CloseChildDocument(child), KVD_S_FALSE);
        child.Clear();
        // Closed: the document is gone and hears nothing more.
        data.NotifyDataChanged();
    }
    EXPECT_EQ(gLog, (std::vector<std::string>{"doc: created with 0", "doc: selection 10..60", "doc: data",
                                              "doc: gone"}));

    // A new document of the stored file: the part is loaded before creation completes.
    gLog.clear();
    {
        Host::DataDocument data(OneRecord());
        KVD::COMPtr<ICustomDocument> child;
        ASSERT_EQ(data.CreateChildDocument(cls, 0, storage, child.Set()), KVD_S_OK);
        child.Clear();
    }
    EXPECT_EQ(gLog, (std::vector<std::string>{"part: loaded 42", "doc: created with 42", "doc: gone"}));
    ObjectFactoryAccessor::Get()->RevokeClassObject(PartDocTypeId::GetId());
}

}  // namespace
