// 8-bit texts in wide streams: the bytes of the ASCII range pass unchanged, every other byte
// becomes a replacement character, whatever the text's real encoding.
#pragma once

#include <cstddef>
#include <ostream>

namespace KVD {

// Makes *out a new array (delete[] it) of n + 1 characters: bytes 0x00-0x7F copied, every
// byte 0x80-0xFF written as the replacement (or as itself when the replacement is 0), and a
// terminating NUL.
template <class From, class To>
void CreateAsciiEncoding(To** out, From* text, std::size_t n, To replacement)
{
    To* result = new To[n + 1];
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        result[i] = byte < 0x80 || replacement == To(0) ? static_cast<To>(byte) : replacement;
    }
    result[n] = To(0);
    *out = result;
}

}  // namespace KVD

// Writes an 8-bit text into a wide stream, with '?' for every byte outside ASCII.
std::wostream& operator<<(std::wostream& out, const char* text);

namespace KVD {
// Code in this namespace, whose own inserters hide the global ones, finds it too.
using ::operator<<;
}  // namespace KVD
