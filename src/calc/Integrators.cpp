#include "calc/Integrators.h"

#include "calc/CalcMessages.h"

namespace CalcParser {
namespace {

constexpr CalcEnums::Range kTime = {0, 1e30};
constexpr CalcEnums::Range kThreshold = {-1e30, 1e30};

}  // namespace

const wchar_t* const IntegrateBase::sUsage =
    L"Integrate(source,reset=\"off\",begintime=0s,endtime=0s)\r\n"
    L"Integrate(source,reset=\"event\",eventSrc,logic=\"+\",thres=0,thresUnits=\"V\",retriggerdeadtime=0s,"
    L"begintime=0s,endtime=0s)\r\n"
    L"Integrate(source,reset=\"decay\",timeconstant=1,begintime=0s,endtime=0s)\r\n"
    L"Integrate(source,reset=\"timed\",timeconstant=1,begintime=0s,endtime=0s)\r\n"
    L"Integrate(source,reset=\"cycle\",begintime=0s,endtime=0s)\r\n";

const wchar_t* const LegacyIntegrateBase::sUsage =
    L"LegacyIntegrate(source,reset=\"off\",begintime=0s,endtime=0s)\r\n"
    L"LegacyIntegrate(source,reset=\"event\",eventSrc,logic=\"+\",thres=0,thresUnits=\"V\",retriggerdeadtime=0s,"
    L"begintime=0s,endtime=0s)\r\n"
    L"LegacyIntegrate(source,reset=\"decay\",timeconstant=1,begintime=0s,endtime=0s)\r\n"
    L"LegacyIntegrate(source,reset=\"timed\",timeconstant=1,begintime=0s,endtime=0s)\r\n"
    L"LegacyIntegrate(source,reset=\"cycle\",begintime=0s,endtime=0s)\r\n";

IntegrateBase::IntegrateBase(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs,
                             IntegralSettings::IntegralType type)
    : FuncRepEx(name, typeId, maxArgs, minArgs), mIntegralType(type)
{
}

KVD::String IntegrateBase::TypeWord() const
{
    return IntegralSettings::TypeToString(mIntegralType);
}

KVD::String LegacyIntegrateBase::TypeWord() const
{
    return CalcEnumLegacyIntegral::LegacyIntegralSettings::TypeToString(
        static_cast<CalcEnumLegacyIntegral::LegacyIntegralSettings::IntegralType>(GetIntegralType()));
}

void IntegrateBase::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    KVD::String usage(Usage());
    usage += CalcText(CalcEnumsStr::IDS_USAGESTR2);
    DoCheckOptimisePush(rpn, stack, argCount, usage);
}

void IntegrateBase::ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                                  int argCount)
{
    Cursor at{begin, end, argCount};
    ProcessSourceParam(L"Source", at, rpn, stack, false);
    AppendToSettings(TypeWord());
    IntegralSettings::ResetMode reset = IntegralSettings::kResetOff;
    if (at.remaining > 0) {
        const SymbolRep* next = NextArgument(at, stack);
        if (next == nullptr || next->GetType() != kSymString)
            ThrowNonSourceParamTypeError(L"Reset", kSymString);
        reset = IntegralSettings::StringToReset(next->GetName());
        ProcessStringParam(L"Reset", at, stack, false);
    }
    if (reset == IntegralSettings::kResetEvent) {
        ProcessSourceParam(L"EventSource", at, rpn, stack, false);
        ProcessStringParam(L"Logic", at, stack, true);
        ProcessNumericParam(L"Thres", at, stack, kThreshold, true);
        ProcessStringParam(L"ThresUnits", at, stack, true);
        ProcessNumericParam(L"RetriggerDeadTime", at, stack, kTime, true);
    } else if (reset == IntegralSettings::kResetTimed || reset == IntegralSettings::kResetDecay) {
        ProcessNumericParam(L"Timeconstant", at, stack, kTime, true);
    }
    ProcessNumericParam(L"BeginTime", at, stack, kTime, true);
    ProcessNumericParam(L"EndTime", at, stack, kTime, true);
}

}  // namespace CalcParser
