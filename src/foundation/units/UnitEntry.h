// A unit record as a COM object, so that a unit crosses interfaces (IUnitName) and is stored in
// records (IPersistObject). It starts with no reference: its holders add them.
#pragma once

#include "IPersistObject.h"
#include "foundation/UnknownImp.h"
#include "foundation/units/UnitInfo.h"

namespace KVD {

// Type index of a stored unit name within GUID_OrrelObjects.
constexpr unsigned kOrrelObject_UnitName = 19;

class UnitEntry : public SimpleUnknownImp2<IUnitName, IPersistObject, 0l>, public UnitInfo {
public:
    UnitEntry() = default;
    explicit UnitEntry(const UnitInfo& unit) : UnitInfo(unit) {}

    // IUnitName
    HRESULT GetPrefix(UnitPrefix* out) override;
    HRESULT GetName(AutoBool withPrefix, IAutoKVDString** out) override;
    HRESULT GetFlags(uint32_t* out) override;
    HRESULT SetPrefix(UnitPrefix prefix) override;
    HRESULT SetName(IAutoKVDString* name) override;
    // The flags are a single switch: any non-zero value is stored as 1.
    HRESULT SetFlags(uint32_t flags) override;
    HRESULT Clone(IUnitName** out) override;

    // IPersistObject: failures of the stream all answer 0xF800400A.
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;
};

}  // namespace KVD
