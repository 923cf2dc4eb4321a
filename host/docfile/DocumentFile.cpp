#include "host/docfile/DocumentFile.h"

#include <cstdio>
#include <vector>

#include <boost/filesystem/operations.hpp>

#include "KVDStorageResults.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/ResultCodeText.h"
#include "foundation/StorageBinStreamLite.h"
#include "foundation/XKVD.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"
#include "foundation/storage/StorageEntry.h"
#include "host/docfile/CalculationRecord.h"
#include "host/docfile/StoredId.h"
#include "host/docfile/StreamChecksums.h"
#include "host/document/PersistedPart.h"
#include "host/framework/Framework.h"
#include "host/framework/SafeFile.h"

namespace Host {
namespace {

constexpr uint32_t kVersion = 1;
const wchar_t* const kDocumentStream = L"Document";
const wchar_t* const kRegistrarStream = L"Registrar";
const wchar_t* const kCalculations = L"Calculations";
const wchar_t* const kParts = L"Parts";
// Written only for a document with a selection, so that the files of others stay as they were.
const wchar_t* const kSelection = L"Selection";

// A failure inside; the caller puts the file's name in front.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string CodeText(HRESULT hr) { return KVD::ToU8String(KVD::ResultCodeText(hr)); }

// Why the storage refused to open the file, for a user.
std::string OpenFailure(HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, " (0x%08x)", unsigned(hr));
    switch (hr) {
    case KVD_STG_E_NOTSTORAGE:
    case KVD_STG_E_BADHEADER:
        return std::string("not a document file") + code;
    case KVD_STG_E_NEWER:
        return std::string("written by a newer version of the program") + code;
    case KVD_STG_E_CORRUPT:
    case KVD_STG_E_BADCOUNT:
    case KVD_STG_E_FORMAT:
        return std::string("damaged") + code;
    default:
        return "cannot be opened: " + CodeText(hr);
    }
}

void Check(HRESULT hr, const std::string& what)
{
    if (hr != KVD_S_OK)
        throw Failure(what + ": " + CodeText(hr));
}

KVDFileRef FileRef(const std::string& path) { return KVDFileRef(KVD::Path(path)); }

struct Child {
    KVD::COMPtr<ICustomDocument> document;
    TCAFId classId = 0;
    uint32_t flags = 0;
    KVD::String className;
};

std::vector<Child> Children(HostDocument& host)
{
    std::vector<Child> children;
    uint32_t count = 0;
    host.GetChildDocumentCount(&count);
    for (uint32_t i = 0; i < count; ++i) {
        KVD::COMPtr<IDocument> document;
        host.GetChildDocumentAt(i, document.Set());
        Child child;
        if (document == nullptr || document->GetCustomDocument(child.document.Set()) != KVD_S_OK)
            continue;
        document->GetTypeId(&child.classId);
        child.document->GetFlags(&child.flags);
        KVD::COMPtr<ICustomDocClass> cls;
        Framework::Instance()->GetClassObject(child.classId, IID_ICustomDocClass, cls.Set());
        if (cls != nullptr)
            cls->GetDocumentClassName(KVD::String::Setter(child.className));
        children.push_back(std::move(child));
    }
    return children;
}

KVD::COMPtr<IStream> CreateStream(IStorage* storage, const std::wstring& name)
{
    KVD::COMPtr<IStream> stream;
    Check(storage->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set()),
          "cannot write " + KVD::ToU8String(KVD::String(name.c_str())));
    return stream;
}

// Writes a record through a binary stream over a new stream of the storage.
template <class F>
void WriteRecord(IStorage* storage, const std::wstring& name, F write)
{
    KVD::COMPtr<IStream> stream = CreateStream(storage, name);
    KVD::StorageBinOStreamLite out(stream, true);
    write(out);
    out.flush();
    if (!out.good()) {
        // The stream's answer holds the system's reason (a full disk, say).
        const HRESULT why = out.WriteFailure();
        throw Failure("cannot write " + KVD::ToU8String(KVD::String(name.c_str())) +
                      (why != KVD_S_OK ? ": " + CodeText(why) : std::string()));
    }
}

