// The filters: low-pass, high-pass, notch and narrow band-pass with one corner frequency,
// band-pass and band-stop with two, and the decimator.
#pragma once

#include "calc/FuncRepEx.h"
#include "calc/SettingsKeywords.h"

namespace CalcParser {

class FilterBase : public FuncRepEx {
public:
    FilterBase(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs, RateEnums::FilterType type,
               CalcNPFuncInfoFlags flags);

    SymbolRep* Clone() const override { return new FilterBase(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;
    void ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                       int argCount) override;

    RateEnums::FilterType GetFilterType() const { return mFilterType; }
    // The calling form of the filter type, for the argument-count message.
    static const wchar_t* Usage(RateEnums::FilterType type);

private:
    RateEnums::FilterType mFilterType;
};

}  // namespace CalcParser
