#include "foundation/units/LabelTime.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <iomanip>
#include <limits>
#include <sstream>

#include "foundation/LocaleInfo.h"

namespace {

constexpr double kSecondsEpsilon = 1e-6;

const LocaleInfo& TheLocale()
{
    LocaleInfo* info = LocaleInfo::sTheLocaleInfo.load();
    return info != nullptr ? *info : *LocaleInfo::InitTheLocaleInfo();
}

// Field values from doubles, clamped so that absurd times cannot overflow an int.
int32_t ToInt32(double value)
{
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(value, -kMax, kMax));
}

// Fixed notation with '.'; a value that rounds to zero is written unsigned, never as "-0.0".
std::wstring FixedText(double value, int decimals)
{
    if (decimals >= 0 && std::fabs(value) * std::pow(10.0, decimals) < 0.5)
        value = 0.0;
    if (std::isnan(value))
        value = std::fabs(value);
    std::wostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

// Drops the zeros at the end of a fraction but keeps one digit after the point ("2.00" gives
// "2.0"); a text without a point is an integer and stays whole ("100").
void TrimTrailingZeros(std::wstring& text)
{
    const std::size_t point = text.find(L'.');
    if (point == std::wstring::npos)
        return;
    std::size_t end = text.size();
    while (end > point + 2 && text[end - 1] == L'0')
        --end;
    text.erase(end);
}

// "5.0" gives "5".
void DropZeroFraction(std::wstring& text)
{
    const std::size_t n = text.size();
    if (n >= 2 && text[n - 2] == L'.' && text[n - 1] == L'0')
        text.erase(n - 2);
}

std::wstring Localized(std::wstring text, const LocaleInfo& locale)
{
    const std::size_t point = text.find(L'.');
    if (point != std::wstring::npos)
        text.replace(point, 1, locale.DecimalSeparator());
    return text;
}

// Whether the seconds as written have a single digit before the point, so that a clock form
// pads them to two. Deciding on the written text, not the value, keeps 9.997 shown with two
// places from becoming "010.00".
bool OneIntegerDigit(const std::wstring& seconds)
{
    std::size_t digits = 0;
    while (digits < seconds.size() && std::iswdigit(seconds[digits]))
        ++digits;
    return digits == 1;
}

}  // namespace

void LabelTime::Set(const TimeDisplayMode& mode, const KVDTimeDate& start, const KVDTimeDate& origin,
                    double seconds, bool given)
{
    mMode = CTimeDisplayMode(mode);
    mFormatFlags = 0;
    switch (mMode.GetTimeOrigin()) {
    case CTimeDisplayMode::kOriginRelativeToDate:
        mFormatFlags |= kRelative;
        if (!given) {
            if (std::isfinite(start.mExtra) && std::isfinite(origin.mExtra))
                seconds += (start.mTime + start.mExtra) - (origin.mTime + origin.mExtra);
            else
                seconds += start.mTime - origin.mTime;
        }
        break;
    case CTimeDisplayMode::kOriginRelative:
        mFormatFlags |= kRelative;
        break;
    case CTimeDisplayMode::kOriginTimeOfDay:
        if (!TheLocale().Uses24HourClock() && !mMode.IsUT())
            mFormatFlags |= kTwelveHourClock;
        if (!given) {
            seconds += start.mTime;
            if (mMode.IsUT() && std::isfinite(start.mExtra))
                seconds += start.mExtra;
        }
        break;
    default:
        return;  // an origin this code does not know leaves the label as it was
    }
    SetTimeFromSecs(seconds);
}

void LabelTime::SetTimeFromSecs(double seconds)
{
    if (mMode.UnitsNotTime()) {
        mSeconds = seconds;
        return;
    }
    mNegative = seconds < 0;
    SplitMagnitude(std::fabs(seconds));
}

void LabelTime::SplitMagnitude(double magnitude)
{
    // A correction left from an earlier value would falsify AsSeconds.
    mCorrection = 0.0;
    if (!std::isfinite(magnitude)) {  // shown as it is: "inf", "nan"
        mHours = mMinutes = 0;
        mSeconds = magnitude;
        return;
    }
    double s = std::fmod(magnitude, 60.0);
    if (mRoundMargin > 60.0 - s) {
        mCorrection = mNegative ? -(60.0 - s) : 60.0 - s;
        s = 0.0;
        magnitude += 0.75;  // carries the minute without nearing the next one
    }
    mMinutes = ToInt32(std::floor(std::fmod(magnitude / 60.0, 60.0)));
    mHours = ToInt32(std::floor(magnitude / 3600.0));
    mSeconds = s;
}

void LabelTime::SetDecPlaces(int places)
{
    mRoundMargin = places >= 0 ? 0.51 * std::pow(10.0, -places) : 0.0;
    if (places == mDecPlaces)
        return;
    mDecPlaces = places;
    SetTimeFromSecs(AsUnits());
}

double LabelTime::AsSeconds(unsigned flags) const
{
    const int32_t hours = (flags & kWrapHours) != 0 ? mHours % 24 : mHours;
    const double magnitude = (double(hours) * 60.0 + mMinutes) * 60.0 + mSeconds;
    // The correction is signed like the value: it applies after the sign.
    return (mNegative ? -magnitude : magnitude) - mCorrection;
}

