// The pieces of input that readers' messages quote: short texts whole, long ones cut to a
// readable start with an ellipsis (a path to its end, which names the file), never inside a UTF-8
// character, control characters shown.
#include <gtest/gtest.h>

#include <string>

#include "host/data/Excerpt.h"

namespace {

using Host::Excerpt;
using Host::PathExcerpt;

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

// A path is cut to its last 80 bytes, which hold the file's name.
TEST(PathExcerpt, LongPathsKeepTheirEnd)
{
    const std::string eighty = std::string(68, 'd') + "/missing.csv";
    EXPECT_EQ(PathExcerpt(eighty), eighty);
    EXPECT_EQ(PathExcerpt("/tmp/" + std::string(100, 'x') + eighty), "..." + eighty);
    // The cut would fall in the second byte of an "é": the path keeps the next character on.
    std::string accents;
    for (int i = 0; i < 60; ++i)
        accents += "\xC3\xA9";
    std::string kept;
    for (int i = 0; i < 36; ++i)
        kept += "\xC3\xA9";
    EXPECT_EQ(PathExcerpt("/" + accents + "/xy.csv"), "..." + kept + "/xy.csv");
    EXPECT_EQ(PathExcerpt("new\nline.csv"), "new?line.csv");
}

}  // namespace
