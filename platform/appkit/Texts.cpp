#include "appkit/Texts.h"

#include "cf/Bundle.h"
#include "cf/ModulePath.h"

namespace AppKit {

std::string LocalizedText(const std::string& key)
{
    std::string (*const self)(const std::string&) = &LocalizedText;
    static NSBundle* const bundle =
        NSBundle::BundleWithPath(CF::ModuleFolderOf(reinterpret_cast<const void*>(self)) + "/AppKitResources");
    return bundle != nullptr ? bundle->LocalizedStringForKey(key, "AppKit.kvdstrings") : key;
}

std::string LocalizedText(const std::string& key, const std::vector<std::string>& arguments)
{
    std::string text = LocalizedText(key);
    for (size_t i = arguments.size(); i-- > 0;) {  // %10 before %1
        const std::string mark = "%" + std::to_string(i + 1);
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + arguments[i].size()))
            text.replace(at, mark.size(), arguments[i]);
    }
    return text;
}

}  // namespace AppKit
