// Class object of one kind of host calculation variable: a number (GUID_CalcVariableObj
// sub-id 0) or an expression (sub-id 1).
#pragma once

#include "IKVDCalcVariable.h"
#include "foundation/UnknownImp.h"

namespace HostCalc {

// Lives as long as the process.
class CalcVariableClass : public KVD::StaticUnknown<KVD::Answers<IKVDCalcVariableClass, ICAFClassObject>> {
public:
    explicit CalcVariableClass(bool expression) : mExpression(expression) {}

    HRESULT GetTypeId(TCAFId* out) override;
    // In no category: the formula compiler does not look for variables among functions.
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    HRESULT IsInCategoryHR(const _IID* category) override;
    // A new variable of the given name, one reference for the caller; outer is not used.
    HRESULT CreateVariable(uint32_t flags, IUnknown* outer, IAutoKVDString* name, uint32_t options,
                           IKVDCalcVariable** out) override;

private:
    bool mExpression;
};

}  // namespace HostCalc
