// A class object through which the host publishes one formula function: the formula compiler
// finds it in the category CATID_CALCENUMS and reads its name, aliases and parameters through
// ICalcNumericParamsFuncClass.
#pragma once

#include <vector>

#include "ICalcNumericParamsFuncClass.h"
#include "IFramework.h"
#include "foundation/UnknownImp.h"

namespace Host {

struct FormulaFunctionParam {
    const wchar_t* name;
    double low;
    double high;
    KVDEnumDataType kind;  // of a source parameter; 0 for a number
};

struct FormulaFunctionInfo {
    const wchar_t* name;
    std::vector<const wchar_t*> aliases;
    const _IID* classGuid;  // the type id is the GUID's dynamic id and the sub-id
    uint16_t subId;
    long maxArgs;
    long sources;  // the leading parameters that are streams
    // The fewest sources a call must give; -1 offers no ICalcNumericParamsFuncClassEx.
    long requiredSources;
    CalcNPFuncInfoFlags flags;
    KVDEnumDataType result;
    std::vector<FormulaFunctionParam> params;
    // Creates the function's enumerators (answers ICalcEnumClass2); null when this host does
    // not run the function.
    ICalcEnumClass2* enumerators = nullptr;
};

// Lives as long as the process. The extended description and the enumerators are answered only
// when the function has them.
class FormulaFunctionClass : public KVD::StaticUnknown<ICAFClassObject, ICalcNumericParamsFuncClass>,
                             public ICalcNumericParamsFuncClassEx {
public:
    explicit FormulaFunctionClass(FormulaFunctionInfo info);
    virtual ~FormulaFunctionClass() = default;

    uint32_t AddRef() override { return StaticUnknown::AddRef(); }
    uint32_t Release() override { return StaticUnknown::Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return StaticUnknown::QueryInterface(iid, out); }

    // ICAFClassObject
    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    HRESULT IsInCategoryHR(const _IID* category) override;

    // ICalcNumericParamsFuncClass
    HRESULT GetNumberOfAliases(long* count) override;
    HRESULT GetAlias(long index, IAutoKVDString** alias) override;
    HRESULT GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                        CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind) override;
    HRESULT GetParamInfo(long index, double* upper, double* lower, KVDEnumDataType* kind,
                         IAutoKVDString** name) override;
    HRESULT IsValidParamDataType(long index, KVDEnumDataType kind) override;

    // ICalcNumericParamsFuncClassEx
    HRESULT GetFuncInfoEx(uint32_t reserved, IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                          CalcNPFuncInfoFlags* flags, long* requiredSources, KVDEnumDataType* kind) override;

    const FormulaFunctionInfo& Info() const { return mInfo; }

protected:
    HRESULT QueryMore(const _IID& iid, void** out) override;

private:
    TCAFId TypeId() const;

    FormulaFunctionInfo mInfo;
};

}  // namespace Host
