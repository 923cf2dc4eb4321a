// Storages and streams through their interfaces: round trips, names, limits, positions,
// enumeration, renaming, destroying and copying.
#include "StorageTestSupport.h"

#include "foundation/storage/CSTATSTG.h"

using namespace StorageTest;

namespace {

// Sizes around cluster boundaries, and one past the point where streams grow at the end.
const size_t kSizes[] = {0, 1, 1023, 1024, 1025, 2048, 3000, 65536, 100001, 0x500000 + 4097};

std::wstring SizeName(size_t size) { return L"s" + std::to_wstring(size); }

}  // namespace

TEST(StorageObjects, NestedRoundTripOfManySizes)
{
    MemFile file;
    {
        StoragePtr root = file.Create();
        StoragePtr outer = MakeStorage(root, L"outer");
        StoragePtr inner = MakeStorage(outer, L"inner");
        for (size_t size : kSizes) {
            MakeStream(root, SizeName(size).c_str(), Pattern(size, 1));
            MakeStream(inner, SizeName(size).c_str(), Pattern(size, 2));
        }
        MakeStream(outer, L"beside", Pattern(777, 3));
    }  // released innermost last: every release commits
    StoragePtr root = file.Open();
    StoragePtr outer = OpenStorage(root, L"outer");
    StoragePtr inner = OpenStorage(outer, L"inner");
    for (size_t size : kSizes) {
        EXPECT_EQ(Pattern(size, 1), ReadStream(root, SizeName(size).c_str())) << size;
        EXPECT_EQ(Pattern(size, 2), ReadStream(inner, SizeName(size).c_str())) << size;
    }
    EXPECT_EQ(Pattern(777, 3), ReadStream(outer, L"beside"));

    std::vector<Entry> entries = List(outer);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"inner", entries[0].name);
    EXPECT_EQ(STGTY_STORAGE, entries[0].type);
    EXPECT_EQ(L"beside", entries[1].name);
    EXPECT_EQ(STGTY_STREAM, entries[1].type);
    EXPECT_EQ(777u, entries[1].size);
}

TEST(StorageObjects, StreamsGrowInConsecutiveClusters)
{
    MemFile file;
    StoragePtr root = file.Create();
    StreamPtr stream = MakeStream(root, L"three", Pattern(3000, 4));
    StreamPtr exact = MakeStream(root, L"exact", Pattern(2048, 5));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));

    // The new file holds the root directory in cluster 2 and the map in 3; the directory
    // was written again at the commit, after the streams took their clusters.
    const std::vector<uint8_t>& bytes = file.Bytes();
    uint32_t copy = HeaderWord(bytes, 148) & 1;
    size_t rootRecord = 184 + 160 * copy;
    uint32_t directory = HeaderWord(bytes, rootRecord + 72);
    size_t at = 512 + (directory - 2) * 1024;
    ASSERT_EQ(2u, HeaderWord(bytes, at));
    EXPECT_EQ(static_cast<uint32_t>(-2), HeaderWord(bytes, at + 4));
    const uint8_t* three = &bytes[at + 8];
    const uint8_t* twoClusters = &bytes[at + 8 + 160];
    uint32_t first = KVDStg::GetU32(three + 72);
    EXPECT_EQ(3000u, KVDStg::GetU64(three + 80));
    EXPECT_EQ(first + 2, KVDStg::GetU32(three + 88));
    // Exactly two clusters: the end word names the second with bit 31.
    uint32_t second = KVDStg::GetU32(twoClusters + 72);
    EXPECT_EQ(0x80000000u | (second + 1), KVDStg::GetU32(twoClusters + 88));
    EXPECT_EQ(Pattern(3000, 4), ReadAll(stream));
}

