// Removing a remembered folder whole without following its links, and the signals' handler:
// installed only over a signal's default action, and still ending the process by the signal
// once the thread that installed it has ended.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cf/Leftovers.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(Leftovers, RemovesAFolderWholeButNothingItsLinksLeadTo)
{
    const TestSupport::TempFolder folder;
    const fs::path tree = folder.Path() / "tree";
    const fs::path kept = folder.Write("outside/kept", "kept");
    for (int i = 0; i < 40; ++i)  // more than one reading of a folder holds
        folder.Write("tree/a/b/c/file-with-a-long-name-" + std::to_string(i), "x");
    folder.Write("tree/top", "x");
    fs::create_directory_symlink(kept.parent_path(), tree / "a" / "link");
    fs::create_directory(tree / "a" / "empty");
    EXPECT_TRUE(CF::Leftovers::RemoveTree(tree.c_str()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
    EXPECT_TRUE(fs::exists(kept));
    // A file alone, and nothing at all.
    EXPECT_TRUE(CF::Leftovers::RemoveTree(kept.c_str()));
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_TRUE(CF::Leftovers::RemoveTree(kept.c_str()));
}

// Each in a process of its own, so that the handler is installed afresh.
class LeftoversDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(LeftoversDeathTest, ASignalIgnoredBeforeStaysIgnored)
{
    EXPECT_EXIT(
        {
            ::signal(SIGINT, SIG_IGN);
            { const CF::SignalsHeld held; }
            ::kill(getpid(), SIGINT);
            std::exit(7);
        },
        ::testing::ExitedWithCode(7), "");
}

TEST_F(LeftoversDeathTest, ASignalEndsTheProcessOnceTheThreadThatInstalledTheHandlerHasEnded)
{
    EXPECT_EXIT(
        {
            std::thread([] { const CF::SignalsHeld held; }).join();
            ::kill(getpid(), SIGTERM);
            sleep(5);
            std::exit(7);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
