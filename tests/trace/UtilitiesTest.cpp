// The library's small utilities: 1-2-5 and 1-2-6-12 rounding, colours against a black
// background, the default palette and colour conversions.
#include <gtest/gtest.h>

#include "trace/DrawUtils.h"
#include "trace/OrrelColours.h"

using namespace OrrelDraw;

namespace {

TEST(RoundUp, StepsOfEachSeries)
{
    struct Case {
        bool sixTwelve;
        double value;
        double expected;
        int digit;
    };
    for (const Case& c : {Case{false, 1.0, 2.0, 2}, Case{false, 4.5, 5.0, 5}, Case{false, 4.6, 10.0, 10},
                          Case{false, 0.4, 0.5, 5}, Case{false, 0.3, 0.5, 5}, Case{false, 14.9, 20.0, 2},
                          Case{false, 0.01, 0.02, 2}, Case{true, 5.0, 6.0, 6}, Case{true, 1.5, 2.0, 2},
                          Case{true, 5.6, 12.0, 12}, Case{true, 4.9, 6.0, 6}, Case{true, 7.0, 12.0, 12}, Case{true, 11.6, 20.0, 2}, Case{true, 0.9, 1.2, 12}}) {
        double value = c.value;
        int digit = 0;
        c.sixTwelve ? RoundUp1_2_6_12(&value, &digit) : RoundUp125(&value, &digit);
        EXPECT_DOUBLE_EQ(value, c.expected) << c.value;
        EXPECT_EQ(digit, c.digit) << c.value;
    }
}

TEST(AdjustColorForBackground, OnBlackMovesEveryComponentOnOthersPassesUnchanged)
{
    const TColor black = TColor::Black, white = TColor::White, grey128(128 * 257, 128 * 257, 128 * 257);
    struct Case {
        TColor colour, background;
        TColor expected;
    };
    for (const Case& c : {Case{black, black, TColor(65025, 65025, 65025)}, Case{white, black, TColor(0, 0, 0)},
                          Case{grey128, black, TColor(127 * 255, 127 * 255, 127 * 255)},
                          Case{black, white, black}, Case{grey128, white, grey128},
                          Case{white, TColor(0, 0, 65535), white}, Case{grey128, TColor(0x400, 0x400, 0x400), grey128},
                          // Components whose top bytes are 0 count as black.
                          Case{black, TColor(100, 100, 100), TColor(65025, 65025, 65025)}}) {
        const TColor out = gAdjustColorForBackground(c.colour, c.background);
        EXPECT_EQ(out.red, c.expected.red);
        EXPECT_EQ(out.green, c.expected.green);
        EXPECT_EQ(out.blue, c.expected.blue);
    }
    // The background itself stands out from it.
    EXPECT_NE(gAdjustColorForBackground(black, black).Rgb(), black.Rgb());
}

TEST(Colours, RgbConvertsByTruncatedScaling)
{
    const TColor c = ColourFromRgb(0x80FF01);  // red 1, green 255, blue 128
    EXPECT_EQ(c.red, uint16_t(1 / 255.0 * 65535.0));
    EXPECT_EQ(c.green, 65535);
    EXPECT_EQ(c.blue, uint16_t(128 / 255.0 * 65535.0));
    EXPECT_EQ(RgbFromColour(c), 0x80FF01u);
}

TEST(Palette, ChannelColoursFollowTheDefaultOrder)
{
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(0)), 0x0000D5u);        // (213, 0, 0)
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(1)), 0xFF4000u);        // entry 10: (0, 64, 255)
    EXPECT_EQ(RgbFromColour(OrrelColours::ChannelColour(19)), 0xFF4000u);       // wraps at 18
    EXPECT_EQ(OrrelColours::GetGraticuleColour(nullptr, 11), 0xFFFF40u);        // entry 29: (64, 255, 255)
    EXPECT_EQ(OrrelColours::GetGraticuleColour(nullptr, 19 + 16), 0xB5B5B5u);   // entry 34 again
    EXPECT_EQ(OrrelColours::sExtendedColours[36].red, 85 * 257);
}

}  // namespace
