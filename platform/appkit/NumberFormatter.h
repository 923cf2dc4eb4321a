// A number formatter of text fields: decimal style without digit grouping, the locale's
// decimal separator, at most a number of fraction digits, rounded half to even.
#pragma once

#include <cstddef>
#include <string>

namespace AppKit {

class NumberFormatter {
public:
    enum class Style { None, Decimal };

    Style GetStyle() const { return mStyle; }
    void SetStyle(Style style) { mStyle = style; }
    int MaximumFractionDigits() const { return mMaxFraction; }
    void SetMaximumFractionDigits(int digits) { mMaxFraction = digits < 0 ? 0 : digits; }
    int MinimumFractionDigits() const { return mMinFraction; }
    void SetMinimumFractionDigits(int digits) { mMinFraction = digits < 0 ? 0 : digits; }
    bool UsesSignificantDigits() const { return false; }
    // The separator written and read; the current locale's unless set.
    std::string DecimalSeparator() const;
    void SetDecimalSeparator(const std::string& separator) { mSeparator = separator; }

    // 1.23456 gives "1.2346"; 0.125 with two digits gives "0.12"; no grouping; Style::None
    // writes whole numbers only.
    std::string StringFromNumber(double value) const;
    // The number of the text: an optional sign, digits with at most one separator, an
    // optional exponent; spaces around are allowed. False for anything else (grouping,
    // letters, an empty text, infinities, not-a-number), and for a text longer than
    // kLongestNumber: a field reads its text on every key, which must not cost the text's
    // length each time.
    bool NumberFromString(const std::string& text, double* value) const;
    // Room for every finite double written out in full, with spaces around.
    static constexpr size_t kLongestNumber = 1100;

private:
    Style mStyle = Style::Decimal;
    int mMaxFraction = 3;
    int mMinFraction = 0;
    std::string mSeparator;
};

}  // namespace AppKit
