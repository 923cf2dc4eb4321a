// The Windows-1252 code page, in which old records and old text files store 8-bit text.
#pragma once

#include <cstddef>
#include <string>

namespace KVD {

// The character of one byte. The five bytes the code page leaves undefined stand for the
// control characters of the same value.
wchar_t Windows1252ToWide(unsigned char byte);

// n bytes as wide characters, up to the first NUL.
std::wstring DecodeWindows1252(const char* bytes, std::size_t n);

}  // namespace KVD
