#include "host/data/DocumentData.h"

#include <algorithm>
#include <cmath>

#include "IEnumEventEx.h"
#include "calc/CalcVariablesImpl.h"
#include "foundation/KVDString.h"
#include "host/data/Adopt.h"
#include "host/data/ChannelUnits.h"
#include "host/data/SampleStream.h"
#include "host/drawing/DrawingServices.h"
#include "host/sampling/MonitoringRecord.h"

namespace Host {
namespace {

// Out-pointer checks shared by every operation.
template <class T>
bool Clear(T** out)
{
    if (out == nullptr)
        return false;
    *out = nullptr;
    return true;
}

template <class I>
HRESULT Give(const KVD::COMPtr<I>& held, I** out)
{
    held.GetOut(out);
    return held == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

}  // namespace

DocumentData* DocumentData::Create(std::shared_ptr<const Recording> recording)
{
    return KVD::MakeCounted<DocumentData>(std::move(recording)).Forget();
}

DocumentData::DocumentData(std::shared_ptr<const Recording> recording)
    : mChannels(std::move(recording)), mVariables(Adopt<IKVDCalcVariables>(CalcVariable::CalcVariablesImpl::Create()))
{
}

bool DocumentData::Resolve(KVDPosition& position) const
{
    if (!mChannels.IsRecord(position.record))
        return false;
    const uint32_t ticks = mChannels.Ticks(position.record);
    if (position.tick == kNoPositionTick)
        position.tick = ticks;
    return position.tick <= ticks;
}

int64_t DocumentData::AbsoluteTick(KVDPosition position) const
{
    int64_t ticks = position.tick;
    for (int r = 0; r < position.record; ++r)
        ticks += mChannels.Ticks(r);
    return ticks;
}

void DocumentData::DataChanged()
{
    mChannels.DropComputed();
    mVirtual.DropComputed();
    if (mDataChanged)
        mDataChanged();
}

// IOrrelData2 --------------------------------------------------------------------------------

HRESULT DocumentData::GetRecordData(IRecordData** records)
{
    if (records == nullptr)
        return KVD_E_POINTER;
    AddRef();
    *records = this;
    return KVD_S_OK;
}

// Record -2 asks for the unit the channel has in most records: every record here has the same.
HRESULT DocumentData::GetChannelUnit(int record, TChannelId channel, IUnitName** unit)
{
    return GetChannelUnitName(record == -2 ? 0 : record, channel, unit);
}

HRESULT DocumentData::GetChannelCalculation(TChannelId channel, IOffLineData** calculation)
{
    if (!Clear(calculation))
        return KVD_E_POINTER;
    ICalculation* calc = VirtualChannels::IsVirtual(channel) ? mVirtual.Calculation(channel.channel)
                                                             : mChannels.Calculation(channel.channel);
    return calc == nullptr ? KVD_S_FALSE
                           : calc->QueryInterface(IID_IOffLineData, reinterpret_cast<void**>(calculation));
}

HRESULT DocumentData::GetRecordWindowStart(KVDPosition position, int32_t* tick)
{
    if (tick == nullptr)
        return KVD_E_POINTER;
    if (!Resolve(position))
        return KVD_E_BADSTATE;
    *tick = 0;
    return KVD_S_OK;
}

// IRecordDataSubject ------------------------------------------------------------------------

HRESULT DocumentData::AttachRecordObserver(IRecordDataObserver* observer, uint32_t)
{
    if (observer == nullptr)
        return KVD_E_POINTER;
    if (std::find(mRecordObservers.begin(), mRecordObservers.end(), observer) == mRecordObservers.end())
        mRecordObservers.push_back(observer);
    return KVD_S_OK;
}

HRESULT DocumentData::DetachRecordObserver(IRecordDataObserver* observer)
{
    const auto found = std::find(mRecordObservers.begin(), mRecordObservers.end(), observer);
    if (found == mRecordObservers.end())
        return KVD_S_FALSE;
    mRecordObservers.erase(found);
    return KVD_S_OK;
}

void DocumentData::NotifyRecordObservers(uint32_t what)
{
    // An observer may detach (or attach another) while it is told.
    const std::vector<IRecordDataObserver*> observers = mRecordObservers;
    for (IRecordDataObserver* observer : observers)
        if (std::find(mRecordObservers.begin(), mRecordObservers.end(), observer) != mRecordObservers.end())
            observer->OnRecordDataChanged(what);
}

void DocumentData::NotifyComment(uint32_t aspect, IOrrelComment* comment)
{
    const std::vector<IRecordDataObserver*> observers = mRecordObservers;
    for (IRecordDataObserver* observer : observers) {
        if (std::find(mRecordObservers.begin(), mRecordObservers.end(), observer) == mRecordObservers.end())
            continue;
        KVD::COMPtr<ICommentsObserver> comments(KVD::com_cast(observer));
        if (comments != nullptr)
            comments->OnCommentsEvent(aspect, comment);
    }
}

// IRecordData --------------------------------------------------------------------------------

HRESULT DocumentData::GetRecordData(uint32_t, IRecordData** out)
{
    return QueryInterface(IID_IRecordData, reinterpret_cast<void**>(out));
}

HRESULT DocumentData::CreateRecord(uint32_t, IRecordData** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    const Recording& recording = mChannels.GetRecording();
    std::vector<ChannelFormat> channels;
    for (size_t i = 0; i < recording.ChannelCount(); ++i)
        channels.push_back(recording.Channel(i));
    MonitoringRecord* record = MonitoringRecord::Create(recording.TickRate(), std::move(channels));
    record->TakeCalculationsOf(*this);
    *out = record;
    return KVD_S_OK;
}

HRESULT DocumentData::GetRecordCount(int* count) const
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = mChannels.RecordCount();
    return KVD_S_OK;
}

HRESULT DocumentData::GetRecordTicks(int record, uint32_t* ticks) const
{
    if (ticks == nullptr)
        return KVD_E_POINTER;
    if (!mChannels.IsRecord(record))
        return KVD_E_BADSTATE;
    *ticks = mChannels.Ticks(record);
    return KVD_S_OK;
}

HRESULT DocumentData::GetSecsPerTick(int record, double* secs) const
{
    if (secs == nullptr)
        return KVD_E_POINTER;
    if (!mChannels.IsRecord(record))
        return KVD_E_BADSTATE;
    *secs = mChannels.GetRecording().SecondsPerTick();
    return KVD_S_OK;
}

HRESULT DocumentData::GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                                     IEnumFloatEx** out) const
{
    if (!Clear(out))
        return KVD_E_POINTER;
    if (!Resolve(start))
        return KVD_E_BADSTATE;
    auto samples = VirtualChannels::IsVirtual(channel)
                       ? mVirtual.Floats(start.record, channel.channel, mChannels.Ticks(start.record))
                       : mChannels.Floats(start.record, channel.channel, channel.blockDataType);
    if (samples == nullptr)
        return KVD_E_BADSTATE;
    *out = FloatStream::Create(std::move(samples), start.tick, endTick);
    return KVD_S_OK;
}

