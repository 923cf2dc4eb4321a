// The data pane's geometry: layouts, scroll-bar figures and scroll codes, zoom steps and the
// pivot, the wheel on a hand-moved clock, the zoom menu, persistence and the online path.
#include <gtest/gtest.h>

#include <sstream>

#include "DataPaneFixture.h"
#include "InteractiveRecorder.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/XKVD.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

std::string Words(std::initializer_list<unsigned> words)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 1);
        for (unsigned w : words)
            out.WriteWord32(w);
    }
    return buffer.str();
}

TicksPerPix Ratio(long long n, long long d = 1)
{
    return TicksPerPix(n, d).normalize();
}

// A pane without controls: its time scale has no height, so the figures are hand-computed.
class Layouts : public DataPaneTest {
protected:
    Layouts() : DataPaneTest({60000}, MiscFlag::kNoControls) {}
};

TEST_F(Layouts, AutomaticLayoutSharesTheHeightAndGivesTheLastPaneTheRest)
{
    SetUp(3, 602, 300);
    // h = (300 - 2 - 6) / 3 = 97.33: tops at 1, 1 + 97 + 2, ...; the last pane ends at 300 - 2 - 1.
    const TRect expected[] = {{1, 1, 601, 98}, {1, 100, 601, 197}, {1, 199, 601, 297}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pane->GetChannelPane(i).GetPaneRect(), expected[i]) << "pane " << i;
    EXPECT_EQ(pane->GetTimeScale().GetPaneRect(), TRect(1, 298, 601, 299));
    EXPECT_EQ(pane->HitTestChannelPane(TPoint(300, 150)), 1);
    EXPECT_EQ(pane->HitTestChannelPane(TPoint(300, 298)), -1);
    EXPECT_EQ(pane->HitTestChannelPane(TPoint(601, 150)), int(0x80000000u));  // the right border column
    EXPECT_EQ(pane->HitTestChannelPane(TPoint(0, 150)), int(0x80000000u));
}

TEST_F(Layouts, ExplicitLayoutKeepsTopsAndHeightsAndStoredArraysOfAnotherCountAreIgnored)
{
    SetUp(2, 602, 300);
    pane->SetPanePositions(std::make_shared<std::vector<int>>(std::vector<int>{5, 60}),
                           std::make_shared<std::vector<int>>(std::vector<int>{40, 100}));
    EXPECT_EQ(pane->GetChannelPane(0).GetPaneRect(), TRect(1, 5, 601, 45));
    EXPECT_EQ(pane->GetChannelPane(1).GetPaneRect(), TRect(1, 60, 601, 297));  // the last runs to H - 3
    EXPECT_EQ(pane->GetTimeScale().GetPaneRect(), TRect(1, 298, 601, 299));
    // A third pane: the two stored entries no longer fit, and the automatic layout holds.
    pane->SetNumberOfChannelPanes(3);
    EXPECT_EQ(pane->GetChannelPane(0).GetPaneRect(), TRect(1, 1, 601, 98));
}

TEST_F(Layouts, AClientRectThatMustEndAtAPaneNeedsOneOfThirteenPixels)
{
    SetUp(2, 602, 30);  // panes of (30 - 2 - 4) / 2 = 12 pixels
    TRect rect;
    EXPECT_EQ(pane->GetDataClientRect(0, &rect), KVD_S_OK);
    EXPECT_EQ(rect, TRect(1, 0, 601, 30));
    EXPECT_EQ(pane->GetDataClientRect(-1, &rect), KVD_E_BADSTATE);
    pane->OnSize(TSize(602, 40));
    EXPECT_EQ(pane->GetDataClientRect(-1, &rect), KVD_S_OK);
    EXPECT_EQ(rect.bottom, pane->GetChannelPane(1).GetPaneRect().bottom);
}

TEST_F(DataPaneTest, APaneWithoutChannelPanesGetsOneAtSetUp)
{
    pane->OnSetupWindow(this, this);
    EXPECT_EQ(pane->ChannelPaneCount(), 1);
}

