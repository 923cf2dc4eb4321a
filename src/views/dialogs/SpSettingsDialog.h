// The document's analysis settings: the flow and volume sources, breath detection's factor,
// the forced-breath threshold, whether non-forced breaths are reported, the flow noise clamp
// and the flow unit. The record is edited in place as the user works, so a caller hands in a
// copy and keeps it only when the user confirms. The clamp level is stored in litres per
// second and shown in the chosen unit. A live preview in place of the layout's preview proxy
// draws the flow channel with the breaths that the proposed settings would detect.
#pragma once

#include <memory>
#include <vector>

#include "foundation/COMPtr.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpConfig.h"
#include "spirometry/SpiroDocument.h"
#include "trace/PreviewMasterView.h"
#include "views/dialogs/CalcDialogBase.h"
#include "views/dialogs/SPPreview.h"

namespace Spirometry {

class SpSettingsDialog final : public CalcDialogBase {
public:
    SpSettingsDialog(SpConfig* settings, SpiroDocument* document, const std::vector<ChannelAssoc>& flowChannels,
                     const std::vector<ChannelAssoc>& volumeChannels);
    ~SpSettingsDialog() override;

    void AwakeFromNib() override;
    void Commit() override { UpdateAllSettings(); }
    std::string HelpTopic() const override { return "spiro_settingsdlg"; }
    void NumberEditHelperValueDidChange(KVDNumberEditHelper& helper) override;

    AppKit::PopUpButton* flowList = nullptr;
    AppKit::PopUpButton* volumeList = nullptr;
    AppKit::PopUpButton* flowUnitList = nullptr;
    AppKit::Button* includeBreathCheck = nullptr;
    AppKit::TextField* detectionEdit = nullptr;
    AppKit::Stepper* detectionStepper = nullptr;
    AppKit::Slider* detectionSlider = nullptr;
    KVDErrorProvider* detectionErrorProvider = nullptr;
    AppKit::TextField* forcedEdit = nullptr;
    AppKit::Stepper* forcedStepper = nullptr;
    KVDErrorProvider* forcedErrorProvider = nullptr;
    AppKit::TextField* flowNoiseClampValue = nullptr;
    AppKit::TextField* flowNoiseClampUnit = nullptr;
    AppKit::Button* clampToFloor = nullptr;
    AppKit::View* previewProxy = nullptr;  // replaced by the preview's master view
    OrrelDraw::SPIRO_PreviewMasterView* previewView = nullptr;  // in the window
    std::unique_ptr<KVDNumberEditHelper> detectionHelper;
    std::unique_ptr<KVDNumberEditHelper> forcedHelper;
    std::unique_ptr<KVDNumberEditHelper> flowNoiseClampHelper;

    SPPreview* Preview() const { return _previewManager.get(); }
    // The flow channel's range for the preview's scale, high end first; false, range untouched,
    // when the host gives no ends.
    static bool FlowScaleRange(IAutoOrrelDoc* document, int channel, ChannelYDataRange& range);

private:
    void CreatePreview();
    void UpdatePreview();
    // A unit change: the scale keeps its range under the new unit.
    void ResetPreviewYScale();
    // The scale fitted to the pane's data, or the channel's range while it has none.
    void FitPreviewYScale();
    void FillChannelList(AppKit::PopUpButton& list, const std::vector<ChannelAssoc>& channels);
    void FillFlowUnitList();
    // Every control from the record, once at set-up.
    void UpdateControls();
    // The flow unit and the noise clamp from the record, the level in the chosen unit.
    void ShowFlowNoiseClamp();
    void UpdateStandardSettings();
    void UpdatePrefixedUnit();
    void UpdateFlowNoiseClamp();
    void UpdateAllSettings();

    std::unique_ptr<OrrelDraw::SPIRO_PreviewMasterView> mUnplacedPreview;  // when the layout has no proxy
    std::unique_ptr<SPPreview> _previewManager;
    KVD::COMPtr<SpiroDocument> _documentI;
    SpConfig* _settings;
    std::vector<ChannelAssoc> _flowNames;
    std::vector<ChannelAssoc> _volumeNames;
};

}  // namespace Spirometry
