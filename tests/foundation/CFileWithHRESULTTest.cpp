// The stdio file wrapper and its result codes.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "foundation/CFileWithHRESULT.h"
#include "foundation/KVDResultCodes.h"
#include "support/TempFolder.h"

namespace {

using KVD::CFileWithHRESULT;

class FileWithResult : public ::testing::Test {
protected:
    TestSupport::TempFolder mFolder;
    std::string mPath = (mFolder.Path() / "file").string();
};

TEST_F(FileWithResult, OpenReportsThePosixError)
{
    CFileWithHRESULT file;
    int result = 0;
    EXPECT_FALSE(file.fopen((mPath + "/missing/file").c_str(), "rb", &result));
    EXPECT_EQ(result, HRESULT_from_POSIX(ENOENT));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileWithResult, WritesReadsSeeksAndTruncates)
{
    CFileWithHRESULT file;
    int result = -1;
    ASSERT_TRUE(file.fopen(mPath.c_str(), "w+b", &result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(file.fwrite("0123456789", 10, &result), 10u);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(file.FullFlushSync(&result), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(file.ftruncate(6, &result), 0);
    EXPECT_EQ(result, 0);

    EXPECT_EQ(file.fseek(2, SEEK_SET, &result), 0);
    EXPECT_EQ(result, 0);
    char buffer[8] = {};
    // A short read at the end of the file is a success.
    EXPECT_EQ(file.fread(buffer, 8, &result), 4u);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(buffer, 4), "2345");

    EXPECT_EQ(file.fseek(0, 12345, &result), -1);
    EXPECT_EQ(result, HRESULT_from_POSIX(EINVAL));
    EXPECT_EQ(file.fclose(&result), 0);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(file.IsOpen());
}

// A write that the system refuses reports its errno: a file opened for reading, a full disk.
TEST_F(FileWithResult, AFailedWriteReportsItsErrno)
{
    {
        CFileWithHRESULT create;
        ASSERT_TRUE(create.fopen(mPath.c_str(), "wb"));
    }
    const struct {
        std::string path;
        const char* mode;
        int error;
    } cases[] = {{mPath, "rb", EBADF}, {"/dev/full", "wb", ENOSPC}};
    for (const auto& c : cases) {
        CFileWithHRESULT file;
        ASSERT_TRUE(file.fopen(c.path.c_str(), c.mode)) << c.path;
        std::setvbuf(file.GetFile(), nullptr, _IONBF, 0);
        int result = 0;
        EXPECT_EQ(file.fwrite("abc", 3, &result), 0u) << c.path;
        EXPECT_EQ(result, HRESULT_from_POSIX(c.error)) << c.path;
    }
}

TEST_F(FileWithResult, OperationsOnAClosedFileFail)
{
    CFileWithHRESULT file;
    int result = 0;
    char buffer[2];
    EXPECT_EQ(file.fread(buffer, 2, &result), 0u);
    EXPECT_EQ(result, HRESULT_from_POSIX(EBADF));
    result = 0;
    EXPECT_EQ(file.fseek(0, SEEK_SET, &result), -1);
    EXPECT_EQ(result, HRESULT_from_POSIX(EBADF));
    result = 0;
    EXPECT_NE(file.fclose(&result), 0);
    EXPECT_EQ(result, HRESULT_from_POSIX(EBADF));
    // The result out-parameter may be left out.
    EXPECT_EQ(file.ftruncate(0), -1);
}

}  // namespace
