// A recording's annotations as the event stream of its event channel: one 16-byte event per
// annotation at the tick of its onset, whose value numbers the annotation's text (annotations
// with the same text share a number, and so a colour). Their type names the event-draw class
// that colours them.
#pragma once

#include <memory>
#include <vector>

#include "IEnumEventEx.h"
#include "IOrrelComment.h"
#include "foundation/ConstEventIterBase.h"
#include "foundation/UnknownImp.h"
#include "host/data/Recording.h"

namespace Host {

// The events of a record of the recording, in time order.
std::vector<KVDEventBase> AnnotationEventsOf(const Recording& recording, int32_t record);

// An annotation as a comment on all channels, at its onset's record and tick; null for an
// onset outside the records. With one reference.
IOrrelComment* CommentOfAnnotation(const Recording& recording, const Annotation& note);

class AnnotationEvents final : public SimpleUnknownImp1<IEnumEventEx, 0> {
public:
    // A new stream over the events from start up to (not including) endTick, with one reference.
    static AnnotationEvents* Create(std::shared_ptr<const std::vector<KVDEventBase>> events, int32_t start,
                                    int32_t endTick, TCAFId type);

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
    AnnotationEvents(std::shared_ptr<const std::vector<KVDEventBase>> events, int32_t endTick, TCAFId type);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    void MoveTo(int32_t tick);
    int32_t PositionTick() const;

    std::shared_ptr<const std::vector<KVDEventBase>> mEvents;
    size_t mIndex = 0;
    int32_t mEnd;
    TCAFId mType;
};

}  // namespace Host
