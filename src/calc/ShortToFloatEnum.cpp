#include "calc/ShortToFloatEnum.h"

#include <cstring>

namespace ConversionEnums {

namespace {

// Samples widened together: the block from sample j is read at bytes [2j, 2j + 32) and
// written at [4j, 4j + 64), never below the samples still to widen.
constexpr uint32_t kWidenBlock = 16;

}  // namespace

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
    // every 16-bit value before it is overwritten. Past the odd end it goes a block at a time,
    // each block read whole before it is written, in a loop the compiler makes vector code of.
    const char* raw = reinterpret_cast<const char*>(buffer);
    uint32_t i = got;
    while (i % kWidenBlock != 0) {
        --i;
        int16_t sample;
        std::memcpy(&sample, raw + i * sizeof(int16_t), sizeof(sample));
        buffer[i] = static_cast<float>(sample);
    }
    while (i > 0) {
        i -= kWidenBlock;
        int16_t block[kWidenBlock];
        std::memcpy(block, raw + i * sizeof(int16_t), sizeof(block));
        float* out = buffer + i;
        for (uint32_t k = 0; k < kWidenBlock; ++k)
            out[k] = static_cast<float>(block[k]);
    }
    if (delivered != nullptr)
        *delivered = got;
    return hr;
}

}  // namespace ConversionEnums
