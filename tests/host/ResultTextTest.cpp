// Result codes in the host's messages: in words, never a bare code where the words are known.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "ResultCodes.h"
#include "foundation/KVDResultCodes.h"
#include "host/framework/ResultText.h"

namespace {

TEST(ResultText, SaysWhatTheCodeMeans)
{
    EXPECT_EQ(Host::ResultText(KVD_E_BADSTATE), "it was refused in its present state or with these arguments");
    EXPECT_EQ(Host::ResultText(KVD_E_NOINTERFACE), "the object does not offer what was asked of it");
    EXPECT_EQ(Host::ResultText(KVD_E_NOTIMPL), "it is not implemented");
    EXPECT_EQ(Host::ResultText(KVD_E_POINTER), "a required pointer was missing");
    EXPECT_EQ(Host::ResultText(KVD_S_OK), "it reported success without doing it");
    EXPECT_EQ(Host::ResultText(HRESULT_from_POSIX(ENOSPC)), std::strerror(ENOSPC));
    EXPECT_EQ(Host::ResultText(KVD_E_DISKFULL), "The disk is full.");
    // A code nobody knows keeps its number: it is all there is to say.
    EXPECT_EQ(Host::ResultText(HRESULT(0xF8007123)), "An unexpected error occurred (0xf8007123).");
}

}  // namespace
