// Result codes, their texts, the POSIX mapping and the exception with its log line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstring>
#include <string>

#include "foundation/KVDResultCodes.h"
#include "foundation/XKVD.h"

namespace {

using KVD::String;

const wchar_t kNewerVersion[] =
    L"It was probably written by a newer version of Vexorium. A later version of Vexorium may be able to "
    L"read this file.";

// The exception made by make, and what it wrote to the error stream.
template <class Make>
std::string LogOf(Make make)
{
    ::testing::internal::CaptureStderr();
    make();
    return ::testing::internal::GetCapturedStderr();
}

TEST(ResultCodes, PosixMapping)
{
    EXPECT_EQ(HRESULT_from_POSIX(0), 0);
    EXPECT_EQ(HRESULT_from_POSIX(ENOENT), 0xC002);
    EXPECT_EQ(HRESULT_to_POSIX(0xC002), 2);
    EXPECT_TRUE(Is_POSIX_HRESULT(HRESULT_from_POSIX(EACCES)));
    EXPECT_TRUE(Is_POSIX_HRESULT(0xFFFF));
    EXPECT_FALSE(Is_POSIX_HRESULT(KVD_S_FALSE));
    EXPECT_FALSE(Is_POSIX_HRESULT(0x8002));  // bit 14 missing
    EXPECT_FALSE(Is_POSIX_HRESULT(0x1C002));
}

TEST(ResultCodes, DataFileOwnAndPosixTexts)
{
    const struct {
        uint32_t code;
        const wchar_t* text;
    } expected[] = {
        {0xF8008000, L"The map input stream was unreadable."},
        {0xF8008001, L"An unsigned int was over the allowed size."},
        {0xF8008002, L"An unsigned int did not have the expected value."},
        {0xF8008003, L"An array in the file was the wrong size."},
        {0xF8008004, kNewerVersion},
        {0xF8008005, kNewerVersion},
        {0xF8008006, L"This file is not a valid OEM data file."},
        {0xF8008007, L"The disk is full."},
        {0xF8008008, L"Growable Memory Mapped file has been corrupted (possibly by another thread)."},
        {0xF8008009, L"Unable to create stream object."},
        {0xF8008012, L"The output stream was bad."},
        {0xF800801A, L"Writing data to this file in the KVDDat format is disallowed because it could cause loss of "
                     L"information about data already in the file which has been written in a later format."},
        {0xF800801B, L"Writing data to this file is disallowed because it could cause loss of information about "
                     L"data already in the file which has been written in a later format."},
    };
    const struct {
        uint32_t code;
        KVD::String text;
    } own[] = {
        {0xF800403F, L"The file name is not valid."},
        {0xF800403D, L"A disk error occurred during a read operation."},
        {0xF8004037, L"The file is not a valid Vexorium file."},
        {0xF8004038, kNewerVersion},
        {0xF800400D, L"An unexpected error occurred (0xf800400d)."},
        {uint32_t(HRESULT_from_POSIX(ENOENT)), KVD::ToKVDString(std::strerror(ENOENT))},
        {uint32_t(HRESULT_from_POSIX(ENOSPC)), KVD::ToKVDString(std::strerror(ENOSPC))},
    };
    for (const auto& entry : own)
        EXPECT_EQ(XKVD::MakeMsg(nullptr, static_cast<int>(entry.code)), entry.text) << std::hex << entry.code;
    for (const auto& entry : expected) {
        EXPECT_EQ(XKVD::MakeMsgForKVDHR(static_cast<int>(entry.code), nullptr), entry.text) << std::hex << entry.code;
        EXPECT_EQ(XKVD::MakeMsg(nullptr, static_cast<int>(entry.code)), entry.text) << std::hex << entry.code;
    }
    for (uint32_t code : {0xF800800Fu, 0xF8008010u, 0xF8008011u, 0xF800800Au, 0xF800BFFFu}) {
        EXPECT_TRUE(XKVD::MakeMsgForKVDHR(static_cast<int>(code), nullptr).empty()) << std::hex << code;
        EXPECT_TRUE(XKVD::MakeMsg(nullptr, static_cast<int>(code)).empty()) << std::hex << code;
    }
    EXPECT_TRUE(XKVD::MakeMsgForKVDHR(KVD_E_NOTVALIDFILE, nullptr).empty());
}

TEST(XKVDException, CodeGivesTheMessageAndTheLogLine)
{
    std::string log = LogOf([] {
        const XKVD failure(KVD_E_BADSTATE);
        EXPECT_EQ(failure.why(), L"An unexpected error occurred (0xf800400a).");
        EXPECT_EQ(failure.GetCode(), KVD_E_BADSTATE);
    });
    EXPECT_EQ(log, "KVDBOOTLOG: XKVD: An unexpected error occurred (0xf800400a).\n");

    log = LogOf([] { EXPECT_EQ(XKVD(static_cast<int>(0xF8004038)).why(), kNewerVersion); });
    EXPECT_EQ(log, "KVDBOOTLOG: XKVD: " + KVD::ToU8String(String(kNewerVersion)) + "\n");
}

// SPIRO_LOG sends the lines nowhere ("off"), to a file (appended) or to standard error.
TEST(XKVDException, LogLinesGoWhereTheEnvironmentSays)
{
    const std::string file = ::testing::TempDir() + "xkvd_log_" + std::to_string(::getpid()) + ".txt";
    std::remove(file.c_str());
    ::setenv(XKVD::kLogVariable, "off", 1);
    EXPECT_EQ(LogOf([] { XKVD failure(KVD_E_BADSTATE); }), "");
    ::setenv(XKVD::kLogVariable, file.c_str(), 1);
    EXPECT_EQ(LogOf([] {
                  XKVD first(KVD_E_BADSTATE);
                  XKVD second(String(L"second"), KVD_E_STORAGEMESSAGE);
              }),
              "");
    std::ifstream in(file);
    const std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "KVDBOOTLOG: XKVD: An unexpected error occurred (0xf800400a).\nKVDBOOTLOG: XKVD: second\n");
    ::setenv(XKVD::kLogVariable, "stderr", 1);
    EXPECT_EQ(LogOf([] { XKVD failure(String(L"shown"), KVD_E_STORAGEMESSAGE); }), "KVDBOOTLOG: XKVD: shown\n");
    ::unsetenv(XKVD::kLogVariable);
    std::remove(file.c_str());
}

