// What a record data offers trace drawing, for any record data: its pixel maps, poly-line
// enumerators and (for a recording's annotations) event streams.
#pragma once

#include <memory>

#include "DataScaling.h"
#include "IEnumEventEx.h"
#include "IPolyLineEnumEx.h"
#include "IRecordData.h"
#include "IRecordDataPixMap.h"
#include "host/data/Recording.h"

namespace Host {

// The record data of a recording on its own, outside any document, with one reference: what a
// display or a benchmark draws from. Its header and the drawing layer's can share a file.
IRecordData* CreateRecordingData(std::shared_ptr<const Recording> recording);

HRESULT CreateRecordPixMap(IRecordData& records, IRecordDataPixMap** out);
HRESULT CreatePolyLineEnum(const IRecordData& records, uint32_t flags, int32_t channel, const int64_t* pair,
                           int64_t maxTick, int64_t startPixel, int32_t record, const DataScaling* scaling,
                           IPolyLineEnumEx** out);
// The annotations of the record from start up to endTick; KVD_S_FALSE and null for any other
// channel than kAnnotationChannel.
HRESULT CreateAnnotationStream(const Recording& recording, TChannelId channel, KVDPosition start, uint32_t endTick,
                               IEnumEventEx** out);

}  // namespace Host
