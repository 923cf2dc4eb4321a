// The data of a host data document as the plug-in reaches it: one object that answers
// IOrrelData2, IRecordData, IOrrelSetCalcData and IKVDChannelInfo over the document's channel
// table, IKVDCalcVariablesAccess with the document's calculation variables, and IRecordDataTimes
// with when its records started.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "IKVDCalcVariablesAccess.h"
#include "IKVDChannelInfo.h"
#include "IOrrelData2.h"
#include "IOrrelComment.h"
#include "IRecordData.h"
#include "IRecordDataObserver.h"
#include "IRecordDataServices.h"
#include "IRecordDataTimes.h"
#include "ISetVirtualChans.h"
#include "foundation/UnknownImp.h"
#include "host/channels/VirtualChannels.h"
#include "host/data/ChannelTable.h"

namespace Host {

class DocumentData final
    : public KVD::detail::CountedUnknown<IOrrelData2, IRecordData, IOrrelSetCalcData, IKVDChannelInfo,
                                         IKVDCalcVariablesAccess, IRecordDataSubject, IRecordDataServices,
                                         IRecordDataTimes, ISetVirtualChans> {
public:
    // A new data object over the recording, with one reference.
    static DocumentData* Create(std::shared_ptr<const Recording> recording);

    ChannelTable& Channels() { return mChannels; }
    VirtualChannels& Virtual() { return mVirtual; }
    // Called after the data changed under a computed channel (a calculation put on, changed or
    // taken off): the document tells its observers.
    void SetDataChangedHandler(std::function<void()> handler) { mDataChanged = std::move(handler); }
    // Tells the record observers that the recording changed (what: kRecordDataGrown, ...).
    void NotifyRecordObservers(uint32_t what);
    // Tells the record observers that follow comments (ICommentsObserver) of a comment added,
    // changed or removed, such as an annotation the host put into the recording.
    void NotifyComment(uint32_t aspect, IOrrelComment* comment);
    // Lets go of the calculations before the document goes.
    void Close()
    {
        mVirtual.ReleaseCalculations();
        mChannels.ReleaseCalculations();
    }

    // IOrrelData2
    HRESULT GetRecordData(IRecordData** records) override;
    HRESULT GetChannelUnit(int record, TChannelId channel, IUnitName** unit) override;
    HRESULT GetChannelCalculation(TChannelId channel, IOffLineData** calculation) override;
    HRESULT GetRecordWindowStart(KVDPosition position, int32_t* tick) override;

    // IRecordData
    HRESULT GetRecordCount(int* count) const override;
    HRESULT GetRecordTicks(int record, uint32_t* ticks) const override;
    HRESULT GetSecsPerTick(int record, double* secs) const override;
    HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumFloatEx** out) const override;
    HRESULT GetChannelUnitName(int record, TChannelId channel, IUnitName** name) const override;
    HRESULT GetUnitsConversion(int record, TChannelId channel, IUnitsConversion** units) const override;
    HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const override;
    HRESULT GetRecordEnd(int record, KVDPosition* end) const override;
    HRESULT GetChannelTitle(TChannelId channel, IAutoKVDString** title) const override;
    HRESULT GetShortStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumShortEx** out) const override;
    HRESULT GetPositionTimes(uint32_t count, const KVDPosition* positions, double* seconds) const override;
    HRESULT GetChannelObject(int record, TChannelId channel, IRecordChannel** out) const override;
    HRESULT GetSample(TChannelId channel, KVDPosition position, float* value) const override;
    HRESULT GetRange(TChannelId channel, KVDPosition from, KVDPosition to, double* maximum,
                     double* minimum) const override;
    HRESULT GetDataScaling(int record, TChannelId channel, double* scale, double* offset) const override;
    HRESULT ResolvePosition(uint32_t flags, KVDPosition* position) const override;
    HRESULT GetSampleIndex(TChannelId channel, KVDPosition position, int64_t* index) const override;
    // A recording's annotations are its one event channel (kAnnotationChannel); a virtual
    // channel computed as events gives those.
    HRESULT GetEventStream(TChannelId channel, uint32_t kind, KVDPosition start, uint32_t endTick,
                           IEnumEventEx** out) const override;
    HRESULT CreatePixMap(uint32_t number, IRecordDataPixMap** out) const override;
    HRESULT CreatePolyLineEnum(uint32_t flags, int32_t channel, const int64_t* pair, int64_t maxTick,
                               int64_t startPixel, int32_t record, const DataScaling* scaling, uint32_t polyLineType,
                               IPolyLineEnumEx** out) const override;
    KVD_RESERVED_SLOTS_NOTIMPL(23, 56)
    HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const override;
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)
    HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const override;

    // IRecordDataServices: the data itself and new monitoring records of its channels; the
    // document's own data takes no storage and no view sinks (its views hear the document).
    HRESULT GetRecordData(uint32_t flags, IRecordData** out) override;
    HRESULT CreateRecord(uint32_t flags, IRecordData** out) override;
    HRESULT AttachStorage(uint32_t, IStorage*) override { return KVD_E_NOTIMPL; }
    HRESULT AddViewSink(IOrrelDataSink*) override { return KVD_E_NOTIMPL; }
    HRESULT RemoveViewSink(IOrrelDataSink*) override { return KVD_E_NOTIMPL; }

    // IOrrelSetCalcData
    HRESULT GetCalculation(uint64_t channelKey, ICalculation** calculation) override;
    HRESULT SetCalculation(TChannelId channel, ICalculation* calculation) override;
    HRESULT ChannelChanged(TChannelId channel, BlockUpdateType update, IOffLineData* calculation) override;
    HRESULT CreateUnitsConversion(const DataScaling* scaling, IAutoKVDString* unit, IUnitsConversion** out) override;
    KVD_RESERVED_SLOTS_NOTIMPL(7, 11)
    HRESULT GetData(IOrrelData2** data) override;

    // IRecordDataSubject: an observer attached twice is told once.
    HRESULT AttachRecordObserver(IRecordDataObserver* observer, uint32_t flags) override;
    HRESULT DetachRecordObserver(IRecordDataObserver* observer) override;

    // IKVDChannelInfo: channels by title (case-insensitive), each a channel of samples.
    HRESULT FindChannel(int32_t selector, IAutoKVDString* name, TChannelId* id, KVDEnumDataType* kind,
                        int32_t reserved, TChannelId own) override;
    HRESULT GetChannelDataType(int32_t selector, TChannelId channel, KVDEnumDataType* kind, int32_t reserved,
                               TChannelId own) override;

    // ISetVirtualChans: channels of kind 4, named "VCh1", "VCh2", ... after their formula token.
    HRESULT AddVirtualChannel(uint32_t flags, uint16_t kind, uint32_t reserved, IAutoKVDString** name,
                              TChannelId* channel) override;

    // IKVDCalcVariablesAccess: one set of variables serves every channel's formulas.
    HRESULT GetCalcVariables(uint32_t flags, TChannelId channel, IKVDCalcVariables** out) override;

    // IRecordDataTimes: the recording's start and the records end to end from it.
    HRESULT GetRecordStartTime(int32_t record, double* time, double* toUniversal) override;

private:
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    explicit DocumentData(std::shared_ptr<const Recording> recording);

    // The position with an end-of-record tick replaced by the record's tick count; false when
    // it names no place in the data.
    bool Resolve(KVDPosition& position) const;
    int64_t AbsoluteTick(KVDPosition position) const;
    void DataChanged();

    mutable ChannelTable mChannels;  // computed samples are filled in on first read
    mutable VirtualChannels mVirtual;
    std::function<void()> mDataChanged;
    KVD::COMPtr<IKVDCalcVariables> mVariables;
    std::vector<IRecordDataObserver*> mRecordObservers;  // not counted
};

}  // namespace Host
