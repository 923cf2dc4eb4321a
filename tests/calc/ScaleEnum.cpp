#include "calc/ScaleEnum.h"

#include <cwchar>

namespace CalcTest {

CalcEnums::CalcEnumClassBase2& ScaleEnum::ClassObject()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"TestScale", L"Scales its source", &GUID_TestScaleEnumObj, 3};
    static CalcEnums::CalcEnumClass2<ScaleEnum> classObject(&traits);
    return classObject;
}

HRESULT ScaleEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    const KVD::String settings(text);
    StoreSettings(settings);
    mGain = std::wcstod(settings.c_str(), nullptr);
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

HRESULT ScaleEnum::CloneSlave(IUnknown*, ICalcEnum** out)
{
    *out = (new ScaleEnum(*this))->CalcFace();
    return KVD_S_OK;
}

HRESULT ScaleEnum::Clone(IEnumExBase** out)
{
    *out = (new ScaleEnum(*this))->StreamFace();
    return KVD_S_OK;
}

HRESULT ScaleEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    uint32_t got = 0;
    const HRESULT hr = SourceStream() != nullptr ? SourceStream()->Next(count, buffer, &got) : KVD_E_BADSTATE;
    for (uint32_t i = 0; i < got; ++i)
        buffer[i] = static_cast<float>(buffer[i] * mGain);
    *delivered = got;
    return hr;
}

}  // namespace CalcTest
