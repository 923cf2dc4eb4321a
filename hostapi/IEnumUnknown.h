// An enumerator of objects.
#pragma once

#include "IUnknown.h"

// 00000100-0000-0000-C000-000000000046
inline constexpr _IID IID_IEnumUnknown = {0x00000100, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IEnumUnknown : IUnknown {
    // Up to count objects, each with a reference; KVD_S_FALSE when fewer came.
    virtual HRESULT Next(uint32_t count, IUnknown** out, uint32_t* delivered) = 0;   // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                       // slot 4
    virtual HRESULT Reset() = 0;                                                    // slot 5
    virtual HRESULT Clone(IEnumUnknown** out) = 0;                                  // slot 6
};

KVD_INTERFACE_ID(IEnumUnknown, IID_IEnumUnknown);
