// Response tables: lookup through a class and its base for every entry kind, the first match
// winning, ids fixed up once, and messages unpacked from their parameter blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TableDoubles.h"
#include "framework/ResponseTable.h"

using FrameworkTest::BlockMessage;
using FrameworkTest::RecordingEnabler;
using FrameworkTest::RecordingSubject;

namespace {

int gGetterCalls = 0;

template <TCAFId Id>
TCAFId CountedId()
{
    ++gGetterCalls;
    return Id;
}

constexpr TCAFId kBaseCmd = 0x80170100;
constexpr TCAFId kSharedCmd = 0x80170101;
constexpr TCAFId kOwnCmd = 0x80170102;
constexpr TCAFId kRangeFirst = 100;
constexpr TCAFId kRangeEnd = 200;
constexpr TCAFId kBaseEvent = 0x80080010;
constexpr TCAFId kValueEvent = 0x80080011;
constexpr TCAFId kPointerEvent = 0x80080012;
constexpr TCAFId kStopMsg = 0x80010100;
constexpr TCAFId kSettingsMsg = 0x80010101;
constexpr TCAFId kMaskedMsg = 0x80013400;
constexpr TCAFId kAllKindsMsg = 0x80010102;

typedef MsgData0<StaticMsgIdClass<kStopMsg>> StopMsg;
typedef MsgData4<StaticMsgIdClass<kSettingsMsg>, 0, KVD::String, double, double, bool> SettingsMsg;
typedef MsgData0<StaticMsgIdClass<kMaskedMsg>> MaskedMsg;
typedef MsgDataT<StaticMsgIdClass<kAllKindsMsg>, 0x40, unsigned int, int, double, MsgCAFId, KVD::String, tagRECT, bool>
    AllKindsMsg;

class BaseHandler : public CAFEventHandlerBase {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    std::vector<std::string> calls;

    void CmBase() { calls.push_back("Base::CmBase"); }
    void CmShared() { calls.push_back("Base::CmShared"); }
    void CeBase(CmdEnabler& enabler)
    {
        enabler.Enable(false);
        enabler.SetCheck(true);
        enabler.SetText(L"Base text");
    }
    void EvBase() { calls.push_back("Base::EvBase"); }
    bool HmStop() { calls.push_back("Base::HmStop"); return false; }
};

CAF_DEFINE_RESPONSE_TABLE(BaseHandler, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Command<BaseHandler>(&CountedId<kBaseCmd>, &BaseHandler::CmBase),
    ResponseTable::CommandEnable<BaseHandler>(&CountedId<kBaseCmd>, &BaseHandler::CeBase),
    ResponseTable::Command<BaseHandler>(&CountedId<kSharedCmd>, &BaseHandler::CmShared),
    ResponseTable::Event<BaseHandler>(&CountedId<kBaseEvent>, &BaseHandler::EvBase),
    ResponseTable::Message<BaseHandler, StopMsg>(&BaseHandler::HmStop),
    TableEnd(),
};

// Another base first, so that the handler part does not start at the object's address.
struct Padding {
    virtual ~Padding() = default;
    double padding[3] = {1, 2, 3};
};

class DerivedHandler : public Padding, public BaseHandler {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    void CmRange() { calls.push_back("Derived::CmRange"); }
    void CmExact() { calls.push_back("Derived::CmExact"); }
    void CmOwn() { calls.push_back("Derived::CmOwn"); }
    void CmShared2() { calls.push_back("Derived::CmShared"); }
    void EvValues(unsigned int n, double x, bool flag)
    {
        calls.push_back("Derived::EvValues " + std::to_string(n) + " " + std::to_string(x) + (flag ? " true" : " false"));
    }
    void EvPointers(const wchar_t* a, const wchar_t* b)
    {
        calls.push_back("Derived::EvPointers " + KVD::ToU8String(a) + "," + KVD::ToU8String(b));
    }
    bool HmSettings(const KVD::String& name, double low, double high, bool on)
    {
        calls.push_back("Derived::HmSettings " + KVD::ToU8String(name) + " " + std::to_string(low) + " " +
                        std::to_string(high) + (on ? " on" : " off"));
        return true;
    }
    bool HmMasked() { calls.push_back("Derived::HmMasked"); return true; }
    bool HmAllKinds(unsigned int u, int i, double d, CAFId id, const KVD::String& s, const tagRECT& r, bool b)
    {
        calls.push_back("Derived::HmAllKinds " + std::to_string(u) + " " + std::to_string(i) + " " + std::to_string(d) +
                        " " + std::to_string(id) + " " + KVD::ToU8String(s) + " " + std::to_string(r.left) + "," +
                        std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom) +
                        (b ? " true" : " false"));
        return true;
    }
};

