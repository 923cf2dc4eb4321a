// Class objects of enumerators that the formula language offers as functions with numeric
// parameters: the enumerator class T describes the function in a static table, T::sFuncTable,
// which the class object hands to the formula compiler.
#pragma once

#include "ICalcNumericParamsFuncClass.h"
#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcRange.h"

namespace CalcEnums {

// A formula function: its leading parameters are data sources, the others numbers.
struct NumericParamsFuncTable {
    const wchar_t* const* paramNames;
    const Range* paramRanges;
    // The data kind each parameter reports; a source accepts data that has one of its bits.
    const KVDEnumDataType* paramTypes;
    long paramCount;
    long sourceCount;
    const wchar_t* const* aliases;
    long aliasCount;
    CalcNPFuncInfoFlags flags;
    KVDEnumDataType resultType;
};

// The function-class face over a table and the traits of its enumerator class. Like its class
// object it is static: the symbol table may release it after both were destroyed at exit.
class NumericParamsFuncFace : public KVD::StaticUnknown<ICalcNumericParamsFuncClass> {
public:
    NumericParamsFuncFace(CalcEnumClassBase2::Traits* traits, const NumericParamsFuncTable& table)
        : mFuncTraits(traits), mTable(table)
    {
    }

    HRESULT GetNumberOfAliases(long* count) override;
    HRESULT GetAlias(long index, IAutoKVDString** alias) override;
    HRESULT GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                        CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind) override;
    // 0xF800400C for an index outside the parameters, the outputs untouched.
    HRESULT GetParamInfo(long index, double* upper, double* lower, KVDEnumDataType* kind,
                         IAutoKVDString** name) override;
    // Sources: 0 for a kind that has a bit of the parameter's, else 0xF8004001; any index that
    // is not a source's: 0xF800400C.
    HRESULT IsValidParamDataType(long index, KVDEnumDataType kind) override;

private:
    CalcEnumClassBase2::Traits* mFuncTraits;
    const NumericParamsFuncTable& mTable;
};

template <class T>
class CalcEnumNumericParamsClass : public CalcEnumClass2<T>, public NumericParamsFuncFace {
public:
    explicit CalcEnumNumericParamsClass(CalcEnumClassBase2::Traits* traits)
        : CalcEnumClass2<T>(traits), NumericParamsFuncFace(traits, T::sFuncTable)
    {
    }

    // Both faces answer as the class object.
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        return CalcEnumClass2<T>::QueryInterface(iid, out);
    }

    // No dialog: the function's parameters are edited in the formula.
    HRESULT SettingsDialog(HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*, TChannelId, const IAutoKVDString*,
                           IAutoKVDString** newSettings) override
    {
        if (newSettings != nullptr)
            *newSettings = nullptr;
        return KVD_E_NOTIMPL;
    }

protected:
    HRESULT QueryMore(const _IID& iid, void** out) override
    {
        return KVD::AnswerFace<ICalcNumericParamsFuncClass>(this, iid, out);
    }
};

}  // namespace CalcEnums
