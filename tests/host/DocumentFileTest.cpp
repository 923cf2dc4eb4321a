// A data document saved into a document file and reopened: the same channels, calculations,
// persisted part and stored messages, all in place before the child document hears that it is
// complete; files that are not document files, or are damaged, refused with a message that
// names them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>

#include "FrameworkIds.h"
#include "IMessage.h"
#include "IPersistStreamInit.h"
#include "ISetCalcFromString.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"
#include "foundation/storage/StorageEntry.h"
#include "framework/CAFDocumentClass.h"
#include "framework/OrrelChildDocument.h"
#include "framework/ResponseTable.h"
#include "host/Message.h"
#include "host/SettingsKey.h"
#include "host/channels/ArithSettings.h"
#include "host/data/Adopt.h"
#include "host/docfile/DocumentFile.h"
#include "host/docfile/StoredId.h"

namespace {

namespace fs = boost::filesystem;

// 8A8F84CC-C11F-4FFA-B9D1-39650A0D1992: the test document class and its ids
inline constexpr _IID kNoteDocGuid = {0x8A8F84CC, 0xC11F, 0x4FFA, {0xB9, 0xD1, 0x39, 0x65, 0x0A, 0x0D, 0x19, 0x92}};
typedef TypeIdClass<&kNoteDocGuid, 0> NoteDocTypeId;
typedef StaticTypeIdClass<kEventId_CreationComplete> CreationCompleteId;

std::vector<std::string> gSeen;  // what the note documents found and heard

// A persisted part holding one double; saving fails while failing is set.
class NotePart final : public SimpleUnknownImp1_1<IPersistStreamInit, IPersist, 0> {
public:
    double note = 0;
    bool failing = false;

    HRESULT GetClassID(CLSID* id) override { return id == nullptr ? KVD_E_POINTER : (*id = kNoteDocGuid, KVD_S_OK); }
    HRESULT IsDirty() override { return KVD_S_OK; }
    HRESULT Load(IStream* stream) override { return stream->Read(&note, sizeof note, nullptr); }
    HRESULT Save(IStream* stream, bool) override
    {
        return failing ? KVD_E_BADSTATE : stream->Write(&note, sizeof note, nullptr);
    }
    HRESULT GetSizeMax(uint64_t* size) override { return size == nullptr ? KVD_E_POINTER : (*size = 8, KVD_S_OK); }
    HRESULT InitNew() override { return KVD_S_OK; }
};

// When complete, a note document tells what it finds: its part, the stored settings and the
// calculation on channel 2.
class NoteDoc : public OrrelChildDocument {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    NoteDoc(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags)
        : OrrelChildDocument(manager, site, cls, flags), mPart(new NotePart)
    {
    }
    static void GetCommands(CAFCommandGroup&) {}

    HRESULT GetPersistDocPart(PSDPDocumentPart part, unsigned long index, uint32_t* partId,
                              IUnknown** persist) override
    {
        *partId = 0;
        *persist = part == 0 && index == 2 ? static_cast<IPersistStreamInit*>(mPart.get()) : nullptr;
        if (*persist == nullptr)
            return KVD_S_FALSE;
        (*persist)->AddRef();
        return KVD_S_OK;
    }
    HRESULT PostSave(int result, IAutoKVDString*) override
    {
        gSeen.push_back("saved: " + std::to_string(result == KVD_S_OK));
        return KVD_S_OK;
    }

    NotePart& Part() { return *mPart; }
    void Register()
    {
        KVD::COMPtr<IDocumentSite> site(KVD::com_cast(GetAutoDocument()));
        site->RegisterPersistPart(GetInnerDocument(), 0, static_cast<IPersistStreamInit*>(mPart.get()), 0, 0,
                                  nullptr);
    }

