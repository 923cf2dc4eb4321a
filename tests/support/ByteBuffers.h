// Stream buffers over bytes in memory, for tests of stored formats.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace TestSupport {

using Bytes = std::vector<unsigned char>;

inline Bytes BytesOf(const std::stringbuf& buffer)
{
    const std::string s = buffer.str();
    return Bytes(s.begin(), s.end());
}

inline std::stringbuf BufferOf(const Bytes& bytes)
{
    return std::stringbuf(std::string(bytes.begin(), bytes.end()), std::ios_base::in);
}

}  // namespace TestSupport
