#include "calc/CalcEnumsStrings.h"

#include <filesystem>
#include <string>
#include <vector>

#include "cf/Bundle.h"

namespace CalcEnumsStrings {

namespace {

// The bundle that holds this code (the plug-in's); a program that links the library itself
// uses the bundle built beside it, or its own folder.
NSBundle* OwnBundle()
{
    static NSBundle* const bundle = []() -> NSBundle* {
        if (NSBundle* own = NSBundle::BundleContaining(reinterpret_cast<const void*>(&Load)))
            return own;
        NSBundle* program = NSBundle::MainBundle();
        if (program == nullptr)
            return nullptr;
        const std::filesystem::path folder = program->BundlePath();
        for (const auto& candidate : {folder / "Spirometry.bundle", folder.parent_path() / "Spirometry.bundle"})
            if (NSBundle* beside = NSBundle::BundleWithPath(candidate.string()))
                return beside;
        return program;
    }();
    return bundle;
}

}  // namespace

KVD::String Load(const wchar_t* key)
{
    NSBundle* bundle = OwnBundle();
    if (bundle == nullptr)
        return KVD::String(key);
    const std::string text = bundle->LocalizedStringForKey(KVD::ToU8String(KVD::String(key)), "CalcEnumsStr.kvdstrings");
    return KVD::ToKVDString(text);
}

KVD::String Format(const KVD::String& format, std::initializer_list<KVD::String> parameters)
{
    const std::vector<KVD::String> values(parameters);
    std::wstring out;
    const wchar_t* text = format.c_str();
    for (unsigned i = 0; i < format.length(); ++i) {
        if (text[i] == L'%' && i + 1 < format.length()) {
            const wchar_t next = text[i + 1];
            if (next == L'%') {
                out += L'%';
                ++i;
                continue;
            }
            const unsigned number = static_cast<unsigned>(next - L'0');
            if (next >= L'1' && next <= L'9' && number <= values.size()) {
                out += values[number - 1].c_str();
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return KVD::String(out);
}

}  // namespace CalcEnumsStrings
