#include "foundation/storage/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "cf/TempFolder.h"
#include "foundation/storage/KVDFileRef.h"

bool KVDFileManager::DeleteFile(const KVDFileRef& file)
{
    struct stat info;
    if (file.empty() || ::lstat(file.FileSystemRepresentation().c_str(), &info) != 0)
        return true;
    if (S_ISDIR(info.st_mode))
        return false;
    return ::unlink(file.FileSystemRepresentation().c_str()) == 0;
}

bool KVDFileManager::RenameFile(const KVDFileRef& from, const KVDFileRef& to)
{
    if (from.empty() || to.empty())
        return false;
    const char* source = from.FileSystemRepresentation().c_str();
    const char* target = to.FileSystemRepresentation().c_str();
    if (::renameat2(AT_FDCWD, source, AT_FDCWD, target, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: a new link fails when the name is taken.
    return ::link(source, target) == 0 && ::unlink(source) == 0;
}

bool KVDFileManager::DoesFileExist(const KVDFileRef& file)
{
    FSRef ref;
    return file.GetFSRef(ref);
}

namespace KVD {

Path FileSystem::MakeUniqueFile(const Path& dir, const String& prefix, const String& suffix)
{
    String prefixCopy = prefix;
    Path file = dir;
    file /= Path(std::string(prefixCopy.UTF8()) + "XXXXXXXX");
    std::string name = file.FileSystemRepresentation();
    size_t suffixLength = 0;
    if (!suffix.empty()) {
        String suffixCopy = suffix;
        std::string text = suffixCopy.UTF8();
        if (text[0] != '.')
            text = "." + text;
        name += text;
        suffixLength = text.size();
    }
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    int fd = ::mkstemps(buffer.data(), static_cast<int>(suffixLength));
    if (fd < 0)
        return Path();
    ::close(fd);
    return Path(buffer.data());
}

Path FileSystem::MakeUniqueTempFile(const String& prefix)
{
    return MakeUniqueFile(Path(CF::TempFolder()), prefix, String());
}

}  // namespace KVD