// A log that takes no lines (a folder, a full device, a FIFO nobody reads) is said once on
// standard error, never waited on, and the log is off from then on.
TEST(XKVDException, ALogThatTakesNoLinesIsSaidOnce)
{
    const std::string fifo = ::testing::TempDir() + "xkvd_fifo_" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        int error;
    } sinks[] = {{"/", EISDIR}, {"/dev/full", ENOSPC}, {fifo, ENXIO}};
    for (const auto& sink : sinks) {
        ::setenv(XKVD::kLogVariable, sink.path.c_str(), 1);
        EXPECT_EQ(LogOf([] {
                      XKVD first(KVD_E_BADSTATE);
                      XKVD second(String(L"second"), KVD_E_STORAGEMESSAGE);
                  }),
                  "KVDBOOTLOG: the log lines cannot be appended to " + sink.path + " (" + std::strerror(sink.error) +
                      "): they are dropped\n");
        EXPECT_STREQ(std::getenv(XKVD::kLogVariable), "off");
    }
    ::unsetenv(XKVD::kLogVariable);
    std::remove(fifo.c_str());
}

TEST(XKVDException, MessagesGetALineFeedUnlessComplete)
{
    const String message(L"Error reading Storage Entry Table");
    std::string log = LogOf([&] { EXPECT_EQ(XKVD(message, KVD_E_STORAGEMESSAGE).why(), message); });
    EXPECT_EQ(log, "KVDBOOTLOG: XKVD: Error reading Storage Entry Table\n");
    LogOf([&] {
        EXPECT_EQ(XKVD(message, KVD_E_REPORTMESSAGE).why(), message);
        EXPECT_EQ(XKVD(message, 0).why(), message);
    });

    log = LogOf([&] { EXPECT_EQ(XKVD(message, KVD_E_ARRAYSIZE).why(), L"Error reading Storage Entry Table\n"); });
    EXPECT_EQ(log, "KVDBOOTLOG: XKVD: Error reading Storage Entry Table\n\n");
    // The given string is not changed by the line feed added to the message.
    EXPECT_EQ(message, L"Error reading Storage Entry Table");
}

TEST(XKVDException, WhatIsTheUtf8MessageWhileTheExceptionLives)
{
    const std::string log = LogOf([] {
        try {
            throw XKVD(String(L"Gr\u00F6\u00DFe \u00B5L"), KVD_E_STORAGEMESSAGE);
        } catch (const std::exception& caught) {
            EXPECT_STREQ(caught.what(), "Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5L");
            EXPECT_EQ(caught.what(), caught.what());
            EXPECT_EQ(dynamic_cast<const XKVD&>(caught).GetCode(), KVD_E_STORAGEMESSAGE);
        }
    });
    EXPECT_EQ(log, "KVDBOOTLOG: XKVD: Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5L\n");
}

// An exception whose why() is its own: what() follows it.
class DetailedFailure : public XKVD {
public:
    DetailedFailure() : XKVD(String(L"base"), 0) {}
    String why() const override { return String(L"detailed"); }
};

TEST(XKVDException, WhatAsksTheVirtualWhy)
{
    LogOf([] {
        const DetailedFailure failure;
        EXPECT_STREQ(failure.what(), "detailed");
    });
}

}  // namespace