// The recording's path as the document keeps it: whole, so that the document opens from any
// folder. Only a relative path needs the current folder; when that is gone, the recording is
// what cannot be saved.
std::string FullPath(const std::string& recording)
{
    const boost::filesystem::path given(recording);
    if (given.is_absolute())
        return recording;
    boost::system::error_code error;
    const boost::filesystem::path here = boost::filesystem::current_path(error);
    if (error)
        throw DocumentFileError(recording + ": cannot tell its full path from the current folder: " +
                                error.message());
    return (here / given).string();
}

void WriteDocumentRecord(KVD::BinOStream& out, DataDocument& document, const std::string& recording,
                         const std::vector<Child>& children)
{
    const ChannelTable& channels = document.Channels();
    const int recorded = int(channels.GetRecording().ChannelCount());
    out << kVersion << KVD::ToKVDString(recording) << uint32_t(recorded) << uint32_t(channels.Count() - recorded);
    for (int c = recorded; c < channels.Count(); ++c)
        out << KVD::ToKVDString(channels.Title(c)) << KVD::ToKVDString(channels.Unit(c));
    out << uint32_t(children.size());
    for (const Child& child : children) {
        StoredId::Write(out, child.classId);
        out << child.className << child.flags;
    }
}

void WriteCalculations(IStorage* root, DataDocument& document)
{
    KVD::COMPtr<IStorage> storage;
    Check(root->CreateStorage(kCalculations, STGM_CREATE | STGM_READWRITE, 0, 0, storage.Set()),
          "cannot write the calculations");
    for (int c = 0; c < document.Channels().Count(); ++c) {
        ICalculation* calculation = document.Channels().Calculation(c);
        if (calculation == nullptr)
            continue;
        // A calculation that cannot tell its class or settings was never configured: it is
        // left out rather than stored as a record that cannot be read back.
        const std::wstring name = L"Channel " + std::to_wstring(c + 1);
        bool written = false;
        WriteRecord(storage, name,
                    [&](KVD::BinOStream& out) { written = CalculationRecord::Write(*calculation, c, out); });
        if (!written)
            storage->DestroyElement(name.c_str());
    }
    Check(storage->Commit(0), "cannot write the calculations");
}

void WriteFile(const std::string& path, DataDocument& document, const std::string& recording,
               const std::vector<Child>& children)
{
    KVD::COMPtr<IStorage> root;
    Check(KVDStgCreateDocfile(FileRef(path), STGM_CREATE | STGM_READWRITE, 0, root.Set(), 0, 0), "cannot be made");
    WriteRecord(root, kDocumentStream, [&](KVD::BinOStream& out) { WriteDocumentRecord(out, document, recording, children); });
    Check(document.Document().GetRegistrar()->Save(CreateStream(root, kRegistrarStream)),
          "cannot write the stored settings");
    WriteCalculations(root, document);
    KVDPosition left{}, right{};
    if (document.Document().GetSelection().GetRange(&left, &right) == KVD_S_OK)
        WriteRecord(root, kSelection,
                    [&](KVD::BinOStream& out) { out << left.tick << left.record << right.tick << right.record; });
    if (!children.empty()) {
        KVD::COMPtr<IStorage> parts;
        Check(root->CreateStorage(kParts, STGM_CREATE | STGM_READWRITE, 0, 0, parts.Set()), "cannot write the parts");
        Check(document.SaveChildDocuments(parts), "cannot write the parts");
    }
    StreamChecksums::Write(root);
    Check(root->Commit(0), "cannot be written");
}

// Reads a record through a binary stream over the storage's stream of that name; a missing
// stream is damage.
template <class F>
void ReadRecord(IStorage* storage, const std::wstring& name, F read)
{
    KVD::COMPtr<IStream> stream;
    storage->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Set());
    if (stream == nullptr)
        throw Failure("damaged: it has no " + KVD::ToU8String(KVD::String(name.c_str())) + " record");
    KVD::StorageBinIStreamLite in(stream);
    read(in);
}

