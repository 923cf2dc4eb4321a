#include "host/calc/HostCalcVariable.h"

#include <algorithm>
#include <limits>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "calc/CalcEnumGuids.h"
#include "calc/Symbol.h"
#include "foundation/DynamicId.h"
#include "host/calc/ArithKernels.h"
#include "host/calc/SettingsNumbers.h"

namespace HostCalc {

using CalcParser::GUID_ArithEnumObj;

namespace {

// The arithmetic a variable's definition may hold, by the symbol's kind and class.
bool ApplySymbol(const CalcParser::SymbolRep& rep, std::vector<double>& stack)
{
    const int kind = rep.GetType();
    auto pop = [&stack]() {
        const double top = stack.back();
        stack.pop_back();
        return top;
    };
    if (kind == CalcParser::kSymNumber) {
        stack.push_back(rep.GetValue());
        return true;
    }
    if (kind == CalcParser::kSymVariable) {
        IKVDCalcVariable* variable = rep.GetVariable();
        double value = 0.0;
        if (variable == nullptr || variable->GetValue(0, &value) != KVD_S_OK)
            return false;
        stack.push_back(value);
        return true;
    }
    if (IsUnaryOp(kind) && !stack.empty()) {
        stack.push_back(UnaryOp(kind, pop(), rep.GetValue()));
        return true;
    }
    if (IsBinaryOp(kind) && stack.size() >= 2) {
        const double b = pop();
        const double a = pop();
        stack.push_back(BinaryOp(kind, a, b));
        return true;
    }
    if (kind != CalcParser::kSymFunction)
        return false;
    std::vector<double> settings;
    const CAFId id = rep.GetClassId();
    if (id == TypeIdClass<&GUID_ArithEnumObj, 4>::GetId() && !stack.empty() &&
        ReadSettingsNumbers(rep.GetSettings(), 1, 1, settings) && IsStdFunc(static_cast<int>(settings[0]))) {
        stack.push_back(StdFunc(static_cast<int>(settings[0]), pop()));
        return true;
    }
    if (id == TypeIdClass<&GUID_ArithEnumObj, 8>::GetId() && !stack.empty() &&
        ReadSettingsNumbers(rep.GetSettings(), 2, 2, settings)) {
        stack.push_back(Window(pop(), settings[0], settings[1]));
        return true;
    }
    if (id == TypeIdClass<&GUID_ArithEnumObj, 7>::GetId() && stack.size() >= 3) {
        const double high = pop();
        const double low = pop();
        stack.push_back(Window(pop(), low, high));
        return true;
    }
    return false;
}

}  // namespace

bool EvaluateDefinition(const CalcParser::RPNArray& definition, double& value, KVD::String& refused)
{
    std::vector<double> stack;
    for (unsigned i = 0; i < definition.GetCount(); ++i) {
        const CalcParser::SymbolRep& rep = *definition[i].Get();
        if (!ApplySymbol(rep, stack)) {
            refused = rep.GetName().empty() ? CalcParser::Symbol::TypeToString(rep.GetType()) : rep.GetName();
            return false;
        }
    }
    if (stack.size() != 1) {
        refused = KVD::String(L"=");
        return false;
    }
    value = stack.back();
    return true;
}

HostCalcVariable::HostCalcVariable(const KVD::String& name, bool expression, ICalcEnumClass2* constantClass)
    : mName(name), mExpression(expression), mConstantClass(constantClass), mDefinition(8, 8)
{
}

HostCalcVariable::~HostCalcVariable() = default;

HRESULT HostCalcVariable::QueryMore(const _IID& iid, void** out)
{
    if (mExpression)
        return KVD::AnswerFace<IKVDExpressionVariable>(this, iid, out);
    return KVD::AnswerFace<IKVDCalcVariableDouble>(this, iid, out);
}

HRESULT HostCalcVariable::GetName(uint32_t, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mName.GetOut(out);
    return KVD_S_OK;
}

HRESULT HostCalcVariable::GetValue(uint32_t, double* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (!mExpression) {
        *out = mValue;
        return KVD_S_OK;
    }
    KVD::String refused;
    if (EvaluateDefinition(mDefinition, *out, refused))
        return KVD_S_OK;
    *out = std::numeric_limits<double>::quiet_NaN();
    return KVD_E_BADSTATE;
}

HRESULT HostCalcVariable::AddObserver(uint32_t, ISimpleObserver* observer)
{
    if (observer == nullptr)
        return KVD_E_POINTER;
    mObservers.emplace_back(observer);
    return KVD_S_OK;
}

HRESULT HostCalcVariable::RemoveObserver(uint32_t, ISimpleObserver* observer)
{
    auto it = std::find_if(mObservers.begin(), mObservers.end(),
                           [observer](const KVD::COMPtr<ISimpleObserver>& held) { return held.get() == observer; });
    if (it == mObservers.end())
        return KVD_S_FALSE;
    mObservers.erase(it);
    return KVD_S_OK;
}

HRESULT HostCalcVariable::NotifyObservers(uint32_t flags)
{
    // A copy: an observer may remove itself while told.
    const std::vector<KVD::COMPtr<ISimpleObserver>> observers = mObservers;
    for (const KVD::COMPtr<ISimpleObserver>& observer : observers)
        observer->OnChanged(flags, static_cast<IKVDCalcVariable*>(this));
    return KVD_S_OK;
}

HRESULT HostCalcVariable::CreateCalcEnum(IUnknown* outer, uint32_t, IAutoKVDString*, IRecordData*, IUnknown** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    double value = 0.0;
    const HRESULT valueCode = GetValue(0, &value);
    if (valueCode != KVD_S_OK)
        return valueCode;
    if (mConstantClass == nullptr)
        return KVD_E_BADSTATE;
    HRESULT hr = mConstantClass->CreateEx(outer, nullptr, out);
    if (hr != KVD_S_OK || *out == nullptr)
        return hr != KVD_S_OK ? hr : KVD_E_BADSTATE;
    const KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(*out);
    if (calc == nullptr)
        return KVD_E_BADSTATE;
    BlockUpdateType update = 0;
    return calc->SetSettings(CalcParser::FormatSettingsNumber(value).AsIAutoKVDString(), &update);
}

HRESULT HostCalcVariable::GetDoubleValue(uint32_t flags, double* out) { return GetValue(flags, out); }

HRESULT HostCalcVariable::SetDoubleValue(uint32_t flags, double value)
{
    mValue = value;
    return NotifyObservers(flags);
}

HRESULT HostCalcVariable::SetDefinition(uint32_t, const void* definition, IAutoKVDString** message)
{
    if (message != nullptr)
        *message = nullptr;
    if (definition == nullptr)
        return KVD_E_POINTER;
    const auto& rpn = *static_cast<const CalcParser::RPNArray*>(definition);
    double value = 0.0;
    KVD::String refused;
    if (!EvaluateDefinition(rpn, value, refused)) {
        if (message != nullptr)
            refused.GetOut(message);
        return KVD_E_BADSTATE;
    }
    mDefinition = rpn;
    return KVD_S_OK;
}

}  // namespace HostCalc
