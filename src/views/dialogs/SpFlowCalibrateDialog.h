// The flow-head calibration dialog: a custom flow gain derived from a known volume injected
// over the selected data, or typed in. It edits a working copy of the flow settings, which its
// caller writes back when the user confirms.
#pragma once

#include <memory>

#include "IOrrelDocument.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/SpFlowSettings.h"
#include "views/dialogs/CalcDialogBase.h"

namespace Spirometry {

class SpFlowCalibrateDialog final : public CalcDialogBase {
public:
    SpFlowCalibrateDialog(SpFlowSettings* settings, IAutoOrrelDoc* document, IRecordData* records);

    // Runs the dialog on a copy of the settings, written back when the user confirms: 1 then,
    // else 2.
    static int Show(IAutoOrrelDoc* document, IRecordData* records, SpFlowSettings* settings);

    void AwakeFromNib() override;
    void Commit() override { UpdateSettings(); }
    std::string HelpTopic() const override { return "spiro_flowheadcalib"; }

    AppKit::TextField* injectedVolume = nullptr;
    AppKit::TextField* flowGain = nullptr;
    AppKit::TextField* calStatus = nullptr;
    KVDErrorProvider* injectedVolumeError = nullptr;
    KVDErrorProvider* flowGainError = nullptr;
    std::unique_ptr<KVDNumberEditHelper> injectedVolumeHelper;
    std::unique_ptr<KVDNumberEditHelper> flowGainHelper;

private:
    void UpdateControls();
    void EnableControls();
    // The settings take the custom head with the gain field's value.
    void UpdateSettings();
    // Numbers out of their limits are left for the helpers to show: they change nothing.
    void OnVolumeChanged();
    void OnGainChanged();
    void SetCustomGain(double gain);

    std::unique_ptr<CalibrateBase> _calPtr;
    SpFlowSettings* _settingsI;
    KVD::String _calStatusStr;
    bool _canDoCal = false;
};

}  // namespace Spirometry
