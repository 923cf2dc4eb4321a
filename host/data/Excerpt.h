// The piece of a reader's input that its messages quote, so that a huge field (a 10 MB cell)
// gives a message a person can read.
#pragma once

#include <cstddef>
#include <string>

namespace Host {

// The most bytes of a field a message quotes.
constexpr size_t kExcerptBytes = 60;

// The text when it holds at most kExcerptBytes bytes, else its first ones (never part of a
// UTF-8 character) and "..."; bytes that are not printable (control characters) show as '?'.
std::string Excerpt(const std::string& text);

}  // namespace Host
