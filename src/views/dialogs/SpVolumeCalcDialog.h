// The volume calculation's dialog: the flow source channel, the volume reset, and the volume
// correction (dead space, ratio and method), with a ratio computed from the selected data
// that Apply copies into the ratio field. The settings change on a source change and on
// confirmation; other changes stay in the controls until then.
#pragma once

#include <memory>

#include "IOrrelDocument.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/SpVolSettings.h"
#include "views/dialogs/CalcDialogBase.h"

namespace Spirometry {

class SpVolumeCalcDialog final : public CalcDialogBase {
public:
    // A record without a source shows the first channel that carries the flow calculation.
    SpVolumeCalcDialog(SpVolSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                       const std::vector<KVD::String>& names);

    void AwakeFromNib() override;
    void Commit() override { UpdateSettingsFromControls(); }
    std::string HelpTopic() const override { return "spiro_volumecalc"; }
    void NumberEditHelperValueDidChange(KVDNumberEditHelper& helper) override;

    AppKit::PopUpButton* srcList = nullptr;
    AppKit::Button* applyCorrectionCheck = nullptr;
    AppKit::Matrix* correctionMode = nullptr;
    AppKit::Button* correctionNormalBtn = nullptr;
    AppKit::Button* correctionFullBtn = nullptr;
    AppKit::TextField* deadSpaceEdit = nullptr;
    AppKit::TextField* calcCorrectionEdit = nullptr;
    AppKit::TextField* volumeCorrectionEdit = nullptr;
    AppKit::Button* applyButton = nullptr;
    AppKit::TextField* correctionStatus = nullptr;
    AppKit::Button* resetVolumeCheck = nullptr;
    KVDErrorProvider* deadSpaceError = nullptr;
    KVDErrorProvider* calcCorrectionError = nullptr;
    KVDErrorProvider* volumeCorrectionError = nullptr;
    std::unique_ptr<KVDNumberEditHelper> deadSpaceHelper;
    std::unique_ptr<KVDNumberEditHelper> calcCorrectionHelper;
    std::unique_ptr<KVDNumberEditHelper> volumeCorrectionHelper;

private:
    void UpdateControlsFromSettings();
    void UpdateCalcRatio(int32_t method, double deadSpace);
    void UpdateCalcRatioFromControls();
    int32_t CorrectionMethodFromControls() const;
    void EnableControls(bool canDo);
    void UpdateSettingsFromControls();
    void OnDeadSpaceChanged();

    std::vector<KVD::String> _channelNames;
    SpVolSettings* _settingsI;
    std::unique_ptr<CalibrateBase> _calPtr;
    // The source shown: the record's, or the one found for a record without any.
    long _source;
};

}  // namespace Spirometry
