// A write's target against a file the command reads: however the name is spelt, and through
// links as a write through SafeFile would treat them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/framework/SameFile.h"

namespace {

namespace fs = std::filesystem;

class SameFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ::testing::TempDir() + "samefile_" + std::to_string(getpid());
        fs::remove_all(folder);
        fs::create_directories(folder + "/sub");
        std::ofstream(Path("rec.edf")) << "recording";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    std::string folder;
};

TEST_F(SameFileTest, OneEntryHoweverSpelt)
{
    EXPECT_TRUE(Host::WritesOver(Path("rec.edf"), Path("rec.edf")));
    EXPECT_TRUE(Host::WritesOver(Path("sub/../rec.edf"), Path("./rec.edf")));
    EXPECT_TRUE(Host::WritesOver(Path("sub/.././rec.edf"), folder + "//rec.edf"));
    EXPECT_FALSE(Host::WritesOver(Path("rec.csv"), Path("rec.edf")));
    EXPECT_FALSE(Host::WritesOver(Path("sub/rec.edf"), Path("rec.edf")));
}

TEST_F(SameFileTest, OutputsThatDoNotExistYetAreComparedByEntry)
{
    EXPECT_TRUE(Host::WritesOver(Path("new.edf"), Path("sub/../new.edf")));
    EXPECT_FALSE(Host::WritesOver(Path("new.edf"), Path("new.csv")));
    EXPECT_FALSE(Host::WritesOver(Path("missing/new.edf"), Path("missing/new.edf")));
}

TEST_F(SameFileTest, LinksCountAsTheWriteTreatsThem)
{
    fs::create_hard_link(Path("rec.edf"), Path("hard.edf"));
    EXPECT_TRUE(Host::WritesOver(Path("hard.edf"), Path("rec.edf")));
    // A recording read through a link: writing the file it names loses it.
    fs::create_symlink("rec.edf", Path("read-through.edf"));
    EXPECT_TRUE(Host::WritesOver(Path("rec.edf"), Path("read-through.edf")));
    // A link at the target is replaced, not followed: the recording stays.
    fs::create_symlink("rec.edf", Path("out.edf"));
    EXPECT_FALSE(Host::WritesOver(Path("out.edf"), Path("rec.edf")));
}

// A standard stream is one output whatever name reaches it; the two streams are two.
TEST_F(SameFileTest, OneStreamHoweverNamed)
{
    EXPECT_TRUE(Host::WritesOver("/dev/stdout", "/dev/fd/1"));
    EXPECT_TRUE(Host::WritesOver("/proc/self/fd/1", "/dev/stdout"));
    EXPECT_TRUE(Host::WritesOver("/dev/./stderr", "/proc/self/fd/2"));
    EXPECT_FALSE(Host::WritesOver("/dev/stdout", "/dev/stderr"));
    EXPECT_FALSE(Host::WritesOver("/dev/stdout", Path("rec.edf")));
}

}  // namespace
