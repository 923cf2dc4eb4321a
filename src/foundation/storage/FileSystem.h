// File operations on named files: deleting, renaming and testing them, and making new files
// under names nobody else has.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/storage/KVDPath.h"

class KVDFileRef;

class KVDFileManager {
public:
    // True when nothing is left at the path: an empty reference, a missing file, or a file
    // removed now. A directory is left alone (false).
    static bool DeleteFile(const KVDFileRef& file);
    // Never replaces a file at the new path.
    static bool RenameFile(const KVDFileRef& from, const KVDFileRef& to);
    static bool DoesFileExist(const KVDFileRef& file);
};

namespace KVD {

class FileSystem {
public:
    // A new empty file in dir named prefix, eight random characters and the suffix (after a
    // "." unless it starts with one); an empty path when none could be made.
    static Path MakeUniqueFile(const Path& dir, const String& prefix, const String& suffix);
    // The same in the user's temporary directory, without a suffix.
    static Path MakeUniqueTempFile(const String& prefix);
};

}  // namespace KVD
