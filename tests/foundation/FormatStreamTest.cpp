// Message texts with numbered placeholders filled from inserted values.
#include <gtest/gtest.h>

#include <string>

#include "foundation/OFormatStream.h"

namespace {

using KVD::OFormatStringStream;
using KVD::String;

TEST(FormatStream, FillsAPlaceholderWithTheInsertedValue)
{
    OFormatStringStream format(L"Channel %1");
    format << 3;
    EXPECT_EQ(format.str(), L"Channel 3");
}

TEST(FormatStream, APercentPairIsOnePercentSign)
{
    OFormatStringStream format(L"%1%% full range");
    format << 50;
    EXPECT_EQ(format.str(), L"50% full range");
    OFormatStringStream tail(L"a%%b %1 c%%d");
    tail << L"x";
    EXPECT_EQ(tail.str(), L"a%b x c%d");
}

TEST(FormatStream, PlaceholdersMayComeInAnyOrder)
{
    OFormatStringStream format(L"%2 before %1");
    format << L"first" << String(L"second");
    EXPECT_EQ(format.str(), L"second before first");
}

TEST(FormatStream, AllFourParametersOfARangeMessage)
{
    OFormatStringStream format(L"%1: '%2' must lie between %4 and %3.");
    format << L"Smooth" << L"width" << 1000.0 << 1.0 / 3;
    EXPECT_EQ(format.str(), L"Smooth: 'width' must lie between 0.333333 and 1000.");
}

TEST(FormatStream, AFormatWithoutPlaceholdersIsWrittenAtOnceAsGiven)
{
    OFormatStringStream format(L"100%% sure, %0 and %-1 are text");
    EXPECT_EQ(format.str(), L"100%% sure, %0 and %-1 are text");
    format << 5;  // nothing is left to fill
    EXPECT_EQ(format.str(), L"100%% sure, %0 and %-1 are text");
}

TEST(FormatStream, OutputWaitsForTheHighestPlaceholder)
{
    OFormatStringStream format(L"%3!");
    format << 1 << 2;
    EXPECT_EQ(format.str(), L"");
    format << 3 << 4;  // the first two are discarded, the fourth ignored
    EXPECT_EQ(format.str(), L"3!");
}

TEST(FormatStream, ABackslashAfterTheDigitsEndsThePlaceholder)
{
    OFormatStringStream format(L"%1\\2 Hz");
    format << 5;
    EXPECT_EQ(format.str(), L"52 Hz");
}

TEST(FormatStream, APlaceholderUsedTwiceIsFilledAtItsLastPlace)
{
    OFormatStringStream format(L"[%1] and [%1]");
    format << L"x";
    EXPECT_EQ(format.str(), L"[] and [x]");
}

TEST(FormatStream, APlaceholderWithoutParameterNeverWrites)
{
    OFormatStringStream format(L"%1 of %2");
    format << 1;
    EXPECT_EQ(format.str(), L"");
}

TEST(FormatStream, NumbersAbove20StayText)
{
    OFormatStringStream format(L"%21 %1");
    for (int i = 1; i <= 21; ++i)
        format << i;
    EXPECT_EQ(format.str(), L"%21 1");
}

TEST(FormatStream, ATwentyFirstPlaceholderStaysText)
{
    std::wstring text;
    for (int i = 1; i <= 20; ++i)
        text += L"%" + std::to_wstring(i) + L",";
    text += L"%1.";
    OFormatStringStream format(String(text.c_str()));
    std::wstring expected;
    for (int i = 1; i <= 20; ++i) {
        format << i * 10;
        expected += std::to_wstring(i * 10) + L",";
    }
    EXPECT_EQ(format.str(), String((expected + L"%1.").c_str()));
}

TEST(FormatStream, WritesIntoAnyWideStreamBuffer)
{
    KVD::OStringStream target;
    target << L"Error: ";
    KVD::OFormatStream format(target.rdbuf(), L"%1 expects %2 arguments");
    format << L"mod" << 2;
    EXPECT_EQ(target.str(), L"Error: mod expects 2 arguments");
}

TEST(FormatStream, EightBitParametersAreWidenedAsAscii)
{
    OFormatStringStream format(L"<%1>");
    format << "caf\xE9";
    EXPECT_EQ(format.str(), L"<caf?>");
}

}  // namespace
