// Stored records spelled out byte by byte, and records written or read through the binary
// streams over memory.
#pragma once

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "IPersistObject.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"

namespace SpiroTest {

using ByteVector = std::vector<uint8_t>;

// Little-endian bytes of a record, appended field by field.
class Bytes {
public:
    template <class T>
    Bytes& put(T value)
    {
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        mBytes.insert(mBytes.end(), raw, raw + sizeof(T));
        return *this;
    }
    Bytes& i32(int32_t v) { return put(v); }
    Bytes& u8(uint8_t v) { return put(v); }
    Bytes& f32(float v) { return put(v); }
    Bytes& f64(double v) { return put(v); }
    // The empty string as written: flags, count 1, -1, and the UTF-16 NUL.
    Bytes& emptyString() { return put(0x80000001u).put(1u).put(0xFFFFFFFFu).put(uint16_t(0)); }
    // The older empty form without a stored NUL.
    Bytes& emptyStringShort() { return put(0x80000001u).put(0u).put(0u); }
    Bytes& append(const ByteVector& more)
    {
        mBytes.insert(mBytes.end(), more.begin(), more.end());
        return *this;
    }

    operator const ByteVector&() const { return mBytes; }
    const ByteVector& get() const { return mBytes; }

private:
    ByteVector mBytes;
};

constexpr unsigned char kStreamVersion = 21;

// The record as the object writes it, without the stream's version word.
inline ByteVector WriteRecord(const IPersistObject& object)
{
    std::stringbuf buffer;
    KVD::BinOStream out(&buffer, kStreamVersion);
    object.Write(&out);
    const std::string bytes = buffer.str();
    return ByteVector(bytes.begin() + 4, bytes.end());
}

// Reads the record bytes (a version word is put in front) into the object.
inline HRESULT ReadRecord(IPersistObject& object, const ByteVector& record)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, kStreamVersion);
        out.WriteRaw(record.data(), record.size());
    }
    KVD::BinIStream in(&buffer);
    return object.Read(&in);
}

}  // namespace SpiroTest
