// Bounded wide-text copies, the only copy routines the string code uses. Every violation is
// reported through one replaceable constraint handler and answered with an error code; nothing
// is ever written at or past dmax.
#pragma once

#include <cstddef>

// Error codes of the bounded copies.
constexpr int kTextNullPointer = 400;
constexpr int kTextZeroLength = 401;
constexpr int kTextExceedsMax = 403;
constexpr int kTextOverlap = 404;
constexpr int kTextNoSpace = 406;
constexpr int kTextUnterminated = 407;

// The largest dmax and slen accepted, in characters.
constexpr size_t kTextMaxLength = 0x4000000;

typedef void (*TextConstraintHandler)(const char* message, void* reserved, int error);

// Installs a handler (null makes reports silent) and answers the previous one.
TextConstraintHandler SetTextConstraintHandler(TextConstraintHandler handler);

// The initial handler: prints the report to the standard error stream.
void DefaultTextConstraintHandler(const char* message, void* reserved, int error);

// Copies src with its NUL into dest.
int wcscpy_s(wchar_t* dest, size_t dmax, const wchar_t* src);

// Copies at most slen characters of src into dest and always terminates it.
int wcsncpy_s(wchar_t* dest, size_t dmax, const wchar_t* src, size_t slen);

// Lower-cases A-Z in place; other characters are left as they are.
int wcstolowercase_s(wchar_t* dest, size_t dmax);
