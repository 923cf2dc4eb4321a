// The facts of the user's locale that the system formats and parses by, taken from the C
// library's locale data.
#pragma once

#include <string>

namespace CF {

struct LocaleFacts {
    std::string decimalSeparator;  // UTF-8, as the locale writes it
    std::string amSymbol;          // may be empty: the locale has no 12-hour clock symbols
    std::string pmSymbol;
    // The short time format in date-format pattern letters: "HH:mm" (24-hour) or "hh:mm a".
    // h and K are 12-hour hours, H and k 24-hour hours, a the AM/PM symbol; quoted text
    // ('...') is literal.
    std::string shortTimePattern;
};

// The facts of the named C-library locale ("" is the one the environment selects: LC_ALL,
// LC_NUMERIC and LC_TIME, LANG). False when that locale is not installed.
bool LocaleFactsOf(const std::string& name, LocaleFacts* facts);

// The current locale's facts: those set with SetCurrentLocaleFacts, else the environment's
// locale, else the C locale.
LocaleFacts CurrentLocaleFacts();

// Fixes what CurrentLocaleFacts answers, so that tests and hosts can run under a chosen
// locale whatever the environment says; ResetCurrentLocaleFacts returns to the environment.
void SetCurrentLocaleFacts(const LocaleFacts& facts);
void ResetCurrentLocaleFacts();

// Converts a strftime time format ("%H:%M:%S", "%I:%M:%S %p", "%r" ...) to pattern letters
// without the seconds: the short time format. ampmFormat is what "%r" stands for.
std::string ShortTimePatternOf(const std::string& strftimeFormat, const std::string& ampmFormat);

}  // namespace CF
