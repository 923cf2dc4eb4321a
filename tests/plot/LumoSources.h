// Sample sources for the plot proxy: samples from a vector, optionally with a label for each
// position, or a source whose reading throws.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "IEnumFloatEx.h"
#include "plot/ILumoEnum.h"
#include "support/ComDoubles.h"
#include "support/FakeStreams.h"

namespace PlotTest {

// Samples 0, 1, 2, ... and labels "L<position>".
class LabelledRamp final : public TestSupport::HeapDouble<IEnumFloatEx, KVD::ILumoEnum> {
public:
    explicit LabelledRamp(unsigned n) : mSamples(CalcTest::Ramp(n)) {}
    HRESULT Clone(IEnumExBase**) override { return KVD_E_NOTIMPL; }
    HRESULT SkipEx(int32_t count, int32_t* skipped) override
    {
        const int64_t target = std::clamp<int64_t>(int64_t(mPosition) + count, 0, int64_t(mSamples.size()));
        *skipped = static_cast<int32_t>(target - mPosition);
        mPosition = static_cast<int32_t>(target);
        return KVD_S_OK;
    }
    HRESULT GetPosition(int32_t* position) override { *position = mPosition; return KVD_S_OK; }
    HRESULT IsFilling(AutoBool* filling) override { *filling = kAutoFalse; return KVD_S_OK; }
    HRESULT GetTickToSample(TTickToSample*) override { return KVD_E_NOTIMPL; }
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override
    {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(count, mSamples.size() - size_t(mPosition)));
        std::copy_n(mSamples.begin() + mPosition, n, buffer);
        mPosition += int32_t(n);
        *delivered = n;
        return KVD_S_OK;
    }
    HRESULT GetLabelAt(int32_t position, IAutoKVDString** label) override
    {
        KVD::String(L"L" + std::to_wstring(position)).GetOut(label);
        return KVD_S_OK;
    }

private:
    std::vector<float> mSamples;
    int32_t mPosition = 0;
};

// Reading throws, as a broken source might.
class ThrowingSource final : public TestSupport::HeapDouble<IEnumFloatEx> {
public:
    HRESULT Clone(IEnumExBase**) override { return KVD_E_NOTIMPL; }
    HRESULT SkipEx(int32_t count, int32_t* skipped) override { *skipped = count; return KVD_S_OK; }
    HRESULT GetPosition(int32_t* position) override { *position = 0; return KVD_S_OK; }
    HRESULT IsFilling(AutoBool*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTickToSample(TTickToSample*) override { return KVD_E_NOTIMPL; }
    HRESULT Next(uint32_t, float*, uint32_t*) override { throw std::runtime_error("the recording went away"); }
};

}  // namespace PlotTest
