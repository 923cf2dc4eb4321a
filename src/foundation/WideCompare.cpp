#include "foundation/WideCompare.h"

#include <cwctype>

int _wcsnicmp(const wchar_t* a, const wchar_t* b, long n)
{
    for (; n > 0; --n, ++a, ++b) {
        // towlower: the characters are wide, beyond what tolower may be given.
        const wint_t ca = std::towlower(static_cast<wint_t>(*a));
        const wint_t cb = std::towlower(static_cast<wint_t>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}
