#include "foundation/units/PrefixedUnit.h"

#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace KVD {
namespace Utility {

UnitPrefix PrefixedUnit::getUnitPrefix() const
{
    switch (mPrefixChar) {
    case 0: return kUnitPrefixNone;
    case L'a': return kUnitPrefixAtto;
    case L'f': return kUnitPrefixFemto;
    case L'p': return kUnitPrefixPico;
    case L'n': return kUnitPrefixNano;
    case L'u':
    case kMicroSign: return kUnitPrefixMicro;
    case L'm': return kUnitPrefixMilli;
    case L'k': return kUnitPrefixKilo;
    case L'M': return kUnitPrefixMega;
    case L'G': return kUnitPrefixGiga;
    default: return kUnitPrefixUnknown;
    }
}

IUnitName* PrefixedUnit::GetIUnitName() const
{
    using UnitsClass =
        ObjectFactoryClassObjectAccessor<IUnitsConversionClass, TypeIdClass<&GUID_KVDUnits, kKVDUnits_ConversionClass>>;
    IUnitsConversionClass* units = UnitsClass::Get();
    if (units == nullptr)
        return nullptr;
    COMPtr<IUnitName> name;
    if (units->CreateUnitName(getUnitPrefix(), mUnitText.AsIAutoKVDString(), 0, name.Set()) != KVD_S_OK)
        return nullptr;
    return name.Forget();
}

}  // namespace Utility
}  // namespace KVD
