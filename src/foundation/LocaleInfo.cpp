#include "foundation/LocaleInfo.h"

#include <cwchar>
#include <string>

#include "cf/Locale.h"
#include "foundation/BoundedCopy.h"
#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"

std::atomic<LocaleInfo*> LocaleInfo::sTheLocaleInfo{nullptr};

namespace {

// Copies as much of a UTF-8 text as fits, or the fallback when the text is empty.
template <std::size_t N>
void CopyFact(wchar_t (&field)[N], const std::string& utf8, const wchar_t* fallback)
{
    const std::wstring text = KVD::ToWString(utf8);
    wcsncpy_s(field, N, text.empty() ? fallback : text.c_str(), N - 1);
}

}  // namespace

LocaleInfo::LocaleInfo() : LocaleInfo(CF::CurrentLocaleFacts()) {}

LocaleInfo::LocaleInfo(const CF::LocaleFacts& facts)
{
    const std::wstring decimal = KVD::ToWString(facts.decimalSeparator);
    wcscpy_s(mDecimalSeparator, 8, decimal.size() == 1 ? decimal.c_str() : L".");
    wcscpy_s(mTimeSeparator, 8, L":");
    wcscpy_s(mListSeparator, 8, decimal == L"," ? L";" : L",");
    CopyFact(mAMSymbol, facts.amSymbol, L"AM");
    CopyFact(mPMSymbol, facts.pmSymbol, L"PM");
    m24HourClock = Is24HourPattern(KVD::ToWString(facts.shortTimePattern).c_str());
}

bool LocaleInfo::Is24HourPattern(const wchar_t* pattern)
{
    // Quoted text is literal: the 'h' of "HH 'h' mm" is no hour.
    std::wstring fields;
    bool quoted = false;
    for (const wchar_t* c = pattern; *c != L'\0'; ++c) {
        if (*c == L'\'')
            quoted = !quoted;
        else if (!quoted)
            fields += *c;
    }
    for (const wchar_t* twelveHour : {L"h", L"K", L"%1I", L"%I"})
        if (fields.find(twelveHour) != std::wstring::npos)
            return false;
    return true;
}

LocaleInfo* LocaleInfo::InitTheLocaleInfo()
{
    static LocaleInfo theLocaleInfo;
    sTheLocaleInfo.store(&theLocaleInfo);
    return &theLocaleInfo;
}

KVD::String LocaleInfo::DoLocalizeNumString(const KVD::String& text, bool commaToDecimal) const
{
    const wchar_t decimal = mDecimalSeparator[0];
    const wchar_t comma = commaToDecimal ? decimal : mListSeparator[0];
    KVD::String result(text);
    for (unsigned i = 0; i < result.length(); ++i) {
        const wchar_t c = result[i];
        const wchar_t localized = c == L'.' ? decimal : c == L',' ? comma : c;
        if (localized != c)
            result.SetAt(i, localized);  // the first change makes the copy exclusive
    }
    return result;
}

KVD::String LocaleInfo::LocalizeNumString(const KVD::String& text)
{
    LocaleInfo* info = sTheLocaleInfo.load();
    if (info == nullptr)
        info = InitTheLocaleInfo();
    return info->DoLocalizeNumString(text, false);
}
