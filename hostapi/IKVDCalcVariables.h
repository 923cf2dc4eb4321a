// A set of named calculation variables, kept in case-insensitive name order, whose observers
// are attached to every variable it holds.
#pragma once

#include "IEnumIAutoKVDString.h"
#include "IKVDCalcVariable.h"

// 9DB9B8AA-770B-4C83-B4D7-3AEF5138D196
inline constexpr _IID IID_IKVDCalcVariables = {0x9DB9B8AA, 0x770B, 0x4C83, {0xB4, 0xD7, 0x3A, 0xEF, 0x51, 0x38, 0xD1, 0x96}};
// DEE95BF5-E2AA-4C7B-9C45-16914E208011
inline constexpr _IID IID_IEnumIKVDCalcVariable = {0xDEE95BF5, 0xE2AA, 0x4C7B, {0x9C, 0x45, 0x16, 0x91, 0x4E, 0x20, 0x80, 0x11}};

struct IEnumIKVDCalcVariable : IUnknown {
    // Up to count items; delivered may be null only when count is 1. 0xF8004001 when fewer came.
    virtual HRESULT Next(uint32_t count, IKVDCalcVariable** out, uint32_t* delivered) = 0;  // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                               // slot 4
    virtual HRESULT Reset() = 0;                                                            // slot 5
    virtual HRESULT Clone(IEnumIKVDCalcVariable** out) = 0;                                 // slot 6
};
KVD_INTERFACE_ID(IEnumIKVDCalcVariable, IID_IEnumIKVDCalcVariable);

struct IKVDCalcVariables : IUnknown {
    // The variable of that name (case-insensitive) with a reference; 0xF8004001 when none.
    virtual HRESULT FindVariable(uint32_t flags, IAutoKVDString* name, IKVDCalcVariable** out) = 0;  // slot 3
    virtual HRESULT EnumVariableNames(uint32_t flags, IEnumIAutoKVDString** out) = 0;               // slot 4
    virtual HRESULT EnumVariables(uint32_t flags, IEnumIKVDCalcVariable** out) = 0;                 // slot 5
    // Replaces a variable of the same name, else inserts in order; 0xF800400C for null.
    virtual HRESULT InsertVariable(uint32_t flags, IKVDCalcVariable* variable) = 0;                 // slot 6
    virtual HRESULT InsertVariables(uint32_t flags, IKVDCalcVariables* other) = 0;                  // slot 7
    virtual HRESULT ObserveVariables(uint32_t flags, ISimpleObserver* observer) = 0;                // slot 8
    virtual HRESULT ReleaseRefs() = 0;                                                              // slot 9
    // A stand-alone set with the same variables and no observers.
    virtual HRESULT Clone(IKVDCalcVariables** out) = 0;                                             // slot 10
};
KVD_INTERFACE_ID(IKVDCalcVariables, IID_IKVDCalcVariables);
