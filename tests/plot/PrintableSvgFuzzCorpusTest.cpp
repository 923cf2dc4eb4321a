#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plot/fuzz/PrintableSvgFuzzEntry.h"

namespace {

// The seed corpus of the fuzz target, replayed through its entry (which aborts on a fault).
TEST(PrintableSvgFuzz, CorpusReplays) {
    const std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "printable-svg-corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(PrintableSvgFuzzOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0)
            << entry.path().filename();
        ++files;
    }
    EXPECT_GE(files, 14);
}

}  // namespace
