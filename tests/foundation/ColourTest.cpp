#include <gtest/gtest.h>

#include "foundation/draw/Colour.h"

using KVD::Colour;

TEST(TColor, ConstantsPackAndConvert) {
    EXPECT_EQ(TColor::White.Rgb(), 0xFFFFFFu);
    EXPECT_EQ(TColor::Black.Rgb(), 0u);
    EXPECT_EQ(TColor::Grey.Rgb(), 0x7F7F7Fu);
    EXPECT_EQ(TColor::LtYellow.Rgb(), 0x00FFFFu);  // red and green, red in the low byte
    EXPECT_EQ(TColor(0xFFFF, 0x8000, 0).Rgb(), 0x007FFFu);
    Gfx::Color c = TColor(0xFFFF, 0, 0x7FFF, 0.5f).ToGfx();
    EXPECT_DOUBLE_EQ(c.red, 1.0);
    EXPECT_NEAR(c.blue, 0.49999, 1e-5);
    EXPECT_DOUBLE_EQ(c.alpha, 0.5);
}

TEST(Colour, ConvertsBetweenRgbAndHsv) {
    Colour red(0x0000FF);
    EXPECT_DOUBLE_EQ(red.GetHue(), 0);
    EXPECT_DOUBLE_EQ(red.GetSaturation(), 1);
    EXPECT_DOUBLE_EQ(red.GetValue(), 255.0 / 256);

    Colour green(0x00FF00), blue(0xFF0000), black(0), grey(0x808080);
    EXPECT_DOUBLE_EQ(green.GetHue(), 120);
    EXPECT_DOUBLE_EQ(blue.GetHue(), 240);
    EXPECT_DOUBLE_EQ(black.GetHue(), -1);
    EXPECT_DOUBLE_EQ(black.GetSaturation(), 0);
    EXPECT_DOUBLE_EQ(grey.GetHue(), 0);
    EXPECT_DOUBLE_EQ(grey.GetSaturation(), 0);
    EXPECT_EQ(Colour(0xAB000000ul | 0x00FF00).GetTopByte(), 0xAB000000u);

    // Magenta-ish (r 1/2, g 0, b 1/4): hue = (g − b)/delta × 60 + 360 = 330.
    Colour pink(0x400080);
    EXPECT_DOUBLE_EQ(pink.GetHue(), 330);
    EXPECT_DOUBLE_EQ(pink.GetSaturation(), 1);

    // Every sextant of the hue circle comes back to the same components.
    for (unsigned long rgb : {0x0000FFul, 0x0080FFul, 0x00FF80ul, 0x80FF00ul, 0xFF8000ul, 0xFF0080ul, 0x336699ul}) {
        Colour c(rgb);
        double r = c.GetRed(), g = c.GetGreen(), b = c.GetBlue();
        c.HSVtoRGB();
        EXPECT_NEAR(c.GetRed(), r, 1e-12) << std::hex << rgb;
        EXPECT_NEAR(c.GetGreen(), g, 1e-12) << std::hex << rgb;
        EXPECT_NEAR(c.GetBlue(), b, 1e-12) << std::hex << rgb;
    }
}

TEST(Colour, MuteTradesSaturationForValue) {
    Colour red(0x0000FF);
    red.Mute(0.5);
    EXPECT_DOUBLE_EQ(red.GetSaturation(), 0.5);
    EXPECT_DOUBLE_EQ(red.GetValue(), 1.0);  // rest = 0.5 + 0.5
    EXPECT_DOUBLE_EQ(red.GetRed(), 1.0);
    EXPECT_DOUBLE_EQ(red.GetGreen(), 0.5);

    Colour a(0x336699), b(0x336699);
    a.Mute(-2);
    b.Mute(1);
    EXPECT_DOUBLE_EQ(a.GetSaturation(), b.GetSaturation());
    EXPECT_DOUBLE_EQ(a.GetValue(), b.GetValue());
    EXPECT_DOUBLE_EQ(a.GetSaturation(), 0);

    // Adding saturation darkens: s 0.5 → 0.8, rest = −0.3 − 0.3, value × 0.4.
    Colour pale(0x8080FF);  // r 255/256, g = b = 128/256: s = 127/255
    double value = pale.GetValue(), saturation = pale.GetSaturation();
    pale.Mute(-0.3);
    EXPECT_NEAR(pale.GetSaturation(), saturation + 0.3, 1e-12);
    EXPECT_NEAR(pale.GetValue(), value * 0.4, 1e-12);

    // A change of at most 0.01 leaves the value alone.
    Colour slight(0x336699);
    double v = slight.GetValue();
    slight.Mute(0.004);
    EXPECT_DOUBLE_EQ(slight.GetValue(), v);
}

TEST(Colour, MuteAndAdjustGiveDrawingColours) {
    TColor muted = KVD::MuteColour(TColor(0xFFFF, 0, 0, 0.25f), 0.5);
    EXPECT_EQ(muted.red, 65025);  // value 1.0 × 255 × 255
    EXPECT_EQ(muted.green, 32512);
    EXPECT_EQ(muted.blue, 32512);
    EXPECT_EQ(muted.alpha, 1.0f);
    TColor white = KVD::MuteColour(TColor::White, 0);
    EXPECT_EQ(white.red, 64770);  // the byte 255 became 255/256

    // (3 × 240 − 0) × 5/18 / 3 = 66.67 → 66 on each component of black.
    TColor adjusted = KVD::AdjustColour(TColor::Black, 5.0 / 18, 240.0);
    EXPECT_EQ(adjusted, TColor(66, 66, 66));
    TColor clamped = KVD::AdjustColour(TColor(100, 200, 300, 0.5f), 2.0, 240.0);
    EXPECT_EQ(clamped, TColor(180, 240, 240));  // step (720 − 600) × 2/3 = 80, clamped to 240
    TColor darker = KVD::AdjustColour(TColor(100, 200, 300), -1.0, 240.0);
    EXPECT_EQ(darker, TColor(60, 160, 240));  // step −40
    EXPECT_EQ(KVD::AdjustColour(TColor(10, 10, 10), -1.0, 0).red, 0);
}
