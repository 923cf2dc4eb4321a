// Replaying a fuzz target's seed corpus through its entry: every file must break no rule.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace TestSupport {

// A fuzz entry's check: what rule the input broke, or "" when none.
using Check = std::string (*)(const uint8_t*, size_t);

inline std::string CheckBytes(Check check, const std::string& bytes)
{
    return check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Checks every file of the test data's folder; answers how many there were.
inline int Replay(const char* folder, Check check)
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

}  // namespace TestSupport
