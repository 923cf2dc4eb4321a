// Live data of a document: a record data object that grows as the device manager samples into
// it (it is the manager's sink), relays each sampling call to the views that show it, and holds
// the temporary storage its owner gave it. Its records are those of its own sampling runs.
#pragma once

#include <memory>
#include <vector>

#include "IOrrelDataSink.h"
#include "IRecordData.h"
#include "IRecordDataServices.h"
#include "IStorage.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "host/data/DocumentData.h"
#include "host/data/Recording.h"

namespace Host {

class MonitoringRecord final
    : public KVD::detail::CountedUnknown<IRecordData, IRecordDataServices, IOrrelDataSink> {
public:
    // A new, empty record with these channels, with one reference.
    static MonitoringRecord* Create(double tickRate, std::vector<ChannelFormat> channels);

    const Recording& Samples() const { return *mRecording; }
    // Gives this record the document's computed channels (and its virtual ones), each computed
    // by a calculation of its own over the sampled data, as the document's are over its records.
    // The virtual channels follow the document's as they change, so that a dialog's preview
    // shows its new formula on the live data.
    void TakeCalculationsOf(DocumentData& document);
    IStorage* Storage() const { return mStorage.get(); }

    // IRecordData: the samples taken so far.
    HRESULT GetRecordCount(int* count) const override { return mData->GetRecordCount(count); }
    HRESULT GetRecordTicks(int record, uint32_t* ticks) const override { return mData->GetRecordTicks(record, ticks); }
    HRESULT GetSecsPerTick(int record, double* secs) const override { return mData->GetSecsPerTick(record, secs); }
    HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumFloatEx** out) const override
    {
        return mData->GetFloatStream(channel, start, endTick, out);
    }
    HRESULT GetChannelUnitName(int record, TChannelId channel, IUnitName** name) const override
    {
        return mData->GetChannelUnitName(record, channel, name);
    }
    HRESULT GetUnitsConversion(int record, TChannelId channel, IUnitsConversion** units) const override
    {
        return mData->GetUnitsConversion(record, channel, units);
    }
    HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const override
    {
        return mData->HasChannelData(record, channel, has);
    }
    HRESULT GetRecordEnd(int record, KVDPosition* end) const override { return mData->GetRecordEnd(record, end); }
    HRESULT GetChannelTitle(TChannelId channel, IAutoKVDString** title) const override
    {
        return mData->GetChannelTitle(channel, title);
    }
    HRESULT GetShortStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumShortEx** out) const override
    {
        return mData->GetShortStream(channel, start, endTick, out);
    }
    HRESULT GetPositionTimes(uint32_t count, const KVDPosition* positions, double* seconds) const override
    {
        return mData->GetPositionTimes(count, positions, seconds);
    }
    HRESULT GetChannelObject(int record, TChannelId channel, IRecordChannel** out) const override
    {
        return mData->GetChannelObject(record, channel, out);
    }
    HRESULT GetSample(TChannelId channel, KVDPosition position, float* value) const override
    {
        return mData->GetSample(channel, position, value);
    }
    HRESULT GetRange(TChannelId channel, KVDPosition from, KVDPosition to, double* maximum,
                     double* minimum) const override
    {
        return mData->GetRange(channel, from, to, maximum, minimum);
    }
    HRESULT GetDataScaling(int record, TChannelId channel, double* scale, double* offset) const override
    {
        return mData->GetDataScaling(record, channel, scale, offset);
    }
    HRESULT ResolvePosition(uint32_t flags, KVDPosition* position) const override
    {
        return mData->ResolvePosition(flags, position);
    }
    HRESULT GetSampleIndex(TChannelId channel, KVDPosition position, int64_t* index) const override
    {
        return mData->GetSampleIndex(channel, position, index);
    }
    HRESULT GetEventStream(TChannelId channel, uint32_t kind, KVDPosition start, uint32_t endTick,
                           IEnumEventEx** out) const override
    {
        return mData->GetEventStream(channel, kind, start, endTick, out);
    }
    HRESULT CreatePixMap(uint32_t number, IRecordDataPixMap** out) const override
    {
        return mData->CreatePixMap(number, out);
    }
    HRESULT CreatePolyLineEnum(uint32_t flags, int32_t channel, const int64_t* pair, int64_t maxTick,
                               int64_t startPixel, int32_t record, const DataScaling* scaling, uint32_t polyLineType,
                               IPolyLineEnumEx** out) const override
    {
        return mData->CreatePolyLineEnum(flags, channel, pair, maxTick, startPixel, record, scaling, polyLineType, out);
    }
    KVD_RESERVED_SLOTS_NOTIMPL(23, 56)
    HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const override
    {
        return mData->IsValidRange(left, right, valid);
    }
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)
    HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const override
    {
        return mData->GetAbsoluteTick(position, ticks);
    }

    // IRecordDataServices
    HRESULT GetRecordData(uint32_t flags, IRecordData** out) override;
    HRESULT CreateRecord(uint32_t flags, IRecordData** out) override;
    HRESULT AttachStorage(uint32_t flags, IStorage* storage) override;
    HRESULT AddViewSink(IOrrelDataSink* sink) override;
    HRESULT RemoveViewSink(IOrrelDataSink* sink) override;

    // IOrrelDataSink: each sampling run is a new record; views hear its number here.
    HRESULT PrepareForSampling(uint32_t block) override;
    HRESULT OnRecordStart(uint32_t block, AutoBool record) override;
    HRESULT AppendSamples(uint32_t block, uint32_t channels, uint32_t ticks, const float* samples) override;
    HRESULT Update(uint32_t block) override;
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* update) override;
    HRESULT CleanUpAfterSampling(AutoBool kept) override;

private:
    MonitoringRecord(double tickRate, std::vector<ChannelFormat> channels);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    uint32_t OwnBlock() const { return uint32_t(mRecording->RecordCount() - 1); }
    // A copy of the calculation, of its class and with its settings, on this record's channel.
    void Recalculate(ICalculation* calculation, TChannelId channel);
    // Copies the document's virtual calculations that changed since they were copied.
    void FollowVirtualChannels();
    // Runs call on a copy of the view sinks: a view may leave while it hears a call.
    template <class Call>
    void Relay(Call call);

    std::shared_ptr<Recording> mRecording;
    KVD::COMPtr<DocumentData> mData;
    KVD::COMPtr<IStorage> mStorage;
    std::vector<KVD::COMPtr<IOrrelDataSink>> mViews;
    std::vector<int16_t> mStored;  // scratch of AppendSamples
    KVD::COMPtr<DocumentData> mDocument;  // whose calculations this record computes, if any
    std::vector<int> mVirtualGenerations;  // of the document's virtual channels when copied
};

}  // namespace Host