TEST(StorageObjects, CreatingAnExistingStream)
{
    MemFile file;
    StoragePtr root = file.Create();
    MakeStream(root, L"data", Pattern(10, 6));
    StreamPtr again;
    EXPECT_EQ(KVD_STG_E_EXISTS, root->CreateStream(L"Data", kRW, 0, 0, again.Set()));
    EXPECT_EQ(nullptr, again.get());
    ASSERT_EQ(KVD_S_OK, root->CreateStream(L"DATA", kCreateRW, 0, 0, again.Set()));
    EXPECT_TRUE(ReadAll(again).empty());
    EXPECT_EQ(1u, List(root).size());
}

TEST(StorageObjects, ReplacingNeverTakesAnotherName)
{
    // Names that differ in a space or a sign are different elements, also to a create that
    // replaces.
    MemFile file;
    StoragePtr root = file.Create();
    MakeStream(root, L"abc ", Pattern(5, 20));
    MakeStream(root, L"ab@", Pattern(6, 21));
    MakeStream(root, L"abc", Pattern(7, 22));
    MakeStream(root, L"ab`", Pattern(8, 23));
    MakeStream(root, L"ABC", Pattern(9, 24));
    EXPECT_EQ(4u, List(root).size());
    EXPECT_EQ(Pattern(5, 20), ReadStream(root, L"abc "));
    EXPECT_EQ(Pattern(6, 21), ReadStream(root, L"ab@"));
    EXPECT_EQ(Pattern(9, 24), ReadStream(root, L"abc"));
    EXPECT_EQ(KVD_S_OK, root->RenameElement(L"ab`", L"ab@ "));
    EXPECT_EQ(KVD_STG_E_EXISTS, root->RenameElement(L"ab@ ", L"AB@"));
}

TEST(StorageObjects, NamesAreFoundIgnoringCaseAndByType)
{
    MemFile file;
    StoragePtr root = file.Create();
    MakeStream(root, L"data", Pattern(5, 7));
    StoragePtr twin = MakeStorage(root, L"data");
    EXPECT_EQ(Pattern(5, 7), ReadStream(root, L"DATA"));
    StoragePtr found = OpenStorage(root, L"Data");
    EXPECT_EQ(twin.get(), found.get());  // one object per open storage
    StreamPtr none;
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->OpenStream(L"other", nullptr, kRW, 0, none.Set()));
    StoragePtr noStorage;
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->OpenStorage(L"x", nullptr, kRW, nullptr, 0, noStorage.Set()));
    EXPECT_EQ(KVD_E_POINTER, root->OpenStream(nullptr, nullptr, kRW, 0, none.Set()));
}

TEST(StorageObjects, LookupsByNameFollowTableOrder)
{
    // A stream and a storage of one name: lookups without a type take the first in the
    // table, also after a rename that changes only the case and after reopening.
    MemFile file;
    StoragePtr root = file.Create();
    MakeStream(root, L"x", Pattern(10, 25));
    MakeStorage(root, L"x");
    ASSERT_EQ(KVD_S_OK, root->RenameElement(L"x", L"X"));
    std::vector<Entry> entries = List(root);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"X", entries[0].name);
    EXPECT_EQ(STGTY_STREAM, entries[0].type);
    EXPECT_EQ(L"x", entries[1].name);
    ASSERT_EQ(KVD_S_OK, root->RenameElement(L"x", L"y"));
    EXPECT_EQ(L"y", List(root)[0].name);
    EXPECT_EQ(Pattern(10, 25), ReadStream(root, L"Y"));

    // Many names, looked up in other cases after reopening, replaced and destroyed.
    for (int i = 0; i < 300; ++i)
        MakeStream(root, (L"name " + std::to_wstring(i)).c_str(), Pattern(4, i));
    root.Clear();
    root = file.Open();
    for (int i = 0; i < 300; i += 7)
        ASSERT_EQ(Pattern(4, i), ReadStream(root, (L"NAME " + std::to_wstring(i)).c_str())) << i;
    ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"Name 10"));
    MakeStream(root, L"nAME 11", Pattern(5, 11));
    StreamPtr none;
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->OpenStream(L"name 10", nullptr, kRW, 0, none.Set()));
    EXPECT_EQ(Pattern(5, 11), ReadStream(root, L"name 11"));
    EXPECT_EQ(KVD_S_OK, root->DestroyElement(L"y"));
    EXPECT_EQ(KVD_S_OK, root->DestroyElement(L"X"));
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->DestroyElement(L"x"));
    EXPECT_EQ(299u, List(root).size());
}

