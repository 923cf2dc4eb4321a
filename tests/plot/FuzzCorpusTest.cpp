// The seed corpora of the two fuzz targets, replayed through their entries, and a few inputs
// that once stressed them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plot/fuzz/BridgeFuzzEntry.h"
#include "plot/fuzz/PlotFuzzEntry.h"
#include "support/CorpusReplay.h"

namespace {

using TestSupport::CheckBytes;
using TestSupport::Replay;

TEST(PlotFuzzCorpus, MarkupReplays)
{
    EXPECT_GE(Replay("markup-corpus", PlotFuzz::CheckMarkup), 30);
}

TEST(PlotFuzzCorpus, EquationReplays)
{
    testing::internal::CaptureStderr();  // failed expectations are logged
    EXPECT_GE(Replay("equation-corpus", PlotFuzz::CheckEquation), 30);
    testing::internal::GetCapturedStderr();
}

TEST(PlotFuzzCorpus, BridgeReplays)
{
    testing::internal::CaptureStderr();  // refused calls are logged
    EXPECT_GE(Replay("bridge-corpus", PlotFuzz::CheckBridge), 30);
    testing::internal::GetCapturedStderr();
}

// The seeds decode to the calls they were written as.
TEST(PlotFuzzCorpus, BridgeSeedsDecodeToTheirCalls)
{
    const std::filesystem::path seed = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "bridge-corpus" / "pix-source";
    std::ifstream in(seed, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string method;
    std::vector<Web::Value> arguments;
    PlotFuzz::DecodeCall(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), method, arguments);
    EXPECT_EQ(method, "RequestPixData");
    EXPECT_EQ(Web::Value::Array(arguments),
              Web::Value::Array({Web::Value::String("$a"), Web::Value::Number(100), Web::Value::Number(1),
                                 Web::Value::Number(10)}));
}

// Bytes outside ASCII, NULs and control characters are text like any other.
TEST(PlotFuzzCorpus, ArbitraryBytes)
{
    const std::string inputs[] = {
        std::string("a: '\0', b: 1", 12), "\xff\xfe: 1", "a: '\x80\x81'\n\x85 b", "\xa0\xa0 a 1",
        std::string("2*\0t", 4), "\xc2\xa0t", "sin(\x80)",
    };
    testing::internal::CaptureStderr();
    for (const std::string& input : inputs) {
        EXPECT_EQ(CheckBytes(PlotFuzz::CheckMarkup, input), "");
        EXPECT_EQ(CheckBytes(PlotFuzz::CheckEquation, input), "");
    }
    testing::internal::GetCapturedStderr();
}

}  // namespace
