#include "foundation/AsciiEncoding.h"

#include <cstring>
#include <memory>

std::wostream& operator<<(std::wostream& out, const char* text)
{
    if (text == nullptr) {
        out.setstate(std::ios_base::badbit);
        return out;
    }
    wchar_t* wide = nullptr;
    const std::size_t n = std::strlen(text);
    KVD::CreateAsciiEncoding<const char, wchar_t>(&wide, text, n, L'?');
    const std::unique_ptr<wchar_t[]> owned(wide);
    return out << static_cast<const wchar_t*>(wide);
}
