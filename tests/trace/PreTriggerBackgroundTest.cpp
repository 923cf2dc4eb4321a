// The striped background before a trigger: the pattern's width per channel height, its tiling
// across the drawn columns with the phase of the record's column, the stripe colour as the pane
// shows it, and what it answers with nothing to draw.
#include <gtest/gtest.h>

#include "TraceFixture.h"
#include "trace/DrawPreTriggerBackground.h"
#include "trace/PreviewDataPane.h"

namespace {

using OrrelDraw::DrawPreTriggerBackground;

TEST(PreTriggerBackground, ThePatternIsWholeStripeStepsWideEnoughForTheHeight)
{
    struct Case {
        int height, width;
    } cases[] = {{1, 20}, {20, 20}, {21, 40}, {41, 60}, {100, 100}};
    for (const auto& c : cases) {
        DrawPreTriggerBackground background;
        background.OnChannelHeightChanged(nullptr, c.height);
        EXPECT_EQ(background.PatternWidth(), c.width) << c.height;
    }
    DrawPreTriggerBackground background;
    background.OnChannelHeightChanged(nullptr, 0);
    EXPECT_EQ(background.PatternWidth(), 0);
}

TEST(PreTriggerBackground, TilesThePatternFromTheRecordsPhase)
{
    DrawPreTriggerBackground background;
    TraceTest::Recorded out;
    EXPECT_EQ(background.Draw(*out.dc, 0LL, 0, 10), KVD_S_OK);  // no pattern yet: nothing
    EXPECT_TRUE(out.Matching("DrawLayer").empty());

    background.OnChannelHeightChanged(nullptr, 41);
    EXPECT_EQ(background.Draw(*out.dc, 50LL, 10, 10), KVD_S_FALSE);
    EXPECT_EQ(background.Draw(*out.dc, 50LL, 5, 135), KVD_S_OK);
    // Columns 5..15 show the pattern's 50..60, then whole patterns from 15 and 75.
    EXPECT_EQ(out.Matching("ClipToRect"), (std::vector<std::string>{"ClipToRect(5, 0, 10, 41)",
                                                                      "ClipToRect(15, 0, 60, 41)",
                                                                      "ClipToRect(75, 0, 60, 41)"}));
    EXPECT_EQ(out.Matching("DrawLayer").size(), 3u);
    EXPECT_NE(out.Matching("DrawLayer")[0].find("-45, 0"), std::string::npos) << out.Matching("DrawLayer")[0];
}

TEST(PreTriggerBackground, TheStripesTakeTheColourThePaneShows)
{
    DrawPreTriggerBackground background;
    EXPECT_EQ(background.OnDisplayInfoChanged(nullptr, nullptr, 0), KVD_E_NULLOUT);
    TestSupport::TracePane pane;
    background.OnChannelHeightChanged(&pane, 30);
    ASSERT_EQ(background.OnDisplayInfoChanged(nullptr, nullptr, 0), KVD_S_OK);
    uint32_t shown = 0;
    pane.AdjustColorForBackground(0xD1EEFE, &shown);
    EXPECT_EQ(background.StripeColour().red, (shown & 0xFF) * 257);
    EXPECT_EQ(background.StripeColour().green, (shown >> 8 & 0xFF) * 257);
    EXPECT_EQ(background.StripeColour().blue, (shown >> 16 & 0xFF) * 257);
}

TEST(PreTriggerBackground, APreviewPaneInstallsItForTheGraticule)
{
    KVD::COMPtr<OrrelDraw::PreviewDataPane> pane;
    struct Pane final : OrrelDraw::PreviewDataPane {
        Pane() : PreviewDataPane(nullptr, 10, 0, 0, 0, 0) {}
        void Invalidate(bool) override {}
        void InvalidateRect(const TRect*, bool) override {}
        void ScrollX(long long, const TRect*) override {}
        OrrelDraw::ScrollBar* CreateScrollBar() override { return nullptr; }
        OrrelDraw::ZoomControl* CreateZoomControlX(uint32_t) override { return nullptr; }
        void PositionWindow(int, int, int, int, bool) override {}
        void UpdateWindow() override {}
        OrrelDraw::PreviewControl* CreatePreviewControl(PreviewDataPane*, uint32_t) override { return nullptr; }
        OrrelDraw::PreviewControl* CreateTraceViewControl(PreviewDataPane*, unsigned) override { return nullptr; }
    };
    pane = new Pane;
    auto made = OrrelDraw::DrawPreTriggerBackgroundBase::sCreate();
    EXPECT_NE(dynamic_cast<DrawPreTriggerBackground*>(made.get()), nullptr);
    const TColor noData = OrrelDraw::gGetNoDataBackgroundColor();
    EXPECT_EQ(noData.red, 0xF332);
    EXPECT_EQ(noData.blue, 0xF332);
}

}  // namespace
