#include "host/framework/SameFile.h"

#include <climits>
#include <cstdlib>

#include <sys/stat.h>

#include <boost/filesystem/path.hpp>

#include "host/framework/OutputName.h"

namespace Host {
namespace {

// The folder of path, resolved, and the name in it: one spelling for one folder entry. Empty
// when the folder does not resolve (then nothing can be written there either).
std::string EntryOf(const std::string& path)
{
    const boost::filesystem::path p(path);
    std::string folder = p.parent_path().string();
    if (folder.empty())
        folder = ".";
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr)
        return {};
    return std::string(resolved) + "/" + p.filename().string();
}

}  // namespace

bool WritesOver(const std::string& target, const std::string& other)
{
    const OutputKind kind = OutputKindOf(target);
    if (StreamDescriptor(kind) >= 0 && OutputKindOf(other) == kind)
        return true;
    struct stat written {}, read {};
    // The target's own entry: a link there is replaced, so only what the link is counts for it;
    // other is read through its links.
    if (::lstat(target.c_str(), &written) == 0 && ::stat(other.c_str(), &read) == 0 &&
        written.st_dev == read.st_dev && written.st_ino == read.st_ino)
        return true;
    const std::string entry = EntryOf(target);
    return !entry.empty() && entry == EntryOf(other);
}

}  // namespace Host