TableEntry UnknownKindEntry()
{
    TableEntry entry = ResponseTable::Command<DerivedHandler>(&CountedId<0x80170999>, &DerivedHandler::CmOwn);
    entry.kind = 8;
    return entry;
}

CAF_DEFINE_RESPONSE_TABLE(DerivedHandler, BaseHandler) = {
    TableHeader(),
    ResponseTable::CommandRange<DerivedHandler>(&CountedId<kRangeFirst>, &CountedId<kRangeEnd>, &DerivedHandler::CmRange),
    ResponseTable::Command<DerivedHandler>(&CountedId<150>, &DerivedHandler::CmExact),
    ResponseTable::Command<DerivedHandler>(&CountedId<kOwnCmd>, &DerivedHandler::CmOwn),
    ResponseTable::Command<DerivedHandler>(&CountedId<kSharedCmd>, &DerivedHandler::CmShared2),
    ResponseTable::Event<DerivedHandler>(&CountedId<kValueEvent>, &DerivedHandler::EvValues),
    ResponseTable::Event<DerivedHandler>(&CountedId<kPointerEvent>, &DerivedHandler::EvPointers),
    ResponseTable::Message<DerivedHandler, SettingsMsg>(&DerivedHandler::HmSettings),
    ResponseTable::Message<DerivedHandler, MaskedMsg>(&DerivedHandler::HmMasked, 0xFF00),
    ResponseTable::Message<DerivedHandler, AllKindsMsg>(&DerivedHandler::HmAllKinds),
    UnknownKindEntry(),
    TableEnd(),
};

std::vector<uint8_t> BlockOf(const MsgData& data)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data.GetParamBlock());
    return std::vector<uint8_t>(bytes, bytes + data.GetParamBlockSize());
}

TEST(ResponseTable, CommandsThroughClassAndBase)
{
    DerivedHandler handler;
    EXPECT_EQ(handler.Command(kOwnCmd), KVD_S_OK);
    EXPECT_EQ(handler.Command(kBaseCmd), KVD_S_OK);
    // Both tables answer the shared id: the derived class's entry comes first.
    EXPECT_EQ(handler.Command(kSharedCmd), KVD_S_OK);
    EXPECT_EQ(handler.Command(0x80170777), KVD_S_FALSE);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"Derived::CmOwn", "Base::CmBase", "Derived::CmShared"}));

    BaseHandler base;
    EXPECT_EQ(base.Command(kSharedCmd), KVD_S_OK);
    EXPECT_EQ(base.Command(kOwnCmd), KVD_S_FALSE);
    EXPECT_EQ(base.calls, (std::vector<std::string>{"Base::CmShared"}));
}

TEST(ResponseTable, RangeEntryIsHalfOpenAndHidesLaterExactEntry)
{
    DerivedHandler handler;
    EXPECT_EQ(handler.Command(kRangeFirst), KVD_S_OK);
    EXPECT_EQ(handler.Command(150), KVD_S_OK);
    EXPECT_EQ(handler.Command(kRangeEnd - 1), KVD_S_OK);
    EXPECT_EQ(handler.Command(kRangeEnd), KVD_S_FALSE);
    EXPECT_EQ(handler.Command(kRangeFirst - 1), KVD_S_FALSE);
    EXPECT_EQ(handler.calls, std::vector<std::string>(3, "Derived::CmRange"));
}

TEST(ResponseTable, CommandEnables)
{
    DerivedHandler handler;
    RecordingEnabler viaEntry;
    EXPECT_EQ(handler.CommandEnable(kBaseCmd, &viaEntry), KVD_S_OK);
    EXPECT_EQ(viaEntry.mEnabled, kAutoFalse);
    EXPECT_EQ(viaEntry.mChecked, kAutoTrue);
    EXPECT_EQ(viaEntry.mText, L"Base text");

    // A command with a handler and no enable entry is enabled.
    RecordingEnabler byDefault;
    EXPECT_EQ(handler.CommandEnable(kOwnCmd, &byDefault), KVD_S_OK);
    EXPECT_EQ(byDefault.mEnabled, kAutoTrue);
    EXPECT_EQ(byDefault.mCalls, 1);

    // An id nobody knows: not handled, the enabler untouched.
    RecordingEnabler unknown;
    EXPECT_EQ(handler.CommandEnable(0x80170777, &unknown), KVD_S_FALSE);
    EXPECT_EQ(unknown.mCalls, 0);
    EXPECT_EQ(handler.CommandEnable(kOwnCmd, nullptr), KVD_E_POINTER);
}

