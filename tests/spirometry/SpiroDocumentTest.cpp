// The spirometry document in a host data document: the channels it finds, why a selection
// cannot be analysed, settings changes reaching the calculations and breath detection, and
// its menu.
#include <gtest/gtest.h>

#include <set>

#include "FrameworkIds.h"
#include "SpiroDocumentHost.h"
#include "appkit/Alert.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/StringKeys.h"
#include "framework/MsgData.h"
#include "framework/OwlDocViewClass.h"
#include "host/commands/MenuModel.h"
#include "host/loader/ClassRegistration.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

using namespace Spirometry;
using SpiroTest::SpiroDocumentHost;

namespace {

typedef MsgData8<MsgIdClass<&SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double, bool>
    SettingsChangeMsg;

KVD::String Reason(const KVDXMLStringKey& key)
{
    return KVD::String(KVDGetMyBundle(), key, true);
}

// The host's record data, except that some channels hold no data and that one channel's set-up
// differs in records after the first.
class FilteredRecordData final : public IRecordData {
public:
    explicit FilteredRecordData(IRecordData* inner) : mInner(inner) {}
    std::set<int> withoutData;
    int changesAfterFirstRecord = -1;

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IRecordData ? this : nullptr;
        return *out != nullptr ? KVD_S_OK : mInner->QueryInterface(iid, out);
    }
    HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const override
    {
        if (withoutData.count(channel.channel) != 0)
            return *has = kAutoFalse, KVD_S_OK;
        return mInner->HasChannelData(record, channel, has);
    }
    HRESULT GetChannelObject(int record, TChannelId channel, IRecordChannel** out) const override
    {
        if (channel.channel == changesAfterFirstRecord && record > 0)
            channel.channel = 0;  // another channel's object: another set-up
        return mInner->GetChannelObject(record, channel, out);
    }
    HRESULT GetRecordCount(int* n) const override { return mInner->GetRecordCount(n); }
    HRESULT GetRecordTicks(int r, uint32_t* t) const override { return mInner->GetRecordTicks(r, t); }
    HRESULT GetSecsPerTick(int r, double* s) const override { return mInner->GetSecsPerTick(r, s); }
    HRESULT GetFloatStream(TChannelId c, KVDPosition p, uint32_t e, IEnumFloatEx** o) const override
    {
        return mInner->GetFloatStream(c, p, e, o);
    }
    HRESULT GetChannelUnitName(int r, TChannelId c, IUnitName** n) const override
    {
        return mInner->GetChannelUnitName(r, c, n);
    }
    HRESULT GetUnitsConversion(int r, TChannelId c, IUnitsConversion** u) const override
    {
        return mInner->GetUnitsConversion(r, c, u);
    }
    HRESULT GetRecordEnd(int r, KVDPosition* e) const override { return mInner->GetRecordEnd(r, e); }
    HRESULT GetChannelTitle(TChannelId c, IAutoKVDString** t) const override { return mInner->GetChannelTitle(c, t); }
    HRESULT GetShortStream(TChannelId c, KVDPosition p, uint32_t e, IEnumShortEx** o) const override
    {
        return mInner->GetShortStream(c, p, e, o);
    }
    HRESULT GetPositionTimes(uint32_t n, const KVDPosition* p, double* s) const override
    {
        return mInner->GetPositionTimes(n, p, s);
    }
    HRESULT GetSample(TChannelId c, KVDPosition p, float* v) const override { return mInner->GetSample(c, p, v); }
    HRESULT GetRange(TChannelId c, KVDPosition f, KVDPosition t, double* hi, double* lo) const override
    {
        return mInner->GetRange(c, f, t, hi, lo);
    }
    HRESULT GetDataScaling(int r, TChannelId c, double* s, double* o) const override
    {
        return mInner->GetDataScaling(r, c, s, o);
    }
    HRESULT ResolvePosition(uint32_t f, KVDPosition* p) const override { return mInner->ResolvePosition(f, p); }
    HRESULT GetSampleIndex(TChannelId c, KVDPosition p, int64_t* i) const override
    {
        return mInner->GetSampleIndex(c, p, i);
    }
    HRESULT GetEventStream(TChannelId c, uint32_t k, KVDPosition p, uint32_t e, IEnumEventEx** o) const override
    {
        return mInner->GetEventStream(c, k, p, e, o);
    }
    HRESULT CreatePixMap(uint32_t, IRecordDataPixMap**) const override { return KVD_E_NOTIMPL; }
    HRESULT CreatePolyLineEnum(uint32_t, int32_t, const int64_t*, int64_t, int64_t, int32_t, const DataScaling*,
                               uint32_t, IPolyLineEnumEx**) const override
    {
        return KVD_E_NOTIMPL;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(23, 56)
    HRESULT IsValidRange(KVDPosition l, KVDPosition r, AutoBool* v) const override
    {
        return mInner->IsValidRange(l, r, v);
    }
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)
    HRESULT GetAbsoluteTick(KVDPosition p, int64_t* t) const override { return mInner->GetAbsoluteTick(p, t); }

private:
    IRecordData* mInner;
};

