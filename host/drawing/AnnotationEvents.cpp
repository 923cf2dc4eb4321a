#include "host/drawing/AnnotationEvents.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "foundation/KVDString.h"

namespace Host {

namespace {

class AnnotationComment final : public KVD::detail::CountedUnknown<IOrrelComment> {
public:
    AnnotationComment(KVDPosition position, std::string text) : mPosition(position), mText(std::move(text)) {}

    HRESULT GetPosition(KVDPosition* position) const override
    {
        if (position == nullptr)
            return KVD_E_POINTER;
        *position = mPosition;
        return KVD_S_OK;
    }
    HRESULT GetChannel(int32_t* channel) const override
    {
        if (channel == nullptr)
            return KVD_E_POINTER;
        *channel = kAllChannelsComment;  // an EDF+ annotation belongs to the whole recording
        return KVD_S_OK;
    }
    HRESULT GetText(IAutoKVDString** text) const override
    {
        if (text == nullptr)
            return KVD_E_POINTER;
        KVD::ToKVDString(mText).GetOut(text);
        return KVD_S_OK;
    }

private:
    KVDPosition mPosition;
    std::string mText;
};

}  // namespace

IOrrelComment* CommentOfAnnotation(const Recording& recording, const Annotation& note)
{
    double recordStart = 0.0;
    for (size_t r = 0; r < recording.RecordCount(); ++r) {
        const uint32_t ticks = recording.Record(r).ticks;
        const double at = std::floor((note.onset - recordStart) * recording.TickRate());
        if (at >= 0.0 && at < ticks) {
            return KVD::MakeCounted<AnnotationComment>(KVDPosition{uint32_t(at), int32_t(r)}, note.text).Forget();
        }
        recordStart += ticks * recording.SecondsPerTick();
    }
    return nullptr;
}

std::vector<KVDEventBase> AnnotationEventsOf(const Recording& recording, int32_t record)
{
    std::vector<KVDEventBase> events;
    if (record < 0 || size_t(record) >= recording.RecordCount())
        return events;
    double recordStart = 0.0;
    for (int32_t r = 0; r < record; ++r)
        recordStart += recording.Record(size_t(r)).ticks * recording.SecondsPerTick();
    const double ticks = recording.Record(size_t(record)).ticks;
    std::map<std::string, double> numbers;
    for (const Annotation& note : recording.Annotations()) {
        const double at = (note.onset - recordStart) * recording.TickRate();
        const double number = numbers.emplace(note.text, double(numbers.size())).first->second;
        if (at < 0.0 || at >= ticks)
            continue;
        const double whole = std::floor(at);
        events.push_back({int32_t(whole), float(at - whole), number});
    }
    std::stable_sort(events.begin(), events.end(), [](const KVDEventBase& a, const KVDEventBase& b) {
        return a.tick < b.tick || (a.tick == b.tick && a.fraction < b.fraction);
    });
    return events;
}

AnnotationEvents* AnnotationEvents::Create(std::shared_ptr<const std::vector<KVDEventBase>> events, int32_t start,
                                           int32_t endTick, TCAFId type)
{
    auto stream = KVD::MakeCounted<AnnotationEvents>(std::move(events), endTick, type);
    stream->MoveTo(start);
    return stream.Forget();
}

AnnotationEvents::AnnotationEvents(std::shared_ptr<const std::vector<KVDEventBase>> events, int32_t endTick,
                                   TCAFId type)
    : mEvents(std::move(events)), mEnd(endTick), mType(type)
{
}

void AnnotationEvents::MoveTo(int32_t tick)
{
    mIndex = size_t(std::lower_bound(mEvents->begin(), mEvents->end(), tick,
                                     [](const KVDEventBase& e, int32_t t) { return e.tick < t; }) -
                    mEvents->begin());
}

int32_t AnnotationEvents::PositionTick() const
{
    return mIndex < mEvents->size() && (*mEvents)[mIndex].tick < mEnd ? (*mEvents)[mIndex].tick : 0x7FFFFFFF;
}

HRESULT AnnotationEvents::Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count, int32_t* position)
{
    if (buffer == nullptr || count == nullptr)
        return KVD_E_POINTER;
    *count = 0;
    const int32_t limit = std::min(endTick, mEnd);
    while (mIndex < mEvents->size() && (*mEvents)[mIndex].tick < limit &&
           (*count + 1) * sizeof(KVDEventBase) <= bytes) {
        std::memcpy(buffer + *count * sizeof(KVDEventBase), &(*mEvents)[mIndex++], sizeof(KVDEventBase));
        ++*count;
    }
    if (position != nullptr)
        *position = PositionTick();
    return PositionTick() == 0x7FFFFFFF ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT AnnotationEvents::Find(EventFindTypes, int32_t from, int32_t, int32_t limit)
{
    mEnd = limit;
    MoveTo(from);
    return PositionTick() == 0x7FFFFFFF ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT AnnotationEvents::GetPosition(int32_t* position)
{
    if (position == nullptr)
        return KVD_E_POINTER;
    *position = PositionTick();
    return KVD_S_OK;
}

HRESULT AnnotationEvents::SkipIndex(int32_t count, int32_t* skipped)
{
    const auto target = std::clamp<int64_t>(int64_t(mIndex) + count, 0, int64_t(mEvents->size()));
    if (skipped != nullptr)
        *skipped = int32_t(target - int64_t(mIndex));
    mIndex = size_t(target);
    return KVD_S_OK;
}

HRESULT AnnotationEvents::Clone(IEnumEventEx** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto copy = KVD::MakeCounted<AnnotationEvents>(mEvents, mEnd, mType);
    copy->mIndex = mIndex;
    *out = copy.Forget();
    return KVD_S_OK;
}

HRESULT AnnotationEvents::GetSizeofEvents(int32_t* size)
{
    if (size == nullptr)
        return KVD_E_POINTER;
    *size = int32_t(sizeof(KVDEventBase));
    return KVD_S_OK;
}

HRESULT AnnotationEvents::GetTypeofEvents(TCAFId* type)
{
    if (type == nullptr)
        return KVD_E_POINTER;
    *type = mType;
    return KVD_S_OK;
}

HRESULT AnnotationEvents::GetIndex(int32_t* index)
{
    if (index == nullptr)
        return KVD_E_POINTER;
    *index = int32_t(mIndex);
    return KVD_S_OK;
}

HRESULT AnnotationEvents::GetTickToSample(TTickToSample* map)
{
    if (map == nullptr)
        return KVD_E_POINTER;
    *map = TTickToSample{1, 0};
    return KVD_S_OK;
}

}  // namespace Host
