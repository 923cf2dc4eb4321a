// Replacement of every occurrence of a text, left to right and without overlap; the inserted
// text is never searched again.
#pragma once

#include <string>
#include <string_view>

namespace KVD {

template <class S>
S FindAndReplace(const S& text, const S& searched, const S& replacement)
{
    const std::wstring_view source(text.c_str(), text.length());
    const std::wstring_view find(searched.c_str(), searched.length());
    if (find.empty())
        return text;
    std::wstring result;
    size_t position = 0;
    for (size_t found = source.find(find); found != std::wstring_view::npos;
         found = source.find(find, position)) {
        result.append(source.substr(position, found - position));
        result.append(replacement.c_str(), replacement.length());
        position = found + find.size();
    }
    if (position == 0)
        return text;
    result.append(source.substr(position));
    return S(result);
}

}  // namespace KVD
