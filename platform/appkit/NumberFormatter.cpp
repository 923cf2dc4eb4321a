#include "appkit/NumberFormatter.h"

#include <cctype>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "cf/Locale.h"

namespace AppKit {

std::string NumberFormatter::DecimalSeparator() const
{
    if (!mSeparator.empty())
        return mSeparator;
    const std::string separator = CF::CurrentLocaleFacts().decimalSeparator;
    return separator.empty() ? "." : separator;
}

std::string NumberFormatter::StringFromNumber(double value) const
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : value > 0 ? "+\u221E" : "-\u221E";
    const int digits = mStyle == Style::None ? 0 : mMaxFraction;
    // The classic locale whatever the process's: printf rounds the exact binary value to
    // nearest, ties to even, and writes ".".
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(digits) << value;
    std::string text = out.str();
    const auto dot = text.find('.');
    if (dot != std::string::npos) {
        size_t keep = text.size();
        while (keep > dot + 1 + size_t(mMinFraction) && text[keep - 1] == '0')
            --keep;
        if (keep == dot + 1)
            keep = dot;
        text.resize(keep);
    }
    if (text == "-0")
        text = "0";
    const auto point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, DecimalSeparator());
    return text;
}

bool NumberFormatter::NumberFromString(const std::string& text, double* value) const
{
    if (text.size() > kLongestNumber)
        return false;
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::string classic = text.substr(begin, end - begin);
    const std::string separator = DecimalSeparator();
    if (separator != "." && classic.find('.') != std::string::npos)
        return false;  // a grouping mark, or another locale's separator
    const auto at = classic.find(separator);
    if (at != std::string::npos)
        classic.replace(at, separator.size(), ".");
    // Only what a decimal number is made of: no hex, "inf" or "nan".
    for (char c : classic)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
            return false;
    if (classic.empty() || classic.find_first_of("0123456789") == std::string::npos)
        return false;
    std::istringstream in(classic);
    in.imbue(std::locale::classic());
    double parsed = 0;
    if (!(in >> parsed) || in.peek() != std::char_traits<char>::eof() || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

}  // namespace AppKit
