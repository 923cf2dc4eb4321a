#include "spirohost/FormulaChannel.h"

#include "calc/FormulaToRPN.h"
#include "calc/FormulaText.h"
#include "foundation/DynamicId.h"
#include "foundation/ResultCodeText.h"
#include "host/calc/CalcEnumHost.h"
#include "host/channels/ArithSettings.h"
#include "host/framework/Framework.h"

namespace SpiroHost {
namespace {

std::string CompileError(Host::DocumentData& data, const TChannelId& channel, const KVD::String& formula)
{
    CalcParser::RPNArray rpn;
    KVD::String message;
    long position = -1;
    const HRESULT hr = CalcParser::formulaToRPN(formula, rpn, static_cast<IKVDChannelInfo*>(&data), channel, nullptr,
                                                message, &position);
    if (hr == KVD_S_OK)
        return rpn.GetCount() == 0 ? "the formula computes nothing" : "";
    const std::string error = KVD::ToU8String(message);
    if (position < 0)
        return error;
    const unsigned typed = CalcParser::TypedPosition(formula, position);
    return "position " + std::to_string(typed) + ": " + error + "\n" +
           KVD::ToU8String(CalcParser::QuoteFormula(formula, typed, KVD::String(L"  ")));
}

}  // namespace

std::string PutFormula(Host::DocumentData& data, int channel, const std::string& formula)
{
    const TChannelId id{channel, 0};
    const KVD::String text = KVD::ToKVDString(formula);
    std::string error = CompileError(data, id, text);
    if (!error.empty())
        return error;
    KVD::COMPtr<ICalculationClass> cls;
    Host::Framework::Instance()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                cls.Set());
    KVD::COMPtr<ICalculation> calculation;
    HRESULT hr = cls != nullptr ? cls->Create(id, &data, calculation.Set()) : KVD_E_BADSTATE;
    if (calculation != nullptr)
        hr = calculation->Configure(Host::ArithSettings::Create(text).get(), kAutoTrue);
    if (hr != KVD_S_OK)
        return "the formula cannot run: " + Host::FailureText(calculation, hr);
    data.SetCalculation(id, calculation);
    return "";
}

std::string RunFailure(Host::ChannelTable& channels, int record, int channel)
{
    channels.Floats(record, channel, 0);
    const std::string failure = channels.ComputeFailure(record, channel);
    return failure.empty() ? "" : "the formula cannot run: " + failure;
}

}  // namespace SpiroHost
