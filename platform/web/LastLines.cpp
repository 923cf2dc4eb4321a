#include "web/LastLines.h"

#include <algorithm>

namespace Web {
namespace {

// The length of a browser's log line's heading, "[pid:tid:time:LEVEL:file(line)] "; 0 for none.
size_t Heading(const std::string& line)
{
    const size_t end = line.size() > 1 && line[0] == '[' ? line.find("] ") : std::string::npos;
    return end == std::string::npos ? 0 : end + 2;
}

bool Fatal(const std::string& line)
{
    const size_t level = line.find(":FATAL:");
    return level != std::string::npos && level < Heading(line);
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
        mLines.push_back(mLine.substr(Heading(mLine)));
    if (!blank && Fatal(mLine))
        mFatal = mLines.back();
    if (mLines.size() > kLines)
        mLines.pop_front();
    mLine.clear();
}

std::string LastLines::Text() const
{
    LastLines whole = *this;
    whole.EndLine();
    if (!whole.mFatal.empty())
        return whole.mFatal;
    std::string text;
    for (const std::string& line : whole.mLines)
        text += (text.empty() ? "" : " / ") + line;
    return text;
}

}  // namespace Web
