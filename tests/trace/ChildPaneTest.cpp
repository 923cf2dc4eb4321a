// Child panes: drawers kept in layer order with each layer's drawer range, removal, dirty
// ranges widened by the drawers' extensions, drawing layer by layer, scrolling and the
// online update, the time scale's fixed answers and borders.
#include <gtest/gtest.h>

#include <vector>

#include "TraceFixture.h"
#include "trace/ChildPaneBase.h"
#include "trace/DrawerBase.h"

using namespace OrrelDraw;

namespace {

// A drawer of a given layer value and extensions that logs its draws.
class LoggingDrawer final : public DrawerBase {
public:
    struct Draw {
        long long start, end;
        int64_t pixel;
        int x;
    };
    LoggingDrawer(long layer, int left, int right, TChannelId user = kNoChannel, unsigned info = 0)
        : DrawerBase(layer, 0, TChannelId{3, TraceTest::kUnits}, user), mLeft(left), mRight(right), mInfo(info)
    {
    }
    HRESULT GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC*) const override
    {
        if (flags)
            *flags = mInfo;
        if (left)
            *left = mLeft;
        if (right)
            *right = mRight;
        return KVD_S_OK;
    }
    HRESULT GetUnitsName(long, int, IAutoKVDString**, AutoBool*) const override { return KVD_S_FALSE; }
    HRESULT OnScalingChanged(long, unsigned int, const DataScaling*, IScale*) override { return KVD_S_OK; }
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags) override { return KVD_S_OK; }
    HRESULT DrawInRecord(TDC&, long long start, long long end, TPixPosition pix, int x, const tagRECT*,
                         OrrelDrawerDrawFlags, const GraticuleInfo*, const KVDDataTimeInfo*) override
    {
        draws.push_back({start, end, pix.pixel, x});
        return KVD_S_OK;
    }
    HRESULT GetRange(BlockDataType, long, KVDPosition, KVDPosition, ChannelYDataRange*) const override
    {
        return KVD_S_FALSE;
    }
    HRESULT Update(long long, long long, long long* latest) override
    {
        if (latest == nullptr || mLatest < 0)
            return KVD_S_FALSE;
        *latest = mLatest;
        return KVD_S_OK;
    }

    std::vector<Draw> draws;
    long long mLatest = -1;

private:
    int mLeft, mRight;
    unsigned mInfo;
};

long LayerOf(IOrrelRecordDrawer* d)
{
    long v = 0;
    d->GetLayer(&v);
    return v;
}

class ChildPanes : public ::testing::Test {
protected:
    ChildPanes() : data(TraceTest::MakeRecording({5000})) { pane.SetRecordData(data.data, 10, 1); }

    KVD::COMPtr<LoggingDrawer> Add(TestSupport::TestPane& p, long layer, int left = 0, int right = 0,
                                   TChannelId user = kNoChannel, unsigned info = 0)
    {
        KVD::COMPtr<LoggingDrawer> d(new LoggingDrawer(layer, left, right, user, info));
        p.AddRecordDrawer(0, d, 255);
        return d;
    }

    TraceTest::TraceData data;
    TestSupport::TracePane pane;
};

TEST_F(ChildPanes, DrawersSortByLayerValueKeepingInsertionOrderAndLayersKnowTheirRanges)
{
    auto& p = pane.AddPane();
    auto a = Add(p, 1), b = Add(p, 0x402), c = Add(p, 0x201), d = Add(p, 1);
    ASSERT_EQ(p.DrawerCount(), 4);
    EXPECT_EQ(p.Drawer(0), a.get());
    EXPECT_EQ(p.Drawer(1), d.get());
    EXPECT_EQ(p.Drawer(2), c.get());
    EXPECT_EQ(p.Drawer(3), b.get());
    const int expected[8][2] = {{0, 2}, {-1, -1}, {2, 3}, {-1, -1}, {3, 4}, {-1, -1}, {-1, -1}, {-1, -1}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p.GetLayer(i).first, expected[i][0]) << i;
        EXPECT_EQ(p.GetLayer(i).end, expected[i][1]) << i;
    }
    // Each drawer was told its pane and data pane.
    EXPECT_EQ(a->GetPaneIndex(), 0);
    EXPECT_EQ(a->GetDataPane(), static_cast<IDrawerDataPane*>(&pane));
    EXPECT_EQ(LayerOf(p.Drawer(3)), 0x402);
}

