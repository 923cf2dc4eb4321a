#include "calc/SettingsKeywords.h"

#include <cwchar>

#include "calc/FormulaText.h"

namespace {

const wchar_t* IntegralWord(int type)
{
    static const wchar_t* const kWords[] = {L"sta", L"abs", L"pos", L"neg"};
    return type >= 0 && type <= 3 ? kWords[type] : kWords[0];
}

}  // namespace

namespace RateEnums {

const wchar_t* sTypeToString(FilterType type)
{
    static const wchar_t* const kWords[] = {L"Lowpass", L"Highpass", L"Notch", L"NarrowBandpass",
                                            L"Bandpass", L"Bandstop", L"Decimator"};
    return type >= kHighpass && type <= kDecimator ? kWords[type] : kWords[kLowpass];
}

}  // namespace RateEnums

KVD::String IntegralSettings::TypeToString(IntegralType type)
{
    return KVD::String(IntegralWord(type));
}

IntegralSettings::ResetMode IntegralSettings::StringToReset(const KVD::String& text)
{
    static const struct {
        const wchar_t* prefix;
        ResetMode mode;
    } kPrefixes[] = {{L"tim", kResetTimed}, {L"cyc", kResetCycle}, {L"dec", kResetDecay}, {L"eve", kResetEvent}};
    const wchar_t* chars = text.c_str();
    wchar_t start[3] = {};
    for (int i = 0; i < 3 && chars[i] != 0; ++i)
        start[i] = CalcParser::LowerFormulaChar(chars[i]);
    for (const auto& entry : kPrefixes)
        if (std::wcsncmp(start, entry.prefix, 3) == 0)
            return entry.mode;
    return kResetOff;
}

namespace CalcEnumLegacyIntegral {

KVD::String LegacyIntegralSettings::TypeToString(IntegralType type)
{
    return KVD::String(IntegralWord(type));
}

}  // namespace CalcEnumLegacyIntegral
