// The data pane's smaller operations: copies, zoom in seconds per pixel, which controls may be
// used, selections and user scrolling, draw events, one layer at a time, the channel policy,
// the draggable rectangles and the empty response table.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"
#include "InteractiveRecorder.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

KVD::COMPtr<TraceTest::TestDataPane> BarePane(uint32_t misc = 0)
{
    return KVD::COMPtr<TraceTest::TestDataPane>(
        new TraceTest::TestDataPane(PaneFlag::kLeftScale, misc, [] { return int64_t(0); }));
}

TEST_F(DataPaneTest, ACopyShowsTheSameRecordAtTheSameZoomAndPlaceWithItsOwnDrawers)
{
    SetUp(2, 602, 300);
    pane->OnZoomX(TicksPerPix(20, 1), nullptr, true);
    Bar().track = 500;
    pane->OnScrollX(ScrollCode::kTrack);
    pane->SetBackgroundColor(0x102030);
    pane->SetTimeDisplayMode(3);
    auto copy = BarePane();
    EXPECT_EQ(pane->CloneEx(nullptr), KVD_E_NULLOUT);
    ASSERT_EQ(pane->CloneEx(copy), KVD_S_OK);
    EXPECT_EQ(copy->GetTicksPerPix(), TicksPerPix(20, 1));
    EXPECT_EQ(copy->GetRecordPixMap() != nullptr, true);
    EXPECT_NE(copy->GetRecordPixMap(), pane->GetRecordPixMap());
    int64_t total = 0;
    copy->GetRecordPixMap()->GetTotalPixels(&total);
    EXPECT_EQ(total, 3000);  // 60000 ticks at 20 a pixel
    ASSERT_EQ(copy->ChannelPaneCount(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(copy->GetChannelPane(i).DrawerCount(), 1);
        EXPECT_NE(copy->GetChannelPane(i).Drawer(0), pane->GetChannelPane(i).Drawer(0));
    }
    uint32_t rgb = 0;
    copy->GetBackgroundColor(&rgb);
    EXPECT_EQ(rgb, 0x102030u);
    // Once sized like the original it shows the same columns.
    copy->OnSetupWindow(this, this);
    copy->OnSize(TSize(602, 300));
    EXPECT_EQ(copy->GetRightEdgeVPix(), pane->GetRightEdgeVPix());
}

TEST_F(DataPaneTest, AZoomInSecondsPerPixelUsesTheSecondsPerTickAtTheRightEdge)
{
    SetUp(1, 602, 300);
    pane->OnZoomXSecPerPix(0.05);  // 1 kHz: 50 ticks a pixel
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(50, 1));
    pane->OnZoomXSecPerPix(0.0025);
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(5, 2));
    pane->OnZoomXSecPerPix(0.0);  // no zoom of no size
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(5, 2));
    // Without a record there is no tick to measure by.
    auto bare = BarePane();
    bare->OnZoomXSecPerPix(0.05);
    EXPECT_EQ(bare->GetTicksPerPix(), TicksPerPix(10, 1));
}

TEST_F(DataPaneTest, TheScrollBarIsUsableWhenTheRecordOverflowsAndTheZoomWhenThereIsARecord)
{
    SetUp(1, 602, 300);
    EXPECT_TRUE(pane->ShouldControlBeEnabled(PaneControl::kScrollBar));
    EXPECT_TRUE(pane->ShouldControlBeEnabled(PaneControl::kZoom));
    EXPECT_FALSE(pane->ShouldControlBeEnabled(7));
    pane->OnZoomX(TicksPerPix(500, 1), nullptr, true);  // 120 columns in 600
    EXPECT_FALSE(pane->ShouldControlBeEnabled(PaneControl::kScrollBar));
    EXPECT_TRUE(pane->ShouldControlBeEnabled(PaneControl::kZoom));
    auto bare = BarePane();
    EXPECT_FALSE(bare->ShouldControlBeEnabled(PaneControl::kZoom));
    auto printing = BarePane(MiscFlag::kNonInteractive);
    printing->SetRecordData(0, data.data, nullptr);
    EXPECT_FALSE(printing->ShouldControlBeEnabled(PaneControl::kZoom));
}