TEST_F(ChildPanes, ClearingRemovesAllOrByInfoFlagsAndUserChannel)
{
    auto& p = pane.AddPane();
    Add(p, 1, 0, 0, TChannelId{5, 1});
    Add(p, 0x201, 0, 0, TChannelId{6, 1}, DrawerInfo::kMarker);
    Add(p, 0x402, 0, 0, TChannelId{5, 1}, DrawerInfo::kMarker);
    p.ClearRecordDrawers(DrawerInfo::kMarker, TChannelId{5, 1});
    ASSERT_EQ(p.DrawerCount(), 2);
    EXPECT_EQ(LayerOf(p.Drawer(1)), 0x201);
    EXPECT_EQ(p.GetLayer(4).first, -1);
    p.ClearRecordDrawers(0, kNoChannel);
    EXPECT_EQ(p.DrawerCount(), 0);
    EXPECT_EQ(p.GetLayer(0).first, -1);
}

TEST_F(ChildPanes, DirtyRangeIsWidenedByTheLargestExtensions)
{
    auto& p = pane.AddPane();
    Add(p, 1, 1, 0);
    Add(p, 0x402, 10, 10);
    Add(p, 0x900, 50, 50);  // layer value 2304 lies beyond the extensions' range
    pane.Layout(400, 300, 20);
    struct Case {
        OrrelDrawerDrawFlags flags;
        TRect region;
        int from, to;
    };
    const TRect paneRect = p.GetPaneRect();
    for (const Case& c : {Case{0, TRect(100, 0, 150, 300), 90, 160},
                          Case{0, TRect(-50, 0, 30, 300), paneRect.left - 10, 40},
                          Case{DrawFlag::kWholePane, TRect(), paneRect.left - 10, paneRect.right + 10}}) {
        int from = 0, to = 0;
        p.CalcDirtyRect(&c.region, c.flags, &from, &to, nullptr);
        EXPECT_EQ(from, c.from);
        EXPECT_EQ(to, c.to);
    }
    // An empty region stays empty.
    int from = 0, to = 0;
    const TRect outside(500, 0, 600, 10);
    p.CalcDirtyRect(&outside, 0, &from, &to, nullptr);
    EXPECT_EQ(from, to);
}

TEST_F(ChildPanes, DrawInRecordGivesEachDrawerItsLayerAndWidenedColumns)
{
    auto& p = pane.AddPane();
    auto background = Add(p, 1);
    auto marker = Add(p, 0x402, 10, 10, kNoChannel, DrawerInfo::kMarker);
    pane.Layout(400, 300, 20);
    for (int i = 0; i < 8; ++i)
        p.GetLayer(i).ResetDirty();
    p.LayersInvalidateXRange(100, 150, 0, 8, true);
    TraceTest::Recorded rec;
    KVD::Bitset layers;
    layers.set_range(0, 8);
    // Columns 1000..1398 drawn from x = 1; the dirty x range 100..150 is columns 1099..1149.
    const TRect clip(1, 0, 399, 300);
    p.DrawInRecord(rec.dc.get(), 1000, 1398, TPixPosition{1000, 0}, 1, &clip, 0, nullptr, nullptr, layers);
    ASSERT_EQ(background->draws.size(), 1u);
    EXPECT_EQ(background->draws[0].start, 1099);
    EXPECT_EQ(background->draws[0].end, 1149);
    EXPECT_EQ(background->draws[0].x, 100);
    ASSERT_EQ(marker->draws.size(), 1u);
    EXPECT_EQ(marker->draws[0].start, 1089);
    EXPECT_EQ(marker->draws[0].end, 1159);
    EXPECT_EQ(marker->draws[0].pixel, 1089);
    EXPECT_NE(p.DrawnMarker(), 0u);
    // Markers sit out a pass that skips them; drawing done empties every dirty range.
    p.LayersInvalidateXRange(100, 150, 0, 8, true);
    p.DrawInRecord(rec.dc.get(), 1000, 1398, TPixPosition{1000, 0}, 1, &clip, DrawFlag::kSkipMarkers, nullptr,
                   nullptr, layers);
    EXPECT_EQ(marker->draws.size(), 1u);
    EXPECT_EQ(background->draws.size(), 2u);
    p.OnDrawingDone(0);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(p.GetLayer(i).IsDirtyEmpty()) << i;
}

