// Pull-model stream of 16-bit recorded samples (a host stream; the plug-in only reads it).
#pragma once

#include "IEnumExBase.h"

// EE433FA9-350C-48A5-A374-525CFD2262FD
inline constexpr _IID IID_IEnumShortEx = {0xEE433FA9, 0x350C, 0x48A5, {0xA3, 0x74, 0x52, 0x5C, 0xFD, 0x22, 0x62, 0xFD}};

struct IEnumShortEx : IEnumExBase {
    // Same rules as IEnumFloatEx::Next, for 16-bit samples.
    virtual HRESULT Next(uint32_t count, int16_t* buffer, uint32_t* delivered) = 0;  // slot 8
};
KVD_INTERFACE_ID(IEnumShortEx, IID_IEnumShortEx);
