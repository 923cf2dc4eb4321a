#include "foundation/BinOStream.h"

#include <vector>

#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"

namespace KVD {

namespace {

constexpr unsigned kUTF16Flags = 0x80000001;

}  // namespace

BinOStream::BinOStream(std::streambuf* buffer, unsigned char version, bool ownsBuffer) : BinStream(buffer, ownsBuffer)
{
    writeVersion(version);
}

BinOStream::BinOStream(std::streambuf* buffer, bool ownsBuffer, NoVersion) : BinStream(buffer, ownsBuffer) {}

HRESULT BinOStream::QueryInterface(const _IID&, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

bool BinOStream::WriteRaw(const void* buffer, std::size_t n)
{
    if (!good())
        return false;
    if (n == 0)
        return true;
    if (mBuffer == nullptr ||
        mBuffer->sputn(static_cast<const char*>(buffer), std::streamsize(n)) != std::streamsize(n)) {
        mState = kTransferFailed;
        return false;
    }
    return true;
}

void BinOStream::writeVersion(unsigned char version)
{
    const unsigned word = kVersionMark | (unsigned(version) << 16);
    WriteRaw(&word, sizeof word);
}

HRESULT BinOStream::WriteBytes(const void* buffer, unsigned count)
{
    if (buffer == nullptr && count != 0)
        return KVD_E_POINTER;
    WriteRaw(buffer, count);
    return StateResult();
}

HRESULT BinOStream::TellPos(unsigned* position)
{
    return TellPosition(std::ios_base::out, position);
}

HRESULT BinOStream::SeekPos(unsigned position)
{
    if (good() && (mBuffer == nullptr || mBuffer->pubseekpos(position, std::ios_base::out) == std::streampos(-1)))
        mState = kTransferFailed;
    return StateResult();
}

// Ids and objects are not stored in these records.
HRESULT BinOStream::WriteDynId(unsigned short) { return KVD_E_NOTIMPL; }
HRESULT BinOStream::WriteCAFId(TCAFId) { return KVD_E_NOTIMPL; }
HRESULT BinOStream::WriteObject(IPersistObject*) { return KVD_E_NOTIMPL; }
HRESULT BinOStream::WriteSharedObject(IPersistObject*) { return KVD_E_NOTIMPL; }
HRESULT BinOStream::QueryWriteObject(IUnknown*) { return KVD_E_NOTIMPL; }
HRESULT BinOStream::QueryWriteSharedObject(IUnknown*) { return KVD_E_NOTIMPL; }

HRESULT BinOStream::WriteKVDString(IAutoKVDString* text)
{
    // Nothing may cross the boundary as an exception.
    try {
        WriteString(String(text));
    } catch (...) {
        mState = kTransferFailed;
    }
    return StateResult();
}

void BinOStream::WriteString(const String& text)
{
    const std::size_t count = std::size_t(text.length()) + 1;  // the NUL is stored too
    std::vector<char16_t> units(count * 2);
    units.resize(KVDConvertUnicode(text.c_str(), count, units.data(), units.size()));
    const unsigned n = static_cast<unsigned>(units.size());
    const unsigned words[3] = {kUTF16Flags, n, 0u - n};
    for (unsigned word : words)
        WriteRaw(&word, sizeof word);
    WriteRaw(units.data(), units.size() * sizeof(char16_t));
}

void BinOStream::flush()
{
    if (mBuffer == nullptr || mBuffer->pubsync() == -1)
        mState = kFlushOrAttachFailed;
}

void BinOStream::SetEmpty()
{
    if (mBuffer == nullptr || mBuffer->pubseekpos(0, std::ios_base::out) == std::streampos(-1))
        mState = kTransferFailed;
    ReleaseAttached();
}

BinOStream& operator<<(BinOStream& out, const String& text)
{
    out.WriteString(text);
    return out;
}

}  // namespace KVD
