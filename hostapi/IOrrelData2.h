// The host's data object of a document, handed to every calculation enumerator at creation.
// The calculation library only passes it on and asks it for other interfaces (IRecordData and
// IOrrelSetCalcData of the same data).
#pragma once

#include "IUnknown.h"

struct IRecordData;

// E9751DAA-4452-424D-8830-BE05D4FF113E
inline constexpr _IID IID_IOrrelData2 = {0xE9751DAA, 0x4452, 0x424D, {0x88, 0x30, 0xBE, 0x05, 0xD4, 0xFF, 0x11, 0x3E}};

struct IOrrelData2 : IUnknown {
    virtual HRESULT GetRecordData(IRecordData** records) = 0;                             // slot 3
};
KVD_INTERFACE_ID(IOrrelData2, IID_IOrrelData2);
