#include "views/dialogs/SpSettingsDialog.h"

#include <cmath>
#include <limits>

#include "foundation/units/UnitPrefixScaling.h"

namespace Spirometry {

namespace {

constexpr double kUnlimited = std::numeric_limits<double>::infinity();
// The flow unit without its prefix; the list shows it after each offered prefix.
constexpr const wchar_t* kFlowUnit = L"L/s";

double Scale(int32_t prefix)
{
    return UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(prefix));
}

}  // namespace

SpSettingsDialog::SpSettingsDialog(SpConfig* settings, SpiroDocument* document,
                                   const std::vector<ChannelAssoc>& flowChannels,
                                   const std::vector<ChannelAssoc>& volumeChannels)
    : CalcDialogBase("SpSettingsDialog"),
      _documentI(document),
      _settings(settings),
      _flowNames(flowChannels),
      _volumeNames(volumeChannels)
{
    Outlet("flowList", flowList);
    Outlet("volumeList", volumeList);
    Outlet("flowUnitList", flowUnitList);
    Outlet("includeBreathCheck", includeBreathCheck);
    Outlet("detectionEdit", detectionEdit);
    Outlet("detectionStepper", detectionStepper);
    Outlet("detectionSlider", detectionSlider);
    Outlet("detectionErrorProvider", detectionErrorProvider);
    Outlet("forcedEdit", forcedEdit);
    Outlet("forcedStepper", forcedStepper);
    Outlet("forcedErrorProvider", forcedErrorProvider);
    Outlet("flowNoiseClampValue", flowNoiseClampValue);
    Outlet("flowNoiseClampUnit", flowNoiseClampUnit);
    Outlet("clampToFloor", clampToFloor);
    // Optional: without it the preview has no room and draws nothing.
    DeclareOutlet("previewProxy", previewProxy);
    const auto standardChanged = [this](AppKit::Control*) {
        UpdateStandardSettings();
        UpdatePreview();
    };
    DeclareAction("onSourceChanged:", standardChanged);
    DeclareAction("onDetectionChanged:", standardChanged);
    // A unit or clamp change shows again only the controls that it changes: a refill of every
    // control from the record would drop what the user entered in the others and has not yet
    // been read, such as the forced threshold and the include tick, which are read at OK.
    DeclareAction("onUnitPrefixChanged:", [this](AppKit::Control*) {
        UpdatePrefixedUnit();
        ShowFlowNoiseClamp();
        UpdatePreview();
        ResetPreviewYScale();
    });
    // The check box and the level field both take this one.
    const auto clampChanged = [this](AppKit::Control*) {
        UpdateFlowNoiseClamp();
        ShowFlowNoiseClamp();
        UpdatePreview();
    };
    DeclareAction("onFlowNoiseClampChanged:", clampChanged);
    DeclareAction("onFlowNoiseClampValueChanged:", clampChanged);
}

SpSettingsDialog::~SpSettingsDialog()
{
    // The pane goes before the view that shows it, and the view forgets it first.
    if (previewView != nullptr) {
        previewView->DataTraceView().SetPreviewPane(nullptr);
        previewView->SetPreviewPane(nullptr);
        previewView = nullptr;
    }
    _previewManager.reset();
    detectionHelper.reset();
    forcedHelper.reset();
    flowNoiseClampHelper.reset();
}

void SpSettingsDialog::AwakeFromNib()
{
    flowList->RemoveAllItems();
    volumeList->RemoveAllItems();
    flowUnitList->RemoveAllItems();
    CreatePreview();
    FillChannelList(*flowList, _flowNames);
    FillChannelList(*volumeList, _volumeNames);
    FillFlowUnitList();
    detectionHelper = MakeHelper(detectionEdit, detectionSlider, detectionStepper, detectionErrorProvider,
                                 SpConfig::kMinCycleDetectionFactor, SpConfig::kMaxCycleDetectionFactor);
    forcedHelper = MakeHelper(forcedEdit, nullptr, forcedStepper, forcedErrorProvider,
                              SpConfig::kMinForcedExpirationThreshold, SpConfig::kMaxForcedExpirationThreshold);
    // Any level is taken: it is not validated.
    flowNoiseClampHelper = std::make_unique<KVDNumberEditHelper>(flowNoiseClampValue, nullptr);
    flowNoiseClampHelper->SetMinValue(-kUnlimited);
    flowNoiseClampHelper->SetMaxValue(kUnlimited);
    flowNoiseClampHelper->SetDelegate(this);
    UpdateControls();
    FitPreviewYScale();
}

