// Damaged files, made here from a valid one: each is refused on open with a result code, and
// none crashes, hangs or asks for memory its size cannot justify.
#include "StorageTestSupport.h"

#include "foundation/KVDResultCodes.h"
#include "foundation/storage/ElementTable.h"

using namespace StorageTest;

namespace {

// A valid file and where its parts lie: the root directory, the records in it, the map.
class Damage {
public:
    Damage()
    {
        MemFile file;
        {
            StoragePtr root = file.Create();
            MakeStream(root, L"small", Pattern(100, 1));
            MakeStream(root, L"long", Pattern(5000, 2));
            StoragePtr child = MakeStorage(root, L"child");
            MakeStream(child, L"inner", Pattern(3000, 3));
        }
        bytes = file.Bytes();
        copy = HeaderWord(bytes, 148) & 1;
        count = HeaderWord(bytes, 156 + 4 * copy);
        map = Cluster(HeaderWord(bytes, 172 + 4 * copy));
        directory = Cluster(HeaderWord(bytes, RootRecord() + 72));
    }

    static size_t Cluster(uint32_t c) { return 512 + size_t(c - 2) * 1024; }
    size_t RootRecord() const { return 184 + 160 * copy; }
    // The record of the root directory's i-th element.
    size_t Record(int i) const { return directory + 8 + 160 * size_t(i); }
    size_t Entry(uint32_t c) const { return map + 8 * size_t(c); }
    uint32_t Word(size_t at) const { return HeaderWord(bytes, at); }
    void Put(size_t at, uint32_t value) { KVDStg::PutU32(&bytes[at], value); }
    void Put64(size_t at, uint64_t value) { KVDStg::PutU64(&bytes[at], value); }

    HRESULT Open() const
    {
        MemFile file(bytes);
        StoragePtr root;
        return file.Open(root, kRW);
    }

    std::vector<uint8_t> bytes;
    uint32_t copy;
    uint32_t count;
    size_t map;
    size_t directory;
};

bool IsFileFormatCode(HRESULT hr)
{
    uint32_t code = static_cast<uint32_t>(hr);
    return code >= 0xF8008000u && code <= 0xF800801Bu;
}

}  // namespace

TEST(StorageCorrupt, TheUndamagedFileOpens)
{
    Damage file;
    EXPECT_EQ(KVD_S_OK, file.Open());
    EXPECT_EQ(2u, file.Word(file.directory) - 1);  // three elements
}

TEST(StorageCorrupt, TruncatedFiles)
{
    Damage file;
    std::vector<uint8_t> whole = file.bytes;
    EXPECT_EQ(KVD_STG_E_BADHEADER, (file.bytes.resize(100), file.Open()));
    file.bytes = whole;
    EXPECT_EQ(KVD_STG_E_CORRUPT, (file.bytes.resize(400), file.Open()));
    for (size_t cut : {size_t(512), whole.size() / 2, whole.size() - 1024, whole.size() - 1}) {
        file.bytes = whole;
        file.bytes.resize(cut);
        HRESULT hr = file.Open();
        EXPECT_TRUE(IsFileFormatCode(hr)) << cut << " " << std::hex << hr;
    }
}

TEST(StorageCorrupt, HeaderDamage)
{
    Damage file;
    file.bytes[2] ^= 0x01;  // signature
    EXPECT_EQ(KVD_STG_E_NOTSTORAGE, file.Open());
    file = Damage();
    file.Put(128, 30);
    EXPECT_EQ(KVD_STG_E_NEWER, file.Open());
    file = Damage();
    file.Put(156 + 4 * file.copy, 0);
    file.Put(164 + 4 * file.copy, 0);
    EXPECT_EQ(KVD_E_NOTOEMFILE, file.Open());
    file = Damage();
    file.Put(156 + 4 * file.copy, 129);
    file.Put(164 + 4 * file.copy, static_cast<uint32_t>(-129));
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());  // not a multiple of the entries per cluster
    file = Damage();
    // A map far larger than the file: refused before anything is allocated for it.
    file.Put(156 + 4 * file.copy, 0x7FFFFF80);
    file.Put(164 + 4 * file.copy, static_cast<uint32_t>(-0x7FFFFF80));
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());
    file = Damage();
    file.Put(172 + 4 * file.copy, 0x40000000);  // map start beyond the map
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());
    file = Damage();
    file.Put(file.RootRecord() + 140, 2);  // the root a stream
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());
}

