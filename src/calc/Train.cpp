#include "calc/Train.h"

#include "calc/CalcMessages.h"

namespace CalcParser {
namespace {

constexpr double kFloatMax = 3.4028234663852886e38;
constexpr CalcEnums::Range kAnyLevel = {-1e30, 1e30};

}  // namespace

const wchar_t* const Train::sUsage =
    L"Train(\"segName1\",source1,duration1,segFlags1, \"segName2\",source2,duration2,segFlags2, ... "
    L"\"segNameN\",sourceN,durationN,segFlagsN, repeats = -1,scale = 1,preScaleOffset = 0,minPeriodSecs)\r\n";

Train::Train(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs)
    : FuncRepEx(name, typeId, maxArgs, minArgs)
{
}

void Train::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    DoCheckOptimisePush(rpn, stack, argCount, KVD::String(sUsage));
}

// Only the minimum argument count enforces a whole segment: a reader does nothing once no
// argument remains.
void Train::ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack, int argCount)
{
    Cursor at{begin, end, argCount};
    for (const SymbolRep* next = NextArgument(at, stack); next != nullptr && next->GetType() == kSymString;
         next = NextArgument(at, stack)) {
        ProcessStringParam(L"SegmentName", at, stack, true);
        ProcessSourceParam(L"Source", at, rpn, stack, false);
        ProcessNumericVarParam(L"Duration", at, rpn, stack, {-2, kFloatMax}, false);
        ProcessNumericParam(L"SegmentFlags", at, stack, kAnyLevel, false);
    }
    ProcessNumericVarParam(L"Repeats", at, rpn, stack, {-1, 2000000000}, true);
    ProcessNumericVarParam(L"ScaleToUnits", at, rpn, stack, kAnyLevel, true);
    ProcessNumericVarParam(L"PreScaleOffset", at, rpn, stack, kAnyLevel, true);
    ProcessNumericVarParam(L"MinPeriod", at, rpn, stack, {0, kFloatMax}, true);
    if (at.remaining > 0)
        Throw(CalcText(CalcEnumsStr::IDS_TRAINSEGMENTNAMEMISSING));
}

}  // namespace CalcParser
