#include "views/dialogs/SpFlowCalcDialog.h"

#include "foundation/COMPtr.h"
#include "foundation/cocoa/MessageBox.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/SpiroText.h"
#include "views/dialogs/SpFlowCalibrateDialog.h"

namespace Spirometry {

SpFlowCalcDialog::SpFlowCalcDialog(SpFlowSettings* settings, IAutoOrrelDoc* document, int masterChannel,
                                   const std::vector<KVD::String>& names)
    : CalcDialogBase("SpFlowCalcDialog"),
      _settingsI(settings),
      _orrelDocI(document),
      _masterChan(masterChannel),
      _names(names)
{
    _settingsI->SetFlowHead(_settingsI->mHeadIndex, _settingsI->mHeadScale);
    Outlet("srcList", srcList);
    Outlet("headList", headList);
    Outlet("calButton", calButton);
    Outlet("driftCheck", driftCheck);
    Outlet("infoButton", infoButton);
    Outlet("compensateCheck", compensateCheck);
    Outlet("formulaText", formulaText);
    DeclareAction("onSrcChanged:", [this](AppKit::Control*) { OnSrcChanged(); });
    DeclareAction("onCompensateChanged:", [this](AppKit::Control*) { OnSrcChanged(); });
    DeclareAction("onHeadChanged:", [this](AppKit::Control*) { OnHeadChanged(); });
    DeclareAction("onCalibrate:", [this](AppKit::Control*) { OnCalibrate(); });
}

void SpFlowCalcDialog::AwakeFromNib()
{
    srcList->RemoveAllItems();
    headList->RemoveAllItems();
    formulaText->SetStringValue({});
    FillChannelPopup(*srcList, _names);
    const FlowHeads heads;
    for (unsigned row = 0; row < heads.GetCount(); ++row)
        AddItemToPopup(*headList, heads.GetName(row), int(row));
    AddItemToPopup(*headList, CachedText<SpirometryStr::IDS_SPIROMETRY_CUSTOM>(), int(FlowHeads::kCustomHead));
    UpdateControls();
}

void SpFlowCalcDialog::UpdateControls()
{
    srcList->SelectItemWithTag(int(_settingsI->mRawFlowChannel));
    headList->SelectItemWithTag(_settingsI->mHeadIndex);
    SetOn(driftCheck, _settingsI->mDriftCorrection);
    SetOn(compensateCheck, _settingsI->mNonLinearCompensation);
    UpdateFormula();
    EnableControls();
}

void SpFlowCalcDialog::UpdateFormula()
{
    formulaText->SetStringValue(KVD::ToU8String(_settingsI->GetFlowFormula()));
}

void SpFlowCalcDialog::EnableControls()
{
    compensateCheck->SetEnabled(_settingsI->mHeadIndex == FlowHeads::kNonLinearHead);
}

void SpFlowCalcDialog::UpdateSettings()
{
    // With no item selected the stored source stays: a tag of -1 names no channel.
    const int selected = srcList->SelectedTag();
    const long source = selected >= 0 ? selected : _settingsI->mRawFlowChannel;
    bool userUnits = false, notVolts = false;
    DlgCommon::CheckForUserUnits(_orrelDocI, _masterChan, int32_t(source), userUnits, notVolts);
    if (userUnits) {
        KVD::StandardDialog warning(CachedText<SpirometryStr::IDS_UserUnitsInChannelCaption>(),
                                    CachedText<SpirometryStr::IDS_UserUnitsInChannelMessage>());
        warning.SetSeverity(KVD::StandardDialog::kCritical);
        warning.RunDialog();
    }
    const bool compensate = IsOn(compensateCheck);
    _settingsI->mRawFlowChannel = source;
    _settingsI->mDriftCorrection = IsOn(driftCheck);
    const int head = headList->SelectedTag();
    _settingsI->SetFlowHead(head >= 0 ? head : _settingsI->mHeadIndex, _settingsI->mHeadScale);
    _settingsI->mNonLinearCompensation = _settingsI->mHeadIndex == FlowHeads::kNonLinearHead && compensate;
}

void SpFlowCalcDialog::OnSrcChanged()
{
    UpdateSettings();
    UpdateControls();
}

void SpFlowCalcDialog::OnHeadChanged()
{
    OnSrcChanged();
    if (_settingsI->mCustomHead)
        OnCalibrate();
}

void SpFlowCalcDialog::OnCalibrate()
{
    KVD::COMPtr<IRecordData> records;
    if (_orrelDocI != nullptr)
        _orrelDocI->GetRecordData(0, records.Set());
    SpFlowCalibrateDialog::Show(_orrelDocI, records, _settingsI);
    UpdateControls();
}

}  // namespace Spirometry
