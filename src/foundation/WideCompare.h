// Case-insensitive comparison of wide texts.
#pragma once

#include <cstddef>

// Compares at most n characters ignoring case: -1 or 1 at the first difference, 0 when the
// texts end together or agree over n characters (always 0 for n < 1).
int _wcsnicmp(const wchar_t* a, const wchar_t* b, long n);
