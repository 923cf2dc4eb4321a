// The host's units-conversion class object: registered under the type id of GUID_KVDUnits with
// index 0, it makes the unit-name objects that the plug-in asks for by prefix and name.
#pragma once

#include "IFramework.h"
#include "IUnitsConversion.h"
#include "foundation/UnknownImp.h"

namespace Host {

class Framework;

// The instance lives as long as the process.
class UnitsConversionClass : public KVD::StaticUnknown<ICAFClassObject, IUnitsConversionClass> {
public:
    // Registers the process's one instance with the framework's object factory.
    static void Register(Framework& framework);

    // ICAFClassObject
    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    HRESULT IsInCategoryHR(const _IID* category) override;

    // IUnitsConversionClass: a prefix index outside the prefix table is refused (0xF800400A).
    HRESULT CreateUnitName(UnitPrefix prefix, IAutoKVDString* name, uint32_t flags, IUnitName** out) override;

private:
    explicit UnitsConversionClass(TCAFId typeId) : mTypeId(typeId) {}

    TCAFId mTypeId;
};

}  // namespace Host