TEST(ResponseTable, ObserverEventsAndTheirRegistration)
{
    DerivedHandler handler;
    uint64_t values[3] = {7, 0, 1};
    const double x = 2.5;
    std::memcpy(&values[1], &x, sizeof(x));
    EXPECT_EQ(handler.Notify(nullptr, kValueEvent, 0, values), KVD_S_OK);
    const wchar_t* texts[2] = {L"old", L"new"};
    uint64_t pointers[2] = {reinterpret_cast<uintptr_t>(texts[0]), reinterpret_cast<uintptr_t>(texts[1])};
    EXPECT_EQ(handler.Notify(nullptr, kPointerEvent, 0, pointers), KVD_S_OK);
    EXPECT_EQ(handler.Notify(nullptr, kBaseEvent, 0, nullptr), KVD_S_OK);
    EXPECT_EQ(handler.Notify(nullptr, 0x80080999, 0, nullptr), KVD_S_OK);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"Derived::EvValues 7 2.500000 true",
                                                       "Derived::EvPointers old,new", "Base::EvBase"}));

    // Every observer-event entry, own table first, is registered with flags 0.
    RecordingSubject subject;
    IObserver* observer = reinterpret_cast<IObserver*>(0x1000);
    EXPECT_EQ(handler.RegisterEvents(observer, &subject), KVD_S_OK);
    const std::vector<std::pair<IObserver*, TCAFId>> expected = {
        {observer, kValueEvent}, {observer, kPointerEvent}, {observer, kBaseEvent}};
    EXPECT_EQ(subject.mRegistered, expected);
    EXPECT_EQ(subject.mFlags, std::vector<uint32_t>(3, 0));
}

TEST(ResponseTable, MessageParametersReachTheMember)
{
    DerivedHandler handler;
    SettingsMsg settings(L"scale", 0.5, 9.75, true);
    BlockMessage message(kSettingsMsg, 0x20, BlockOf(settings));
    EXPECT_EQ(handler.DispatchKVDMessage(&message), KVD_S_OK);
    EXPECT_EQ(handler.GetMessageFlags(), 0x20u);

    tagRECT frame = {-1, 2, 300, 400};
    AllKindsMsg all(4000000000u, -5, 1e-3, 0x12340005, KVD::String(L"x\u00e9"), frame, false);
    BlockMessage allMessage(kAllKindsMsg, all.GetFlags(), BlockOf(all));
    EXPECT_EQ(handler.DispatchKVDMessage(&allMessage), KVD_S_OK);
    EXPECT_EQ(handler.calls,
              (std::vector<std::string>{"Derived::HmSettings scale 0.500000 9.750000 on",
                                        "Derived::HmAllKinds 4000000000 -5 0.001000 305397765 x\xc3\xa9 -1,2,300,400 false"}));
    EXPECT_EQ(all.GetFlags(), 0x40u);
}

TEST(ResponseTable, MessageMasksResultsAndBadBlocks)
{
    DerivedHandler handler;
    // Mask 0xFF00: bits 8-15 and the upper half must match, the low byte is free.
    BlockMessage near(kMaskedMsg | 0x7F, 0);
    BlockMessage far(kMaskedMsg | 0x0100, 0);
    EXPECT_EQ(handler.DispatchKVDMessage(&near), KVD_S_OK);
    EXPECT_EQ(handler.DispatchKVDMessage(&far), KVD_S_OK);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"Derived::HmMasked"}));

    // A member that answers false stops the message.
    BlockMessage stop(kStopMsg, 0);
    EXPECT_EQ(handler.DispatchKVDMessage(&stop), KVD_S_FALSE);

    // A block whose signature is not the entry's, or no block at all, never reaches the member.
    std::vector<uint8_t> wrong = BlockOf(SettingsMsg(L"x", 1, 2, false));
    wrong[0] = 0x33;
    BlockMessage badSignature(kSettingsMsg, 0, wrong);
    BlockMessage noBlock(kSettingsMsg, 0);
    EXPECT_EQ(handler.DispatchKVDMessage(&badSignature), KVD_S_OK);
    EXPECT_EQ(handler.DispatchKVDMessage(&noBlock), KVD_S_OK);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"Derived::HmMasked", "Base::HmStop"}));
}

