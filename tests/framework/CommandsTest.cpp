// Commands and command groups made through the host's classes, with their key codes, and
// invoked through the host's menus by path.
#include <gtest/gtest.h>

#include "TestHandlers.h"
#include "foundation/StringKeys.h"
#include "framework/CAFCommand.h"
#include "host/commands/CommandClass.h"
#include "host/commands/MenuModel.h"
#include "host/framework/FrameworkServices.h"

using namespace FrameworkTest;

namespace {

typedef TypeIdClass<&kTestGuid, 11> OpenCmdId;
typedef TypeIdClass<&kTestGuid, 12> ShortcutCmdId;
typedef TypeIdClass<&kTestGuid, 13> DisabledCmdId;

class MenuOwner : public CAFEventHandler, public KVD::CComObjectRoot {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    explicit MenuOwner(Log& log) : mLog(log) {}
    KVD_BEGIN_INTERFACE_MAP(MenuOwner)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IMessageHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    void CmOpen() { mLog.push_back("open"); }
    void CmShortcut() { mLog.push_back("shortcut"); }
    void CmDisabled() { mLog.push_back("disabled"); }
    void CeDisabled(CmdEnabler& enabler)
    {
        enabler.Enable(false);
        enabler.SetText(L"Not now");
    }

private:
    Log& mLog;
};

CAF_DEFINE_RESPONSE_TABLE(MenuOwner, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Command<MenuOwner>(&OpenCmdId::GetId, &MenuOwner::CmOpen),
    ResponseTable::Command<MenuOwner>(&ShortcutCmdId::GetId, &MenuOwner::CmShortcut),
    ResponseTable::Command<MenuOwner>(&DisabledCmdId::GetId, &MenuOwner::CmDisabled),
    ResponseTable::CommandEnable<MenuOwner>(&DisabledCmdId::GetId, &MenuOwner::CeDisabled),
    TableEnd(),
};

uint32_t KeyOf(const CAFCommand& command)
{
    uint32_t key = 0;
    command.GetCommand()->GetKeyCode(&key);
    return key;
}

uint32_t KeyExOf(const CAFCommand& command)
{
    KVD::COMPtr<ICAFCommandEx> ex(KVD::com_cast(command.GetCommand()));
    uint32_t key = 0;
    ex->GetKeyCodeEx(0, &key);
    return key;
}

KVD::String Text(const CAFCommand& command, HRESULT (ICAFCommand::*get)(IAutoKVDString**))
{
    KVD::String text;
    (command.GetCommand()->*get)(KVD::String::Setter(text));
    return text;
}

TEST(KeyCode, PacksKeyAndModifiersAndNamesKeysFromTheBundle)
{
    const KVD::KeyCode code(0x00120044u);
    EXPECT_EQ(code.Key(), 0x44);
    EXPECT_EQ(code.Modifiers(), 0x12);
    EXPECT_EQ(code.Packed(), 0x00120044u);
    EXPECT_EQ(KVD::KeyCode(0x44, 0x12).Packed(), 0x00120044u);
    EXPECT_TRUE(KVD::KeyCode().IsEmpty());
    EXPECT_EQ(KVD::GetKeyName(KVD::kKeyDelete), L"Delete");
    EXPECT_EQ(KVD::GetKeyName(KVD::kKeyCapsLock), L"Caps Lock");
    // The same string object each time: read once.
    EXPECT_EQ(&KVD::GetKeyName(KVD::kKeyEnd), &KVD::GetKeyName(KVD::kKeyEnd));
}

class Commands : public ::testing::Test {
protected:
    void TearDown() override { Host::MenuModel::Instance().Clear(); }
};

TEST_F(Commands, MadeWithTheirKeyCodesAndTexts)
{
    Log log;
    Ref<MenuOwner> owner(log);
    NSBundle* bundle = KVDGetMyBundle();
    Host::FrameworkServices::Commands().SetDefaultKey(L"Test|Proposed", 0x00100050);

    CAFCommand explicitKey;
    explicitKey.CreateCommand(ShortcutCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_OpenDataView, L"Test|Data View",
                              KVD::KeyCode(0x44, 0x0100), 10, 188, L"Spiro_Data", L"Spirometry", L"", nullptr, nullptr);
    EXPECT_EQ(KeyOf(explicitKey), 0x01000044u);
    EXPECT_EQ(KeyExOf(explicitKey), 0x01000044u);
    EXPECT_EQ(Text(explicitKey, &ICAFCommand::GetMenuText), L"Data View");
    EXPECT_EQ(Text(explicitKey, &ICAFCommand::GetHelpText), L"Show flow and volume against time for the selection");
    EXPECT_EQ(Text(explicitKey, &ICAFCommand::GetPath), L"Test|Data View");
    KVD::COMPtr<ICAFCommandMac> mac(KVD::com_cast(explicitKey.GetCommand()));
    KVD::String macText;
    mac->GetMacText(KVD::String::Setter(macText));
    EXPECT_EQ(macText, L"Spiro_Data");

    // No key code of its own: the host's proposal becomes the command's.
    CAFCommand proposed;
    proposed.CreateCommand(OpenCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_SettingsDlg, L"Test|Proposed",
                           KVD::KeyCode(), 10, 187, L"", L"", L"", nullptr, nullptr);
    EXPECT_EQ(KeyOf(proposed), 0x00100050u);
    EXPECT_EQ(KeyExOf(proposed), 0x00100050u);
    const CAFCommand none(OpenCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_SettingsDlg, L"Test|None", 10, nullptr,
                          nullptr);
    EXPECT_EQ(KeyOf(none), 0u);

    // A top-level command gains the header flag; "-" alone is a separator.
    const CAFCommand header(L"Test", 0x30, L"Test", nullptr, 10000);
    uint32_t flags = 0;
    header.GetCommand()->GetFlags(&flags);
    EXPECT_EQ(flags, 0x38u);
    const CAFCommand separator(L"-");
    separator.GetCommand()->GetFlags(&flags);
    EXPECT_EQ(flags, 2u);
    EXPECT_EQ(Text(separator, &ICAFCommand::GetPath), L"-");
}

TEST_F(Commands, InvokedThroughTheMenusByPath)
{
    Log log;
    Ref<MenuOwner> owner(log);
    NSBundle* bundle = KVDGetMyBundle();
    const _IID classId = kTestGuid;
    CAFCommandGroup group(&classId, static_cast<ICAFCommandHandler*>(owner.get()), nullptr);
    ASSERT_NE(group.GetGroup(), nullptr);
    EXPECT_EQ(group.Add(CAFCommand(L"Test", 0x30, L"Test", nullptr, 10000)), KVD_S_OK);
    EXPECT_EQ(group.Add(CAFCommand(0, bundle, SpirometryStr::KVDCMDID_Spirometry, L"Test^EXTENSION|", 2, nullptr,
                                   nullptr)),
              KVD_S_OK);
    CAFCommand open;
    open.CreateCommand(OpenCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_OpenDataView, L"Test|Data View",
                       KVD::KeyCode(), 10, 188, L"", L"", L"", nullptr, nullptr);
    group.Add(open);
    group.Add(CAFCommand(L"Test|-"));
    CAFCommand disabled;
    disabled.CreateCommand(DisabledCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_OpenReportView,
                           L"Test|Report View", KVD::KeyCode(), 10, 191, L"", L"", L"", nullptr, nullptr);
    group.Add(disabled);
    uint32_t count = 0;
    group.GetGroup()->GetCommandCount(&count);
    EXPECT_EQ(count, 5u);

    // The menu holds the items in order, the separator between them.
    AppKit::MenuItem* menu = AppKit::MainMenu().Find("Test");
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->Submenu());
    ASSERT_EQ(menu->Submenu()->ItemCount(), 3u);
    EXPECT_EQ(menu->Submenu()->ItemAt(0).Title(), "Data View");
    EXPECT_TRUE(menu->Submenu()->ItemAt(1).IsSeparator());
    EXPECT_EQ(menu->Submenu()->ItemAt(2).Title(), "Report View");

    Host::MenuModel& menus = Host::MenuModel::Instance();
    EXPECT_EQ(menus.Invoke("Test|Data View"), KVD_S_OK);
    EXPECT_EQ(menus.Invoke("Test|Report View"), KVD_S_FALSE);
    EXPECT_EQ(menus.Invoke("Test|Nothing"), KVD_E_BADSTATE);
    EXPECT_EQ(log, (Log{"open"}));

    bool enabled = false;
    KVD::String text;
    EXPECT_EQ(menus.QueryState("Test|Data View", &enabled, &text), KVD_S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(text, L"Data View");
    EXPECT_EQ(menus.QueryState("Test|Report View", &enabled, &text), KVD_S_OK);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(text, L"Not now");

    menus.Clear();
    EXPECT_EQ(AppKit::MainMenu().Find("Test"), nullptr);
    EXPECT_EQ(menus.Invoke("Test|Data View"), KVD_E_BADSTATE);
}

}  // namespace
