#include "host/framework/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

namespace Host {
namespace {

constexpr int kStreams = 3;

bool& Filled(int fd)
{
    static bool filled[kStreams] = {};
    return filled[fd];
}

bool Open(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

}  // namespace

void FillClosedStreams()
{
    for (int fd = 0; fd < kStreams; ++fd) {
        if (Open(fd))
            continue;
        // Takes fd, the lowest free descriptor now that the lower ones are open. Read-only: a
        // stray write to it fails rather than vanishes.
        ::open("/dev/null", O_RDONLY);
        Filled(fd) = true;
    }
}

bool StreamOpen(int fd)
{
    return fd >= 0 && fd < kStreams && !Filled(fd) && Open(fd);
}

const char* StreamName(int fd)
{
    return fd == 1 ? "standard output" : "standard error";
}

}  // namespace Host
