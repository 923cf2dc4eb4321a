// Reads records of the binary format: the version word first, then whatever the record's own
// reader asks for. Failures never throw except a string whose stored length cannot be right.
#pragma once

#include <type_traits>

#include "IBinInStream.h"
#include "foundation/BinStream.h"
#include "foundation/UnknownImp.h"

namespace KVD {

class String;

// The streams live on the stack or inside their owner: the static kind.
class BinIStream : public StaticUnknown<IBinInStream>, public BinStream {
public:
    // Reads the version word from the buffer.
    explicit BinIStream(std::streambuf* buffer, bool ownsBuffer = false);
    virtual ~BinIStream() = default;

    // The binary format's streams are not queried: every identifier is 0xF800400B.
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT StreamState() override { return StateResult(); }
    HRESULT TellPos(unsigned* position) override;
    HRESULT Reset() override { return KVD_E_NOTIMPL; }
    HRESULT ReadByte(unsigned char* value) override;
    HRESULT ReadWord16(unsigned short* value) override { return ReadScalar(value); }
    HRESULT ReadWord32(unsigned* value) override { return ReadScalar(value); }
    HRESULT ReadFloat(float* value) override { return ReadScalar(value); }
    HRESULT ReadDouble(double* value) override { return ReadScalar(value); }
    HRESULT ReadBytes(void* buffer, unsigned count) override;
    HRESULT ReadDynId(unsigned short* id) override;
    HRESULT ReadCAFId(TCAFId* id) override;
    HRESULT ReadObject(IUnknown** out) override;
    HRESULT ReadObjectAndQuery(const _IID& iid, void** out) override;
    HRESULT ReadSharedObject(IUnknown** out) override;
    HRESULT ReadSharedObjectAndQuery(const _IID& iid, void** out) override;
    HRESULT ReadKVDString(IAutoKVDString** out) override;
    HRESULT GetVersion(unsigned* version) override;
    HRESULT ReadInt16(short* value) override { return ReadScalar(value); }
    HRESULT ReadInt32(int* value) override { return ReadScalar(value); }
    HRESULT ReadInt64(long long* value) override { return ReadScalar(value); }
    HRESULT ReadUInt64(unsigned long long* value) override { return ReadScalar(value); }

    // Reads the version word; a stream that does not start with one is version 1 and is read
    // from its first byte.
    void readVersion();
    unsigned char readByte();
    // 0 when the stream is bad.
    unsigned readWord32();
    // Reads exactly n bytes, or marks the stream bad; nothing happens once it is bad.
    bool ReadRaw(void* buffer, std::size_t n);
    // Reads a stored string; throws XKVD 0xF8008003 when its stored length cannot be right.
    void ReadString(String& text);

protected:
    // For streams whose buffer is attached after construction: no version is read here.
    struct NoVersion {};
    BinIStream(std::streambuf* buffer, bool ownsBuffer, NoVersion);

private:
    template <class T>
    HRESULT ReadScalar(T* value)
    {
        if (value == nullptr)
            return KVD_E_POINTER;
        ReadRaw(value, sizeof(T));
        return StateResult();
    }
    void ReadUTF16(unsigned units, String& text);
    void ReadNarrow(unsigned bytes, String& text);
    [[noreturn]] void FailLength();
};

// The record readers' extractors for integral and floating values: raw little-endian bytes.
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
BinIStream& operator>>(BinIStream& in, T& value)
{
    in.ReadRaw(&value, sizeof(T));
    return in;
}

BinIStream& operator>>(BinIStream& in, String& text);

}  // namespace KVD
