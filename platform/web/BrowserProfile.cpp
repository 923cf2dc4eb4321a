#include "web/BrowserProfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "cf/TempFolder.h"

namespace Web {
namespace {

// The folders of the profile that the browser's environment names.
const char* const kHome = "/home";
const char* const kRuntime = "/run";
const char* const kScratch = "/tmp";

// Where a short way to the scratch folder is made: short folders every system has.
const char* const kShortFolders[] = {"/tmp", "/dev/shm"};

}  // namespace

void BrowserProfile::SweepOrphans()
{
    CF::RemoveOrphans(CF::TempFolder());
    for (const char* folder : kShortFolders)
        if (folder != CF::TempFolder())
            CF::RemoveOrphans(folder);
}

bool BrowserProfile::Make(std::string& error)
{
    bool made = mFolder.Make(CF::TempFolder(), CF::ScratchKind::kProfile);
    for (const char* folder : {kHome, kRuntime, kScratch})
        made = made && mkdir((Folder() + folder).c_str(), 0700) == 0;
    if (!made) {
        error = "cannot make the browser's profile folder in " + CF::TempFolderText() + ": " + std::strerror(errno);
        return false;
    }
    mScratch = Folder() + kScratch;
    return mScratch.size() <= kMaxScratchPath || MakeLink(error);
}

bool BrowserProfile::MakeLink(std::string& error)
{
    char scratch[PATH_MAX];
    if (realpath(mScratch.c_str(), scratch) == nullptr) {  // a link made elsewhere needs its whole path
        error = "cannot find the browser's scratch folder " + mScratch + ": " + std::strerror(errno);
        return false;
    }
    int why = 0;
    for (const char* folder : kShortFolders) {
        if (!mLink.Make(folder, CF::ScratchKind::kLink)) {
            why = errno;
            continue;
        }
        const std::string link = mLink.Path() + kScratch;
        if (symlink(scratch, link.c_str()) == 0) {
            mScratch = link;
            return true;
        }
        why = errno;
        mLink.Remove();
    }
    const size_t room = kMaxScratchPath - std::min(kMaxScratchPath, mScratch.size() - CF::TempFolder().size());
    error = "the temporary folder " + CF::TempFolderText() + " is too long for the browser's sockets, whose paths " +
            "may take at most " + std::to_string(kMaxSocketPath) + " bytes: one of up to " + std::to_string(room) +
            " bytes leaves room for them; and no folder for a shorter way to them could be made in /tmp or " +
            "/dev/shm: " + std::strerror(why);
    return false;
}

void BrowserProfile::SetGroup(pid_t group) { mFolder.SetGroup(group); }

void BrowserProfile::Remove()
{
    mLink.Remove();
    mFolder.Remove();
    mScratch.clear();
}

std::vector<std::string> BrowserProfile::Environment() const
{
    const std::string home = Folder() + kHome;
    const std::pair<std::string, std::string> own[] = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + "/.config"},
        {"XDG_CACHE_HOME", home + "/.cache"},
        {"XDG_DATA_HOME", home + "/.local/share"},
        {"XDG_STATE_HOME", home + "/.local/state"},
        {"CHROME_CONFIG_HOME", home + "/.config"},
        {"XDG_RUNTIME_DIR", Folder() + kRuntime},
        {"TMPDIR", mScratch},
    };
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string name(*variable, std::strcspn(*variable, "="));
        if (std::none_of(std::begin(own), std::end(own), [&](const auto& o) { return o.first == name; }))
            variables.push_back(*variable);
    }
    for (const auto& [name, value] : own)
        variables.push_back(name + "=" + value);
    return variables;
}

}  // namespace Web
