// The host's units-conversion class: found through the object factory under the type id of
// GUID_KVDUnits with index 0, it makes the unit-name objects that channels and calculations
// carry.
#pragma once

#include "IUnitName.h"

// 46C15837-3174-4CE3-951F-4D2809A9B86A: id group of the unit objects
inline constexpr _IID GUID_KVDUnits = {0x46C15837, 0x3174, 0x4CE3, {0x95, 0x1F, 0x4D, 0x28, 0x09, 0xA9, 0xB8, 0x6A}};
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

// A channel's conversion from its stored 16-bit values to its unit in a record: value =
// (stored + offset) x scale. The data flags say which data of the channel is meant (0x1001 its
// raw recorded data, 0x40001000 or 0xC0001000 its data).
// 663A6717-45DB-462D-80AF-D650E9C03890
inline constexpr _IID IID_IUnitsConversion = {0x663A6717, 0x45DB, 0x462D, {0x80, 0xAF, 0xD6, 0x50, 0xE9, 0xC0, 0x38, 0x90}};

struct IUnitsConversion : IUnknown {
    virtual HRESULT GetScaling(uint32_t flags, double* scale, double* offset) = 0;          // slot 3
    // A stored value in the unit.
    virtual HRESULT ConvertValue(uint32_t flags, double stored, double* value) = 0;         // slot 4
    // The values of the largest and the smallest stored value, in the unit.
    virtual HRESULT GetRange(uint32_t flags, double* top, double* bottom) = 0;              // slot 5
    // The unit, with a reference.
    virtual HRESULT GetUnitName(IUnitName** unit) = 0;                                      // slot 6
    // A word that is the same for conversions to the same unit.
    virtual HRESULT GetUnitProperty(uint32_t* property) = 0;                                // slot 7
    // Whether the user set these units up rather than the recording.
    virtual HRESULT IsUserDefined(AutoBool* user) = 0;                                      // slot 8
};
KVD_INTERFACE_ID(IUnitsConversion, IID_IUnitsConversion);