TEST(StorageCorrupt, MapDamage)
{
    Damage file;
    uint32_t first = file.Word(file.Record(1) + 72);  // "long", five clusters
    file.Put(file.Entry(first + 4), first);            // its last cluster leads back to its first
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put(file.Entry(first + 1), file.count + 7);  // a link beyond the map
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());

    file = Damage();
    uint32_t firstFree = file.Word(file.Entry(0));
    file.Put(file.Entry(firstFree + 1), firstFree);  // the free list comes round
    file.Put(file.Entry(firstFree) + 4, 0x80000000 | (firstFree + 1));
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());

    file = Damage();
    file.Put(file.Entry(first + 2) + 4, 0x80000000 | (first + 1));  // marked free inside a chain
    EXPECT_EQ(KVD_STG_E_FORMAT, file.Open());
}

TEST(StorageCorrupt, DirectoryDamage)
{
    Damage file;
    file.Put(file.Record(0) + 72, 0x7FFFFFF0);  // first cluster out of range
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put64(file.Record(1) + 80, uint64_t(1) << 40);  // a length no chain can hold
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put64(file.Record(1) + 80, 7000);  // the chain is shorter than the stream
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put64(file.Record(1) + 80, 3000);  // and longer
    file.Put(file.Record(1) + 88, file.Word(file.Record(1) + 72) + 2);
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put(file.Record(1) + 88, file.Word(file.Record(1) + 88) - 1);  // end cluster not the chain's last
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put(file.Record(0) + 72, file.Word(file.Record(1) + 72));  // two streams on one chain
    file.Put64(file.Record(0) + 80, 5000);
    file.Put(file.Record(0) + 88, file.Word(file.Record(1) + 88));
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    // The child storage's directory is the root's own: a storage inside itself.
    file.Put(file.Record(2) + 72, file.Word(file.RootRecord() + 72));
    file.Put64(file.Record(2) + 80, KVDStg::GetU64(&file.bytes[file.RootRecord() + 80]));
    file.Put(file.Record(2) + 88, file.Word(file.RootRecord() + 88));
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put(file.directory + 4, static_cast<uint32_t>(-2));  // count 3, check -2
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());

    file = Damage();
    file.Put(file.Record(0) + 140, 7);  // no such type
    EXPECT_EQ(KVD_STG_E_CORRUPT, file.Open());
}

TEST(StorageCorrupt, DirectoryStreamChecks)
{
    std::vector<KVDStg::Element> records;
    std::vector<uint8_t> header(8);
    KVDStg::PutU32(&header[0], 3);
    KVDStg::PutU32(&header[4], static_cast<uint32_t>(-2));
    EXPECT_EQ(KVD_STG_E_BADCOUNT, KVDStg::ElementTable::Parse(header, false, records));
    KVDStg::PutU32(&header[0], 1025);
    KVDStg::PutU32(&header[4], static_cast<uint32_t>(-1025));
    EXPECT_EQ(KVD_STG_E_NOSPACE, KVDStg::ElementTable::Parse(header, false, records));
    KVDStg::PutU32(&header[0], 1);
    KVDStg::PutU32(&header[4], static_cast<uint32_t>(-1));
    EXPECT_EQ(KVD_E_BADSTATE, KVDStg::ElementTable::Parse(header, false, records));
    EXPECT_EQ(KVD_STG_E_NOSPACE, KVDStg::ElementTable::Parse(std::vector<uint8_t>(1025 * 128), true, records));
}

TEST(StorageCorrupt, NestingBeyondTheLimit)
{
    MemFile file;
    StoragePtr root = file.Create();
    StoragePtr level = root;
    for (uint32_t depth = 1; depth < KVDStg::kMaxStorageDepth; ++depth)
        level = MakeStorage(level, L"n");
    StoragePtr deeper;
    EXPECT_EQ(KVD_E_BADSTATE, level->CreateStorage(L"n", kCreateRW, 0, 0, deeper.Set()));
    level.Clear();
    root.Clear();
    EXPECT_EQ(KVD_S_OK, file.Open(root));
}
