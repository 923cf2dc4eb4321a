// Commits and transactions: the header a commit writes, what stays untouched until a commit
// ends, revert, and files abandoned or cut off at any write.
#include "StorageTestSupport.h"

#include <map>

using namespace StorageTest;

namespace {

// Lock bytes that keep an image of the file after every change, as a crash would leave it.
class RecordingLockBytes : public KVDStg::MemoryLockBytes {
public:
    // One reference for its maker.
    RecordingLockBytes() : MemoryLockBytes({}) { AddRef(); }

    HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) override
    {
        HRESULT hr = MemoryLockBytes::WriteAt(offset, buffer, count, written);
        Record();
        return hr;
    }
    HRESULT SetSize(uint64_t size) override
    {
        HRESULT hr = MemoryLockBytes::SetSize(size);
        Record();
        return hr;
    }

    void StartRecording() { mRecording = true; }
    const std::vector<std::vector<uint8_t>>& Images() const { return mImages; }
    size_t Writes() const { return mWrites; }

private:
    void Record()
    {
        ++mWrites;
        if (mRecording)
            mImages.push_back(Bytes());
    }

    bool mRecording = false;
    size_t mWrites = 0;
    std::vector<std::vector<uint8_t>> mImages;
};

// Everything a file holds, as path -> bytes (storages as path -> "<storage>").
typedef std::map<std::wstring, std::vector<uint8_t>> Tree;

void Collect(IStorage* storage, const std::wstring& path, Tree& tree)
{
    for (const Entry& entry : List(storage)) {
        std::wstring name = path + L"/" + entry.name;
        if (entry.type == STGTY_STREAM) {
            tree[name] = ReadStream(storage, entry.name.c_str());
        } else {
            tree[name] = {'<', '>'};
            Collect(OpenStorage(storage, entry.name.c_str()), name, tree);
        }
    }
}

HRESULT TreeOf(const std::vector<uint8_t>& image, Tree& tree)
{
    MemFile file(image);
    StoragePtr root;
    HRESULT hr = file.Open(root, 0);
    if (hr == KVD_S_OK)
        Collect(root, L"", tree);
    return hr;
}

Tree TreeOf(const std::vector<uint8_t>& image)
{
    Tree tree;
    EXPECT_EQ(KVD_S_OK, TreeOf(image, tree));
    return tree;
}

// True when nothing the committed image's valid copy reaches has changed in the later one:
// the type header, the selector, that copy's words and root record, and every cluster in use
// (those waiting on the to-free list are the older commit's and may go).
bool CommittedClustersIntact(const std::vector<uint8_t>& committed, const std::vector<uint8_t>& later)
{
    auto same = [&](size_t at, size_t n) {
        return later.size() >= at + n && std::equal(committed.begin() + at, committed.begin() + at + n, later.begin() + at);
    };
    uint32_t copy = HeaderWord(committed, 148) & 1;
    if (!same(0, 156) || !same(156 + 4 * copy, 4) || !same(164 + 4 * copy, 4) || !same(172 + 4 * copy, 4) ||
        !same(184 + 160 * copy, 160))
        return false;
    KVDStg::ClusterMap map = ValidMap(committed);
    std::vector<bool> waiting(map.Count());
    for (uint32_t c = map.Next(KVDStg::ClusterMap::kToFreeHead); c != 0; c = map.Next(c))
        waiting[c] = true;
    for (uint32_t c = 2; c < map.Count(); ++c) {
        size_t at = 512 + size_t(c - 2) * 1024;
        if (!map.IsFree(c) && !waiting[c] && at < committed.size() && !same(at, std::min<size_t>(1024, committed.size() - at)))
            return false;
    }
    return true;
}

void Overwrite(IStream* stream, int64_t offset, const char* text)
{
    ASSERT_EQ(KVD_S_OK, stream->Seek(offset, STREAM_SEEK_SET, nullptr));
    uint32_t written = 0;
    ASSERT_EQ(KVD_S_OK, stream->Write(text, static_cast<uint32_t>(strlen(text)), &written));
}

}  // namespace

