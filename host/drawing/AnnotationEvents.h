// A recording's annotations as the event stream of its event channel: one 16-byte event per
// annotation at the tick of its onset, whose value numbers the annotation's text (annotations
// with the same text share a number, and so a colour). Their type names the event-draw class
// that colours them.
#pragma once

#include <vector>

#include "IEnumEventEx.h"
#include "IOrrelComment.h"
#include "foundation/ConstEventIterBase.h"
#include "foundation/COMPtr.h"
#include "host/data/Recording.h"

namespace Host {

// The events of a record of the recording, in time order.
std::vector<KVDEventBase> AnnotationEventsOf(const Recording& recording, int32_t record);

// An annotation as a comment on all channels, at its onset's record and tick; null for an
// onset outside the records. With one reference.
IOrrelComment* CommentOfAnnotation(const Recording& recording, const Annotation& note);

// A stream over a record's annotation events from start up to (not including) endTick, typed
// for the event-draw class that colours them.
KVD::COMPtr<IEnumEventEx> AnnotationStream(const std::vector<KVDEventBase>& events, int32_t start, int32_t endTick,
                                           TCAFId type);

}  // namespace Host
