// The last few lines a process wrote, kept short whatever it writes: what a browser that exited
// said last, for the message that it exited. A fatal error that ended it (its log line's level
// FATAL) is what it said, whatever its helpers wrote after it (processor frequencies they could
// not read, pipes broken by its end).
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace Web {

class LastLines {
public:
    static constexpr size_t kLines = 3;
    static constexpr size_t kLineBytes = 240;  // of a line, the rest dropped

    void Take(const char* data, size_t size);
    // The last fatal error's line, else the lines kept, an unended one last; each without a
    // log line's "[...] " heading, joined by " / "; empty when nothing but blank lines came.
    std::string Text() const;

private:
    void EndLine();

    std::deque<std::string> mLines;
    std::string mLine;  // the line being written
    std::string mFatal;
};

}  // namespace Web
