#include "spirometry/SpVol.h"

#include "ICalcEnum.h"
#include "IUnitsConversion.h"
#include "foundation/cocoa/MessageBox.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kVolumeAttributes = 0x10000000;

}  // namespace

SpVol::SpVol(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel)
    : SpiroCalculation(calcClass, calcData, channel, SpVolEnumTypeId(), kVolumeAttributes, false)
{
}

HRESULT SpVol::QueryMore(const _IID& iid, void** out)
{
    if (KVD::AnswerFace<ISpiroCalculations>(this, iid, out) == KVD_S_OK)
        return KVD_S_OK;
    return SpiroCalculation::QueryMore(iid, out);
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
        // Litres, shown in the document's flow prefix like the flow it comes from.
        MakeUnitsConversion(mSettings->mUnitText, UnitPrefix(mSettings->mUnitPrefix));
    }
    if (units != nullptr)
        mUnits.GetOut(units);
    return KVD_S_OK;
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
    return RunSettingsDialog(calcClass, doc, view, channel, SpVolEnumTypeId(), current, result,
                             [parent](int channel, IAutoOrrelDoc* doc, SpVolSettings* copy,
                                      const std::vector<KVD::String>& names) {
                                 return ShowSpVolumeCalcDialog(parent, channel, doc, copy, names);
                             });
}

}  // namespace Spirometry
