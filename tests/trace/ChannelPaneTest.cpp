// Channel panes through their data pane: scales, units and prefixes, ranges, auto-scale unions,
// relays to the owner, the pane record, and the data pane's answers to drawers and owners.
#include <gtest/gtest.h>

#include <sstream>

#include "DataPaneFixture.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/XKVD.h"
#include "host/drawing/DisplaySettings.h"
#include "host/drawing/DragScale.h"
#include "trace/DrawerBase.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;
using TraceTest::TestDataPane;

namespace {

// A scale whose unit text cannot be read; it keeps the texts it is given and takes any range,
// equal ends too, counting them.
class MuteScale final : public KVD::detail::CountedUnknown<IScale> {
public:
    HRESULT SetRange(double, double) override { return ++ranges, KVD_S_OK; }
    HRESULT GetRange(double* top, double* bottom) override { return *top = 1, *bottom = -1, KVD_S_OK; }
    HRESULT SetDefaultRange(double, double) override { return ++ranges, KVD_S_OK; }
    HRESULT SetUnitsText(const wchar_t* text) override { return texts.emplace_back(text), KVD_S_OK; }
    HRESULT GetUnitsText(IAutoKVDString**) override { return KVD_E_BADSTATE; }
    HRESULT SetDataScaling(const DataScaling*) override { return KVD_S_OK; }
    HRESULT GetDataScaling(DataScaling* s) override { return *s = DataScaling{1, 0}, KVD_S_OK; }
    HRESULT GetPixelScaling(int32_t, double*, double*) override { return KVD_S_OK; }
    HRESULT GetGridStartAndSpacing(double*, double*) override { return KVD_S_OK; }
    HRESULT SetPosition(int32_t, int32_t, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT GetWidth(uint32_t, void*, int32_t*) override { return KVD_S_OK; }
    HRESULT Draw(void*) override { return KVD_S_OK; }
    std::vector<std::wstring> texts;
    int ranges = 0;
};

// A drawer with units ("L") only in one record; it notes the record and mode of every units
// query it answers.
class OneBlockUnitsDrawer final : public DrawerBase {
public:
    explicit OneBlockUnitsDrawer(int block) : DrawerBase(0x201, 0x1000, TChannelId{0, TraceTest::kUnits}, kNoChannel), mBlock(block) {}
    HRESULT GetUnitsName(long, int side, IAutoKVDString** name, AutoBool* has) const override
    {
        const UnitsContext& at = GetUnitsContext();
        asked.push_back(std::to_string(side) + ":" + std::to_string(at.block) + "/" + std::to_string(at.mode));
        const bool mine = at.block == mBlock;
        *has = mine ? kAutoTrue : kAutoFalse;
        if (mine)
            KVD::String(L"L").GetOut(name);
        return KVD_S_OK;
    }
    HRESULT OnScalingChanged(long, unsigned int, const DataScaling*, IScale*) override { return KVD_S_FALSE; }
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags) override { return KVD_S_OK; }
    HRESULT DrawInRecord(TDC&, long long, long long, TPixPosition, int, const tagRECT*, OrrelDrawerDrawFlags,
                         const GraticuleInfo*, const KVDDataTimeInfo*) override
    {
        return KVD_S_OK;
    }
    HRESULT GetRange(BlockDataType, long, KVDPosition, KVDPosition, ChannelYDataRange*) const override
    {
        return KVD_S_FALSE;
    }
    mutable std::vector<std::string> asked;

private:
    int mBlock;
};

// Hears the data pane's events: the drag and auto-scale channels and the units found.
class PaneEvents final : public KVD::detail::CountedUnknown<IObserver> {
public:
    HRESULT Notify(ISubject*, TCAFId event, uint32_t, void* data) override
    {
        const uint64_t* args = static_cast<const uint64_t*>(data);
        if (event == EndDragEventId::GetId() || event == AutoScaleEventId::GetId()) {
            heard.push_back(std::to_string(event == EndDragEventId::GetId() ? 46 : 47) + "/" +
                            std::to_string(int32_t(args[0])) + "/" + std::to_string(args[0] >> 32));
        } else {
            const auto* left = reinterpret_cast<const KVD::String*>(uintptr_t(args[2]));
            heard.push_back(std::string(event == UnitsFoundEventId::GetId() ? "found" : "shown") + " " +
                            std::to_string(args[0]) + std::to_string(args[1]) + " " +
                            std::string(left->c_str(), left->c_str() + left->length()));
        }
        return KVD_S_OK;
    }
    HRESULT RegisterEvents(ISubject* subject) override
    {
        for (TCAFId id : {EndDragEventId::GetId(), AutoScaleEventId::GetId(), UnitsFoundEventId::GetId(),
                          UnitsShownEventId::GetId()})
            subject->RegisterEvent(this, id, 0);
        return KVD_S_OK;
    }
    std::vector<std::string> heard;
};

std::string Bytes(const std::function<void(KVD::BinOStream&)>& write)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 1);
        write(out);
    }
    return buffer.str();
}

