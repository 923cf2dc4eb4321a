// The piece of a reader's input that its messages quote, so that a huge field (a 10 MB cell)
// gives a message a person can read.
#pragma once

#include <cstddef>
#include <string>

namespace Host {

// The most bytes of a field a message quotes.
constexpr size_t kExcerptBytes = 60;
// The most bytes of a path a message quotes.
constexpr size_t kPathExcerptBytes = 80;

// The text when it holds at most kExcerptBytes bytes, else its first ones (never part of a
// UTF-8 character) and "..."; bytes that are not printable (control characters) show as '?'.
std::string Excerpt(const std::string& text);

// A path as messages quote it: whole when it holds at most kPathExcerptBytes bytes, else "..."
// and its last ones (never part of a UTF-8 character), which name the file; bytes that are not
// printable show as in Excerpt.
std::string PathExcerpt(const std::string& path);

}  // namespace Host
