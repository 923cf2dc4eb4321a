// Error positions and messages of the markup parser: the position where parsing stopped is
// moved back over blanks and comments to the end of what the author wrote, so that the message
// points at the line that needs the fix.
#pragma once

#include <functional>
#include <string>

namespace Lumo {
namespace Impl {

// Moves position back while the character before it satisfies predicate; a character of 0x80
// or above stops. False, position unchanged, when that would reach the start of the text.
bool SearchBack(const std::string& text, std::string::size_type& position, const std::function<bool(char)>& predicate);

// When the line holding position (not the first line) holds the comment mark's first
// character before position, moves position there and answers true.
bool BackOverComment(const std::string& text, std::string::size_type& position, const std::string& commentMark,
                     const std::string& lineBreak);

// Writes message + " on line " + line + ": " + the line's text with "_" at the moved-back
// position into error, and the line number into line.
void FormatErrMsg(const std::string& text, const std::string& message, std::string::size_type position,
                  std::string& error, int& line);

}  // namespace Impl
}  // namespace Lumo