Host::DragScale& LeftScale(DataPane& pane, int i)
{
    return static_cast<Host::DragScale&>(*pane.GetChannelPane(i).ScaleOf(kScaleLeft));
}

std::wstring UnitsOf(IScale* scale)
{
    KVD::String text;
    {
        KVD::String::Setter out(text);
        scale->GetUnitsText(out);
    }
    return text.c_str();
}

TEST_F(DataPaneTest, EachPaneGetsAHostScaleShowingItsChannelsUnits)
{
    KVD::COMPtr<PaneEvents> events(new PaneEvents);
    ASSERT_EQ(pane->AttachObserver(events), KVD_S_OK);
    SetUp(2);
    pane->DetachObserver(events);
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(pane->GetChannelPane(i).ScaleOf(kScaleLeft), nullptr);
        EXPECT_EQ(pane->GetChannelPane(i).ScaleOf(kScaleRight), nullptr);
        EXPECT_EQ(UnitsOf(pane->GetChannelPane(i).ScaleOf(kScaleLeft)), L"V");
        TChannelId channel{};
        ASSERT_EQ(pane->GetScaleChan(i, 0, &channel), KVD_S_OK);
        EXPECT_EQ(channel.channel, i);
    }
    ASSERT_GE(events->heard.size(), 2u);
    EXPECT_EQ(events->heard[events->heard.size() - 2], "found 10 V");
    EXPECT_EQ(events->heard.back(), "shown 10 V");
    bool has = false;
    EXPECT_EQ(pane->GetHasData(0, kScaleLeft, &has), KVD_S_OK);
    EXPECT_TRUE(has);
    EXPECT_EQ(pane->GetHasData(0, kScaleRight, &has), KVD_S_OK);
    EXPECT_FALSE(has);
    TChannelId channel{};
    EXPECT_EQ(pane->GetScaleChan(2, 0, &channel), KVD_E_NULLOUT);
}

TEST_F(DataPaneTest, ALockedPrefixPrefixesTheUnitsAndRescalesRanges)
{
    SetUp(1);
    struct Case {
        UnitPrefix prefix;
        const wchar_t* units;
        double top;  // of the scale for a range of 2 .. -1
    } cases[] = {{kUnitPrefixMilli, L"mV", 2000}, {kUnitPrefixUnity, L"V", 2}, {kUnitPrefixKilo, L"kV", 0.002},
                 {kUnitPrefixUnknown, L"V", 2}};
    for (const Case& c : cases) {
        ASSERT_EQ(pane->LockDragScaleUnitPrefix(0, 0, kScaleLeft, c.prefix), KVD_S_OK);
        EXPECT_EQ(UnitsOf(pane->GetChannelPane(0).ScaleOf(kScaleLeft)), c.units);
        ASSERT_EQ(pane->SetRange(0, 0, kScaleLeft, {2, -1}), KVD_S_OK);
        double top = 0, bottom = 0;
        pane->GetChannelPane(0).ScaleOf(kScaleLeft)->GetRange(&top, &bottom);
        EXPECT_DOUBLE_EQ(top, c.top) << c.prefix;
        pane->GetDragScaleRangeInUnits(0, 0, kScaleLeft, &top, &bottom);
        EXPECT_DOUBLE_EQ(top, 2.0) << c.prefix;
        EXPECT_DOUBLE_EQ(bottom, -1.0) << c.prefix;
    }
    EXPECT_EQ(pane->LockDragScaleUnitPrefix(0, 0, 3, kUnitPrefixMilli), KVD_E_BADSTATE);
    EXPECT_EQ(pane->LockDragScaleUnitPrefix(0, 5, kScaleLeft, kUnitPrefixMilli), KVD_E_BADSTATE);
}