TEST(ResponseTable, ParameterBlockLayout)
{
    SettingsMsg settings(L"abc", 1.5, -2.0, true);
    const std::vector<uint8_t> block = BlockOf(settings);
    ASSERT_EQ(block.size(), 32u);
    uint32_t signature = 0;
    std::memcpy(&signature, block.data(), 4);
    EXPECT_EQ(signature, 0x1337u);
    const wchar_t* text = nullptr;
    std::memcpy(&text, &block[4], 8);
    EXPECT_STREQ(text, L"abc");
    double low = 0, high = 0;
    std::memcpy(&low, &block[12], 8);
    std::memcpy(&high, &block[20], 8);
    EXPECT_EQ(low, 1.5);
    EXPECT_EQ(high, -2.0);
    EXPECT_EQ(block[28], 1);
    EXPECT_EQ(settings.GetMsgId(), kSettingsMsg);

    typedef MsgData3<StaticMsgIdClass<0x80010005>, 0, MsgCAFId, unsigned int, tagRECT> PositionMsg;
    EXPECT_EQ(PositionMsg::Params::kSignature(), 0x814u);
    EXPECT_EQ(PositionMsg(1, 2, tagRECT{3, 4, 5, 6}).GetParamBlockSize(), 28u);
    typedef MsgData8<StaticMsgIdClass<1>, 0, double, double, bool, int, int, int, double, bool> SpiroSettingsMsg;
    EXPECT_EQ(SpiroSettingsMsg::Params::kSignature(), 0x13222133u);
}

TEST(ResponseTable, IdsAreFixedUpOnceAndUnknownKindsNever)
{
    // Fresh tables are fixed at their first lookup; the handlers above may already have used
    // them, so count from a lookup that certainly fixes them.
    DerivedHandler handler;
    handler.Command(kBaseCmd);  // searches (and so fixes) both tables
    const int afterFirst = gGetterCalls;
    for (int i = 0; i < 5; ++i) {
        handler.Command(kBaseCmd);
        handler.Notify(nullptr, kValueEvent, 0, nullptr);
        BlockMessage message(kStopMsg, 0);
        handler.DispatchKVDMessage(&message);
    }
    EXPECT_EQ(gGetterCalls, afterFirst);
    EXPECT_EQ(DerivedHandler::cafResponseTable[0].flags & kTableFixupDue, 0);
    // The kind-8 entry keeps its getter and is never found.
    const TableEntry& unknown = DerivedHandler::cafResponseTable[10];
    EXPECT_EQ(unknown.kind, 8);
    EXPECT_EQ(unknown.id, reinterpret_cast<uintptr_t>(&CountedId<0x80170999>));
    EXPECT_EQ(handler.Command(0x80170999), KVD_S_FALSE);
    CommandTrigger stray(0x80170999, 8);
    EXPECT_EQ(CAFEventHandlerBase::FindInTable(DerivedHandler::cafResponseTable, &stray), nullptr);
    // A command-event type that is not a command kind never reaches the header.
    EXPECT_EQ(handler.OnCAFCommandEvent(0, kEntryHeader, nullptr, 0), KVD_S_FALSE);
}

TEST(ResponseTable, FixupCallsEachGetterOnce)
{
    static int calls = 0;
    struct Local {
        static TCAFId Id()
        {
            ++calls;
            return 0x80170555;
        }
    };
    static TableEntry table[] = {
        TableHeader(),
        ResponseTable::Command<BaseHandler>(&Local::Id, &BaseHandler::CmBase),
        ResponseTable::CommandRange<BaseHandler>(&Local::Id, &Local::Id, &BaseHandler::CmBase),
        TableEnd(),
    };
    CommandTrigger trigger(0x80170555, kEntryCommand);
    EXPECT_NE(CAFEventHandlerBase::FindInTable(table, &trigger), nullptr);
    EXPECT_EQ(calls, 3);
    EXPECT_NE(CAFEventHandlerBase::FindInTable(table, &trigger), nullptr);
    EXPECT_EQ(calls, 3);
}

}  // namespace
