#include "host/calc/DecimateSecEnum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/calc/SettingsNumbers.h"

namespace HostCalc {
namespace {

constexpr uint32_t kReadBlock = 4096;

}  // namespace

bool DecimateSecEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 1, 1, numbers) || !(numbers[0] > 0.0))
        return false;
    mSeconds = numbers[0];
    return true;
}

HRESULT DecimateSecEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                                    CalcEnumFlags flags)
{
    ReleaseSources();
    HostSampleEnum::SetSources(record, count, sources, units, sampling, flags);
    if (count < 1 || sources == nullptr || !(sampling > 0.0) || !(mSeconds > 0.0))
        return KVD_E_BADSTATE;
    mSource = KVD::com_cast(sources[0]);
    if (!mSource)
        return KVD_E_BADSTATE;
    SetUnit(units != nullptr ? units[0] : nullptr);
    mWindow = std::max<int64_t>(1, std::llround(mSeconds / sampling));
    int32_t position = 0;
    mSource->GetPosition(&position);
    mSourcePosition = position;
    SetPosition(position);
    mLoaded = -1;
    return KVD_S_OK;
}

HRESULT DecimateSecEnum::ReleaseSources()
{
    mSource.Clear();
    mLoaded = -1;
    return HostSampleEnum::ReleaseSources();
}

HRESULT DecimateSecEnum::IsFilling(AutoBool* filling)
{
    if (!mSource)
        return HostSampleEnum::IsFilling(filling);
    return mSource->IsFilling(filling);
}

HRESULT DecimateSecEnum::GetTickToSample(TTickToSample* map)
{
    if (!mSource)
        return HostSampleEnum::GetTickToSample(map);
    return mSource->GetTickToSample(map);
}

void DecimateSecEnum::LoadWindow(int64_t index)
{
    mLoaded = index;
    mHeld = 0;
    mEndCode = KVD_S_OK;
    const int64_t start = index * mWindow;
    if (mSourcePosition != start) {
        int32_t skipped = 0;
        mEndCode = mSource->SkipEx(static_cast<int32_t>(start - mSourcePosition), &skipped);
        mSourcePosition += skipped;
        if (mSourcePosition != start) {
            mEndCode = mEndCode != KVD_S_OK ? mEndCode : KVD_S_FALSE;
            return;
        }
        mEndCode = KVD_S_OK;
    }
    double sum = 0.0;
    mBlock.resize(kReadBlock);
    while (mHeld < mWindow) {
        const uint32_t wanted = static_cast<uint32_t>(std::min<int64_t>(kReadBlock, mWindow - mHeld));
        uint32_t got = 0;
        const HRESULT hr = mSource->Next(wanted, mBlock.data(), &got);
        got = std::min(got, wanted);
        for (uint32_t i = 0; i < got; ++i)
            sum += mBlock[i];
        mHeld += got;
        mSourcePosition += got;
        if (got < wanted) {
            mEndCode = hr != KVD_S_OK ? hr : KVD_S_FALSE;
            break;
        }
    }
    mMean = mHeld > 0 ? static_cast<float>(sum / static_cast<double>(mHeld)) : std::numeric_limits<float>::quiet_NaN();
}

HRESULT DecimateSecEnum::Generate(float* out, int32_t position, uint32_t n, uint32_t* produced)
{
    *produced = 0;
    if (!mSource)
        return KVD_E_BADSTATE;
    while (*produced < n) {
        const int64_t p = int64_t(position) + *produced;
        if (p < 0)
            return KVD_E_BADSTATE;
        const int64_t index = p / mWindow;
        if (index != mLoaded)
            LoadWindow(index);
        const int64_t offset = p - index * mWindow;
        if (offset >= mHeld)
            return mEndCode != KVD_S_OK ? mEndCode : KVD_S_FALSE;
        const uint32_t run = static_cast<uint32_t>(std::min<int64_t>(mHeld - offset, n - *produced));
        std::fill(out + *produced, out + *produced + run, mMean);
        *produced += run;
    }
    return KVD_S_OK;
}

}  // namespace HostCalc