// The pane pixel at which a trace drawer puts a value.
double PixelOf(const PolyLineTraceDrawer& trace, double value)
{
    return (value + trace.GetScaling().offset) * trace.GetScaling().scale;
}

TEST_F(DataPaneTest, ALockedPrefixCountsTheScaleInItAndLeavesTheTraceWhereItIs)
{
    SetUp(1);
    ChannelPane& channel = pane->GetChannelPane(0);
    const auto& trace = dynamic_cast<const PolyLineTraceDrawer&>(*channel.Drawer(0));
    ASSERT_EQ(pane->AutoScale(0, 0, kScaleLeft), KVD_S_OK);
    const double top = PixelOf(trace, 1.0), half = PixelOf(trace, -0.5);
    ASSERT_GT(half - top, 50.0);
    struct Case {
        UnitPrefix prefix;
        double factor;
    } cases[] = {{kUnitPrefixMilli, 1e3}, {kUnitPrefixMicro, 1e6}, {kUnitPrefixUnity, 1.0}, {kUnitPrefixMilli, 1e3}};
    for (const Case& c : cases) {
        // The lock converts the scale's range: the same sine, its labels in the new unit.
        ASSERT_EQ(pane->LockDragScaleUnitPrefix(0, 0, kScaleLeft, c.prefix), KVD_S_OK);
        double high = 0, low = 0;
        LeftScale(*pane, 0).GetRange(&high, &low);
        EXPECT_NEAR(high, c.factor, c.factor * 1e-3) << c.prefix;
        EXPECT_NEAR(low, -c.factor, c.factor * 1e-3) << c.prefix;
        EXPECT_NEAR(PixelOf(trace, 1.0), top, 1e-6) << c.prefix;
        EXPECT_NEAR(PixelOf(trace, -0.5), half, 1e-6) << c.prefix;
        // Auto-scale answers the drawers' values in the scale's unit.
        ChannelYDataRange range{};
        AutoBool unscaled = kAutoTrue;
        ASSERT_EQ(channel.OnAutoScaleRequest(kScaleLeft, &range, &unscaled), KVD_S_OK);
        EXPECT_NEAR(range.top, c.factor, c.factor * 1e-3) << c.prefix;
        EXPECT_NEAR(range.bottom, -c.factor, c.factor * 1e-3) << c.prefix;
        if (c.factor != 1.0) {
            EXPECT_EQ(unscaled, kAutoFalse) << c.prefix;
        }
        ASSERT_EQ(pane->AutoScale(0, 0, kScaleLeft), KVD_S_OK);
        EXPECT_NEAR(PixelOf(trace, -0.5), half, 1e-6) << c.prefix;
        // Ranges in and out of the pane stay in the channel's unit.
        pane->GetDragScaleRangeInUnits(0, 0, kScaleLeft, &high, &low);
        EXPECT_NEAR(high, 1.0, 1e-3) << c.prefix;
        ASSERT_EQ(pane->SetRange(0, 0, kScaleLeft, {2, -2}), KVD_S_OK);
        EXPECT_NEAR(PixelOf(trace, 2.0), 0.0, 1e-6) << c.prefix;
        ASSERT_EQ(pane->AutoScale(0, 0, kScaleLeft), KVD_S_OK);
    }
}

