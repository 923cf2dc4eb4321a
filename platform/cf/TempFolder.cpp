#include "cf/TempFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cf/Leftovers.h"

namespace CF {
namespace {

const char* const kScratchPrefix = "spiro-";
// The letters mkdtemp and mkstemps put in place of the pattern's XXXXXX.
constexpr size_t kRandomLength = 6;
// A process number of more digits is none.
constexpr size_t kMaxMakerDigits = 9;

struct Shape {
    const char* kind;
    const char* suffix;
    bool folder;
};

// By ScratchKind.
constexpr Shape kShapes[] = {
    {"chromium", "", true},
    {"browser", "", true},
    {"view", ".png", false},
    {"view", ".pdf", false},
};

const Shape& ShapeOf(ScratchKind kind) { return kShapes[int(kind)]; }

const char* Named()
{
    const char* named = std::getenv("TMPDIR");
    return named != nullptr && *named != '\0' ? named : nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsRandom(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The process that made the scratch thing of that shape named so; 0 when the name has another
// shape.
pid_t Maker(const std::string& name, const Shape& shape)
{
    const std::string start = std::string(kScratchPrefix) + shape.kind + "-";
    const size_t suffix = std::strlen(shape.suffix);
    if (name.compare(0, start.size(), start) != 0)
        return 0;
    const size_t digits = start.size();
    const size_t dash = std::find_if_not(name.begin() + digits, name.end(), IsDigit) - name.begin();
    if (dash == digits || dash - digits > kMaxMakerDigits || name[digits] == '0' ||
        name.size() != dash + 1 + kRandomLength + suffix || name[dash] != '-' ||
        !std::all_of(name.begin() + dash + 1, name.end() - suffix, IsRandom) ||
        name.compare(name.size() - suffix, suffix, shape.suffix) != 0)
        return 0;
    return pid_t(std::atol(name.c_str() + digits));
}

// No process of this namespace has the number. The lock is what tells that the maker has gone;
// this keeps, besides, what a running maker of an earlier build made without one.
bool NotRunning(pid_t maker) { return kill(maker, 0) != 0 && errno == ESRCH; }

bool SameThing(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Of the type the maker makes, and made by this user.
bool Made(const struct stat& named, bool folder)
{
    return (folder ? S_ISDIR(named.st_mode) : S_ISREG(named.st_mode)) && named.st_uid == geteuid();
}

// Removes the entry of folder when it is what its name says and its maker's lock can be taken.
// The lock is kept while it is removed, so that a maker that made it a moment ago, and has not
// yet locked it, finds it gone once it has.
void RemoveIfAbandoned(int folder, const char* name, bool isFolder)
{
    struct stat named {};
    if (fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !Made(named, isFolder))
        return;
    const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (isFolder ? O_DIRECTORY : 0));
    if (fd < 0)
        return;
    struct stat opened {};
    // The name still names what was opened and locked: nothing took its place meanwhile.
    if (fstat(fd, &opened) == 0 && SameThing(opened, named) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameThing(named, opened)) {
        if (isFolder)
            Leftovers::RemoveContents(fd);
        unlinkat(folder, name, isFolder ? AT_REMOVEDIR : 0);
    }
    ::close(fd);
}

}  // namespace

std::string TempFolder()
{
    const char* named = Named();
    return named != nullptr ? named : "/tmp";
}

std::string TempFolderText()
{
    return Named() != nullptr ? TempFolder() + " (TMPDIR)" : TempFolder();
}

std::string ScratchPattern(const std::string& folder, ScratchKind kind)
{
    const Shape& shape = ShapeOf(kind);
    return folder + "/" + kScratchPrefix + shape.kind + "-" + std::to_string(getpid()) + "-" +
           std::string(kRandomLength, 'X') + shape.suffix;
}

size_t ScratchSuffixLength(ScratchKind kind) { return std::strlen(ShapeOf(kind).suffix); }

bool IsScratchFolder(ScratchKind kind) { return ShapeOf(kind).folder; }

void RemoveOrphans(const std::string& folder)
{
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr)
        return;
    while (const dirent* entry = readdir(listing))
        for (const Shape& shape : kShapes)
            if (const pid_t maker = Maker(entry->d_name, shape); maker > 0 && NotRunning(maker))
                RemoveIfAbandoned(dirfd(listing), entry->d_name, shape.folder);
    closedir(listing);
}

}  // namespace CF
