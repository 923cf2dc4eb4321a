// The seed corpora of the wire decoder's and the page server's fuzz targets, replayed through
// their entries; and the entries themselves catch what they are there to catch.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/fuzz/PageRequestFuzzEntry.h"
#include "platform/fuzz/WireFuzzEntry.h"

namespace {

using Check = std::string (*)(const uint8_t*, size_t);

std::string CheckBytes(Check check, const std::string& bytes)
{
    return check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

int Replay(const char* folder, Check check)
{
    const std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / folder;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(CheckBytes(check, bytes), "") << entry.path().filename();
        ++files;
    }
    return files;
}

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
