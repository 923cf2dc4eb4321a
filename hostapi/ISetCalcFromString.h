// The host's arithmetic calculation: a channel computed by a formula. Its settings object
// (type id of GUID_ArithCalcId, index 1, made through the object factory) takes the formula
// and the unit of the result as texts.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

// AE4DB4DB-2055-4F78-9F28-C64F1F8FE2B2: the arithmetic calculation class (index 0) and its
// settings (index 1)
inline constexpr _IID GUID_ArithCalcId = {0xAE4DB4DB, 0x2055, 0x4F78, {0x9F, 0x28, 0xC6, 0x4F, 0x1F, 0x8F, 0xE2, 0xB2}};
// 60067E0D-8E86-40A1-BE2E-9FAEF4625C9E
inline constexpr _IID IID_ISetCalcFromString = {0x60067E0D, 0x8E86, 0x40A1, {0xBE, 0x2E, 0x9F, 0xAE, 0xF4, 0x62, 0x5C, 0x9E}};

struct ISetCalcFromString : IUnknown {
    virtual HRESULT SetFromString(IAutoKVDString* expression, IAutoKVDString* units) = 0;  // slot 3
};
KVD_INTERFACE_ID(ISetCalcFromString, IID_ISetCalcFromString);
