// Files of the older layout are read, and only read.
#include "StorageTestSupport.h"

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
