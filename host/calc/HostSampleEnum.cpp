#include "host/calc/HostSampleEnum.h"

#include <algorithm>

#include "calc/SourcePositioning.h"
#include "foundation/units/UnitEntry.h"

namespace HostCalc {

HostSampleEnum::HostSampleEnum(ICalcEnumClass2* classObject, IOrrelData2* data, size_t sourceCount)
    : CalcEnums::CalcEnumBase2(classObject, data), mSources(sourceCount), mScratch(sourceCount > 1 ? sourceCount - 1 : 0)
{
}

HostSampleEnum::HostSampleEnum(const HostSampleEnum& other)
    : CalcEnums::CalcEnumBase2(other),
      mSources(other.mSources),
      mScratch(other.mScratch.size()),
      mUnit(other.mUnit),
      mSettings(other.mSettings),
      mSampling(other.mSampling),
      mRecord(other.mRecord),
      mPosition(other.mPosition)
{
}

HRESULT HostSampleEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    if (update != nullptr)
        *update = kUpdateAll;
    mSettings = KVD::String(text);
    return ReadSettings(mSettings) ? KVD_S_OK : KVD_E_BADSTATE;
}

HRESULT HostSampleEnum::GetSettings(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    mSettings.GetOut(text);
    return KVD_S_OK;
}

HRESULT HostSampleEnum::CloneSlave(IUnknown* outer, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = reinterpret_cast<ICalcEnum*>(CalcEnums::HandOutInstance(Copy(), outer));
    return KVD_S_OK;
}

HRESULT HostSampleEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                                   CalcEnumFlags)
{
    ReleaseSources();
    mRecord = record;
    mSampling = sampling;
    mPosition = 0;
    if (count < static_cast<long>(mSources.size()) || (!mSources.empty() && sources == nullptr))
        return KVD_E_BADSTATE;
    for (size_t i = 0; i < mSources.size(); ++i) {
        mSources[i] = KVD::com_cast(sources[i]);
        if (!mSources[i]) {
            ReleaseSources();
            return KVD_E_BADSTATE;
        }
    }
    if (!mSources.empty()) {
        mUnit = units != nullptr ? units[0] : nullptr;
        mSources[0]->GetPosition(&mPosition);
    }
    return KVD_S_OK;
}

HRESULT HostSampleEnum::SetInitialPosition(int32_t position)
{
    HRESULT result = KVD_S_OK;
    for (Stream& source : mSources) {
        const HRESULT hr = CalcEnums::PositionSource(source.get(), position);
        if (result == KVD_S_OK)
            result = hr;
    }
    mPosition = position;
    return result;
}

HRESULT HostSampleEnum::ReleaseSources()
{
    for (Stream& source : mSources)
        source.Clear();
    return KVD_S_OK;
}

HRESULT HostSampleEnum::IsUpdateNeeded(long, BlockUpdateType change, BlockUpdateType* needed)
{
    if (needed == nullptr)
        return KVD_E_POINTER;
    *needed = change != 0 ? kUpdateAll : 0;
    return KVD_S_OK;
}

HRESULT HostSampleEnum::GetOutputInfo(double* sampling, IUnitName** unit)
{
    if (sampling != nullptr)
        *sampling = mSampling;
    if (unit != nullptr) {
        if (mUnit) {
            mUnit.GetOut(unit);
        } else {
            *unit = KVD::MakeCounted<KVD::UnitEntry>().Forget();
        }
    }
    return KVD_S_OK;
}

HRESULT HostSampleEnum::GetInstanceAttributes(CalcInstanceAttributes* attributes)
{
    if (attributes == nullptr)
        return KVD_E_POINTER;
    *attributes = kAttrSampleEnum;
    return KVD_S_OK;
}

HRESULT HostSampleEnum::GetTickToSample(TTickToSample* map)
{
    if (map == nullptr)
        return KVD_E_POINTER;
    if (!mSources.empty() && mSources[0])
        return mSources[0]->GetTickToSample(map);
    *map = {1, 0};
    return KVD_S_OK;
}

