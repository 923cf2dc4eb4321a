#include "spirometry/SpFlow.h"

#include <cmath>

#include "ICalcEnum.h"
#include "IUnitsConversion.h"
#include "spirometry/SourceKinds.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kFlowAttributes = 0x50000000;
constexpr AutoBool kDisplayFlags = 0xFFFF;
// Without a units conversion for the raw channel, the flow's full range.
constexpr double kDefaultFullRange = 10.0;

}  // namespace

SpFlow::SpFlow(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel)
    : SpiroCalculation(calcClass, calcData, channel, SpFlowEnumTypeId(), kFlowAttributes, true)
{
}

HRESULT SpFlow::GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed)
{
    if (changed != nullptr)
        *changed = kAutoFalse;
    const uint32_t kind = SourceKind(mSettings->mRawFlowChannel, mChannel.channel);
    const TChannelId raw{int32_t(mSettings->mRawFlowChannel), kind};
    mStep = (mSettings->mRangeTop - mSettings->mRangeBottom) / kStorageSteps;

    int exponent = 0;
    double fullRange = kDefaultFullRange;
    if (mRecordData != nullptr) {
        KVD::COMPtr<IUnitName> unit;
        mRecordData->GetChannelUnitName(record, raw, unit.Set());
        mRawUnit = KVD::String();
        if (unit != nullptr)
            unit->GetName(kAutoTrue, KVD::String::Setter(mRawUnit));
        mSettings->CheckBaseUnitAndPrefix(mRawUnit.AsIAutoKVDString(), exponent);
        KVD::COMPtr<IUnitsConversion> rawUnits;
        mRecordData->GetUnitsConversion(record, raw, rawUnits.Set());
        double rangeTop = 0.0, rangeBottom = 0.0;
        if (rawUnits != nullptr && rawUnits->GetRange(kind, &rangeTop, &rangeBottom) == KVD_S_OK)
            fullRange = rangeTop * mSettings->mHeadScale;
    }
    mSettings->mRawPrefixExponent = exponent;
    mSettings->mFlowFullRange = fullRange;

    // The enumerator reads the settings again: the raw channel's units may have changed.
    KVD::COMPtr<ICalcEnum> calcEnum;
    if (mCalcEnumHost != nullptr)
        mCalcEnumHost->GetCalcEnum(calcEnum.Set());
    if (calcEnum != nullptr)
        calcEnum->SetSettings(mSettings->GetSettingStr().AsIAutoKVDString(), nullptr);

    mStep *= std::pow(10.0, exponent);
    mUnitsWord = mSettings->mUnitPrefix;
    mUnitsFlag = kDisplayFlags;
    mRangeHigh = float((fullRange + mSourceScaling.offset) * mSourceScaling.scale);
    mRangeLow = float((mSourceScaling.offset - fullRange) * mSourceScaling.scale);

    MakeUnitsConversion(mSettings->mUnitText, UnitPrefix(mSettings->mUnitPrefix));
    if (units != nullptr)
        mUnits.GetOut(units);
    return KVD_S_OK;
}

HRESULT SpFlow::sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown*, IAutoOrrelDoc* doc,
                                IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                IPersistObject** result)
{
    return RunSettingsDialog(calcClass, doc, view, channel, SpFlowEnumTypeId(), current, result,
                             [parent](int channel, IAutoOrrelDoc* doc, SpFlowSettings* copy,
                                      const std::vector<KVD::String>& names) {
                                 return ShowSpFlowCalcDialog(parent, channel, doc, copy, names);
                             });
}

}  // namespace Spirometry