TEST(ChannelPaneUnits, ABlankUnitTextCountsAsNoneAndGetsNoPrefix)
{
    auto recording = std::make_shared<Host::Recording>(
        "blank.csv", 1000.0, std::vector<Host::ChannelFormat>{{"Blank", " ", 0.001, 0.0}});
    Host::RecordBlock block;
    block.ticks = 1000;
    block.samples.assign(1, std::vector<int16_t>(1000, 5));
    recording->AddRecord(std::move(block));
    TraceTest::TraceData data(recording);
    KVD::COMPtr<TraceTest::TestDataPane> pane(new TraceTest::TestDataPane(PaneFlag::kLeftScale, 0, [] { return 0; }));
    pane->OnSetupWindow(&data, &data);
    pane->AddRecordDrawer(0, 0,
                          KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                              0x1000, TChannelId{0, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1)),
                          0);
    pane->SetRecordData(0, data.data, nullptr);
    pane->OnSize(TSize(402, 200));
    pane->LockDragScaleUnitPrefix(0, 0, kScaleLeft, kUnitPrefixMilli);
    EXPECT_EQ(UnitsOf(pane->GetChannelPane(0).ScaleOf(kScaleLeft)), L"");
}

TEST_F(DataPaneTest, AFailedUnitTextQueryLeavesNoPlaceholderOnTheScale)
{
    TestDataPane* bare = new TestDataPane(0, 0, [] { return 0; });
    KVD::COMPtr<TestDataPane> hold(bare);
    bare->OnSetupWindow(this, this);
    KVD::COMPtr<MuteScale> scale(new MuteScale);
    bare->GetChannelPane(0).SetLeftDragScale(scale);
    EXPECT_EQ(bare->GetChannelPane(0).LockDragScaleUnitPrefix(0, kScaleLeft, kUnitPrefixMilli), KVD_S_OK);
    EXPECT_TRUE(scale->texts.empty());
}

TEST_F(DataPaneTest, WithoutScalesRangesAndAutoScalesAreRefused)
{
    KVD::COMPtr<TestDataPane> bare(new TestDataPane(0, 0, [] { return 0; }));
    bare->OnSetupWindow(this, this);
    ChannelPane& p = bare->GetChannelPane(0);
    EXPECT_EQ(p.DoAutoScale(kScaleLeft), KVD_E_BADSTATE);
    EXPECT_FALSE(p.SetDragScaleRange(0, kScaleLeft, {1, -1}, false, true));
    EXPECT_EQ(bare->SetRange(0, 0, kScaleLeft, {1, -1}), KVD_E_BADSTATE);
    EXPECT_EQ(bare->AutoScale(0, -1, kScaleLeft), KVD_E_BADSTATE);
    EXPECT_EQ(bare->SetTraceIndicatorColour(0, 0, kScaleLeft, true, 0xFF, 1), KVD_E_BADSTATE);
}

TEST_F(DataPaneTest, RangesOfEqualEndsAreRefusedAndBadPanesOrSidesReported)
{
    SetUp(1);
    EXPECT_EQ(pane->SetRange(0, 0, kScaleLeft, {1, 1}), KVD_E_BADSTATE);
    EXPECT_EQ(pane->SetRange(0, 1, kScaleLeft, {1, -1}), KVD_E_BADSTATE);
    EXPECT_EQ(pane->SetDefaultRange(0, 0, kScaleLeft, {3, -3}), KVD_S_OK);
    IScale* scale = nullptr;
    EXPECT_EQ(pane->GetDragScale(0, 0, 3, &scale), KVD_E_NULLOUT);
    EXPECT_EQ(pane->GetDragScale(1, 0, kScaleLeft, &scale), KVD_E_NULLOUT);
    EXPECT_EQ(pane->AutoScale(0, 0, 3), KVD_E_NULLOUT);
    EXPECT_EQ(pane->SetTraceIndicatorColour(0, 0, kScaleLeft, true, 0x0000FF, 7), KVD_S_OK);
    EXPECT_TRUE(LeftScale(*pane, 0).IndicatorShown());
    EXPECT_EQ(LeftScale(*pane, 0).IndicatorColour(), 0x0000FFu);
}

