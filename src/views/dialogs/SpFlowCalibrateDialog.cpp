#include "views/dialogs/SpFlowCalibrateDialog.h"

#include "spirometry/FlowHeads.h"
#include "spirometry/SourceKinds.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {

namespace {

constexpr double kMinInjectedVolume = 0.0;
constexpr double kMaxInjectedVolume = 10000.0;
constexpr double kMinFlowGain = 0.01;
constexpr double kMaxFlowGain = 100.0;

}  // namespace

SpFlowCalibrateDialog::SpFlowCalibrateDialog(SpFlowSettings* settings, IAutoOrrelDoc* document, IRecordData* records)
    : CalcDialogBase("SpFlowCalibrateDialog"),
      _calPtr(std::make_unique<CalibrateBase>(document, records)),
      _settingsI(settings)
{
    Outlet("injectedVolume", injectedVolume);
    Outlet("flowGain", flowGain);
    Outlet("calStatus", calStatus);
    Outlet("injectedVolumeError", injectedVolumeError);
    Outlet("flowGainError", flowGainError);
    DeclareAction("onVolumeChanged:", [this](AppKit::Control*) { OnVolumeChanged(); });
    DeclareAction("onGainChanged:", [this](AppKit::Control*) { OnGainChanged(); });
}

int SpFlowCalibrateDialog::Show(IAutoOrrelDoc* document, IRecordData* records, SpFlowSettings* settings)
{
    const auto copy = KVD::MakeCounted<SpFlowSettings>(settings);
    SpFlowCalibrateDialog dialog(copy.get(), document, records);
    if (dialog.ShowDialog() == 0)
        return kDialogCancelled;
    settings->SetFrom(copy.get());
    return kDialogAccepted;
}

void SpFlowCalibrateDialog::AwakeFromNib()
{
    injectedVolumeHelper = MakeHelper(injectedVolume, injectedVolumeError, kMinInjectedVolume, kMaxInjectedVolume);
    flowGainHelper = MakeHelper(flowGain, flowGainError, kMinFlowGain, kMaxFlowGain);
    const long raw = _settingsI->mRawFlowChannel;
    const long calculated = _settingsI->mOwnChannel;
    _calPtr->SetRawFlowChannel(raw);
    _calPtr->SetCalcFlowChannel(calculated);
    _canDoCal = _calPtr->FlowCalibrationCanBeDone(&_calStatusStr);
    if (_canDoCal) {
        // The flow channel's own samples are its recorded signal; another channel's are computed.
        _calPtr->OrganiseFlowData(raw, raw == calculated ? kRawRecordedData : kChannelData);
        _calPtr->OrganiseVolData();
        _calStatusStr = KVD::String();
        // A range too short to integrate (one sample, say) makes every volume zero and no gain.
        if (_calPtr->GetFlowIntegral() == 0.0f) {
            _canDoCal = false;
            _calStatusStr = CachedText<SpirometryStr::IDS_NO_FLOW_IN_SELECTION>();
        }
    }
    UpdateControls();
}

void SpFlowCalibrateDialog::UpdateControls()
{
    if (_canDoCal)
        injectedVolumeHelper->SetDoubleValue(_calPtr->CalcVolume(_settingsI->mHeadScale));
    else
        injectedVolumeHelper->SetStringValue({});
    injectedVolumeHelper->SetValidating(_canDoCal);
    flowGainHelper->SetDoubleValue(_settingsI->mHeadScale);
    calStatus->SetStringValue(KVD::ToU8String(_calStatusStr));
    EnableControls();
}

void SpFlowCalibrateDialog::EnableControls()
{
    injectedVolume->SetEnabled(_canDoCal);
}

void SpFlowCalibrateDialog::SetCustomGain(double gain)
{
    _settingsI->SetFlowHead(FlowHeads::kCustomHead, gain);
}

void SpFlowCalibrateDialog::OnVolumeChanged()
{
    // Only a volume within its limits makes a gain; the helper shows what is wrong with another.
    if (!injectedVolumeHelper->IsValid())
        return;
    // A volume that makes no gain (zero, say) keeps the gain there is and says why.
    KVD::String problem;
    const double gain = _calPtr->CalcFlowGain(injectedVolumeHelper->DoubleValue(), &problem);
    if (problem.empty())
        SetCustomGain(gain);
    _calStatusStr = problem;
    UpdateControls();
}

void SpFlowCalibrateDialog::OnGainChanged()
{
    if (!flowGainHelper->IsValid())
        return;
    if (_canDoCal)
        _calStatusStr = KVD::String();
    UpdateSettings();
    UpdateControls();
}

void SpFlowCalibrateDialog::UpdateSettings()
{
    SetCustomGain(flowGainHelper->DoubleValue());
}

}  // namespace Spirometry