TEST(StorageCommit, NewFileHeader)
{
    MemFile file;
    StoragePtr root = file.Create();
    const std::vector<uint8_t>& bytes = file.Bytes();
    EXPECT_EQ(29u, HeaderWord(bytes, 128));
    EXPECT_EQ(0u, HeaderWord(bytes, 148));   // selector
    EXPECT_EQ(10u, HeaderWord(bytes, 152));  // shift
    EXPECT_EQ(128u, HeaderWord(bytes, 156));
    EXPECT_EQ(static_cast<uint32_t>(-128), HeaderWord(bytes, 164));
    EXPECT_EQ(3u, HeaderWord(bytes, 172));   // the map after the root's directory
    EXPECT_EQ('K', KVDStg::GetU16(&bytes[184]));
    EXPECT_EQ(2u, HeaderWord(bytes, 184 + 72));
    EXPECT_EQ(8u, KVDStg::GetU64(&bytes[184 + 80]));
    EXPECT_EQ(1u, HeaderWord(bytes, 184 + 140));
    EXPECT_EQ(512u + 2 * 1024, bytes.size());
    // The root's directory: no entries.
    EXPECT_EQ(0u, HeaderWord(bytes, 512));
    EXPECT_EQ(0u, HeaderWord(bytes, 516));

    MemFile older;
    older.Create(kCreateRW, KVDStg::kFlagOlderVersion | 12);
    EXPECT_EQ(22u, HeaderWord(older.Bytes(), 128));
    EXPECT_EQ(12u, HeaderWord(older.Bytes(), 152));
    EXPECT_EQ(512u, HeaderWord(older.Bytes(), 156));
    MemFile refused;
    StoragePtr none;
    EXPECT_EQ(KVD_E_BADSTATE, KVDStgCreateDocfileOnILockBytes(refused.LockBytes(), kCreateRW, 18, none.Set()));
}

TEST(StorageCommit, OtherClusterSizesRoundTrip)
{
    for (uint32_t shift : {6u, 9u, 12u, 17u}) {
        MemFile file;
        {
            StoragePtr root = file.Create(kCreateRW, shift);
            MakeStream(MakeStorage(root, L"d"), L"s", Pattern(300000, shift));
        }
        EXPECT_EQ(shift, HeaderWord(file.Bytes(), 152));
        EXPECT_EQ(Pattern(300000, shift), ReadStream(OpenStorage(file.Open(), L"d"), L"s")) << shift;
    }
}

TEST(StorageCommit, NothingChangedWritesNothing)
{
    RecordingLockBytes* lockBytes = new RecordingLockBytes;
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfileOnILockBytes(lockBytes, kCreateRW, 0, root.Set()));
    MakeStream(root, L"s", Pattern(10, 1));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    size_t writes = lockBytes->Writes();
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    EXPECT_EQ(writes, lockBytes->Writes());
    root.Clear();
    EXPECT_EQ(writes, lockBytes->Writes());
    lockBytes->Release();
}

TEST(StorageCommit, ShrinkingWithoutTransactionsKeepsTheFirstCluster)
{
    MemFile file;
    {
        StoragePtr root = file.Create();
        StreamPtr stream = MakeStream(root, L"s", Pattern(5000, 2));
        ASSERT_EQ(KVD_S_OK, stream->SetSize(0));
    }
    EXPECT_EQ(3u, ClustersInUse(file.Bytes()));  // root directory, map, the stream's first cluster
    {
        StoragePtr root = file.Open();
        ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"s"));
    }
    EXPECT_EQ(2u, ClustersInUse(file.Bytes()));
}