TEST_F(DataPaneTest, AutoScaleTakesTheUnionOfTheDrawersRangesOverTheVisibleRegion)
{
    SetUp(1);
    // A second drawer on the ramp channel: the sine spans -1 .. 1, the ramp 0 .. 1.998.
    pane->AddRecordDrawer(0, 0,
                          KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                              0x1000, TChannelId{1, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0, 0x202, 1)),
                          0);
    ChannelYDataRange range{};
    AutoBool unscaled = kAutoFalse;
    ASSERT_EQ(pane->GetChannelPane(0).OnAutoScaleRequest(kScaleLeft, &range, &unscaled), KVD_S_OK);
    EXPECT_NEAR(range.top, 1.998, 1e-6);
    EXPECT_NEAR(range.bottom, -1.0, 1e-9);
    EXPECT_EQ(pane->AutoScale(0, -1, kScaleLeft), KVD_S_OK);  // every pane, and said so
    double top = 0, bottom = 0;
    LeftScale(*pane, 0).GetRange(&top, &bottom);
    EXPECT_NEAR(top, 1.998, 1e-6);
    EXPECT_NEAR(bottom, -1.0, 1e-9);
}

TEST_F(DataPaneTest, DragsAndAutoScaleCommandsReachTheOwnersHooksOrItsObservers)
{
    SetUp(2);
    KVD::COMPtr<PaneEvents> events(new PaneEvents);
    ASSERT_EQ(pane->AttachObserver(events), KVD_S_OK);
    pane->GetChannelPane(1).OnEndDrag(kScaleLeft, 0);
    pane->GetChannelPane(1).OnAutoScaleCommand(kScaleLeft);
    pane->DetachObserver(events);
    const std::string flags = std::to_string(TraceTest::kUnits);
    std::vector<std::string> heard;
    for (const auto& h : events->heard)
        if (h[0] == '4')
            heard.push_back(h);
    EXPECT_EQ(heard, (std::vector<std::string>{"46/1/" + flags, "47/1/" + flags}));
    pane->endDragHook = [&](TChannelId c, long side, DragScaleDragType, IDragScale* scale) {
        heard.push_back("drag " + std::to_string(c.channel) + " " + std::to_string(side) + (scale ? " scale" : ""));
    };
    pane->autoScaleHook = [&](TChannelId c, long id) { heard.push_back("auto " + std::to_string(c.channel) + " " + std::to_string(id)); };
    pane->GetChannelPane(0).OnEndDrag(kScaleLeft, 0);
    pane->GetChannelPane(0).OnAutoScaleCommand(kScaleLeft);
    EXPECT_EQ(heard[2], "drag 0 1 scale");
    EXPECT_EQ(heard[3], "auto 0 1");
    double top = 0, bottom = 0;
    LeftScale(*pane, 0).GetRange(&top, &bottom);
    EXPECT_NEAR(top, 1.0, 1e-9);  // the command auto-scaled the sine
}

TEST_F(DataPaneTest, ChannelPanesWriteVersionThreeAndSkipTheLegacyRanges)
{
    SetUp(1);
    ChannelPane& p = pane->GetChannelPane(0);
    EXPECT_EQ(Bytes([&](KVD::BinOStream& out) { p.Write(&out); }), Bytes([](KVD::BinOStream& out) { out.WriteWord32(3); }));
    const std::string legacy = Bytes([](KVD::BinOStream& out) {
        out.WriteWord32(2);
        out.WriteByte(1);
        out.WriteDouble(5);
        out.WriteDouble(-5);
        out.WriteByte(1);
        out.WriteDouble(7);
        out.WriteDouble(-7);
        out.WriteWord32(99);
    });
    double before = 0, after = 0, ignored = 0;
    LeftScale(*pane, 0).GetRange(&before, &ignored);
    std::stringbuf stored(legacy);
    KVD::BinIStream in(&stored);
    EXPECT_EQ(p.Read(&in), KVD_S_OK);
    unsigned next = 0;
    in.ReadWord32(&next);
    EXPECT_EQ(next, 99u);
    LeftScale(*pane, 0).GetRange(&after, &ignored);
    EXPECT_EQ(after, before);
    std::stringbuf newer(Bytes([](KVD::BinOStream& out) { out.WriteWord32(4); }));
    KVD::BinIStream newerIn(&newer);
    EXPECT_THROW(p.Read(&newerIn), XKVD);
}

