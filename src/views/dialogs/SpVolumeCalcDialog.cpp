#include "views/dialogs/SpVolumeCalcDialog.h"

#include <limits>

#include "foundation/COMPtr.h"
#include "spirometry/DlgCommon.h"

namespace Spirometry {

namespace {

constexpr double kUnlimited = std::numeric_limits<double>::infinity();

}  // namespace

SpVolumeCalcDialog::SpVolumeCalcDialog(SpVolSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                                       const std::vector<KVD::String>& names)
    : CalcDialogBase("SpVolumeCalcDialog"),
      _channelNames(names),
      _settingsI(settings),
      _source(settings->mFlowChannel)
{
    KVD::COMPtr<IRecordData> records;
    if (document != nullptr)
        document->GetRecordData(0, records.Set());
    _calPtr = std::make_unique<CalibrateBase>(document, records);
    _calPtr->SetVolumeTargetChannel(masterChannel);
    if (_source == DlgCommon::kUnsetChannel)
        for (size_t channel = 0; channel < _channelNames.size(); ++channel)
            if (_calPtr->DetectFlowChannel(long(channel))) {
                _source = long(channel);
                break;
            }
    Outlet("srcList", srcList);
    Outlet("applyCorrectionCheck", applyCorrectionCheck);
    Outlet("correctionMode", correctionMode);
    Outlet("correctionNormalBtn", correctionNormalBtn);
    Outlet("correctionFullBtn", correctionFullBtn);
    Outlet("deadSpaceEdit", deadSpaceEdit);
    Outlet("calcCorrectionEdit", calcCorrectionEdit);
    Outlet("volumeCorrectionEdit", volumeCorrectionEdit);
    Outlet("applyButton", applyButton);
    Outlet("correctionStatus", correctionStatus);
    Outlet("resetVolumeCheck", resetVolumeCheck);
    Outlet("deadSpaceError", deadSpaceError);
    Outlet("calcCorrectionError", calcCorrectionError);
    Outlet("volumeCorrectionError", volumeCorrectionError);
    DeclareAction("onSrcChanged:", [this](AppKit::Control*) {
        UpdateSettingsFromControls();
        UpdateControlsFromSettings();
    });
    DeclareAction("onApplyCorrectionChanged:",
                  [this](AppKit::Control*) { EnableControls(_calPtr->VolumeCalibrationCanBeDone(nullptr)); });
    DeclareAction("onDeadSpaceChanged:", [this](AppKit::Control*) { OnDeadSpaceChanged(); });
    // The method group and the ratio field both take this one.
    DeclareAction("onVolumeCorrectionChanged:", [this](AppKit::Control*) { UpdateCalcRatioFromControls(); });
    DeclareAction("onApply:", [this](AppKit::Control*) {
        volumeCorrectionHelper->SetDoubleValue(calcCorrectionHelper->DoubleValue());
    });
}

void SpVolumeCalcDialog::AwakeFromNib()
{
    srcList->RemoveAllItems();
    correctionStatus->SetStringValue({});
    FillChannelPopup(*srcList, _channelNames);
    deadSpaceHelper = MakeHelper(deadSpaceEdit, deadSpaceError, SpVolSettings::kMinDeadSpace, SpVolSettings::kMaxDeadSpace);
    calcCorrectionHelper = MakeHelper(calcCorrectionEdit, calcCorrectionError, -kUnlimited, kUnlimited);
    volumeCorrectionHelper = MakeHelper(volumeCorrectionEdit, volumeCorrectionError, SpVolSettings::kMinVolumeRatio,
                                        SpVolSettings::kMaxVolumeRatio);
    UpdateControlsFromSettings();
}

void SpVolumeCalcDialog::UpdateControlsFromSettings()
{
    if (!srcList->SelectItemWithTag(int(_source)))
        srcList->SelectItemAt(-1);
    SetOn(applyCorrectionCheck, _settingsI->mApplyCorrection);
    SetOn(resetVolumeCheck, _settingsI->mResetVolume);
    correctionMode->SelectCell(_settingsI->mCorrectionMethod == kVolumeCorrectionLinearFit ? correctionNormalBtn
                                                                                           : correctionFullBtn);
    deadSpaceHelper->SetDoubleValue(_settingsI->mDeadSpace);
    volumeCorrectionHelper->SetDoubleValue(_settingsI->mVolumeRatio);
    UpdateCalcRatio(_settingsI->mCorrectionMethod, _settingsI->mDeadSpace);
}

void SpVolumeCalcDialog::UpdateCalcRatio(int32_t method, double deadSpace)
{
    _calPtr->SetCalcFlowChannel(_source);
    KVD::String status;
    const bool canDo = _calPtr->VolumeCalibrationCanBeDone(&status);
    if (canDo)
        calcCorrectionHelper->SetDoubleValue(
            _calPtr->CalcVolumeCorrectionFactor(VolumeCorrectionMethod(method), deadSpace, &status));
    else
        calcCorrectionHelper->SetStringValue({});
    correctionStatus->SetStringValue(KVD::ToU8String(status));
    EnableControls(canDo);
}

void SpVolumeCalcDialog::UpdateCalcRatioFromControls()
{
    // A dead space the helper refuses computes nothing.
    if (deadSpaceHelper->IsValid())
        UpdateCalcRatio(CorrectionMethodFromControls(), deadSpaceHelper->DoubleValue());
}

int32_t SpVolumeCalcDialog::CorrectionMethodFromControls() const
{
    return correctionMode->SelectedCell() == correctionNormalBtn ? kVolumeCorrectionLinearFit
                                                                 : kVolumeCorrectionWholeBreaths;
}

void SpVolumeCalcDialog::EnableControls(bool canDo)
{
    const bool on = IsOn(applyCorrectionCheck);
    for (AppKit::Control* control : std::initializer_list<AppKit::Control*>{
             correctionNormalBtn, correctionFullBtn, correctionMode, deadSpaceEdit, calcCorrectionEdit, applyButton})
        control->SetEnabled(canDo && on);
    volumeCorrectionEdit->SetEnabled(on);
    deadSpaceHelper->SetValidating(canDo && on);
    calcCorrectionHelper->SetValidating(canDo && on);
    volumeCorrectionHelper->SetValidating(on);
}

void SpVolumeCalcDialog::UpdateSettingsFromControls()
{
    _settingsI->mApplyCorrection = IsOn(applyCorrectionCheck);
    _settingsI->mResetVolume = IsOn(resetVolumeCheck);
    _settingsI->mDeadSpace = NumberOr(*deadSpaceHelper, _settingsI->mDeadSpace);
    _settingsI->mVolumeRatio = NumberOr(*volumeCorrectionHelper, _settingsI->mVolumeRatio);
    _settingsI->mCorrectionMethod = CorrectionMethodFromControls();
    // With no item selected the stored source stays: a tag of -1 names no channel.
    if (srcList->SelectedTag() >= 0)
        _source = srcList->SelectedTag();
    _settingsI->mFlowChannel = _source;
}

void SpVolumeCalcDialog::NumberEditHelperValueDidChange(KVDNumberEditHelper& helper)
{
    if (&helper == deadSpaceHelper.get())
        OnDeadSpaceChanged();
}

void SpVolumeCalcDialog::OnDeadSpaceChanged()
{
    if (deadSpaceHelper->IsValid())
        UpdateCalcRatioFromControls();
}

}  // namespace Spirometry
