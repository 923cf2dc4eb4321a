#include "host/calc/ArithGeneratorEnum.h"

#include <cmath>
#include <limits>

#include "host/calc/SettingsNumbers.h"

namespace HostCalc {
namespace {

uint64_t SplitMix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

double ArithGeneratorEnum::Uniform(uint64_t seed, int64_t position)
{
    const uint64_t bits = SplitMix(SplitMix(seed) ^ static_cast<uint64_t>(position));
    return static_cast<double>(bits >> 11) * (1.0 / 9007199254740992.0);
}

double ArithGeneratorEnum::Gaussian(uint64_t seed, int64_t position)
{
    const double u1 = Uniform(seed, 2 * position);
    const double u2 = Uniform(seed, 2 * position + 1);
    return std::sqrt(-2.0 * std::log(1.0 - u1)) * std::cos(kTwoPi * u2);
}

bool ArithGeneratorEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    const bool takesValue = mKind == kConstant || mKind == kRandom || mKind == kGaussian;
    if (!ReadSettingsNumbers(text, mKind == kConstant ? 1 : 0, takesValue ? 1 : 0, numbers))
        return false;
    mValue = numbers.empty() ? 0.0 : numbers[0];
    return true;
}

void ArithGeneratorEnum::Compute(float* out, const float* const*, int32_t position, uint32_t n)
{
    const double sampling = Sampling();
    const uint64_t seed = static_cast<uint64_t>(static_cast<int64_t>(mValue));
    switch (mKind) {
    case kConstant:
    case kSampleRate:
    case kSegRepCount:
    case kBlock: {
        const double value = mKind == kConstant     ? mValue
                             : mKind == kSampleRate ? (sampling > 0 ? 1.0 / sampling : std::numeric_limits<double>::quiet_NaN())
                             : mKind == kBlock      ? Record()
                                                    : 0.0;
        std::fill(out, out + n, static_cast<float>(value));
        break;
    }
    case kSampleTime:
        for (uint32_t i = 0; i < n; ++i)
            out[i] = static_cast<float>((static_cast<double>(position) + i) * sampling);
        break;
    case kRandom:
        for (uint32_t i = 0; i < n; ++i)
            out[i] = static_cast<float>(Uniform(seed, int64_t(position) + i));
        break;
    case kGaussian:
        for (uint32_t i = 0; i < n; ++i)
            out[i] = static_cast<float>(Gaussian(seed, int64_t(position) + i));
        break;
    }
}

}  // namespace HostCalc
