// Helpers of the storage tests: files in memory, whole-stream reads and writes, patterns.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "IKVDStorage.h"
#include "IKVDStream.h"
#include "KVDStorageResults.h"
#include "foundation/COMPtr.h"
#include "foundation/storage/ByteOrder.h"
#include "foundation/storage/ClusterMap.h"
#include "foundation/storage/MemoryLockBytes.h"
#include "foundation/storage/StorageEntry.h"
#include "foundation/storage/StorageFormat.h"

namespace StorageTest {

typedef KVD::COMPtr<IStorage> StoragePtr;
typedef KVD::COMPtr<IStream> StreamPtr;

constexpr uint32_t kRW = 0x2;
constexpr uint32_t kCreateRW = 0x1012;
constexpr uint32_t kTransacted = 0x10000;

// Bytes that differ from stream to stream and from offset to offset.
inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed)
{
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<uint8_t>(x);
    }
    return bytes;
}

// A compound file in memory that can be created, reopened, copied and damaged.
class MemFile {
public:
    MemFile() : mLockBytes(KVDStg::MemoryLockBytes::Create()) {}
    explicit MemFile(std::vector<uint8_t> bytes) : mLockBytes(KVDStg::MemoryLockBytes::Create(std::move(bytes))) {}
    ~MemFile() { mLockBytes->Release(); }
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    StoragePtr Create(uint32_t mode = kCreateRW, uint32_t flags = 0)
    {
        StoragePtr root;
        EXPECT_EQ(KVD_S_OK, KVDStgCreateDocfileOnILockBytes(mLockBytes, mode, flags, root.Set()));
        return root;
    }
    HRESULT Open(StoragePtr& root, uint32_t mode = kRW)
    {
        return KVDStgOpenStorageOnILockBytes(mLockBytes, mode, root.Set());
    }
    StoragePtr Open(uint32_t mode = kRW)
    {
        StoragePtr root;
        EXPECT_EQ(KVD_S_OK, Open(root, mode));
        return root;
    }

    const std::vector<uint8_t>& Bytes() const { return mLockBytes->Bytes(); }
    KVDStg::MemoryLockBytes* LockBytes() const { return mLockBytes; }

private:
    KVDStg::MemoryLockBytes* mLockBytes;
};

// The first 512 bytes' words.
inline uint32_t HeaderWord(const std::vector<uint8_t>& bytes, size_t offset) { return KVDStg::GetU32(&bytes[offset]); }

// The cluster map that the valid root copy of a current-layout file names.
inline KVDStg::ClusterMap ValidMap(const std::vector<uint8_t>& bytes)
{
    uint32_t copy = HeaderWord(bytes, 148) & 1;
    uint32_t shift = HeaderWord(bytes, 152);
    uint32_t count = HeaderWord(bytes, 156 + 4 * copy);
    uint32_t start = HeaderWord(bytes, 172 + 4 * copy);
    KVDStg::ClusterMap map(shift);
    map.Decode(&bytes[512 + (size_t(start) - 2) * (size_t(1) << shift)], count);
    return map;
}

// Clusters neither free nor waiting on the to-free list.
inline uint32_t ClustersInUse(const std::vector<uint8_t>& bytes)
{
    KVDStg::ClusterMap map = ValidMap(bytes);
    uint32_t used = 0;
    for (uint32_t c = 2; c < map.Count(); ++c)
        used += map.IsFree(c) ? 0 : 1;
    for (uint32_t c = map.Next(KVDStg::ClusterMap::kToFreeHead); c != 0; c = map.Next(c))
        --used;
    return used;
}