TEST(StorageObjects, ADirectoryHoldsAtMost1024Elements)
{
    MemFile file;
    StoragePtr root = file.Create();
    for (int i = 0; i < 1024; ++i) {
        StreamPtr stream;
        ASSERT_EQ(KVD_S_OK, root->CreateStream(std::to_wstring(i).c_str(), kCreateRW, 0, 0, stream.Set())) << i;
    }
    StreamPtr stream;
    EXPECT_EQ(KVD_STG_E_NOSPACE, root->CreateStream(L"one more", kCreateRW, 0, 0, stream.Set()));
    StoragePtr storage;
    EXPECT_EQ(KVD_E_BADSTATE, root->CreateStorage(L"one more", kCreateRW, 0, 0, storage.Set()));
    root.Clear();
    EXPECT_EQ(1024u, List(file.Open()).size());
}

TEST(StorageObjects, ReadsStopAtTheEnd)
{
    MemFile file;
    StoragePtr root = file.Create();
    std::vector<uint8_t> bytes = Pattern(100, 8);
    StreamPtr stream = MakeStream(root, L"s", bytes);
    uint64_t position = 0;
    ASSERT_EQ(KVD_S_OK, stream->Seek(90, STREAM_SEEK_SET, &position));
    EXPECT_EQ(90u, position);
    uint8_t buffer[100];
    uint32_t read = 0;
    EXPECT_EQ(KVD_S_OK, stream->Read(buffer, 100, &read));
    EXPECT_EQ(10u, read);
    EXPECT_EQ(0, memcmp(buffer, &bytes[90], 10));
    EXPECT_EQ(KVD_S_OK, stream->Read(buffer, 100, &read));
    EXPECT_EQ(0u, read);
}

