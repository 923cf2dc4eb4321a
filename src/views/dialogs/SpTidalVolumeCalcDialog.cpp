#include "views/dialogs/SpTidalVolumeCalcDialog.h"

namespace Spirometry {

SpTidalVolumeCalcDialog::SpTidalVolumeCalcDialog(SpTidalVolSettings* settings, IAutoOrrelDoc* document, int,
                                                 const std::vector<KVD::String>& names)
    : CalcDialogBase("SpTidalVolumeCalcDialog"), _channelNames(names), _settingsI(settings), _orrelDocI(document)
{
    Outlet("srcList", srcList);
    Outlet("expirationCheck", expirationCheck);
}

void SpTidalVolumeCalcDialog::AwakeFromNib()
{
    srcList->RemoveAllItems();
    FillChannelPopup(*srcList, _channelNames);
    if (!srcList->SelectItemWithTag(_settingsI->mSourceChannel))
        srcList->SelectItemAt(-1);
    SetOn(expirationCheck, _settingsI->mExpiratoryOnly);
}

void SpTidalVolumeCalcDialog::Commit()
{
    // With no item selected the stored source stays: a tag of -1 names no channel.
    if (srcList->SelectedTag() >= 0)
        _settingsI->mSourceChannel = srcList->SelectedTag();
    _settingsI->mExpiratoryOnly = IsOn(expirationCheck);
    _settingsI->UpdateArithString(_orrelDocI);
}

}  // namespace Spirometry
