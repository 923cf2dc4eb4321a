#include "host/drawing/AnnotationEvents.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include "foundation/KVDString.h"
#include "host/channels/ComputedEvents.h"

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

KVD::COMPtr<IEnumEventEx> AnnotationStream(const std::vector<KVDEventBase>& events, int32_t start, int32_t endTick,
                                           TCAFId type)
{
    auto records = std::make_shared<ComputedEvents>();
    records->size = int32_t(sizeof(KVDEventBase));
    records->type = type;
    records->bytes.resize(events.size() * sizeof(KVDEventBase));
    if (!events.empty())
        std::memcpy(records->bytes.data(), events.data(), records->bytes.size());
    return ComputedEventStream::Create(std::move(records), start, endTick);
}

}  // namespace Host
