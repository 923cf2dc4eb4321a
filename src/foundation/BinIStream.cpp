#include "foundation/BinIStream.h"

#include <algorithm>
#include <vector>

#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"
#include "foundation/Windows1252.h"
#include "foundation/XKVD.h"

namespace KVD {

namespace {

// Strings of version 9 and before are 8-bit texts shorter than this.
constexpr unsigned kMaxNarrowLength = 64001;
constexpr unsigned kLastNarrowVersion = 9;
// Stored lengths are never trusted for an allocation: texts arrive in pieces of this many bytes.
constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

BinIStream::BinIStream(std::streambuf* buffer, bool ownsBuffer) : BinStream(buffer, ownsBuffer)
{
    readVersion();
}

BinIStream::BinIStream(std::streambuf* buffer, bool ownsBuffer, NoVersion) : BinStream(buffer, ownsBuffer) {}

HRESULT BinIStream::QueryInterface(const _IID&, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

bool BinIStream::ReadRaw(void* buffer, std::size_t n)
{
    if (!good())
        return false;
    if (n == 0)
        return true;
    if (mBuffer == nullptr || mBuffer->sgetn(static_cast<char*>(buffer), std::streamsize(n)) != std::streamsize(n)) {
        mState = kTransferFailed;
        return false;
    }
    return true;
}

void BinIStream::readVersion()
{
    if (!good()) {
        mVersion = 0;
        return;
    }
    unsigned word = 0;
    if (ReadRaw(&word, sizeof word) && (word & kVersionMarkMask) == kVersionMark) {
        mVersion = (word >> 16) & 0xFF;
        return;
    }
    mVersion = 1;
    // A record without a version word starts at its first byte: give the word back.
    if (good() && mBuffer->pubseekoff(-4, std::ios_base::cur, std::ios_base::in) == std::streampos(-1))
        mState = kTransferFailed;
}

unsigned char BinIStream::readByte()
{
    unsigned char value = 0;
    if (!ReadRaw(&value, 1))
        value = 0;
    return value;
}

unsigned BinIStream::readWord32()
{
    unsigned value = 0;
    if (!ReadRaw(&value, sizeof value))
        value = 0;
    return value;
}

HRESULT BinIStream::ReadByte(unsigned char* value)
{
    if (value == nullptr)
        return KVD_E_POINTER;
    *value = readByte();
    return StateResult();
}

HRESULT BinIStream::ReadBytes(void* buffer, unsigned count)
{
    if (buffer == nullptr && count != 0)
        return KVD_E_POINTER;
    ReadRaw(buffer, count);
    return StateResult();
}

HRESULT BinIStream::TellPos(unsigned* position)
{
    return TellPosition(std::ios_base::in, position);
}

HRESULT BinIStream::GetVersion(unsigned* version)
{
    if (version == nullptr)
        return KVD_E_POINTER;
    *version = mVersion;
    return KVD_S_OK;
}

// Ids and objects are not stored in these records.
HRESULT BinIStream::ReadDynId(unsigned short*) { return KVD_E_NOTIMPL; }
HRESULT BinIStream::ReadCAFId(TCAFId*) { return KVD_E_NOTIMPL; }

HRESULT BinIStream::ReadObject(IUnknown** out)
{
    return ReadObjectAndQuery(IID_IUnknown, reinterpret_cast<void**>(out));
}

HRESULT BinIStream::ReadObjectAndQuery(const _IID&, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT BinIStream::ReadSharedObject(IUnknown** out)
{
    return ReadObjectAndQuery(IID_IUnknown, reinterpret_cast<void**>(out));
}

HRESULT BinIStream::ReadSharedObjectAndQuery(const _IID& iid, void** out)
{
    return ReadObjectAndQuery(iid, out);
}

HRESULT BinIStream::ReadKVDString(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    // Nothing may cross the boundary as an exception.
    try {
        String text;
        ReadString(text);
        text.GetOut(out);
        return StateResult();
    } catch (const XKVD& failure) {
        return failure.GetCode();
    } catch (...) {
        mState = kTransferFailed;
        return KVD_E_BADSTATE;
    }
}

void BinIStream::FailLength()
{
    mState = kTransferFailed;
    throw XKVD(KVD_E_ARRAYSIZE);
}

void BinIStream::ReadUTF16(unsigned units, String& text)
{
    std::vector<char16_t> stored;
    for (std::size_t done = 0; done < units;) {
        const std::size_t piece = std::min<std::size_t>(units - done, kChunk / sizeof(char16_t));
        stored.resize(done + piece);
        if (!ReadRaw(stored.data() + done, piece * sizeof(char16_t)))
            FailLength();  // the stream cannot deliver what the length announced
        done += piece;
    }
    // A stored NUL ends the text.
    std::size_t length = units;
    if (length > 0 && stored[length - 1] == u'\0')
        --length;
    std::wstring wide(length, L'\0');
    wide.resize(KVDConvertUnicode(stored.data(), length, wide.data(), wide.size()));
    text = String(wide.c_str());
}

void BinIStream::ReadNarrow(unsigned bytes, String& text)
{
    std::vector<char> stored;
    for (std::size_t done = 0; done < bytes;) {
        const std::size_t piece = std::min<std::size_t>(bytes - done, kChunk);
        stored.resize(done + piece);
        if (!ReadRaw(stored.data() + done, piece))
            FailLength();
        done += piece;
    }
    text = String(DecodeWindows1252(stored.data(), stored.size()).c_str());
}

void BinIStream::ReadString(String& text)
{
    const bool wasGood = good();
    const unsigned first = readWord32();
    unsigned flags = 0;
    unsigned count = first;
    bool lengthValid = count < kMaxNarrowLength;
    if (mVersion > kLastNarrowVersion) {
        flags = first;
        count = readWord32();
        lengthValid = count + readWord32() == 0;
    }
    // A header cut short fails too; only a stream that was bad before passes, with zeros.
    if (wasGood && (!good() || !lengthValid))
        FailLength();
    if (!good()) {
        text = String();
        return;
    }
    if (flags & 0x80000000u)
        ReadUTF16(count, text);
    else
        ReadNarrow(count, text);
}

BinIStream& operator>>(BinIStream& in, String& text)
{
    in.ReadString(text);
    return in;
}

}  // namespace KVD