TEST_F(DataPaneTest, TheScrollBarCoversTheRecordInUnitsOfOnePixel)
{
    SetUp(1, 602, 300);  // 60 s at 10 ticks a pixel: 6000 pixels, 600 shown
    EXPECT_TRUE(Bar().enabled);
    EXPECT_EQ(Bar().info.min, 0);
    EXPECT_EQ(Bar().info.max, 6000);
    EXPECT_EQ(Bar().info.page, 600u);
    EXPECT_EQ(Bar().info.position, 0);
    EXPECT_EQ(Bar().page, 375);  // 5 × 600 / 8
    EXPECT_EQ(Bar().line, 23);   // 5 × 600 / 128
    EXPECT_EQ(pane->GetRightEdgeVPix(), 600);
}

TEST_F(DataPaneTest, ScrollCodesMoveByLinesAndPagesWithinTheRange)
{
    SetUp(1, 602, 300);
    struct Case {
        unsigned code;
        int position;
    } cases[] = {{ScrollCode::kLineRight, 123}, {ScrollCode::kLineLeft, 77},   {ScrollCode::kPageRight, 475},
                 {ScrollCode::kPageLeft, 0},    {ScrollCode::kLast, 5400},     {ScrollCode::kFirst, 0},
                 {ScrollCode::kUnchanged, 100}, {ScrollCode::kEndScroll, 100}};
    for (const Case& c : cases) {
        Bar().track = 100;
        pane->OnScrollX(ScrollCode::kTrack);
        ASSERT_EQ(Bar().info.position, 100);
        pane->OnScrollX(c.code);
        EXPECT_EQ(Bar().info.position, c.position) << "code " << c.code;
        EXPECT_EQ(pane->GetRightEdgeVPix(), 600 + c.position) << "code " << c.code;
    }
}

TEST_F(DataPaneTest, ScrollingMovesPaneContentWhenTheShiftFitsAndRedrawsOtherwise)
{
    SetUp(1, 602, 300);
    pane->scrolled = 0;
    pane->OnScrollX(ScrollCode::kLineRight);
    EXPECT_EQ(pane->scrolled, -23 * 2);  // channel pane and time scale, content moves left
    pane->scrolled = 0;
    pane->OnScrollX(ScrollCode::kLast);
    EXPECT_EQ(pane->scrolled, 0);
}

TEST_F(DataPaneTest, TheScrollUnitKeepsAnHourAtTheFinestZoomWithin31Bits)
{
    SetUp(1, 602, 300);
    pane->SetTicksPerPix(Ratio(1, 1000));  // 60000 ticks: 60 000 000 pixels
    pane->UpdateScrollBar();
    EXPECT_EQ(Bar().info.max, 60000000);
    // 2.4 million ticks at a thousand pixels a tick overflow 31 bits: two pixels a unit.
    TraceTest::TraceData hour(TraceTest::MakeRecording({2400000}));
    pane->SetRecordData(0, hour.data, nullptr);
    pane->SetTicksPerPix(Ratio(1, 1000));
    pane->UpdateScrollBar();
    EXPECT_EQ(Bar().info.max, 1200000000);
    EXPECT_EQ(Bar().info.page, 300u);
}

TEST_F(DataPaneTest, ZoomStepsFollowOneTwoFiveAndStopAtTheLimits)
{
    SetUp(1, 602, 300);
    struct Case {
        TicksPerPix from;
        bool zoomIn;
        TicksPerPix to;
    } cases[] = {{Ratio(10), true, Ratio(5)},          {Ratio(10), false, Ratio(20)},
                 {Ratio(1, 5), true, Ratio(1, 10)},    {Ratio(1, 10), true, Ratio(1, 10)},
                 {Ratio(1, 10), false, Ratio(1, 5)},   {Ratio(500000), false, Ratio(500000)},
                 {Ratio(500000), true, Ratio(200000)}, {Ratio(1), true, Ratio(1, 2)}};
    for (const Case& c : cases) {
        pane->SetTicksPerPix(c.from);
        pane->OnZoomXStep(c.zoomIn);
        EXPECT_EQ(pane->GetTicksPerPix(), c.to) << c.from.numerator() << "/" << c.from.denominator();
    }
    EXPECT_EQ(pane->zoom->label, KVD::String(L"x2"));
}

// The tick drawn at a column of the window.
double TickAt(DataPane& pane, int x)
{
    const int64_t pixel = pane.GetRightEdgeVPix() - (pane.GetRect().right - 1 - x);
    int32_t record = 0;
    double tick = 0;
    pane.GetRecordPixMap()->ColumnToPosition(kPixMapStartColumn, double(pixel), &record, &tick);
    return record * 1e9 + tick;
}

