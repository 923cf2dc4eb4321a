#include "spirometry/SpFlow.h"

#include <cmath>

#include "ICalcEnum.h"
#include "IUnitsConversion.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SourceKinds.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kFlowAttributes = 0x50000000;
constexpr AutoBool kDisplayFlags = 0xFFFF;
// Without a units conversion for the raw channel, the flow's full range.
constexpr double kDefaultFullRange = 10.0;
constexpr double kStorageSteps = 64000.0;
// Ranges narrower than this are widened by one unit before the data scaling is made.
constexpr double kNarrowestRange = 1e-5;

const SpFlowSettings* AsFlowSettings(const IPersistObject* settings)
{
    return dynamic_cast<const SpFlowSettings*>(settings);
}

}  // namespace

SpFlow::SpFlow(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel)
    : ChannelCalcBase(calcClass, calcData, channel), mSettings(new SpFlowSettings())
{
    mSettings->mOwnChannel = channel.channel;
}

HRESULT SpFlow::Configure(const IPersistObject* settings, AutoBool force)
{
    const SpFlowSettings* given = AsFlowSettings(settings);
    if (given == nullptr)
        return KVD_E_BADSTATE;
    // The caller's record stays as it is: the channel is set on the copy taken.
    SpFlowSettings applied(given);
    applied.mOwnChannel = mChannel.channel;
    if (force == kAutoFalse && applied.IsEqual(mSettings))
        return KVD_S_FALSE;
    mSettings->SetFrom(&applied);
    if (mCalcEnumHost == nullptr)
        return KVD_E_BADSTATE;
    if (force != kAutoFalse)
        SetCalcEnums(SpFlowEnumTypeId());

    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    mSettings->MakeSourceInfos(mChannel.channel, sources);
    double top = mSettings->mRangeTop;
    const double bottom = mSettings->mRangeBottom;
    if (std::fabs(top - bottom) < kNarrowestRange)
        top += 1.0;
    MakeUnits(float(top), float(bottom), mSettings->mUnitIndex, &mSourceScaling, false);

    mCalcEnumHost->SetSources(long(sources.GetCount()), sources.begin(), 0);
    mCalcEnumHost->SetDataScaling(&mSourceScaling);
    mCalcEnumHost->SetSettingsText(mSettings->GetSettingStr().AsIAutoKVDString(), nullptr);
    KVD::COMPtr<IOffLineData> offLine = KVD::com_cast(mCalcEnumHost);
    return mCalcData->ChannelChanged(mChannel, kUpdateAll, offLine);
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

    const DataScaling storage{1.0 / mStep, -mOffset * mStep};
    mUnits.Clear();
    mCalcData->CreateUnitsConversion(&storage, mSettings->mUnitText.AsIAutoKVDString(), mUnits.Set());
    if (units != nullptr)
        mUnits.GetOut(units);
    return KVD_S_OK;
}

HRESULT SpFlow::GetRecordCreationInfo(int record, TChannelId, IUnitsConversion** units, TTickToSample* map,
                                      int* length, CalcRecCreationFlags* flags)
{
    GetUnits(record, 0, units, nullptr);
    if (map != nullptr)
        *map = TTickToSample{1, 0};
    if (length != nullptr) {
        uint32_t ticks = 0;
        if (mRecordData != nullptr)
            mRecordData->GetRecordTicks(record, &ticks);
        *length = int(ticks);
    }
    if (flags != nullptr)
        *flags = 0;
    return KVD_S_OK;
}

HRESULT SpFlow::SetSettingsForAutoScale(uint32_t, const IPersistObject* settings)
{
    mSettings = KVD::COMPtr<SpFlowSettings>(new SpFlowSettings(AsFlowSettings(settings)));
    return KVD_S_OK;
}

HRESULT SpFlow::GetSettings(IPersistObject** settings) const
{
    if (settings == nullptr)
        return KVD_E_NULLOUT;
    *settings = new SpFlowSettings(mSettings.get());
    (*settings)->AddRef();
    return KVD_S_OK;
}

HRESULT SpFlow::GetInstanceAttributes(CalcInstanceAttributes* attributes) const
{
    if (attributes == nullptr)
        return KVD_E_NULLOUT;
    *attributes = kFlowAttributes;
    return KVD_S_OK;
}

HRESULT SpFlow::Clone(IOrrelSetCalcData*, IOffLineData** out) const
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT SpFlow::sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown*, IAutoOrrelDoc* doc,
                                IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                IPersistObject** result)
{
    if (result == nullptr)
        return KVD_E_NULLOUT;
    *result = nullptr;
    KVD::COMPtr<SpFlowSettings> copy(new SpFlowSettings(AsFlowSettings(current)));
    copy->mOwnChannel = channel.channel;
    KVD::COMPtr<IRecordData> records;
    if (doc != nullptr)
        doc->GetRecordData(0, records.Set());
    const std::vector<KVD::String> names = DlgCommon::GetChannelNames(doc, records, channel.channel);
    if (ShowSpFlowCalcDialog(parent, channel.channel, doc, copy, names) == kDialogCancelled)
        return KVD_S_FALSE;

    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    copy->MakeSourceInfos(channel.channel, sources);
    float top = 0.0f, bottom = 0.0f;
    if (ChannelCalcBase::sDoAutoScale(long(sources.GetCount()), sources.begin(), calcClass, SpFlowEnumTypeId(), copy,
                                      copy->GetSettingStr(), doc, view, channel, &top, &bottom, true,
                                      false) == KVD_S_OK) {
        copy->mRangeTop = top;
        copy->mRangeBottom = bottom;
    }
    copy.GetOut(result);
    return KVD_S_OK;
}

}  // namespace Spirometry
