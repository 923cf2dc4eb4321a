// The flow calculation's dialog: the raw source channel, drift removal, the flow head (five
// built-in heads or a custom gain, calibrated in a dialog of its own) and, for the one head
// that has it, non-linear compensation, with the flow formula that results. Every change is
// written to the settings at once.
#pragma once

#include "IOrrelDocument.h"
#include "spirometry/SpFlowSettings.h"
#include "views/dialogs/CalcDialogBase.h"

namespace Spirometry {

class SpFlowCalcDialog final : public CalcDialogBase {
public:
    // Re-applies the settings' head, so that a built-in head's scale comes from the table.
    SpFlowCalcDialog(SpFlowSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                     const std::vector<KVD::String>& names);

    void AwakeFromNib() override;
    void Commit() override { UpdateSettings(); }
    std::string HelpTopic() const override { return "spiro_flowcalc"; }

    AppKit::PopUpButton* srcList = nullptr;
    AppKit::PopUpButton* headList = nullptr;
    AppKit::Button* calButton = nullptr;
    AppKit::Button* driftCheck = nullptr;
    AppKit::Button* infoButton = nullptr;
    AppKit::Button* compensateCheck = nullptr;
    AppKit::TextField* formulaText = nullptr;

private:
    void UpdateControls();
    void UpdateFormula();
    void EnableControls();
    // The controls into the settings; warns (without stopping) when the source has user units.
    void UpdateSettings();
    void OnSrcChanged();
    void OnHeadChanged();
    void OnCalibrate();

    SpFlowSettings* _settingsI;
    IAutoOrrelDoc* _orrelDocI;
    int _masterChan;
    std::vector<KVD::String> _names;
};

}  // namespace Spirometry
