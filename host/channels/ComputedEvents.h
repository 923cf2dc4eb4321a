// The events a calculation computed over one record, kept as the enumerator delivered them
// (records of its own size and type), and the event stream that reads them back. Streams share
// the block, so a stream outlives a recomputation. A stream given where the record's latest
// events come from reads on into them: a record still being sampled has its events computed
// again as it grows, and a display keeps its stream between draws.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "IEnumEventEx.h"
#include "foundation/UnknownImp.h"

namespace Host {

struct ComputedEvents {
    int32_t size = 0;  // bytes per event; every event starts with its int32 tick
    TCAFId type = 0;   // the events' type, which names their draw class
    std::vector<uint8_t> bytes;

    size_t Count() const { return size > 0 ? bytes.size() / size_t(size) : 0; }
    int32_t TickAt(size_t index) const;
};

// Every event the stream gives before endTick, in its order.
HRESULT ReadAllEvents(IEnumEventEx& stream, int32_t endTick, ComputedEvents& out);

class ComputedEventStream final : public SimpleUnknownImp1<IEnumEventEx, 0> {
public:
    // The record's events as they are now; null when there are none to give.
    using Source = std::function<std::shared_ptr<const ComputedEvents>()>;

    // A new stream over the events from start up to (not including) endTick. With a source, the
    // stream takes the latest events whenever it is positioned (Find) and when it has read all
    // it holds.
    static KVD::COMPtr<ComputedEventStream> Create(std::shared_ptr<const ComputedEvents> events, int32_t start,
                                                   int32_t endTick, Source latest = nullptr);

    HRESULT Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count, int32_t* position) override;
    // Positions at the first event at or after from, before limit.
    HRESULT Find(EventFindTypes type, int32_t from, int32_t lowest, int32_t limit) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT SkipIndex(int32_t count, int32_t* skipped) override;
    HRESULT Clone(IEnumEventEx** out) override;
    HRESULT GetSizeofEvents(int32_t* size) override;
    HRESULT GetTypeofEvents(TCAFId* type) override;
    HRESULT GetIndex(int32_t* index) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

private:
    ComputedEventStream(std::shared_ptr<const ComputedEvents> events, int32_t endTick, Source latest);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    void MoveTo(int32_t tick);
    // The index of the first event at or after tick.
    size_t IndexAt(int32_t tick) const;
    int32_t PositionTick() const;
    // Takes the source's latest events, going on from the event the stream stands at.
    void Follow();

    std::shared_ptr<const ComputedEvents> mEvents;
    Source mLatest;
    size_t mIndex = 0;
    int32_t mFrom = 0;  // the tick the stream was last positioned at
    int32_t mEnd;
};

}  // namespace Host
