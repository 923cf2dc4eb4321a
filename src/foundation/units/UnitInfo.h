// A physical unit as the system stores it: an SI prefix index and the unit's name without the
// prefix ("mV" is milli and "V"), with a flags word. A plain record: its fields are its interface.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/units/UnitPrefix.h"

struct IBinInStream;
struct IBinOutStream;

struct UnitPrefixInfo {
    uint32_t mFlags = 0;
    UnitPrefix mPrefix = kUnitPrefixNone;
};

namespace KVD {

struct UnitInfo : UnitPrefixInfo {
    // Volts, the unit of raw recorded signals.
    static const UnitInfo kDefaultUnit;
    // No unit at all; also what a default-constructed record holds.
    static const UnitInfo kEmptyUnit;

    UnitInfo() = default;
    UnitInfo(uint32_t flags, UnitPrefix prefix, const String& name);

    // With the prefix, the prefix letter (if any) followed by the name; without, the name.
    String GetUnitName(bool withPrefix) const;

    // Persisted form: u32 prefix, the name as a stream string, u32 flags. Both answer the
    // stream's state afterwards: 0 while it is good.
    HRESULT writeHr(IBinOutStream* out) const;
    // The record changes only when the whole form was read; otherwise the first failure
    // (0xF800400A, or 0xF8008003 for a corrupt string) is answered.
    HRESULT readHr(IBinInStream* in);

    String mName;
};

}  // namespace KVD
