#include "web/LastLines.h"

#include <algorithm>

namespace Web {
namespace {

// Without the heading of a browser's log line, "[pid:tid:time:LEVEL:file(line)] ".
std::string Said(const std::string& line)
{
    const size_t heading = line.size() > 1 && line[0] == '[' ? line.find("] ") : std::string::npos;
    return heading == std::string::npos ? line : line.substr(heading + 2);
}

}  // namespace

void LastLines::Take(const char* data, size_t size)
{
    for (const char* end = data + size; data != end; ++data) {
        if (*data == '\n')
            EndLine();
        else if (mLine.size() < kLineBytes)
            mLine.push_back(*data);
    }
}

void LastLines::EndLine()
{
    if (mLine.size() == kLineBytes) {  // cut: no character's first bytes alone at its end
        while (!mLine.empty() && (static_cast<unsigned char>(mLine.back()) & 0xC0) == 0x80)
            mLine.pop_back();
        if (!mLine.empty() && static_cast<unsigned char>(mLine.back()) >= 0xC0)
            mLine.pop_back();
    }
    const bool blank = std::all_of(mLine.begin(), mLine.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
    if (!blank)
        mLines.push_back(Said(mLine));
    if (mLines.size() > kLines)
        mLines.pop_front();
    mLine.clear();
}

std::string LastLines::Text() const
{
    LastLines whole = *this;
    whole.EndLine();
    std::string text;
    for (const std::string& line : whole.mLines)
        text += (text.empty() ? "" : " / ") + line;
    return text;
}

}  // namespace Web
