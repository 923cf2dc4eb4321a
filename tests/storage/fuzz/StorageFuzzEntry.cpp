#include "storage/fuzz/StorageFuzzEntry.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "IStorage.h"
#include "KVDStorageResults.h"
#include "foundation/storage/MemoryLockBytes.h"
#include "foundation/storage/StorageEntry.h"

namespace {

// Inputs beyond this are not worth the time of one run.
constexpr size_t kLargestInput = 4 << 20;
constexpr uint32_t kReadOnly = 0x0;
constexpr uint32_t kTransactedReadWrite = 0x10002;

std::vector<std::wstring> Names(IStorage* storage, std::vector<uint32_t>& types)
{
    std::vector<std::wstring> names;
    IEnumSTATSTG* elements = nullptr;
    if (storage->EnumElements(0, nullptr, 0, &elements) != KVD_S_OK)
        return names;
    STATSTG stat;
    uint32_t fetched = 0;
    while (elements->Next(1, &stat, &fetched) == KVD_S_OK && fetched == 1) {
        names.push_back(stat.pwcsName);
        types.push_back(stat.type);
        std::free(stat.pwcsName);
    }
    elements->Release();
    return names;
}

void ReadStream(IStorage* storage, const std::wstring& name)
{
    IStream* stream = nullptr;
    if (storage->OpenStream(name.c_str(), nullptr, kReadOnly, 0, &stream) != KVD_S_OK)
        return;
    std::vector<uint8_t> buffer(4096);
    uint32_t read = 0;
    while (stream->Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &read) == KVD_S_OK && read != 0) {
    }
    uint64_t end = 0;
    stream->Seek(0, STREAM_SEEK_END, &end);
    stream->Seek(static_cast<int64_t>(end / 2), STREAM_SEEK_SET, nullptr);
    stream->Read(buffer.data(), 100, &read);
    stream->Release();
}

void Walk(IStorage* storage)
{
    std::vector<uint32_t> types;
    std::vector<std::wstring> names = Names(storage, types);
    for (size_t i = 0; i < names.size(); ++i) {
        if (types[i] == STGTY_STREAM) {
            ReadStream(storage, names[i]);
            continue;
        }
        IStorage* child = nullptr;
        if (storage->OpenStorage(names[i].c_str(), nullptr, kReadOnly, nullptr, 0, &child) == KVD_S_OK) {
            Walk(child);
            child->Release();
        }
    }
}

// Overwrites, shrinks and grows the first stream, destroys the second element and adds a
// stream and a storage.
void Change(IStorage* root)
{
    std::vector<uint32_t> types;
    std::vector<std::wstring> names = Names(root, types);
    for (size_t i = 0; i < names.size(); ++i) {
        IStream* stream = nullptr;
        if (types[i] != STGTY_STREAM || root->OpenStream(names[i].c_str(), nullptr, 0x2, 0, &stream) != KVD_S_OK)
            continue;
        uint32_t written = 0;
        stream->Seek(10, STREAM_SEEK_SET, nullptr);
        stream->Write("changed", 7, &written);
        uint64_t end = 0;
        stream->Seek(0, STREAM_SEEK_END, &end);
        stream->SetSize(end / 2);
        stream->Seek(0, STREAM_SEEK_END, nullptr);
        std::vector<uint8_t> more(3000, 0x5A);
        stream->Write(more.data(), static_cast<uint32_t>(more.size()), &written);
        stream->Release();
        break;
    }
    if (names.size() > 1)
        root->DestroyElement(names[1].c_str());
    IStream* added = nullptr;
    if (root->CreateStream(L"added by fuzz", 0x1012, 0, 0, &added) == KVD_S_OK) {
        std::vector<uint8_t> bytes(5000, 0xA5);
        uint32_t written = 0;
        added->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
        added->Release();
    }
    IStorage* storage = nullptr;
    if (root->CreateStorage(L"storage by fuzz", 0x1012, 0, 0, &storage) == KVD_S_OK)
        storage->Release();
}

}  // namespace

int StorageFuzzOneInput(const uint8_t* data, size_t size)
{
    if (size > kLargestInput)
        return 0;
    KVDStg::MemoryLockBytes* lockBytes = KVDStg::MemoryLockBytes::Create(std::vector<uint8_t>(data, data + size));
    IStorage* root = nullptr;
    if (KVDStgOpenStorageOnILockBytes(lockBytes, kReadOnly, &root) == KVD_S_OK) {
        Walk(root);
        root->Release();
        if (KVDStgOpenStorageOnILockBytes(lockBytes, kTransactedReadWrite, &root) == KVD_S_OK) {
            Change(root);
            root->Commit(0);
            root->Release();
            // Committed or not, a transacted file always opens.
            if (KVDStgOpenStorageOnILockBytes(lockBytes, kReadOnly, &root) != KVD_S_OK)
                std::abort();
            Walk(root);
            root->Release();
        }
    }
    lockBytes->Release();
    return 0;
}
