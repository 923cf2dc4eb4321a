// The on-disk records of the compound file, byte for byte: directory records of both layouts,
// the file header and its checks on open.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "KVDStorageResults.h"
#include "foundation/storage/ByteOrder.h"
#include "foundation/storage/Element.h"
#include "foundation/storage/MemoryLockBytes.h"
#include "foundation/storage/RootStorageInfo.h"

using namespace KVDStg;

namespace {

const _IID kSomeClass = {0x01020304, 0x0506, 0x0708, {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10}};

std::vector<uint8_t> EncodedHeader(const RootStorageInfo& info)
{
    std::vector<uint8_t> bytes(kHeaderSize);
    info.EncodeTypeHeader(bytes.data());
    PutU32(bytes.data() + kSelectorOffset, info.selector);
    info.EncodeRootInfo(bytes.data() + kRootInfoOffset);
    return bytes;
}

HRESULT ReadHeader(const std::vector<uint8_t>& bytes, RootStorageInfo* out = nullptr)
{
    MemoryLockBytes* lockBytes = MemoryLockBytes::Create(bytes);
    RootStorageInfo info;
    HRESULT hr = info.ReadDiskInfo(*lockBytes);
    lockBytes->Release();
    if (out != nullptr)
        *out = info;
    return hr;
}

RootStorageInfo ValidInfo()
{
    RootStorageInfo info;
    info.InitNew(kCurrentVersion, kDefaultClusterShift);
    info.mapCount[0] = 128;
    info.mapCheck[0] = -128;
    info.mapStart[0] = 3;
    info.root[0] = Element(Element::MakeName(L"KVDRootStorage"), kTypeStorage);
    info.root[1] = info.root[0];
    return info;
}

}  // namespace

