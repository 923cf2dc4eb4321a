// The host's units-conversion class: found through the object factory under the type id of
// GUID_KVDUnits with index 0, it makes the unit-name objects that channels and calculations
// carry.
#pragma once

#include "IUnitName.h"

// 46C15837-3174-4CE3-951F-4D2809A9B86A: id group of the unit objects
inline constexpr _IID GUID_KVDUnits = {0x46C15837, 0x3174, 0x4CE3, {0x95, 0x1F, 0x4D, 0x28, 0x09, 0xA9, 0xB8, 0x6A}};
// 9CBB0334-FC0D-47ED-86F9-6B72586E8C10
inline constexpr _IID IID_IUnitsConversion = {0x9CBB0334, 0xFC0D, 0x47ED, {0x86, 0xF9, 0x6B, 0x72, 0x58, 0x6E, 0x8C, 0x10}};
// E29FC0FF-B855-430B-80C1-C7F36CBD8BE3
inline constexpr _IID IID_IUnitsConversionClass = {0xE29FC0FF, 0xB855, 0x430B, {0x80, 0xC1, 0xC7, 0xF3, 0x6C, 0xBD, 0x8B, 0xE3}};

// Type index of the units-conversion class within GUID_KVDUnits.
constexpr unsigned kKVDUnits_ConversionClass = 0;

struct IUnitsConversionClass : IUnknown {
    // A new unit name of the prefix index, the name (null: no name) and the flags, with one
    // reference for the caller.
    virtual HRESULT CreateUnitName(UnitPrefix prefix, IAutoKVDString* name, uint32_t flags,
                                   IUnitName** out) = 0;   // slot 3
};
KVD_INTERFACE_ID(IUnitsConversionClass, IID_IUnitsConversionClass);

// The units conversion of a channel's 16-bit samples: value = (raw + offset) x scale. The
// request word is the caller's, passed unchanged.
struct IUnitsConversion : IUnknown {
    virtual HRESULT GetScaling(uint32_t request, double* scale, double* offset) = 0;       // slot 3
    virtual HRESULT RawToValue(uint32_t request, double raw, double* value) = 0;           // slot 4
    virtual HRESULT ValueToRaw(uint32_t request, double value, double* raw) = 0;           // slot 5
    // The values of the raw samples +32000 and -32000: the channel's full range.
    virtual HRESULT GetRangeValues(uint32_t request, double* top, double* bottom) = 0;     // slot 6
    virtual HRESULT GetUnitName(uint32_t request, IUnitName** unit) = 0;                   // slot 7
    // Whether the user defined these units rather than the recording device.
    virtual HRESULT IsUserDefined(AutoBool* user) = 0;                                     // slot 8
    // A word that identifies the unit (the same word: the same unit).
    virtual HRESULT GetUnitProperty(uint32_t* property) = 0;                               // slot 9
};
KVD_INTERFACE_ID(IUnitsConversion, IID_IUnitsConversion);