TEST_F(DataPaneTest, SelectionsStartInPanesOnlyAndRedrawThePaneTheyEndIn)
{
    SetUp(2, 602, 300);
    EXPECT_TRUE(pane->OnBeforeSelectInPane(1, TPoint(10, 10)));
    EXPECT_TRUE(pane->OnBeforeSelectInPane(-1, TPoint(10, 290)));
    EXPECT_FALSE(pane->OnBeforeSelectInPane(2, TPoint(10, 10)));
    EXPECT_FALSE(pane->OnBeforeSelectInPane(-2, TPoint(10, 10)));
    pane->GetChannelPane(1).GetLayer(2).ResetDirty();
    pane->OnAfterSelectInPane(1);
    EXPECT_FALSE(pane->GetChannelPane(1).GetLayer(2).IsDirtyEmpty());
}

TEST_F(DataPaneTest, TheEndOfAUserScrollIsTheEndOfAScroll)
{
    SetUp(1, 602, 300);
    int scrolled = 0;
    pane->scrollHook = [&](unsigned, double, int, double) { ++scrolled; };
    pane->OnNotifyDataPaneUserScroll(true);
    EXPECT_TRUE(pane->IsUserScrolling());
    EXPECT_EQ(scrolled, 0);
    pane->OnNotifyDataPaneUserScroll(false);
    EXPECT_FALSE(pane->IsUserScrolling());
    EXPECT_EQ(scrolled, 1);
}

TEST_F(DataPaneTest, DrawEventsReachEveryObjectAndTheFirstSamplingUpdateComesOnce)
{
    SetUp(1, 602, 300);
    std::vector<std::string> log;
    pane->AddInteractiveObject(new TraceTest::LoggingObject("a", log), 0);
    pane->AddInteractiveObject(new TraceTest::LoggingObject("b", log), 1);
    pane->OnDrawEvent(0x80000012u, 3, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:draw2147483666/3", "b:draw2147483666/3"}));
    // No window, no timer.
    EXPECT_EQ(pane->SetTimer(4, 100), 0u);
    EXPECT_FALSE(pane->KillTimer(4));
}

TEST_F(DataPaneTest, OneLayerIsDrawnAloneAndThereAreNoBitmapsToCopy)
{
    SetUp(1, 602, 300);
    TraceTest::Recorded traces(602, 300);
    pane->DrawLayer(*traces.dc, 2, TRect(0, 0, 602, 300));  // the trace's layer
    EXPECT_FALSE(traces.Matching("StrokePath").empty());
    EXPECT_TRUE(traces.Matching("DrawText").empty());
    TraceTest::Recorded labels(602, 300);
    pane->DrawLayer(*labels.dc, 0, TRect(0, 0, 602, 300));  // the time labels' layer
    EXPECT_FALSE(labels.Matching("DrawText").empty());
    TraceTest::Recorded none(602, 300);
    const size_t before = none.context.Calls().size();
    pane->DrawLayer(*none.dc, 8, TRect(0, 0, 602, 300));
    EXPECT_EQ(none.context.Calls().size(), before);
    EXPECT_FALSE(pane->GetEnableBitmapCaching());
    EXPECT_FALSE(pane->AreDrawingOnBitmaps());
    EXPECT_FALSE(pane->BltBitMaps(*none.dc, TRect(0, 0, 602, 300)));
}

TEST_F(DataPaneTest, PanesMapToTheirChannelsAndAreTheRectanglesADragStartsIn)
{
    SetUp(2, 602, 300);
    TChannelId channel{};
    ASSERT_EQ(pane->GetChannelInfo(1, &channel), KVD_S_OK);
    EXPECT_EQ(channel.channel, 1);
    EXPECT_EQ(pane->GetChannelInfo(2, &channel), KVD_E_NULLOUT);
    EXPECT_EQ(pane->GetChannelInfo(0, nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(pane->PaneToChannel(5).channel, kNoChannel.channel);
    EXPECT_EQ(pane->ChannelToPane(TChannelId{1, TraceTest::kUnits}), 1);
    EXPECT_EQ(pane->ChannelToPane(TChannelId{9, TraceTest::kUnits}), int32_t(0x80000000u));
    ASSERT_EQ(pane->GetDraggableRectCount(), 2);
    TRect rect;
    ASSERT_EQ(pane->GetDraggableRect(1, &rect), KVD_S_OK);
    EXPECT_EQ(rect, pane->GetChannelPane(1).GetPaneRect());
    EXPECT_EQ(pane->GetDraggableRect(2, &rect), KVD_E_NULLOUT);
    // Commands come through OnCommand: the response table answers none.
    EXPECT_EQ(pane->CAFEventHandlerT<true>::Command(0x80000001u), KVD_S_FALSE);
}

}  // namespace
