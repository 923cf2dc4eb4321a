// Pull-model stream of float samples.
#pragma once

#include "IEnumExBase.h"

// B93EA2EB-E70F-4E7F-976E-8F054DC24BDE
inline constexpr _IID IID_IEnumFloatEx = {0xB93EA2EB, 0xE70F, 0x4E7F, {0x97, 0x6E, 0x8F, 0x05, 0x4D, 0xC2, 0x4B, 0xDE}};

struct IEnumFloatEx : IEnumExBase {
    // Writes up to count samples, sets delivered and advances by it. 0 when all count came;
    // otherwise the code the source gave for stopping short (what came is kept).
    virtual HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) = 0;  // slot 8
};
KVD_INTERFACE_ID(IEnumFloatEx, IID_IEnumFloatEx);
