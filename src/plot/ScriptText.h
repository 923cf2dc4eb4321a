// Pieces of page script written from host values: quoted strings, numbers and names.
#pragma once

#include <string>

namespace Lumo {

// Appends text as a single-quoted script string: backslash, single quote, carriage return and
// line feed are escaped, so that no text can end the string early or break the line.
void AppendQuoted(std::string& out, const std::string& text);

// Appends the shortest decimal text that reads back as the same double (locale-free, no digit
// groups). Non-finite values become NaN, Infinity and -Infinity, which a script can read.
void AppendNumber(std::string& out, double value);

// A name that a script accepts as an object key without quotes.
bool IsPlainIdentifier(const std::string& name);

}  // namespace Lumo
