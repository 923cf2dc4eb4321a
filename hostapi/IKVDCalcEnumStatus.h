// Why a calculation enumerator, or a calculation built on one, delivers no samples: the reason
// its last settings or sources failed, for the host to show instead of a bare result code.
#pragma once

#include "IKVDString.h"
#include "IUnknown.h"

// C53A1A2B-FC09-4D79-B612-8964CCB58664
inline constexpr _IID IID_IKVDCalcEnumStatus = {0xC53A1A2B, 0xFC09, 0x4D79, {0xB6, 0x12, 0x89, 0x64, 0xCC, 0xB5, 0x86, 0x64}};

struct IKVDCalcEnumStatus : IUnknown {
    // The reason the last settings or sources failed; an empty text when nothing failed.
    virtual HRESULT GetErrorText(IAutoKVDString** text) = 0;  // slot 3
};
KVD_INTERFACE_ID(IKVDCalcEnumStatus, IID_IKVDCalcEnumStatus);
