// A formula function that a class object publishes through ICalcNumericParamsFuncClass: the
// class object gives its name, enumerator class, counts, flags, and each parameter's name,
// range and data kind.
#pragma once

#include "ICalcNumericParamsFuncClass.h"
#include "calc/FuncRep.h"
#include "foundation/COMPtr.h"

namespace CalcParser {

class NumericParamsFuncClassSymbolRep : public NumericParamsFuncRep {
public:
    // index: the alias under which the symbol table registers this rep, -1 for the function's
    // own name. Reads the function's description at once (GetInfoResult).
    NumericParamsFuncClassSymbolRep(ICalcNumericParamsFuncClass* functionClass, int index);
    NumericParamsFuncClassSymbolRep(const NumericParamsFuncClassSymbolRep& other);
    ~NumericParamsFuncClassSymbolRep() override;

    SymbolRep* Clone() const override { return new NumericParamsFuncClassSymbolRep(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;
    void DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, long argCount);

    // The alias of that index as the class object gives it; empty when it gives none.
    KVD::String GetAlias(int index) const;
    // Non-zero when the description could not be read.
    HRESULT GetInfoResult() const { return mInfoResult; }
    int GetAliasIndex() const { return mAliasIndex; }

private:
    HRESULT ReadDescription();
    // The number of sources a call of argCount arguments gives.
    long SourcesUsed(long argCount) const;
    KVD::String ParamName(long index, KVDEnumDataType* kind) const;
    void CheckSource(const RepStack& stack, long index);
    void PrependArgumentTexts();
    [[noreturn]] void ThrowSourceNumberError() const;

    KVD::COMPtr<ICalcNumericParamsFuncClass> mClass;
    HRESULT mInfoResult;
    int mAliasIndex;
};

}  // namespace CalcParser
