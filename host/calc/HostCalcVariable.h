// The host's calculation variables (GUID_CalcVariableObj): sub-id 0 holds a number, sub-id 1
// an expression of numbers and other variables, which is evaluated whenever its value is
// asked. A variable delivers its value as a constant stream.
#pragma once

#include <vector>

#include "IKVDCalcVariable.h"
#include "calc/RPN.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

struct ICalcEnumClass2;

namespace HostCalc {

// Counted; made with KVD::MakeCounted.
class HostCalcVariable final : public KVD::CountedUnknown<IKVDCalcVariable>,
                               public IKVDCalcVariableDouble,
                               public IKVDExpressionVariable {
public:
    // constantClass: the class whose constant enumerators deliver the values.
    HostCalcVariable(const KVD::String& name, bool expression, ICalcEnumClass2* constantClass);
    ~HostCalcVariable() override;
    HostCalcVariable(const HostCalcVariable&) = delete;
    HostCalcVariable& operator=(const HostCalcVariable&) = delete;

    uint32_t AddRef() override { return CountedUnknown::AddRef(); }
    uint32_t Release() override { return CountedUnknown::Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return CountedUnknown::QueryInterface(iid, out); }

    HRESULT GetName(uint32_t flags, IAutoKVDString** out) override;
    // An expression that cannot be evaluated gives NaN and 0xF800400A.
    HRESULT GetValue(uint32_t flags, double* out) override;
    HRESULT AddObserver(uint32_t flags, ISimpleObserver* observer) override;
    HRESULT RemoveObserver(uint32_t flags, ISimpleObserver* observer) override;
    HRESULT NotifyObservers(uint32_t flags) override;
    // A constant enumerator of the current value, aggregated in outer when given.
    HRESULT CreateCalcEnum(IUnknown* outer, uint32_t flags, IAutoKVDString* name, IRecordData* data,
                           IUnknown** out) override;

    HRESULT GetDoubleValue(uint32_t flags, double* out) override;
    // Sets the value and tells the observers.
    HRESULT SetDoubleValue(uint32_t flags, double value) override;

    // definition: the compiled right-hand side (CalcParser::RPNArray). One that uses anything
    // but numbers, variables, arithmetic operators and the standard functions is refused
    // with 0xF800400A, message naming what cannot be computed.
    HRESULT SetDefinition(uint32_t flags, const void* definition, IAutoKVDString** message) override;

protected:
    // A number answers IKVDCalcVariableDouble, an expression IKVDExpressionVariable.
    HRESULT QueryMore(const _IID& iid, void** out) override;

private:
    KVD::String mName;
    bool mExpression;
    ICalcEnumClass2* mConstantClass;  // not owned: class objects live as long as the process
    double mValue = 0.0;
    CalcParser::RPNArray mDefinition;
    std::vector<KVD::COMPtr<ISimpleObserver>> mObservers;
};

// Evaluates a compiled expression of numbers and variables; false (with the name of the
// symbol that cannot be computed) for anything else.
bool EvaluateDefinition(const CalcParser::RPNArray& definition, double& value, KVD::String& refused);

}  // namespace HostCalc
