// The string-table file format: entries, comments, escapes and what is refused.
#include <gtest/gtest.h>

#include "cf/StringTable.h"

namespace {

TEST(StringTable, ReadsEntriesAndSkipsCommentsAndBlankLines)
{
    std::vector<std::string> problems;
    const auto table = CF::StringTable::Parse("# heading\n\n  IDS_A = Flow\r\nIDS_B=Volume (%1)\n\t# indented comment\n", &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(table.Size(), 2u);
    ASSERT_NE(table.Find("IDS_A"), nullptr);
    EXPECT_EQ(*table.Find("IDS_A"), "Flow");
    EXPECT_EQ(*table.Find("IDS_B"), "Volume (%1)");
    EXPECT_EQ(table.Find("IDS_C"), nullptr);
}

TEST(StringTable, KeysMayHoldGroupIndexesAndTextsEscapes)
{
    const auto table = CF::StringTable::Parse("KVDCMDID_Open+0 = Open\nKVDCMDID_Open+1 = Opens it\n"
                                              "K1 = \\sis used\\s\nK2 = a\\nb\\tc\\\\d\nK3 = %1\\2 and \\q\nK4 =\n"
                                              "F = Flow = %1 \u00d7 Signal\n");
    ASSERT_NE(table.Find("KVDCMDID_Open+1"), nullptr);
    EXPECT_EQ(*table.Find("KVDCMDID_Open+1"), "Opens it");
    // Escapes stand for line breaks, tabs, blanks and backslashes; other backslashes stay.
    EXPECT_EQ(*table.Find("K1"), " is used ");
    EXPECT_EQ(*table.Find("K2"), "a\nb\tc\\d");
    EXPECT_EQ(*table.Find("K3"), "%1\\2 and \\q");
    EXPECT_EQ(*table.Find("K4"), "");
    // UTF-8 is kept, and equals signs after the first are text.
    EXPECT_EQ(*table.Find("F"), "Flow = %1 \xC3\x97 Signal");
}

TEST(StringTable, MalformedLinesAndRepeatedKeysAreReportedAndTheFirstTextHolds)
{
    std::vector<std::string> problems;
    const auto table = CF::StringTable::Parse("A = one\nno equals sign\n = no key\nA = two\n", &problems);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], "line 2: no '=' after the key");
    EXPECT_EQ(problems[1], "line 3: no key before '='");
    EXPECT_EQ(problems[2], "line 4: the key A was given before");
    EXPECT_EQ(table.Size(), 1u);
    EXPECT_EQ(*table.Find("A"), "one");
}

TEST(StringTable, AnUnreadableFileGivesAnEmptyTable)
{
    std::vector<std::string> problems;
    const auto table = CF::StringTable::Load("/nonexistent/T.kvdstrings", &problems);
    EXPECT_EQ(table.Size(), 0u);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "cannot read /nonexistent/T.kvdstrings");
}

}  // namespace
