#include "calc/EEH3Enumerator.h"

#include <cwchar>

#include "foundation/units/UnitEntry.h"

namespace EEH3 {

IUnitName* NewOutputUnitName()
{
    return KVD::MakeCounted<KVD::UnitEntry>(KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(L"?"))).Forget();
}

SettingsFields SplitSettings(const KVD::String& text)
{
    const std::wstring all(text.c_str());
    SettingsFields fields;
    const size_t first = all.find(L'\t');
    if (first == std::wstring::npos)
        return fields;
    const size_t second = all.find(L'\t', first + 1);
    const std::wstring index = all.substr(first + 1, second == std::wstring::npos ? second : second - first - 1);
    wchar_t* end = nullptr;
    fields.index = std::wcstol(index.c_str(), &end, 10);
    fields.hasIndex = end != index.c_str();
    if (second != std::wstring::npos)
        fields.own = all.substr(second + 1);
    return fields;
}

}  // namespace EEH3
