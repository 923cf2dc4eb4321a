// Calculation variables: host objects that hold a number or an expression under a name, are
// observed for changes and deliver their values as a calculation enumerator.
#pragma once

#include "IFramework.h"
#include "ISimpleObserver.h"

struct IAutoKVDString;
struct IRecordData;

// CE128883-5347-4139-929B-5472180DC9C9
inline constexpr _IID IID_IKVDCalcVariable = {0xCE128883, 0x5347, 0x4139, {0x92, 0x9B, 0x54, 0x72, 0x18, 0x0D, 0xC9, 0xC9}};
// 8091F919-7F22-4874-BF6D-57B9290A3CB4
inline constexpr _IID IID_IKVDCalcVariableClass = {0x8091F919, 0x7F22, 0x4874, {0xBF, 0x6D, 0x57, 0xB9, 0x29, 0x0A, 0x3C, 0xB4}};
// 5F11D80D-96E5-495A-94B5-4B9BA9ACADA9
inline constexpr _IID IID_IKVDCalcVariableDouble = {0x5F11D80D, 0x96E5, 0x495A, {0x94, 0xB5, 0x4B, 0x9B, 0xA9, 0xAC, 0xAD, 0xA9}};
// A451A269-2FD8-482B-B556-3D0ED0AFA5C2
inline constexpr _IID IID_IKVDExpressionVariable = {0xA451A269, 0x2FD8, 0x482B, {0xB5, 0x56, 0x3D, 0x0E, 0xD0, 0xAF, 0xA5, 0xC2}};

struct IKVDCalcVariable : IUnknown {
    virtual HRESULT GetName(uint32_t flags, IAutoKVDString** out) = 0;                 // slot 3
    virtual HRESULT GetValue(uint32_t flags, double* out) = 0;                         // slot 4
    virtual HRESULT AddObserver(uint32_t flags, ISimpleObserver* observer) = 0;        // slot 5
    virtual HRESULT RemoveObserver(uint32_t flags, ISimpleObserver* observer) = 0;     // slot 6
    // Tells every observer that the variable changed.
    virtual HRESULT NotifyObservers(uint32_t flags) = 0;                               // slot 7
    // The enumerator that delivers the variable's values, aggregated in outer.
    virtual HRESULT CreateCalcEnum(IUnknown* outer, uint32_t flags, IAutoKVDString* name,
                                   IRecordData* data, IUnknown** out) = 0;            // slot 8
};
KVD_INTERFACE_ID(IKVDCalcVariable, IID_IKVDCalcVariable);

// Class object of a kind of variable (one for numbers, one for expressions).
struct IKVDCalcVariableClass : ICAFClassObject {
    virtual HRESULT CreateVariable(uint32_t flags, IUnknown* outer, IAutoKVDString* name,
                                   uint32_t options, IKVDCalcVariable** out) = 0;     // slot 7
};
KVD_INTERFACE_ID(IKVDCalcVariableClass, IID_IKVDCalcVariableClass);

// A variable that holds a number.
struct IKVDCalcVariableDouble : IUnknown {
    virtual HRESULT GetDoubleValue(uint32_t flags, double* out) = 0;                   // slot 3
    virtual HRESULT SetDoubleValue(uint32_t flags, double value) = 0;                  // slot 4
};
KVD_INTERFACE_ID(IKVDCalcVariableDouble, IID_IKVDCalcVariableDouble);

// A variable that holds an expression. The definition is the compiled right-hand side: a
// pointer to the formula compiler's symbol list (CArrayCtorInit<CalcParser::Symbol, true,
// true>), which both sides share through the calculation library; message receives a text
// when the definition is refused.
struct IKVDExpressionVariable : IUnknown {
    virtual HRESULT SetDefinition(uint32_t flags, const void* definition, IAutoKVDString** message) = 0;  // slot 3
};
KVD_INTERFACE_ID(IKVDExpressionVariable, IID_IKVDExpressionVariable);
