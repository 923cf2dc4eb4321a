// A physical unit: an SI prefix index and a unit name.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;
enum UnitPrefix : uint32_t;  // the prefix index; its values belong to the units code

// 1E7D1996-3414-457A-BB68-B25018153572
inline constexpr _IID IID_IUnitName = {0x1E7D1996, 0x3414, 0x457A, {0xBB, 0x68, 0xB2, 0x50, 0x18, 0x15, 0x35, 0x72}};

struct IUnitName : IUnknown {
    virtual HRESULT GetPrefix(UnitPrefix* out) = 0;                            // slot 3
    virtual HRESULT GetName(AutoBool withPrefix, IAutoKVDString** out) = 0;    // slot 4
    virtual HRESULT GetFlags(uint32_t* out) = 0;                               // slot 5
    virtual HRESULT SetPrefix(UnitPrefix prefix) = 0;                          // slot 6
    virtual HRESULT SetName(IAutoKVDString* name) = 0;                         // slot 7
    virtual HRESULT SetFlags(uint32_t flags) = 0;                              // slot 8
    virtual HRESULT Clone(IUnitName** out) = 0;                                // slot 9
};
KVD_INTERFACE_ID(IUnitName, IID_IUnitName);
