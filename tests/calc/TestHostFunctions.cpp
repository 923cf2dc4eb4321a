#include "TestHostFunctions.h"

#include <cfloat>

#include "ResultCodes.h"
#include "host/calc/PublishedFunctions.h"

namespace TestHost {
namespace {

constexpr KVDEnumDataType kSamples = 0x80000000;
constexpr KVDEnumDataType kEvents = 0x40000000;
constexpr CalcNPFuncInfoFlags kEventFunctionFlags = 0xA0000000;

Host::FormulaFunctionInfo Function(const wchar_t* name, std::vector<const wchar_t*> aliases, TestFunction subId,
                                   long maxArgs, long sources, long requiredSources, CalcNPFuncInfoFlags flags,
                                   KVDEnumDataType result, std::vector<Host::FormulaFunctionParam> params)
{
    return {name, std::move(aliases), &GUID_TestFormulaFunctions, subId, maxArgs, sources, requiredSources,
            flags, result, std::move(params)};
}

// A published function whose description fails: the symbol table must pass it over.
class BrokenFunctionClass : public Host::FormulaFunctionClass {
public:
    BrokenFunctionClass()
        : FormulaFunctionClass(Function(L"Broken", {L"BrokenAlias"}, kBrokenInfo, 1, 1, -1, 0, kSamples,
                                        {{L"Source", 0, 0, kSamples}}))
    {
    }
    HRESULT GetFuncInfo(IAutoKVDString** name, TCAFId* typeId, long* maxArgs, long* sources,
                        CalcNPFuncInfoFlags* flags, KVDEnumDataType* kind) override
    {
        FormulaFunctionClass::GetFuncInfo(name, typeId, maxArgs, sources, flags, kind);
        return KVD_E_BADSTATE;
    }
};

const bool kPublished = [] {
    Host::AddFormulaFunction(Function(L"SPEventEnumFlow", {L"SPEEFlow"}, kSPEEFlow, 2, 1, -1, kEventFunctionFlags,
                                      kEvents, {{L"Source", 0, 0, kSamples}, {L"Height", 0, DBL_MAX, 0}}));
    Host::AddFormulaFunction(Function(L"SPEventEnumVol", {L"SPEEVol"}, kSPEEVol, 2, 2, -1, kEventFunctionFlags,
                                      kEvents,
                                      {{L"Volume Source", 0, 0, kSamples}, {L"Flow Event Source", 0, 0, kEvents}}));
    Host::AddFormulaFunction(Function(L"Smooth", {}, kSmoothClash, 1, 1, -1, 0, kSamples, {{L"Source", 0, 0, kSamples}}));
    Host::AddFormulaFunction(Function(L"Twin", {L"TwinA", L"TwinB"}, kTwinAliases, 2, 1, -1, 0x80000000, kSamples,
                                      {{L"Source", 0, 0, kSamples}, {L"Gain", -10, 10, 0}}));
    Host::AddFormulaFunction(Function(L"Shared", {L"SharedA", L"SharedB"}, kSharedAliases, 1, 1, -1, 0, kSamples,
                                      {{L"Source", 0, 0, kSamples}}));
    Host::AddFormulaFunction(Function(L"SomeSources", {}, kSomeSources, 3, 2, 1, 0, kSamples,
                                      {{L"First", 0, 0, kSamples}, {L"Second", 0, 0, kSamples}, {L"Level", 0, 100, 0}}));
    Host::AddFormulaFunction(Function(L"ArgTexts", {}, kArgumentTexts, 2, 1, -1, 0x60000000, kSamples,
                                      {{L"Source", 0, 0, kSamples}, {L"Level", 0, 100, 0}}));
    static BrokenFunctionClass broken;
    return Host::AddFormulaFunctionClass(&broken);
}();

}  // namespace
}  // namespace TestHost
