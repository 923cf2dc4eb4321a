#include "spirometry/SpVol.h"

#include <cmath>

#include "ICalcEnum.h"
#include "IUnitsConversion.h"
#include "foundation/cocoa/MessageBox.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kVolumeAttributes = 0x10000000;
constexpr double kStorageSteps = 64000.0;
// Ranges narrower than this are widened by one unit before the data scaling is made.
constexpr double kNarrowestRange = 1e-5;

const SpVolSettings* AsVolumeSettings(const IPersistObject* settings)
{
    return dynamic_cast<const SpVolSettings*>(settings);
}

}  // namespace

SpVol::SpVol(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel)
    : ChannelCalcBase(calcClass, calcData, channel), mSettings(new SpVolSettings())
{
    mSettings->mVolumeChannel = channel.channel;
}

HRESULT SpVol::QueryInterface(const _IID& iid, void** out)
{
    if (out != nullptr && iid == IID_ISpiroCalculations) {
        *out = static_cast<ISpiroCalculations*>(this);
        AddRef();
        return KVD_S_OK;
    }
    return ChannelCalcBase::QueryInterface(iid, out);
}

HRESULT SpVol::Configure(const IPersistObject* settings, AutoBool force)
{
    const SpVolSettings* given = AsVolumeSettings(settings);
    if (given == nullptr)
        return KVD_E_BADSTATE;
    SpVolSettings applied(given);
    applied.mVolumeChannel = mChannel.channel;
    if (force == kAutoFalse && applied.IsEqual(mSettings))
        return KVD_S_FALSE;
    mSettings->SetFrom(&applied);
    if (mCalcEnumHost == nullptr)
        return KVD_E_BADSTATE;
    if (force != kAutoFalse)
        SetCalcEnums(SpVolEnumTypeId());

    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    mSettings->MakeSourceInfos(mChannel.channel, sources);
    double top = mSettings->mRangeTop;
    const double bottom = mSettings->mRangeBottom;
    if (std::fabs(top - bottom) < kNarrowestRange)
        top += 1.0;
    MakeUnits(float(top), float(bottom), mSettings->mUnitIndex, &mSourceScaling, false);

    mCalcEnumHost->SetSources(long(sources.GetCount()), sources.begin(), 0);
    mCalcEnumHost->SetSettingsText(mSettings->GetSettingStr().AsIAutoKVDString(), nullptr);
    KVD::COMPtr<IOffLineData> offLine = KVD::com_cast(mCalcEnumHost);
    return mCalcData->ChannelChanged(mChannel, kUpdateAll, offLine);
}

HRESULT SpVol::GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed)
{
    if (changed != nullptr)
        *changed = kAutoFalse;
    mStep = (mSettings->mRangeTop - mSettings->mRangeBottom) / kStorageSteps;
    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    mSettings->MakeSourceInfos(mChannel.channel, sources);
    KVD::COMPtr<IUnitName> unit;
    if (mRecordData != nullptr)
        mRecordData->GetChannelUnitName(record, sources[0].channel, unit.Set());
    KVD::String text;
    if (unit != nullptr)
        unit->GetName(kAutoTrue, KVD::String::Setter(text));

    if (mUnits == nullptr || !(text == mSourceUnit)) {
        mSourceUnit = text;
        // The enumerator checks the flow's unit when it reads its settings.
        KVD::COMPtr<ICalcEnum> calcEnum;
        if (mCalcEnumHost != nullptr)
            mCalcEnumHost->GetCalcEnum(calcEnum.Set());
        if (calcEnum != nullptr)
            calcEnum->SetSettings(mSettings->GetSettingStr().AsIAutoKVDString(), nullptr);
        // Volume from mL/s is in mL: the unit carries the document's flow prefix.
        KVD::String volumeUnit = UnitPrefixScaling::sStringFromPrefix(UnitPrefix(mSettings->mUnitPrefix));
        volumeUnit += mSettings->mUnitText;
        const DataScaling storage{1.0 / mStep, -mOffset * mStep};
        mUnits.Clear();
        mCalcData->CreateUnitsConversion(&storage, volumeUnit.AsIAutoKVDString(), mUnits.Set());
    }
    if (units != nullptr)
        mUnits.GetOut(units);
    return KVD_S_OK;
}

