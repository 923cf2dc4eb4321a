// A data document saved into a document file and reopened: the same channels, calculations,
// persisted part and stored messages, all in place before the child document hears that it is
// complete; files that are not document files, or are damaged, refused with a message that
// names them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <boost/crc.hpp>
#include <boost/filesystem.hpp>

#include "FrameworkIds.h"
#include "IMessage.h"
#include "IPersistStreamInit.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"
#include "foundation/storage/StorageEntry.h"
#include "framework/CAFDocumentClass.h"
#include "framework/OrrelChildDocument.h"
#include "framework/ResponseTable.h"
#include "host/channels/ArithSettings.h"
#include "host/data/Adopt.h"
#include "host/docfile/DocumentFile.h"
#include "host/docfile/StreamChecksums.h"
#include "host/docfile/StoredId.h"
#include "host/framework/Message.h"
#include "host/settings/SettingsKey.h"

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

// The parameter block of a message with a text and an id.
#pragma pack(push, 1)
struct TextAndId {
    uint32_t signature;
    const wchar_t* text;
    TCAFId id;
};
#pragma pack(pop)

KVD::COMPtr<ISettingsRegistrarKey> Key(uint32_t form, TCAFId id, uint32_t a, uint32_t b, uint32_t n,
                                       const wchar_t* name = L"")
{
    return Host::Adopt(Host::SettingsKey::Create(SRKeyParts{form, id, a, b, n}, KVD::String(name), &IID_IMessage));
}

// The registrar's objects as text: each key's parts, and the message's id, view id and the
// parameters of a TextAndId block.
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
        SRKeyParts p{};
        KVD::String name;
        key->GetParts(&p);
        key->GetName(KVD::String::Setter(name));
        std::ostringstream out;
        out << std::hex << p.form << " " << p.id << " " << p.a << " " << p.b << " " << p.n << " "
            << KVD::ToU8String(name) << ":";
        TCAFId id = 0;
        uint64_t viewId = 0;
        const void* block = nullptr;
        if (KVD::COMPtr<IMessage> message{KVD::com_cast(object.get())}) {
            message->GetId(&id);
            message->GetViewId(&viewId);
            message->GetParamBlock(&block);
            out << " message " << id << " " << viewId;
        }
        if (const auto* values = static_cast<const TextAndId*>(block))
            out << " \"" << KVD::ToU8String(KVD::String(values->text)) << "\" " << values->id;
        stored.push_back(out.str());
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
        EXPECT_EQ(calculation->Configure(Host::ArithSettings::Create(L"ch1 * 2", L"L/s").get(), kAutoTrue),
                  KVD_S_OK);
        document->Data().SetCalculation(TChannelId{channel, 0}, calculation);

        KVD::COMPtr<ICustomDocument> child;
        EXPECT_EQ(document->CreateChildDocument(mClass, 5, nullptr, child.Set()), KVD_S_OK);
        mNote = static_cast<NoteDoc*>(static_cast<ICustomDocument2*>(child.get()));
        mNote->Part().note = 1.25;
        mNote->Register();

        // Messages with dynamic ids wherever ids go, and an object that is no message.
        ISettingsRegistrar& registrar = *document->Document().GetRegistrar();
        const TCAFId dynamic = TypeIdClass<&kNoteDocGuid, 1>::GetId();
        const TextAndId block{kMsgParam_String | kMsgParam_CAFId << 4, L"litres", TypeIdClass<&kNoteDocGuid, 3>::GetId()};
        KVD::COMPtr<ISettingsRegistrarKey> named = Key(kSRKey_Name, dynamic, 0, 0, 0, L"preview");
        KVD::COMPtr<ISettingsRegistrarKey> pair = Key(kSRKey_IdPair, 0x80010005, dynamic, NoteDocTypeId::GetId(), 2);
        KVD::COMPtr<IMessage> message;
        Host::Message::Create(dynamic, 0, uint64_t(7) << 32 | NoteDocTypeId::GetId(), named, &block, message.Set());
        registrar.SetObject(named, message);
        registrar.SetObject(Key(kSRKey_Index, dynamic, 0, 0, 4),
                            static_cast<IPersistObject*>(Host::ArithSettings::Create(L"1").get()));
        Host::Message::Create(0x80010005, 0, 0, pair, nullptr, message.Set());
        registrar.SetObject(pair, message);
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
    const auto hex = [](TCAFId id) { return (std::ostringstream() << std::hex << id).str(); };
    const std::string note = hex(TypeIdClass<&kNoteDocGuid, 1>::GetId()), type = hex(NoteDocTypeId::GetId());
    EXPECT_EQ(stored, (std::vector<std::string>{
                          "4 " + note + " 0 0 0 preview: message " + note + " 7" + std::string(8 - type.size(), '0') +
                              type + " \"litres\" " + hex(TypeIdClass<&kNoteDocGuid, 3>::GetId()),
                          "2 " + note + " 0 0 4 :",
                          "3 80010005 " + note + " " + type + " 2 : message 80010005 0",
                      }));
    stored.erase(stored.begin() + 1);  // only messages are kept

    gSeen.clear();
    auto reopened = Host::DocumentFile::Open(Path("doc.spd"));
    EXPECT_EQ(gSeen, std::vector<std::string>{"complete: note 1.25, 2 stored, calculation"});
    EXPECT_EQ(Stored(*reopened->Document().GetRegistrar()), stored);

    Host::ChannelTable& channels = reopened->Channels();
    ASSERT_EQ(channels.Count(), 2);
    EXPECT_EQ(channels.Title(1) + " " + channels.Unit(1), "Double L/s");
    KVD::String formula;
    KVD::COMPtr<IChannelCalc>(KVD::com_cast(channels.Calculation(1)))->GetInfoString(0, KVD::String::Setter(formula));
    EXPECT_EQ(formula, L"ch1 * 2");
    std::vector<float> flow(4), twice(4);
    channels.Floats(0, 0, 0x1000)->Read(0, 4, flow.data());
    channels.Floats(0, 1, 0)->Read(0, 4, twice.data());
    for (float& f : flow)
        f *= 2;
    EXPECT_EQ(twice, flow);
}

