#include "calc/ShortToFloatEnum.h"

#include <cstring>

namespace ConversionEnums {

HRESULT ShortToFloatEnum::Create(ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new ShortToFloatEnum())->CalcFace();
    return KVD_S_OK;
}

HRESULT ShortToFloatEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    StoreSettings(KVD::String(text));
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

HRESULT ShortToFloatEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units,
                                     double sampling, CalcEnumFlags flags)
{
    const HRESULT hr = ForwardingCalcEnum::SetSources(record, count, sources, units, sampling, flags);
    SetOutputUnit(SourceUnit());
    return hr;
}

HRESULT ShortToFloatEnum::CloneSlave(IUnknown*, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new ShortToFloatEnum(*this))->CalcFace();
    return KVD_S_OK;
}

HRESULT ShortToFloatEnum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new ShortToFloatEnum(*this))->StreamFace();
    return KVD_S_OK;
}

HRESULT ShortToFloatEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    uint32_t got = 0;
    HRESULT hr = KVD_E_BADSTATE;
    if (IEnumShortEx* source = SourceStream())
        hr = source->Next(count, reinterpret_cast<int16_t*>(buffer), &got);
    // Float i covers the bytes of 16-bit samples 2i and 2i+1: widening from the top down reads
    // every 16-bit value before it is overwritten.
    const char* raw = reinterpret_cast<const char*>(buffer);
    for (uint32_t i = got; i-- > 0;) {
        int16_t sample;
        std::memcpy(&sample, raw + i * sizeof(int16_t), sizeof(sample));
        buffer[i] = static_cast<float>(sample);
    }
    if (delivered != nullptr)
        *delivered = got;
    return hr;
}

}  // namespace ConversionEnums
