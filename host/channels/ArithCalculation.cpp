#include "host/channels/ArithCalculation.h"

#include "CompositeCalcEnumClass.h"
#include "ICalcEnumClass2.h"
#include "IKVDChannelInfo.h"
#include "IRecordData.h"
#include "calc/FormulaToRPN.h"
#include "calc/Parser.h"
#include "calc/Symbol.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "host/calc/CalcEnumHost.h"
#include "host/data/ChannelUnits.h"

namespace Host {

ArithCalculation::ArithCalculation(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data)
    : mClass(cls), mChannel(channel), mCalcData(data)
{
    auto* host = new CalcEnumHost(static_cast<IChannelCalc*>(this));
    mHost = host;
    mInner = KVD::COMPtr<IUnknown>::Take(host->TakeInner());
    mSettings = ArithSettings::Create();
}

ArithCalculation::~ArithCalculation()
{
    if (mHost != nullptr)
        mHost->Reset();
}

HRESULT ArithCalculation::QueryMore(const _IID& iid, void** out)
{
    return mInner->QueryInterface(iid, out);
}

// The formula's channel references name their source by number, in the order the compiler
// numbered them; the composite reads its sources in that order.
HRESULT ArithCalculation::FormulaSources(const KVD::String& formula,
                                         std::vector<CalcEnums::CCalcEnumSourceInfo>& sources) const
{
    KVD::String expanded;
    KVD::String message;
    if (!CalcParser::Parser::sDoFunctionExpansions(formula, expanded, message))
        return KVD_E_BADSTATE;
    KVD::COMPtr<IOrrelData2> data;
    if (mCalcData != nullptr)
        mCalcData->GetData(data.Set());
    KVD::COMPtr<IKVDChannelInfo> channels(KVD::com_cast(data.get()));
    CalcParser::RPNArray rpn;
    const HRESULT hr = CalcParser::formulaToRPN(expanded, rpn, channels, mChannel, nullptr, message, nullptr);
    if (hr != KVD_S_OK)
        return hr;
    sources.clear();
    for (unsigned i = 0; i < rpn.GetCount(); ++i) {
        const CalcParser::SymbolRep* rep = rpn[i].Get();
        if (rep->GetType() != CalcParser::kSymChannel && rep->GetType() != CalcParser::kSymSource)
            continue;
        const size_t index = static_cast<size_t>(rep->GetEnumIndex());
        if (index >= sources.size())
            sources.resize(index + 1, CalcEnums::CCalcEnumSourceInfo{TChannelId{int32_t(0x80000000), 0}, 0});
        rep->GetSourceInfo(&sources[index]);
    }
    return KVD_S_OK;
}

HRESULT ArithCalculation::InstallEnumerator(const std::vector<CalcEnums::CCalcEnumSourceInfo>& sources)
{
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    KVD::COMPtr<ICalcEnumClass2> composite;
    if (factory != nullptr)
        factory->GetClassObject(TypeIdClass<&GUID_CompositeCalcEnumObj, 0>::GetId(), IID_ICalcEnumClass2,
                                composite.Set());
    KVD::COMPtr<IOrrelData2> data;
    mCalcData->GetData(data.Set());
    KVD::COMPtr<ICalcEnum> calcEnum;
    if (composite != nullptr)
        composite->Create(data, calcEnum.Set());
    if (calcEnum == nullptr)
        return KVD_E_BADSTATE;
    mHost->InstallCalcEnum(mClass, mChannel, mCalcData, calcEnum);
    mHost->SetSources(static_cast<long>(sources.size()), sources.data(), 0);
    return mHost->SetSettingsText(mSettings->Formula().AsIAutoKVDString(), nullptr);
}

HRESULT ArithCalculation::Configure(const IPersistObject* settings, AutoBool force)
{
    const auto* given = dynamic_cast<const ArithSettings*>(settings);
    if (given == nullptr || mCalcData == nullptr)
        return KVD_E_BADSTATE;
    if (!force && *given == *mSettings)
        return KVD_S_FALSE;
    std::vector<CalcEnums::CCalcEnumSourceInfo> sources;
    HRESULT hr = FormulaSources(given->Formula(), sources);
    if (hr != KVD_S_OK)
        return hr;
    mSettings = ArithSettings::Create(given->Formula(), given->Unit());
    hr = InstallEnumerator(sources);
    if (hr != KVD_S_OK)
        return hr;
    return mCalcData->ChannelChanged(mChannel, kUpdateAll, this);
}

HRESULT ArithCalculation::GetRecordCreationInfo(int record, TChannelId, IUnitsConversion** units, TTickToSample* map,
                                                int* n, CalcRecCreationFlags* flags)
{
    if (units == nullptr || map == nullptr || n == nullptr || flags == nullptr)
        return KVD_E_POINTER;
    *units = ChannelUnits::Create(1.0, 0.0, KVD::ToU8String(mSettings->Unit()));
    *map = TTickToSample{1, 0};
    *n = 0;
    *flags = 0;
    KVD::COMPtr<IOrrelData2> data;
    mCalcData->GetData(data.Set());
    KVD::COMPtr<IRecordData> records(KVD::com_cast(data.get()));
    uint32_t ticks = 0;
    if (records != nullptr && records->GetRecordTicks(record, &ticks) == KVD_S_OK)
        *n = static_cast<int>(ticks);
    return KVD_S_OK;
}

HRESULT ArithCalculation::SetSettingsForAutoScale(uint32_t, const IPersistObject* settings)
{
    const auto* given = dynamic_cast<const ArithSettings*>(settings);
    if (given == nullptr)
        return KVD_E_BADSTATE;
    mSettings = ArithSettings::Create(given->Formula(), given->Unit());
    return KVD_S_OK;
}

HRESULT ArithCalculation::GetSettings(IPersistObject** settings) const
{
    if (settings == nullptr)
        return KVD_E_POINTER;
    *settings = ArithSettings::Create(mSettings->Formula(), mSettings->Unit()).Forget();
    return KVD_S_OK;
}

HRESULT ArithCalculation::GetInstanceAttributes(CalcInstanceAttributes* attributes) const
{
    if (attributes == nullptr)
        return KVD_E_POINTER;
    *attributes = 0;
    return KVD_S_OK;
}

HRESULT ArithCalculation::Clone(IOrrelSetCalcData*, IOffLineData** out) const
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT ArithCalculation::GetInfoString(uint32_t, IAutoKVDString** out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mSettings->Formula().GetOut(out);
    return KVD_S_OK;
}

HRESULT ArithCalculation::Deconfigure(uint32_t)
{
    return mHost->Reset();
}

HRESULT ArithCalculation::GetChannel(TChannelId* channel)
{
    if (channel == nullptr)
        return KVD_E_POINTER;
    *channel = mChannel;
    return KVD_S_OK;
}

}  // namespace Host
