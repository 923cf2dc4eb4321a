#include "cf/Bundle.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "cf/ModulePath.h"

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool IsFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string ExecutableFolder()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

}  // namespace

NSBundle::NSBundle(const std::string& folder) : mPath(folder)
{
    const fs::path resources = fs::path(folder) / "Resources";
    mResources = IsFolder(resources) ? resources.string() : folder;
}

NSBundle* NSBundle::BundleWithPath(const std::string& folder)
{
    // Bundles live as long as the process, like the loaded code they describe.
    static std::mutex lock;
    static auto& bundles = *new std::map<std::string, std::unique_ptr<NSBundle>>;
    std::error_code error;
    const fs::path canonical = fs::canonical(folder, error);
    if (error || !IsFolder(canonical))
        return nullptr;
    std::lock_guard<std::mutex> guard(lock);
    auto& bundle = bundles[canonical.string()];
    if (!bundle)
        bundle.reset(new NSBundle(canonical.string()));
    return bundle.get();
}

NSBundle* NSBundle::MainBundle()
{
    const std::string folder = ExecutableFolder();
    return folder.empty() ? nullptr : BundleWithPath(folder);
}

NSBundle* NSBundle::BundleContaining(const void* codeAddress)
{
    if (CF::ModulePathOf(codeAddress).empty())
        return nullptr;
    const std::string folder = CF::ModuleFolderOf(codeAddress);
    return IsFolder(fs::path(folder) / "Resources") ? BundleWithPath(folder) : nullptr;
}

std::string NSBundle::PathForResource(const std::string& name, const std::string& type) const
{
    const std::string file = type.empty() ? name : name + "." + type;
    std::vector<fs::path> folders{mResources};
    std::error_code error;
    std::vector<fs::path> subfolders;
    for (fs::directory_iterator it(mResources, error), end; !error && it != end; it.increment(error))
        if (IsFolder(it->path()))
            subfolders.push_back(it->path());
    std::sort(subfolders.begin(), subfolders.end());
    folders.insert(folders.end(), subfolders.begin(), subfolders.end());
    for (const auto& folder : folders)
        if (IsFile(folder / file))
            return (folder / file).string();
    return {};
}

std::string NSBundle::LocalizedStringForKey(const std::string& key, const std::string& table)
{
    std::lock_guard<std::mutex> guard(mTablesLock);
    auto found = mTables.find(table);
    if (found == mTables.end()) {
        const std::string path = PathForResource(table, "");
        found = mTables.emplace(table, path.empty() ? CF::StringTable() : CF::StringTable::Load(path)).first;
    }
    const std::string* text = found->second.Find(key);
    return text != nullptr ? *text : key;
}