TEST_F(DataPaneTest, ZoomingAboutAPivotKeepsTheDataUnderIt)
{
    SetUp(1, 602, 300);
    Bar().track = 2000;
    pane->OnScrollX(ScrollCode::kTrack);
    for (int pivot : {150, 301, 590, 2}) {
        for (auto ratio : {Ratio(5), Ratio(2), Ratio(20), Ratio(10)}) {
            const double before = TickAt(*pane, pivot);
            const double oldTicks = double(pane->GetTicksPerPix().numerator()) / pane->GetTicksPerPix().denominator();
            pane->OnZoomX(ratio, &pivot, true);
            EXPECT_NEAR(TickAt(*pane, pivot), before, oldTicks + double(ratio.numerator()) / ratio.denominator())
                << "pivot " << pivot;
        }
    }
}

TEST_F(DataPaneTest, ZoomingInWithoutPivotKeepsTheStartInViewAtTheStart)
{
    SetUp(1, 602, 300);
    pane->OnZoomX(Ratio(2), nullptr, true);
    EXPECT_EQ(pane->GetRightEdgeVPix(), 600);  // still from pixel 0
    // In the middle of the record the middle stays.
    Bar().track = 2000;
    pane->OnScrollX(ScrollCode::kTrack);
    const double middle = TickAt(*pane, 301);
    pane->OnZoomX(Ratio(1), nullptr, true);
    EXPECT_NEAR(TickAt(*pane, 301), middle, 2);
}

TEST_F(DataPaneTest, TheZoomNoticeTellsTheHooksTheZoomAndTheRightEdgeTime)
{
    SetUp(1, 602, 300);
    double ratio = 0, seconds = -1;
    int calls = 0;
    pane->zoomHook = [&](unsigned, double r, int, double s) { ratio = r, seconds = s; };
    pane->viewChangeHook = [&](unsigned, double, int, double) { ++calls; };
    pane->OnZoomX(Ratio(20), nullptr, true);
    EXPECT_EQ(ratio, 20.0);
    EXPECT_NEAR(seconds, (pane->GetRightEdgeVPix() - 1) * 0.02, 1e-9);
    EXPECT_EQ(calls, 1);
}

class Wheel : public DataPaneTest {
protected:
    void SetUp() override { DataPaneTest::SetUp(1, 2002, 300); }  // line magnitude 5 × 2000 / 128 = 78
};

TEST_F(Wheel, NotchesOfQuickSuccessionScrollUpToAHundredTimesFurther)
{
    struct Case {
        int64_t elapsed;
        int delta;
        int shift;  // trunc(notches × rate × 78 / 32)
    } cases[] = {
        {1000, -120, 2},  {3000, -120, 2},   {10, -120, 243}, {0, -120, 243},
        {40, -120, 60},   {1000, -240, 4},   {1000, 119, 0},  {1000, -119, 0},
    };
    for (const Case& c : cases) {
        Bar().track = 500;
        pane->OnScrollX(ScrollCode::kTrack);
        now += c.elapsed;
        pane->OnMouseWheel(0, c.delta, TPoint(100, 50));
        EXPECT_EQ(Bar().info.position - 500, c.shift) << "after " << c.elapsed << " ms, delta " << c.delta;
    }
}

TEST_F(Wheel, TheRunningTotalKeepsWhatNoNotchTook)
{
    pane->OnMouseWheel(0, 119, TPoint(100, 50));
    EXPECT_EQ(pane->WheelTotal(), 119);
    pane->OnMouseWheel(0, 240, TPoint(100, 50));
    EXPECT_EQ(pane->WheelTotal(), 119);
    pane->OnMouseWheel(0, -130, TPoint(100, 50));
    EXPECT_EQ(pane->WheelTotal(), 109);  // -11 less the notch taken towards the left
}

TEST_F(Wheel, WithTheModifierTheWheelZoomsAboutThePointer)
{
    now += 5000;
    pane->OnMouseWheel(kWheelZoomFlag, 120, TPoint(700, 50));
    EXPECT_EQ(pane->GetTicksPerPix(), Ratio(5));
    pane->OnMouseWheel(kWheelZoomFlag, -120, TPoint(700, 50));
    EXPECT_EQ(pane->GetTicksPerPix(), Ratio(10));
    pane->DisplayMode() = 1;
    pane->OnMouseWheel(kWheelZoomFlag, 120, TPoint(700, 50));
    EXPECT_EQ(pane->GetTicksPerPix(), Ratio(10));
}

