// Whether a write would land on a file that the command reads, or on another of its outputs.
#pragma once

#include <string>

namespace Host {

// True when writing target (through SafeFile, which replaces the name and never follows a
// link there) would replace other: the same folder entry however the two are spelt, a name
// of the same file (a hard link, or other being a link to it), or the same standard stream
// (/dev/stdout and /dev/fd/1, say). other need not exist.
bool WritesOver(const std::string& target, const std::string& other);

}  // namespace Host