HRESULT DocumentData::GetShortStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                                     IEnumShortEx** out) const
{
    if (!Clear(out))
        return KVD_E_POINTER;
    if (!Resolve(start))
        return KVD_E_BADSTATE;
    auto samples = mChannels.Shorts(start.record, channel.channel, channel.blockDataType);
    if (samples == nullptr)
        return KVD_E_BADSTATE;
    *out = ShortStream::Create(std::move(samples), start.tick, endTick);
    return KVD_S_OK;
}

HRESULT DocumentData::GetChannelUnitName(int record, TChannelId channel, IUnitName** name) const
{
    if (!Clear(name))
        return KVD_E_POINTER;
    auto units = VirtualChannels::IsVirtual(channel) ? mVirtual.Units(record, channel.channel)
                                                     : mChannels.Units(record, channel.channel, channel.blockDataType);
    if (units == nullptr)
        return KVD_E_BADSTATE;
    ChannelUnits::NameFor(units.get(), channel.blockDataType).GetOut(name);
    return *name == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT DocumentData::GetUnitsConversion(int record, TChannelId channel, IUnitsConversion** units) const
{
    if (!Clear(units))
        return KVD_E_POINTER;
    if (VirtualChannels::IsVirtual(channel))
        return mChannels.IsRecord(record) ? Give(mVirtual.Units(record, channel.channel), units) : KVD_S_FALSE;
    return Give(mChannels.Units(record, channel.channel, channel.blockDataType), units);
}

HRESULT DocumentData::HasChannelData(int record, TChannelId channel, AutoBool* has) const
{
    if (has == nullptr)
        return KVD_E_POINTER;
    const bool data = VirtualChannels::IsVirtual(channel)
                          ? mChannels.IsRecord(record) && mVirtual.Calculation(channel.channel) != nullptr
                          : mChannels.HasData(record, channel.channel, channel.blockDataType);
    *has = data ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT DocumentData::GetRecordEnd(int record, KVDPosition* end) const
{
    if (end == nullptr)
        return KVD_E_POINTER;
    if (!mChannels.IsRecord(record))
        return KVD_E_BADSTATE;
    *end = KVDPosition{mChannels.Ticks(record), record};
    return KVD_S_OK;
}

HRESULT DocumentData::GetChannelTitle(TChannelId channel, IAutoKVDString** title) const
{
    if (!Clear(title))
        return KVD_E_POINTER;
    if (VirtualChannels::IsVirtual(channel)) {
        if (!mVirtual.IsChannel(channel.channel))
            return KVD_E_BADSTATE;
        VirtualChannels::Name(channel.channel).GetOut(title);
        return KVD_S_OK;
    }
    if (!mChannels.IsChannel(channel.channel))
        return KVD_E_BADSTATE;
    KVD::ToKVDString(mChannels.Title(channel.channel)).GetOut(title);
    return KVD_S_OK;
}

HRESULT DocumentData::GetPositionTimes(uint32_t count, const KVDPosition* positions, double* seconds) const
{
    if (count > 0 && (positions == nullptr || seconds == nullptr))
        return KVD_E_POINTER;
    const double secsPerTick = mChannels.GetRecording().SecondsPerTick();
    for (uint32_t i = 0; i < count; ++i) {
        KVDPosition p = positions[i];
        if (!Resolve(p))
            return KVD_E_BADSTATE;
        seconds[i] = double(AbsoluteTick(p)) * secsPerTick;
    }
    return KVD_S_OK;
}

HRESULT DocumentData::GetChannelObject(int record, TChannelId channel, IRecordChannel** out) const
{
    if (!Clear(out))
        return KVD_E_POINTER;
    if (!mChannels.HasData(record, channel.channel, channel.blockDataType))
        return KVD_S_FALSE;
    return Give(mChannels.ChannelObject(channel.channel), out);
}

HRESULT DocumentData::GetSample(TChannelId channel, KVDPosition position, float* value) const
{
    if (value == nullptr)
        return KVD_E_POINTER;
    if (!Resolve(position))
        return KVD_E_BADSTATE;
    auto samples = mChannels.Floats(position.record, channel.channel, channel.blockDataType);
    if (samples == nullptr || position.tick >= samples->Size())
        return KVD_E_BADSTATE;
    samples->Read(position.tick, 1, value);
    return KVD_S_OK;
}

// From `from` up to, not including, `to`, across records when they differ. NaN samples (what a
// calculation could not deliver) do not count.
HRESULT DocumentData::GetRange(TChannelId channel, KVDPosition from, KVDPosition to, double* maximum,
                               double* minimum) const
{
    if (maximum == nullptr || minimum == nullptr)
        return KVD_E_POINTER;
    if (!Resolve(from) || !Resolve(to) || AbsoluteTick(to) < AbsoluteTick(from))
        return KVD_E_BADSTATE;
    bool any = false;
    double hi = 0.0;
    double lo = 0.0;
    std::vector<float> buffer;
    for (int record = from.record; record <= to.record; ++record) {
        auto samples = mChannels.Floats(record, channel.channel, channel.blockDataType);
        if (samples == nullptr)
            return KVD_E_BADSTATE;
        const uint32_t first = record == from.record ? from.tick : 0;
        const uint32_t end = record == to.record ? to.tick : samples->Size();
        if (end <= first)
            continue;
        buffer.resize(end - first);
        samples->Read(first, end - first, buffer.data());
        for (float v : buffer) {
            if (v != v)
                continue;
            hi = any ? std::max(hi, double(v)) : v;
            lo = any ? std::min(lo, double(v)) : v;
            any = true;
        }
    }
    if (!any)
        return KVD_S_FALSE;
    *maximum = hi;
    *minimum = lo;
    return KVD_S_OK;
}

HRESULT DocumentData::GetDataScaling(int record, TChannelId channel, double* scale, double* offset) const
{
    if (scale == nullptr || offset == nullptr)
        return KVD_E_POINTER;
    auto units = mChannels.Units(record, channel.channel, channel.blockDataType);
    return units == nullptr ? KVD_E_BADSTATE : units->GetScaling(channel.blockDataType, scale, offset);
}

HRESULT DocumentData::ResolvePosition(uint32_t, KVDPosition* position) const
{
    if (position == nullptr)
        return KVD_E_POINTER;
    KVDPosition resolved = *position;
    if (!Resolve(resolved))
        return KVD_E_BADSTATE;
    *position = resolved;
    return KVD_S_OK;
}

HRESULT DocumentData::GetSampleIndex(TChannelId, KVDPosition position, int64_t* index) const
{
    if (index == nullptr)
        return KVD_E_POINTER;
    if (!Resolve(position))
        return KVD_E_BADSTATE;
    *index = position.tick;
    return KVD_S_OK;
}

HRESULT DocumentData::GetEventStream(TChannelId channel, uint32_t, KVDPosition start, uint32_t endTick,
                                     IEnumEventEx** out) const
{
    if (!Clear(out))
        return KVD_E_POINTER;
    if (!VirtualChannels::IsVirtual(channel))
        return CreateAnnotationStream(mChannels.GetRecording(), channel, start, endTick, out);
    if (!Resolve(start))
        return KVD_E_BADSTATE;
    auto events = mVirtual.Events(start.record, channel.channel);
    if (events == nullptr)
        return KVD_S_FALSE;
    *out = ComputedEventStream::Create(std::move(events), int32_t(start.tick), int32_t(endTick & 0x7FFFFFFF),
                                       mVirtual.LatestEvents(start.record, channel.channel))
               .Forget();
    return KVD_S_OK;
}

HRESULT DocumentData::CreatePixMap(uint32_t, IRecordDataPixMap** out) const
{
    return CreateRecordPixMap(*const_cast<DocumentData*>(this), out);
}

HRESULT DocumentData::CreatePolyLineEnum(uint32_t flags, int32_t channel, const int64_t* pair, int64_t maxTick,
                                         int64_t startPixel, int32_t record, const DataScaling* scaling, uint32_t,
                                         IPolyLineEnumEx** out) const
{
    return Host::CreatePolyLineEnum(*this, flags, channel, pair, maxTick, startPixel, record, scaling, out);
}

HRESULT DocumentData::IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const
{
    if (valid == nullptr)
        return KVD_E_POINTER;
    const bool ok = Resolve(left) && Resolve(right) && AbsoluteTick(left) <= AbsoluteTick(right);
    *valid = ok ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT DocumentData::GetAbsoluteTick(KVDPosition position, int64_t* ticks) const
{
    if (ticks == nullptr)
        return KVD_E_POINTER;
    if (!Resolve(position))
        return KVD_E_BADSTATE;
    *ticks = AbsoluteTick(position);
    return KVD_S_OK;
}

// IOrrelSetCalcData --------------------------------------------------------------------------

HRESULT DocumentData::GetCalculation(uint64_t channelKey, ICalculation** calculation)
{
    if (!Clear(calculation))
        return KVD_E_POINTER;
    const int32_t channel = int32_t(uint32_t(channelKey));
    return Give(KVD::COMPtr<ICalculation>(VirtualChannels::IsVirtualKey(channelKey) ? mVirtual.Calculation(channel)
                                                                                   : mChannels.Calculation(channel)),
                calculation);
}

HRESULT DocumentData::SetCalculation(TChannelId channel, ICalculation* calculation)
{
    // A virtual channel is the dialog's own: the document's data does not change with it.
    if (VirtualChannels::IsVirtual(channel)) {
        if (!mVirtual.IsChannel(channel.channel))
            return KVD_E_BADSTATE;
        mVirtual.SetCalculation(channel.channel, calculation);
        return KVD_S_OK;
    }
    if (!mChannels.IsChannel(channel.channel))
        return KVD_E_BADSTATE;
    mChannels.SetCalculation(channel.channel, calculation);
    DataChanged();
    return KVD_S_OK;
}

// A computed channel changed: every computed channel may read it, so all are pulled anew.
HRESULT DocumentData::ChannelChanged(TChannelId channel, BlockUpdateType, IOffLineData*)
{
    if (VirtualChannels::IsVirtual(channel)) {
        if (!mVirtual.IsChannel(channel.channel))
            return KVD_E_BADSTATE;
        mVirtual.DropComputed();
        return KVD_S_OK;
    }
    if (!mChannels.IsChannel(channel.channel))
        return KVD_E_BADSTATE;
    DataChanged();
    return KVD_S_OK;
}

HRESULT DocumentData::CreateUnitsConversion(const DataScaling* scaling, IAutoKVDString* unit,
                                            IUnitsConversion** out)
{
    if (!Clear(out) || scaling == nullptr)
        return KVD_E_POINTER;
    if (!(scaling->scale != 0.0))
        return KVD_E_BADSTATE;
    const std::string text = unit == nullptr ? std::string() : KVD::ToU8String(KVD::String(unit));
    *out = ChannelUnits::FromStorage(scaling->scale, scaling->offset, text);
    return KVD_S_OK;
}

HRESULT DocumentData::GetData(IOrrelData2** data)
{
    if (data == nullptr)
        return KVD_E_POINTER;
    AddRef();
    *data = this;
    return KVD_S_OK;
}

// IKVDChannelInfo ----------------------------------------------------------------------------

HRESULT DocumentData::FindChannel(int32_t, IAutoKVDString* name, TChannelId* id, KVDEnumDataType* kind, int32_t,
                                  TChannelId)
{
    if (name == nullptr || id == nullptr)
        return KVD_E_POINTER;
    const int channel = mChannels.Find(KVD::ToU8String(KVD::String(name)));
    if (channel >= 0) {
        *id = TChannelId{channel, kEnumDataSamples};
        if (kind != nullptr)
            *kind = kEnumDataSamples;
        return KVD_S_OK;
    }
    const int virtualChannel = mVirtual.Find(KVD::String(name));
    if (virtualChannel < 0)
        return KVD_S_FALSE;
    *id = TChannelId{virtualChannel, kVirtualChannelKind};
    if (kind != nullptr)
        *kind = mVirtual.GivesEvents(virtualChannel) ? kEnumDataEvents : kEnumDataSamples;
    return KVD_S_OK;
}

HRESULT DocumentData::GetChannelDataType(int32_t, TChannelId channel, KVDEnumDataType* kind, int32_t, TChannelId)
{
    if (kind == nullptr)
        return KVD_E_POINTER;
    if (VirtualChannels::IsVirtual(channel)) {
        if (!mVirtual.IsChannel(channel.channel))
            return KVD_E_BADSTATE;
        *kind = mVirtual.GivesEvents(channel.channel) ? kEnumDataEvents : kEnumDataSamples;
        return KVD_S_OK;
    }
    if (!mChannels.IsChannel(channel.channel))
        return KVD_E_BADSTATE;
    *kind = kEnumDataSamples;
    return KVD_S_OK;
}

HRESULT DocumentData::AddVirtualChannel(uint32_t, uint16_t, uint32_t, IAutoKVDString** name, TChannelId* channel)
{
    if (name == nullptr || channel == nullptr)
        return KVD_E_POINTER;
    const int index = mVirtual.Add();
    VirtualChannels::Name(index).GetOut(name);
    *channel = TChannelId{index, kVirtualChannelKind};
    return KVD_S_OK;
}

HRESULT DocumentData::GetCalcVariables(uint32_t, TChannelId, IKVDCalcVariables** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mVariables.GetOut(out);
    return KVD_S_OK;
}

HRESULT DocumentData::GetRecordStartTime(int32_t record, double* time, double* toUniversal)
{
    if (time == nullptr || toUniversal == nullptr)
        return KVD_E_POINTER;
    if (!mChannels.IsRecord(record))
        return KVD_E_BADSTATE;
    const Recording& recording = mChannels.GetRecording();
    *time = recording.RecordStartTime(size_t(record));
    *toUniversal = recording.ToUniversal();
    return std::isfinite(*time) ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace Host
