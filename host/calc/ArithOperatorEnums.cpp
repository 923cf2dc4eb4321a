#include "host/calc/ArithOperatorEnums.h"

#include "host/calc/ArithKernels.h"
#include "host/calc/SettingsNumbers.h"

namespace HostCalc {

bool ArithBinaryEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 1, 1, numbers) || !IsBinaryOp(static_cast<int>(numbers[0])))
        return false;
    mKind = static_cast<int>(numbers[0]);
    return true;
}

void ArithBinaryEnum::Compute(float* out, const float* const* inputs, int32_t, uint32_t n)
{
    BinaryOpBlock(mKind, out, inputs[0], n);
}

// The second value the compiler writes for two-component constants is not used by the
// operators this host runs.
bool ArithUnaryEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 1, 3, numbers) || !IsUnaryOp(static_cast<int>(numbers[0])))
        return false;
    mKind = static_cast<int>(numbers[0]);
    if (mKind != 7 && numbers.size() < 2)
        return false;
    mConstant = numbers.size() > 1 ? numbers[1] : 0.0;
    return true;
}

void ArithUnaryEnum::Compute(float* out, const float* const*, int32_t, uint32_t n)
{
    UnaryOpBlock(mKind, out, mConstant, n);
}

bool ArithStdFuncEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 1, 1, numbers) || !IsStdFunc(static_cast<int>(numbers[0])))
        return false;
    mNumber = static_cast<int>(numbers[0]);
    return true;
}

void ArithStdFuncEnum::Compute(float* out, const float* const*, int32_t, uint32_t n)
{
    StdFuncBlock(mNumber, out, n);
}

void ArithWindowEnum::Compute(float* out, const float* const* inputs, int32_t, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(Window(out[i], inputs[0][i], inputs[1][i]));
}

bool ArithWindowUnaryEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 2, 2, numbers))
        return false;
    mLow = numbers[0];
    mHigh = numbers[1];
    return true;
}

void ArithWindowUnaryEnum::Compute(float* out, const float* const*, int32_t, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(Window(out[i], mLow, mHigh));
}

}  // namespace HostCalc
