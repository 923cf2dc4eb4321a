#include "views/dialogs/SpMinVentCalcDialog.h"

namespace Spirometry {

SpMinVentCalcDialog::SpMinVentCalcDialog(SpMinVentSettings* settings, IAutoOrrelDoc*, int,
                                         const std::vector<KVD::String>& names)
    : CalcDialogBase("SpMinVentCalcDialog"), _channelNames(names), _settingsI(settings)
{
    Outlet("srcList", srcList);
    Outlet("intervalEdit", intervalEdit);
    Outlet("intervalErrorProvider", intervalErrorProvider);
}

void SpMinVentCalcDialog::AwakeFromNib()
{
    srcList->RemoveAllItems();
    FillChannelPopup(*srcList, _channelNames);
    intervalHelper = MakeHelper(intervalEdit, intervalErrorProvider, kMinInterval, kMaxInterval);
    if (!srcList->SelectItemWithTag(_settingsI->mSourceChannel))
        srcList->SelectItemAt(-1);
    intervalHelper->SetDoubleValue(_settingsI->mInterval);
}

void SpMinVentCalcDialog::Commit()
{
    // With no item selected the stored source stays: a tag of -1 names no channel.
    if (srcList->SelectedTag() >= 0)
        _settingsI->mSourceChannel = srcList->SelectedTag();
    _settingsI->mInterval = intervalHelper->DoubleValue();
}

}  // namespace Spirometry
