#include "cf/Scratch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace CF {
namespace {

// Makes one under the pattern's name; false with errno set. fd is the file's descriptor, or the
// folder's, opened for its lock; -1 when a sweep took the folder before it was opened.
bool Create(std::string& pattern, ScratchKind kind, int& fd)
{
    if (!IsScratchFolder(kind)) {
        fd = mkostemps(pattern.data(), int(ScratchSuffixLength(kind)), O_CLOEXEC);
        return fd >= 0;
    }
    if (mkdtemp(pattern.data()) == nullptr)
        return false;
    fd = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 || errno == ENOENT)
        return true;
    const int error = errno;
    ::rmdir(pattern.c_str());
    errno = error;
    return false;
}

// Locks what fd opened at path; false, with errno set, when a sweep took it before the lock
// did (it removes what it locks while it holds the lock).
bool Lock(int fd, const std::string& path)
{
    // Where the file system takes no locks, no sweep takes one either.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat opened {}, named {};
    if (fstat(fd, &opened) != 0 || lstat(path.c_str(), &named) != 0)
        return false;
    errno = ENOENT;
    return opened.st_nlink > 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Names taken by sweeps before their locks before the making is given up.
constexpr int kTries = 5;

}  // namespace

bool Scratch::Make(const std::string& folder, ScratchKind kind)
{
    Remove();
    const SignalsHeld held;  // named and remembered at once
    for (int i = 0; i < kTries; ++i) {
        std::string path = ScratchPattern(folder, kind);
        int fd = -1;
        if (!Create(path, kind, fd))
            return false;
        if (fd >= 0 && Lock(fd, path)) {
            mPath = path;
            mLock = fd;
            mLeftover = Leftovers::Remember(mPath);
            return true;
        }
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        errno = error;
    }
    return false;
}

void Scratch::SetGroup(pid_t group) { Leftovers::SetGroup(mLeftover, group); }

void Scratch::Remove()
{
    if (!mPath.empty())
        Leftovers::RemoveTree(mPath.c_str());
    Leftovers::Forget(mLeftover);
    mLeftover = Leftovers::kNone;
    if (mLock >= 0)
        ::close(mLock);  // after the removal: locked for as long as it has its name
    mLock = -1;
    mPath.clear();
}

}  // namespace CF
