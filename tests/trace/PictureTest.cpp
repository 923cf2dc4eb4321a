// One pane drawn to pixels through Cairo: graticule, two traces, annotation events and the time
// scale over a two-record recording, written to PNG for a person to look at and probed here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "TraceFixture.h"
#include "graphics/Canvas.h"
#include "trace/EventDrawer.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"

using namespace OrrelDraw;

namespace {

constexpr int kWidth = 600, kHeight = 320, kTimeHeight = 24;

struct Rgb {
    int r, g, b;
};

Rgb At(const Gfx::Image& image, int x, int y)
{
    const uint32_t argb = image.Pixel(x, y);
    return {int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF)};
}

bool Near(Rgb a, Rgb b, int tolerance = 40)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Whether any pixel of column x between the rows has the colour.
bool ColumnHas(const Gfx::Image& image, int x, int top, int bottom, Rgb colour)
{
    for (int y = top; y < bottom; ++y)
        if (Near(At(image, x, y), colour))
            return true;
    return false;
}

class Picture : public ::testing::Test {
protected:
    // Two records of 4 s and 2 s; events at 0.5 s ("cough") and 4.5 s ("start"); 20 ticks a pixel.
    Picture() : data(TraceTest::MakeRecording({4000, 2000}, {{0.5, "cough"}, {4.5, "start"}}))
    {
        for (int channel : {0, 1}) {
            auto& p = pane.AddPane();
            p.AddRecordDrawer(0, KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                     0x1000, TChannelId{channel, TraceTest::kUnits}, kScaleLeft, 0,
                                     TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                              255);
            const TColor colour = channel == 0 ? TColor(0xD5D5, 0, 0) : TColor(0, 0x4040, 0xFFFF);
            p.AddRecordDrawer(0, KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                     0x1000, TChannelId{channel, TraceTest::kUnits}, 1, &colour, kNoChannel, 0,
                                     0x201, 1)),
                              255);
            p.AddRecordDrawer(
                0, KVD::COMPtr<IOrrelRecordDrawer>(new EventDrawer(4096, TChannelId{Host::kAnnotationChannel, 0})),
                255);
        }
        pane.SetRecordData(data.data, 20, 1);
        pane.AttachDrawers(0);
        pane.AttachDrawers(1);
        pane.Layout(kWidth, kHeight, kTimeHeight);
        pane.SetRange(0, 1.2, -1.2);
        pane.SetRange(1, 2.5, -0.5);
    }

    TraceTest::TraceData data;
    TestSupport::TracePane pane;
};

TEST_F(Picture, PaneWithGraticuleTracesEventsAndTimeScale)
{
    auto canvas = Gfx::Canvas::CreateImage(kWidth, kHeight);
    auto dc = CreateTDC(&canvas->GetContext(), true);
    pane.Draw(*dc, 0);
    const Gfx::Image image = canvas->Snapshot();
    if (const char* dir = std::getenv("SPIRO_PICTURES"))
        image.WritePNG(std::string(dir) + "/trace-pane.png");

    const TRect top = pane.Pane(0).GetPaneRect(), bottom = pane.Pane(1).GetPaneRect();

    const Rgb red{213, 0, 0}, blue{0, 64, 255}, white{255, 255, 255}, eventRed{213, 0, 0};
    // The sine crosses zero upwards at the start of each second (every 50 pixels): the red trace
    // passes the middle row of the top pane there, and reaches its top near 0.25 s.
    const int middle = (top.top + top.bottom) / 2;
    EXPECT_TRUE(ColumnHas(image, 1 + 150, middle - 3, middle + 4, red));
    const int crest = top.top + int(top.Height() * (1.2 - 1.0) / 2.4);
    EXPECT_TRUE(ColumnHas(image, 1 + 62, crest - 3, crest + 4, red));
    EXPECT_FALSE(ColumnHas(image, 1 + 62, top.bottom - 20, top.bottom, red));
    // The ramp climbs from 0 to 2 within each second: blue near the bottom of its range just
    // after a second starts and near the top just before the next.
    const double span = 3.0, height = bottom.Height();
    const int low = bottom.top + int(height * (2.5 - 0.05) / span), high = bottom.top + int(height * (2.5 - 1.9) / span);
    EXPECT_TRUE(ColumnHas(image, 1 + 101, low - 4, low + 4, blue));
    EXPECT_TRUE(ColumnHas(image, 1 + 147, high - 4, high + 4, blue));
    // The cough at 0.5 s (x 26): a red marker at the top of each channel pane.
    EXPECT_TRUE(ColumnHas(image, 1 + 25, top.top, top.top + 8, eventRed));
    EXPECT_TRUE(ColumnHas(image, 1 + 25, bottom.top, bottom.top + 8, eventRed));
    // The background between traces is white; the time scale's labels are dark text on white.
    EXPECT_TRUE(Near(At(image, 1 + 400, top.top + 30), white, 60));
    const TRect time = pane.Time().GetPaneRect();
    bool dark = false;
    for (int x = 95; x < 115; ++x)
        for (int y = time.top; y < time.bottom; ++y)
            dark = dark || Near(At(image, x, y), Rgb{0, 0, 0}, 100);
    EXPECT_TRUE(dark);
    // Grid: the top pane's scale puts a dotted grey line at its value 0, the middle row.
    int greyRow = -1;
    for (int y = middle - 3; y <= middle + 3 && greyRow < 0; ++y) {
        int grey = 0;
        for (int x = 160; x < 200; ++x)
            grey += Near(At(image, x, y), Rgb{150, 150, 150}, 30) ? 1 : 0;
        if (grey >= 8)
            greyRow = y;
    }
    EXPECT_GE(greyRow, 0);
    // Nothing is drawn past the data's 300 columns but the background.
    EXPECT_TRUE(Near(At(image, 1 + 450, middle), white, 0));
}

}  // namespace