TEST(StorageObjects, SeekingPastTheEndLengthens)
{
    MemFile file;
    StoragePtr root = file.Create();
    StreamPtr stream = MakeStream(root, L"s", {});
    uint64_t position = 0;
    ASSERT_EQ(KVD_S_OK, stream->Seek(4096, STREAM_SEEK_END, &position));
    EXPECT_EQ(4096u, position);
    STATSTG stat = {};
    ASSERT_EQ(KVD_S_OK, stream->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(4096u, stat.cbSize);
    EXPECT_EQ(KVD_STG_E_INVALIDARG, stream->Seek(-5000, STREAM_SEEK_CUR, &position));
    EXPECT_EQ(KVD_STG_E_BADORIGIN, stream->Seek(0, 3, &position));
    ASSERT_EQ(KVD_S_OK, stream->Seek(-96, STREAM_SEEK_END, &position));
    EXPECT_EQ(4000u, position);
    uint32_t written = 0;
    ASSERT_EQ(KVD_S_OK, stream->Write("tail", 4, &written));
    root.Clear();
    stream.Clear();
    std::vector<uint8_t> back = ReadStream(file.Open(), L"s");
    ASSERT_EQ(4096u, back.size());
    EXPECT_EQ(0, memcmp(&back[4000], "tail", 4));
}

TEST(StorageObjects, BytesNeverWrittenReadAsZeros)
{
    // Each stream is lengthened over clusters that held a destroyed stream's bytes and over
    // its own bytes cut off before; the gap must read as zeros, in either mode, and in
    // transacted mode the committed bytes must stay as they were.
    enum Lengthen { kSetSize, kSeekSet, kSeekEnd };
    for (uint32_t mode : {0u, kTransacted}) {
        for (Lengthen how : {kSetSize, kSeekSet, kSeekEnd}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", way " << how);
            MemFile file;
            StoragePtr root = file.Create(kCreateRW | mode);
            MakeStream(root, L"secret", Pattern(20000, 30));
            std::vector<uint8_t> kept = Pattern(1500, 31);
            StreamPtr stream = MakeStream(root, L"s", kept);
            ASSERT_EQ(KVD_S_OK, root->Commit(0));
            ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"secret"));
            ASSERT_EQ(KVD_S_OK, root->Commit(0));

            // Cut into the second cluster, then lengthened far into clusters "secret" held.
            ASSERT_EQ(KVD_S_OK, stream->SetSize(1100));
            const int64_t length = 30000;
            auto lengthen = [&] {
                if (how == kSetSize)
                    return stream->SetSize(length);
                return how == kSeekSet ? stream->Seek(length, STREAM_SEEK_SET, nullptr)
                                       : stream->Seek(length - 1100, STREAM_SEEK_END, nullptr);
            };
            ASSERT_EQ(KVD_S_OK, lengthen());
            // Where SetSize leaves the position, at the old end, the zeros begin.
            std::vector<uint8_t> next(400, 0xEE);
            uint32_t read = 0;
            uint64_t position = 0;
            ASSERT_EQ(KVD_S_OK, stream->Seek(0, STREAM_SEEK_CUR, &position));
            ASSERT_EQ(KVD_S_OK, stream->Read(next.data(), 400, &read));
            next.resize(read);
            EXPECT_EQ(std::vector<uint8_t>(position == 1100 ? 400 : 0), next);
            StreamPtr fresh;
            ASSERT_EQ(KVD_S_OK, root->CreateStream(L"fresh", kCreateRW, 0, 0, fresh.Set()));
            ASSERT_EQ(KVD_S_OK, fresh->SetSize(3000));

            std::vector<uint8_t> expected(kept.begin(), kept.begin() + 1100);
            expected.resize(length);
            EXPECT_EQ(expected, ReadAll(stream));
            EXPECT_EQ(std::vector<uint8_t>(3000), ReadAll(fresh));
            // The file as it stands shows the last commit until the next one.
            if (mode == kTransacted) {
                EXPECT_EQ(kept, ReadStream(MemFile(file.Bytes()).Open(0), L"s"));
            }
            ASSERT_EQ(KVD_S_OK, root->Commit(0));
            EXPECT_EQ(expected, ReadStream(MemFile(file.Bytes()).Open(0), L"s"));
        }
    }
}

TEST(StorageObjects, StreamsSeeOneAnothersChanges)
{
    MemFile file;
    StoragePtr root = file.Create();
    StreamPtr a = MakeStream(root, L"s", Pattern(5000, 9));
    StreamPtr b;
    ASSERT_EQ(KVD_S_OK, root->OpenStream(L"s", nullptr, kRW, 0, b.Set()));
    ASSERT_EQ(KVD_S_OK, b->Seek(4500, STREAM_SEEK_SET, nullptr));
    // a shrinks the stream under b: b's position moves to the new end.
    ASSERT_EQ(KVD_S_OK, a->SetSize(1000));
    uint64_t position = 0;
    ASSERT_EQ(KVD_S_OK, b->Seek(0, STREAM_SEEK_CUR, &position));
    EXPECT_EQ(1000u, position);
    uint32_t written = 0;
    ASSERT_EQ(KVD_S_OK, b->Write("xyz", 3, &written));
    std::vector<uint8_t> expected = Pattern(5000, 9);
    expected.resize(1000);
    expected.insert(expected.end(), {'x', 'y', 'z'});
    EXPECT_EQ(expected, ReadAll(a));

    StreamPtr clone;
    ASSERT_EQ(KVD_S_OK, b->Clone(clone.Set()));
    ASSERT_EQ(KVD_S_OK, clone->Seek(0, STREAM_SEEK_CUR, &position));
    EXPECT_EQ(1003u, position);
}