double LabelTime::AsUnits() const
{
    return mMode.UnitsNotTime() ? mSeconds : AsSeconds(mFormatFlags);
}

LabelTime& LabelTime::operator+=(double step)
{
    if (mMode.UnitsNotTime()) {
        mSeconds += step;
        return *this;
    }
    if (mCorrection != 0.0) {
        mSeconds -= MagnitudeCorrection();
        mCorrection = 0.0;
    }
    mSeconds += mNegative ? -step : step;
    Carry();
    RoundUpNearMinute();
    return *this;
}

void LabelTime::Carry()
{
    double minutes = std::floor(mSeconds / 60.0);
    mSeconds -= minutes * 60.0;
    if (mSeconds >= 60.0) {  // a tiny negative borrowed a whole minute and rounded to 60
        mSeconds -= 60.0;
        minutes += 1.0;
    }
    if (minutes != 0.0)
        AddMinutes(minutes);
}

void LabelTime::AddMinutes(double minutes)
{
    double total = mMinutes + minutes;
    const double hours = std::floor(total / 60.0);
    total -= hours * 60.0;
    const double newHours = mHours + hours;
    if (newHours >= 0.0) {
        mMinutes = ToInt32(total);
        mHours = ToInt32(newHours);
        return;
    }
    // The value has crossed zero: rebuild it from its magnitude with the other sign.
    const double signedMagnitude = (newHours * 60.0 + total) * 60.0 + mSeconds;
    mNegative = !mNegative;
    SplitMagnitude(-signedMagnitude);
}

void LabelTime::RoundUpNearMinute()
{
    if (!(mRoundMargin > 60.0 - mSeconds))
        return;
    mCorrection = mNegative ? -(60.0 - mSeconds) : 60.0 - mSeconds;
    mSeconds = 0.0;
    if (++mMinutes == 60) {
        mMinutes = 0;
        ++mHours;
    }
}

std::wstring LabelTime::ClockText(unsigned flags, const std::wstring& seconds) const
{
    const LocaleInfo& locale = TheLocale();
    const wchar_t* separator = locale.TimeSeparator();
    const bool letters = (flags & kLetters) != 0;
    int32_t hours = (flags & kWrapHours) != 0 ? mHours % 24 : mHours;
    if ((flags & kTwelveHourClock) != 0)
        hours = hours % 12 == 0 ? 12 : hours % 12;
    const wchar_t* pad = OneIntegerDigit(seconds) ? L"0" : L"";

    std::wostringstream text;
    if (mNegative && !(mSeconds <= kSecondsEpsilon && mMinutes == 0 && mHours == 0))
        text << L'-';
    if ((flags & kAlwaysHMS) != 0 || (flags & kRelative) == 0) {
        text << hours << separator << std::setw(2) << std::setfill(L'0') << mMinutes << separator << pad;
    } else if (mHours != 0 || mMinutes != 0) {
        if (mHours != 0)
            text << hours << (letters ? L"h" : separator) << std::setw(2) << std::setfill(L'0');
        text << mMinutes << (letters ? L"m" : separator) << pad;
    }
    return text.str();
}

void LabelTime::Stream(std::wostream& out, unsigned flags) const
{
    const LocaleInfo& locale = TheLocale();
    const bool trim = (flags & kKeepTrailingZeros) == 0;
    if (mMode.UnitsNotTime()) {
        std::wstring number = FixedText(mSeconds, mDecPlaces);
        if (trim)
            TrimTrailingZeros(number);
        out << Localized(number, locale);
        return;
    }

    const unsigned effective =
        (flags & kRelative) != 0 ? flags & ~(kWrapHours | kTwelveHourClock) : flags | kWrapHours;
    const bool milliSeconds = mMode.UseMilliSeconds();
    const bool plainSeconds = !milliSeconds && mMode.AlwaysSeconds();
    std::wstring clock;
    std::wstring number;
    if (milliSeconds) {
        number = FixedText(AsSeconds(effective) * 1000.0, mDecPlaces);
    } else if (plainSeconds) {
        number = FixedText(AsSeconds(effective), mDecPlaces);
    } else {
        number = FixedText(mSeconds <= kSecondsEpsilon ? 0.0 : mSeconds, mDecPlaces);
        clock = ClockText(effective, number);
    }
    if (trim)
        TrimTrailingZeros(number);
    if ((effective & kAlwaysHMS) == 0)
        DropZeroFraction(number);

    out << clock << Localized(number, locale);
    if ((effective & kLetters) != 0)
        out << L's';
    if ((effective & kTwelveHourClock) != 0)
        out << L' ' << (mHours % 24 < 12 ? locale.AMSymbol() : locale.PMSymbol());
    if ((effective & kAppendUnits) != 0) {
        if (milliSeconds)
            out << L" ms";
        else if (plainSeconds || ((effective & kRelative) != 0 && mMinutes == 0 && mHours == 0))
            out << L" s";
    }
    if ((effective & kAppendUT) != 0 && mMode.IsUT() && (effective & kRelative) == 0)
        out << L" UT";
}

KVD::String LabelTime::str() const
{
    std::wostringstream out;
    Stream(out, mFormatFlags);
    return KVD::String(out.str());
}