void SpSettingsDialog::CreatePreview()
{
    const AppKit::Rect frame = previewProxy != nullptr ? previewProxy->Frame() : AppKit::Rect{};
    auto master = std::make_unique<OrrelDraw::SPIRO_PreviewMasterView>(frame);
    previewView = master.get();
    AppKit::View* superview = previewProxy != nullptr ? previewProxy->Superview() : nullptr;
    if (superview != nullptr) {
        previewView->SetAutoresizingMask(previewProxy->GetAutoresizingMask());
        AppKit::View& proxy = *previewProxy;
        previewProxy = nullptr;
        superview->ReplaceSubview(proxy, std::move(master));
    } else {
        // Without a place in the layout it has no room and is shown nowhere.
        mUnplacedPreview = std::move(master);
    }
    IAutoOrrelDoc* document = _documentI != nullptr ? _documentI->GetAutoDocument() : nullptr;
    IOrrelData2* data = _documentI != nullptr ? _documentI->GetData() : nullptr;
    _previewManager.reset();
    _previewManager = std::make_unique<SPPreview>(document, data, &previewView->DataTraceView(), _settings);
    // The mode buttons work on this preview.
    previewView->SetPreviewPane(_previewManager.get());
    _previewManager->SetupWindow(0);
}

void SpSettingsDialog::UpdatePreview()
{
    if (_previewManager == nullptr)
        return;
    // The preview marks what breath detection would find, so its flow events take the level
    // detection takes: the factor is a percentage of the flow head's full range.
    const int record = _previewManager->Record() == SPPreview::kNoRecord ? 0 : _previewManager->Record();
    const double level = _documentI->Machine().GetCycleDetectionLevel(_previewManager->RecordData(),
                                                                      _settings->mCycleDetectionFactor, record);
    _previewManager->Update(_settings->mSpFlowCalcChan, _settings->mSpVolCalcChan, level, true);
}

bool SpSettingsDialog::FlowScaleRange(IAutoOrrelDoc* document, int channel, ChannelYDataRange& range)
{
    double low = std::numeric_limits<double>::quiet_NaN();
    double high = low;
    DlgCommon::getChannelRangeR(document, channel, 0, false, false, low, high);
    // A range the host did not give would leave the scale without ends.
    if (std::isnan(low) || std::isnan(high))
        return false;
    range = ChannelYDataRange{high, low};
    return true;
}

void SpSettingsDialog::ResetPreviewYScale()
{
    // The range is kept in litres per second whatever the unit, so a unit change only relabels
    // it; fitted again it would fit a monitored trace's few samples so far, cutting off the rest.
    if (_previewManager != nullptr) {
        const ChannelYDataRange shown = _previewManager->GetY(ExtLib::kSideLeft);
        if (std::isfinite(shown.top) && std::isfinite(shown.bottom) && shown.top > shown.bottom) {
            _previewManager->SetY(ExtLib::kSideLeft, shown);
            return;
        }
    }
    FitPreviewYScale();
}

void SpSettingsDialog::FitPreviewYScale()
{
    IAutoOrrelDoc* document = _documentI != nullptr ? _documentI->GetAutoDocument() : nullptr;
    ChannelYDataRange range{};
    if (_previewManager == nullptr || !FlowScaleRange(document, _settings->mSpFlowCalcChan, range))
        return;
    // The host's range is all that the channel's storage could hold, which would flatten the
    // trace to a line: it stands in only while the pane has no data to fit the scale to.
    bool hasData = false;
    OrrelDraw::PreviewWinPane* pane = _previewManager->Pane();
    if (pane != nullptr && pane->GetHasData(0, kScaleLeft, &hasData) == KVD_S_OK && hasData)
        _previewManager->AutoScaleY(ExtLib::kSideLeft, nullptr);
    else
        _previewManager->SetY(ExtLib::kSideLeft, range);
}