    void OnCreationComplete(IDocument*, IDocument*)
    {
        uint32_t stored = 0;
        GetSettingsRegistrar()->GetObjectCount(&stored);
        KVD::COMPtr<IOrrelSetCalcData> data(KVD::com_cast(GetData()));
        KVD::COMPtr<ICalculation> calculation;
        data->GetCalculation(1, calculation.Set());
        std::ostringstream seen;
        seen << "complete: note " << mPart->note << ", " << stored << " stored, "
             << (calculation != nullptr ? "calculation" : "no calculation");
        gSeen.push_back(seen.str());
    }

private:
    KVD::COMPtr<NotePart> mPart;
};

CAF_DEFINE_RESPONSE_TABLE(NoteDoc, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<NoteDoc>(&CreationCompleteId::GetId, &NoteDoc::OnCreationComplete),
    TableEnd(),
};

class NoteDocClass : public CAFDocumentClass<NoteDoc> {
public:
    NoteDocClass() : CAFDocumentClass(L"NoteDoc", kNoteDocGuid, &CATID_OrrelChildDocClass, NoteDocTypeId::GetId(), 1, false) {}
};

// Message parameters packed as the message factory takes them.
class Block {
public:
    template <class T>
    Block& Add(uint32_t code, const T& value)
    {
        static_assert(sizeof(T) <= 16, "one parameter");
        mSignature |= code << (4 * mCount++);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        mValues.insert(mValues.end(), bytes, bytes + MsgParamSize(code));
        return *this;
    }
    Block& Text(const wchar_t* text) { return Add(kMsgParam_String, text); }
    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> all(4);
        std::memcpy(all.data(), &mSignature, 4);
        all.insert(all.end(), mValues.begin(), mValues.end());
        return all;
    }

private:
    uint32_t mSignature = 0;
    unsigned mCount = 0;
    std::vector<uint8_t> mValues;
};

KVD::COMPtr<ISettingsRegistrarKey> Key(uint32_t form, TCAFId id, uint32_t a, uint32_t b, uint32_t n,
                                       const wchar_t* name = L"", const _IID* iid = nullptr)
{
    return Host::Adopt(Host::SettingsKey::Create(SRKeyParts{form, id, a, b, n}, KVD::String(name), iid));
}

void Store(ISettingsRegistrar& registrar, ISettingsRegistrarKey* key, TCAFId id, uint64_t viewId, const Block& block)
{
    KVD::COMPtr<IMessage> message;
    const std::vector<uint8_t> bytes = block.Bytes();
    ASSERT_EQ(Host::Message::Create(id, 0x10, viewId, key, bytes.data(), message.Set()), KVD_S_OK);
    registrar.SetObject(key, message);
}

std::string Describe(const ISettingsRegistrarKey* key)
{
    SRKeyParts p{};
    KVD::String name;
    _IID iid{};
    key->GetParts(&p);
    key->GetName(KVD::String::Setter(name));
    std::ostringstream out;
    out << "key " << p.form << " " << std::hex << p.id << " " << p.a << " " << p.b << " " << p.n << " "
        << KVD::ToU8String(name) << (key->GetValueIID(&iid) == KVD_S_OK ? " with iid" : "");
    return out.str();
}

// A stored message as text: its key, id, flags, view id and parameters, strings by value.
std::string Describe(IUnknown* object, const ISettingsRegistrarKey* key)
{
    KVD::COMPtr<IMessage> message(KVD::com_cast(object));
    if (message == nullptr)
        return "not a message";
    TCAFId id = 0;
    uint32_t flags = 0;
    uint64_t viewId = 0;
    const void* block = nullptr;
    KVD::COMPtr<ISettingsRegistrarKey> own;
    message->GetId(&id);
    message->GetFlags(&flags);
    message->GetViewId(&viewId);
    message->GetParamBlock(&block);
    message->GetKey(own.Set());
    std::ostringstream out;
    out << Describe(key) << ": message " << std::hex << id << " " << flags << " " << viewId << " "
        << (Host::SettingsKey::Equal(own, key) ? "own key" : "other key") << " [";
    const auto* bytes = static_cast<const uint8_t*>(block);
    uint32_t signature = 0;
    if (bytes != nullptr)
        std::memcpy(&signature, bytes, 4);
    Host::Message::ForEachParam(signature, [&](uint32_t code, uint32_t offset) {
        if (code == kMsgParam_String) {
            const wchar_t* text = nullptr;
            std::memcpy(&text, bytes + offset, sizeof text);
            out << " \"" << KVD::ToU8String(KVD::String(text)) << "\"";
        } else if (code == kMsgParam_Double) {
            double value = 0;
            std::memcpy(&value, bytes + offset, 8);
            out << " " << value;
        } else {
            for (uint32_t i = 0; i < MsgParamSize(code); i += 4) {
                uint32_t word = 0;
                std::memcpy(&word, bytes + offset + i, 4);
                out << " " << word;
            }
        }
    });
    out << " ]";
    return out.str();
}

