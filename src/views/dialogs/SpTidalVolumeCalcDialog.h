// The tidal-volume calculation's dialog: the flow source channel and whether only expirations
// count. The settings, and the formula made from them, change only on confirmation.
#pragma once

#include "IOrrelDocument.h"
#include "spirometry/SpTidalVolSettings.h"
#include "views/dialogs/CalcDialogBase.h"

namespace Spirometry {

class SpTidalVolumeCalcDialog final : public CalcDialogBase {
public:
    SpTidalVolumeCalcDialog(SpTidalVolSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                            const std::vector<KVD::String>& names);

    void AwakeFromNib() override;
    // The source, the flag, then the formula rebuilt from them.
    void Commit() override;
    std::string HelpTopic() const override { return "spiro_tidalvolcalc"; }

    AppKit::PopUpButton* srcList = nullptr;
    AppKit::Button* expirationCheck = nullptr;

private:
    std::vector<KVD::String> _channelNames;
    SpTidalVolSettings* _settingsI;
    IAutoOrrelDoc* _orrelDocI;
};

}  // namespace Spirometry