TEST(StorageCommit, TransactedWritesLeaveCommittedClustersAlone)
{
    MemFile file;
    StoragePtr root = file.Create(kCreateRW | kTransacted);
    std::vector<uint8_t> bytes = Pattern(5000, 3);
    StreamPtr stream = MakeStream(root, L"s", bytes);
    StreamPtr other = MakeStream(root, L"t", Pattern(1500, 4));
    std::vector<uint8_t> wide = Pattern(10000, 30);
    StreamPtr spanned = MakeStream(root, L"w", wide);
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    std::vector<uint8_t> committed = file.Bytes();

    // Clusters the write covers whole are replaced without a copy; the two it covers in part
    // keep their other bytes.
    std::vector<uint8_t> across = Pattern(3000, 31);
    ASSERT_EQ(KVD_S_OK, spanned->Seek(500, STREAM_SEEK_SET, nullptr));
    uint32_t written = 0;
    ASSERT_EQ(KVD_S_OK, spanned->Write(across.data(), 3000, &written));
    std::copy(across.begin(), across.end(), wide.begin() + 500);
    EXPECT_EQ(wide, ReadAll(spanned));

    // The middle of a cluster, a write at a cluster boundary reached by reading up to it,
    // and a shrink followed by growth into the cluster that kept committed bytes.
    Overwrite(stream, 1500, "middle");
    uint8_t buffer[1024];
    uint32_t read = 0;
    ASSERT_EQ(KVD_S_OK, stream->Seek(0, STREAM_SEEK_SET, nullptr));
    ASSERT_EQ(KVD_S_OK, stream->Read(buffer, 1024, &read));
    ASSERT_EQ(KVD_S_OK, stream->Write("boundary", 8, &written));
    ASSERT_EQ(KVD_S_OK, other->SetSize(100));
    std::vector<uint8_t> grown = Pattern(1400, 5);
    ASSERT_EQ(KVD_S_OK, other->Seek(0, STREAM_SEEK_END, nullptr));
    ASSERT_EQ(KVD_S_OK, other->Write(grown.data(), 1400, &written));
    MakeStream(root, L"new", Pattern(20000, 6));
    EXPECT_TRUE(CommittedClustersIntact(committed, file.Bytes()));

    // Abandoned now, the file shows its last commit.
    Tree before = TreeOf(committed);
    EXPECT_EQ(before, TreeOf(file.Bytes()));

    // The rewritten clusters keep their other bytes.
    memcpy(&bytes[1500], "middle", 6);
    memcpy(&bytes[1024], "boundary", 8);
    EXPECT_EQ(bytes, ReadAll(stream));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    Tree after = TreeOf(file.Bytes());
    EXPECT_EQ(bytes, after[L"/s"]);
    std::vector<uint8_t> expected = Pattern(1500, 4);
    expected.resize(100);
    expected.insert(expected.end(), grown.begin(), grown.end());
    EXPECT_EQ(expected, after[L"/t"]);
    EXPECT_EQ(wide, after[L"/w"]);
    EXPECT_EQ(4u, after.size());
}

TEST(StorageCommit, ClustersGivenUpWaitForTheCommit)
{
    MemFile file;
    StoragePtr root = file.Create(kCreateRW | kTransacted);
    StreamPtr big = MakeStream(root, L"big", Pattern(100000, 7));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    std::vector<uint8_t> committed = file.Bytes();
    ASSERT_EQ(KVD_S_OK, big->SetSize(0));
    // The freed clusters are not taken again before the commit...
    MakeStream(root, L"other", Pattern(100000, 8));
    EXPECT_TRUE(CommittedClustersIntact(committed, file.Bytes()));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    size_t size = file.Bytes().size();
    // ...and are taken after it: a third stream of that size fits in the same file.
    MakeStream(root, L"third", Pattern(90000, 9));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    EXPECT_LE(file.Bytes().size(), size + 2048);
}

TEST(StorageCommit, RevertGoesBackToTheLastCommit)
{
    MemFile file;
    StoragePtr root = file.Create(kCreateRW | kTransacted);
    StoragePtr child = MakeStorage(root, L"child");
    MakeStream(child, L"kept", Pattern(3000, 10));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    Tree committed = TreeOf(file.Bytes());

    StreamPtr kept;
    ASSERT_EQ(KVD_S_OK, child->OpenStream(L"kept", nullptr, kRW, 0, kept.Set()));
    Overwrite(kept, 10, "changed");
    MakeStream(root, L"dropped", Pattern(50000, 11));
    ASSERT_EQ(KVD_S_OK, root->DestroyElement(L"child"));
    ASSERT_EQ(KVD_S_OK, root->Revert());

    // What was open before no longer works; the file is as committed.
    uint8_t byte = 0;
    uint32_t read = 0;
    EXPECT_EQ(KVD_E_BADSTATE, kept->Read(&byte, 1, &read));
    StreamPtr stream;
    EXPECT_EQ(KVD_E_BADSTATE, child->OpenStream(L"kept", nullptr, kRW, 0, stream.Set()));
    Tree now;
    Collect(root, L"", now);
    EXPECT_EQ(committed, now);
    EXPECT_EQ(KVD_E_NOTIMPL, OpenStorage(root, L"child")->Revert());

    // And it goes on from there.
    MakeStream(root, L"after", Pattern(10, 12));
    root.Clear();
    kept.Clear();
    child.Clear();
    EXPECT_EQ(3u, TreeOf(file.Bytes()).size());

    MemFile plain;
    EXPECT_EQ(KVD_E_NOTIMPL, plain.Create()->Revert());
}

