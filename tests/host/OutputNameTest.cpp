// What an output's name reaches: standard output and error however they are spelt, any other
// name under /dev (but /dev/shm) or /proc refused, and everything else a file. Stand-in folders with links
// that stand for the system's names show the rule; the machine's own names are only judged,
// never written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/framework/OutputName.h"

namespace {

namespace fs = std::filesystem;
using Host::OutputKind;
using Host::OutputKindOf;
using Names = std::vector<std::string>;

class OutputNameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ::testing::TempDir() + "outputname_" + std::to_string(::getpid());
        fs::remove_all(folder);
        const std::string pid = std::to_string(::getpid());
        for (const std::string& sub : Names{"dev/shm", "proc/self/fd", "proc/" + pid + "/fd", "proc/" + pid + "/task/7/fd",
                                       "proc/1/fd", "home", "developer"})
            fs::create_directories(Path(sub));
        fs::create_directory_symlink("../proc/self/fd", Path("dev/fd"));
        fs::create_symlink("../proc/self/fd/1", Path("dev/stdout"));
        fs::create_directory_symlink(Path("dev"), Path("home/devices"));
        std::ofstream(Path("home/report.csv")) << "old";
        system = {Path("dev"), Path("proc")};
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }
    OutputKind Kind(const std::string& name) const { return OutputKindOf(Path(name), system); }

    std::string folder;
    Host::SystemFolders system;
};

TEST_F(OutputNameTest, TheStandardStreamsHoweverSpelt)
{
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name : Names{"dev/stdout", "dev/./stdout", "home/../dev/stdout", "dev/fd/1", "proc/self/fd/1",
                                    "proc/" + pid + "/fd/1", "proc/" + pid + "/task/7/fd/1", "home/devices/stdout",
                                    "home/devices/fd/1"})
        EXPECT_EQ(Kind(name), OutputKind::kStandardOutput) << name;
    for (const std::string& name : Names{"dev/stderr", "dev/fd/2", "proc/self/fd/2", "home/devices//stderr"})
        EXPECT_EQ(Kind(name), OutputKind::kStandardError) << name;
    EXPECT_EQ(Host::StreamDescriptor(OutputKind::kStandardOutput), 1);
    EXPECT_EQ(Host::StreamDescriptor(OutputKind::kStandardError), 2);
    EXPECT_EQ(Host::StreamDescriptor(OutputKind::kFile), -1);
}

// Every other name there, existing or not, is the system's: another process's descriptors too.
TEST_F(OutputNameTest, OtherNamesUnderTheSystemFoldersAreRefused)
{
    for (const std::string& name : Names{"dev/stdin", "dev/null", "dev/new.csv", "dev/fd/0", "dev/fd/3", "dev/shm",
                                    "dev/shm/../x.csv", "proc/self/fd/5", "proc/1/fd/1", "proc/status",
                                    "home/devices/report.csv", "dev/fd/../stdout", "proc/self/fd/01"})
        EXPECT_EQ(Kind(name), OutputKind::kSystem) << name;
}

// /dev/shm is a folder of ordinary files, however it is reached.
TEST_F(OutputNameTest, OtherNamesAreFiles)
{
    fs::create_directory(Path("dev/shm/sub"));
    for (const std::string& name : Names{"home/report.csv", "home/new.csv", "home/stdout", "home/1", "developer/stdout",
                                    "missing/dev/stdout", "dev/shm/x.csv", "dev/shm/stdout", "dev/shm/sub/1",
                                    "home/devices/shm/x.csv"})
        EXPECT_EQ(Kind(name), OutputKind::kFile) << name;
}

// Where the folder of processes belongs to another process-number namespace, its "self" names
// this process by a number that is not getpid()'s, and getpid()'s names another process there.
TEST_F(OutputNameTest, TheStreamsWhereTheProcessesFolderNumbersThisProcessOtherwise)
{
    const std::string pid = std::to_string(::getpid()), other = pid == "4242" ? "4243" : "4242";
    const std::string stand = Path("other");
    for (const std::string& sub : Names{"dev", "proc/" + other + "/fd", "proc/" + other + "/task/77/fd", "proc/" + pid + "/fd"})
        fs::create_directories(stand + "/" + sub);
    fs::create_directory_symlink(other, stand + "/proc/self");
    fs::create_directory_symlink(other + "/task/77", stand + "/proc/thread-self");
    fs::create_directory_symlink("../proc/self/fd", stand + "/dev/fd");
    const Host::SystemFolders elsewhere{stand + "/dev", stand + "/proc"};
    for (const std::string& name : Names{"dev/fd/1", "proc/self/fd/1", "proc/thread-self/fd/1", "proc/" + other + "/fd/1",
                                    "proc/" + other + "/task/77/fd/1"})
        EXPECT_EQ(OutputKindOf(stand + "/" + name, elsewhere), OutputKind::kStandardOutput) << name;
    EXPECT_EQ(OutputKindOf(stand + "/proc/self/fd/2", elsewhere), OutputKind::kStandardError);
    for (const std::string& name : Names{"proc/" + pid + "/fd/1", "dev/fd/5"})
        EXPECT_EQ(OutputKindOf(stand + "/" + name, elsewhere), OutputKind::kSystem) << name;
}

// The machine's own names, judged by the same rule (nothing is written).
TEST_F(OutputNameTest, TheMachinesOwnNames)
{
    EXPECT_EQ(OutputKindOf("/dev/stdout"), OutputKind::kStandardOutput);
    EXPECT_EQ(OutputKindOf("//dev/./stdout"), OutputKind::kStandardOutput);
    EXPECT_EQ(OutputKindOf("/dev/fd/1"), OutputKind::kStandardOutput);
    EXPECT_EQ(OutputKindOf("/proc/self/fd/1"), OutputKind::kStandardOutput);
    EXPECT_EQ(OutputKindOf("/proc/thread-self/fd/1"), OutputKind::kStandardOutput);
    EXPECT_EQ(OutputKindOf("/dev/stderr"), OutputKind::kStandardError);
    EXPECT_EQ(OutputKindOf("/proc/" + std::to_string(::getpid()) + "/fd/2"), OutputKind::kStandardError);
    for (const std::string& name : Names{"/dev/stdin", "/dev/null", "/dev/fd/0", "/dev/report.csv", "/proc/self/fd/9",
                                    "/proc/self/status", "/proc/report.csv", "/tmp/../dev/stdin"})
        EXPECT_EQ(OutputKindOf(name), OutputKind::kSystem) << name;
    EXPECT_EQ(OutputKindOf(Path("home/report.csv")), OutputKind::kFile);
    if (fs::is_directory("/dev/shm")) {
        EXPECT_EQ(OutputKindOf("/dev/shm/report.csv"), OutputKind::kFile);
    }
}

}  // namespace
