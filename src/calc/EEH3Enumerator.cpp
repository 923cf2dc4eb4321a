#include "calc/EEH3Enumerator.h"

#include "foundation/units/UnitEntry.h"

namespace EEH3 {

IUnitName* NewOutputUnitName()
{
    auto* unit = new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(L"?")));
    unit->AddRef();
    return unit;
}

}  // namespace EEH3
