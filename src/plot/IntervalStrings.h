// Sampling ranges written into markup by the views: "[a:b:end]" and "[a:b:c]", each number in
// the shortest text that reads back to the same value.
#pragma once

#include <charconv>

#include "foundation/KVDString.h"

namespace KVD {
namespace Detail {

template <typename T>
void AppendIntervalNumber(std::wstring& out, T value)
{
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    out.append(text, written.ptr);
}

}  // namespace Detail

// From a with step b to the end of the data.
template <typename T>
String GetOpenIntervalString(T a, T b)
{
    std::wstring text = L"[";
    Detail::AppendIntervalNumber(text, a);
    text += L':';
    Detail::AppendIntervalNumber(text, b);
    text += L":end]";
    return String(text);
}

// From a with step b to c.
template <typename T>
String GetClosedIntervalString(T a, T b, T c)
{
    std::wstring text = L"[";
    Detail::AppendIntervalNumber(text, a);
    text += L':';
    Detail::AppendIntervalNumber(text, b);
    text += L':';
    Detail::AppendIntervalNumber(text, c);
    text += L']';
    return String(text);
}

}  // namespace KVD
