#include "cf/Leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace CF {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A remembered path: taken by the owner's thread, then set once its path is whole, so that the
// handler reads only whole paths.
enum SlotState : int { kFree, kTaken, kSet };
struct Slot {
    std::atomic<int> state{kFree};
    std::atomic<pid_t> group{0};
    char path[PATH_MAX];
};
constexpr int kSlots = 8;
Slot gSlots[kSlots];

std::atomic<pid_t> gProcess{0};  // the process that installed the handler
std::atomic<pid_t> gOwner{0};    // and its thread that handles the signals

// Deep enough for a browser's profile; each level takes a little of the stack.
constexpr int kMaxDepth = 32;

pid_t ThreadId() { return pid_t(syscall(SYS_gettid)); }

bool RemoveAt(int folder, const char* name, int depth);

// Removes what the folder open at fd holds, reading it again while a pass removes something:
// entries removed while it is read may hide others from that pass.
void Empty(int fd, int depth)
{
    alignas(dirent64) char buffer[2048];
    for (bool removed = true; removed;) {
        removed = false;
        if (lseek(fd, 0, SEEK_SET) != 0)
            return;
        for (ssize_t size; (size = getdents64(fd, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < size;) {
                const dirent64* entry = reinterpret_cast<const dirent64*>(buffer + at);
                at += entry->d_reclen;
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    removed = RemoveAt(fd, entry->d_name, depth) || removed;
            }
    }
}

bool RemoveAt(int folder, const char* name, int depth)
{
    if (unlinkat(folder, name, 0) == 0 || errno == ENOENT)
        return true;
    if (errno != EISDIR || depth >= kMaxDepth)
        return false;
    const int fd = openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    Empty(fd, depth + 1);
    ::close(fd);
    return unlinkat(folder, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
}

void EndBy(int signal)
{
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);  // held until the handler returns, then it ends the process
}

void Handle(int signal)
{
    const int saved = errno;
    if (getpid() != gProcess.load()) {  // a child not yet running its program
        EndBy(signal);
        return;
    }
    // To the owner's thread, unless it has ended: then here.
    if (ThreadId() != gOwner.load() && syscall(SYS_tgkill, gProcess.load(), gOwner.load(), signal) == 0) {
        errno = saved;
        return;
    }
    for (Slot& slot : gSlots)
        if (const pid_t group = slot.group.load(); slot.state.load() == kSet && group > 0)
            Leftovers::KillGroup(group);
    for (Slot& slot : gSlots)
        if (slot.state.load() == kSet)
            Leftovers::RemoveTree(slot.path);
    EndBy(signal);
}

void Install()
{
    gProcess = getpid();
    gOwner = ThreadId();
    struct sigaction handler = {};
    handler.sa_handler = Handle;
    handler.sa_flags = SA_RESTART;
    sigemptyset(&handler.sa_mask);
    for (const int signal : kSignals)
        sigaddset(&handler.sa_mask, signal);
    for (const int signal : kSignals) {
        struct sigaction was = {};
        if (sigaction(signal, nullptr, &was) == 0 && !(was.sa_flags & SA_SIGINFO) && was.sa_handler == SIG_DFL)
            sigaction(signal, &handler, nullptr);
    }
}

}  // namespace

int Leftovers::Remember(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return kNone;
    for (int id = 0; id < kSlots; ++id) {
        int free = kFree;
        if (!gSlots[id].state.compare_exchange_strong(free, kTaken))
            continue;
        std::memcpy(gSlots[id].path, path.c_str(), path.size() + 1);
        gSlots[id].group = 0;
        gSlots[id].state = kSet;
        return id;
    }
    return kNone;
}

void Leftovers::SetGroup(int id, pid_t group)
{
    if (id != kNone)
        gSlots[id].group = group;
}

void Leftovers::Forget(int id)
{
    if (id != kNone)
        gSlots[id].state = kFree;
}

bool Leftovers::RemoveTree(const char* path) { return RemoveAt(AT_FDCWD, path, 0); }

void Leftovers::RemoveContents(int fd) { Empty(fd, 1); }

void Leftovers::KillGroup(pid_t group)
{
    kill(-group, SIGKILL);
    waitpid(group, nullptr, 0);
}

SignalsHeld::SignalsHeld()
{
    static std::once_flag installed;
    std::call_once(installed, Install);
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kSignals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &mPrevious);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr); }

}  // namespace CF
