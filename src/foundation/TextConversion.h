// Conversion between the system's wide characters (UTF-32), UTF-8 and UTF-16. Conversions are
// lenient and never fail loudly: an illegal or cut-off source ends the output early, and the
// result is the number of units written. Sources are counted, not NUL-terminated.
#pragma once

#include <cstddef>
#include <string>

size_t KVDConvertUnicode(const wchar_t* source, size_t sourceLength, char* target, size_t targetCapacity);
size_t KVDConvertUnicode(const char* source, size_t sourceLength, wchar_t* target, size_t targetCapacity);
size_t KVDConvertUnicode(const char16_t* source, size_t sourceLength, wchar_t* target, size_t targetCapacity);
size_t KVDConvertUnicode(const wchar_t* source, size_t sourceLength, char16_t* target, size_t targetCapacity);

namespace KVD {

// n wide characters as UTF-8.
std::string ToU8String(const wchar_t* text, unsigned long n);

// UTF-8 text as wide characters.
std::wstring ToWString(const std::string& text);
std::wstring ToWString(const char* text, unsigned long n);

// A UTF-8 copy of a NUL-terminated wide text, with its NUL, made with array new; null for null.
char* NewUTF8Text(const wchar_t* text);

}  // namespace KVD