TEST_F(ChildPanes, PaneOfZeroHeightDrawsNothingAndStaysDirty)
{
    auto& p = pane.AddPane();
    auto d = Add(p, 1);
    p.SetPositionInfo(0, TPoint(1, 10), TRect(1, 10, 399, 10), 0, 0, 1);
    TraceTest::Recorded rec;
    KVD::Bitset layers;
    layers.set_range(0, 8);
    EXPECT_EQ(p.DrawInRecord(rec.dc.get(), 0, 100, TPixPosition{0, 0}, 1, nullptr, 0, nullptr, nullptr, layers),
              KVD_S_FALSE);
    EXPECT_TRUE(d->draws.empty());
    EXPECT_TRUE(p.GetLayer(0).flags & LayerFlag::kDirty);
}

TEST_F(ChildPanes, ScrollingMovesDirtyRangesOfLayersWithDrawersOnly)
{
    auto& p = pane.AddPane();
    Add(p, 1);
    pane.Layout(400, 300, 20);
    const TRect area = p.GetPaneRect();
    for (int i = 0; i < 8; ++i)
        p.GetLayer(i).ResetDirty();
    p.LayersInvalidateXRange(100, 150, 0, 8, false);
    const int invalidations = pane.mInvalidations;
    p.ScrollX(0, true, false);
    EXPECT_EQ(pane.mInvalidations, invalidations);
    EXPECT_EQ(p.GetLayer(0).dirty.left, 100);

    p.ScrollX(-30, true, true);
    // Layer 0 moved left and gained the freed strip at the right; layer 3 has no drawer.
    EXPECT_EQ(p.GetLayer(0).dirty.left, 70);
    EXPECT_EQ(p.GetLayer(0).dirty.right, area.right);
    EXPECT_EQ(p.GetLayer(3).dirty.left, 100);
    EXPECT_EQ(p.GetLayer(3).dirty.right, 150);
}

TEST_F(ChildPanes, LayerInvalidationMarksOnlyTheLayersAsked)
{
    TLayers layers;
    layers.area = TRect(0, 0, 100, 50);
    for (auto& l : layers.layers)
        l.flags = 0;
    layers.InvalidateXRange(40, 60, 2, 4, true);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(layers[i].dirty.left, 40) << i;
        EXPECT_EQ(bool(layers[i].flags & LayerFlag::kDirty), i == 0 || i == 2 || i == 3) << i;
    }
    layers.InvalidateXRange(10, 20, 5, 8, false);
    EXPECT_EQ(layers[4].dirty.left, 40);  // below the first layer: untouched
    EXPECT_EQ(layers[5].dirty.left, 10);
    EXPECT_EQ(layers[5].dirty.right, 60);
}

TEST_F(ChildPanes, OnlineUpdateRedrawsFromTheEarliestDrawerAndScrollsWhenFollowing)
{
    auto& p = pane.AddPane();
    auto a = Add(p, 0x201);
    auto b = Add(p, 0x202);
    pane.Layout(400, 300, 20);
    for (int i = 0; i < 8; ++i)
        p.GetLayer(i).ResetDirty();
    a->mLatest = 350;
    b->mLatest = 320;
    pane.mAutoScroll = true;
    long long latest = 0;
    p.Update(300, 40, &latest, 0);
    EXPECT_EQ(latest, 350);
    // Redraw from column 320 (left column 0, data left 1, border 1): x 320.
    EXPECT_EQ(p.GetLayer(2).dirty.left, 320);
    EXPECT_TRUE(p.GetLayer(2).flags & LayerFlag::kDirty);
    EXPECT_FALSE(p.GetLayer(4).flags & LayerFlag::kDirty);
    EXPECT_EQ(pane.mScrolled, 40);
}

