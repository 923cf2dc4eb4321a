// How a class object publishes a formula function: its name and aliases, the enumerator class
// that computes it, and the names, ranges and data kinds of its parameters. The formula
// compiler finds such class objects in the category CATID_CALCENUMS.
#pragma once

#include "CalcEnumTypes.h"
#include "ICalcEnumClass2.h"

struct IAutoKVDString;

// Function flags: bit 31 gives each alias a description of its own (its index leads the
// settings), bit 30 puts the first argument's text in front, bit 29 the whole argument list's.
typedef uint32_t CalcNPFuncInfoFlags;

// 58ADE1E2-5A17-41B1-95DD-A899F8805F8A
inline constexpr _IID IID_ICalcNumericParamsFuncClass = {0x58ADE1E2, 0x5A17, 0x41B1, {0x95, 0xDD, 0xA8, 0x99, 0xF8, 0x80, 0x5F, 0x8A}};
// 53BC1786-BB33-433A-9AC3-12E7717E6C9F
inline constexpr _IID IID_ICalcNumericParamsFuncClassEx = {0x53BC1786, 0xBB33, 0x433A, {0x9A, 0xC3, 0x12, 0xE7, 0x71, 0x7E, 0x6C, 0x9F}};

struct ICalcNumericParamsFuncClass : IUnknown {
    virtual HRESULT GetNumberOfAliases(long* count) = 0;                                // slot 3
    virtual HRESULT GetAlias(long index, IAutoKVDString** alias) = 0;                   // slot 4
    // Display name, enumerator type id, maximum argument count, number of leading source
    // arguments, flags and the data kind of the result.
    virtual HRESULT GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                                CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind) = 0;  // slot 5
    // Any out-pointer may be null; fails for an index past the last parameter.
    virtual HRESULT GetParamInfo(long index, double* upper, double* lower, KVDEnumDataType* kind,
                                 IAutoKVDString** name) = 0;                            // slot 6
    // 0 when a source of that kind is acceptable at that index.
    virtual HRESULT IsValidParamDataType(long index, KVDEnumDataType kind) = 0;          // slot 7
};

// Adds the number of sources a call must give at least (the rest are optional).
struct ICalcNumericParamsFuncClassEx : IUnknown {
    virtual HRESULT GetFuncInfoEx(uint32_t reserved, IAutoKVDString** name, TCAFId* typeId, long* maxArgs,
                                  long* sources, CalcNPFuncInfoFlags* flags, long* requiredSources,
                                  KVDEnumDataType* kind) = 0;                           // slot 3
};

KVD_INTERFACE_ID(ICalcNumericParamsFuncClass, IID_ICalcNumericParamsFuncClass);
KVD_INTERFACE_ID(ICalcNumericParamsFuncClassEx, IID_ICalcNumericParamsFuncClassEx);
