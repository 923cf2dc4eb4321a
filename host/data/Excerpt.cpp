#include "host/data/Excerpt.h"

namespace Host {
namespace {

// Whether byte continues a UTF-8 character (10xxxxxx): a cut there would split it.
bool Continues(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

std::string Printable(std::string piece)
{
    for (char& c : piece)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return piece;
}

}  // namespace

std::string Excerpt(const std::string& text)
{
    if (text.size() <= kExcerptBytes)
        return Printable(text);
    size_t end = kExcerptBytes;
    while (end > 0 && Continues(text[end]))
        --end;
    return Printable(text.substr(0, end)) + "...";
}

std::string PathExcerpt(const std::string& path)
{
    if (path.size() <= kPathExcerptBytes)
        return Printable(path);
    size_t start = path.size() - kPathExcerptBytes;
    while (start < path.size() && Continues(path[start]))
        ++start;
    return "..." + Printable(path.substr(start));
}

}  // namespace Host
