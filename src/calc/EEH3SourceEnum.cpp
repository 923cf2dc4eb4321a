#include "calc/EEH3SourceEnum.h"

#include <algorithm>

#include "ICalcEnum.h"
#include "calc/SourcePositioning.h"

namespace EEH3 {
namespace {

// Asks for a block's cache lines all at once, as a copy of it would: the detectors step through
// it a few samples at a time, too slowly for the processor to fetch ahead on its own.
void Prefetch(const float* samples, uint32_t count)
{
    constexpr uint32_t kLine = 64 / sizeof(float);
    for (uint32_t k = 0; k < count; k += kLine)
        __builtin_prefetch(samples + k);
}

}  // namespace

bool eeh_SourceEnum::IsValid()
{
    if (mExhausted)
        return false;
    if (!storeready())
        Fill();
    return !mExhausted && storeready();
}

FloatExWrapper::FloatExWrapper(IEnumFloatEx* source)
    : mSource(source), mInPlace(KVD::com_cast(source)), mBuffer(kBlock), mBlock(mBuffer.data())
{
    mBufferTick = SourcePosition();
}

int32_t FloatExWrapper::SourcePosition() const
{
    int32_t position = 0;
    if (mSource)
        mSource->GetPosition(&position);
    return position;
}

int32_t FloatExWrapper::GetPosition() const
{
    if (!mSource || storeready())
        return mBufferTick + static_cast<int32_t>(mRead);
    return std::min(mBufferTick + static_cast<int32_t>(mCount), mEndTick);
}

void FloatExWrapper::Fill()
{
    const int32_t position = mBufferTick + static_cast<int32_t>(mCount);
    mBufferTick = position;
    clearstore();
    if (position >= mEndTick) {
        MarkExhausted(false);
        return;
    }
    const uint32_t wanted = static_cast<uint32_t>(std::min<int64_t>(int64_t(mEndTick) - position, kBlock));
    mCount = std::min(ReadBlock(wanted), wanted);
    // A source that delivers nothing has ended, whatever it answers: asking again would loop.
    if (mCount == 0)
        MarkExhausted(true);
}

uint32_t FloatExWrapper::ReadBlock(uint32_t wanted)
{
    uint32_t delivered = 0;
    if (mInPlace != nullptr) {
        const float* samples = nullptr;
        if (mInPlace->NextInPlace(wanted, &samples, &delivered) != KVD_E_NOTIMPL && samples != nullptr) {
            mBlock = samples;
            Prefetch(samples, delivered);
            return delivered;
        }
        mInPlace.Clear();
        delivered = 0;
    }
    mBlock = mBuffer.data();
    mSource->Next(wanted, mBuffer.data(), &delivered);
    return delivered;
}

void FloatExWrapper::Advance()
{
    if (!mSource) {
        ++mBufferTick;
        return;
    }
    if (storeready())
        ++mRead;
    if (!storeready() && !mExhausted)
        Fill();
}

bool FloatExWrapper::IsValid() { return !mSource || eeh_SourceEnum::IsValid(); }

void FloatExWrapper::MoveTo(int32_t tick)
{
    if (!mSource) {
        mBufferTick = tick;
        return;
    }
    if (tick >= mEndTick) {
        clearstore();
        mBufferTick = mEndTick;
        MarkExhausted(false);
        return;
    }
    MarkAvailable();
    if (mCount > 0 && tick >= mBufferTick && tick < mBufferTick + static_cast<int32_t>(mCount)) {
        mRead = static_cast<uint32_t>(tick - mBufferTick);
        return;
    }
    const int32_t position = SourcePosition();
    int32_t skipped = 0;
    if (tick != position)
        mSource->SkipEx(tick - position, &skipped);
    clearstore();
    mBufferTick = position + skipped;
}

HRESULT FloatExWrapper::SetInitialPosition(int32_t tick)
{
    clearstore();
    MarkAvailable();
    mBufferTick = tick;
    if (!mSource)
        return KVD_S_OK;
    const HRESULT hr = CalcEnums::PositionSource(mSource.get(), tick);
    mBufferTick = SourcePosition();
    return hr;
}

HRESULT FloatExWrapper::GetTickToSample(TTickToSample* map) const
{
    if (map == nullptr)
        return KVD_E_POINTER;
    if (!mSource) {
        *map = {1, 0};
        return KVD_S_OK;
    }
    return mSource->GetTickToSample(map);
}

EventWrapper::EventWrapper(IEnumEventEx* source, uint32_t batch, int32_t expectedSize) : mBatch(batch)
{
    int32_t size = 0;
    if (source != nullptr)
        source->GetSizeofEvents(&size);
    if (size < static_cast<int32_t>(sizeof(EventHeader)) || (expectedSize != 0 && size != expectedSize))
        return;
    mSource = source;
    mSize = size;
    mBuffer.resize((static_cast<size_t>(size) * batch + sizeof(double) - 1) / sizeof(double));
    mSource->GetPosition(&mSourcePosition);
}

int32_t EventWrapper::TickAt(uint32_t index) const
{
    return reinterpret_cast<const EventHeader*>(reinterpret_cast<const uint8_t*>(mBuffer.data()) + index * mSize)->tick;
}

int32_t EventWrapper::GetPosition() const
{
    if (!mSource || mExhausted)
        return kNoTick;
    return storeready() ? TickAt(mRead) : mSourcePosition;
}

void EventWrapper::Fill()
{
    clearstore();
    if (!mSource) {
        MarkExhausted(true);
        return;
    }
    uint32_t count = 0;
    int32_t position = mSourcePosition;
    const HRESULT hr = mSource->Next(mBatch * static_cast<uint32_t>(mSize), mEndTick,
                                     reinterpret_cast<uint8_t*>(mBuffer.data()), &count, &position);
    mSourcePosition = position;
    mCount = std::min(count, mBatch);
    if (mCount == 0 && (position >= mAnalysisEnd || hr != KVD_S_OK))
        MarkExhausted(hr != KVD_S_OK || position == kNoTick);
}

void EventWrapper::Advance()
{
    if (storeready())
        ++mRead;
    if (!storeready() && !mExhausted)
        Fill();
}

void EventWrapper::MoveTo(int32_t tick)
{
    if (!mSource)
        return;
    if (tick >= mEndTick) {
        MarkExhausted(false);
        return;
    }
    MarkAvailable();
    if (mCount > 0 && tick >= TickAt(0) && tick <= TickAt(mCount - 1)) {
        mRead = 0;
        while (TickAt(mRead) < tick)
            ++mRead;
        return;
    }
    clearstore();
    mSource->Find(0, tick, 0, tick + 1);
    mSource->GetPosition(&mSourcePosition);
    if (mSourcePosition == kNoTick)
        MarkExhausted(true);
}

HRESULT EventWrapper::SetInitialPosition(int32_t tick)
{
    clearstore();
    MarkAvailable();
    if (!mSource)
        return KVD_S_OK;
    KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(mSource.get());
    const HRESULT hr = calc ? calc->SetInitialPosition(tick) : mSource->Find(0, tick, tick, tick + 1);
    mSourcePosition = tick;
    return hr;
}

HRESULT EventWrapper::GetTickToSample(TTickToSample* map) const
{
    if (map == nullptr)
        return KVD_E_POINTER;
    if (!mSource) {
        *map = {1, 0};
        return KVD_S_OK;
    }
    return mSource->GetTickToSample(map);
}

}  // namespace EEH3
