// The settings and calculation dialogs as the core reaches them. The dialogs live with the
// views, which the core does not include: they implement this interface and the plug-in
// installs it at registration. Until then every dialog answers that the user cancelled.
#pragma once

#include <vector>

#include "HWND.h"
#include "IOrrelDocument.h"
#include "foundation/KVDString.h"

namespace Spirometry {

class SpiroDocument;
class SpFlowSettings;
class SpVolSettings;
class SpTidalVolSettings;
class SpMinVentSettings;
struct SpConfig;
struct ChannelAssoc;

// What a dialog answers.
enum DialogAnswer : int {
    kDialogAccepted = 1,
    kDialogCancelled = 2,
};

// Each dialog edits the record it is given in place and answers whether the user accepted.
class SpiroDialogs {
public:
    virtual ~SpiroDialogs() = default;

    virtual int ShowSpSettingsDialog(HWND owner, SpiroDocument* document, SpConfig* settings,
                                     const std::vector<ChannelAssoc>& flowChannels,
                                     const std::vector<ChannelAssoc>& volumeChannels) = 0;
    virtual int ShowSpFlowCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                                     const std::vector<KVD::String>& channelNames) = 0;
    // Edits a copy and writes it back only when the user accepts.
    virtual int ShowSpFlowCalibrateDialog(HWND owner, IAutoOrrelDoc* document, IRecordData* records,
                                          SpFlowSettings* settings) = 0;
    virtual int ShowSpVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                                       const std::vector<KVD::String>& channelNames) = 0;
    // On acceptance the tidal-volume dialog has set the source channel and the expiratory-only
    // flag and rebuilt the formula (SpTidalVolSettings::UpdateArithString); the
    // minute-ventilation dialog has set the source channel and the interval. Dialogs that do
    // not offer them cancel.
    virtual int ShowSpTidalVolumeCalcDialog(HWND, int, IAutoOrrelDoc*, SpTidalVolSettings*,
                                            const std::vector<KVD::String>&)
    {
        return kDialogCancelled;
    }
    virtual int ShowSpMinVentCalcDialog(HWND, int, IAutoOrrelDoc*, SpMinVentSettings*, const std::vector<KVD::String>&)
    {
        return kDialogCancelled;
    }
};

// Makes the dialogs the ones shown from now on; null goes back to the cancelling ones. The
// installer keeps them alive.
void InstallSpiroDialogs(SpiroDialogs* dialogs);
SpiroDialogs& InstalledSpiroDialogs();

// The dialogs by the names their callers use.
int ShowSpSettingsDialog(HWND owner, SpiroDocument* document, SpConfig* settings,
                         const std::vector<ChannelAssoc>& flowChannels, const std::vector<ChannelAssoc>& volumeChannels);
int ShowSpFlowCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                         const std::vector<KVD::String>& channelNames);
int ShowSpFlowCalibrateDialog(HWND owner, IAutoOrrelDoc* document, IRecordData* records, SpFlowSettings* settings);
int ShowSpVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                           const std::vector<KVD::String>& channelNames);
int ShowSpTidalVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpTidalVolSettings* settings,
                                const std::vector<KVD::String>& channelNames);
int ShowSpMinVentCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpMinVentSettings* settings,
                            const std::vector<KVD::String>& channelNames);

}  // namespace Spirometry