struct DocumentRecord {
    std::string recording;
    uint32_t recordedChannels = 0;
    std::vector<std::pair<std::string, std::string>> addedChannels;  // title, unit
    std::vector<Child> children;
};

DocumentRecord ReadDocumentRecord(KVD::BinIStream& in)
{
    DocumentRecord record;
    uint32_t version = 0, added = 0, children = 0;
    KVD::String recording;
    in >> version;
    if (in.good() && version > kVersion)
        throw Failure("written by a newer version of the program");
    in >> recording >> record.recordedChannels >> added;
    for (uint32_t i = 0; i < added && in.good(); ++i) {
        KVD::String title, unit;
        in >> title >> unit;
        record.addedChannels.emplace_back(KVD::ToU8String(title), KVD::ToU8String(unit));
    }
    in >> children;
    for (uint32_t i = 0; i < children && in.good(); ++i) {
        Child child;
        child.classId = StoredId::Read(in);
        in >> child.className >> child.flags;
        record.children.push_back(std::move(child));
    }
    if (!in.good() || version != kVersion)
        throw Failure("damaged: its document record is cut short");
    record.recording = KVD::ToU8String(recording);
    return record;
}

std::unique_ptr<DataDocument> MakeDocument(const DocumentRecord& record)
{
    auto recording = std::make_shared<const Recording>(LoadRecording(record.recording));
    if (recording->ChannelCount() != record.recordedChannels)
        throw Failure("the recording " + record.recording + " has " + std::to_string(recording->ChannelCount()) +
                      " channels, the document was saved with " + std::to_string(record.recordedChannels));
    auto document = std::make_unique<DataDocument>(recording);
    for (const auto& [title, unit] : record.addedChannels)
        document->AddChannel(title, unit);
    return document;
}

void ReadCalculations(IStorage* root, DataDocument& document)
{
    KVD::COMPtr<IStorage> storage;
    root->OpenStorage(kCalculations, nullptr, STGM_READ, nullptr, 0, storage.Set());
    if (storage == nullptr)
        throw Failure("damaged: it has no calculations");
    for (int c = 0; c < document.Channels().Count(); ++c) {
        KVD::COMPtr<IStream> stream;
        storage->OpenStream((L"Channel " + std::to_wstring(c + 1)).c_str(), nullptr, STGM_READ, 0, stream.Set());
        if (stream == nullptr)
            continue;
        KVD::StorageBinIStreamLite in(stream);
        CalculationRecord::Read(document.Data(), document.Channels().Count(), in);
    }
}

bool InRecording(const Recording& recording, KVDPosition position)
{
    return position.record >= 0 && size_t(position.record) < recording.RecordCount() &&
           position.tick <= recording.Record(size_t(position.record)).ticks;
}

// Selects what the document had selected when it was saved, if anything.
void ReadSelection(IStorage* root, DataDocument& document)
{
    KVD::COMPtr<IStream> stream;
    root->OpenStream(kSelection, nullptr, STGM_READ, 0, stream.Set());
    if (stream == nullptr)
        return;
    KVD::StorageBinIStreamLite in(stream);
    KVDPosition left{}, right{};
    in >> left.tick >> left.record >> right.tick >> right.record;
    if (!in.good())
        throw Failure("damaged: its selection record is cut short");
    const Recording& recording = document.Channels().GetRecording();
    if (!InRecording(recording, left) || !InRecording(recording, right))
        throw Failure("its selection lies beyond the end of the recording " + recording.Path());
    document.Select(left, right);
}

void CreateChildren(IStorage* root, DataDocument& document, const std::vector<Child>& children)
{
    KVD::COMPtr<IStorage> parts;
    root->OpenStorage(kParts, nullptr, STGM_READ, nullptr, 0, parts.Set());
    for (const Child& child : children) {
        KVD::COMPtr<ICustomDocClass> cls;
        Framework::Instance()->GetClassObject(child.classId, IID_ICustomDocClass, cls.Set());
        if (cls == nullptr)
            throw Failure("the document class \"" + KVD::ToU8String(child.className) + "\" is not registered");
        KVD::COMPtr<ICustomDocument> created;
        Check(document.CreateChildDocument(cls, child.flags, parts, created.Set()),
              "cannot create its " + KVD::ToU8String(child.className));
    }
}

