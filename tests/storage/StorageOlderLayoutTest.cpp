// Files of the older layout are read, and only read.
#include "StorageTestSupport.h"

#include <algorithm>

#include "foundation/KVDResultCodes.h"

using namespace StorageTest;

TEST(StorageOlderLayout, ReadsTheStream)
{
    MemFile file(OlderLayoutFile());
    StoragePtr root = file.Open(kRW);
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(Pattern(700, 21), ReadStream(root, L"OLD"));
    std::vector<Entry> entries = List(root);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(700u, entries[0].size);
}

TEST(StorageOlderLayout, RefusesChanges)
{
    std::vector<uint8_t> original = OlderLayoutFile();
    MemFile file(original);
    StoragePtr transacted;
    EXPECT_EQ(KVD_E_STORAGEMESSAGE, file.Open(transacted, kRW | kTransacted));
    {
        StoragePtr root = file.Open(kRW);
        StreamPtr stream;
        ASSERT_EQ(KVD_S_OK, root->OpenStream(L"old", nullptr, kRW, 0, stream.Set()));
        uint32_t written = 0;
        EXPECT_EQ(KVD_E_BADSTATE, stream->Write("x", 1, &written));
        EXPECT_EQ(KVD_E_BADSTATE, stream->SetSize(10));
        EXPECT_EQ(KVD_E_BADSTATE, stream->Seek(5000, STREAM_SEEK_SET, nullptr));
        StreamPtr added;
        EXPECT_EQ(KVD_E_BADSTATE, root->CreateStream(L"new", kCreateRW, 0, 0, added.Set()));
        EXPECT_EQ(KVD_E_BADSTATE, root->DestroyElement(L"old"));
        EXPECT_EQ(KVD_S_OK, root->Commit(0));
    }
    EXPECT_EQ(original, file.Bytes());
}

TEST(StorageOlderLayout, ChecksItsMapChain)
{
    std::vector<uint8_t> bytes = OlderLayoutFile();
    KVDStg::PutU32(&bytes[404], 9);  // map start at a cluster past the file
    MemFile file(bytes);
    StoragePtr root;
    EXPECT_EQ(KVD_E_STORAGEMESSAGE, file.Open(root, 0));
}

// The older file above with its version word set and its stream "old" made 128 bytes long,
// holding one older record: a stream "inner" of 300 bytes in cluster 4.
static std::vector<uint8_t> FileWhoseStreamHoldsADirectory(uint32_t version)
{
    std::vector<uint8_t> bytes = OlderLayoutFile();
    KVDStg::PutU32(&bytes[128], version);
    uint8_t* map = &bytes[512];
    KVDStg::PutU32(map + 3 * 8, 0);  // two chains of one cluster: 3 and 4
    KVDStg::PutU32(map + 4 * 8 + 4, 0);
    uint8_t* old = &bytes[512 + 512];
    KVDStg::PutU32(old + 76, 128);
    KVDStg::PutU32(old + 80, 3);
    uint8_t* inner = &bytes[512 + 2 * 512];
    std::fill(inner, inner + 1024, 0);
    const char* name = "inner";
    for (size_t i = 0; name[i] != 0; ++i)
        KVDStg::PutU16(inner + 2 * i, static_cast<uint16_t>(name[i]));
    KVDStg::PutU32(inner + 68, 4);
    KVDStg::PutU32(inner + 72, 2);
    KVDStg::PutU32(inner + 76, 300);
    KVDStg::PutU32(inner + 80, 4);
    std::vector<uint8_t> data = Pattern(300, 22);
    std::copy(data.begin(), data.end(), &bytes[512 + 3 * 512]);
    return bytes;
}

// In files of version 3 a storage is found by its name alone: the stream "old" opens as a
// storage and lists what its bytes hold. Later versions look for a storage of that name.
TEST(StorageOlderLayout, VersionThreeFindsAStorageByNameAlone)
{
    MemFile oldest(FileWhoseStreamHoldsADirectory(3));
    StoragePtr root = oldest.Open(kRW);
    ASSERT_NE(nullptr, root.get());
    StoragePtr opened;
    ASSERT_EQ(KVD_S_OK, root->OpenStorage(L"OLD", nullptr, kRW, nullptr, 0, opened.Set()));
    std::vector<Entry> entries = List(opened);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(L"inner", entries[0].name);
    EXPECT_EQ(300u, entries[0].size);
    EXPECT_EQ(Pattern(300, 22), ReadStream(opened, L"inner"));
    StoragePtr none;
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->OpenStorage(L"new", nullptr, kRW, nullptr, 0, none.Set()));
    EXPECT_EQ(nullptr, none.get());

    for (uint32_t version : {4u, 21u}) {
        MemFile later(FileWhoseStreamHoldsADirectory(version));
        StoragePtr laterRoot = later.Open(kRW);
        ASSERT_NE(nullptr, laterRoot.get()) << version;
        StoragePtr stream;
        EXPECT_EQ(KVD_STG_E_NOTFOUND, laterRoot->OpenStorage(L"old", nullptr, kRW, nullptr, 0, stream.Set()))
            << version;
        EXPECT_EQ(128u, ReadStream(laterRoot, L"old").size()) << version;
    }
}
