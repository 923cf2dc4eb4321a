// How times are shown: relative to a start, as a time of day, in plain seconds or
// milliseconds, or as plain numbers in units. One packed word, as the host stores and passes it.
#pragma once

#include <cstdint>

#include "foundation/KVDString.h"

typedef uint32_t TimeDisplayMode;

// A date-time in seconds: the time, and a further number of seconds added to it when finite
// (not finite when unknown). A universal time of day uses both.
struct KVDTimeDate {
    double mTime;
    double mExtra;
};

class CTimeDisplayMode {
public:
    // Time origins (bits 0-7).
    static constexpr uint32_t kOriginRelativeToDate = 1;
    static constexpr uint32_t kOriginRelative = 2;
    static constexpr uint32_t kOriginTimeOfDay = 3;
    static constexpr uint32_t kOriginMask = 0xFF;

    static constexpr uint32_t kUnitsNotTime = 0x10000000;
    static constexpr uint32_t kMilliSeconds = 0x20000000;  // not for a time of day
    static constexpr uint32_t kUniversalTime = 0x40000000;
    static constexpr uint32_t kAlwaysSeconds = 0x80000000;

    CTimeDisplayMode() = default;
    CTimeDisplayMode(TimeDisplayMode mode) : mMode(mode) {}

    TimeDisplayMode Get() const { return mMode; }
    TimeDisplayMode& Set() { return mMode; }

    uint32_t GetTimeOrigin() const { return mMode & kOriginMask; }
    void SetUnitsNotTime(bool units);
    bool UnitsNotTime() const { return (mMode & kUnitsNotTime) != 0; }
    bool AlwaysSeconds() const { return (mMode & kAlwaysSeconds) != 0; }
    bool UseMilliSeconds() const { return (mMode & kMilliSeconds) != 0 && GetTimeOrigin() != kOriginTimeOfDay; }
    bool IsUT() const { return (mMode & kUniversalTime) != 0; }

    // The widest label any mode writes, for measuring label room.
    static KVD::String GetAbsoluteLongestLabelStr();

private:
    TimeDisplayMode mMode = kOriginRelative;
};
