#include "cf/TempFolder.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cf/Leftovers.h"

namespace CF {
namespace {

const char* const kScratchPrefix = "spiro-";

const char* Named()
{
    const char* named = std::getenv("TMPDIR");
    return named != nullptr && *named != '\0' ? named : nullptr;
}

// The process whose scratch name this is ("spiro-KIND-PID-..."); 0 for any other name.
pid_t Maker(const char* name)
{
    const size_t prefix = std::strlen(kScratchPrefix);
    if (std::strncmp(name, kScratchPrefix, prefix) != 0)
        return 0;
    const char* at = name + prefix;
    const char* const kind = at;
    while (*at >= 'a' && *at <= 'z')
        ++at;
    if (at == kind || *at++ != '-' || *at < '1' || *at > '9')
        return 0;
    char* end = nullptr;
    const long maker = std::strtol(at, &end, 10);
    return *end == '-' && maker > 0 && maker == pid_t(maker) ? pid_t(maker) : 0;
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

std::string ScratchPattern(const std::string& folder, const std::string& kind, const std::string& suffix)
{
    return folder + "/" + kScratchPrefix + kind + "-" + std::to_string(getpid()) + "-XXXXXX" + suffix;
}

void RemoveOrphans(const std::string& folder)
{
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr)
        return;
    while (dirent* entry = readdir(listing)) {
        const pid_t maker = Maker(entry->d_name);
        if (maker > 0 && kill(maker, 0) != 0 && errno == ESRCH)
            Leftovers::RemoveTree((folder + "/" + entry->d_name).c_str());
    }
    closedir(listing);
}

}  // namespace CF