// A document opened and saved again a thousand times keeps its size and everything in it.
TEST_F(DocumentFileTest, SavedAndReopenedAThousandTimesStaysTheSame)
{
    Host::DocumentFile::Save(*MakeDocument(), Path("doc.spd"));
    const auto size = fs::file_size(Path("doc.spd"));
    std::vector<std::string> stored;
    for (int i = 0; i < 1000; ++i) {
        auto reopened = Host::DocumentFile::Open(Path("doc.spd"));
        if (i == 0)
            stored = Stored(*reopened->Document().GetRegistrar());
        Host::DocumentFile::Save(*reopened, Path("doc.spd"));
    }
    EXPECT_EQ(fs::file_size(Path("doc.spd")), size);
    auto last = Host::DocumentFile::Open(Path("doc.spd"));
    EXPECT_EQ(Stored(*last->Document().GetRegistrar()), stored);
    EXPECT_EQ(last->Channels().Count(), 2);
    EXPECT_NE(last->Document().GetPersistPart(0), nullptr);
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
    EXPECT_EQ(std::distance(fs::directory_iterator(mFolder), fs::directory_iterator()), 2) << "a scratch file was left";
    document.reset();
    gSeen.clear();
    Host::DocumentFile::Open(Path("doc.spd"));
    EXPECT_EQ(gSeen, std::vector<std::string>{"complete: note 1.25, 2 stored, calculation"});
}

// Replaces the named stream of the file (a path of storage names) with these bytes; resigned,
// the checksums are written again to match, as if the program had saved the bytes.
void Overwrite(const std::string& file, std::vector<std::wstring> path, const std::string& bytes, bool resigned = false)
{
    KVD::COMPtr<IStorage> root;
    ASSERT_EQ(KVDStgOpenStorage(KVDFileRef(KVD::Path(file)), STGM_READWRITE, root.Set()), KVD_S_OK);
    KVD::COMPtr<IStorage> storage = root;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        KVD::COMPtr<IStorage> inner;
        storage->OpenStorage(path[i].c_str(), nullptr, STGM_READWRITE, nullptr, 0, inner.Set());
        storage = inner;
    }
    KVD::COMPtr<IStream> stream;
    ASSERT_EQ(storage->CreateStream(path.back().c_str(), STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set()), KVD_S_OK);
    stream->Write(bytes.data(), uint32_t(bytes.size()), nullptr);
    stream.Clear();
    storage.Clear();
    if (resigned)
        Host::StreamChecksums::Write(root);
}

