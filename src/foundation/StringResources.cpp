#include "foundation/StringResources.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "cf/Bundle.h"
#include "foundation/KVDString.h"

namespace {

constexpr const char* kBundleFolderName = "Spirometry.bundle";

std::atomic<NSBundle*> gNamedBundle{nullptr};

void ReplaceAll(std::string& text, const std::string& token, const std::string& name)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + name.size()))
        text.replace(at, token.size(), name);
}

NSBundle* BundleBesideTheProgram()
{
    NSBundle* program = NSBundle::MainBundle();
    if (program == nullptr)
        return nullptr;
    const std::filesystem::path folder = program->BundlePath();
    for (const auto& candidate : {folder / kBundleFolderName, folder.parent_path() / kBundleFolderName})
        if (NSBundle* bundle = NSBundle::BundleWithPath(candidate.string()))
            return bundle;
    return nullptr;
}

NSBundle* FindMyBundle()
{
    if (NSBundle* own = NSBundle::BundleContaining(reinterpret_cast<const void*>(&FindMyBundle)))
        return own;
    if (const char* named = std::getenv("SPIRO_BUNDLE"))
        if (NSBundle* bundle = NSBundle::BundleWithPath(named))
            return bundle;
    return BundleBesideTheProgram();
}

}  // namespace

std::string KVDXMLStringGroupKey::EntryKey(int index) const
{
    return std::string(key) + "+" + std::to_string(index);
}

std::string ReplaceProductTokens(std::string text)
{
    ReplaceAll(text, "ORRELFORWINDOWS", "Vexorium");
    ReplaceAll(text, "ORREL", "Vexorium");
    ReplaceAll(text, "SIGNOVOX", "Signovox");
    ReplaceAll(text, "OEM", "Quorvantelsis");
    return text;
}

std::string GetStringFromStringsFile(NSBundle* bundle, const std::string& key, const std::string& table,
                                     bool replaceTokens)
{
    if (bundle == nullptr)
        bundle = NSBundle::MainBundle();
    if (bundle == nullptr)
        return key;
    std::string text = bundle->LocalizedStringForKey(key, table);
    return replaceTokens ? ReplaceProductTokens(std::move(text)) : text;
}

NSBundle* KVDGetMyBundle()
{
    static NSBundle* const found = FindMyBundle();
    NSBundle* named = gNamedBundle.load();
    return named != nullptr ? named : found;
}

void KVDSetMyBundle(NSBundle* bundle)
{
    gNamedBundle.store(bundle);
}

namespace KVD {

String::String(NSBundle* bundle, const KVDXMLStringKey& key, bool replaceTokens)
    : String(ToKVDString(GetStringFromStringsFile(bundle, key.key, key.table, replaceTokens)))
{
}

String::String(NSBundle* bundle, const KVDXMLStringGroupKey& group, int index, bool replaceTokens)
    : String(ToKVDString(GetStringFromStringsFile(bundle, group.EntryKey(index), group.table, replaceTokens)))
{
}

}  // namespace KVD
