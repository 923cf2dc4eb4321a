#include "spirometry/SpiroDialogs.h"

#include <atomic>

namespace Spirometry {

namespace {

// Stands in until the views' dialogs are installed: the user always cancels.
class CancellingDialogs final : public SpiroDialogs {
public:
    int ShowSpSettingsDialog(HWND, SpiroDocument*, SpConfig*, const std::vector<ChannelAssoc>&,
                             const std::vector<ChannelAssoc>&) override
    {
        return kDialogCancelled;
    }
    int ShowSpFlowCalcDialog(HWND, int, IAutoOrrelDoc*, SpFlowSettings*, const std::vector<KVD::String>&) override
    {
        return kDialogCancelled;
    }
    int ShowSpFlowCalibrateDialog(HWND, IAutoOrrelDoc*, IRecordData*, SpFlowSettings*) override
    {
        return kDialogCancelled;
    }
    int ShowSpVolumeCalcDialog(HWND, int, IAutoOrrelDoc*, SpVolSettings*, const std::vector<KVD::String>&) override
    {
        return kDialogCancelled;
    }
};

CancellingDialogs sCancelling;
std::atomic<SpiroDialogs*> sInstalled{nullptr};

}  // namespace

void InstallSpiroDialogs(SpiroDialogs* dialogs)
{
    sInstalled.store(dialogs, std::memory_order_release);
}

SpiroDialogs& InstalledSpiroDialogs()
{
    SpiroDialogs* dialogs = sInstalled.load(std::memory_order_acquire);
    return dialogs != nullptr ? *dialogs : sCancelling;
}

int ShowSpSettingsDialog(HWND owner, SpiroDocument* document, SpConfig* settings,
                         const std::vector<ChannelAssoc>& flowChannels, const std::vector<ChannelAssoc>& volumeChannels)
{
    return InstalledSpiroDialogs().ShowSpSettingsDialog(owner, document, settings, flowChannels, volumeChannels);
}

int ShowSpFlowCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                         const std::vector<KVD::String>& channelNames)
{
    return InstalledSpiroDialogs().ShowSpFlowCalcDialog(owner, channel, document, settings, channelNames);
}

int ShowSpFlowCalibrateDialog(HWND owner, IAutoOrrelDoc* document, IRecordData* records, SpFlowSettings* settings)
{
    return InstalledSpiroDialogs().ShowSpFlowCalibrateDialog(owner, document, records, settings);
}

int ShowSpVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                           const std::vector<KVD::String>& channelNames)
{
    return InstalledSpiroDialogs().ShowSpVolumeCalcDialog(owner, channel, document, settings, channelNames);
}

int ShowSpTidalVolumeCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpTidalVolSettings* settings,
                                const std::vector<KVD::String>& channelNames)
{
    return InstalledSpiroDialogs().ShowSpTidalVolumeCalcDialog(owner, channel, document, settings, channelNames);
}

int ShowSpMinVentCalcDialog(HWND owner, int channel, IAutoOrrelDoc* document, SpMinVentSettings* settings,
                            const std::vector<KVD::String>& channelNames)
{
    return InstalledSpiroDialogs().ShowSpMinVentCalcDialog(owner, channel, document, settings, channelNames);
}

}  // namespace Spirometry