HRESULT HostSampleEnum::Generate(float* out, int32_t position, uint32_t n, uint32_t* produced)
{
    Compute(out, nullptr, position, n);
    *produced = n;
    return KVD_S_OK;
}

// Reads every source for the same samples; a source that stops short makes the others give
// back what they read beyond it, so that all stay at one position.
HRESULT HostSampleEnum::ReadSources(uint32_t count, float* buffer, uint32_t* delivered)
{
    std::vector<uint32_t> got(mSources.size(), 0);
    HRESULT result = KVD_S_OK;
    uint32_t common = count;
    for (size_t i = 0; i < mSources.size(); ++i) {
        if (!mSources[i])
            return KVD_E_BADSTATE;
        float* target = buffer;
        if (i > 0) {
            std::vector<float>& scratch = mScratch[i - 1];
            if (scratch.size() < common)
                scratch.resize(common);
            target = scratch.data();
        }
        const HRESULT hr = mSources[i]->Next(common, target, &got[i]);
        got[i] = std::min(got[i], common);
        if (got[i] < common) {
            common = got[i];
            result = hr != KVD_S_OK ? hr : KVD_S_FALSE;
        }
    }
    for (size_t i = 0; i < mSources.size(); ++i)
        if (got[i] > common) {
            int32_t skipped = 0;
            mSources[i]->SkipEx(static_cast<int32_t>(common) - static_cast<int32_t>(got[i]), &skipped);
        }
    *delivered = common;
    return result;
}

HRESULT HostSampleEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    uint32_t made = 0;
    if (delivered == nullptr)
        delivered = &made;
    *delivered = 0;
    if (buffer == nullptr && count > 0)
        return KVD_E_POINTER;
    HRESULT hr;
    if (mSources.empty()) {
        hr = Generate(buffer, mPosition, count, delivered);
    } else {
        hr = ReadSources(count, buffer, delivered);
        std::vector<const float*> inputs(mScratch.size());
        for (size_t i = 0; i < mScratch.size(); ++i)
            inputs[i] = mScratch[i].data();
        Compute(buffer, inputs.data(), mPosition, *delivered);
    }
    mPosition += static_cast<int32_t>(*delivered);
    return hr;
}

HRESULT HostSampleEnum::SkipEx(int32_t count, int32_t* skipped)
{
    int32_t moved = 0;
    if (skipped == nullptr)
        skipped = &moved;
    if (mSources.empty()) {
        const int32_t target = std::max(0, mPosition + count);
        *skipped = target - mPosition;
        mPosition = target;
        return *skipped == count ? KVD_S_OK : KVD_S_FALSE;
    }
    // Every source moves as far as the one that moves least.
    HRESULT result = KVD_S_OK;
    std::vector<int32_t> moves(mSources.size(), 0);
    int32_t common = count;
    for (size_t i = 0; i < mSources.size(); ++i) {
        const HRESULT hr = mSources[i]->SkipEx(count, &moves[i]);
        if (std::abs(moves[i]) < std::abs(common)) {
            common = moves[i];
            result = hr != KVD_S_OK ? hr : KVD_S_FALSE;
        }
    }
    for (size_t i = 0; i < mSources.size(); ++i)
        if (moves[i] != common) {
            int32_t back = 0;
            mSources[i]->SkipEx(common - moves[i], &back);
        }
    mPosition += common;
    *skipped = common;
    return result;
}

HRESULT HostSampleEnum::GetPosition(int32_t* position)
{
    if (position == nullptr)
        return KVD_E_POINTER;
    *position = mPosition;
    return KVD_S_OK;
}

HRESULT HostSampleEnum::IsFilling(AutoBool* filling)
{
    if (filling == nullptr)
        return KVD_E_POINTER;
    if (!mSources.empty() && mSources[0])
        return mSources[0]->IsFilling(filling);
    *filling = 0;
    return KVD_S_OK;
}

HRESULT HostSampleEnum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = Copy()->StreamFace();
    return KVD_S_OK;
}

}  // namespace HostCalc
