#include "host/data/Excerpt.h"

namespace Host {

std::string Excerpt(const std::string& text)
{
    size_t end = text.size();
    if (end > kExcerptBytes) {
        end = kExcerptBytes;
        // Back to the start of the character the cut would split (its continuation bytes are
        // 10xxxxxx).
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
    }
    std::string piece = text.substr(0, end);
    for (char& c : piece)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return end < text.size() ? piece + "..." : piece;
}

}  // namespace Host
