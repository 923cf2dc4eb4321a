#include "host/calc/SettingsNumbers.h"

#include <cmath>
#include <cwctype>
#include <limits>
#include <locale>
#include <sstream>

namespace HostCalc {
namespace {

bool ReadNumber(std::wstring word, double& value)
{
    for (wchar_t& c : word)
        c = static_cast<wchar_t>(std::towlower(c));
    const bool negative = !word.empty() && word[0] == L'-';
    const std::wstring magnitude = (negative || (!word.empty() && word[0] == L'+')) ? word.substr(1) : word;
    if (magnitude == L"nan") {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (magnitude == L"inf" || magnitude == L"infinity") {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    std::wistringstream in(word);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && in.eof();
}

}  // namespace

bool ReadSettingsNumbers(const KVD::String& text, size_t minCount, size_t maxCount, std::vector<double>& numbers)
{
    numbers.clear();
    std::wistringstream words(text.c_str());
    std::wstring word;
    while (words >> word) {
        double value = 0.0;
        if (numbers.size() == maxCount || !ReadNumber(word, value))
            return false;
        numbers.push_back(value);
    }
    return numbers.size() >= minCount;
}

}  // namespace HostCalc
