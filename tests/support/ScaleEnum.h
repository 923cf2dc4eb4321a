// A single-source enumerator for tests and benchmarks: output sample n is the gain times input sample n; the
// settings text is the gain.
#pragma once

#include <cwchar>

#include "calc/CalcEnumClassBase2.h"
#include "calc/SingleSourceNoDelayCalc.h"

namespace CalcTest {

// B945CD54-4211-445B-B2EA-BD6069C2F3C9
inline constexpr _IID GUID_TestScaleEnumObj = {0xB945CD54, 0x4211, 0x445B, {0xB2, 0xEA, 0xBD, 0x60, 0x69, 0xC2, 0xF3, 0xC9}};

class ScaleEnum : public CalcEnums::SingleSourceNoDelayCalc {
public:
    using SingleSourceNoDelayCalc::SingleSourceNoDelayCalc;

    // The class object that creates these enumerators.
    static CalcEnums::CalcEnumClassBase2& ClassObject();

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT Clone(IEnumExBase** out) override;
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

    double Gain() const { return mGain; }

private:
    double mGain = 1.0;
};

inline CalcEnums::CalcEnumClassBase2& ScaleEnum::ClassObject()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"TestScale", L"Scales its source", &GUID_TestScaleEnumObj, 3};
    static CalcEnums::CalcEnumClass2<ScaleEnum> classObject(&traits);
    return classObject;
}

inline HRESULT ScaleEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    const KVD::String settings(text);
    StoreSettings(settings);
    mGain = std::wcstod(settings.c_str(), nullptr);
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

inline HRESULT ScaleEnum::CloneSlave(IUnknown*, ICalcEnum** out)
{
    *out = (new ScaleEnum(*this))->CalcFace();
    return KVD_S_OK;
}

inline HRESULT ScaleEnum::Clone(IEnumExBase** out)
{
    *out = (new ScaleEnum(*this))->StreamFace();
    return KVD_S_OK;
}

inline HRESULT ScaleEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    uint32_t got = 0;
    const HRESULT hr = SourceStream() != nullptr ? SourceStream()->Next(count, buffer, &got) : KVD_E_BADSTATE;
    for (uint32_t i = 0; i < got; ++i)
        buffer[i] = static_cast<float>(buffer[i] * mGain);
    *delivered = got;
    return hr;
}

}  // namespace CalcTest