struct MenuLog : TMenuSink {
    void DeleteAll() override { items.clear(); }
    void Append(const KVD::String& label, unsigned flags, int id) override
    {
        items.push_back(std::to_string(id) + " " + std::string(label.c_str(), label.c_str() + label.length()) + " " +
                        std::to_string(flags));
    }
    std::vector<std::string> items{"stale"};
};

TEST_F(DataPaneTest, TheZoomMenuListsTheStepsAndChecksTheCurrentOne)
{
    SetUp(1, 602, 300);
    MenuLog menu;
    pane->OnInitMenuPopup(menu, kFirstZoomCommand, kFirstZoomCommand + 21);
    ASSERT_EQ(menu.items.size(), 21u);
    EXPECT_EQ(menu.items[0], "1130 x10 16");
    EXPECT_EQ(menu.items[2], "1132 x2 16");
    EXPECT_EQ(menu.items[6], "1136 10:1 24");
    EXPECT_EQ(menu.items[13], "1143 2k:1 16");
    EXPECT_EQ(menu.items[20], "1150 500k:1 16");
    pane->OnCommand(1, kFirstZoomCommand + 13);
    EXPECT_EQ(pane->GetTicksPerPix(), Ratio(2000));
    pane->OnCommand(2, kFirstZoomCommand);
    EXPECT_EQ(pane->GetTicksPerPix(), Ratio(2000));
}

TEST(ZoomLabels, ThreeSignificantDigitsWithThousandsAsK)
{
    struct Case {
        TicksPerPix ratio;
        const wchar_t* label;
    } cases[] = {{Ratio(2000), L"2k:1"}, {Ratio(5), L"5:1"},       {Ratio(1, 2), L"x2"},
                 {TicksPerPix(0, 1), L"x?"}, {Ratio(25, 2), L"12.5:1"}, {Ratio(1234), L"1.23k:1"},
                 {Ratio(1, 3), L"x3"},   {Ratio(1000), L"1k:1"},  {Ratio(999), L"999:1"}};
    for (const Case& c : cases)
        EXPECT_EQ(CompressionLabel(c.ratio), KVD::String(c.label)) << c.ratio.numerator();
}

TEST_F(DataPaneTest, WritesVersionTwoThenObjectsThenEachChannelPane)
{
    SetUp(2, 602, 300);
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 1);
        pane->Write(&out);
    }
    EXPECT_EQ(buffer.str(), Words({2, 2, 3, 3}));
}

TEST_F(DataPaneTest, ReadsItsVersionsAndRefusesNewerOnes)
{
    SetUp(2, 602, 300);
    struct Case {
        std::string bytes;
        bool throws;
        unsigned next;  // the word left after reading
    } cases[] = {{Words({1, 99}), false, 99},       {Words({0, 99}), false, 99},
                 {Words({2, 2, 3, 3, 99}), false, 99}, {Words({3, 99}), true, 99}};
    for (const Case& c : cases) {
        std::stringbuf stored(c.bytes);
        KVD::BinIStream in(&stored);
        if (c.throws) {
            EXPECT_THROW(pane->Read(&in), XKVD);
            continue;
        }
        EXPECT_EQ(pane->Read(&in), KVD_S_OK);
        unsigned next = 0;
        in.ReadWord32(&next);
        EXPECT_EQ(next, c.next);
    }
}

TEST_F(DataPaneTest, ScrollToPositionLeavesAVisiblePositionAndCentresOthers)
{
    SetUp(1, 602, 300);
    struct Case {
        uint32_t tick;
        int where;
        int64_t right;
    } cases[] = {{3000, 0, 600}, {30000, 0, 3300}, {30000, 1, 3300}, {30000, 2, 3600}, {59990, 3, 6000}};
    for (const Case& c : cases) {
        pane->ScrollToPosition(KVDPosition{0, 0}, 2);
        pane->ScrollToPosition(KVDPosition{c.tick, 0}, c.where);
        EXPECT_EQ(pane->GetRightEdgeVPix(), c.right) << c.tick << " where " << c.where;
    }
}

