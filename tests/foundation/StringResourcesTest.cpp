// Texts looked up by key in a bundle's string tables, with the product tokens replaced.
#include <gtest/gtest.h>

#include <filesystem>

#include "cf/Bundle.h"
#include "foundation/KVDString.h"
#include "foundation/StringKeys.h"
#include "support/TempFolder.h"

namespace {

using KVD::String;
using TestSupport::TempFolder;

constexpr KVDXMLStringKey kHostKey{"IDS_HOST", "Test.kvdstrings"};
constexpr KVDXMLStringKey kAllKey{"IDS_ALL", "Test.kvdstrings"};
constexpr KVDXMLStringKey kMissingKey{"IDS_MISSING", "Test.kvdstrings"};
constexpr KVDXMLStringGroupKey kGroup{"KVDCMDID_Open", "Test.kvdstrings"};

class StringResources : public ::testing::Test {
protected:
    StringResources()
    {
        mFolder.Write("Resources/strings/Test.kvdstrings",
                      "IDS_HOST = ORRELFORWINDOWS Lab\n"
                      "IDS_ALL = ORREL by SIGNOVOX for OEM, ORRELORREL\n"
                      "KVDCMDID_Open+3 = Open Later\n");
        mBundle = NSBundle::BundleWithPath(mFolder.Path().string());
    }

    TempFolder mFolder;
    NSBundle* mBundle;
};

TEST_F(StringResources, TokensAreReplacedAndMissingKeysGiveTheKeyText)
{
    EXPECT_EQ(String(mBundle, kHostKey, true), L"Vexorium Lab");  // the long host token whole
    EXPECT_EQ(String(mBundle, kAllKey, true), L"Vexorium by Signovox for Quorvantelsis, VexoriumVexorium");
    EXPECT_EQ(String(mBundle, kHostKey, false), L"ORRELFORWINDOWS Lab");
    EXPECT_EQ(kGroup.EntryKey(3), "KVDCMDID_Open+3");
    EXPECT_EQ(String(mBundle, kGroup, 3, true), L"Open Later");
    EXPECT_EQ(String(mBundle, kGroup, 4, true), L"KVDCMDID_Open+4");
    EXPECT_EQ(String(mBundle, kMissingKey, true), L"IDS_MISSING");
    // No bundle is the program's own, which has no string tables.
    EXPECT_EQ(String(static_cast<NSBundle*>(nullptr), kHostKey, true), L"IDS_HOST");
}

TEST_F(StringResources, ANamedBundleStandsInForThePluginsOwn)
{
    NSBundle* found = KVDGetMyBundle();
    KVDSetMyBundle(mBundle);
    EXPECT_EQ(KVDGetMyBundle(), mBundle);
    EXPECT_EQ(String(KVDGetMyBundle(), kHostKey, true), L"Vexorium Lab");
    KVDSetMyBundle(nullptr);
    EXPECT_EQ(KVDGetMyBundle(), found);
}

TEST(MyBundle, ATestProgramFindsTheBuiltBundle)
{
    NSBundle* bundle = KVDGetMyBundle();
    ASSERT_NE(bundle, nullptr);
    const char* named = std::getenv("SPIRO_BUNDLE");
    EXPECT_EQ(std::filesystem::path(bundle->BundlePath()),
              std::filesystem::canonical(named != nullptr ? named : SPIRO_BUNDLE_DIR));
}

}  // namespace
