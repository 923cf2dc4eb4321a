#include "views/dialogs/CalcDialogs.h"

#include "views/dialogs/SpFlowCalcDialog.h"
#include "views/dialogs/SpFlowCalibrateDialog.h"
#include "views/dialogs/SpMinVentCalcDialog.h"
#include "views/dialogs/SpTidalVolumeCalcDialog.h"
#include "views/dialogs/SpVolumeCalcDialog.h"

namespace Spirometry {

namespace {

int Answer(int shown)
{
    return shown != 0 ? kDialogAccepted : kDialogCancelled;
}

// Runs a dialog that writes its changes at once; cancelled, the record gets back what it held.
template <class Dialog, class Settings>
int ShowEditingInPlace(Settings* settings, IAutoOrrelDoc* document, int channel,
                       const std::vector<KVD::String>& channelNames)
{
    const KVD::COMPtr<Settings> before(new Settings(settings));
    Dialog dialog(settings, document, channel, channelNames);
    const int answer = Answer(dialog.ShowDialog());
    if (answer == kDialogCancelled)
        settings->SetFrom(before.get());
    return answer;
}

}  // namespace

int CalcDialogs::ShowSpFlowCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpFlowSettings* settings,
                                      const std::vector<KVD::String>& channelNames)
{
    return ShowEditingInPlace<SpFlowCalcDialog>(settings, document, channel, channelNames);
}

int CalcDialogs::ShowSpFlowCalibrateDialog(HWND, IAutoOrrelDoc* document, IRecordData* records,
                                           SpFlowSettings* settings)
{
    return SpFlowCalibrateDialog::Show(document, records, settings);
}

int CalcDialogs::ShowSpVolumeCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpVolSettings* settings,
                                        const std::vector<KVD::String>& channelNames)
{
    return ShowEditingInPlace<SpVolumeCalcDialog>(settings, document, channel, channelNames);
}

int CalcDialogs::ShowSpTidalVolumeCalcDialog(HWND, int channel, IAutoOrrelDoc* document,
                                             SpTidalVolSettings* settings, const std::vector<KVD::String>& channelNames)
{
    SpTidalVolumeCalcDialog dialog(settings, document, channel, channelNames);
    return Answer(dialog.ShowDialog());
}

int CalcDialogs::ShowSpMinVentCalcDialog(HWND, int channel, IAutoOrrelDoc* document, SpMinVentSettings* settings,
                                         const std::vector<KVD::String>& channelNames)
{
    SpMinVentCalcDialog dialog(settings, document, channel, channelNames);
    return Answer(dialog.ShowDialog());
}

}  // namespace Spirometry
