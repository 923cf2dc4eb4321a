#include "host/calc/CalcVariableClass.h"

#include "calc/CalcEnumGuids.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "host/calc/HostCalcClasses.h"
#include "host/calc/HostCalcVariable.h"

namespace HostCalc {

HRESULT CalcVariableClass::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = mExpression ? TypeIdClass<&CalcParser::GUID_CalcVariableObj, 1>::GetId()
                       : TypeIdClass<&CalcParser::GUID_CalcVariableObj, 0>::GetId();
    return KVD_S_OK;
}

HRESULT CalcVariableClass::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    return KVD_S_OK;
}

HRESULT CalcVariableClass::GetObjectName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::String(mExpression ? L"Expression Variable" : L"Number Variable").GetOut(out);
    return KVD_S_OK;
}

HRESULT CalcVariableClass::IsInCategoryHR(const _IID*) { return KVD_S_FALSE; }

HRESULT CalcVariableClass::CreateVariable(uint32_t, IUnknown*, IAutoKVDString* name, uint32_t, IKVDCalcVariable** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = KVD::MakeCounted<HostCalcVariable>(KVD::String(name), mExpression, ConstantClass()).Forget();
    return KVD_S_OK;
}

}  // namespace HostCalc
