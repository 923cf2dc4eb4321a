// The calculation dialogs as the spirometry core reaches them: each show function runs its
// dialog modally and answers 1 when the user confirmed, 2 when not. A cancelled dialog leaves
// the record it was given as it was, even where the dialog writes each change at once.
#pragma once

#include "spirometry/SpiroDialogs.h"

namespace Spirometry {

class CalcDialogs final : public SpiroDialogs {
public:
    // Edits the record in place even when the user cancels: the caller hands in a copy.
    int ShowSpSettingsDialog(HWND owner, SpiroDocument* document, SpConfig* settings,
                             const std::vector<ChannelAssoc>& flowChannels,
                             const std::vector<ChannelAssoc>& volumeChannels) override;
    int ShowSpFlowCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                             const std::vector<KVD::String>& channelNames) override;
    int ShowSpFlowCalibrateDialog(HWND owner, IAutoOrrelDoc* document, IRecordData* records,
                                  SpFlowSettings* settings) override;
    int ShowSpVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                               const std::vector<KVD::String>& channelNames) override;
    int ShowSpTidalVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpTidalVolSettings* settings,
                                    const std::vector<KVD::String>& channelNames) override;
    int ShowSpMinVentCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpMinVentSettings* settings,
                                const std::vector<KVD::String>& channelNames) override;
};

}  // namespace Spirometry
