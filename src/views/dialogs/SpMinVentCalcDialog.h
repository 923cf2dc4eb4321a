// The minute-ventilation calculation's dialog: the flow source channel and the interval over
// which the expired flow is averaged. The settings change only on confirmation.
#pragma once

#include <memory>

#include "IOrrelDocument.h"
#include "spirometry/SpMinVentSettings.h"
#include "views/dialogs/CalcDialogBase.h"

namespace Spirometry {

class SpMinVentCalcDialog final : public CalcDialogBase {
public:
    // An interval of no length averages nothing and leaves the whole channel without a value:
    // the shortest is the least the field shows.
    static constexpr double kMinInterval = 0.0001;
    static constexpr double kMaxInterval = 10000.0;

    SpMinVentCalcDialog(SpMinVentSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                        const std::vector<KVD::String>& names);

    void AwakeFromNib() override;
    void Commit() override;
    std::string HelpTopic() const override { return "spiro_minuteventcalc"; }

    AppKit::PopUpButton* srcList = nullptr;
    AppKit::TextField* intervalEdit = nullptr;
    KVDErrorProvider* intervalErrorProvider = nullptr;
    std::unique_ptr<KVDNumberEditHelper> intervalHelper;

private:
    std::vector<KVD::String> _channelNames;
    SpMinVentSettings* _settingsI;
};

}  // namespace Spirometry