TEST_F(DataPaneTest, DrawersLearnResolutionBackgroundAndModesFromThePane)
{
    SetUp(1);
    EXPECT_DOUBLE_EQ(pane->GetXPixelsPermm(), 3.7795276158179276);
    double x = 0, y = 0;
    pane->SetScreenPixelRatio(2.0);
    pane->GetAnyReferenceDCPixelRatio(0, &x, &y);
    EXPECT_EQ(x, 2.0);
    EXPECT_EQ(y, 2.0);
    bool hiRes = true;
    EXPECT_EQ(pane->AreDrawingHiRes(0, &hiRes), KVD_S_FALSE);
    EXPECT_FALSE(hiRes);
    EXPECT_EQ(pane->IsOnlineDrawingLatestHR(), KVD_S_FALSE);
    uint32_t rgb = 0;
    pane->GetBackgroundColor(&rgb);
    EXPECT_EQ(rgb, 0xFFFFFFu);
    uint32_t adjusted = 0;
    pane->AdjustColorForBackground(0x123456, &adjusted);
    EXPECT_EQ(adjusted, 0x123456u);  // a white background takes every colour as it is
    pane->SetBackgroundColor(0x000000);
    pane->AdjustColorForBackground(0x000000, &adjusted);
    EXPECT_NE(adjusted, 0x000000u);
    pane->SetLayerAlpha(0, 0, 0x201, 128);
    EXPECT_EQ(pane->GetChannelPane(0).GetLayer(2).opacity, 128u);
    EXPECT_EQ(pane->GetChannelPane(0).GetLayer(2).flags & LayerFlag::kCopyAlways, 0u);
}

TEST(DataPaneModes, ANonInteractivePaneDrawsHiResWithoutControlsAndReportsBlackAsWhite)
{
    KVD::COMPtr<TraceTest::TestDataPane> pane(
        new TraceTest::TestDataPane(PaneFlag::kLeftScale, MiscFlag::kNonInteractive, [] { return 0; }));
    int window = 0;
    pane->OnSetupWindow(&window, &window);
    EXPECT_EQ(pane->GetScrollBar(), nullptr);
    EXPECT_EQ(pane->GetZoomControl(), nullptr);
    bool hiRes = false;
    EXPECT_EQ(pane->AreDrawingHiRes(0, &hiRes), KVD_S_OK);
    EXPECT_TRUE(hiRes);
    pane->SetBackgroundColor(0x000000);
    uint32_t rgb = 1;
    pane->GetBackgroundColor(&rgb);
    EXPECT_EQ(rgb, 0xFFFFFFu);
}

TEST_F(DataPaneTest, DisplaySettingsGiveTheBackgroundAndEachPanesValue)
{
    SetUp(2);
    auto settings = KVD::COMPtr<Host::DisplaySettings>::Take(Host::DisplaySettings::Create());
    settings->SetBackground(0x202020);
    settings->SetChannel(1, 0x00FF00, 0, 1);
    Bar().track = 2000;
    pane->OnScrollX(ScrollCode::kTrack);
    const int64_t right = pane->GetRightEdgeVPix();
    pane->OnDisplayInfoChanged(settings, nullptr, 0);
    uint32_t rgb = 0;
    pane->GetBackgroundColor(&rgb);
    EXPECT_EQ(rgb, 0x202020u);
    EXPECT_EQ(pane->DisplayValue(0), 0u);
    EXPECT_EQ(pane->DisplayValue(1), 1u);
    EXPECT_EQ(pane->GetRightEdgeVPix(), right);  // the middle stays in the middle
}

