// Writes records of the binary format: the version word first, then whatever the record's own
// writer puts. Failures never throw: they make the stream bad and later writes do nothing.
#pragma once

#include <type_traits>

#include "IBinOutStream.h"
#include "foundation/BinStream.h"
#include "foundation/UnknownImp.h"

namespace KVD {

class String;

// The streams live on the stack or inside their owner: the static kind.
class BinOStream : public StaticUnknown<IBinOutStream>, public BinStream {
public:
    // Writes the version word for version to the buffer.
    BinOStream(std::streambuf* buffer, unsigned char version, bool ownsBuffer = false);
    virtual ~BinOStream() = default;

    // The binary format's streams are not queried: every identifier is 0xF800400B.
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT StreamState() override { return StateResult(); }
    HRESULT TellPos(unsigned* position) override;
    HRESULT SeekPos(unsigned position) override;
    HRESULT Reset() override { return KVD_E_NOTIMPL; }
    HRESULT WriteByte(unsigned char value) override { return WriteScalar(value); }
    HRESULT WriteWord16(unsigned short value) override { return WriteScalar(value); }
    HRESULT WriteWord32(unsigned value) override { return WriteScalar(value); }
    HRESULT WriteFloat(float value) override { return WriteScalar(value); }
    HRESULT WriteDouble(double value) override { return WriteScalar(value); }
    HRESULT WriteBytes(const void* buffer, unsigned count) override;
    HRESULT WriteDynId(unsigned short id) override;
    HRESULT WriteCAFId(TCAFId id) override;
    HRESULT WriteObject(IPersistObject* object) override;
    HRESULT WriteSharedObject(IPersistObject* object) override;
    HRESULT QueryWriteObject(IUnknown* object) override;
    HRESULT QueryWriteSharedObject(IUnknown* object) override;
    HRESULT WriteKVDString(IAutoKVDString* text) override;
    HRESULT WriteUInt64(unsigned long long value) override { return WriteScalar(value); }

    // Writes what the buffer holds to its destination; a failure makes the state 1.
    virtual void flush();
    // Moves back to the start (the record is written anew) and lets go of the attached object.
    virtual void SetEmpty();

    void writeVersion(unsigned char version);
    void writeByte(unsigned char value) { WriteRaw(&value, 1); }
    // Writes exactly n bytes, or marks the stream bad; nothing happens once it is bad.
    bool WriteRaw(const void* buffer, std::size_t n);
    // The text with its NUL as UTF-16 units, after the words 0x80000001, n and -n.
    void WriteString(const String& text);

protected:
    // For streams whose buffer is attached after construction: no version is written here.
    struct NoVersion {};
    BinOStream(std::streambuf* buffer, bool ownsBuffer, NoVersion);

private:
    template <class T>
    HRESULT WriteScalar(T value)
    {
        WriteRaw(&value, sizeof(T));
        return StateResult();
    }
};

// The record writers' inserters for integral and floating values: raw little-endian bytes.
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
BinOStream& operator<<(BinOStream& out, T value)
{
    out.WriteRaw(&value, sizeof(T));
    return out;
}

BinOStream& operator<<(BinOStream& out, const String& text);

}  // namespace KVD
