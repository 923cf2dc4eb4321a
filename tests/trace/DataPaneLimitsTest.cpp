// What the data pane refuses: zoom ratios it cannot show and drawers that are not there.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

TEST_F(DataPaneTest, ZoomRatiosOfNoSizeAreRefusedAndOthersAreHeldWithinTheLimits)
{
    SetUp(1, 602, 300);
    const int64_t edge = pane->GetRightEdgeVPix();
    for (const TicksPerPix& bad : {TicksPerPix(0, 1), TicksPerPix(-20, 1), TicksPerPix(3, -1), TicksPerPix(1, 0),
                                   TicksPerPix(0, 0)}) {
        EXPECT_NO_THROW(pane->OnZoomX(bad, nullptr, true)) << bad.numerator() << "/" << bad.denominator();
        EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(10, 1));
        EXPECT_EQ(pane->GetRightEdgeVPix(), edge);
    }
    const int pivot = 100;
    pane->OnZoomX(TicksPerPix(1, 1000), &pivot, true);
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(1, 10));
    EXPECT_EQ(pane->zoom->label, KVD::String(L"x10"));
    pane->OnZoomX(TicksPerPix(2000000, 1), nullptr, true);
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(500000, 1));
    // Within the limits a ratio is kept in lowest terms.
    pane->OnZoomX(TicksPerPix(-6, -4), nullptr, true);
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(3, 2));
    // Set directly, a ratio of no size is refused as well; one beyond the limits is taken.
    const KVD::String label = pane->zoom->label;
    pane->SetTicksPerPix(TicksPerPix(0, 1));
    pane->SetTicksPerPix(TicksPerPix(-1, 2));
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(3, 2));
    EXPECT_EQ(pane->zoom->label, label);
    pane->SetTicksPerPix(TicksPerPix(1, 20));
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(1, 20));
}

TEST_F(DataPaneTest, AMissingDrawerIsRefusedLikeABadPane)
{
    SetUp(2, 602, 300);
    const int before = pane->GetChannelPane(0).DrawerCount();
    EXPECT_EQ(pane->AddRecordDrawer(0, 0, nullptr, 0), KVD_E_POINTER);
    EXPECT_EQ(pane->AddRecordDrawer(-1, 0, nullptr, 0), KVD_E_POINTER);
    EXPECT_EQ(pane->AddRecordDrawer(2, 0, nullptr, 0), KVD_E_NULLOUT);
    EXPECT_EQ(pane->GetChannelPane(0).DrawerCount(), before);
}

}  // namespace