// The bytes of the named stream of the file.
std::string StreamBytes(const std::string& file, std::vector<std::wstring> path)
{
    KVD::COMPtr<IStorage> storage;
    KVDStgOpenStorage(KVDFileRef(KVD::Path(file)), STGM_READ, storage.Set());
    for (size_t i = 0; storage != nullptr && i + 1 < path.size(); ++i) {
        KVD::COMPtr<IStorage> inner;
        storage->OpenStorage(path[i].c_str(), nullptr, STGM_READ, nullptr, 0, inner.Set());
        storage = inner;
    }
    KVD::COMPtr<IStream> stream;
    if (storage != nullptr)
        storage->OpenStream(path.back().c_str(), nullptr, STGM_READ, 0, stream.Set());
    std::string bytes;
    char buffer[4096];
    uint32_t read = 0;
    while (stream != nullptr && stream->Read(buffer, sizeof buffer, &read) == KVD_S_OK && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

// Removes the named element of the root storage, or adds a stream when bytes are given.
void ChangeRoot(const std::string& file, const wchar_t* name, const char* bytes = nullptr)
{
    KVD::COMPtr<IStorage> root;
    ASSERT_EQ(KVDStgOpenStorage(KVDFileRef(KVD::Path(file)), STGM_READWRITE, root.Set()), KVD_S_OK);
    if (bytes == nullptr) {
        root->DestroyElement(name);
        return;
    }
    KVD::COMPtr<IStream> stream;
    root->CreateStream(name, STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set());
    stream->Write(bytes, uint32_t(std::strlen(bytes)), nullptr);
}

uint32_t Crc32(const std::string& bytes)
{
    boost::crc_32_type crc;
    crc.process_bytes(bytes.data(), bytes.size());
    return crc.checksum();
}

uint64_t Little(const std::string& bytes, size_t at, int size)
{
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint64_t(uint8_t(bytes.at(at + i))) << (8 * i);
    return value;
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
         "damaged: it has no checksums"},
        {"truncated", [&] { fs::resize_file(file, fs::file_size(file) / 2); }, "damaged (0xf800"},
        {"calculation", [&] { Overwrite(file, {L"Calculations", L"Channel 2"}, std::string("\x01\0\0\0\x01\0\0\0", 8)); },
         "damaged: its stream \"Calculations/Channel 2\" does not match its checksum"},
        {"calculation resigned",
         [&] { Overwrite(file, {L"Calculations", L"Channel 2"}, std::string("\x01\0\0\0\x01\0\0\0", 8), true); },
         "the calculation of channel 2 is damaged"},
        // One character of the formula changed, the length kept: it would read as another formula.
        {"formula changed",
         [&] {
             std::string bytes = StreamBytes(file, {L"Calculations", L"Channel 2"});
             bytes[bytes.size() - 4] ^= 0x01;
             Overwrite(file, {L"Calculations", L"Channel 2"}, bytes);
         },
         "damaged: its stream \"Calculations/Channel 2\" does not match its checksum"},
        {"messages", [&] { Overwrite(file, {L"Registrar"}, std::string("\x01\0\0\0\x09\0\0\0", 8)); },
         "damaged: its stream \"Registrar\" does not match its checksum"},
        {"messages resigned", [&] { Overwrite(file, {L"Registrar"}, std::string("\x01\0\0\0\x09\0\0\0", 8), true); },
         "damaged: its stored settings cannot be read"},
        {"calculation lost", [&] { ChangeRoot(file, L"Calculations"); },
         "damaged: its stream \"Calculations/Channel 2\" is missing"},
        {"stream added", [&] { ChangeRoot(file, L"Extra", "x"); }, "damaged: its stream \"Extra\" was not saved with it"},
        {"checksums changed",
         [&] {
             std::string bytes = StreamBytes(file, {L"Checksums"});
             bytes[6] ^= 0x20;
             Overwrite(file, {L"Checksums"}, bytes);
         },
         "damaged: its checksums do not match themselves"},
        {"no checksums", [&] { ChangeRoot(file, L"Checksums"); }, "damaged: it has no checksums"},
        // The recording named by its end, which a long path keeps.
        {"recording", [&] { fs::remove(Path("flow.csv")); }, "/flow.csv: the file cannot be opened: No such file"},
        {"selection cut short", [&] { Overwrite(file, {L"Selection"}, std::string("\x01\0\0\0\0\0\0\0", 8), true); },
         "damaged: its selection record is cut short"},
        {"selection past the ticks",
         [&] { Overwrite(file, {L"Selection"}, std::string("\0\0\0\0\0\0\0\0\x05\0\0\0\0\0\0\0", 16), true); },
         "its selection lies beyond the end of the recording " + Path("flow.csv")},
        {"selection past the records",
         [&] { Overwrite(file, {L"Selection"}, std::string("\0\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\0\0", 16), true); },
         "its selection lies beyond the end of the recording " + Path("flow.csv")},
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

// A selection is saved and put back before the children are made; a document with none is
// saved without a selection record, as it always was.
TEST_F(DocumentFileTest, KeepsTheSelectionOfADocumentThatHasOne)
{
    const auto range = [](Host::DataDocument& document) {
        KVDPosition left{}, right{};
        const HRESULT hr = document.Document().GetSelection().GetRange(&left, &right);
        return std::string(hr == KVD_S_OK ? "selected " : "none ") + std::to_string(left.tick) + "/" + std::to_string(left.record) + " to " +
               std::to_string(right.tick) + "/" + std::to_string(right.record);
    };
    Host::DocumentFile::Save(*MakeDocument(), Path("none.spd"));
    EXPECT_EQ(StreamBytes(Path("none.spd"), {L"Selection"}), "");
    EXPECT_EQ(range(*Host::DocumentFile::Open(Path("none.spd"))), "none 2147483647/2147483647 to 2147483647/2147483647");

    auto document = MakeDocument();
    document->Select(KVDPosition{1, 0}, KVDPosition{4, 0});
    Host::DocumentFile::Save(*document, Path("selected.spd"));
    // The binary stream's version word (21), then left tick and record, right tick and record.
    EXPECT_EQ(StreamBytes(Path("selected.spd"), {L"Selection"}),
              std::string("\xAA\xAA\x15\x55\x01\0\0\0\0\0\0\0\x04\0\0\0\0\0\0\0", 20));
    EXPECT_EQ(range(*Host::DocumentFile::Open(Path("selected.spd"))), "selected 1/0 to 4/0");
}

// What a child stored as its persisted part, read from the file without opening the document.
TEST_F(DocumentFileTest, ReadsTheStoredPartOfAChildByItsClassName)
{
    const std::string file = Path("doc.spd");
    Host::DocumentFile::Save(*MakeDocument(), file);
    double note = 0;
    EXPECT_TRUE(Host::DocumentFile::ReadStoredPart(file, "NoteDoc", [&](KVD::BinIStream& in) { in >> note; }));
    EXPECT_EQ(note, 1.25);
    bool called = false;
    EXPECT_FALSE(Host::DocumentFile::ReadStoredPart(file, "OtherDoc", [&](KVD::BinIStream&) { called = true; }));
    Host::DataDocument bare(std::make_shared<const Host::Recording>(Host::LoadRecording(Path("flow.csv"))));
    Host::DocumentFile::Save(bare, Path("bare.spd"));
    EXPECT_FALSE(Host::DocumentFile::ReadStoredPart(Path("bare.spd"), "NoteDoc", [&](KVD::BinIStream&) { called = true; }));
    EXPECT_FALSE(called);
    std::ofstream(file) << "not a document\n";
    try {
        Host::DocumentFile::ReadStoredPart(file, "NoteDoc", [&](KVD::BinIStream&) { called = true; });
        ADD_FAILURE() << "read";
    } catch (const Host::DocumentFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(file + ": not a document file", 0), 0u) << e.what();
    }
    EXPECT_FALSE(called);
}

// The checksums' stored form: the count, then each stream's path, length and CRC-32 in the
// order of their paths, then the CRC-32 of the table.
TEST_F(DocumentFileTest, ChecksumsOfEveryStreamInPathOrder)
{
    const std::string file = Path("doc.spd");
    Host::DocumentFile::Save(*MakeDocument(), file);
    const std::string table = StreamBytes(file, {L"Checksums"});
    ASSERT_GE(table.size(), 8u);
    EXPECT_EQ(Little(table, table.size() - 4, 4), Crc32(table.substr(0, table.size() - 4)));
    std::vector<std::string> paths;
    size_t at = 4;
    for (uint64_t n = Little(table, 0, 4); n > 0; --n) {
        const size_t length = Little(table, at, 4);
        const std::string path = table.substr(at + 4, length);
        at += 4 + length;
        std::vector<std::wstring> names;
        for (size_t from = 0;;) {
            const size_t slash = path.find('/', from);
            names.push_back(KVD::ToWString(path.substr(from, slash - from)));
            if (slash == std::string::npos)
                break;
            from = slash + 1;
        }
        const std::string bytes = StreamBytes(file, names);
        EXPECT_EQ(Little(table, at, 8), bytes.size()) << path;
        EXPECT_EQ(Little(table, at + 8, 4), Crc32(bytes)) << path;
        at += 12;
        paths.push_back(path);
    }
    EXPECT_EQ(at, table.size() - 4);
    EXPECT_EQ(paths, (std::vector<std::string>{"Calculations/Channel 2", "Document", "Parts/NoteDoc part 0", "Registrar"}));
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