TEST(StorageObjects, StreamKeepsItsStorageAlive)
{
    MemFile file;
    StreamPtr stream;
    {
        StoragePtr root = file.Create();
        StoragePtr child = MakeStorage(root, L"child");
        stream = MakeStream(child, L"s", Pattern(100, 10));
    }
    uint32_t written = 0;
    ASSERT_EQ(KVD_S_OK, stream->Write("more", 4, &written));
    stream.Clear();  // the last reference: storages commit on their way out
    StoragePtr child = OpenStorage(file.Open(), L"child");
    EXPECT_EQ(104u, ReadStream(child, L"s").size());
}

TEST(StorageObjects, Enumeration)
{
    MemFile file;
    StoragePtr root = file.Create();
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        MakeStream(root, name, Pattern(1, 11));
    KVD::COMPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(KVD_S_OK, root->EnumElements(0, nullptr, 0, elements.Set()));
    EXPECT_EQ(KVD_S_OK, elements->Skip(0));
    EXPECT_EQ(KVD_S_OK, elements->Skip(1));
    // The directory changes; the enumerator keeps what it started with.
    ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"c"));
    STATSTG records[5] = {};
    uint32_t fetched = 0;
    EXPECT_EQ(KVD_S_FALSE, elements->Next(5, records, &fetched));
    ASSERT_EQ(3u, fetched);
    EXPECT_STREQ(L"b", records[0].pwcsName);
    EXPECT_STREQ(L"c", records[1].pwcsName);
    for (uint32_t i = 0; i < fetched; ++i)
        free(records[i].pwcsName);
    EXPECT_EQ(KVD_S_FALSE, elements->Skip(1));
    EXPECT_EQ(KVD_E_NOTIMPL, elements->Reset());
    void* other = nullptr;
    EXPECT_EQ(KVD_E_NOINTERFACE, elements->QueryInterface(IID_IUnknown, &other));
    EXPECT_EQ(nullptr, other);
}

TEST(StorageObjects, RenamingNeverReplaces)
{
    MemFile file;
    StoragePtr root = file.Create();
    MakeStream(root, L"first", Pattern(3, 12));
    MakeStream(root, L"second", Pattern(4, 13));
    EXPECT_EQ(KVD_STG_E_EXISTS, root->RenameElement(L"first", L"SECOND"));
    EXPECT_EQ(KVD_STG_E_NOTFOUND, root->RenameElement(L"third", L"fourth"));
    EXPECT_EQ(KVD_STG_E_EXISTS, root->RenameElement(L"third", L"first"));
    EXPECT_EQ(KVD_S_OK, root->RenameElement(L"first", L"First"));
    EXPECT_EQ(KVD_S_OK, root->RenameElement(L"second", L"a name well beyond thirty-one characters"));
    root.Clear();
    root = file.Open();
    EXPECT_EQ(L"First", List(root)[0].name);
    EXPECT_EQ(L"a name well beyond thirty-one c", List(root)[1].name);
    EXPECT_EQ(Pattern(4, 13), ReadStream(root, L"a name well beyond thirty-one characters"));
}

TEST(StorageObjects, DestroyingAStorageFreesItsTree)
{
    MemFile file;
    {
        StoragePtr root = file.Create();
        StoragePtr tree = MakeStorage(root, L"tree");
        StoragePtr branch = MakeStorage(tree, L"branch");
        MakeStream(branch, L"leaf", Pattern(200000, 14));
        MakeStream(tree, L"twig", Pattern(50000, 15));
    }
    // 196 + 49 clusters of data, three directories, and the map of 256 entries in two.
    EXPECT_EQ(250u, ClustersInUse(file.Bytes()));
    {
        StoragePtr root = file.Open();
        StoragePtr tree = OpenStorage(root, L"tree");
        ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"tree"));
        // The open object goes on existing but no longer works.
        StreamPtr stream;
        EXPECT_EQ(KVD_E_BADSTATE, tree->CreateStream(L"late", kCreateRW, 0, 0, stream.Set()));
        EXPECT_EQ(KVD_STG_E_NOTFOUND, root->DestroyElement(L"tree"));
    }
    // Left: the root directory and the map's own two clusters.
    EXPECT_EQ(3u, ClustersInUse(file.Bytes()));
    EXPECT_TRUE(List(file.Open()).empty());
}

