// The spirometry document's menu, commands, messages and events.
#include "FrameworkIds.h"
#include "foundation/StringKeys.h"
#include "foundation/cocoa/MessageBox.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {
namespace {

typedef CmdIdClass<&SpiroDocumentGUID, 1> SettingsCmdId;
typedef CmdIdClass<&SpiroDocumentGUID, 2> OpenXYViewCmdId;
typedef CmdIdClass<&SpiroDocumentGUID, 3> OpenDataViewCmdId;
typedef CmdIdClass<&SpiroDocumentGUID, 4> OpenReportViewCmdId;
typedef EventIdClass<&SpiroDocumentGUID, 0> SettingsChangedEventId;
typedef StaticTypeIdClass<kEventId_CreationComplete> CreationCompleteEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 0> HostSelectionChangedEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 4> HostDataChangedEventId;

constexpr MsgFlags kSettingsDlgSendFlags = 4;
constexpr MsgFlags kSettingsChangeSendFlags = 32;  // the host records the change

// Open the settings dialog.
typedef MsgData0<MsgIdClass<&SpiroDocumentGUID, 0>> SettingsDlgMsg;
// The settings as documents of earlier versions stored them.
typedef MsgData5<MsgIdClass<&SpiroDocumentGUID, 1>, 0, double, double, bool, int, int> OldSettingsChangeMsg;
typedef MsgData8<MsgIdClass<&SpiroDocumentGUID, kSpiroSettingsChangeMsgIndex>, 0, double, double, bool, int, int, int,
                 double, bool>
    SettingsChangeMsg;
typedef MsgData1<StaticMsgIdClass<kMsgId_OpenView>, 0, MsgCAFId> OpenViewMsg;

// The menu's commands are numbered for the host as it expects them.
constexpr int kSettingsCmdNumber = 187;
constexpr int kDataViewCmdNumber = 188;
constexpr int kFlowVolumeViewCmdNumber = 190;
constexpr int kReportViewCmdNumber = 191;
constexpr CommandFlags kMenuHeaderFlags = 48;
constexpr CommandFlags kExtensionMenuFlags = 2;
constexpr CommandFlags kMenuItemFlags = 10;
constexpr int kMenuPosition = 10000;

CAFCommand MenuItem(TCAFId id, const KVDXMLStringGroupKey& key, const wchar_t* path, int number, const wchar_t* name)
{
    CAFCommand command;
    command.CreateCommand(id, KVDGetMyBundle(), key, path, KVD::KeyCode(), kMenuItemFlags, number, name,
                          L"Spirometry", L"", nullptr, nullptr);
    return command;
}

bool NoWindow(const HWND& window)
{
    return window.words[0] == 0 && window.words[1] == 0 && window.words[2] == 0;
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(SpiroDocument, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<SpiroDocument>(&CreationCompleteEventId::GetId, &SpiroDocument::OnDocumentCreationComplete),
    ResponseTable::Event<SpiroDocument>(&HostDataChangedEventId::GetId, &SpiroDocument::OnOrrelDataModified),
    ResponseTable::Event<SpiroDocument>(&HostSelectionChangedEventId::GetId, &SpiroDocument::OnHostSelectionChanged),
    ResponseTable::Command<SpiroDocument>(&SettingsCmdId::GetId, &SpiroDocument::CmSettingsDlg),
    ResponseTable::CommandEnable<SpiroDocument>(&SettingsCmdId::GetId, &SpiroDocument::CeSettingsDlg),
    ResponseTable::Command<SpiroDocument>(&OpenXYViewCmdId::GetId, &SpiroDocument::CmOpenXYView),
    ResponseTable::CommandEnable<SpiroDocument>(&OpenXYViewCmdId::GetId, &SpiroDocument::CeOpenXYView),
    ResponseTable::Command<SpiroDocument>(&OpenDataViewCmdId::GetId, &SpiroDocument::CmOpenDataView),
    ResponseTable::CommandEnable<SpiroDocument>(&OpenDataViewCmdId::GetId, &SpiroDocument::CeOpenDataView),
    ResponseTable::Command<SpiroDocument>(&OpenReportViewCmdId::GetId, &SpiroDocument::CmOpenReportView),
    ResponseTable::CommandEnable<SpiroDocument>(&OpenReportViewCmdId::GetId, &SpiroDocument::CeOpenReportView),
    ResponseTable::Message<SpiroDocument, SettingsDlgMsg>(&SpiroDocument::HmSettingsDlg, 0xFFFF),
    ResponseTable::Message<SpiroDocument, OldSettingsChangeMsg>(&SpiroDocument::HmSpiroSettingsChange, 0xFFFF),
    ResponseTable::Message<SpiroDocument, SettingsChangeMsg>(&SpiroDocument::HmSpiroSettings2Change, 0xFFFF),
    TableEnd(),
};

void SpiroDocument::GetCommands(CAFCommandGroup& group)
{
    using namespace SpirometryStr;
    group.Add(CAFCommand(L"Spirometry", kMenuHeaderFlags, L"Spirometry", nullptr, kMenuPosition));
    group.Add(CAFCommand(0, KVDGetMyBundle(), KVDCMDID_Spirometry, L"Spirometry^EXTENSION|", kExtensionMenuFlags,
                         nullptr, nullptr));
    group.Add(MenuItem(SettingsCmdId::GetId(), KVDCMDID_SettingsDlg, L"Spirometry|Settings", kSettingsCmdNumber,
                       L"settings"));
    group.Add(CAFCommand(L"Spirometry|-"));
    group.Add(MenuItem(OpenDataViewCmdId::GetId(), KVDCMDID_OpenDataView, L"Spirometry|Data View",
                       kDataViewCmdNumber, L"Spiro_Data"));
    group.Add(MenuItem(OpenXYViewCmdId::GetId(), KVDCMDID_OpenXYView, L"Spirometry|Flow-Volume View",
                       kFlowVolumeViewCmdNumber, L"Spiro_FlowVolume"));
    group.Add(MenuItem(OpenReportViewCmdId::GetId(), KVDCMDID_OpenReportView, L"Spirometry|Report View",
                       kReportViewCmdNumber, L"Spiro_Report"));
}

TCAFId SpiroDocument::GetSettingsChangedEventId()
{
    return SettingsChangedEventId::GetId();
}

void SpiroDocument::CmSettingsDlg()
{
    SendMsg(GetDestination(), SettingsDlgMsg(), kSettingsDlgSendFlags);
}

void SpiroDocument::CmOpenXYView()
{
    SendMsg(GetDestination(), OpenViewMsg(SpiroLoopViewTypeId()), 0);
}

void SpiroDocument::CmOpenDataView()
{
    SendMsg(GetDestination(), OpenViewMsg(SpiroDataViewTypeId()), 0);
}

void SpiroDocument::CmOpenReportView()
{
    SendMsg(GetDestination(), OpenViewMsg(SpiroReportViewTypeId()), 0);
}

bool SpiroDocument::HmSettingsDlg()
{
    return Guarded(true, [&]() {
        SpConfig edited = Config();
        const std::vector<ChannelAssoc> flowChannels = DlgCommon::GetFlowChannelSet(this);
        const std::vector<ChannelAssoc> volumeChannels = DlgCommon::GetVolumeChannelSet(this);
        ICAFApplication* application = GetApplication();
        if (application != nullptr && NoWindow(mMainWindow))
            application->GetMainWindow(&mMainWindow);
        if (ShowSpSettingsDialog(mMainWindow, this, &edited, flowChannels, volumeChannels) != kDialogAccepted ||
            edited == Config())
            return true;
        CreatePersistSettings();
        mSettings->mDirty = true;
        OnSelectionChanged();
        SendMsg(GetDestination(),
                SettingsChangeMsg(edited.mForcedExpirationThreshold, edited.mCycleDetectionFactor, edited.mNonForcedInReport,
                                  edited.mSpFlowCalcChan, edited.mSpVolCalcChan, edited.mFlowUnitPrefix,
                                  edited.mFlowNoiseClamp.level, edited.mFlowNoiseClamp.enabled),
                kSettingsChangeSendFlags);
        return true;
    });
}

bool SpiroDocument::HmSpiroSettingsChange(double threshold, double factor, bool nonForced, int flowChannel,
                                          int volumeChannel)
{
    return HmSpiroSettings2Change(threshold, factor, nonForced, flowChannel, volumeChannel, SpConfig::kNoPrefix, 0.0,
                                  false);
}

bool SpiroDocument::HmSpiroSettings2Change(double threshold, double factor, bool nonForced, int flowChannel,
                                           int volumeChannel, int prefix, double clampLevel, bool clampOn)
{
    return Guarded(true, [&]() {
        if (!SpConfig::IsInRange(threshold, factor)) {
            using namespace SpirometryStr;
            KVD::CAFMessageBox(HWND{}, CachedText<IDS_OLD_SPIRO_UPDATED>().c_str(),
                               CachedText<IDS_OLD_SPIRO_CAPTION>().c_str(), KVD::kMbOk,
                               CAFIdClass<&SpiroDocumentGUID, 0>::GetId(), 1);
        }
        mSettings->Assign(threshold, factor, nonForced, flowChannel, volumeChannel, prefix, clampLevel, clampOn);
        mChanged = true;
        updateChannelSettingsForMessage(Config().mSpFlowCalcChan);
        updateChannelSettingsForMessage(Config().mSpVolCalcChan);
        FigureSpiroFactsAndFigures(false, true);
        NotifyObservers(EventInfo{GetSettingsChangedEventId(), nullptr});
        return true;
    });
}

void SpiroDocument::OnDocumentCreationComplete(IDocument* a, IDocument* b)
{
    if (a != b)
        return;
    Guarded(KVD_E_BADSTATE, [this] {
        const Settings& stored = *mSettings;
        if (stored.mLoadedVersion > 1) {
            HmSpiroSettings2Change(stored.mForcedExpirationThreshold, stored.mCycleDetectionFactor,
                                   stored.mNonForcedInReport, stored.mSpFlowCalcChan, stored.mSpVolCalcChan,
                                   stored.mFlowUnitPrefix, stored.mFlowNoiseClamp.level,
                                   stored.mFlowNoiseClamp.enabled);
        } else if (ISettingsRegistrar* registrar = GetSettingsRegistrar()) {
            InitializeHandler(registrar, SRKey(OldSettingsChangeMsg::GetId(), nullptr), true);
        }
        return OnSelectionChanged();
    });
}

void SpiroDocument::OnOrrelDataModified()
{
    mDataModified = true;
    OnHostSelectionChanged();
}

}  // namespace Spirometry
