#include "calc/LeakyIntegrator.h"

#include <cwchar>

#include "calc/CalcEnumClassBase2.h"

namespace CalcTest {

// 7E0C3B1A-5C4D-4E29-9A61-2B8F0D93C145
constexpr _IID GUID_TestLeakyEnumObj = {0x7E0C3B1A, 0x5C4D, 0x4E29, {0x9A, 0x61, 0x2B, 0x8F, 0x0D, 0x93, 0xC1, 0x45}};

CalcEnums::CalcEnumClassBase2& LeakyClassObject()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"TestLeaky", L"Leaky integrator", &GUID_TestLeakyEnumObj, 0};
    static CalcEnums::CalcEnumClass2<LeakyEnum> classObject(&traits);
    return classObject;
}

HRESULT LeakyIntegratorPolicy::SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache)
{
    mSettings = KVD::String(text);
    mDecay = std::wcstod(mSettings.c_str(), nullptr);
    *update = kUpdateAll;
    *clearCache = true;
    return KVD_S_OK;
}

HRESULT LeakyIntegratorPolicy::SetSources(int32_t, long count, IUnknown** sources, IUnitName** units, double,
                                         CalcEnumFlags)
{
    KVD::COMPtr<IEnumFloatEx> source(KVD::com_cast(count > 0 ? sources[0] : nullptr));
    if (!source)
        return KVD_E_BADSTATE;
    mReader.SetEnum(source);
    mUnit = units != nullptr ? units[0] : nullptr;
    return KVD_S_OK;
}

HRESULT LeakyIntegratorPolicy::DoNext(uint32_t count, float* out, uint32_t* delivered)
{
    uint32_t n = 0;
    while (n < count && mReader.HasMore()) {
        mState.y = mDecay * mState.y + mReader.Next();
        mState.samples += 1.0;
        out[n++] = static_cast<float>(mState.y);
    }
    mComputed += n;
    *delivered = n;
    return mReader.Buffered() > 0 ? KVD_S_OK : mReader.LastResult();
}

void LeakyIntegratorPolicy::StartOfRecord()
{
    mState = {0.0, 0.0};
    if (IEnumFloatEx* source = mReader.Source()) {
        int32_t position = 0;
        int32_t skipped = 0;
        source->GetPosition(&position);
        source->SkipEx(-position, &skipped);
    }
}

}  // namespace CalcTest
