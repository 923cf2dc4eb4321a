#include "foundation/BoundedCopy.h"

#include <cstdio>

namespace {

TextConstraintHandler gHandler = DefaultTextConstraintHandler;

int Report(const char* message, int error)
{
    if (gHandler != nullptr)
        gHandler(message, nullptr, error);
    return error;
}

// The messages of one routine; the copies differ only in them and in the length limit.
struct CopyTexts {
    const char* destNull;
    const char* srcNull;
    const char* zeroLength;
    const char* exceedsMax;
    const char* overlap;
    const char* noSpace;
};

constexpr CopyTexts kCopyTexts = {"txtcpy_s: dest is null", "txtcpy_s: src is null", "txtcpy_s: dmax is 0",
                                  "txtcpy_s: dmax exceeds max", "txtcpy_s: overlapping objects",
                                  "txtcpy_s: not enough space for src"};
constexpr CopyTexts kBoundedCopyTexts = {"strncpy_s: dest is null", "txtncpy_s: src is null", "txtncpy_s: dmax is 0",
                                         "txtncpy_s: dmax exceeds max", "txtncpy_s: overlapping objects",
                                         "txtncpy_s: not enough space for src"};

int CheckArguments(const CopyTexts& texts, wchar_t* dest, size_t dmax, const wchar_t* src)
{
    if (dest == nullptr)
        return Report(texts.destNull, kTextNullPointer);
    if (dmax == 0)
        return Report(texts.zeroLength, kTextZeroLength);
    if (dmax > kTextMaxLength)
        return Report(texts.exceedsMax, kTextExceedsMax);
    if (src == nullptr)
        return Report(texts.srcNull, kTextNullPointer);
    return 0;
}

// Copies up to limit characters and a NUL, watching for the moving pointer that runs into the
// other object: the destination below the source meets the source start, or the other way.
int Copy(const CopyTexts& texts, wchar_t* dest, size_t dmax, const wchar_t* src, size_t limit)
{
    wchar_t* out = dest;
    const wchar_t* in = src;
    for (; dmax > 0; --dmax, ++out, ++in, --limit) {
        if ((dest < src && out == src) || (src < dest && in == dest)) {
            *dest = L'\0';
            return Report(texts.overlap, kTextOverlap);
        }
        if (limit == 0) {
            *out = L'\0';
            return 0;
        }
        *out = *in;
        if (*out == L'\0')
            return 0;
    }
    *dest = L'\0';
    return Report(texts.noSpace, kTextNoSpace);
}

}  // namespace

TextConstraintHandler SetTextConstraintHandler(TextConstraintHandler handler)
{
    TextConstraintHandler previous = gHandler;
    gHandler = handler;
    return previous;
}

void DefaultTextConstraintHandler(const char* message, void*, int error)
{
    if (message != nullptr)
        std::fprintf(stderr, "%%SAFE_LIB CONSTRAINT: %s, error code=%u \n", message, static_cast<unsigned>(error));
    else
        std::fprintf(stderr, "%%SAFE_LIB CONSTRAINT: Null message, error code=%u \n", static_cast<unsigned>(error));
}

int wcscpy_s(wchar_t* dest, size_t dmax, const wchar_t* src)
{
    if (int error = CheckArguments(kCopyTexts, dest, dmax, src))
        return error;
    return Copy(kCopyTexts, dest, dmax, src, kTextMaxLength);
}

int wcsncpy_s(wchar_t* dest, size_t dmax, const wchar_t* src, size_t slen)
{
    if (int error = CheckArguments(kBoundedCopyTexts, dest, dmax, src))
        return error;
    if (slen > kTextMaxLength)
        return Report("txtncpy_s: slen exceeds max", kTextExceedsMax);
    return Copy(kBoundedCopyTexts, dest, dmax, src, slen);
}

int wcstolowercase_s(wchar_t* dest, size_t dmax)
{
    if (dest == nullptr)
        return Report("txttolowercase_s: dest is null", kTextNullPointer);
    if (dmax == 0)
        return Report("txttolowercase_s: dmax is 0", kTextZeroLength);
    if (dmax > kTextMaxLength)
        return Report("txttolowercase_s: dmax exceeds max", kTextExceedsMax);
    for (; dmax > 0; --dmax, ++dest) {
        if (*dest == L'\0')
            return 0;
        if (*dest >= L'A' && *dest <= L'Z')
            *dest += L'a' - L'A';
    }
    return Report("txttolowercase_s: dest is unterminated", kTextUnterminated);
}
