// Enumerator of strings, each handed out with a reference.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

// 5A24D5DE-906A-4590-AB98-EA7F77AFF6D7
inline constexpr _IID IID_IEnumIAutoKVDString = {0x5A24D5DE, 0x906A, 0x4590, {0xAB, 0x98, 0xEA, 0x7F, 0x77, 0xAF, 0xF6, 0xD7}};

struct IEnumIAutoKVDString : IUnknown {
    // Up to count items; delivered may be null only when count is 1. 0xF8004001 when fewer came.
    virtual HRESULT Next(uint32_t count, IAutoKVDString** out, uint32_t* delivered) = 0;  // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                             // slot 4
    virtual HRESULT Reset() = 0;                                                          // slot 5
    virtual HRESULT Clone(IEnumIAutoKVDString** out) = 0;                                 // slot 6
};
KVD_INTERFACE_ID(IEnumIAutoKVDString, IID_IEnumIAutoKVDString);
