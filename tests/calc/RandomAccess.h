// Drives a sample enumerator through a fixed, seeded mix of reads, skips back and forth,
// clones and repositionings (record starts included), checking every sample against one
// straight pull of the same data.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ICalcEnum.h"
#include "IEnumFloatEx.h"

namespace CalcTest {

// Everything the stream delivers from position to the end of the data, in one pass.
inline std::vector<float> PullAll(IEnumFloatEx* stream, uint32_t block = 4096)
{
    std::vector<float> all;
    std::vector<float> buffer(block);
    uint32_t got = 0;
    do {
        got = 0;
        stream->Next(block, buffer.data(), &got);
        all.insert(all.end(), buffer.begin(), buffer.begin() + got);
    } while (got == block);
    return all;
}

class RandomAccessCheck {
public:
    RandomAccessCheck(const std::vector<float>& expected, unsigned seed) : mExpected(expected), mRandom(seed) {}

    // Reads count samples at the stream's position (known to be `position`) and compares.
    void Read(IEnumFloatEx* stream, int32_t& position, uint32_t count)
    {
        std::vector<float> buffer(count + 1, -12345.0f);
        uint32_t got = 99;
        const HRESULT hr = stream->Next(count, buffer.data(), &got);
        const uint32_t available = static_cast<uint32_t>(std::max<int64_t>(0, Size() - position));
        const uint32_t wanted = std::min(count, available);
        ASSERT_EQ(got, wanted) << "at " << position;
        EXPECT_EQ(hr == 0, wanted == count) << "at " << position;
        for (uint32_t i = 0; i < got; ++i)
            ASSERT_EQ(buffer[i], mExpected[position + i]) << "sample " << position + i;
        EXPECT_EQ(buffer[got], -12345.0f) << "written past the delivered count";
        position += static_cast<int32_t>(got);
        CheckPosition(stream, position);
    }

    void Skip(IEnumFloatEx* stream, int32_t& position, int32_t count)
    {
        const int64_t target = std::clamp<int64_t>(int64_t(position) + count, 0, Size());
        int32_t skipped = 12345;
        const HRESULT hr = stream->SkipEx(count, &skipped);
        ASSERT_EQ(skipped, target - position) << "skip " << count << " at " << position;
        if (count > 0) {  // backward skips clamped at 0 answer as the stream chooses
            EXPECT_EQ(hr == 0, skipped == count) << "skip " << count << " at " << position;
        }
        position = static_cast<int32_t>(target);
        CheckPosition(stream, position);
    }

    // The seeded mix; the stream starts at position.
    void Run(ICalcEnum* calc, IEnumFloatEx* stream, int32_t position, int steps)
    {
        std::uniform_int_distribution<int> op(0, 9);
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            switch (op(mRandom)) {
            case 0:
            case 1:
            case 2:
                Read(stream, position, Uniform(0, 5000));
                break;
            case 3:
            case 4:
                Skip(stream, position, Uniform(1, 40000));
                break;
            case 5:
            case 6:
                Skip(stream, position, -Uniform(1, 40000));
                break;
            case 7:
                CloneAndCompare(stream, position);
                break;
            case 8:
                position = Uniform(0, static_cast<int32_t>(Size()));
                ASSERT_EQ(calc->SetInitialPosition(position), 0);
                CheckPosition(stream, position);
                break;
            default:
                position = 0;  // back to the record start
                ASSERT_EQ(calc->SetInitialPosition(0), 0);
                break;
            }
        }
    }

private:
    int64_t Size() const { return static_cast<int64_t>(mExpected.size()); }
    int32_t Uniform(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(mRandom); }

    void CheckPosition(IEnumFloatEx* stream, int32_t position)
    {
        int32_t reported = -7;
        EXPECT_EQ(stream->GetPosition(&reported), 0);
        EXPECT_EQ(reported, position);
    }

    // A clone continues from the same position independently of the original.
    void CloneAndCompare(IEnumFloatEx* stream, int32_t position)
    {
        IEnumExBase* copy = nullptr;
        ASSERT_EQ(stream->Clone(&copy), 0);
        auto* clone = static_cast<IEnumFloatEx*>(copy);
        int32_t clonePosition = position;
        Skip(clone, clonePosition, Uniform(-3000, 3000));
        Read(clone, clonePosition, Uniform(1, 3000));
        clone->Release();
        CheckPosition(stream, position);
    }

    const std::vector<float>& mExpected;
    std::mt19937 mRandom;
};

}  // namespace CalcTest
