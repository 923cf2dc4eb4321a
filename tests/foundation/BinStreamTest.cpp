// The binary record format byte for byte, and how readers meet short, corrupt and old data.
#include <gtest/gtest.h>

#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/XKVD.h"
#include "support/ByteBuffers.h"
#include "support/MemoryIStream.h"

namespace {

using KVD::BinIStream;
using KVD::BinOStream;
using KVD::String;
using TestSupport::BufferOf;
using TestSupport::Bytes;
using TestSupport::BytesOf;

// Bytes after the 4-byte version word that every writer starts with.
Bytes Record(const std::stringbuf& buffer)
{
    const Bytes all = BytesOf(buffer);
    return Bytes(all.begin() + 4, all.end());
}

TEST(BinaryFormat, TheVersionWordCarriesTheVersionInItsThirdByte)
{
    for (unsigned v : {0u, 21u, 255u}) {
        std::stringbuf buffer;
        BinOStream out(&buffer, static_cast<unsigned char>(v));
        EXPECT_EQ(BytesOf(buffer), (Bytes{0xAA, 0xAA, static_cast<unsigned char>(v), 0x55}));
        auto in = BufferOf(BytesOf(buffer));
        BinIStream reader(&in);
        unsigned version = 99;
        EXPECT_EQ(reader.GetVersion(&version), KVD_S_OK);
        EXPECT_EQ(version, v);
    }
}

TEST(BinaryFormat, ScalarsAreTheirLittleEndianBytes)
{
    std::stringbuf buffer;
    BinOStream out(&buffer, 21);
    EXPECT_EQ(out.WriteByte(0xAB), KVD_S_OK);
    EXPECT_EQ(out.WriteWord16(0x1234), KVD_S_OK);
    EXPECT_EQ(out.WriteWord32(0x89ABCDEF), KVD_S_OK);
    EXPECT_EQ(out.WriteFloat(1.5f), KVD_S_OK);
    EXPECT_EQ(out.WriteDouble(-2.0), KVD_S_OK);
    EXPECT_EQ(out.WriteUInt64(0x0102030405060708ull), KVD_S_OK);
    out << short(-2) << int(-3) << static_cast<long long>(-4);
    const unsigned char raw[2] = {0x7F, 0x80};
    EXPECT_EQ(out.WriteBytes(raw, 2), KVD_S_OK);
    EXPECT_EQ(out.WriteBytes(nullptr, 0), KVD_S_OK);
    EXPECT_EQ(Record(buffer), (Bytes{0xAB,
                                     0x34, 0x12,
                                     0xEF, 0xCD, 0xAB, 0x89,
                                     0x00, 0x00, 0xC0, 0x3F,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0,
                                     0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                                     0xFE, 0xFF,
                                     0xFD, 0xFF, 0xFF, 0xFF,
                                     0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0x7F, 0x80}));

    auto in = BufferOf(BytesOf(buffer));
    BinIStream reader(&in);
    unsigned char b = 0;
    unsigned short w16 = 0;
    unsigned w32 = 0;
    float f = 0;
    double d = 0;
    unsigned long long u64 = 0;
    short i16 = 0;
    int i32 = 0;
    long long i64 = 0;
    unsigned char back[2] = {};
    EXPECT_EQ(reader.ReadByte(&b), KVD_S_OK);
    EXPECT_EQ(reader.ReadWord16(&w16), KVD_S_OK);
    EXPECT_EQ(reader.ReadWord32(&w32), KVD_S_OK);
    EXPECT_EQ(reader.ReadFloat(&f), KVD_S_OK);
    EXPECT_EQ(reader.ReadDouble(&d), KVD_S_OK);
    EXPECT_EQ(reader.ReadUInt64(&u64), KVD_S_OK);
    EXPECT_EQ(reader.ReadInt16(&i16), KVD_S_OK);
    EXPECT_EQ(reader.ReadInt32(&i32), KVD_S_OK);
    EXPECT_EQ(reader.ReadInt64(&i64), KVD_S_OK);
    EXPECT_EQ(reader.ReadBytes(back, 2), KVD_S_OK);
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w16, 0x1234);
    EXPECT_EQ(w32, 0x89ABCDEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, -2.0);
    EXPECT_EQ(u64, 0x0102030405060708ull);
    EXPECT_EQ(i16, -2);
    EXPECT_EQ(i32, -3);
    EXPECT_EQ(i64, -4);
    EXPECT_EQ(back[1], 0x80);
    EXPECT_EQ(reader.StreamState(), KVD_S_OK);
}

