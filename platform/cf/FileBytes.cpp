#include "cf/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace CF {
namespace {

bool Failed(const std::string& path, const std::string& what, int error, std::string* out)
{
    if (out != nullptr)
        *out = path + ": " + what + (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
    return false;
}

constexpr char kDescriptorFolder[] = "/proc/self/fd/";

// A link to one of the process's own descriptors is the file the process opened, never one an
// attacker planted: it alone is followed.
bool IsDescriptorPath(const std::string& path)
{
    const size_t prefix = sizeof kDescriptorFolder - 1;
    return path.size() > prefix && path.compare(0, prefix, kDescriptorFolder) == 0 &&
           path.find_first_not_of("0123456789", prefix) == std::string::npos;
}

}  // namespace

int WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        size -= size_t(written);
    }
    return 0;
}

std::string DescriptorPath(int fd)
{
    return kDescriptorFolder + std::to_string(fd);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, std::string* error)
{
    // Non-blocking, so that a FIFO planted at the name cannot hold the open.
    const int noFollow = IsDescriptorPath(path) ? 0 : O_NOFOLLOW;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | noFollow | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return Failed(path, "cannot be opened for writing", errno, error);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return Failed(path, "not written: it is not a regular file", 0, error);
    }
    int failure = ::ftruncate(fd, 0) != 0 ? errno : WriteAll(fd, bytes.data(), bytes.size());
    if (failure != 0)
        (void)::ftruncate(fd, 0);  // nothing half written is left to be taken for the whole
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    return failure == 0 || Failed(path, "cannot be written", failure, error);
}

}  // namespace CF