KVD::COMPtr<IStorage> OpenFile(const std::string& path)
{
    KVD::COMPtr<IStorage> root;
    const HRESULT opened = KVDStgOpenStorage(FileRef(path), STGM_READ, root.Set());
    if (opened != KVD_S_OK)
        throw Failure(OpenFailure(opened));
    StreamChecksums::Verify(root);
    return root;
}

std::unique_ptr<DataDocument> ReadFile(const std::string& path)
{
    KVD::COMPtr<IStorage> root = OpenFile(path);
    DocumentRecord record;
    ReadRecord(root, kDocumentStream, [&](KVD::BinIStream& in) { record = ReadDocumentRecord(in); });
    std::unique_ptr<DataDocument> document = MakeDocument(record);
    KVD::COMPtr<IStream> settings;
    root->OpenStream(kRegistrarStream, nullptr, STGM_READ, 0, settings.Set());
    const HRESULT loaded = settings != nullptr ? document->Document().GetRegistrar()->Load(settings) : KVD_E_BADSTATE;
    if (loaded != KVD_S_OK)
        throw Failure("damaged: its stored settings cannot be read (" + CodeText(loaded) + ")");
    ReadCalculations(root, *document);
    ReadSelection(root, *document);
    CreateChildren(root, *document, record.children);
    return document;
}

// Runs read, with the file's name put in front of what it throws.
template <class F>
auto NamingTheFile(const std::string& path, F read)
{
    try {
        return read();
    } catch (const XKVD& e) {
        // A stored text whose length cannot be right.
        throw DocumentFileError(path + ": damaged: " + e.what());
    } catch (const std::runtime_error& e) {
        throw DocumentFileError(path + ": " + e.what());
    }
}

}  // namespace

void DocumentFile::Save(DataDocument& document, const std::string& path)
{
    const std::string recording = FullPath(document.Channels().GetRecording().Path());
    const std::vector<Child> children = Children(document.Document());
    for (const Child& child : children)
        child.document->PreSave(0);
    HRESULT result = KVD_S_OK;
    std::string failure;
    try {
        SafeFile file(path);
        WriteFile(file.ScratchPath(), document, recording, children);
        file.Commit();
    } catch (const FileWriteError& e) {
        result = KVD_E_BADSTATE;
        failure = e.what();
    } catch (const std::exception& e) {
        result = KVD_E_BADSTATE;
        failure = path + ": " + e.what();
    }
    const KVD::String savedPath = KVD::ToKVDString(path);
    for (const Child& child : children) {
        child.document->PostSave(result, savedPath.AsIAutoKVDString());
        child.document->PostPostSave(result, savedPath.AsIAutoKVDString());
    }
    if (!failure.empty())
        throw DocumentFileError(failure);
}

std::unique_ptr<DataDocument> DocumentFile::Open(const std::string& path)
{
    return NamingTheFile(path, [&] { return ReadFile(path); });
}

bool DocumentFile::ReadStoredPart(const std::string& path, const std::string& className,
                                  const std::function<void(KVD::BinIStream&)>& read)
{
    return NamingTheFile(path, [&] {
        KVD::COMPtr<IStorage> parts;
        OpenFile(path)->OpenStorage(kParts, nullptr, STGM_READ, nullptr, 0, parts.Set());
        KVD::COMPtr<IStream> stream;
        if (parts != nullptr)
            parts->OpenStream(PartStreamName(KVD::ToKVDString(className).c_str()).c_str(), nullptr, STGM_READ, 0,
                              stream.Set());
        if (stream == nullptr)
            return false;
        KVD::StorageBinIStreamLite in(stream);
        read(in);
        return true;
    });
}

}  // namespace Host
