#include "foundation/Windows1252.h"

namespace KVD {

namespace {

// 0x80-0x9F: where the code page differs from Latin-1.
constexpr wchar_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

wchar_t Windows1252ToWide(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : static_cast<wchar_t>(byte);
}

std::wstring DecodeWindows1252(const char* bytes, std::size_t n)
{
    std::wstring text;
    text.reserve(n);
    for (std::size_t i = 0; i < n && bytes[i] != '\0'; ++i)
        text += Windows1252ToWide(static_cast<unsigned char>(bytes[i]));
    return text;
}

}  // namespace KVD
