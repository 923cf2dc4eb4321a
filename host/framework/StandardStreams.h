// The standard streams a program was started without. A descriptor 0, 1 or 2 left closed is
// taken by the next file the process opens (a recording read, a log file, a scratch file), and
// what is meant for the stream would go into that file. spirohost fills each closed one with a
// placeholder that takes no write, before it opens anything, and notes which it filled: an
// output to such a stream is refused, never written into the placeholder or reported written.
#pragma once

namespace Host {

// Opens /dev/null read-only at each of descriptors 0, 1 and 2 that is closed, and notes it.
// Call it first, before anything opens a file.
void FillClosedStreams();

// Whether descriptor fd (1 or 2) is a stream this process may write to: open, and no
// placeholder of FillClosedStreams.
bool StreamOpen(int fd);

// "standard output" for 1, "standard error" for 2, as messages name them.
const char* StreamName(int fd);

}  // namespace Host
