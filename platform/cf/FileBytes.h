// How the platform puts bytes it made (a picture, a printed page, a pasteboard item) into a file
// named to it. Programs name the scratch file of their safe-write path here: the name, the
// flush to disk and the rename over the target are theirs. A write here is complete or
// reported: the file is opened without following a link (other than the name of one of the
// process's own descriptors, the only name an unnamed scratch file has) or waiting on a FIFO,
// must be a regular file, every write is checked, and a failed one leaves the file empty.
#pragma once

#include <cstddef>
#include <string>

namespace CF {

// Writes all of size bytes to fd, through interrupted and partial writes; the errno of a
// failure, else 0.
int WriteAll(int fd, const char* data, size_t size);

// The name through which the process opens its descriptor fd again, "/proc/self/fd/N": how
// writers that open a file by name reach a file that has no name in any folder.
std::string DescriptorPath(int fd);

// True when all of bytes are in the file; otherwise false, with the reason in *error.
bool WriteFileBytes(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace CF
