// What the tidal-volume and minute-ventilation calculations share: a formula over one flow
// channel run by an enumerator the host makes, a channel unit made from the flow's unit, and
// one information string.
#pragma once

#include "IUnitName.h"
#include "spirometry/SpiroCalculation.h"

namespace Spirometry {

template <class Settings>
class FormulaCalculation : public SpiroCalculation<Settings> {
public:
    // The units of a record, made anew only when the flow channel's unit changed.
    HRESULT GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed) override
    {
        if (changed != nullptr)
            *changed = kAutoFalse;
        CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
        this->mSettings->MakeSourceInfos(this->mChannel.channel, sources);
        KVD::COMPtr<IUnitName> unit;
        if (this->mRecordData != nullptr)
            this->mRecordData->GetChannelUnitName(record, sources[0].channel, unit.Set());
        KVD::String text;
        if (unit != nullptr)
            unit->GetName(kAutoTrue, KVD::String::Setter(text));
        if (this->mUnits == nullptr || !(text == mSourceUnit)) {
            mSourceUnit = text;
            this->MakeUnitsConversion(mChannelUnit(text));
        }
        if (units != nullptr)
            this->mUnits.GetOut(units);
        return KVD_S_OK;
    }

    HRESULT GetInfoString(uint32_t, IAutoKVDString** out) const override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        mInfo.GetOut(out);
        return KVD_S_OK;
    }

protected:
    // The channel's unit for a flow of a unit.
    using ChannelUnit = KVD::String (*)(const KVD::String& flowUnit);

    FormulaCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel,
                       CAFId enumClassId, CalcInstanceAttributes attributes, const wchar_t* info, ChannelUnit unit)
        : SpiroCalculation<Settings>(calcClass, calcData, channel, enumClassId, attributes, true),
          mInfo(info),
          mChannelUnit(unit)
    {
    }

    static bool EndsWith(const KVD::String& text, const std::wstring& tail)
    {
        const std::wstring all(text.c_str());
        return all.size() >= tail.size() && all.compare(all.size() - tail.size(), tail.size(), tail) == 0;
    }
    static KVD::String WithoutTail(const KVD::String& text, size_t tail)
    {
        const std::wstring all(text.c_str());
        return KVD::String(all.substr(0, all.size() - tail));
    }

private:
    KVD::String mInfo;
    ChannelUnit mChannelUnit;
    KVD::String mSourceUnit;
};

}  // namespace Spirometry
