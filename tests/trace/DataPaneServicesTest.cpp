// What the data pane does for its drawers beyond the channel panes' own answers: layer alpha
// rectangles.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

TEST_F(DataPaneTest, AnAlphaRectangleIsTheLayersOwnAndLeavesWhatIsStillToDrawAlone)
{
    SetUp(2, 602, 300);
    TRect alpha(40, 10, 90, 60);
    Layer& layer = pane->GetChannelPane(1).GetLayer(2);
    const TRect dirty = layer.dirty;
    EXPECT_EQ(pane->SetLayerAlphaRect(0, 1, 0x201, &alpha), KVD_S_OK);
    EXPECT_EQ(layer.linkedRect, &alpha);
    EXPECT_EQ(layer.dirty, dirty);
    EXPECT_EQ(pane->GetChannelPane(0).GetLayer(2).linkedRect, nullptr);
    // Bad panes and layers past the eighth change nothing and still answer 0.
    TRect other(1, 1, 2, 2);
    EXPECT_EQ(pane->SetLayerAlphaRect(0, 2, 0x201, &other), KVD_S_OK);
    EXPECT_EQ(pane->SetLayerAlphaRect(0, 1, 8 * 256, &other), KVD_S_OK);
    EXPECT_EQ(pane->SetLayerAlphaRect(0, -1, 0x201, &other), KVD_S_OK);
    EXPECT_EQ(layer.linkedRect, &alpha);
    // A see-through layer moves its rectangle along when it scrolls.
    pane->SetLayerAlpha(0, 1, 0x201, 128);
    layer.ScrollX(pane->GetChannelPane(1).GetPaneRect(), -10, false);
    EXPECT_EQ(alpha.left, 30);
    EXPECT_EQ(alpha.right, 80);
    // A null rectangle takes it away again.
    pane->SetLayerAlphaRect(0, 1, 0x2FF, nullptr);
    EXPECT_EQ(layer.linkedRect, nullptr);
}

}  // namespace
