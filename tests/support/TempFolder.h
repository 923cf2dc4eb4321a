// A folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>

namespace TestSupport {

// The names of what folder holds, sorted.
inline std::vector<std::string> EntryNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TempFolder {
public:
    TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}
    // One in base.
    explicit TempFolder(const std::filesystem::path& base)
    {
        std::string pattern = (base / "spiro-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            mPath = pattern;
    }
    ~TempFolder()
    {
        std::error_code error;
        if (!mPath.empty())
            std::filesystem::remove_all(mPath, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return mPath; }

    // Where a test makes a folder of its own for folders of given lengths, short ones included,
    // that one under a deep TMPDIR (a service's) has no room for: the temporary folder, or /tmp
    // where that is shorter.
    static std::filesystem::path ShortestBase()
    {
        const std::filesystem::path named = std::filesystem::temp_directory_path();
        return named.string().size() <= 4 ? named : "/tmp";
    }

    // Writes a file at a path relative to the folder, making the folders on the way.
    std::filesystem::path Write(const std::string& relative, const std::string& content) const
    {
        const auto path = mPath / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Makes a folder inside whose path is exactly length bytes long (at least the folder's
    // own and two more), as a deep TMPDIR is.
    std::filesystem::path MakeFolderOfLength(size_t length) const
    {
        std::string path = mPath.string();
        while (path.size() < length)
            path += "/" + std::string(std::min<size_t>(40, std::max<size_t>(1, length - path.size() - 1)), 'd');
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::filesystem::path mPath;
};

}  // namespace TestSupport
