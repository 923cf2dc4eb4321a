#include "calc/CalcMessages.h"

#include <mutex>
#include <string>
#include <unordered_map>

#include "foundation/LocaleInfo.h"

namespace CalcParser {

const KVD::String& CalcText(const KVDXMLStringKey& key)
{
    static std::mutex lock;
    static auto* texts = new std::unordered_map<std::string, KVD::String>;  // kept until exit
    std::lock_guard<std::mutex> guard(lock);
    auto found = texts->find(key.key);
    if (found == texts->end())
        found = texts->emplace(key.key, KVD::String(KVDGetMyBundle(), key, true)).first;
    return found->second;
}

wchar_t ListSeparator()
{
    LocaleInfo* locale = LocaleInfo::sTheLocaleInfo.load();
    if (locale == nullptr)
        locale = LocaleInfo::InitTheLocaleInfo();
    return locale->ListSeparator()[0];
}

KVD::String LocalizeNumText(const KVD::String& text)
{
    return LocaleInfo::LocalizeNumString(text);
}

}  // namespace CalcParser
