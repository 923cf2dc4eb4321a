// Tells the formula-driven composite enumerator which channel it computes.
#pragma once

#include "IUnknown.h"

// 3FECB386-FED2-4231-9525-2E5FE0BD33A5
inline constexpr _IID IID_IKVDCompositeCalcEnum = {0x3FECB386, 0xFED2, 0x4231, {0x95, 0x25, 0x2E, 0x5F, 0xE0, 0xBD, 0x33, 0xA5}};

struct IKVDCompositeCalcEnum : IUnknown {
    virtual HRESULT SetResultChan(uint32_t flags, TChannelId channel) = 0;  // slot 3
};
KVD_INTERFACE_ID(IKVDCompositeCalcEnum, IID_IKVDCompositeCalcEnum);
