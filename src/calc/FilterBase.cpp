#include "calc/FilterBase.h"

namespace CalcParser {
namespace {

constexpr CalcEnums::Range kFrequency = {0.0001, 100000};

}  // namespace

FilterBase::FilterBase(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs, RateEnums::FilterType type,
                       CalcNPFuncInfoFlags flags)
    : FuncRepEx(name, typeId, maxArgs, minArgs), mFilterType(type)
{
    SetFuncFlags(flags);
}

const wchar_t* FilterBase::Usage(RateEnums::FilterType type)
{
    switch (type) {
    case RateEnums::kHighpass:
        return L"Highpass(source,fc [,df])";
    case RateEnums::kNotch:
        return L"Notch(source,fc [,df])";
    case RateEnums::kNarrowBandpass:
        return L"NarrowBandpass(source,fc [,df])";
    case RateEnums::kBandpass:
        return L"Bandpass(source,fcLow,fcHigh [,dfLow,dfHigh])";
    case RateEnums::kBandstop:
        return L"Bandstop(source,fcLow,fcHigh [,dfLow,dfHigh])";
    case RateEnums::kDecimator:
        return L"Decimator(source, decimateBy, interpolateBy [,fc,df])";
    default:
        return L"Lowpass(source,fc [,df])";
    }
}

void FilterBase::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    DoCheckOptimisePush(rpn, stack, argCount, KVD::String(Usage(mFilterType)));
}

// The parameters of the two-corner filters are named as their usage text writes them.
void FilterBase::ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                               int argCount)
{
    Cursor at{begin, end, argCount};
    ProcessSourceParam(L"source", at, rpn, stack, false);
    AppendToSettings(KVD::String(RateEnums::sTypeToString(mFilterType)));
    switch (mFilterType) {
    case RateEnums::kBandpass:
    case RateEnums::kBandstop:
        ProcessNumericParam(L"fcLow", at, stack, kFrequency, false);
        ProcessNumericParam(L"fcHigh", at, stack, kFrequency, false);
        ProcessNumericParam(L"dfLow", at, stack, kFrequency, true);
        ProcessNumericParam(L"dfHigh", at, stack, kFrequency, true);
        break;
    case RateEnums::kDecimator:
        ProcessNumericParam(L"decimateBy", at, stack, {1, 100000}, false);
        ProcessNumericParam(L"interpolateBy", at, stack, {1, 9}, true);
        ProcessNumericParam(L"fc", at, stack, kFrequency, true);
        ProcessNumericParam(L"df", at, stack, kFrequency, true);
        break;
    default:
        ProcessNumericParam(L"fc", at, stack, kFrequency, false);
        ProcessNumericParam(L"df", at, stack, kFrequency, true);
        break;
    }
}

}  // namespace CalcParser
