// What a sample source offers besides its samples when its plot shows texts: the label of a
// sample position (an x-axis category, the name of a clicked point).
#pragma once

#include "IKVDString.h"
#include "IUnknown.h"

namespace KVD {

// 7C2FEA73-1197-42B4-B613-835E2922A4D9
inline constexpr _IID IID_ILumoEnum = {0x7C2FEA73, 0x1197, 0x42B4, {0xB6, 0x13, 0x83, 0x5E, 0x29, 0x22, 0xA4, 0xD9}};

struct ILumoEnum : IUnknown {
    // The label of the sample at position; an empty text where there is none.
    virtual HRESULT GetLabelAt(int32_t position, IAutoKVDString** label) = 0;  // slot 3
};

}  // namespace KVD

KVD_INTERFACE_ID(KVD::ILumoEnum, KVD::IID_ILumoEnum);