TEST(StorageObjects, CopyToAnotherFile)
{
    const _IID kClass = {0xABCDEF01, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    MemFile source;
    MemFile target;
    StoragePtr from = source.Create();
    StoragePtr sub = MakeStorage(from, L"sub");
    ASSERT_EQ(KVD_S_OK, sub->SetClass(kClass));
    MakeStream(sub, L"inside", Pattern(5000, 16));
    MakeStream(from, L"top", Pattern(10, 17));
    MakeStream(from, L"skipped", Pattern(10, 18));
    StoragePtr to = target.Create();
    MakeStream(to, L"top", Pattern(3, 19));  // replaced by the copy

    wchar_t skipped[] = L"SKIPPED";
    wchar_t* exclude[] = {skipped, nullptr};
    _IID iid = IID_IStream;
    EXPECT_EQ(KVD_STG_E_NOEXCLUDE, from->CopyTo(1, &iid, nullptr, to));
    EXPECT_EQ(KVD_STG_E_INVALIDARG, from->CopyTo(0, nullptr, nullptr, nullptr));
    ASSERT_EQ(KVD_S_OK, from->CopyTo(0, nullptr, exclude, to));
    to.Clear();
    to = target.Open();
    EXPECT_EQ(2u, List(to).size());
    EXPECT_EQ(Pattern(10, 17), ReadStream(to, L"top"));
    StoragePtr copied = OpenStorage(to, L"sub");
    EXPECT_EQ(Pattern(5000, 16), ReadStream(copied, L"inside"));
    KVD::CSTATSTG stat;
    ASSERT_EQ(KVD_S_OK, copied->Stat(stat.Set(), 0));
    EXPECT_STREQ(L"sub", stat.pwcsName);
    EXPECT_EQ(kClass, stat.clsid);
    EXPECT_EQ(STGTY_STORAGE, stat.type);
}

// A storage copied into itself or into a storage below it would copy each level's copy again,
// down to the nesting limit: it is refused before anything is written.
TEST(StorageObjects, CopyIntoItselfOrBelowIsRefused)
{
    MemFile file;
    {
        StoragePtr root = file.Create();
        StoragePtr child = MakeStorage(root, L"child");
        MakeStream(child, L"s", Pattern(10, 20));
        StoragePtr grandchild = MakeStorage(child, L"grandchild");
        StoragePtr sibling = MakeStorage(root, L"sibling");
        ASSERT_EQ(KVD_S_OK, root->Commit(0));
        const std::vector<uint8_t> before = file.Bytes();
        EXPECT_EQ(KVD_STG_E_INVALIDARG, root->CopyTo(0, nullptr, nullptr, child));
        EXPECT_EQ(KVD_STG_E_INVALIDARG, root->CopyTo(0, nullptr, nullptr, grandchild));
        EXPECT_EQ(KVD_STG_E_INVALIDARG, child->CopyTo(0, nullptr, nullptr, grandchild));
        EXPECT_EQ(KVD_STG_E_INVALIDARG, child->CopyTo(0, nullptr, nullptr, child));
        EXPECT_EQ(KVD_STG_E_INVALIDARG, root->CopyTo(0, nullptr, nullptr, root));
        EXPECT_EQ(before, file.Bytes());
        EXPECT_TRUE(List(grandchild).empty());
        EXPECT_EQ(2u, List(child).size());
        EXPECT_TRUE(List(sibling).empty());
        ASSERT_EQ(KVD_S_OK, root->Commit(0));
        EXPECT_EQ(before, file.Bytes());
        // Beside it or above it is a destination like any other.
        EXPECT_EQ(KVD_S_OK, child->CopyTo(0, nullptr, nullptr, sibling));
        EXPECT_EQ(KVD_S_OK, grandchild->CopyTo(0, nullptr, nullptr, root));
    }
    StoragePtr root = file.Open();
    EXPECT_EQ(2u, List(OpenStorage(root, L"sibling")).size());
    EXPECT_EQ(Pattern(10, 20), ReadStream(OpenStorage(root, L"sibling"), L"s"));
    EXPECT_EQ(2u, List(OpenStorage(root, L"child")).size());
    EXPECT_EQ(2u, List(root).size());
}

TEST(StorageObjects, StreamCopyToAndStat)
{
    MemFile file;
    StoragePtr root = file.Create();
    StreamPtr source = MakeStream(root, L"source", Pattern(70000, 21));
    StreamPtr target = MakeStream(root, L"target", {});
    ASSERT_EQ(KVD_S_OK, source->Seek(1000, STREAM_SEEK_SET, nullptr));
    uint64_t read = 0;
    uint64_t written = 0;
    ASSERT_EQ(KVD_S_OK, source->CopyTo(target, 66000, &read, &written));
    EXPECT_EQ(66000u, read);
    EXPECT_EQ(66000u, written);
    std::vector<uint8_t> expected = Pattern(70000, 21);
    EXPECT_EQ(std::vector<uint8_t>(expected.begin() + 1000, expected.begin() + 67000), ReadAll(target));

    KVD::CSTATSTG stat;
    ASSERT_EQ(KVD_S_OK, source->Stat(stat.Set(), 0));
    EXPECT_STREQ(L"source", stat.pwcsName);
    EXPECT_EQ(70000u, stat.cbSize);
    EXPECT_EQ(STGTY_STREAM, stat.type);
    EXPECT_EQ(KVD_E_NOTIMPL, source->Revert());
    EXPECT_EQ(KVD_E_NOTIMPL, source->LockRegion(0, 1, 0));
    EXPECT_EQ(KVD_E_NOTIMPL, root->MoveElementTo(L"source", root, L"x", 0));

    KVD::COMPtr<IKVDStream> kvd = KVD::com_cast(source.get());
    ASSERT_NE(nullptr, kvd.get());
    const uint8_t* memory = nullptr;
    ASSERT_EQ(KVD_S_OK, kvd->GetMemPos(100, 50, &memory));
    EXPECT_EQ(0, memcmp(memory, &expected[100], 50));
    EXPECT_EQ(KVD_S_FALSE, kvd->GetMemPos(69990, 50, &memory));
    EXPECT_EQ(nullptr, memory);
    KVD::COMPtr<ILockBytes> lockBytes;
    ASSERT_EQ(KVD_S_OK, kvd->GetLockBytes(lockBytes.Set()));
    EXPECT_EQ(static_cast<ILockBytes*>(file.LockBytes()), lockBytes.get());
}

TEST(StorageObjects, ElementTimesAndClassReachTheFile)
{
    const _IID kClass = {0x11111111, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    MemFile file;
    {
        StoragePtr root = file.Create();
        MakeStream(root, L"s", Pattern(1, 22));
        uint64_t c = 100, a = 200, m = 300;
        ASSERT_EQ(KVD_S_OK, root->SetElementTimes(L"S", &c, &a, &m));
        EXPECT_EQ(KVD_STG_E_NOTFOUND, root->SetElementTimes(L"t", &c, &a, &m));
        EXPECT_EQ(KVD_E_POINTER, root->SetElementTimes(L"s", nullptr, &a, &m));
        ASSERT_EQ(KVD_S_OK, root->SetClass(kClass));
    }
    const std::vector<uint8_t>& bytes = file.Bytes();
    size_t rootRecord = 184 + 160 * (HeaderWord(bytes, 148) & 1);
    EXPECT_EQ(kClass.Data1, HeaderWord(bytes, rootRecord + 120));
    size_t at = 512 + (HeaderWord(bytes, rootRecord + 72) - 2) * 1024 + 8;
    EXPECT_EQ(300u, KVDStg::GetU64(&bytes[at + 96]));
    EXPECT_EQ(100u, KVDStg::GetU64(&bytes[at + 104]));
    EXPECT_EQ(200u, KVDStg::GetU64(&bytes[at + 112]));
}
