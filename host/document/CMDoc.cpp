#include "host/document/CMDoc.h"

#include <locale>
#include <sstream>

#include "ResultCodes.h"
#include "foundation/KVDString.h"

namespace Host {
namespace {

// In the formula language's notation, whatever the process's locale.
std::wstring FormulaNumber(double value)
{
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out.precision(15);
    out << value;
    return out.str();
}

}  // namespace

HRESULT CMCycleDetection::ResetParameters()
{
    mSettings = HostCalc::CycleSettings();
    return KVD_S_OK;
}

double* CMCycleDetection::Parameter(int32_t number)
{
    switch (number) {
    case kCMHysteresis:
        return &mSettings.hysteresis;
    case kCMMinimumCycle:
        return &mSettings.minimumCycle;
    case kCMSmoothing:
        return &mSettings.smoothing;
    case kCMLevel:
        return &mSettings.level;
    default:
        return nullptr;
    }
}

HRESULT CMCycleDetection::SetParameter(int32_t number, double value)
{
    double* parameter = Parameter(number);
    if (parameter == nullptr)
        return KVD_E_BADSTATE;
    const double kept = *parameter;
    *parameter = value;
    if (mSettings.IsValid())
        return KVD_S_OK;
    *parameter = kept;
    return KVD_E_BADSTATE;
}

HRESULT CMCycleDetection::GetParameter(int32_t number, double* value)
{
    if (value == nullptr)
        return KVD_E_POINTER;
    const double* parameter = Parameter(number);
    if (parameter == nullptr)
        return KVD_E_BADSTATE;
    *value = *parameter;
    return KVD_S_OK;
}

HRESULT CMCycleDetection::GetEventFormula(IAutoKVDString* channelText, int32_t edge, TChannelId channel,
                                          IAutoKVDString** formula)
{
    if (formula == nullptr)
        return KVD_E_POINTER;
    *formula = nullptr;
    std::wstring text;
    if (channel.channel >= 0)
        text = L"Ch" + std::to_wstring(int64_t(channel.channel) + 1);
    else if (channel.channel == -1 && channelText != nullptr)
        text = KVD::String(channelText).c_str();
    if (text.empty() || (edge != 0 && edge != 1))
        return KVD_E_BADSTATE;
    const std::wstring made = L"CycleStarts(" + text + L"," + FormulaNumber(mSettings.level) + L"," +
                              FormulaNumber(mSettings.hysteresis) + L"," + FormulaNumber(mSettings.minimumCycle) +
                              L"," + FormulaNumber(mSettings.smoothing) + L"," + (edge == 1 ? L"1" : L"0") + L")";
    KVD::String(made).GetOut(formula);
    return KVD_S_OK;
}

CMDoc::CMDoc() : mDetection(KVD::MakeCounted<CMCycleDetection>()) {}

HRESULT CMDoc::GetCycleDetection(ICMCycleDetect** detection)
{
    if (detection == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(static_cast<ICMCycleDetect*>(mDetection.get()), detection);
    return KVD_S_OK;
}

}  // namespace Host