TEST_F(DataPaneTest, ARecordWithoutPixelsHasNoDataAndNoVisibleRegion)
{
    SetUp(1, 602, 300);
    TraceTest::TraceData empty(TraceTest::MakeRecording({}));
    pane->SetRecordData(0, empty.data, nullptr);
    bool has = true;
    EXPECT_EQ(pane->GetHasData(0, kScaleLeft, &has), KVD_S_OK);
    EXPECT_FALSE(has);
    KVDPosition first{}, last{};
    EXPECT_EQ(pane->GetVisibleRegion(0, &first, &last), KVD_S_FALSE);
    pane->SetRecordData(0, nullptr, nullptr);
    EXPECT_EQ(pane->GetHasData(0, kScaleLeft, &has), KVD_E_BADSTATE);
}

TEST_F(DataPaneTest, TheVisibleRegionRunsFromTheLeftToTheRightEdge)
{
    SetUp(1, 602, 300);
    KVDPosition first{}, last{};
    ASSERT_EQ(pane->GetVisibleRegion(0, &first, &last), KVD_S_OK);
    EXPECT_EQ(first.tick, 0u);
    EXPECT_EQ(last.tick, 6000u);
    EXPECT_EQ(pane->GetVisibleRegionInXUnits(), KVD_E_NOTIMPL);
}

TEST_F(DataPaneTest, SamplingFollowsTheNewestDataUntilTheUserScrollsAway)
{
    SetUp(1, 602, 300);
    int updates = 0;
    pane->updateHook = [&](long) { ++updates; };
    pane->PrepareForSampling(0);
    EXPECT_TRUE(pane->IsOnlineAutoScrollX());
    EXPECT_EQ(pane->IsPreparedForSamplingHR(), KVD_S_OK);
    pane->Update(0);
    EXPECT_EQ(pane->GetRightEdgeVPix(), 6000);
    EXPECT_EQ(updates, 1);
    pane->OnScrollX(ScrollCode::kFirst);
    EXPECT_FALSE(pane->IsOnlineAutoScrollX());
    pane->OnScrollX(ScrollCode::kLast);
    EXPECT_TRUE(pane->IsOnlineAutoScrollX());
    pane->CleanUpAfterSampling(kAutoFalse);
    EXPECT_EQ(pane->IsPreparedForSamplingHR(), KVD_S_FALSE);
    EXPECT_EQ(pane->GetLatestBmpOffset(), 600);
}

}  // namespace

namespace {

// Sampling as the host drives it: records added to the recording, the map told, the pane updated.
class Sampling : public DataPaneTest {
protected:
    void SetUp() override
    {
        DataPaneTest::SetUp(1);
        pane->AddInteractiveObject(new TraceTest::LoggingObject("object", log), 0);
    }
    void Grow(uint32_t ticks)
    {
        Host::RecordBlock block;
        block.ticks = ticks;
        block.samples.assign(2, std::vector<int16_t>(ticks, 0));
        data.recording->AddRecord(std::move(block));
        pane->SetRecordData(0x40000000u, data.data, nullptr);
    }
    int Periodic() const { return int(std::count(log.begin(), log.end(), "object:periodic")); }