// Two records of the small breathing recording.
std::shared_ptr<Host::Recording> TwoRecords()
{
    auto recording = SpiroTest::SmallBreathing();
    recording->AddRecord(recording->Record(0));
    return recording;
}

class SpiroDocumentTest : public SpiroDocumentHost {};

TEST_F(SpiroDocumentTest, FindsChannelsByCalculationOrUnitAndReplacesAStoredOneThatIsGone)
{
    // Raw flow head, flow in capitals and in micro-litres, a volume, and a channel of neither.
    auto recording = std::make_shared<Host::Recording>(
        "channels.csv", 100.0,
        std::vector<Host::ChannelFormat>{{"Flow head", "V", 1e-4, 0}, {"Pneumo", "ML/S", 1.0, 0},
                                         {"Spirometer", "\xC2\xB5L/sec", 1.0, 0}, {"Bag", "l", 1e-3, 0},
                                         {"Temperature", "degC", 0.01, 0}});
    recording->AddRecord(Host::RecordBlock{50, std::vector<std::vector<int16_t>>(5, std::vector<int16_t>(50, 1))});
    Open(recording);
    AddCalculations();
    SpiroDocument& doc = CreateDocument();
    EXPECT_EQ(doc.FlowChannels(), (std::vector<int>{1, 2, mFlow}));
    EXPECT_EQ(doc.VolumeChannels(), (std::vector<int>{3, mVolume}));
    // No channels were stored: the first candidates are taken, and the settings are to be saved.
    EXPECT_EQ(doc.Config().mSpFlowCalcChan, 1);
    EXPECT_EQ(doc.Config().mSpVolCalcChan, 3);
    EXPECT_TRUE(doc.GetSettings().mDirty);
    EXPECT_NE(mData->Document().GetPersistPart(0), nullptr);

    doc.SetSpFlowCalcChan(mFlow);
    doc.SetSpVolCalcChan(mVolume);
    doc.OnSelectionChanged();
    EXPECT_EQ(doc.Config().mSpFlowCalcChan, mFlow);
    EXPECT_EQ(doc.Config().mSpVolCalcChan, mVolume);
    doc.SetSpFlowCalcChan(4);  // a stored channel that is no candidate gives way
    doc.OnSelectionChanged();
    EXPECT_EQ(doc.Config().mSpFlowCalcChan, 1);

    const std::vector<ChannelAssoc> flows = DlgCommon::GetFlowChannelSet(&doc);
    ASSERT_EQ(flows.size(), 3u);
    EXPECT_EQ(flows[0].name, L"Pneumo");
    EXPECT_EQ(flows[2].channel, mFlow);
    int count = 0;
    int* list = nullptr;
    EXPECT_EQ(doc.GetVolCalcChanList(&count, &list), KVD_S_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(list[1], mVolume);
    delete[] list;
}

TEST_F(SpiroDocumentTest, NoCandidatesGiveNoChannelAndTheFirstReasons)
{
    Open(SpiroTest::SmallBreathing());
    SpiroDocument& doc = CreateDocument();
    SelectRecord(0);
    KVD::String reason;
    EXPECT_FALSE(doc.ValidSelection(true, false, &reason));
    EXPECT_EQ(reason, Reason(SpirometryStr::IDS_SELECTION_ERROR_REASON_1));
    EXPECT_EQ(doc.Config().mSpFlowCalcChan, int32_t(0x80000000));
    EXPECT_EQ(DlgCommon::GetFlowChannelSet(&doc)[0].channel, int32_t(0x80000000));
    TearDown();

    auto flowOnly = std::make_shared<Host::Recording>(
        "flow.csv", 100.0, std::vector<Host::ChannelFormat>{{"Pneumo", "L/s", 1e-3, 0}});
    flowOnly->AddRecord(Host::RecordBlock{50, {std::vector<int16_t>(50, 1)}});
    Open(flowOnly);
    SpiroDocument& flowDoc = CreateDocument();
    SelectRecord(0);
    EXPECT_FALSE(flowDoc.ValidSelection(true, false, &reason));
    EXPECT_EQ(reason, Reason(SpirometryStr::IDS_SELECTION_ERROR_REASON_2));
    EXPECT_EQ(flowDoc.Config().mSpFlowCalcChan, 0);
    EXPECT_EQ(flowDoc.Config().mSpVolCalcChan, int32_t(0x80000000));
}

TEST_F(SpiroDocumentTest, EachSelectionCheckGivesItsReason)
{
    Open(TwoRecords());
    AddCalculations();
    FilteredRecordData filter(&mData->Data());
    FilterRecordData(&filter);
    SpiroDocument& doc = CreateDocument();
    doc.SetSpFlowCalcChan(mFlow);
    doc.SetSpVolCalcChan(mVolume);
    uint32_t ticks = 0;
    mData->Data().GetRecordTicks(0, &ticks);

    using namespace SpirometryStr;
    const struct {
        KVDPosition start, end;
        std::set<int> withoutData;
        bool setUpChanges;
        bool multiRecord;
        const KVDXMLStringKey* reason;  // null: valid
    } cases[] = {
        {{0, 0}, {ticks + 1, 0}, {}, false, true, &IDS_SELECTION_ERROR_REASON_3},
        {{ticks, 0}, {ticks, 0}, {}, false, true, &IDS_SELECTION_ERROR_REASON_3},
        {{kNoPositionTick, 0}, {kNoPositionTick, 0}, {}, false, true, &IDS_SELECTION_ERROR_REASON_8},
        {{10, 0}, {20, 1}, {}, false, false, &IDS_SELECTION_ERROR_REASON_4},
        {{10, 0}, {20, 1}, {}, false, true, nullptr},
        {{10, 0}, {20, 1}, {}, true, true, &IDS_SELECTION_ERROR_REASON_9},
        {{0, 0}, {ticks, 0}, {mVolume}, false, false, &IDS_SELECTION_ERROR_REASON_6},
        {{0, 0}, {ticks, 0}, {mFlow}, false, false, &IDS_SELECTION_ERROR_REASON_7},
        {{300, 0}, {300, 0}, {}, false, false, &IDS_SELECTION_ERROR_REASON_8},
        {{0, 0}, {ticks, 0}, {}, false, false, nullptr},
    };
    for (const auto& c : cases) {
        filter.withoutData = c.withoutData;
        filter.changesAfterFirstRecord = c.setUpChanges ? mFlow : -1;
        Select(c.start, c.end);
        KVD::String reason(L"stale");
        EXPECT_EQ(doc.DetermineValidSelection(c.multiRecord, &reason), c.reason == nullptr);
        EXPECT_EQ(reason, c.reason == nullptr ? KVD::String(L"") : Reason(*c.reason))
            << c.start.tick << "/" << c.start.record << " to " << c.end.tick << "/" << c.end.record;
    }

    // A valid selection in quiet breathing holds no breath: then neither check passes.
    Select(KVDPosition{0, 0}, KVDPosition{200, 0});
    KVD::String reason;
    EXPECT_FALSE(doc.ValidSelection(false, false, &reason));
    EXPECT_EQ(reason, Reason(IDS_SELECTION_ERROR_REASON_12));
    EXPECT_FALSE(doc.ValidSelection(true, false, nullptr));
    TearDown();  // before the filter goes
}

TEST_F(SpiroDocumentTest, SettingsChangesReachTheCalculationsAndDetection)
{
    SpiroDocument& doc = CreateAnalysedDocument();
    EXPECT_TRUE(doc.ValidSelection(false, false, nullptr));
    EXPECT_EQ(doc.Machine().Breaths().GetCount(), 5u);
    EXPECT_EQ(doc.GetRawFlowChannel(), 0);
    EXPECT_DOUBLE_EQ(doc.GetCustomConstant(), 2.0);

    // The dialog's message: millilitres and a noise floor reach both calculations; a level of
    // 10 % of the full range (8 L/s) leaves only the forced breath.
    doc.SendMsg(doc.GetDestination(), SettingsChangeMsg(2.0, 10.0, false, mFlow, mVolume, 7, 0.05, true), 0);
    EXPECT_EQ(doc.Config().mFlowUnitPrefix, 7);
    EXPECT_TRUE(doc.IsChanged());
    const KVD::COMPtr<IPersistObject> flow = CalculationSettings(mFlow);
    EXPECT_EQ(SettingsOf<SpFlowSettings>(flow).mUnitPrefix, 7);
    EXPECT_DOUBLE_EQ(SettingsOf<SpFlowSettings>(flow).mClamp.level, 0.05);
    EXPECT_TRUE(SettingsOf<SpFlowSettings>(flow).mClamp.enabled);
    EXPECT_EQ(SettingsOf<SpVolSettings>(CalculationSettings(mVolume)).mUnitPrefix, 7);
    doc.FigureSpiroFactsAndFigures(true, false);
    EXPECT_FALSE(doc.IsChanged());
    EXPECT_EQ(doc.Machine().Breaths().GetCount(), 1u);

    // A view's setter changes its one value and keeps the prefix and the clamping.
    doc.SetCycleDetectionFactor(1.0);
    EXPECT_EQ(doc.Config().mFlowUnitPrefix, 7);
    EXPECT_TRUE(doc.Config().mFlowNoiseClamp.enabled);
    doc.FigureSpiroFactsAndFigures(true, false);
    EXPECT_EQ(doc.Machine().Breaths().GetCount(), 5u);

    // Out of range: one message, then the nearest values; a prefix not offered is ignored.
    AppKit::AlertPresenter::Shared().ClearShown();
    doc.SendMsg(doc.GetDestination(), SettingsChangeMsg(0.05, 20.0, true, mFlow, mVolume, 5, 0.0, false), 0);
    EXPECT_EQ(AppKit::AlertPresenter::Shared().Shown().size(), 1u);
    EXPECT_EQ(doc.Config().mCycleDetectionFactor, 10.0);
    EXPECT_EQ(doc.Config().mForcedExpirationThreshold, 0.1);
    EXPECT_EQ(doc.Config().mFlowUnitPrefix, 7);
    doc.SendMsg(doc.GetDestination(), SettingsChangeMsg(0.1, 0.01, true, mFlow, mVolume, 8, 0.0, false), 0);
    EXPECT_EQ(AppKit::AlertPresenter::Shared().Shown().size(), 1u);

    // Calculation setters push into the host's calculation: the ratio kept in its range.
    EXPECT_EQ(doc.SetVolRatio(20.0), KVD_S_OK);
    EXPECT_EQ(doc.SetUseVolCorr(kAutoTrue), KVD_S_OK);
    const KVD::COMPtr<IPersistObject> volume = CalculationSettings(mVolume);
    EXPECT_EQ(SettingsOf<SpVolSettings>(volume).mVolumeRatio, 10.0);
    EXPECT_TRUE(SettingsOf<SpVolSettings>(volume).mApplyCorrection);
    EXPECT_EQ(SettingsOf<SpVolSettings>(volume).mFlowChannel, mFlow);

    // Compensation reaches the flow calculation with the non-linear head alone.
    const struct {
        int head;
        AutoBool custom;
        bool compensated;
    } heads[] = {{3, kAutoFalse, false}, {2, kAutoTrue, false}, {2, kAutoFalse, true}, {0, kAutoFalse, false}};
    for (const auto& h : heads) {
        doc.SetFlowHead(h.head);
        doc.SetUsingCustom(h.custom);
        doc.SetApplyNLC(kAutoTrue);
        EXPECT_EQ(SettingsOf<SpFlowSettings>(CalculationSettings(mFlow)).mNonLinearCompensation, h.compensated)
            << "head " << h.head;
    }
}

// Records which view types the host was asked to open; opens none.
class RecordingViewClass final : public OwlDocViewClassBase {
public:
    RecordingViewClass(TCAFId typeId, std::vector<TCAFId>& opened)
        : OwlDocViewClassBase(L"Test view", &CATID_OrrelViewClass, 1, nullptr), mTypeId(typeId), mOpened(opened)
    {
    }
    HRESULT GetTypeId(TCAFId* id) override { return *id = mTypeId, KVD_S_OK; }
    HRESULT CreateView(uint32_t, IDocument*, IDocView** out) override
    {
        mOpened.push_back(mTypeId);
        *out = nullptr;
        return KVD_E_NOTIMPL;
    }
    HRESULT EnumDocInterfaces(IEnumInterface** out) override
    {
        static const _IID* const kIds[] = {&IID_IDocument, &IID_ISpiroDocInterface};
        return CreateInterfaceEnum(kIds, 2, out);
    }

private:
    TCAFId mTypeId;
    std::vector<TCAFId>& mOpened;
};

// The user accepts the settings dialog after choosing a level of 3 %.
class AcceptingDialogs final : public SpiroDialogs {
public:
    int shown = 0;
    int ShowSpSettingsDialog(HWND, SpiroDocument*, SpConfig* settings, const std::vector<ChannelAssoc>& flows,
                             const std::vector<ChannelAssoc>&) override
    {
        ++shown;
        EXPECT_FALSE(flows.empty());
        settings->mCycleDetectionFactor = 3.0;
        return kDialogAccepted;
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

TEST_F(SpiroDocumentTest, TheMenuOpensTheViewsAndTheSettingsDialog)
{
    // The host keeps the view classes it has registered for the process.
    static std::vector<TCAFId> opened;
    static RecordingViewClass data(SpiroDataViewTypeId(), opened), loop(SpiroLoopViewTypeId(), opened),
        report(SpiroReportViewTypeId(), opened);
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    for (RecordingViewClass* cls : {&data, &loop, &report}) {
        cls->AddRef();  // the test's own: the factory's release cannot destroy them
        factory->RegisterClassObject(static_cast<IDocViewClass*>(cls));
    }
    Open(SpiroTest::SmallBreathing());
    SpiroDocument& doc = CreateDocument();
    Host::RegisterDocumentAndViewClasses();
    AcceptingDialogs dialogs;
    InstallSpiroDialogs(&dialogs);

    Host::MenuModel& menus = Host::MenuModel::Instance();
    for (const char* path : {"Spirometry|Settings", "Spirometry|Data View", "Spirometry|Flow-Volume View",
                             "Spirometry|Report View"}) {
        bool enabled = false;
        EXPECT_EQ(menus.QueryState(path, &enabled, nullptr), KVD_S_OK) << path;
        EXPECT_TRUE(enabled) << path;  // even without channels to analyse
        EXPECT_EQ(menus.Invoke(path), KVD_S_OK) << path;
    }
    EXPECT_EQ(opened, (std::vector<TCAFId>{SpiroDataViewTypeId(), SpiroLoopViewTypeId(), SpiroReportViewTypeId()}));
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(doc.Config().mCycleDetectionFactor, 3.0);
    EXPECT_TRUE(doc.GetSettings().mDirty);
    EXPECT_NE(mData->Document().GetPersistPart(0), nullptr);

    InstallSpiroDialogs(nullptr);
    for (RecordingViewClass* cls : {&data, &loop, &report}) {
        TCAFId id = 0;
        cls->GetTypeId(&id);
        factory->RevokeClassObject(id);
    }
    Host::MenuModel::Instance().Clear();
}

}  // namespace
