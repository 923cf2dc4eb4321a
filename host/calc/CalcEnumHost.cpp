#include "host/calc/CalcEnumHost.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IEnumEventEx.h"
#include "IRecordData.h"
#include "IUnitName.h"
#include "foundation/ResultCodeText.h"

namespace Host {
namespace {

constexpr uint32_t kBlock = 4096;

// A source the formula reads as events (a channel computed as events), not as samples.
bool IsEventSource(const CalcEnums::CCalcEnumSourceInfo& source)
{
    return (source.dataType & kEnumDataOpen) == kEnumDataEvents;
}

}  // namespace

HRESULT CalcEnumHost::SetSources(long count, const CalcEnums::CCalcEnumSourceInfo* sources, uint32_t flags)
{
    FinishOpenComputation();
    if (count < 0 || (count > 0 && sources == nullptr))
        return KVD_E_POINTER;
    mSources.assign(sources, sources + count);
    mSourceFlags = flags;
    return KVD_S_OK;
}

HRESULT CalcEnumHost::GetCalcEnum(ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mCalcEnum.GetOut(out);
    return mCalcEnum == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT CalcEnumHost::SetSettingsText(IAutoKVDString* text, IOrrelData2** data)
{
    FinishOpenComputation();
    mSettingsText = KVD::String(text);
    if (data != nullptr && *data != nullptr)
        mData = *data;
    if (mCalcEnum == nullptr)
        return KVD_S_OK;
    BlockUpdateType update = 0;
    return mCalcEnum->SetSettings(mSettingsText.AsIAutoKVDString(), &update);
}

HRESULT CalcEnumHost::GetSettingsText(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    mSettingsText.GetOut(text);
    return KVD_S_OK;
}

HRESULT CalcEnumHost::InstallCalcEnum(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data,
                                      ICalcEnum* calcEnum)
{
    FinishOpenComputation();
    if (mCalcEnum != nullptr)
        mCalcEnum->ReleaseSources();
    mCalcEnum = calcEnum;
    if (cls != nullptr)
        mClass = cls;
    mChannel = channel;
    mCalcData = data;
    if (data != nullptr) {
        KVD::COMPtr<IOrrelData2> documentData;
        data->GetData(documentData.Set());
        mData = documentData;
    }
    if (mCalcEnum != nullptr && !mSettingsText.empty()) {
        BlockUpdateType update = 0;
        mCalcEnum->SetSettings(mSettingsText.AsIAutoKVDString(), &update);
    }
    return KVD_S_OK;
}

HRESULT CalcEnumHost::GetChannel(TChannelId* channel)
{
    if (channel == nullptr)
        return KVD_E_POINTER;
    *channel = mChannel;
    return KVD_S_OK;
}

HRESULT CalcEnumHost::SetDataScaling(const DataScaling* scaling)
{
    if (scaling == nullptr)
        return KVD_E_POINTER;
    mScaling = *scaling;
    return KVD_S_OK;
}

HRESULT CalcEnumHost::GetDataScaling(DataScaling* scaling)
{
    if (scaling == nullptr)
        return KVD_E_POINTER;
    *scaling = mScaling;
    return KVD_S_OK;
}

KVD::COMPtr<IRecordData> CalcEnumHost::Records(IAutoOrrelDoc* doc) const
{
    KVD::COMPtr<IRecordData> records;
    if (doc != nullptr)
        doc->GetRecordData(0, records.Set());
    if (records == nullptr && mData != nullptr)
        mData->GetRecordData(records.Set());
    return records;
}

HRESULT CalcEnumHost::Connect(IRecordData* records, int record, uint32_t start, uint32_t end)
{
    std::vector<KVD::COMPtr<IEnumFloatEx>> streams(mSources.size());
    std::vector<KVD::COMPtr<IUnitName>> unitNames(mSources.size());
    std::vector<IUnknown*> sources;
    std::vector<IUnitName*> units;
    for (size_t i = 0; i < mSources.size(); ++i) {
        if (IsEventSource(mSources[i])) {
            KVD::COMPtr<IEnumEventEx> events;
            records->GetEventStream(mSources[i].channel, 0, KVDPosition{0, record}, end, events.Set());
            streams[i] = KVD::com_cast(events.get());
        } else {
            records->GetFloatStream(mSources[i].channel, KVDPosition{0, record}, end, streams[i].Set());
        }
        if (streams[i] == nullptr) {
            mError = KVD::String(L"Channel " + std::to_wstring(mSources[i].channel.channel + 1) +
                                 L" has no data to compute from.");
            return KVD_E_BADSTATE;
        }
        sources.push_back(streams[i]);
        // Calculations check and scale by their sources' units (volts, mL/s, ...).
        records->GetChannelUnitName(record, mSources[i].channel, unitNames[i].Set());
        units.push_back(unitNames[i]);
    }
    double secsPerTick = 0;
    records->GetSecsPerTick(record, &secsPerTick);
    HRESULT hr = mCalcEnum->SetSources(record, static_cast<long>(sources.size()), sources.data(), units.data(),
                                       secsPerTick, mSourceFlags);
    if (hr != KVD_S_OK && hr != KVD_S_FALSE)
        return hr;
    const HRESULT positioned = mCalcEnum->SetInitialPosition(static_cast<int>(start));
    // A formula that is a bare channel has no enumerator to position: the composite hands out
    // the source stream itself, which starts at the record's start.
    KVD::COMPtr<IEnumFloatEx> plain(KVD::com_cast(mCalcEnum.get()));
    if (positioned == KVD_E_BADSTATE && plain != nullptr)
        return start == 0 ? KVD_S_OK : plain->SkipEx(static_cast<int32_t>(start), nullptr);
    return positioned;
}

template <class Take>
HRESULT CalcEnumHost::Pull(uint32_t count, float* into, Take take, bool* stopped)
{
    KVD::COMPtr<IEnumFloatEx> stream(KVD::com_cast(mCalcEnum.get()));
    if (stream == nullptr) {
        mError = KVD::String(L"The calculation gives events, not samples.");
        return KVD_E_NOINTERFACE;
    }
    std::vector<float> scratch(into == nullptr ? kBlock : 0);
    while (count > 0) {
        float* block = into != nullptr ? into : scratch.data();
        uint32_t delivered = 0;
        const HRESULT hr = stream->Next(std::min(count, kBlock), block, &delivered);
        take(block, delivered);
        if (into != nullptr)
            into += delivered;
        count -= std::min(count, delivered);
        if (hr != KVD_S_OK || delivered == 0) {
            if (stopped != nullptr)
                *stopped = true;
            break;
        }
    }
    return KVD_S_OK;
}

HRESULT CalcEnumHost::AutoScale(IAutoOrrelDoc* doc, KVDPosition start, KVDPosition end, float* top, float* bottom,
                                uint32_t flags)
{
    if (top == nullptr || bottom == nullptr)
        return KVD_E_POINTER;
    if (!FinishOpenComputation())
        return KVD_E_BADSTATE;
    const KVD::COMPtr<IRecordData> records = Records(doc);
    if (mCalcEnum == nullptr || records == nullptr)
        return KVD_E_BADSTATE;
    float low = std::numeric_limits<float>::infinity();
    float high = -low;
    int recordCount = 0;
    records->GetRecordCount(&recordCount);
    const int lastRecord = std::min(end.record, recordCount - 1);
    for (int record = std::max(start.record, 0); record <= lastRecord; ++record) {
        uint32_t ticks = 0;
        records->GetRecordTicks(record, &ticks);
        const uint32_t from = record == start.record ? std::min(start.tick, ticks) : 0;
        const uint32_t to = record == end.record ? std::min(end.tick, ticks) : ticks;
        if (from >= to || Connect(records, record, from, to) != KVD_S_OK)
            continue;
        Pull(to - from, nullptr, [&](const float* samples, uint32_t n) {
            for (uint32_t i = 0; i < n; ++i) {
                if (std::isnan(samples[i]))
                    continue;
                low = std::min(low, samples[i]);
                high = std::max(high, samples[i]);
            }
        });
        mCalcEnum->ReleaseSources();
    }
    if (low > high)
        return KVD_E_BADSTATE;
    if ((flags & kAutoScale_IncludeZero) != 0) {
        low = std::min(low, 0.0f);
        high = std::max(high, 0.0f);
    }
    *top = high;
    *bottom = low;
    return KVD_S_OK;
}

HRESULT CalcEnumHost::GetSamples(int record, uint32_t start, uint32_t count, float* out, uint32_t* delivered)
{
    if (out == nullptr || delivered == nullptr)
        return KVD_E_POINTER;
    *delivered = 0;
    if (!FinishOpenComputation())
        return KVD_E_BADSTATE;
    mError = KVD::String();
    const KVD::COMPtr<IRecordData> records = Records(nullptr);
    if (mCalcEnum == nullptr || records == nullptr)
        return KVD_E_BADSTATE;
    uint32_t ticks = 0;
    records->GetRecordTicks(record, &ticks);
    if (start >= ticks)
        return KVD_S_FALSE;
    const uint32_t end = start + std::min(count, ticks - start);
    HRESULT hr = Connect(records, record, start, end);
    if (hr == KVD_S_OK)
        hr = Pull(end - start, out, [&](const float*, uint32_t n) { *delivered += n; });
    mCalcEnum->ReleaseSources();
    if (hr != KVD_S_OK)
        return hr;
    return *delivered == count ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT CalcEnumHost::GetEvents(int record, ComputedEvents& out)
{
    out = ComputedEvents{};
    uint32_t ticks = 0;
    HRESULT hr = ConnectRecord(record, ticks);
    if (hr != KVD_S_OK)
        return hr;
    KVD::COMPtr<IEnumEventEx> stream(KVD::com_cast(mCalcEnum.get()));
    if (stream == nullptr)
        mError = KVD::String(L"The calculation gives samples, not events.");
    hr = stream == nullptr ? KVD_E_NOINTERFACE : ReadAllEvents(*stream, int32_t(ticks), out);
    mCalcEnum->ReleaseSources();
    return hr;
}

HRESULT CalcEnumHost::ConnectRecord(int record, uint32_t& ticks)
{
    if (!FinishOpenComputation())
        return KVD_E_BADSTATE;
    mError = KVD::String();
    const KVD::COMPtr<IRecordData> records = Records(nullptr);
    if (mCalcEnum == nullptr || records == nullptr || records->GetRecordTicks(record, &ticks) != KVD_S_OK)
        return KVD_E_BADSTATE;
    const HRESULT hr = Connect(records, record, 0, ticks);
    if (hr != KVD_S_OK)
        mCalcEnum->ReleaseSources();
    return hr;
}

bool CalcEnumHost::FinishOpenComputation()
{
    if (mOpen != nullptr)
        mOpen->Finish();
    return mOpen == nullptr;
}

HRESULT CalcEnumHost::BeginSamples(int record, Computation* computation)
{
    uint32_t ticks = 0;
    const HRESULT hr = ConnectRecord(record, ticks);
    if (hr != KVD_S_OK)
        return hr;
    mOpen = computation;
    return KVD_S_OK;
}

HRESULT CalcEnumHost::ContinueSamples(uint32_t count, float* out, uint32_t* delivered)
{
    *delivered = 0;
    if (mOpen == nullptr)
        return KVD_E_BADSTATE;
    bool stopped = false;
    const HRESULT hr = Pull(count, out, [&](const float*, uint32_t n) { *delivered += n; }, &stopped);
    return hr == KVD_S_OK && stopped ? KVD_S_FALSE : hr;
}

void CalcEnumHost::EndSamples(const Computation* computation)
{
    if (mOpen != computation || mOpen == nullptr)
        return;
    mOpen = nullptr;
    mCalcEnum->ReleaseSources();
}

HRESULT CalcEnumHost::GetErrorText(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    KVD::String reason = mError;
    KVD::COMPtr<IKVDCalcEnumStatus> status(KVD::com_cast(mCalcEnum.get()));
    if (reason.length() == 0 && status != nullptr)
        status->GetErrorText(KVD::String::Setter(reason));
    reason.GetOut(text);
    return KVD_S_OK;
}

std::string FailureText(ICalculation* calculation, HRESULT hr)
{
    KVD::String reason;
    if (KVD::COMPtr<IKVDCalcEnumStatus> status{KVD::com_cast(calculation)})
        status->GetErrorText(KVD::String::Setter(reason));
    return KVD::ToU8String(reason.length() > 0 ? reason : KVD::ResultCodeText(hr));
}

HRESULT CalcEnumHost::Reset()
{
    FinishOpenComputation();
    if (mCalcEnum != nullptr)
        mCalcEnum->ReleaseSources();
    mCalcEnum.Clear();
    mSources.clear();
    mSettingsText = KVD::String();
    return KVD_S_OK;
}

HRESULT CalcEnumHost::GetCalculationClass(ICalculationClass** cls)
{
    if (cls == nullptr)
        return KVD_E_POINTER;
    mClass.GetOut(cls);
    return mClass == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT CalcEnumHost::GetSettings(IPersistObject** settings)
{
    KVD::COMPtr<IChannelCalc> calc(KVD::com_cast(Outer()));
    if (calc == nullptr)
        return KVD_E_BADSTATE;
    return calc->GetSettings(settings);
}

HRESULT CalcEnumHost::Configure(const IPersistObject* settings, AutoBool force)
{
    KVD::COMPtr<IChannelCalc> calc(KVD::com_cast(Outer()));
    if (calc == nullptr)
        return KVD_E_BADSTATE;
    return calc->Configure(settings, force);
}

CalcEnumHostClass::CalcEnumHostClass(TCAFId typeId) : CreatorClassObject(typeId, L"Calculation host") {}

HRESULT CalcEnumHostClass::CreateObject(IUnknown* outer, const _IID& iid, void** out)
{
    return CreateAggregated<CalcEnumHost>(outer, iid, out);
}

}  // namespace Host
