#include "calc/VariableRep.h"

#include "IRecordData.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CalcVariablesImpl.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace CalcParser {

VariableRep::State::State() : definition(8, 8) {}

VariableRep::VariableRep(const KVD::String& name) : SymbolRep(kSymVariable, name), mState(std::make_shared<State>()) {}

VariableRep::VariableRep(IKVDCalcVariable* variable)
    : SymbolRep(kSymVariable, CalcVariable::NameOf(variable)), mState(std::make_shared<State>())
{
    mState->variable = variable;
}

KVD::String VariableRep::GetSettings() const
{
    return FormatSettingsNumber(GetValue());
}

HRESULT VariableRep::CreateCalcEnum(int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = nullptr;
    const KVD::COMPtr<IRecordData> records(KVD::com_cast(data));
    IKVDCalcVariable* variable = GetVariable();
    HRESULT hr = KVD_E_BADSTATE;
    if (variable != nullptr) {
        hr = variable->CreateCalcEnum(outer, 0, GetName().AsIAutoKVDString(), records, out);
        if (*out != nullptr)
            SetEnumIndex(index);
    }
    return hr;
}

void VariableRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int)
{
    // Each use keeps its own enumerator index: the uses are wired to different enumerators.
    Symbol use(new VariableRep(*this));
    stack.Add(use.GetShared());
    rpn.Add(use);
}

IKVDCalcVariable* VariableRep::GetVariable() const
{
    CreateVariable();
    return mState->variable;
}

void VariableRep::AddVariablesTo(CalcVariableArray* variables) const
{
    if (variables == nullptr || mState->collecting)
        return;
    const RPNArray& definition = mState->definition;
    if (definition.GetCount() == 0) {
        if (mState->variable != nullptr)
            variables->SetItem(mState->variable);
        return;
    }
    if (IKVDCalcVariable* variable = GetVariable())
        variables->SetItem(variable);
    if (definition.GetCount() == 1 && definition[0].GetType() == kSymNumber)
        return;
    mState->collecting = true;
    for (unsigned i = 0; i < definition.GetCount(); ++i) {
        const SymbolRep* rep = definition[i].Get();
        if (rep->GetType() == kSymVariable)
            rep->AddVariablesTo(variables);
    }
    mState->collecting = false;
}

HRESULT VariableRep::CreateVariable() const
{
    if (mState->variable != nullptr)
        return KVD_S_OK;
    const RPNArray& definition = mState->definition;
    const bool number = definition.GetCount() == 1 && definition[0].GetType() == kSymNumber;
    const CAFId id = number ? TypeIdClass<&GUID_CalcVariableObj, 0>::GetId() : TypeIdClass<&GUID_CalcVariableObj, 1>::GetId();
    if (id < kFirstDynamicTypeId)
        return KVD_E_BADSTATE;
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    if (factory == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<IKVDCalcVariableClass> cls;
    HRESULT hr = factory->GetClassObject(id, IID_IKVDCalcVariableClass, cls.Set());
    if (cls == nullptr)
        return hr == KVD_S_OK ? KVD_E_BADSTATE : hr;
    hr = cls->CreateVariable(0, nullptr, GetName().AsIAutoKVDString(), 0, mState->variable.Set());
    if (mState->variable != nullptr)
        SetUpVariable(number);
    return hr;
}

HRESULT VariableRep::SetUpVariable(bool number) const
{
    if (number) {
        const KVD::COMPtr<IKVDCalcVariableDouble> holder(KVD::com_cast(mState->variable));
        return holder != nullptr ? holder->SetDoubleValue(0, mState->definition[0].GetValue()) : KVD_S_FALSE;
    }
    const KVD::COMPtr<IKVDExpressionVariable> expression(KVD::com_cast(mState->variable));
    if (expression == nullptr)
        return KVD_S_FALSE;
    KVD::COMPtr<IAutoKVDString> message;  // not reported here
    return expression->SetDefinition(0, &mState->definition, message.Set());
}

}  // namespace CalcParser
