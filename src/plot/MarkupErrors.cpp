#include "plot/MarkupErrors.h"

#include <algorithm>
#include <locale>

namespace Lumo {
namespace Impl {
namespace {

// Back over blanks, then over a comment on the same line, until neither moves.
std::string::size_type EndOfWrittenText(const std::string& text, std::string::size_type position)
{
    const std::locale locale;
    const auto isBlank = [&locale](char c) { return std::isspace(c, locale); };
    while (SearchBack(text, position, isBlank) && BackOverComment(text, position, "//", "\n")) {
    }
    return position;
}

}  // namespace

bool SearchBack(const std::string& text, std::string::size_type& position, const std::function<bool(char)>& predicate)
{
    std::string::size_type moved = std::min(position, text.size());
    while (moved > 0) {
        const unsigned char before = static_cast<unsigned char>(text[moved - 1]);
        if (before >= 0x80 || !predicate(static_cast<char>(before)))
            break;
        --moved;
    }
    if (moved == 0)
        return false;
    position = moved;
    return true;
}

bool BackOverComment(const std::string& text, std::string::size_type& position, const std::string& commentMark,
                     const std::string& lineBreak)
{
    if (position == 0)
        return false;
    const std::string::size_type lineStart = text.rfind(lineBreak, position - 1);
    if (lineStart == std::string::npos)
        return false;
    const std::string::size_type mark = text.find_first_of(commentMark, lineStart);
    if (mark == std::string::npos || mark >= position)
        return false;
    position = mark;
    return true;
}

void FormatErrMsg(const std::string& text, const std::string& message, std::string::size_type position,
                  std::string& error, int& line)
{
    position = EndOfWrittenText(text, std::min(position, text.size()));
    line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + position, '\n'));
    const std::string::size_type lineBreak = position == 0 ? std::string::npos : text.rfind('\n', position - 1);
    const std::string::size_type lineStart = lineBreak == std::string::npos ? 0 : lineBreak + 1;
    std::string::size_type lineEnd = text.find('\n', position);
    if (lineEnd == std::string::npos)
        lineEnd = text.size();
    error = message + " on line " + std::to_string(line) + ": " + text.substr(lineStart, position - lineStart) + "_" +
            text.substr(position, lineEnd - position);
}

}  // namespace Impl
}  // namespace Lumo