TEST_F(DataPaneTest, EachUnitsQueryIsAboutTheBlockAndModeAskedForSoTheBlockWalkFindsTheOneWithUnits)
{
    KVD::COMPtr<TestDataPane> bare(new TestDataPane(PaneFlag::kLeftScale | PaneFlag::kRightScale, 0, [] { return 0; }));
    bare->OnSetupWindow(this, this);
    KVD::COMPtr<OneBlockUnitsDrawer> drawer(new OneBlockUnitsDrawer(3));
    bare->AddRecordDrawer(0, 0, drawer, 0);
    ChannelPane& p = bare->GetChannelPane(0);
    drawer->asked.clear();
    // The left side walks up from the first block, the right side down from the last.
    EXPECT_EQ(p.SetYScaleUnits(1, 5), 3);
    EXPECT_EQ(drawer->asked, (std::vector<std::string>{"1:1/0", "1:2/0", "1:3/0", "2:5/0", "2:4/0", "2:3/0"}));
    EXPECT_TRUE(p.LeftUnitsFound());
    EXPECT_TRUE(p.RightUnitsFound());
    EXPECT_EQ(UnitsOf(p.ScaleOf(kScaleLeft)), L"L");
    EXPECT_EQ(UnitsOf(p.ScaleOf(kScaleRight)), L"L");
    EXPECT_EQ(p.SetYScaleUnits(4, 6), kNoUnitsBlock);
    EXPECT_FALSE(p.LeftUnitsFound());
    drawer->asked.clear();
    KVD::String units;
    EXPECT_TRUE(p.GetUnitsForScale(kScaleLeft, 5, 3, &units, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(units.c_str()), L"L");
    EXPECT_FALSE(p.GetUnitsForScale(kScaleRight, 0, 2, &units, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(drawer->asked, (std::vector<std::string>{"1:3/5", "2:2/0"}));
}

TEST_F(DataPaneTest, APaneAnswersItsChannelsTitleFromTheRecordData)
{
    SetUp(1);
    KVD::String title;
    ASSERT_EQ(pane->GetChannelPane(0).GetTitle(0, &title), KVD_S_OK);
    EXPECT_FALSE(title.empty());
}

TEST_F(DataPaneTest, ACloneWithoutDataPaneTakesScalingUnitsWindowsAndTitleQuestionsWithoutOne)
{
    SetUp(1);
    ChannelPane* raw = nullptr;
    ASSERT_EQ(pane->GetChannelPane(0).Clone(&raw), KVD_S_OK);
    const KVD::COMPtr<ChannelPane> copy = KVD::COMPtr<ChannelPane>::Take(raw);
    ASSERT_EQ(copy->Owner(), nullptr);
    ASSERT_NE(copy->ScaleOf(kScaleLeft), nullptr);
    const DataScaling scaling{-2.0, 1.0};
    EXPECT_EQ(copy->OnScalingChanged(kScaleLeft, 0, &scaling), KVD_S_OK);
    KVD::String units;
    copy->GetUnitsForScale(kScaleLeft, 0, 0, &units, nullptr, nullptr, nullptr, nullptr);
    copy->SetYScaleUnits(0, 0);
    EXPECT_EQ(copy->ShowGuideLinesDlg(KVDPosition{}), KVD_E_BADSTATE);
    KVD::String title(L"stale");
    EXPECT_EQ(copy->GetTitle(0, &title), KVD_E_BADSTATE);
    EXPECT_TRUE(title.empty());
    ChannelYDataRange range{};
    EXPECT_EQ(copy->OnAutoScaleRequest(kScaleLeft, &range, nullptr), KVD_E_BADSTATE);
    EXPECT_EQ(copy->OnBeginDrag(kScaleLeft, 0), KVD_S_OK);
    EXPECT_EQ(copy->OnEndDrag(kScaleLeft, 0), KVD_S_OK);
    // Set up in a window of its own, it makes the scales its flags ask for.
    copy->OnSetupWindow(this, this);
    EXPECT_NE(copy->DragScaleOf(kScaleLeft), nullptr);
    copy->OnCleanupWindow();
}

TEST_F(DataPaneTest, ARangeOfEqualEndsIsRefusedBeforeAnyScaleSeesIt)
{
    // This scale would take it: the pane itself must refuse.
    KVD::COMPtr<TestDataPane> bare(new TestDataPane(0, 0, [] { return 0; }));
    bare->OnSetupWindow(this, this);
    KVD::COMPtr<MuteScale> scale(new MuteScale);
    ChannelPane& p = bare->GetChannelPane(0);
    p.SetLeftDragScale(scale);
    EXPECT_FALSE(p.SetDragScaleRange(0, kScaleLeft, {2, 2}, true, true));
    EXPECT_FALSE(p.SetDragScaleRange(0x80000000u, kScaleLeft, {0, 0}, false, true));
    EXPECT_EQ(scale->ranges, 0);
    EXPECT_TRUE(p.SetDragScaleRange(0, kScaleLeft, {2, -2}, false, true));
    EXPECT_EQ(scale->ranges, 1);
}

}  // namespace