    std::vector<std::string> log;
};

TEST_F(Sampling, UpdatesFollowTheNewestDataAndAdvanceTheLatestBitmapOffsetRoundTheWidth)
{
    pane->PrepareForSampling(1);
    pane->OnRecordStart(1, kAutoFalse);
    pane->Update(1);  // the first update jumps to the newest data: more than a width, a whole width
    EXPECT_EQ(pane->GetRightEdgeVPix(), 6000);
    EXPECT_EQ(pane->GetLatestBmpOffset(), 600);
    struct Step {
        uint32_t ticks;
        int64_t right;
        int offset;
    } steps[] = {{3000, 6300, 300}, {2000, 6500, 500}, {2000, 6700, 100}, {10000, 7700, 600}};
    for (const Step& s : steps) {
        Grow(s.ticks);
        pane->Update(1);
        EXPECT_EQ(pane->GetRightEdgeVPix(), s.right);
        EXPECT_EQ(pane->GetLatestBmpOffset(), s.offset);
    }
    pane->OnRecordEnd(1, nullptr);
    pane->CleanUpAfterSampling(kAutoFalse);
    EXPECT_EQ(pane->GetLatestBmpOffset(), 600);
}

TEST_F(Sampling, HooksHearTheRecordStartAndThePaintOverlayGetsTheNewestColumns)
{
    unsigned started = 99;
    IUnknown* startedRecord = nullptr;
    double startedSecsPerTick = 0;
    AutoBool kept = kAutoFalse;
    pane->recordStartHook = [&](unsigned block, IUnknown* record, double secsPerTick, KVDTimeDate, long long,
                                long, AutoBool recordFlag) {
        started = block;
        startedRecord = record;
        startedSecsPerTick = secsPerTick;
        kept = recordFlag;
    };
    pane->PrepareForSampling(1);
    pane->OnRecordStart(1, kAutoTrue);
    EXPECT_EQ(started, 1u);
    EXPECT_EQ(startedRecord, static_cast<IUnknown*>(data.data.get()));
    EXPECT_EQ(startedSecsPerTick, 0.0);  // block 1 has no samples yet
    EXPECT_EQ(kept, kAutoTrue);
    pane->Update(1);
    Grow(2500);
    pane->Update(1);  // 250 new columns: the ring is at 250
    TRect overlay;
    pane->paintOverlayHook = [&](TDC&, TRect& area, IRecordDataPixMap* map, const std::function<void()>& finish) {
        overlay = area;
        EXPECT_EQ(map, pane->GetRecordPixMap());
        finish();
        return true;
    };
    const int before = pane->invalidations;
    TraceTest::Recorded rec(602, 300);
    pane->OnPaint(*rec.dc, TRect(0, 0, 602, 300));
    EXPECT_EQ(overlay, TRect(601 - 250, 0, 601, 300));
    EXPECT_GT(pane->invalidations, before);  // the completion asks for a paint
    // A block the record holds has its seconds per tick.
    pane->OnRecordStart(0, kAutoFalse);
    EXPECT_EQ(started, 0u);
    EXPECT_DOUBLE_EQ(startedSecsPerTick, 0.001);
    EXPECT_EQ(kept, kAutoFalse);
}

TEST_F(Sampling, ObjectsHearThePeriodicNoticeAtMostEvery301Milliseconds)
{
    pane->PrepareForSampling(0);
    const int64_t steps[] = {0, 100, 200, 1, 300, 301};
    const int expected[] = {1, 1, 1, 2, 2, 3};
    for (size_t i = 0; i < 6; ++i) {
        now += steps[i];
        pane->Update(0);
        EXPECT_EQ(Periodic(), expected[i]) << "step " << i;
    }
}

TEST(SamplingChoice, PaneFlag27KeepsAutoScrollOffWhenSamplingStarts)
{
    TraceTest::TraceData data(TraceTest::MakeRecording({60000}));
    for (uint32_t flags : {PaneFlag::kLeftScale, PaneFlag::kLeftScale | PaneFlag::kNoAutoScrollOnSampling}) {
        KVD::COMPtr<TraceTest::TestDataPane> pane(new TraceTest::TestDataPane(flags, 0, [] { return 0; }));
        int window = 0;
        pane->OnSetupWindow(&window, &window);
        pane->SetRecordData(0, data.data, nullptr);
        pane->OnSize(TSize(602, 300));
        pane->PrepareForSampling(0);
        EXPECT_EQ(pane->IsOnlineAutoScrollX(), (flags & PaneFlag::kNoAutoScrollOnSampling) == 0) << flags;
    }
}

TEST_F(DataPaneTest, AClonedChannelPaneCopiesItsScalesWithoutDraggingThem)
{
    SetUp(1);
    pane->LockDragScaleUnitPrefix(0, 0, kScaleLeft, kUnitPrefixMilli);
    KVD::COMPtr<ChannelPane> copy;
    ASSERT_EQ(pane->GetChannelPane(0).Clone(copy.Set()), KVD_S_OK);
    ASSERT_NE(copy->ScaleOf(kScaleLeft), nullptr);
    EXPECT_NE(copy->ScaleOf(kScaleLeft), pane->GetChannelPane(0).ScaleOf(kScaleLeft));
    EXPECT_EQ(copy->DragScaleOf(kScaleLeft), nullptr);
    EXPECT_EQ(copy->Prefix(kScaleLeft).prefix, kUnitPrefixMilli);
    EXPECT_EQ(copy->DrawerCount(), 1);
    double top = 0, bottom = 0, copyTop = 0;
    pane->GetChannelPane(0).ScaleOf(kScaleLeft)->GetRange(&top, &bottom);
    copy->ScaleOf(kScaleLeft)->GetRange(&copyTop, &bottom);
    EXPECT_EQ(copyTop, top);
}

}  // namespace