TEST(StorageCommit, ACrashAtAnyWriteLeavesOneOfTheTwoCommits)
{
    RecordingLockBytes* lockBytes = new RecordingLockBytes;
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfileOnILockBytes(lockBytes, kCreateRW | kTransacted, 0, root.Set()));
    StreamPtr a = MakeStream(root, L"a", Pattern(5000, 13));
    StoragePtr storage = MakeStorage(root, L"st");
    MakeStream(storage, L"b", Pattern(3000, 14));
    MakeStream(storage, L"c", Pattern(200, 15));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    Tree first = TreeOf(lockBytes->Bytes());

    lockBytes->StartRecording();
    Overwrite(a, 2000, "overwritten");
    ASSERT_EQ(KVD_S_OK, a->SetSize(9000));
    ASSERT_EQ(KVD_S_OK, storage->DestroyElement(L"b"));
    MakeStream(storage, L"d", Pattern(70000, 16));
    MakeStream(MakeStorage(root, L"new"), L"e", Pattern(1024, 17));
    ASSERT_EQ(KVD_S_OK, root->RenameElement(L"st", L"renamed"));
    ASSERT_EQ(KVD_S_OK, root->Commit(0));
    Tree second = TreeOf(lockBytes->Bytes());
    ASSERT_NE(first, second);

    ASSERT_GT(lockBytes->Images().size(), 10u);
    size_t sawSecond = 0;
    for (size_t i = 0; i < lockBytes->Images().size(); ++i) {
        Tree tree;
        ASSERT_EQ(KVD_S_OK, TreeOf(lockBytes->Images()[i], tree)) << "image " << i;
        ASSERT_TRUE(tree == first || tree == second) << "image " << i;
        sawSecond += tree == second ? 1 : 0;
    }
    EXPECT_GT(sawSecond, 0u);
    root.Clear();
    a.Clear();
    storage.Clear();
    lockBytes->Release();
}

TEST(StorageCommit, ManyCommitsKeepTheFileNearItsLiveSize)
{
    // 0.6 MB in eight streams; each commit rewrites 100 bytes of one of them, in one session
    // or with the file reopened for each commit (and, once, without transactions).
    struct Case {
        uint32_t shift;
        int commits;
        bool reopen;
        uint32_t mode;
    };
    const Case cases[] = {
        {10, 1000, false, kTransacted}, {8, 200, false, kTransacted}, {10, 300, true, kTransacted}, {10, 300, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shift " << c.shift << (c.reopen ? ", reopened" : "") << ", mode " << c.mode);
        MemFile file;
        std::vector<std::vector<uint8_t>> data;
        StoragePtr root = file.Create(kCreateRW | c.mode, c.shift);
        for (uint32_t i = 0; i < 8; ++i) {
            data.push_back(Pattern(75000, 40 + i));
            MakeStream(root, std::to_wstring(i).c_str(), data.back());
        }
        ASSERT_EQ(KVD_S_OK, root->Commit(0));
        const size_t live = file.Bytes().size();
        for (int k = 0; k < c.commits; ++k) {
            if (c.reopen) {
                root.Clear();
                root = file.Open(kRW | c.mode);
            }
            std::vector<uint8_t>& bytes = data[k % 8];
            size_t at = (k * 7919) % (bytes.size() - 100);
            std::vector<uint8_t> change = Pattern(100, 1000 + k);
            std::copy(change.begin(), change.end(), bytes.begin() + at);
            StreamPtr stream;
            ASSERT_EQ(KVD_S_OK, root->OpenStream(std::to_wstring(k % 8).c_str(), nullptr, kRW, 0, stream.Set()));
            ASSERT_EQ(KVD_S_OK, stream->Seek(at, STREAM_SEEK_SET, nullptr));
            uint32_t written = 0;
            ASSERT_EQ(KVD_S_OK, stream->Write(change.data(), 100, &written));
            ASSERT_EQ(KVD_S_OK, root->Commit(0));
            // A map put in a new run at the file's end at every commit grows the file without bound.
            ASSERT_LE(file.Bytes().size(), live + live / 10) << "after commit " << k;
        }
        root.Clear();
        Tree tree = TreeOf(file.Bytes());
        ASSERT_EQ(8u, tree.size());
        for (uint32_t i = 0; i < 8; ++i)
            EXPECT_EQ(data[i], tree[L"/" + std::to_wstring(i)]) << i;
    }
}