TEST(StorageElement, EncodesEveryFieldAtItsOffset)
{
    Element e(Element::MakeName(L"Data"), kTypeStream);
    e.start = {0, 7};
    e.end = {2048, 8 | kClusterEndBit};
    e.modificationTime = 0x1112131415161718ull;
    e.creationTime = 0x2122232425262728ull;
    e.accessTime = 0x3132333435363738ull;
    e.classId = kSomeClass;
    e.stateBits = 0xA1B2C3D4;
    uint8_t bytes[kElementSize];
    std::memset(bytes, 0xEE, sizeof bytes);
    e.Encode(bytes);

    const uint8_t name[] = {'D', 0, 'a', 0, 't', 0, 'a', 0};
    EXPECT_EQ(0, std::memcmp(bytes, name, sizeof name));
    for (int i = 8; i < 64; ++i)
        ASSERT_EQ(0, bytes[i]) << i;
    EXPECT_EQ(0u, GetU64(bytes + 64));
    EXPECT_EQ(7u, GetU32(bytes + 72));
    EXPECT_EQ(0u, GetU32(bytes + 76));
    EXPECT_EQ(2048u, GetU64(bytes + 80));
    EXPECT_EQ(0x80000008u, GetU32(bytes + 88));
    EXPECT_EQ(0u, GetU32(bytes + 92));
    EXPECT_EQ(0x1112131415161718ull, GetU64(bytes + 96));
    EXPECT_EQ(0x2122232425262728ull, GetU64(bytes + 104));
    EXPECT_EQ(0x3132333435363738ull, GetU64(bytes + 112));
    const uint8_t guid[] = {4, 3, 2, 1, 6, 5, 8, 7, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(0, std::memcmp(bytes + 120, guid, 16));
    EXPECT_EQ(0xA1B2C3D4u, GetU32(bytes + 136));
    EXPECT_EQ(2u, GetU32(bytes + 140));
    for (int i = 144; i < 160; ++i)
        ASSERT_EQ(0, bytes[i]) << i;

    Element back;
    ASSERT_EQ(KVD_S_OK, back.Decode(bytes, false));
    EXPECT_EQ(L"Data", back.Name());
    EXPECT_EQ(2048, back.Size());
    EXPECT_EQ(7u, back.FirstCluster());
    EXPECT_TRUE(back.end.AtClusterEnd());
    EXPECT_EQ(8u, back.end.Cluster());
    EXPECT_EQ(kSomeClass, back.classId);
    EXPECT_EQ(0x2122232425262728ull, back.creationTime);
}

TEST(StorageElement, ReadsTheOlderRecordWidened)
{
    uint8_t bytes[kOlderElementSize] = {};
    PutU16(bytes, 'x');
    PutU32(bytes + 68, 5);                  // first cluster
    PutU32(bytes + 72, kTypeStream);
    PutU32(bytes + 76, 3000);               // size
    PutU32(bytes + 80, 7);                  // end cluster
    PutU64(bytes + 84, 11);
    PutU64(bytes + 92, 22);
    PutU64(bytes + 100, 33);
    PutU32(bytes + 108, kSomeClass.Data1);
    PutU32(bytes + 124, 0x55);
    Element e;
    ASSERT_EQ(KVD_S_OK, e.Decode(bytes, true));
    EXPECT_EQ(L"x", e.Name());
    EXPECT_EQ(5u, e.FirstCluster());
    EXPECT_EQ(3000, e.Size());
    EXPECT_EQ(7u, e.end.cluster);
    EXPECT_EQ(11u, e.modificationTime);
    EXPECT_EQ(22u, e.creationTime);
    EXPECT_EQ(33u, e.accessTime);
    EXPECT_EQ(kSomeClass.Data1, e.classId.Data1);
    EXPECT_EQ(0x55u, e.stateBits);
    EXPECT_TRUE(e.IsStream());
}

TEST(StorageElement, RefusesRecordsThatCannotBe)
{
    Element good(Element::MakeName(L"s"), kTypeStorage);
    uint8_t bytes[kElementSize];

    good.Encode(bytes);
    PutU32(bytes + 140, 3);  // no such type
    EXPECT_EQ(KVD_STG_E_CORRUPT, Element().Decode(bytes, false));

    good.Encode(bytes);
    for (int i = 0; i < 64; i += 2)
        PutU16(bytes + i, 'a');  // name without its terminator
    EXPECT_EQ(KVD_STG_E_CORRUPT, Element().Decode(bytes, false));

    good.Encode(bytes);
    PutU64(bytes + 80, 0x8000000000000000ull);  // negative size
    EXPECT_EQ(KVD_STG_E_CORRUPT, Element().Decode(bytes, false));

    good.Encode(bytes);
    PutU64(bytes + 64, 512);  // head position is always 0
    EXPECT_EQ(KVD_STG_E_CORRUPT, Element().Decode(bytes, false));
}

TEST(StorageElement, NamesAreCutAndMatchedIgnoringTheCaseOfLetters)
{
    const wchar_t* forty = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
    Element e(Element::MakeName(forty), kTypeStream);
    EXPECT_EQ(std::wstring(forty, 31), e.Name());
    EXPECT_EQ(0, e.name[31]);
    // The same long name finds it again.
    EXPECT_TRUE(e.NameMatches(Element::MakeName(forty)));

    // Letters that differ only in bit 5 are one letter in two cases; nothing else is folded.
    struct Case {
        const wchar_t* stored;
        const wchar_t* key;
        bool matches;
    };
    const Case cases[] = {
        {L"data", L"DATA", true},
        {L"data", L"dat", false},
        {L"data", L"datas", false},
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9", true},       // Latin-1 letters
        {L"\u03b1\u03bf", L"\u0391\u039f", true},         // Greek and Cyrillic where bit 5 is the case
        {L"\u0430\u043f", L"\u0410\u041f", true},
        {L"abc", L"abc ", false},                         // a space is not the terminator
        {L"abc ", L"abc", false},
        {L"ab@", L"ab`", false},
        {L"a[", L"a{", false},
        {L"1", L"\u0011", false},
        {L"\u00d7", L"\u00f7", false},                      // multiply and divide signs
        {L"\u00df", L"\u00ff", false},                      // two lower-case letters
        {L"\u0420", L"\u0400", false},                      // bit 5 is not the case here
        {L"\u03a0", L"\u0380", false},
    };
    for (const Case& c : cases) {
        Element stored(Element::MakeName(c.stored), kTypeStream);
        EXPECT_EQ(c.matches, stored.NameMatches(Element::MakeName(c.key))) << stored.Name();
        EXPECT_EQ(c.matches, Element::FoldedName(stored.name) == Element::FoldedName(Element::MakeName(c.key)));
    }

    // Characters beyond 16 bits travel as surrogate pairs and are never split by the cut.
    Element emoji(Element::MakeName(L"\U0001F600x"), kTypeStream);
    EXPECT_EQ(0xD83D, emoji.name[0]);
    EXPECT_EQ(0xDE00, emoji.name[1]);
    EXPECT_EQ(L"\U0001F600x", emoji.Name());
    EXPECT_TRUE(emoji.NameMatches(Element::MakeName(L"\U0001F600X")));
    std::wstring thirty(30, L'a');
    EXPECT_EQ(thirty, Element(Element::MakeName((thirty + L"\U0001F600").c_str()), kTypeStream).Name());
}

TEST(StorageHeader, FreshTypeHeaderBytes)
{
    RootStorageInfo info;
    info.InitNew(kCurrentVersion, kDefaultClusterShift);
    uint8_t bytes[kTypeHeaderSize];
    info.EncodeTypeHeader(bytes);
    const char* text = "Quorvantelsis Compound File";
    for (size_t i = 0; i < 64; ++i) {
        uint16_t expected = i < std::strlen(text) ? static_cast<uint16_t>(text[i]) : 0;
        ASSERT_EQ(expected, GetU16(bytes + 2 * i)) << i;
    }
    EXPECT_EQ(29u, GetU32(bytes + 128));
    EXPECT_EQ(512u, GetU32(bytes + 132));
    EXPECT_EQ(131072u, GetU32(bytes + 136));
    EXPECT_EQ(0x7FFFFFFFu, GetU32(bytes + 140));
    EXPECT_EQ(0u, GetU32(bytes + 144));
}

TEST(StorageHeader, RootInfoBytesOfBothCopies)
{
    RootStorageInfo info = ValidInfo();
    info.selector = 1;
    info.mapCount[1] = 256;
    info.mapCheck[1] = -256;
    info.mapStart[1] = 9;
    info.root[1].end = {8, 4};
    std::vector<uint8_t> bytes = EncodedHeader(info);
    EXPECT_EQ(1u, GetU32(&bytes[148]));
    EXPECT_EQ(10u, GetU32(&bytes[152]));
    EXPECT_EQ(128u, GetU32(&bytes[156]));
    EXPECT_EQ(256u, GetU32(&bytes[160]));
    EXPECT_EQ(static_cast<uint32_t>(-128), GetU32(&bytes[164]));
    EXPECT_EQ(static_cast<uint32_t>(-256), GetU32(&bytes[168]));
    EXPECT_EQ(3u, GetU32(&bytes[172]));
    EXPECT_EQ(9u, GetU32(&bytes[176]));
    EXPECT_EQ(0u, GetU32(&bytes[180]));
    EXPECT_EQ('K', GetU16(&bytes[184]));
    EXPECT_EQ(1u, GetU32(&bytes[184 + 140]));
    EXPECT_EQ(8u, GetU64(&bytes[344 + 80]));
    EXPECT_EQ(4u, GetU32(&bytes[344 + 88]));
    for (int i = 504; i < 512; ++i)
        ASSERT_EQ(0, bytes[i]);

    RootStorageInfo back;
    ASSERT_EQ(KVD_S_OK, ReadHeader(bytes, &back));
    EXPECT_EQ(1u, back.ValidCopy());
    EXPECT_EQ(256u, back.mapCount[1]);
    EXPECT_EQ(9u, back.mapStart[1]);
    EXPECT_EQ(L"KVDRootStorage", back.root[1].Name());
}

TEST(StorageHeader, ChecksOnOpen)
{
    std::vector<uint8_t> valid = EncodedHeader(ValidInfo());
    EXPECT_EQ(KVD_S_OK, ReadHeader(valid));

    std::vector<uint8_t> bytes = valid;
    bytes[0] = 'q';  // case of an ASCII letter does not matter
    bytes[28] = 'c';
    EXPECT_EQ(KVD_S_OK, ReadHeader(bytes));

    bytes = valid;
    bytes[14 * 2] = 'K';  // "Quorvantelsis Kompound File"
    EXPECT_EQ(KVD_STG_E_NOTSTORAGE, ReadHeader(bytes));

    bytes = valid;
    PutU32(&bytes[128], 30);
    EXPECT_EQ(KVD_STG_E_NEWER, ReadHeader(bytes));
    PutU32(&bytes[128], 2);
    EXPECT_EQ(KVD_STG_E_BADHEADER, ReadHeader(bytes));

    const struct {
        size_t offset;
        uint32_t value;
    } limits[] = {{132, 1024}, {136, 131073}, {140, 0x80000000}, {144, 1}, {152, 18}, {152, 5}, {164, 5}};
    for (const auto& limit : limits) {
        bytes = valid;
        PutU32(&bytes[limit.offset], limit.value);
        EXPECT_EQ(KVD_STG_E_BADHEADER, ReadHeader(bytes)) << limit.offset << " " << limit.value;
    }
    // Only the copy the selector names is checked.
    bytes = valid;
    PutU32(&bytes[160], 7);
    EXPECT_EQ(KVD_S_OK, ReadHeader(bytes));
    PutU32(&bytes[148], 1);
    EXPECT_EQ(KVD_STG_E_BADHEADER, ReadHeader(bytes));

    EXPECT_EQ(KVD_STG_E_BADHEADER, ReadHeader(std::vector<uint8_t>(valid.begin(), valid.begin() + 147)));
    EXPECT_EQ(KVD_STG_E_CORRUPT, ReadHeader(std::vector<uint8_t>(valid.begin(), valid.begin() + 400)));
}

TEST(StorageHeader, ReadsTheOlderLayout)
{
    RootStorageInfo info = ValidInfo();
    info.version = 21;
    std::vector<uint8_t> bytes(kHeaderSize);
    info.EncodeTypeHeader(bytes.data());
    PutU32(&bytes[256], 9);      // cluster shift
    PutU32(&bytes[260], 64);     // map entries
    PutU16(&bytes[264], 'R');    // root record, older form
    PutU32(&bytes[264 + 68], 2);
    PutU32(&bytes[264 + 72], kTypeStorage);
    PutU32(&bytes[264 + 76], 256);
    PutU32(&bytes[404], 1);      // map start
    RootStorageInfo back;
    ASSERT_EQ(KVD_S_OK, ReadHeader(bytes, &back));
    EXPECT_FALSE(back.CurrentLayout());
    EXPECT_EQ(9u, back.clusterShift);
    EXPECT_EQ(64u, back.mapCount[0]);
    EXPECT_EQ(-64, back.mapCheck[0]);
    EXPECT_EQ(1u, back.mapStart[0]);
    EXPECT_EQ(KVD_S_OK, back.rootStatus[0]);
    EXPECT_EQ(256, back.root[0].Size());
    EXPECT_EQ(2u, back.root[0].FirstCluster());
}