std::string Hex(uint32_t value)
{
    std::ostringstream out;
    out << std::hex << value;
    return out.str();
}

std::vector<std::string> Stored(const ISettingsRegistrar& registrar)
{
    uint32_t count = 0;
    registrar.GetObjectCount(&count);
    std::vector<std::string> stored;
    for (uint32_t i = 0; i < count; ++i) {
        KVD::COMPtr<ISettingsRegistrarKey> key;
        KVD::COMPtr<IUnknown> object;
        registrar.GetKeyAt(i, key.Set());
        registrar.GetObject(key, object.Set());
        stored.push_back(Describe(object, key));
    }
    return stored;
}

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mFolder = fs::temp_directory_path() / fs::unique_path("docfile-%%%%%%%%");
        fs::create_directories(mFolder);
        std::ofstream(Path("flow.csv")) << "time,Flow [L/s]\n0,0\n0.5,1\n1,2\n1.5,3\n";
        ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICustomDocClass*>(mClass.get()));
        gSeen.clear();
    }
    void TearDown() override
    {
        ObjectFactoryAccessor::Get()->RevokeClassObject(NoteDocTypeId::GetId());
        fs::remove_all(mFolder);
    }
    std::string Path(const std::string& name) const { return (mFolder / name).string(); }

    // The recording with a computed channel, a note document with a registered part, and
    // stored messages of every parameter type and key form.
    std::unique_ptr<Host::DataDocument> MakeDocument()
    {
        auto recording = std::make_shared<const Host::Recording>(Host::LoadRecording(Path("flow.csv")));
        auto document = std::make_unique<Host::DataDocument>(recording);
        const int channel = document->AddChannel("Double", "L/s");
        KVD::COMPtr<ICalculationClass> cls;
        ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                     cls.Set());
        KVD::COMPtr<ICalculation> calculation;
        cls->Create(TChannelId{channel, 0}, &document->Data(), calculation.Set());
        EXPECT_EQ(calculation->Configure(Host::Adopt(Host::ArithSettings::Create(L"ch1 * 2", L"L/s")).get(), kAutoTrue),
                  KVD_S_OK);
        document->Data().SetCalculation(TChannelId{channel, 0}, calculation);

        KVD::COMPtr<ICustomDocument> child;
        EXPECT_EQ(document->CreateChildDocument(mClass, 5, nullptr, child.Set()), KVD_S_OK);
        mNote = static_cast<NoteDoc*>(static_cast<ICustomDocument2*>(child.get()));
        mNote->Part().note = 1.25;
        mNote->Register();

        ISettingsRegistrar& registrar = *document->Document().GetRegistrar();
        const TCAFId dynamic = TypeIdClass<&kNoteDocGuid, 1>::GetId();
        const tagRECT rect{1, 2, 3, 4};
        Store(registrar, Key(kSRKey_Id, dynamic, 0, 0, 0), dynamic, 0,
              Block().Add(kMsgParam_UInt, 7u).Add(kMsgParam_Double, 2.5).Text(L"litres")
                     .Add(kMsgParam_CAFId, TypeIdClass<&kNoteDocGuid, 3>::GetId()).Add(kMsgParam_Rect, rect));
        Store(registrar, Key(kSRKey_IdPair, 0x80010005, dynamic, NoteDocTypeId::GetId(), 2), 0x80010005,
              uint64_t(7) << 32 | NoteDocTypeId::GetId(), Block().Add(kMsgParam_Int, -3));
        Store(registrar, Key(kSRKey_Name, dynamic, 0, 0, 0, L"preview", &IID_IPersistObject), dynamic, 0, Block());
        registrar.SetObject(Key(kSRKey_Index, dynamic, 0, 0, 4), static_cast<IPersistObject*>(Host::Adopt(Host::ArithSettings::Create(L"1")).get()));
        Store(registrar, Key(kSRKey_TwoParts, 0x80010005, 0x12345678, 7, 0), 0x80010006, 0,
              Block().Text(L""));
        return document;
    }

    fs::path mFolder;
    KVD::COMPtr<NoteDocClass> mClass{new NoteDocClass};
    NoteDoc* mNote = nullptr;
};

