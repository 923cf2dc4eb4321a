#include "host/calc/FormulaFunctionClass.h"

#include "ResultCodes.h"
#include "foundation/ClassObjectAnswers.h"
#include "foundation/KVDString.h"
#include "host/framework/Framework.h"

namespace Host {
namespace {

void WriteText(const wchar_t* text, IAutoKVDString** out)
{
    if (out != nullptr)
        KVD::String(text).GetOut(out);
}

}  // namespace

FormulaFunctionClass::FormulaFunctionClass(FormulaFunctionInfo info) : mInfo(std::move(info)) {}

HRESULT FormulaFunctionClass::QueryMore(const _IID& iid, void** out)
{
    *out = nullptr;
    if (iid == IID_ICalcNumericParamsFuncClassEx && mInfo.requiredSources >= 0)
        return KVD::AnswerFace<ICalcNumericParamsFuncClassEx>(this, iid, out);
    if (iid == IID_ICalcEnumClass2 && mInfo.enumerators != nullptr)
        return mInfo.enumerators->QueryInterface(iid, out);
    return KVD_E_NOINTERFACE;
}

TCAFId FormulaFunctionClass::TypeId() const
{
    uint16_t dynId = 0;
    if (Framework* framework = Framework::Instance())
        framework->GetDynId(*mInfo.classGuid, &dynId);
    return (TCAFId(dynId) << 16) | mInfo.subId;
}

HRESULT FormulaFunctionClass::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = TypeId();
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = &CATID_CALCENUMS;
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::GetObjectName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    WriteText(mInfo.name, out);
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, &CATID_CALCENUMS);
}

HRESULT FormulaFunctionClass::GetNumberOfAliases(long* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<long>(mInfo.aliases.size());
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::GetAlias(long index, IAutoKVDString** alias)
{
    if (alias == nullptr)
        return KVD_E_POINTER;
    *alias = nullptr;
    if (index < 0 || index >= static_cast<long>(mInfo.aliases.size()))
        return KVD_E_NULLOUT;
    WriteText(mInfo.aliases[index], alias);
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                                          CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind)
{
    WriteText(mInfo.name, name);
    if (typeId != nullptr)
        *typeId = TypeId();
    if (maxArgs != nullptr)
        *maxArgs = mInfo.maxArgs;
    if (sources != nullptr)
        *sources = mInfo.sources;
    if (flags != nullptr)
        *flags = mInfo.flags;
    if (kind != nullptr)
        *kind = mInfo.result;
    return KVD_S_OK;
}

HRESULT FormulaFunctionClass::GetFuncInfoEx(uint32_t, IAutoKVDString** name, TCAFId* typeId, long* maxArgs,
                                            long* sources, CalcNPFuncInfoFlags* flags, long* requiredSources,
                                            KVDEnumDataType* kind)
{
    if (requiredSources != nullptr)
        *requiredSources = mInfo.requiredSources;
    return GetFuncInfo(name, typeId, maxArgs, sources, flags, kind);
}

HRESULT FormulaFunctionClass::GetParamInfo(long index, double* upper, double* lower, KVDEnumDataType* kind,
                                           IAutoKVDString** name)
{
    if (index < 0 || index >= static_cast<long>(mInfo.params.size()))
        return KVD_E_NULLOUT;
    const FormulaFunctionParam& param = mInfo.params[index];
    if (upper != nullptr)
        *upper = param.high;
    if (lower != nullptr)
        *lower = param.low;
    if (kind != nullptr)
        *kind = param.kind;
    WriteText(param.name, name);
    return KVD_S_OK;
}

// A source accepts every kind that shares a bit with the kind it declares.
HRESULT FormulaFunctionClass::IsValidParamDataType(long index, KVDEnumDataType kind)
{
    if (index < 0 || index >= mInfo.sources || index >= static_cast<long>(mInfo.params.size()))
        return KVD_E_NULLOUT;
    return (mInfo.params[index].kind & kind) != 0 ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace Host