HRESULT SpVol::GetRecordCreationInfo(int record, TChannelId, IUnitsConversion** units, TTickToSample* map,
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

HRESULT SpVol::SetSettingsForAutoScale(uint32_t, const IPersistObject* settings)
{
    mSettings = KVD::COMPtr<SpVolSettings>(new SpVolSettings(AsVolumeSettings(settings)));
    return KVD_S_OK;
}

HRESULT SpVol::GetSettings(IPersistObject** settings) const
{
    if (settings == nullptr)
        return KVD_E_NULLOUT;
    *settings = new SpVolSettings(mSettings.get());
    (*settings)->AddRef();
    return KVD_S_OK;
}

HRESULT SpVol::GetInstanceAttributes(CalcInstanceAttributes* attributes) const
{
    if (attributes == nullptr)
        return KVD_E_NULLOUT;
    *attributes = kVolumeAttributes;
    return KVD_S_OK;
}

HRESULT SpVol::Clone(IOrrelSetCalcData*, IOffLineData** out) const
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT SpVol::SetUseVolCorr(AutoBool use)
{
    mSettings->mApplyCorrection = use != kAutoFalse;
    return KVD_S_OK;
}

HRESULT SpVol::GetUseVolCorr(AutoBool* use)
{
    if (use == nullptr)
        return KVD_E_NULLOUT;
    *use = mSettings->mApplyCorrection ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT SpVol::ClearVolumeCorrection(uint32_t)
{
    mSettings->mApplyCorrection = false;
    const KVD::COMPtr<SpVolSettings> current(new SpVolSettings(mSettings.get()));
    Configure(current, kAutoTrue);
    return KVD_S_OK;
}

HRESULT SpVol::ApplyVolumeCorrection(uint32_t, IAutoOrrelDoc* document, KVDPosition start, KVDPosition end)
{
    if (document == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<IRecordData> records;
    document->GetRecordData(0, records.Set());
    if (records == nullptr)
        return KVD_E_BADSTATE;
    CalibrateBase calibration(document, records);
    calibration.SetupFromOmbrisk(start, end, mSettings->mFlowChannel);
    KVD::String message;
    const double factor = calibration.CalcVolumeCorrectionFactor(
        VolumeCorrectionMethod(mSettings->mCorrectionMethod), mSettings->mDeadSpace, &message);
    if (!message.empty())
        KVD::CAFMessageBox(HWND{}, message.c_str(), L"", KVD::kMbOk, SpiroDocumentTypeId());
    mSettings->mVolumeRatio = factor;
    mSettings->mApplyCorrection = true;

    KVD::COMPtr<ICalculation> calculation = KVD::com_cast(mCalcEnumHost);
    if (calculation == nullptr)
        return KVD_E_BADSTATE;
    const KVD::COMPtr<SpVolSettings> current(new SpVolSettings(mSettings.get()));
    calculation->Configure(current, kAutoTrue);
    return KVD_S_OK;
}

HRESULT SpVol::GetSpFlowCalcChan(int32_t* channel)
{
    if (channel == nullptr)
        return KVD_E_NULLOUT;
    *channel = int32_t(mSettings->mFlowChannel);
    return KVD_S_OK;
}

HRESULT SpVol::GetSpVolCalcChan(int32_t* channel)
{
    if (channel == nullptr)
        return KVD_E_NULLOUT;
    *channel = int32_t(mSettings->mVolumeChannel);
    return KVD_S_OK;
}

HRESULT SpVol::sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown*, IAutoOrrelDoc* doc,
                               IOrrelView* view, TChannelId channel, const IPersistObject* current,
                               IPersistObject** result)
{
    if (result == nullptr)
        return KVD_E_NULLOUT;
    *result = nullptr;
    KVD::COMPtr<SpVolSettings> copy(new SpVolSettings(AsVolumeSettings(current)));
    copy->mVolumeChannel = channel.channel;
    KVD::COMPtr<IRecordData> records;
    if (doc != nullptr)
        doc->GetRecordData(0, records.Set());
    const std::vector<KVD::String> names = DlgCommon::GetChannelNames(doc, records, channel.channel);
    if (ShowSpVolumeCalcDialog(parent, channel.channel, doc, copy, names) == kDialogCancelled)
        return KVD_S_FALSE;

    CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
    copy->MakeSourceInfos(channel.channel, sources);
    float top = 0.0f, bottom = 0.0f;
    if (ChannelCalcBase::sDoAutoScale(long(sources.GetCount()), sources.begin(), calcClass, SpVolEnumTypeId(), copy,
                                      copy->GetSettingStr(), doc, view, channel, &top, &bottom, true,
                                      false) == KVD_S_OK) {
        copy->mRangeTop = top;
        copy->mRangeBottom = bottom;
    }
    copy.GetOut(result);
    return KVD_S_OK;
}

}  // namespace Spirometry