TEST_F(DocumentFileTest, ReopensWithTheSameCalculationsPartAndStoredMessages)
{
    std::vector<std::string> stored;
    {
        auto document = MakeDocument();
        stored = Stored(*document->Document().GetRegistrar());
        Host::DocumentFile::Save(*document, Path("doc.spd"));
    }
    ASSERT_EQ(stored.size(), 5u);
    const std::string id = Hex(TypeIdClass<&kNoteDocGuid, 1>::GetId());
    EXPECT_EQ(stored[0], "key 1 " + id + " 0 0 0 : message " + id + " 10 0 own key [ 7 2.5 \"litres\" " +
                             Hex(TypeIdClass<&kNoteDocGuid, 3>::GetId()) + " 1 2 3 4 ]");
    EXPECT_EQ(stored[3], "not a message");
    stored.erase(stored.begin() + 3);  // only messages are kept

    gSeen.clear();
    auto reopened = Host::DocumentFile::Open(Path("doc.spd"));
    EXPECT_EQ(gSeen, std::vector<std::string>{"complete: note 1.25, 4 stored, calculation"});
    EXPECT_EQ(Stored(*reopened->Document().GetRegistrar()), stored);

    Host::ChannelTable& channels = reopened->Channels();
    ASSERT_EQ(channels.Count(), 2);
    EXPECT_EQ(channels.Title(1) + " " + channels.Unit(1), "Double L/s");
    KVD::String formula;
    KVD::COMPtr<IChannelCalc>(KVD::com_cast(channels.Calculation(1)))->GetInfoString(0, KVD::String::Setter(formula));
    EXPECT_EQ(formula, L"ch1 * 2");
    const auto flow = channels.Floats(0, 0, 0x1000), twice = channels.Floats(0, 1, 0);
    ASSERT_EQ(twice->Size(), 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        float f = 0, t = 0;
        flow->Read(i, 1, &f);
        twice->Read(i, 1, &t);
        EXPECT_FLOAT_EQ(t, 2 * f) << i;
    }
}

TEST_F(DocumentFileTest, FailedSaveKeepsTheFileThatWasThere)
{
    auto document = MakeDocument();
    Host::DocumentFile::Save(*document, Path("doc.spd"));
    mNote->Part().note = 9;
    mNote->Part().failing = true;
    gSeen.clear();
    try {
        Host::DocumentFile::Save(*document, Path("doc.spd"));
        ADD_FAILURE() << "saved";
    } catch (const Host::DocumentFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(Path("doc.spd") + ": cannot write the parts", 0), 0u) << e.what();
    }
    EXPECT_EQ(gSeen, std::vector<std::string>{"saved: 0"});
    EXPECT_FALSE(fs::exists(Path("doc.spd.saving")));
    document.reset();
    gSeen.clear();
    Host::DocumentFile::Open(Path("doc.spd"));
    EXPECT_EQ(gSeen, std::vector<std::string>{"complete: note 1.25, 4 stored, calculation"});
}

