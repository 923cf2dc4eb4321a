// A file named by its platform path, or by nothing.
#pragma once

#include <string>
#include <sys/types.h>

namespace KVD {
class Path;
class String;
}

// What identifies an existing file system object.
struct FSRef {
    dev_t device;
    ino_t inode;
};

class KVDFileRef {
public:
    KVDFileRef() = default;
    explicit KVDFileRef(const KVD::Path& url);

    // The path of url, replacing the one held.
    void ImportURL(const KVD::Path& url);
    void ImportStringCompatibleRepresentation(const KVD::String& text);

    bool empty() const { return mPath.empty(); }
    // False when empty or when no file exists at the path.
    bool GetFSRef(FSRef& ref) const;
    // The path as UTF-8 allocated with malloc (the caller frees it); null when empty.
    char* CFURLCopyPath() const;
    const std::string& FileSystemRepresentation() const { return mPath; }

    // Expands a leading tilde and removes "." and ".." components.
    void MakeStandardPathName();

private:
    std::string mPath;
};
