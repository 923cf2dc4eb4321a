#include "host/framework/OutputName.h"

#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include <boost/filesystem/path.hpp>

namespace Host {
namespace {

// path resolved, or empty when some of it does not exist.
std::string Resolved(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? resolved : "";
}

bool Within(const std::string& path, const std::string& folder)
{
    return !folder.empty() && (path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0);
}

bool Digits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// This process's number as the folder of processes names it: what its "self" link names, which
// differs from getpid() where that folder belongs to another process-number namespace; getpid()
// where "self" names no number (a stand-in's folder).
std::string OwnNumber(const std::string& processes)
{
    const std::string self = boost::filesystem::path(Resolved(processes + "/self")).filename().string();
    return Digits(self) ? self : std::to_string(::getpid());
}

// Whether folder is this process's folder of descriptors under processes: its own, "self",
// "thread-self" (these two stay as spelt only in stand-ins) or one of its threads'.
bool OwnDescriptors(const std::string& folder, const std::string& processes)
{
    const std::string number = OwnNumber(processes);
    for (const std::string& own : {std::string("self"), std::string("thread-self"), number})
        if (folder == processes + "/" + own + "/fd")
            return true;
    const std::string task = processes + "/" + number + "/task/";
    const std::string end = "/fd";
    return folder.size() > task.size() + end.size() && folder.compare(0, task.size(), task) == 0 &&
           folder.compare(folder.size() - end.size(), end.size(), end) == 0 &&
           Digits(folder.substr(task.size(), folder.size() - task.size() - end.size()));
}

// Whether folder lies on the file system mounted at system, where system is a mount of its own
// (else it shares its parent's file system with everything else there): a bind mount of it.
bool OnMountOf(const std::string& folder, const std::string& system)
{
    struct stat at {}, mount {}, parent {};
    return ::stat(folder.c_str(), &at) == 0 && ::stat(system.c_str(), &mount) == 0 &&
           ::stat((system + "/..").c_str(), &parent) == 0 && at.st_dev == mount.st_dev &&
           mount.st_dev != parent.st_dev;
}

}  // namespace

OutputKind OutputKindOf(const std::string& target, const SystemFolders& system)
{
    const boost::filesystem::path path(target);
    const std::string folder = Resolved(path.has_parent_path() ? path.parent_path().string() : ".");
    if (folder.empty())
        return OutputKind::kFile;
    const std::string name = path.filename().string();
    const std::string devices = Resolved(system.devices), processes = Resolved(system.processes);
    // A folder of ordinary files, shared memory's, which the system puts under /dev.
    if (Within(folder, Resolved(system.devices + "/shm")))
        return OutputKind::kFile;
    if (!devices.empty() && folder == devices)
        return name == "stdout" ? OutputKind::kStandardOutput
               : name == "stderr" ? OutputKind::kStandardError
                                  : OutputKind::kSystem;
    if (!processes.empty() && OwnDescriptors(folder, processes))
        return name == "1" ? OutputKind::kStandardOutput : name == "2" ? OutputKind::kStandardError : OutputKind::kSystem;
    if (Within(folder, devices) || Within(folder, processes) || OnMountOf(folder, devices) ||
        OnMountOf(folder, processes))
        return OutputKind::kSystem;
    return OutputKind::kFile;
}

int StreamDescriptor(OutputKind kind)
{
    return kind == OutputKind::kStandardOutput ? STDOUT_FILENO : kind == OutputKind::kStandardError ? STDERR_FILENO : -1;
}

}  // namespace Host
