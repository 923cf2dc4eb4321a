// A file named by its path, built up component by component (the platform's file URL).
#pragma once

#include <string>

namespace KVD {

class Path {
public:
    Path() = default;
    // A path given as UTF-8 bytes; bytes that are not UTF-8 give an empty path.
    explicit Path(const std::string& utf8);

    bool empty() const { return mPath.empty(); }
    // The path in the file system's 8-bit representation.
    const std::string& FileSystemRepresentation() const { return mPath; }

    // Appends other as a path component; an empty path takes other whole, an empty other
    // changes nothing.
    Path& operator/=(const Path& other);

private:
    std::string mPath;
};

}  // namespace KVD
