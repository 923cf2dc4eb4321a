#include "views/dialogs/CalcDialogs.h"

#include <cstdio>

#include "appkit/Layout.h"

#include "views/dialogs/SpFlowCalcDialog.h"
#include "views/dialogs/SpFlowCalibrateDialog.h"
#include "views/dialogs/SpMinVentCalcDialog.h"
#include "views/dialogs/SpSettingsDialog.h"
#include "views/dialogs/SpTidalVolumeCalcDialog.h"
#include "views/dialogs/SpVolumeCalcDialog.h"

namespace Spirometry {

namespace {

int Answer(int shown)
{
    return shown != 0 ? kDialogAccepted : kDialogCancelled;
}

// A dialog whose layout cannot be read never showed: the user could not accept it. Nothing
// may throw into the core, which reached the dialog from the host.
template <class Show>
int Guarded(Show show)
{
    try {
        return show();
    } catch (const AppKit::LayoutError& e) {
        std::fprintf(stderr, "the dialog cannot be shown: %s\n", e.what());
        return kDialogCancelled;
    }
}

// Runs a dialog that writes its changes at once; cancelled, or failing to show a dialog of its
// own, the record gets back what it held.
template <class Dialog, class Settings>
int ShowEditingInPlace(Settings* settings, IAutoOrrelDoc* document, int channel,
                       const std::vector<KVD::String>& channelNames)
{
    const auto before = KVD::MakeCounted<Settings>(settings);
    int answer = kDialogCancelled;
    try {
        Dialog dialog(settings, document, channel, channelNames);
        answer = Answer(dialog.ShowDialog());
    } catch (...) {
        settings->SetFrom(before.get());
        throw;
    }
    if (answer == kDialogCancelled)
        settings->SetFrom(before.get());
    return answer;
}

}  // namespace

int CalcDialogs::ShowSpSettingsDialog(HWND, SpiroDocument* document, SpConfig* settings,
                                      const std::vector<ChannelAssoc>& flowChannels,
                                      const std::vector<ChannelAssoc>& volumeChannels)
{
    return Guarded([&] {
        SpSettingsDialog dialog(settings, document, flowChannels, volumeChannels);
        return Answer(dialog.ShowDialog());
    });
}

int CalcDialogs::ShowSpFlowCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                                      const std::vector<KVD::String>& channelNames)
{
    return Guarded([&] { return ShowEditingInPlace<SpFlowCalcDialog>(settings, document, channel, channelNames); });
}

int CalcDialogs::ShowSpFlowCalibrateDialog(HWND, IAutoOrrelDoc* document, IRecordData* records,
                                           SpFlowSettings* settings)
{
    return Guarded([&] { return SpFlowCalibrateDialog::Show(document, records, settings); });
}

int CalcDialogs::ShowSpVolumeCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                                        const std::vector<KVD::String>& channelNames)
{
    return Guarded([&] { return ShowEditingInPlace<SpVolumeCalcDialog>(settings, document, channel, channelNames); });
}

int CalcDialogs::ShowSpTidalVolumeCalcDialog(HWND, int channel, IAutoOrrelDoc* document,
                                             SpTidalVolSettings* settings, const std::vector<KVD::String>& channelNames)
{
    return Guarded([&] {
        SpTidalVolumeCalcDialog dialog(settings, document, channel, channelNames);
        return Answer(dialog.ShowDialog());
    });
}

int CalcDialogs::ShowSpMinVentCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpMinVentSettings* settings,
                                         const std::vector<KVD::String>& channelNames)
{
    return Guarded([&] {
        SpMinVentCalcDialog dialog(settings, document, channel, channelNames);
        return Answer(dialog.ShowDialog());
    });
}

}  // namespace Spirometry
