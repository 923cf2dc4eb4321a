// The pieces of input that readers' messages quote: short texts whole, long ones cut to a
// readable start with an ellipsis, never inside a UTF-8 character, control characters shown.
#include <gtest/gtest.h>

#include <string>

#include "host/data/Excerpt.h"

namespace {

using Host::Excerpt;

TEST(Excerpt, ShortTextsAreQuotedWhole)
{
    EXPECT_EQ(Excerpt(""), "");
    EXPECT_EQ(Excerpt("x2"), "x2");
    const std::string sixty(60, '7');
    EXPECT_EQ(Excerpt(sixty), sixty);
}

TEST(Excerpt, LongTextsAreCutToTheirFirstSixtyBytesAndAnEllipsis)
{
    EXPECT_EQ(Excerpt(std::string(61, '7')), std::string(60, '7') + "...");
    EXPECT_EQ(Excerpt(std::string(10 << 20, '1')), std::string(60, '1') + "...");
}

TEST(Excerpt, ACutNeverSplitsAUtf8CharacterAndControlCharactersShow)
{
    // 59 bytes and a two-byte "é" (bytes 60 and 61): the cut falls before the character.
    EXPECT_EQ(Excerpt(std::string(59, 'a') + "\xC3\xA9" + "bc"), std::string(59, 'a') + "...");
    EXPECT_EQ(Excerpt(std::string(58, 'a') + "\xC3\xA9" + "bc"), std::string(58, 'a') + "\xC3\xA9" + "...");
    EXPECT_EQ(Excerpt("a\tb\nc\x7F"), "a?b?c?");
}

}  // namespace