TEST(BinaryFormat, TheEmptyTextIsFourteenBytes)
{
    std::stringbuf buffer;
    BinOStream out(&buffer, 21);
    out << String();
    EXPECT_EQ(Record(buffer), (Bytes{0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
}

TEST(BinaryFormat, TextsAreCountedUtf16WithTheirNul)
{
    std::stringbuf buffer;
    BinOStream out(&buffer, 21);
    out << String(L"AB");
    // é, the euro sign and a character beyond the 16-bit plane (a surrogate pair).
    EXPECT_EQ(out.WriteKVDString(String(L"\u00E9\u20AC\U0001F600").AsIAutoKVDString()), KVD_S_OK);
    EXPECT_EQ(Record(buffer), (Bytes{0x01, 0x00, 0x00, 0x80, 0x03, 0x00, 0x00, 0x00, 0xFD, 0xFF, 0xFF, 0xFF,
                                     0x41, 0x00, 0x42, 0x00, 0x00, 0x00,
                                     0x01, 0x00, 0x00, 0x80, 0x05, 0x00, 0x00, 0x00, 0xFB, 0xFF, 0xFF, 0xFF,
                                     0xE9, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0x00}));

    auto in = BufferOf(BytesOf(buffer));
    BinIStream reader(&in);
    String first;
    reader >> first;
    String second;
    EXPECT_EQ(reader.ReadKVDString(String::Setter(second)), KVD_S_OK);
    EXPECT_EQ(first, L"AB");
    EXPECT_EQ(second, L"\u00E9\u20AC\U0001F600");
}

TEST(BinaryFormat, AStreamWithoutAVersionWordIsVersionOneFromItsFirstByte)
{
    auto in = BufferOf({0x78, 0x56, 0x34, 0x12});
    BinIStream reader(&in);
    unsigned version = 0;
    unsigned first = 0;
    reader.GetVersion(&version);
    EXPECT_EQ(reader.ReadWord32(&first), KVD_S_OK);
    EXPECT_EQ(version, 1u);
    EXPECT_EQ(first, 0x12345678u);
}

TEST(BinaryFormat, OlderTextFormsAreRead)
{
    const struct {
        Bytes bytes;
        std::vector<std::wstring> texts;
    } cases[] = {
        // The twelve-byte empty text, then a byte that must still be there.
        {{0xAA, 0xAA, 0x15, 0x55, 0x01, 0x00, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x2A}, {L""}},
        // Old versions store Windows-1252 texts.
        {{0xAA, 0xAA, 0x05, 0x55, 3, 0, 0, 0, 'A', 'B', 'C', 2, 0, 0, 0, 0x80, 0xE9}, {L"ABC", L"\u20AC\u00E9"}},
        // Eight-bit texts of new versions end at their NUL.
        {{0xAA, 0xAA, 0x15, 0x55, 0x00, 0, 0, 0, 4, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF, 'H', 'i', 0, 'x'}, {L"Hi"}},
    };
    for (const auto& c : cases) {
        auto in = BufferOf(c.bytes);
        BinIStream reader(&in);
        for (const std::wstring& expected : c.texts) {
            String text(L"old");
            reader >> text;
            EXPECT_EQ(text, expected.c_str());
        }
        EXPECT_EQ(reader.StreamState(), KVD_S_OK);
    }
    auto in = BufferOf(cases[0].bytes);
    BinIStream reader(&in);
    String text;
    unsigned char next = 0;
    reader >> text;
    EXPECT_EQ(reader.ReadByte(&next), KVD_S_OK);
    EXPECT_EQ(next, 0x2A);
}

HRESULT CodeOfStringRead(const Bytes& bytes)
{
    auto in = BufferOf(bytes);
    BinIStream reader(&in);
    try {
        String text;
        reader >> text;
    } catch (const XKVD& failure) {
        EXPECT_EQ(reader.StreamState(), KVD_E_BADSTATE);  // nothing more is read after it
        return failure.GetCode();
    }
    return reader.StreamState();
}

TEST(BinaryFormat, StoredLengthsThatCannotBeRightAreRejected)
{
    // The check word is not -n.
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'A', 0, 0, 0}),
              KVD_E_ARRAYSIZE);
    // The header ends early.
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 2, 0}), KVD_E_ARRAYSIZE);
    // The stream holds fewer units than announced.
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 3, 0, 0, 0, 0xFD, 0xFF, 0xFF, 0xFF, 'A', 0}),
              KVD_E_ARRAYSIZE);
    // A length near 2^31 over a few bytes: refused without reserving room for it.
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0, 0, 0x80, 'A', 0}),
              KVD_E_ARRAYSIZE);
    // Old 8-bit texts are shorter than 64001 bytes, and must be there.
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x05, 0x55, 0x01, 0xFA, 0, 0}), KVD_E_ARRAYSIZE);
    EXPECT_EQ(CodeOfStringRead({0xAA, 0xAA, 0x05, 0x55, 0x05, 0, 0, 0, 'A', 'B'}), KVD_E_ARRAYSIZE);
}

