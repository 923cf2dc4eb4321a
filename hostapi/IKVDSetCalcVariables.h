// Hands an enumerator the calculation-variables object; the enumerator bases pass every
// QueryInterface they cannot answer on to it.
#pragma once

#include "IUnknown.h"

// CDD7D614-E530-4D9A-B2BF-E6A99AD85562
inline constexpr _IID IID_IKVDSetCalcVariables = {0xCDD7D614, 0xE530, 0x4D9A, {0xB2, 0xBF, 0xE6, 0xA9, 0x9A, 0xD8, 0x55, 0x62}};

struct IKVDSetCalcVariables : IUnknown {
    virtual HRESULT SetCalcVariables(uint32_t flags, IUnknown* variables) = 0;  // slot 3
};
KVD_INTERFACE_ID(IKVDSetCalcVariables, IID_IKVDSetCalcVariables);
