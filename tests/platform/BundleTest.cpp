// Bundles as folders: identity, resource lookup, string tables, and the bundle a library
// finds from its own location.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include "cf/Bundle.h"
#include "cf/ModulePath.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using TestSupport::TempFolder;

TEST(Bundle, OneObjectPerFolderWhoseResourcesAreTheResourcesFolderWhenThereIsOne)
{
    TempFolder plain, packaged;
    packaged.Write("Resources/a.txt", "a");
    NSBundle* bundle = NSBundle::BundleWithPath(plain.Path().string());
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(NSBundle::BundleWithPath((plain.Path() / "." / "").string()), bundle);
    EXPECT_EQ(NSBundle::BundleWithPath((plain.Path() / "missing").string()), nullptr);
    EXPECT_EQ(bundle->ResourcePath(), fs::canonical(plain.Path()).string());
    EXPECT_EQ(NSBundle::BundleWithPath(packaged.Path().string())->ResourcePath(),
              (fs::canonical(packaged.Path()) / "Resources").string());
}

TEST(Bundle, FindsResourcesAtTheTopFirstThenInSubfoldersInNameOrder)
{
    TempFolder folder;
    const auto top = folder.Write("Resources/Report.html", "top");
    const auto inB = folder.Write("Resources/b/Page.html", "b");
    folder.Write("Resources/c/Page.html", "c");
    folder.Write("Resources/a/Other.txt", "a");
    NSBundle* bundle = NSBundle::BundleWithPath(folder.Path().string());
    EXPECT_EQ(fs::path(bundle->PathForResource("Report", "html")), fs::canonical(top));
    EXPECT_EQ(fs::path(bundle->PathForResource("Page", "html")), fs::canonical(inB));
    EXPECT_EQ(fs::path(bundle->PathForResource("Page.html", "")), fs::canonical(inB));
    EXPECT_EQ(bundle->PathForResource("Page", "xml"), "");
    EXPECT_EQ(bundle->PathForResource("b", ""), "");  // folders are not resources
}

TEST(Bundle, LooksTextsUpInItsStringTablesAndAnswersTheKeyWhenMissing)
{
    TempFolder folder;
    folder.Write("Resources/strings/T.kvdstrings", "IDS_FLOW = Flow\nIDS_EMPTY =\n");
    NSBundle* bundle = NSBundle::BundleWithPath(folder.Path().string());
    EXPECT_EQ(bundle->LocalizedStringForKey("IDS_FLOW", "T.kvdstrings"), "Flow");
    EXPECT_EQ(bundle->LocalizedStringForKey("IDS_EMPTY", "T.kvdstrings"), "");
    EXPECT_EQ(bundle->LocalizedStringForKey("IDS_OTHER", "T.kvdstrings"), "IDS_OTHER");
    EXPECT_EQ(bundle->LocalizedStringForKey("IDS_FLOW", "Missing.kvdstrings"), "IDS_FLOW");
}

TEST(Bundle, TheMainBundleIsTheProgramsFolderAndCodeOutsideABundleHasNone)
{
    NSBundle* main = NSBundle::MainBundle();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->BundlePath(), fs::canonical("/proc/self/exe").parent_path().string());
    EXPECT_EQ(NSBundle::BundleContaining(reinterpret_cast<const void*>(&NSBundle::MainBundle)), nullptr);
}

// A library loaded from inside a bundle folder finds that bundle from an address of its own.
TEST(Bundle, ALibraryInsideABundleFindsItFromItsOwnCode)
{
    TempFolder folder;
    const fs::path bundlePath = folder.Path() / "Probe.bundle";
    fs::create_directories(bundlePath / "Resources");
    const std::string platformLibrary = CF::ModulePathOf(reinterpret_cast<const void*>(&NSBundle::MainBundle));
    ASSERT_FALSE(platformLibrary.empty());
    fs::copy_file(platformLibrary, bundlePath / "Probe.so");

    void* handle = dlopen((bundlePath / "Probe.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    link_map* map = nullptr;
    ASSERT_EQ(dlinfo(handle, RTLD_DI_LINKMAP, &map), 0);
    NSBundle* bundle = NSBundle::BundleContaining(map->l_ld);  // the copy's dynamic section
    dlclose(handle);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(bundle->BundlePath(), fs::canonical(bundlePath).string());
}

}  // namespace
