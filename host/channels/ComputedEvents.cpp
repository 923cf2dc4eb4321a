#include "host/channels/ComputedEvents.h"

#include <algorithm>
#include <cstring>

namespace Host {

namespace {

constexpr int32_t kNoTick = 0x7FFFFFFF;
// Events asked for at a time while reading a stream whole.
constexpr uint32_t kBatch = 64;

}  // namespace

int32_t ComputedEvents::TickAt(size_t index) const
{
    int32_t tick = 0;
    std::memcpy(&tick, bytes.data() + index * size_t(size), sizeof tick);
    return tick;
}

HRESULT ReadAllEvents(IEnumEventEx& stream, int32_t endTick, ComputedEvents& out)
{
    out = ComputedEvents{};
    int32_t size = 0;
    if (stream.GetSizeofEvents(&size) != KVD_S_OK || size < int32_t(sizeof(int32_t)))
        return KVD_E_BADSTATE;
    out.size = size;
    stream.GetTypeofEvents(&out.type);
    std::vector<uint8_t> batch(size_t(size) * kBatch);
    for (;;) {
        uint32_t count = 0;
        int32_t position = 0;
        const HRESULT hr = stream.Next(uint32_t(batch.size()), endTick, batch.data(), &count, &position);
        if (hr != KVD_S_OK && hr != KVD_S_FALSE)
            return hr;
        count = std::min(count, kBatch);
        out.bytes.insert(out.bytes.end(), batch.begin(), batch.begin() + ptrdiff_t(count) * size);
        if (count == 0)
            return KVD_S_OK;
    }
}

KVD::COMPtr<ComputedEventStream> ComputedEventStream::Create(std::shared_ptr<const ComputedEvents> events,
                                                             int32_t start, int32_t endTick, Source latest)
{
    auto stream = KVD::MakeCounted<ComputedEventStream>(std::move(events), endTick, std::move(latest));
    stream->MoveTo(start);
    return stream;
}

ComputedEventStream::ComputedEventStream(std::shared_ptr<const ComputedEvents> events, int32_t endTick,
                                         Source latest)
    : mEvents(std::move(events)), mLatest(std::move(latest)), mEnd(endTick)
{
}

size_t ComputedEventStream::IndexAt(int32_t tick) const
{
    size_t index = 0;
    while (index < mEvents->Count() && mEvents->TickAt(index) < tick)
        ++index;
    return index;
}

void ComputedEventStream::MoveTo(int32_t tick)
{
    mFrom = tick;
    mIndex = IndexAt(tick);
}

void ComputedEventStream::Follow()
{
    if (!mLatest)
        return;
    std::shared_ptr<const ComputedEvents> latest = mLatest();
    if (latest == nullptr || latest == mEvents || latest->size != mEvents->size)
        return;
    // Past the last event read, or where the stream was positioned when it read none.
    int32_t next = mFrom;
    if (mIndex < mEvents->Count())
        next = mEvents->TickAt(mIndex);
    else if (mIndex > 0)
        next = std::max(mFrom, mEvents->TickAt(mIndex - 1) + 1);
    mEvents = std::move(latest);
    mIndex = IndexAt(next);
}

int32_t ComputedEventStream::PositionTick() const
{
    return mIndex < mEvents->Count() && mEvents->TickAt(mIndex) < mEnd ? mEvents->TickAt(mIndex) : kNoTick;
}

HRESULT ComputedEventStream::Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count,
                                  int32_t* position)
{
    if (buffer == nullptr || count == nullptr)
        return KVD_E_POINTER;
    *count = 0;
    if (mIndex >= mEvents->Count())
        Follow();
    const int32_t limit = std::min(endTick, mEnd);
    const size_t size = size_t(mEvents->size);
    while (mIndex < mEvents->Count() && mEvents->TickAt(mIndex) < limit && (*count + 1) * size <= bytes) {
        std::memcpy(buffer + *count * size, mEvents->bytes.data() + mIndex * size, size);
        ++mIndex;
        ++*count;
    }
    if (position != nullptr)
        *position = PositionTick();
    return PositionTick() == kNoTick ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT ComputedEventStream::Find(EventFindTypes, int32_t from, int32_t, int32_t limit)
{
    mEnd = limit;
    Follow();
    MoveTo(from);
    return PositionTick() == kNoTick ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT ComputedEventStream::GetPosition(int32_t* position)
{
    if (position == nullptr)
        return KVD_E_POINTER;
    *position = PositionTick();
    return KVD_S_OK;
}

HRESULT ComputedEventStream::SkipIndex(int32_t count, int32_t* skipped)
{
    const auto target = std::clamp<int64_t>(int64_t(mIndex) + count, 0, int64_t(mEvents->Count()));
    if (skipped != nullptr)
        *skipped = int32_t(target - int64_t(mIndex));
    mIndex = size_t(target);
    return KVD_S_OK;
}

HRESULT ComputedEventStream::Clone(IEnumEventEx** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto copy = KVD::MakeCounted<ComputedEventStream>(mEvents, mEnd, mLatest);
    copy->mIndex = mIndex;
    copy->mFrom = mFrom;
    *out = copy.Forget();
    return KVD_S_OK;
}

HRESULT ComputedEventStream::GetSizeofEvents(int32_t* size)
{
    if (size == nullptr)
        return KVD_E_POINTER;
    *size = mEvents->size;
    return KVD_S_OK;
}

HRESULT ComputedEventStream::GetTypeofEvents(TCAFId* type)
{
    if (type == nullptr)
        return KVD_E_POINTER;
    *type = mEvents->type;
    return KVD_S_OK;
}

HRESULT ComputedEventStream::GetIndex(int32_t* index)
{
    if (index == nullptr)
        return KVD_E_POINTER;
    *index = int32_t(mIndex);
    return KVD_S_OK;
}

HRESULT ComputedEventStream::GetTickToSample(TTickToSample* map)
{
    if (map == nullptr)
        return KVD_E_POINTER;
    *map = TTickToSample{1, 0};
    return KVD_S_OK;
}

}  // namespace Host
