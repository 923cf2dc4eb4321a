// The data window framed by the scales (with minimum widths), and lanes: the channel panes
// themselves, or an owner's delegate.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

TEST_F(DataPaneTest, TheDataWindowLiesBetweenTheScalesAtLeastAsWideAsTheMinimumWidths)
{
    SetUp(2);
    const int scale = pane->GetMaxScaleWidth(kScaleLeft);
    ASSERT_GT(scale, 0);
    ASSERT_EQ(pane->GetMaxScaleWidth(kScaleRight), 0);
    TSize zoom;
    pane->zoom->GetSize(&zoom);
    struct Case {
        int minLeft, minRight;
        int left, right;  // expected scale widths
    } cases[] = {
        {0, 0, scale, 0},               // the panes' own scales
        {scale - 5, 0, scale, 0},       // a smaller minimum changes nothing
        {scale + 40, 0, scale + 40, 0}, // a larger one widens the left frame
        {0, 25, scale, 25},             // a right frame without right scales
    };
    for (const Case& c : cases) {
        pane->SetMinScaleWidths(c.minLeft, c.minRight);
        pane->SetScalesBoundary(TRect(10, 20, 810, 420));
        EXPECT_EQ(pane->placed, TRect(10 + c.left, 20, 810 - c.right, 420 - zoom.cy)) << c.minLeft << " " << c.minRight;
    }
    // A boundary narrower than the scales leaves a window of no width.
    pane->SetMinScaleWidths(300, 300);
    pane->SetScalesBoundary(TRect(0, 0, 500, 100));
    EXPECT_EQ(pane->placed.Width(), 0);
}

// Two lanes with a scale each, counting what they are asked.
class TwoLanes final : public IKVDOrrelLanes {
public:
    int GetNumLanes() const override { return lanes; }
    void SetNumLanes(int count) override { lanes = count; }
    HRESULT GetLaneHeights(std::vector<int>*) const override { return KVD_S_OK; }
    HRESULT SetLaneHeights(const std::vector<int>&) override { return KVD_S_OK; }
    HRESULT GetLaneDragScale(int lane, int side, IScale** scale) override
    {
        asked.push_back({lane, side});
        *scale = nullptr;
        return lane < lanes ? KVD_S_OK : KVD_E_NULLOUT;
    }

    int lanes = 2;
    std::vector<std::pair<int, int>> asked;
};

TEST_F(DataPaneTest, LanesAreTheChannelPanesUntilADelegateTakesThemOver)
{
    SetUp(3);
    EXPECT_EQ(pane->GetNumLanes(), 3);
    IScale* scale = nullptr;
    ASSERT_EQ(pane->GetLaneDragScale(1, kScaleLeft, &scale), KVD_S_OK);
    EXPECT_EQ(scale, pane->GetChannelPane(1).ScaleOf(kScaleLeft));
    scale->Release();
    pane->SetNumLanes(4);
    EXPECT_EQ(pane->ChannelPaneCount(), 4);

    TwoLanes lanes;
    pane->SetLanesDelegate(&lanes);
    EXPECT_EQ(pane->GetNumLanes(), 2);
    pane->SetNumLanes(5);
    EXPECT_EQ(lanes.lanes, 5);
    EXPECT_EQ(pane->ChannelPaneCount(), 4);  // the panes are left as they are
    EXPECT_EQ(pane->GetLaneDragScale(4, kScaleRight, &scale), KVD_S_OK);
    EXPECT_EQ(pane->GetPaneDragScale(7, kScaleLeft, &scale), KVD_E_NULLOUT);
    EXPECT_EQ(pane->GetDragScale(0, 0, kScaleLeft, &scale), KVD_S_OK);
    EXPECT_EQ(lanes.asked, (std::vector<std::pair<int, int>>{{4, kScaleRight}, {7, kScaleLeft}, {0, kScaleLeft}}));

    pane->SetLanesDelegate(nullptr);
    EXPECT_EQ(pane->GetNumLanes(), 4);
}

}  // namespace
