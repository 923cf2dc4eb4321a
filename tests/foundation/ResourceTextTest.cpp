// Text resources read with their encoding detected.
#include <gtest/gtest.h>

#include "cf/Bundle.h"
#include "foundation/KVDString.h"
#include "foundation/ResourceText.h"
#include "support/TempFolder.h"

namespace {

using KVD::String;
using TestSupport::TempFolder;

String ReadBytes(const std::string& bytes)
{
    TempFolder folder;
    const auto path = folder.Write("page.html", bytes);
    String text(L"unread");
    EXPECT_TRUE(KVD::ReadTextFile(path.string(), text));
    return text;
}

// Byte order marks say the encoding; unmarked bytes are UTF-8 when they can be, else Windows-1252.
TEST(ResourceText, EncodingsDetected)
{
    EXPECT_EQ(ReadBytes("\xEF\xBB\xBF" "caf\xC3\xA9"), L"caf\u00E9");
    EXPECT_EQ(ReadBytes(std::string("\xFF\xFE" "A\0\xAC\x20", 6)), L"A\u20AC");
    EXPECT_EQ(ReadBytes(std::string("\xFE\xFF\0A\x20\xAC", 6)), L"A\u20AC");
    EXPECT_EQ(ReadBytes("<p>\xC2\xB5L</p>"), L"<p>\u00B5L</p>");
    EXPECT_EQ(ReadBytes("<p>\xB5L \x80</p>"), L"<p>\u00B5L \u20AC</p>");
    EXPECT_EQ(ReadBytes(""), L"");
}

TEST(ResourceText, AMissingResourceLeavesTheTextAsItWas)
{
    TempFolder folder;
    folder.Write("Resources/html/Report.html", "<html/>");
    NSBundle* bundle = NSBundle::BundleWithPath(folder.Path().string());
    String text(L"kept");
    EXPECT_FALSE(KVD::ReadResourceText(bundle, "Missing", "html", text));
    EXPECT_EQ(text, L"kept");
    EXPECT_FALSE(KVD::ReadTextFile((folder.Path() / "none.html").string(), text));
    EXPECT_EQ(text, L"kept");
    EXPECT_TRUE(KVD::ReadResourceText(bundle, "Report", "html", text));
    EXPECT_EQ(text, L"<html/>");
}

}  // namespace
