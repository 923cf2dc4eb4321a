// Record data whose every operation answers not implemented: a test double overrides only the
// operations its test reaches. Base gives the object its IUnknown (a HeapDouble or a
// StackObject of IRecordData).
#pragma once

#include "IRecordData.h"
#include "ReservedSlots.h"
#include "ResultCodes.h"

namespace TestSupport {

template <class Base>
class StubRecordData : public Base {
public:
    HRESULT GetRecordCount(int*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordTicks(int, uint32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSecsPerTick(int, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetFloatStream(TChannelId, KVDPosition, uint32_t, IEnumFloatEx**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelUnitName(int, TChannelId, IUnitName**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetUnitsConversion(int, TChannelId, IUnitsConversion**) const override { return KVD_E_NOTIMPL; }
    HRESULT HasChannelData(int, TChannelId, AutoBool*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordEnd(int, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelTitle(TChannelId, IAutoKVDString**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetShortStream(TChannelId, KVDPosition, uint32_t, IEnumShortEx**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetPositionTimes(uint32_t, const KVDPosition*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelObject(int, TChannelId, IRecordChannel**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSample(TChannelId, KVDPosition, float*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRange(TChannelId, KVDPosition, KVDPosition, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetDataScaling(int, TChannelId, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT ResolvePosition(uint32_t, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSampleIndex(TChannelId, KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetEventStream(TChannelId, uint32_t, KVDPosition, uint32_t, IEnumEventEx**) const override
    {
        return KVD_E_NOTIMPL;
    }
    HRESULT CreatePixMap(uint32_t, IRecordDataPixMap**) const override { return KVD_E_NOTIMPL; }
    HRESULT CreatePolyLineEnum(uint32_t, int32_t, const int64_t*, int64_t, int64_t, int32_t, const DataScaling*,
                               uint32_t, IPolyLineEnumEx**) const override
    {
        return KVD_E_NOTIMPL;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(23, 56)
    HRESULT IsValidRange(KVDPosition, KVDPosition, AutoBool*) const override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)
    HRESULT GetAbsoluteTick(KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }
};

}  // namespace TestSupport
