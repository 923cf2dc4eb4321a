// Records over an IStream: the Lite streams and the 1024-byte buffer between them and it.
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/KVDString.h"
#include "foundation/StorageBinStreamLite.h"
#include "support/MemoryIStream.h"
#include "support/VtableSlot.h"
#include "foundation/KVDResultCodes.h"

namespace {

using Bytes = std::vector<unsigned char>;
using KVD::StorageBinIStreamLite;
using KVD::StorageBinOStreamLite;
using KVD::String;
using TestSupport::MemoryIStream;

// The host and stored records reach these operations by slot.
TEST(StreamInterfaces, OperationsSitInTheirSlots)
{
    TestSupport::ExpectSlots({
        TEST_SLOT(IStream::Read, 3), TEST_SLOT(IStream::Seek, 5), TEST_SLOT(IStream::SetSize, 6),
        TEST_SLOT(IStream::Stat, 12), TEST_SLOT(IStream::Clone, 13), TEST_SLOT(IBinInStream::StreamState, 3),
        TEST_SLOT(IBinInStream::ReadBytes, 11), TEST_SLOT(IBinInStream::ReadKVDString, 18),
        TEST_SLOT(IBinInStream::GetVersion, 19), TEST_SLOT(IBinInStream::ReadUInt64, 23),
        TEST_SLOT(IBinOutStream::SeekPos, 5), TEST_SLOT(IBinOutStream::WriteBytes, 12),
        TEST_SLOT(IBinOutStream::WriteKVDString, 19), TEST_SLOT(IBinOutStream::WriteUInt64, 20),
    });
}

TEST(StorageStreams, ARecordRoundTripsThroughAnIStream)
{
    MemoryIStream stream;
    {
        StorageBinOStreamLite out(&stream, true);
        out << 3.25 << int(-7);
        out << String(L"Flow \u00B5L/s") << String();
        out.WriteByte(1);
        EXPECT_EQ(out.StreamState(), KVD_S_OK);
        EXPECT_EQ(stream.References(), 2u);  // the buffer holds one while attached
    }
    EXPECT_EQ(stream.References(), 1u);
    ASSERT_GE(stream.Bytes().size(), 4u);
    EXPECT_EQ(Bytes(stream.Bytes().begin(), stream.Bytes().begin() + 4), (Bytes{0xAA, 0xAA, 0x15, 0x55}));

    stream.Seek(0, STREAM_SEEK_SET, nullptr);
    StorageBinIStreamLite in(&stream);
    double d = 0;
    int i = 0;
    String text;
    String empty(L"x");
    unsigned char flag = 0;
    in >> d >> i >> text >> empty;
    EXPECT_EQ(in.ReadByte(&flag), KVD_S_OK);
    unsigned version = 0;
    in.GetVersion(&version);
    EXPECT_EQ(version, 21u);
    EXPECT_EQ(d, 3.25);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(text, L"Flow \u00B5L/s");
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(in.ReadByte(&flag), KVD_E_BADSTATE);  // the record is over
}

TEST(StorageStreams, WritingPast1024BytesWritesTheFirstBlockAndGoesOn)
{
    MemoryIStream stream;
    {
        StorageBinOStreamLite out(&stream, true);
        std::vector<unsigned char> payload(1500);
        for (std::size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<unsigned char>(i * 7);
        out.WriteBytes(payload.data(), 1020);
        EXPECT_TRUE(stream.writeSizes.empty());  // version word and 1020 bytes fit the buffer
        out.WriteBytes(payload.data() + 1020, 480);
        ASSERT_EQ(stream.writeSizes.size(), 1u);
        EXPECT_EQ(stream.writeSizes[0], 1024u);
        out.flush();
        EXPECT_EQ(out.StreamState(), KVD_S_OK);
        EXPECT_EQ(stream.writeSizes, (std::vector<uint32_t>{1024, 480}));
        EXPECT_EQ(Bytes(stream.Bytes().begin() + 4, stream.Bytes().end()), payload);
    }
}

TEST(StorageStreams, AWriterCanGoBackInsideItsBufferAndFillInAField)
{
    MemoryIStream stream;
    StorageBinOStreamLite out(&stream, true);
    unsigned lengthAt = 0;
    out.TellPos(&lengthAt);
    out.WriteWord32(0);
    out.WriteWord32(0x11111111);
    out.WriteWord32(0x22222222);
    unsigned end = 0;
    out.TellPos(&end);
    EXPECT_EQ(out.SeekPos(lengthAt), KVD_S_OK);
    out.WriteWord32(end - lengthAt);
    // The bytes after the field are written too, and writing goes on right after the field.
    out.flush();
    EXPECT_EQ(stream.writeSizes, (std::vector<uint32_t>{16}));
    out.WriteWord32(0x33333333);
    out.flush();
    EXPECT_EQ(out.StreamState(), KVD_S_OK);
    EXPECT_EQ(Bytes(stream.Bytes().begin() + 4, stream.Bytes().end()),
              (Bytes{0x0C, 0x00, 0x00, 0x00, 0x33, 0x33, 0x33, 0x33, 0x22, 0x22, 0x22, 0x22}));
}

TEST(StorageStreams, SetEmptyTruncatesTheStream)
{
    MemoryIStream stream(Bytes(40, 0xEE));
    StorageBinOStreamLite out(&stream, true);
    out.WriteWord32(5);
    out.SetEmpty();
    EXPECT_EQ(out.StreamState(), KVD_S_OK);
    EXPECT_EQ(stream.setSizeCalls, 1);
    EXPECT_TRUE(stream.Bytes().empty());
    out.WriteWord16(0x0102);
    out.flush();
    EXPECT_EQ(stream.Bytes(), (Bytes{0x02, 0x01}));
}

TEST(StorageStreams, AFailedWriteMakesTheFlushFail)
{
    MemoryIStream stream;
    stream.writeLimit = 6;
    StorageBinOStreamLite out(&stream, true);
    out.WriteDouble(1.0);
    EXPECT_EQ(out.StreamState(), KVD_S_OK);  // still in the buffer
    out.flush();
    EXPECT_EQ(out.StreamState(), KVD_E_BADSTATE);
    EXPECT_EQ(out.State(), KVD::BinStream::kFlushOrAttachFailed);
}

TEST(StorageStreams, AStreamThatCannotSayItsModeIsNotAttached)
{
    MemoryIStream stream(Bytes{0xAA, 0xAA, 0x15, 0x55});
    stream.statResult = KVD_E_BADSTATE;
    StorageBinIStreamLite in(&stream);
    unsigned version = 7;
    in.GetVersion(&version);
    EXPECT_EQ(in.State(), KVD::BinStream::kFlushOrAttachFailed);
    EXPECT_EQ(version, 0u);
    EXPECT_EQ(stream.References(), 1u);
    StorageBinOStreamLite out(&stream, true);
    EXPECT_EQ(out.StreamState(), KVD_E_BADSTATE);
    EXPECT_TRUE(stream.writeSizes.empty());
}

TEST(StorageStreams, AReadOnlyStreamTakesNoOutput)
{
    MemoryIStream stream(Bytes{}, STGM_READ);
    {
        StorageBinOStreamLite out(&stream, false);  // read-only for input: the buffer only reads
        EXPECT_EQ(out.StreamState(), KVD_E_BADSTATE);
    }
    EXPECT_TRUE(stream.Bytes().empty());
}

TEST(StorageStreams, ReadingSeeksBackWithinItsBufferAndSharesThePositionWithTheStream)
{
    // No version word: the first four bytes are given back within the buffer.
    MemoryIStream stream(Bytes{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
    {
        StorageBinIStreamLite in(&stream);
        unsigned first = 0;
        unsigned position = 99;
        EXPECT_EQ(in.TellPos(&position), KVD_S_OK);
        EXPECT_EQ(position, 0u);
        EXPECT_EQ(in.ReadWord32(&first), KVD_S_OK);
        EXPECT_EQ(first, 1u);
        EXPECT_EQ(in.TellPos(&position), KVD_S_OK);
        EXPECT_EQ(position, 4u);
        EXPECT_EQ(stream.Position(), 12u);  // the whole stream sits in the buffer
    }
    // Unread input goes back: the stream is left where the reader stopped.
    EXPECT_EQ(stream.Position(), 4u);
    EXPECT_EQ(stream.References(), 1u);
}

TEST(StorageStreams, ATruncatedStringOverAnIStreamIsAFormatError)
{
    MemoryIStream stream(Bytes{0xAA, 0xAA, 0x15, 0x55, 0x01, 0, 0, 0x80, 0x00, 0x10, 0, 0, 0x00, 0xF0, 0xFF, 0xFF, 'A', 0});
    StorageBinIStreamLite in(&stream);
    String text;
    EXPECT_EQ(in.ReadKVDString(String::Setter(text)), KVD_E_ARRAYSIZE);
    EXPECT_TRUE(text.empty());
}

}  // namespace
