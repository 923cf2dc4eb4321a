#include "SymbolDump.h"

#include <cstdio>

#include "calc/CalcEnumGuids.h"
#include "foundation/DynamicId.h"
#include "host/calc/PublishedFunctions.h"
#include "TestHostFunctions.h"

namespace CalcTest {
namespace {

struct NamedGuid {
    const _IID* guid;
    const char* name;
};

const NamedGuid kClasses[] = {
    {&CalcParser::GUID_ArithEnumObj, "Arith"},
    {&CalcParser::GUID_FilterCalcEnumObj, "Filter"},
    {&CalcParser::GUID_SynthCalcEnumObj, "Synth"},
    {&CalcParser::GUID_RateEnumObj, "Rate"},
    {&CalcParser::GUID_ShiftCalcEnumObj, "Shift"},
    {&CalcParser::GUID_DifferentialCalcEnumObj, "Diff"},
    {&CalcParser::GUID_IntegralCalcEnumObj, "Integral"},
    {&CalcParser::GUID_LegacyIntegralCalcEnumObj, "LegacyIntegral"},
    {&CalcParser::GUID_CombFilter2CalcEnumObj, "CombFilter2"},
    {&CalcParser::GUID_EnergyCalcEnumObj, "Energy"},
    {&CalcParser::GUID_MainsFilterExCalcEnumObj, "MainsFilterEx"},
    {&CalcParser::GUID_CalcVariableObj, "Variable"},
    {&Host::GUID_HostFormulaFunctions, "Host"},
    {&TestHost::GUID_TestFormulaFunctions, "Test"},
};

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Utf8(const KVD::String& text)
{
    return Escape(std::wstring(text.c_str(), text.length()));
}

}  // namespace

std::string Escape(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'\t':
            escaped += L"\\t";
            break;
        case L'\r':
            escaped += L"\\r";
            break;
        case L'\n':
            escaped += L"\\n";
            break;
        case L'\\':
            escaped += L"\\\\";
            break;
        default:
            escaped += c;
        }
    }
    return KVD::ToU8String(KVD::String(escaped));
}

std::string ClassName(CAFId typeId)
{
    if (typeId == 0)
        return "0";
    const _IID guid = DynId::GetGuid(static_cast<unsigned short>(typeId >> 16));
    for (const NamedGuid& entry : kClasses)
        if (guid == *entry.guid)
            return std::string(entry.name) + ":" + std::to_string(typeId & 0xFFFF);
    return Hex(typeId);
}

std::string DumpSymbol(const CalcParser::Symbol& symbol)
{
    const CalcParser::SymbolRep* rep = symbol.Get();
    std::string line = "T" + std::to_string(rep->GetType());
    if (!rep->GetName().empty())
        line += " \"" + Utf8(rep->GetName()) + "\"";
    line += " id=" + ClassName(rep->GetClassId());
    line += " out=" + Hex(rep->GetOutputDataType());
    const KVD::String settings = rep->GetSettings();
    if (!settings.empty())
        line += " s=\"" + Utf8(settings) + "\"";
    if (rep->GetType() == CalcParser::kSymChannel || rep->GetType() == CalcParser::kSymSource) {
        const TChannelId id = rep->GetChannelId();
        line += " ch=" + std::to_string(id.channel) + " w=" + Hex(id.blockDataType);
        line += " use=" + std::to_string(rep->GetSourceUseMode()) + " ord=" + std::to_string(rep->GetEnumIndex());
    }
    if (const CalcParser::RPNArray* variables = rep->GetSrcVariables()) {
        std::string names;
        for (const CalcParser::Symbol& variable : *variables)
            names += (names.empty() ? "" : ",") + Utf8(variable.GetName());
        line += " sv=" + names;
    }
    line += " @" + std::to_string(rep->GetTextPosition());
    return line;
}

std::vector<std::string> DumpRPN(const CalcParser::RPNArray& rpn)
{
    std::vector<std::string> lines;
    for (const CalcParser::Symbol& symbol : rpn)
        lines.push_back(DumpSymbol(symbol));
    return lines;
}

}  // namespace CalcTest