TEST(BinaryFormat, TheComReaderReturnsTheFormatCodeInsteadOfThrowing)
{
    auto in = BufferOf({0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    BinIStream reader(&in);
    IAutoKVDString* text = reinterpret_cast<IAutoKVDString*>(&reader);  // must be overwritten
    EXPECT_EQ(reader.ReadKVDString(&text), KVD_E_ARRAYSIZE);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(reader.ReadKVDString(nullptr), KVD_E_POINTER);
}

TEST(BinaryFormat, AfterAShortReadEveryReadFailsAndBytesReadAsZero)
{
    auto in = BufferOf({0xAA, 0xAA, 0x15, 0x55, 0x01, 0x02, 0x03});
    BinIStream reader(&in);
    unsigned word = 0;
    EXPECT_EQ(reader.ReadWord32(&word), KVD_E_BADSTATE);
    unsigned char byte = 0xFF;
    EXPECT_EQ(reader.ReadByte(&byte), KVD_E_BADSTATE);
    EXPECT_EQ(byte, 0);
    EXPECT_EQ(reader.ReadBytes(&word, 0), KVD_E_BADSTATE);
    EXPECT_EQ(reader.StreamState(), KVD_E_BADSTATE);
    // A stream already bad reads strings as empty, without a length check.
    String text(L"kept?");
    EXPECT_NO_THROW(reader >> text);
    EXPECT_TRUE(text.empty());
}

TEST(BinaryFormat, PositionsAreByteOffsets)
{
    std::stringbuf buffer;
    BinOStream out(&buffer, 21);
    out << 1.0;
    unsigned position = 0;
    EXPECT_EQ(out.TellPos(&position), KVD_S_OK);
    EXPECT_EQ(position, 12u);
    EXPECT_EQ(out.SeekPos(4), KVD_S_OK);
    out.WriteWord32(0xDDCCBBAA);
    EXPECT_EQ(Record(buffer), (Bytes{0xAA, 0xBB, 0xCC, 0xDD, 0x00, 0x00, 0xF0, 0x3F}));

    auto in = BufferOf(BytesOf(buffer));
    BinIStream reader(&in);
    EXPECT_EQ(reader.TellPos(&position), KVD_S_OK);
    EXPECT_EQ(position, 4u);
}

TEST(BinaryFormat, SetEmptyStartsTheRecordAgainAndLetsGoOfTheAttachedObject)
{
    TestSupport::MemoryIStream owner;
    std::stringbuf buffer;
    {
        BinOStream out(&buffer, 21);
        out.AttachObject(&owner);
        EXPECT_EQ(owner.References(), 2u);
        out.SetEmpty();
        EXPECT_EQ(owner.References(), 1u);
        out.WriteWord16(0xBEEF);
        out.AttachObject(&owner);
    }
    EXPECT_EQ(owner.References(), 1u);
    EXPECT_EQ(BytesOf(buffer), (Bytes{0xEF, 0xBE, 0x15, 0x55}));
}

TEST(BinaryFormat, IdsAndObjectsAreNotPartOfTheFormat)
{
    std::stringbuf buffer;
    BinOStream out(&buffer, 21);
    EXPECT_EQ(out.AddRef(), 1u);
    EXPECT_EQ(out.Release(), 1u);
    void* object = &buffer;
    EXPECT_EQ(out.QueryInterface(IID_IBinOutStream, &object), KVD_E_NOTIMPL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(out.WriteDynId(1), KVD_E_NOTIMPL);
    EXPECT_EQ(out.WriteCAFId(1), KVD_E_NOTIMPL);
    EXPECT_EQ(out.WriteObject(nullptr), KVD_E_NOTIMPL);
    EXPECT_EQ(out.QueryWriteSharedObject(nullptr), KVD_E_NOTIMPL);
    EXPECT_EQ(out.Reset(), KVD_E_NOTIMPL);

    auto in = BufferOf(BytesOf(buffer));
    BinIStream reader(&in);
    IUnknown* read = reinterpret_cast<IUnknown*>(&buffer);
    EXPECT_EQ(reader.ReadObject(&read), KVD_E_NOTIMPL);
    EXPECT_EQ(read, nullptr);
    unsigned short id = 0;
    EXPECT_EQ(reader.ReadDynId(&id), KVD_E_NOTIMPL);
    EXPECT_EQ(reader.Reset(), KVD_E_NOTIMPL);
    EXPECT_EQ(reader.StreamState(), KVD_S_OK);  // and the stream stays good
}

}  // namespace