TEST_F(ChildPanes, AFollowingTimeScaleIsRedrawnWholeWhenDataScrollsIn)
{
    pane.AddPane();
    pane.Layout(400, 300, 20);
    TimeScale& time = pane.Time();
    const TRect whole = time.GetPaneRect();
    ASSERT_GT(whole.Width(), 100);
    for (int i = 0; i < 8; ++i)
        time.GetLayer(i).ResetDirty();
    pane.mAutoScroll = true;
    pane.mInvalidated.clear();
    long long latest = 0;
    // 40 new columns scroll in at the right; a label beside them may straddle the strip's edge.
    time.Update(300, 40, &latest, 0);
    EXPECT_EQ(pane.mScrolled, 40);
    ASSERT_FALSE(pane.mInvalidated.empty());
    const TRect& last = pane.mInvalidated.back();
    EXPECT_EQ(last.left, whole.left);
    EXPECT_EQ(last.right, whole.right);
    EXPECT_EQ(time.GetLayer(0).dirty.left, whole.left);
    EXPECT_EQ(time.GetLayer(0).dirty.right, whole.right);
    EXPECT_TRUE(time.GetLayer(0).flags & LayerFlag::kDirty);

    // Nothing new: only the strip from the redraw start, as for any pane.
    for (int i = 0; i < 8; ++i)
        time.GetLayer(i).ResetDirty();
    pane.mInvalidated.clear();
    time.Update(340, 0, &latest, 0);
    for (const TRect& r : pane.mInvalidated)
        EXPECT_GT(r.left, whole.left);
}

TEST_F(ChildPanes, TimeScaleAnswersNoScaleAndNoDragAndAlwaysKeepsItsLabelDrawer)
{
    TimeScale& time = pane.Time();
    EXPECT_EQ(time.OnBeginDrag(1, 0), KVD_E_NOTIMPL);
    EXPECT_EQ(time.OnEndDrag(1, 0), KVD_E_NOTIMPL);
    EXPECT_EQ(time.OnScalingChanged(1, 0, nullptr), KVD_E_NOTIMPL);
    EXPECT_EQ(time.OnAutoScaleCommand(1), KVD_E_NOTIMPL);
    EXPECT_EQ(time.OnAutoScaleRequest(1, nullptr, nullptr), KVD_E_NOTIMPL);
    IScale* scale = reinterpret_cast<IScale*>(1);
    EXPECT_EQ(time.GetLeftScale(0, &scale), KVD_S_FALSE);
    EXPECT_EQ(scale, nullptr);
    EXPECT_TRUE(time.IsChannelInUse());
    EXPECT_EQ(time.GetPaneIndex(), -1);
    ASSERT_EQ(time.DrawerCount(), 1);
    time.ClearRecordDrawers(0, kNoChannel);
    EXPECT_EQ(time.DrawerCount(), 1);
}

TEST_F(ChildPanes, BordersFrameInteractivePanesAndLineChannelPanesWhenPrinting)
{
    auto& p = pane.AddPane();
    pane.Layout(400, 300, 20);
    TraceTest::Recorded rec;
    p.DrawBorderIfNeeded(*rec.dc, p.GetPaneRect());
    EXPECT_EQ(rec.Matching("StrokeRect").size(), 1u);
    pane.mNonInteractive = true;
    rec.context.ClearCalls();
    p.DrawBorderIfNeeded(*rec.dc, p.GetPaneRect());
    EXPECT_EQ(rec.Matching("StrokeRect").size(), 0u);
    EXPECT_EQ(rec.Matching("MoveTo").size(), 2u);
    rec.context.ClearCalls();
    pane.Time().DrawBorderIfNeeded(*rec.dc, pane.Time().GetPaneRect());
    EXPECT_TRUE(rec.context.Calls().empty());
}

// A copy of a pane, as derived panes make for their Clone.
struct PaneCopy final : ChildPaneBase {
    explicit PaneCopy(const ChildPaneBase& other) : ChildPaneBase(other) {}
    HRESULT Read(IBinInStream*) override { return KVD_S_OK; }
    HRESULT Write(IBinOutStream*) const override { return KVD_S_OK; }
};

TEST_F(ChildPanes, CopyHasNoOwnerAndHoldsACloneOfEveryDrawer)
{
    TimeScale& time = pane.Time();
    pane.Layout(400, 300, 20);
    KVD::COMPtr<PaneCopy> copy(new PaneCopy(time));
    EXPECT_EQ(copy->GetOwner(), nullptr);
    EXPECT_EQ(copy->GetPaneIndex(), -1);
    EXPECT_TRUE(copy->GetPaneRect() == time.GetPaneRect());
    ASSERT_EQ(copy->DrawerCount(), 1);
    EXPECT_NE(copy->Drawer(0), time.Drawer(0));
    // A drawer that cannot be cloned is left out.
    auto& p = pane.AddPane();
    Add(p, 1);
    KVD::COMPtr<PaneCopy> second(new PaneCopy(p));
    EXPECT_EQ(second->DrawerCount(), 0);
    EXPECT_EQ(time.Drawer(0)->Clone(0, nullptr), KVD_E_NULLOUT);
}

}  // namespace