// Replaces the named stream of the file (a path of storage names) with these bytes.
void Overwrite(const std::string& file, std::vector<std::wstring> path, const std::string& bytes)
{
    KVD::COMPtr<IStorage> storage;
    ASSERT_EQ(KVDStgOpenStorage(KVDFileRef(KVD::Path(file)), STGM_READWRITE, storage.Set()), KVD_S_OK);
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        KVD::COMPtr<IStorage> inner;
        storage->OpenStorage(path[i].c_str(), nullptr, STGM_READWRITE, nullptr, 0, inner.Set());
        storage = inner;
    }
    KVD::COMPtr<IStream> stream;
    ASSERT_EQ(storage->CreateStream(path.back().c_str(), STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set()), KVD_S_OK);
    stream->Write(bytes.data(), uint32_t(bytes.size()), nullptr);
}

TEST_F(DocumentFileTest, RefusesFilesThatAreNotDocumentFilesOrAreDamaged)
{
    const std::string file = Path("doc.spd");
    const struct {
        const char* what;
        std::function<void()> damage;
        std::string expected;
    } cases[] = {
        {"text", [&] { std::ofstream(file) << "time,Flow\n0,1\n"; }, "not a document file"},
        {"missing", [&] { fs::remove(file); }, "cannot be opened: "},
        {"empty storage",
         [&] {
             KVD::COMPtr<IStorage> root;
             KVDStgCreateDocfile(KVDFileRef(KVD::Path(file)), STGM_CREATE | STGM_READWRITE, 0, root.Set(), 0, 0);
         },
         "damaged: it has no Document record"},
        {"cut short", [&] { Overwrite(file, {L"Document"}, std::string("\x01\0\0\0", 4)); }, "damaged: "},
        {"truncated", [&] { fs::resize_file(file, fs::file_size(file) / 2); }, "damaged (0xf800"},
        {"calculation", [&] { Overwrite(file, {L"Calculations", L"Channel 2"}, std::string("\x01\0\0\0\x01\0\0\0", 8)); },
         "the calculation of channel 2 is damaged"},
        {"messages", [&] { Overwrite(file, {L"Registrar"}, std::string("\x01\0\0\0\x09\0\0\0", 8)); },
         "damaged: its stored settings cannot be read"},
        {"recording", [&] { fs::remove(Path("flow.csv")); }, Path("flow.csv")},
    };
    for (const auto& c : cases) {
        Host::DocumentFile::Save(*MakeDocument(), file);
        c.damage();
        try {
            Host::DocumentFile::Open(file);
            ADD_FAILURE() << c.what << ": opened";
        } catch (const Host::DocumentFileError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(file + ": ", 0), 0u) << c.what << ": " << message;
            EXPECT_NE(message.find(c.expected), std::string::npos) << c.what << ": " << message;
        }
        std::ofstream(Path("flow.csv")) << "time,Flow [L/s]\n0,0\n0.5,1\n1,2\n1.5,3\n";
    }
}

// Dynamic ids are kept as their GUID and index, static ids as they are; an unknown form makes
// the stream bad.
TEST(StoredId, KeepsDynamicIdsByGuid)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 21);
        Host::StoredId::Write(out, TypeIdClass<&kNoteDocGuid, 0x0203>::GetId());
        Host::StoredId::Write(out, 0x8000000A);
    }
    std::string bytes = buffer.str();
    const std::string expected = std::string("\x01", 1) + std::string(reinterpret_cast<const char*>(&kNoteDocGuid), 16) +
                                 "\x03\x02" + std::string("\0\x0A\0\0\x80", 5);
    EXPECT_EQ(bytes.substr(4), expected);

    std::stringbuf in(bytes);
    KVD::BinIStream read(&in);
    EXPECT_EQ(Host::StoredId::Read(read), (TypeIdClass<&kNoteDocGuid, 0x0203>::GetId()));
    EXPECT_EQ(Host::StoredId::Read(read), 0x8000000Au);
    bytes[4] = 2;
    std::stringbuf bad(bytes);
    KVD::BinIStream unknown(&bad);
    Host::StoredId::Read(unknown);
    EXPECT_FALSE(unknown.good());
}

}  // namespace
