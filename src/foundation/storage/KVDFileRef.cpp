#include "foundation/storage/KVDFileRef.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "foundation/KVDString.h"
#include "foundation/storage/KVDPath.h"

KVDFileRef::KVDFileRef(const KVD::Path& url) { ImportURL(url); }

void KVDFileRef::ImportURL(const KVD::Path& url) { mPath = url.FileSystemRepresentation(); }

void KVDFileRef::ImportStringCompatibleRepresentation(const KVD::String& text)
{
    KVD::String copy = text;
    mPath = copy.UTF8();
}

bool KVDFileRef::GetFSRef(FSRef& ref) const
{
    struct stat info;
    if (empty() || ::stat(mPath.c_str(), &info) != 0)
        return false;
    ref = {info.st_dev, info.st_ino};
    return true;
}

char* KVDFileRef::CFURLCopyPath() const
{
    if (empty())
        return nullptr;
    char* copy = static_cast<char*>(std::malloc(mPath.size() + 1));
    if (copy != nullptr)
        std::memcpy(copy, mPath.c_str(), mPath.size() + 1);
    return copy;
}

void KVDFileRef::MakeStandardPathName()
{
    if (empty())
        return;
    if (mPath[0] == '~' && (mPath.size() == 1 || mPath[1] == '/')) {
        const char* home = std::getenv("HOME");
        if (home != nullptr)
            mPath = home + mPath.substr(1);
    }
    std::string standard = std::filesystem::path(mPath).lexically_normal().string();
    while (standard.size() > 1 && standard.back() == '/')
        standard.pop_back();
    mPath = standard;
}
