// Offered by the host's data object: the calculation variables a channel's formulas may read.
#pragma once

#include "IKVDCalcVariables.h"

// 4CB51776-F155-4D41-B9D6-EFA21D996C83
inline constexpr _IID IID_IKVDCalcVariablesAccess = {0x4CB51776, 0xF155, 0x4D41, {0xB9, 0xD6, 0xEF, 0xA2, 0x1D, 0x99, 0x6C, 0x83}};

struct IKVDCalcVariablesAccess : IUnknown {
    // The variables of the channel (0xC000000080000000: the document's own), with a
    // reference; the data object keeps them for as long as it lives.
    virtual HRESULT GetCalcVariables(uint32_t flags, TChannelId channel, IKVDCalcVariables** out) = 0;  // slot 3
};
KVD_INTERFACE_ID(IKVDCalcVariablesAccess, IID_IKVDCalcVariablesAccess);
