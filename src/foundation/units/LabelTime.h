// One time label of a time axis or readout: the value split into hours, minutes and seconds
// within the minute, so that a label stepped many times does not drift, and written in the
// form the display mode and the format flags ask for, with the locale's separators.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "foundation/KVDString.h"
#include "foundation/units/TimeDisplayMode.h"

class LabelTime {
public:
    // Format flags.
    static constexpr uint32_t kLetters = 0x00080000;           // 1h05m05s
    static constexpr uint32_t kKeepTrailingZeros = 0x00100000;
    static constexpr uint32_t kAppendUT = 0x00200000;          // universal time of day
    static constexpr uint32_t kWrapHours = 0x02000000;         // hours modulo 24
    static constexpr uint32_t kTwelveHourClock = 0x04000000;   // with the locale's AM/PM text
    static constexpr uint32_t kAlwaysHMS = 0x08000000;         // and keep a final ".0"
    static constexpr uint32_t kAppendUnits = 0x10000000;       // " s" or " ms"
    static constexpr uint32_t kRelative = 0x20000000;

    LabelTime() = default;

    // Takes the mode and the label's value: seconds, shifted by the dates the origin needs
    // unless given says they are already in. Sets the relative and 12-hour flags; clears the rest.
    void Set(const TimeDisplayMode& mode, const KVDTimeDate& start, const KVDTimeDate& origin, double seconds,
             bool given);
    void SetTimeFromSecs(double seconds);
    // Also decides how close to a whole minute seconds round up to it.
    void SetDecPlaces(int places);

    uint32_t GetFormatFlags() const { return mFormatFlags; }
    void SetFormatFlags(uint32_t flags) { mFormatFlags = flags; }
    const CTimeDisplayMode& GetMode() const { return mMode; }

    double AsSeconds(unsigned flags) const;
    double AsUnits() const;

    LabelTime& operator+=(double step);

    void Stream(std::wostream& out, unsigned flags) const;
    KVD::String str() const;

private:
    // The fields of a magnitude, rounded up to the next minute when the seconds would print as 60.
    void SplitMagnitude(double magnitude);
    // Moves whole minutes out of the seconds and whole hours out of the minutes, both ways;
    // a borrow the hours cannot cover flips the sign.
    void Carry();
    void AddMinutes(double minutes);
    void RoundUpNearMinute();
    // The correction as it applies to the magnitude fields.
    double MagnitudeCorrection() const { return mNegative ? -mCorrection : mCorrection; }
    // The hours, minutes and separators in front of the seconds of a clock form.
    std::wstring ClockText(unsigned flags, const std::wstring& seconds) const;

    double mSeconds = 0.0;
    CTimeDisplayMode mMode;
    uint32_t mFormatFlags = 0;
    int32_t mMinutes = 0;
    int32_t mHours = 0;
    int32_t mDecPlaces = 0;
    double mRoundMargin = 0.51;  // that of no decimal places
    // What the rounding up to a minute added to the shown value; signed like the value.
    double mCorrection = 0.0;
    bool mNegative = false;
};
