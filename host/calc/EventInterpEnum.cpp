#include "host/calc/EventInterpEnum.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ICalcEnum.h"
#include "host/calc/SettingsNumbers.h"

namespace HostCalc {
namespace {

constexpr uint32_t kBatchEvents = 64;
constexpr int32_t kNoTick = 0x7fffffff;
constexpr int32_t kHeaderSize = 16;

}  // namespace

EventInterpEnum::EventInterpEnum(const EventInterpEnum& other)
    : HostSampleEnumT(other), mSource(other.mSource), mMode(other.mMode), mEventSize(other.mEventSize),
      mBatch(other.mBatch.size())
{
}

bool EventInterpEnum::ReadSettings(const KVD::String& text)
{
    std::vector<double> numbers;
    if (!ReadSettingsNumbers(text, 0, 1, numbers))
        return false;
    mMode = numbers.empty() ? 0 : static_cast<int>(numbers[0]);
    return mMode == 0 || mMode == 1;
}

HRESULT EventInterpEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                                    CalcEnumFlags flags)
{
    ReleaseSources();
    HostSampleEnum::SetSources(record, count, sources, units, sampling, flags);
    if (count < 1 || sources == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<IEnumEventEx> events = KVD::com_cast(sources[0]);
    int32_t size = 0;
    if (!events || events->GetSizeofEvents(&size) != KVD_S_OK || size < kHeaderSize)
        return KVD_E_BADSTATE;
    mSource = events.get();
    mEventSize = size;
    mBatch.assign(static_cast<size_t>(size) * kBatchEvents, 0);
    SetUnit(units != nullptr ? units[0] : nullptr);
    return KVD_S_OK;
}

HRESULT EventInterpEnum::ReleaseSources()
{
    mSource.Clear();
    mStarted = false;
    return HostSampleEnum::ReleaseSources();
}

HRESULT EventInterpEnum::GetTickToSample(TTickToSample* map)
{
    if (!mSource)
        return HostSampleEnum::GetTickToSample(map);
    return mSource->GetTickToSample(map);
}

void EventInterpEnum::Rewind()
{
    KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(mSource.get());
    if (calc)
        calc->SetInitialPosition(0);
    else
        mSource->Find(0, 0, 0, kNoTick);
    mBatchCount = mBatchRead = 0;
    mEnded = false;
    mStarted = true;
    mPrev = Point();
    mNext = Fetch();
}

EventInterpEnum::Point EventInterpEnum::Fetch()
{
    if (mBatchRead == mBatchCount && !mEnded) {
        uint32_t count = 0;
        int32_t position = 0;
        mSource->Next(static_cast<uint32_t>(mBatch.size()), kNoTick, mBatch.data(), &count, &position);
        mBatchCount = std::min(count, kBatchEvents);
        mBatchRead = 0;
        mEnded = mBatchCount == 0;
    }
    if (mBatchRead == mBatchCount)
        return Point();
    const uint8_t* record = mBatch.data() + static_cast<size_t>(mBatchRead++) * mEventSize;
    int32_t tick = 0;
    double value = 0.0;
    std::memcpy(&tick, record, sizeof tick);
    std::memcpy(&value, record + 8, sizeof value);
    return Point{tick, value, true};
}

void EventInterpEnum::AdvanceTo(int64_t tick)
{
    if (!mStarted || (mPrev.valid && tick < mPrev.tick))
        Rewind();
    while (mNext.valid && mNext.tick <= tick) {
        mPrev = mNext;
        mNext = Fetch();
    }
}

double EventInterpEnum::ValueAt(int64_t tick) const
{
    if (!mPrev.valid)
        return std::numeric_limits<double>::quiet_NaN();
    if (mMode == 0 || !mNext.valid || mNext.tick == mPrev.tick)
        return mPrev.value;
    const double t = static_cast<double>(tick - mPrev.tick) / static_cast<double>(mNext.tick - mPrev.tick);
    return mPrev.value + t * (mNext.value - mPrev.value);
}

void EventInterpEnum::Compute(float* out, const float* const*, int32_t position, uint32_t n)
{
    if (!mSource) {
        std::fill(out, out + n, std::numeric_limits<float>::quiet_NaN());
        return;
    }
    uint32_t i = 0;
    while (i < n) {
        const int64_t tick = int64_t(position) + i;
        AdvanceTo(tick);
        // Samples up to the next event share prev and next.
        const int64_t runEnd = mNext.valid ? std::min<int64_t>(mNext.tick, int64_t(position) + n) : int64_t(position) + n;
        for (; int64_t(position) + i < runEnd; ++i)
            out[i] = static_cast<float>(ValueAt(int64_t(position) + i));
    }
}

}  // namespace HostCalc
