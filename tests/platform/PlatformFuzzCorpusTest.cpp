// The seed corpora of the wire decoder's and the page server's fuzz targets, replayed through
// their entries; and the entries themselves catch what they are there to catch.
#include <gtest/gtest.h>

#include <string>

#include "platform/fuzz/PageRequestFuzzEntry.h"
#include "platform/fuzz/WireFuzzEntry.h"
#include "support/CorpusReplay.h"

namespace {

using TestSupport::CheckBytes;
using TestSupport::Replay;

TEST(PlatformFuzzCorpus, WireReplays)
{
    EXPECT_GE(Replay("wire-corpus", PlatformFuzz::CheckWire), 18);
    // No JSON at all breaks no rule; a value too deep is refused, not decoded.
    EXPECT_EQ(CheckBytes(PlatformFuzz::CheckWire, "[[1,"), "");
    EXPECT_EQ(CheckBytes(PlatformFuzz::CheckWire, std::string(100000, '[') + std::string(100000, ']')), "");
}

TEST(PlatformFuzzCorpus, PageRequestsReplay)
{
    EXPECT_GE(Replay("page-request-corpus", PlatformFuzz::CheckPageRequest), 16);
}

}  // namespace
