#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/draw/DrawFactories.h"
#include "foundation/draw/TDC.h"
#include "graphics/Canvas.h"
#include "support/PdfRaster.h"
#include "support/Pictures.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF,
                   kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;

const TColor kRedT(0xFFFF, 0, 0), kBlueT(0, 0, 0xFFFF), kGreenT(0, 0xFFFF, 0), kYellowT(0xFFFF, 0xFFFF, 0);

// One drawing of every kind through the drawing layer, as a view draws it: antialiasing off,
// lines and shapes with the half-pixel offset, bitmaps copied without it (a half-unit shift
// would blend their pixels).
void DrawScene(Gfx::Canvas& canvas) {
    Gfx::Context& context = canvas.GetContext();
    context.SetShouldAntialias(false);
    {
        auto dc = CreateTDC(&context, true);
        dc->FillRect(0, 0, 120, 80, TBrush(TColor::White));

        dc->SelectObject(TPen(TColor::Black));
        dc->MoveTo(0, 5);
        dc->LineTo(10, 5);
        dc->FillRect(20, 10, 30, 20, TBrush(kRedT));

        dc->SelectObject(TPen(kBlueT));
        dc->SelectObject(TBrush(kGreenT));
        dc->Ellipse(40, 10, 60, 30);
        dc->Rectangle(70, 10, 90, 30);

        dc->TextOut(5, 40, L"Hi", -1);

        KVD::TDCRestorer restorer(dc.get());
        restorer.Save();
        dc->IntersectClipRect(TRect(0, 60, 30, 80));
        dc->FillRect(0, 60, 60, 80, TBrush(kBlueT));
    }
    auto direct = CreateTDC(&context, false);
    auto buffer = OrrelDraw::gCreateBufferedDC(*direct, TSize(20, 20));
    buffer->FillRect(0, 0, 20, 20, TBrush(kYellowT));
    buffer->FillRect(0, 0, 5, 5, TBrush(kRedT));
    direct->BitBlt(95, 50, 20, 20, *buffer, 0, 0, 0);
    direct->BitBlt(60, 50, 10, 10, *buffer, 2, 2, 0);
}

void ExpectScene(const Gfx::Image& image) {
    ASSERT_EQ(image.Width(), 120);
    ASSERT_EQ(image.Height(), 80);
    // The 1-unit line on y = 5 covers row 5 only.
    EXPECT_EQ(image.Pixel(5, 5), kBlack);
    EXPECT_EQ(image.Pixel(5, 4), kWhite);
    EXPECT_EQ(image.Pixel(5, 6), kWhite);
    // FillRect covers exactly its pixels.
    EXPECT_EQ(image.Pixel(20, 10), kRed);
    EXPECT_EQ(image.Pixel(29, 19), kRed);
    EXPECT_EQ(image.Pixel(30, 15), kWhite);
    EXPECT_EQ(image.Pixel(25, 20), kWhite);
    EXPECT_EQ(image.Pixel(19, 15), kWhite);
    // Ellipse and rectangle: filled with the brush, edged with the pen.
    EXPECT_EQ(image.Pixel(50, 20), kGreen);
    EXPECT_EQ(image.Pixel(41, 11), kWhite);
    EXPECT_EQ(image.Pixel(80, 20), kGreen);
    EXPECT_EQ(image.Pixel(70, 20), kBlue);
    EXPECT_EQ(image.Pixel(80, 10), kBlue);
    EXPECT_EQ(image.Pixel(69, 20), kWhite);
    // The layer, copied whole and from an inner point. Without the offset its fills have their
    // far edges on pixel centres, which rasterisers settle differently: probes keep off them.
    EXPECT_EQ(image.Pixel(95, 50), kRed);
    EXPECT_EQ(image.Pixel(97, 52), kRed);
    EXPECT_EQ(image.Pixel(101, 56), kYellow);
    EXPECT_EQ(image.Pixel(113, 68), kYellow);
    EXPECT_EQ(image.Pixel(115, 70), kWhite);
    EXPECT_EQ(image.Pixel(94, 60), kWhite);
    EXPECT_EQ(image.Pixel(60, 50), kRed);
    EXPECT_EQ(image.Pixel(61, 51), kRed);
    EXPECT_EQ(image.Pixel(64, 54), kYellow);
    EXPECT_EQ(image.Pixel(59, 55), kWhite);
    EXPECT_EQ(image.Pixel(70, 55), kWhite);
    // The clip keeps the fill left of x = 30.
    EXPECT_EQ(image.Pixel(29, 70), kBlue);
    EXPECT_EQ(image.Pixel(30, 70), kWhite);
    // Some ink for the text, all within its box.
    int ink = 0;
    for (int y = 36; y < 60; ++y)
        for (int x = 0; x < 40; ++x)
            if (image.Pixel(x, y) == kBlack) {
                ++ink;
                EXPECT_GE(x, 5);
                EXPECT_GE(y, 40);
                EXPECT_LT(y, 55);
            }
    EXPECT_GT(ink, 15);
}

}  // namespace

TEST(TDCRendered, ToPNG) {
    auto canvas = Gfx::Canvas::CreateImage(120, 80);
    DrawScene(*canvas);
    ExpectScene(canvas->Snapshot());
    const std::string path = TestSupport::PicturePath("tdc-scene.png");
    ASSERT_TRUE(canvas->WritePNG(path));
    ExpectScene(Gfx::Image::FromPNG(path));
}

TEST(TDCRendered, ToPDF) {
    auto canvas = Gfx::Canvas::CreatePDF(120, 80);
    DrawScene(*canvas);
    ExpectScene(TestSupport::RasterizePDF(canvas->Finish()));
}

TEST(TDCRendered, TextInABufferArrivesUpright) {
    auto canvas = Gfx::Canvas::CreateImage(40, 40);
    canvas->GetContext().SetShouldAntialias(false);
    auto direct = CreateTDC(&canvas->GetContext(), false);
    direct->FillRect(0, 0, 40, 40, TBrush(TColor::White));
    auto buffer = OrrelDraw::gCreateBufferedDC(*direct, TSize(40, 40));
    buffer->FillRect(0, 0, 41, 41, TBrush(TColor::White));
    buffer->SetScalingFactor(2.0);  // a 22-point "T"
    buffer->TextOut(5, 5, L"T", -1);
    direct->BitBlt(0, 0, 40, 40, *buffer, 0, 0, 0);

    Gfx::Image image = canvas->Snapshot();
    int top = -1, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if ((image.Pixel(x, y) & 0xFFFFFF) < 0x404040) {
                top = top < 0 ? y : top;
                bottom = y;
            }
    ASSERT_GE(top, 5);
    ASSERT_GT(bottom, top + 8);
    auto inkIn = [&](int y) {
        int ink = 0;
        for (int x = 0; x < 40; ++x)
            ink += (image.Pixel(x, y) & 0xFFFFFF) < 0x404040;
        return ink;
    };
    EXPECT_GT(inkIn(top + 1), 2 * inkIn(bottom - 1));  // the bar on top, the stem below
}