// A file of the older layout (version 21, 512-byte clusters numbered from 1) holding one
// stream "old" of 700 bytes: the map in cluster 1, the root directory in 2, the stream in 3-4.
inline std::vector<uint8_t> OlderLayoutFile()
{
    using KVDStg::PutU16;
    using KVDStg::PutU32;
    std::vector<uint8_t> bytes(512 + 4 * 512);
    const char* signature = "Quorvantelsis Compound File";
    for (size_t i = 0; signature[i] != 0; ++i)
        PutU16(&bytes[2 * i], static_cast<uint16_t>(signature[i]));
    PutU32(&bytes[128], 21);
    PutU32(&bytes[132], 512);
    PutU32(&bytes[136], 131072);
    PutU32(&bytes[140], 0x7FFFFFFF);
    PutU32(&bytes[256], 9);     // shift
    PutU32(&bytes[260], 64);    // map entries
    uint8_t* root = &bytes[264];
    PutU16(root, 'R');
    PutU32(root + 68, 2);       // first cluster
    PutU32(root + 72, 1);       // storage
    PutU32(root + 76, 128);     // one older record
    PutU32(root + 80, 2);       // end cluster
    PutU32(&bytes[404], 1);     // map start
    auto cluster = [&](uint32_t c) { return &bytes[512 + (c - 1) * 512]; };
    uint8_t* map = cluster(1);
    PutU32(map + 0, 5);
    PutU32(map + 4, 0x80000000);
    PutU32(map + 3 * 8, 4);     // the stream: 3 -> 4
    PutU32(map + 4 * 8 + 4, 3);
    for (uint32_t c = 5; c < 64; ++c) {
        PutU32(map + c * 8, c + 1 < 64 ? c + 1 : 0);
        PutU32(map + c * 8 + 4, 0x80000000 | (c == 5 ? 0 : c - 1));
    }
    uint8_t* record = cluster(2);
    const char* name = "old";
    for (size_t i = 0; name[i] != 0; ++i)
        PutU16(record + 2 * i, static_cast<uint16_t>(name[i]));
    PutU32(record + 68, 3);
    PutU32(record + 72, 2);
    PutU32(record + 76, 700);
    PutU32(record + 80, 4);
    std::vector<uint8_t> data = Pattern(700, 21);
    std::copy(data.begin(), data.end(), cluster(3));
    return bytes;
}

inline StreamPtr MakeStream(IStorage* storage, const wchar_t* name, const std::vector<uint8_t>& bytes)
{
    StreamPtr stream;
    EXPECT_EQ(KVD_S_OK, storage->CreateStream(name, kCreateRW, 0, 0, stream.Set()));
    if (stream == nullptr)
        return stream;
    uint32_t written = 0;
    EXPECT_EQ(KVD_S_OK, stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written));
    EXPECT_EQ(bytes.size(), written);
    return stream;
}

inline std::vector<uint8_t> ReadAll(IStream* stream)
{
    STATSTG stat = {};
    EXPECT_EQ(KVD_S_OK, stream->Stat(&stat, STATFLAG_NONAME));
    std::vector<uint8_t> bytes(stat.cbSize);
    EXPECT_EQ(KVD_S_OK, stream->Seek(0, STREAM_SEEK_SET, nullptr));
    uint32_t read = 0;
    EXPECT_EQ(KVD_S_OK, stream->Read(bytes.data(), static_cast<uint32_t>(bytes.size()), &read));
    EXPECT_EQ(bytes.size(), read);
    return bytes;
}

inline std::vector<uint8_t> ReadStream(IStorage* storage, const wchar_t* name)
{
    StreamPtr stream;
    EXPECT_EQ(KVD_S_OK, storage->OpenStream(name, nullptr, kRW, 0, stream.Set()));
    return stream != nullptr ? ReadAll(stream) : std::vector<uint8_t>();
}

inline StoragePtr MakeStorage(IStorage* parent, const wchar_t* name)
{
    StoragePtr child;
    EXPECT_EQ(KVD_S_OK, parent->CreateStorage(name, kCreateRW, 0, 0, child.Set()));
    return child;
}

inline StoragePtr OpenStorage(IStorage* parent, const wchar_t* name)
{
    StoragePtr child;
    EXPECT_EQ(KVD_S_OK, parent->OpenStorage(name, nullptr, kRW, nullptr, 0, child.Set()));
    return child;
}

struct Entry {
    std::wstring name;
    uint32_t type;
    uint64_t size;
};

inline std::vector<Entry> List(IStorage* storage)
{
    std::vector<Entry> entries;
    KVD::COMPtr<IEnumSTATSTG> elements;
    EXPECT_EQ(KVD_S_OK, storage->EnumElements(0, nullptr, 0, elements.Set()));
    STATSTG stat;
    uint32_t fetched = 0;
    while (elements != nullptr && elements->Next(1, &stat, &fetched) == KVD_S_OK && fetched == 1) {
        entries.push_back({stat.pwcsName, stat.type, stat.cbSize});
        free(stat.pwcsName);
    }
    return entries;
}

}  // namespace StorageTest
