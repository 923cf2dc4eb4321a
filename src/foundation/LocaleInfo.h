// The few facts of the user's locale that the system formats and parses by, taken once per
// process: decimal, list and time separators, the AM and PM symbols and the clock style.
// Formula texts always write numbers with '.', but messages show them in the user's form, and
// the report separates its fields with the list separator.
#pragma once

#include <atomic>

namespace CF {
struct LocaleFacts;
}

namespace KVD {
class String;
}

class LocaleInfo {
public:
    // The current locale's facts (CF::CurrentLocaleFacts).
    LocaleInfo();
    explicit LocaleInfo(const CF::LocaleFacts& facts);
    virtual ~LocaleInfo() = default;

    // The process-wide instance, made on first use and kept until exit.
    static LocaleInfo* InitTheLocaleInfo();
    static std::atomic<LocaleInfo*> sTheLocaleInfo;

    // A copy of text in which every '.' becomes the decimal separator and every ',' the list
    // separator (the decimal separator when commaToDecimal is set).
    KVD::String DoLocalizeNumString(const KVD::String& text, bool commaToDecimal) const;
    // DoLocalizeNumString(text, false) on the process-wide instance.
    static KVD::String LocalizeNumString(const KVD::String& text);

    const wchar_t* DecimalSeparator() const { return mDecimalSeparator; }
    const wchar_t* TimeSeparator() const { return mTimeSeparator; }
    const wchar_t* ListSeparator() const { return mListSeparator; }
    const wchar_t* AMSymbol() const { return mAMSymbol; }
    const wchar_t* PMSymbol() const { return mPMSymbol; }
    bool Uses24HourClock() const { return m24HourClock; }

    // True when a short time pattern writes no 12-hour hour: none of "h", "K", "%1I", "%I"
    // outside its quoted literal text.
    static bool Is24HourPattern(const wchar_t* pattern);

private:
    wchar_t mDecimalSeparator[8];
    wchar_t mTimeSeparator[8];
    wchar_t mListSeparator[8];
    wchar_t mAMSymbol[16];
    wchar_t mPMSymbol[16];
    bool m24HourClock;
};
