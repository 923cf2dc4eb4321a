#include "host/drawing/DrawingServices.h"

#include "host/data/DocumentData.h"
#include "host/drawing/AnnotationEvents.h"
#include "host/drawing/DrawingClasses.h"
#include "host/drawing/PolyLineEnum.h"
#include "host/drawing/RecordPixMap.h"

namespace Host {

IRecordData* CreateRecordingData(std::shared_ptr<const Recording> recording)
{
    return static_cast<IRecordData*>(DocumentData::Create(std::move(recording)));
}

HRESULT CreateRecordPixMap(IRecordData& records, IRecordDataPixMap** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = RecordPixMap::Create(&records);
    return KVD_S_OK;
}

HRESULT CreatePolyLineEnum(const IRecordData& records, uint32_t flags, int32_t channel, const int64_t* pair,
                           int64_t maxTick, int64_t startPixel, int32_t record, const DataScaling* scaling,
                           IPolyLineEnumEx** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (pair == nullptr || scaling == nullptr)
        return KVD_E_POINTER;
    const PolyLineEnum::Setup setup{TChannelId{channel, flags}, record, pair[0], pair[1], maxTick, startPixel, *scaling};
    *out = PolyLineEnum::Create(records, setup);
    return *out == nullptr ? KVD_E_BADSTATE : KVD_S_OK;
}

HRESULT CreateAnnotationStream(const Recording& recording, TChannelId channel, KVDPosition start, uint32_t endTick,
                               IEnumEventEx** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (channel.channel != kAnnotationChannel)
        return KVD_S_FALSE;
    if (start.record < 0 || size_t(start.record) >= recording.RecordCount())
        return KVD_E_BADSTATE;
    AnnotationStream(AnnotationEventsOf(recording, start.record), int32_t(start.tick), int32_t(endTick & 0x7FFFFFFF),
                     AnnotationDrawClassTypeId())
        .GetOut(out);
    return KVD_S_OK;
}

}  // namespace Host
