#include "calc/CalcEnumNumericParamsClass.h"

#include "foundation/KVDString.h"

namespace CalcEnums {

HRESULT NumericParamsFuncFace::GetNumberOfAliases(long* count)
{
    if (count == nullptr)
        return KVD_E_NULLOUT;
    *count = mTable.aliasCount;
    return KVD_S_OK;
}

HRESULT NumericParamsFuncFace::GetAlias(long index, IAutoKVDString** alias)
{
    if (alias == nullptr)
        return KVD_E_NULLOUT;
    *alias = nullptr;
    if (index < 0 || index >= mTable.aliasCount)
        return KVD_E_NULLOUT;
    KVD::String(mTable.aliases[index]).GetOut(alias);
    return KVD_S_OK;
}

HRESULT NumericParamsFuncFace::GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                                           CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind)
{
    if (name != nullptr)
        KVD::String(mFuncTraits->name).GetOut(name);
    if (typeId != nullptr)
        *typeId = mFuncTraits->GetTypeId();
    if (maxArgs != nullptr)
        *maxArgs = mTable.paramCount;
    if (sources != nullptr)
        *sources = mTable.sourceCount;
    if (flags != nullptr)
        *flags = mTable.flags;
    if (kind != nullptr)
        *kind = mTable.resultType;
    return KVD_S_OK;
}

HRESULT NumericParamsFuncFace::GetParamInfo(long index, double* upper, double* lower, KVDEnumDataType* kind,
                                            IAutoKVDString** name)
{
    if (index < 0 || index >= mTable.paramCount)
        return KVD_E_NULLOUT;
    if (upper != nullptr)
        *upper = mTable.paramRanges[index].high;
    if (lower != nullptr)
        *lower = mTable.paramRanges[index].low;
    if (kind != nullptr)
        *kind = mTable.paramTypes[index];
    if (name != nullptr)
        KVD::String(mTable.paramNames[index]).GetOut(name);
    return KVD_S_OK;
}

HRESULT NumericParamsFuncFace::IsValidParamDataType(long index, KVDEnumDataType kind)
{
    if (index < 0 || index >= mTable.sourceCount)
        return KVD_E_NULLOUT;
    return (kind & mTable.paramTypes[index]) != 0 ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace CalcEnums
