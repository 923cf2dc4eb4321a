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

TEST_F(FileWithResult, ShortWriteReportsErrno)
{
    {
        CFileWithHRESULT create;
        ASSERT_TRUE(create.fopen(mPath.c_str(), "wb"));
    }
    CFileWithHRESULT file;
    ASSERT_TRUE(file.fopen(mPath.c_str(), "rb"));
    int result = 0;
    EXPECT_EQ(file.fwrite("abc", 3, &result), 0u);
    EXPECT_EQ(result, HRESULT_from_POSIX(EBADF));
}

TEST_F(FileWithResult, DiskFullIsReportedByTheWrite)
{
    CFileWithHRESULT file;
    if (!file.fopen("/dev/full", "wb"))
        GTEST_SKIP() << "no /dev/full";
    std::setvbuf(file.GetFile(), nullptr, _IONBF, 0);
    int result = 0;
    EXPECT_EQ(file.fwrite("abc", 3, &result), 0u);
    EXPECT_EQ(result, HRESULT_from_POSIX(ENOSPC));
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
