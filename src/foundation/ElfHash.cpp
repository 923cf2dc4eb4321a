#include "foundation/ElfHash.h"

#include <cstdint>

unsigned gElfHashStr(const wchar_t* text, unsigned seed)
{
    uint32_t h = seed;
    for (; *text != L'\0'; ++text) {
        h = (h << 4) + static_cast<uint32_t>(*text);
        const uint32_t g = h & 0xF0000000u;
        h = (h ^ (g >> 24)) & ~g;
    }
    return h;
}
