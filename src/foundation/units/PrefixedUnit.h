// A unit given as text ("L/s", "L") with an optional prefix character, turned into the host's
// unit-name object through the host's units-conversion class.
#pragma once

#include "IUnitsConversion.h"
#include "foundation/KVDString.h"
#include "foundation/units/UnitPrefix.h"

namespace KVD {
namespace Utility {

class PrefixedUnit {
public:
    explicit PrefixedUnit(const String& unitText) : mUnitText(unitText) {}

    void SetPrefixChar(wchar_t prefix) { mPrefixChar = prefix; }
    wchar_t GetPrefixChar() const { return mPrefixChar; }
    const String& GetUnitText() const { return mUnitText; }

    // The prefix index of the prefix character: 0 (none set) is kUnitPrefixNone, and a
    // character that names no prefix here (T, P and E among them) is kUnitPrefixUnknown.
    UnitPrefix getUnitPrefix() const;

    // The host's unit name for this unit, with one reference for the caller; null when the host
    // has no units-conversion class or makes none.
    IUnitName* GetIUnitName() const;

private:
    String mUnitText;
    wchar_t mPrefixChar = 0;
};

}  // namespace Utility
}  // namespace KVD