void SpSettingsDialog::FillChannelList(AppKit::PopUpButton& list, const std::vector<ChannelAssoc>& channels)
{
    for (const ChannelAssoc& channel : channels)
        AddItemToPopup(list, channel.name, channel.channel);
}

void SpSettingsDialog::FillFlowUnitList()
{
    if (!_documentI)
        return;
    for (int prefix : _documentI->OfferedFlowUnitPrefixes()) {
        KVD::String title = UnitPrefixScaling::sStringFromPrefix(UnitPrefix(prefix));
        title += kFlowUnit;
        AddItemToPopup(*flowUnitList, title, prefix);
    }
}

void SpSettingsDialog::UpdateControls()
{
    flowList->SelectItemWithTag(_settings->mSpFlowCalcChan);
    volumeList->SelectItemWithTag(_settings->mSpVolCalcChan);
    SetOn(includeBreathCheck, _settings->mNonForcedInReport);
    detectionHelper->SetDoubleValue(_settings->mCycleDetectionFactor);
    forcedHelper->SetDoubleValue(_settings->mForcedExpirationThreshold);
    ShowFlowNoiseClamp();
    UpdatePreview();
}

void SpSettingsDialog::ShowFlowNoiseClamp()
{
    flowUnitList->SelectItemWithTag(_settings->mFlowUnitPrefix);
    flowNoiseClampUnit->SetStringValue(flowUnitList->TitleOfSelectedItem());
    flowNoiseClampHelper->SetDoubleValue(_settings->mFlowNoiseClamp.level * Scale(_settings->mFlowUnitPrefix));
    SetOn(clampToFloor, _settings->mFlowNoiseClamp.enabled);
    flowNoiseClampValue->SetEnabled(_settings->mFlowNoiseClamp.enabled);
}

void SpSettingsDialog::UpdateStandardSettings()
{
    // An empty list selects nothing: its tag of -1 names no channel, so the source stays.
    if (flowList->SelectedTag() >= 0)
        _settings->mSpFlowCalcChan = flowList->SelectedTag();
    if (volumeList->SelectedTag() >= 0)
        _settings->mSpVolCalcChan = volumeList->SelectedTag();
    _settings->mNonForcedInReport = IsOn(includeBreathCheck);
    _settings->mCycleDetectionFactor = NumberOr(*detectionHelper, _settings->mCycleDetectionFactor);
    _settings->mForcedExpirationThreshold = NumberOr(*forcedHelper, _settings->mForcedExpirationThreshold);
}

void SpSettingsDialog::UpdatePrefixedUnit()
{
    if (SpConfig::IsValidFlowUnitPrefix(flowUnitList->SelectedTag()))
        _settings->mFlowUnitPrefix = flowUnitList->SelectedTag();
}

void SpSettingsDialog::UpdateFlowNoiseClamp()
{
    _settings->mFlowNoiseClamp.enabled = IsOn(clampToFloor);
    const double scale = Scale(_settings->mFlowUnitPrefix);
    _settings->mFlowNoiseClamp.level =
        NumberOr(*flowNoiseClampHelper, _settings->mFlowNoiseClamp.level * scale) / scale;
}

void SpSettingsDialog::UpdateAllSettings()
{
    // In this order, so that the level typed is read in the unit chosen last.
    UpdateStandardSettings();
    UpdatePrefixedUnit();
    UpdateFlowNoiseClamp();
}

void SpSettingsDialog::NumberEditHelperValueDidChange(KVDNumberEditHelper& helper)
{
    if (&helper == detectionHelper.get()) {
        UpdateStandardSettings();
        UpdatePreview();
    } else if (&helper == flowNoiseClampHelper.get()) {
        UpdateFlowNoiseClamp();
        UpdatePreview();
    }
}

}  // namespace Spirometry
