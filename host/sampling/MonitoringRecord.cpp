#include "host/sampling/MonitoringRecord.h"

#include <algorithm>

#include "IPersistObject.h"
#include "host/data/Adopt.h"

namespace Host {

MonitoringRecord* MonitoringRecord::Create(double tickRate, std::vector<ChannelFormat> channels)
{
    return KVD::MakeCounted<MonitoringRecord>(tickRate, std::move(channels)).Forget();
}

MonitoringRecord::MonitoringRecord(double tickRate, std::vector<ChannelFormat> channels)
    : mRecording(std::make_shared<Recording>("monitor", tickRate, std::move(channels))),
      mData(Adopt(DocumentData::Create(mRecording)))
{
}

void MonitoringRecord::TakeCalculationsOf(DocumentData& document)
{
    ChannelTable& own = mData->Channels();
    ChannelTable& theirs = document.Channels();
    for (int channel = own.Count(); channel < theirs.Count(); ++channel)
        own.AddChannel(theirs.Title(channel), theirs.Unit(channel));
    // In channel order, so that a calculation finds the channels it reads.
    for (int channel = 0; channel < theirs.Count(); ++channel)
        Recalculate(theirs.Calculation(channel), TChannelId{channel, 0});
    mDocument = &document;
    mVirtualGenerations.clear();
    FollowVirtualChannels();
}

void MonitoringRecord::FollowVirtualChannels()
{
    if (mDocument == nullptr)
        return;
    const VirtualChannels& theirs = mDocument->Virtual();
    while (mData->Virtual().Count() < theirs.Count())
        mData->Virtual().Add();
    mVirtualGenerations.resize(size_t(theirs.Count()), -1);
    for (int channel = 0; channel < theirs.Count(); ++channel) {
        if (mVirtualGenerations[size_t(channel)] == theirs.Generation(channel))
            continue;
        mVirtualGenerations[size_t(channel)] = theirs.Generation(channel);
        const TChannelId id{channel, kVirtualChannelKind};
        if (theirs.Calculation(channel) == nullptr)
            mData->SetCalculation(id, nullptr);
        else
            Recalculate(theirs.Calculation(channel), id);
    }
}

void MonitoringRecord::Recalculate(ICalculation* calculation, TChannelId channel)
{
    if (calculation == nullptr)
        return;
    KVD::COMPtr<ICalculationClass> cls;
    KVD::COMPtr<IPersistObject> settings;
    calculation->GetCalculationClass(cls.Set());
    calculation->GetSettings(settings.Set());
    KVD::COMPtr<ICalculation> copy;
    if (cls != nullptr && settings != nullptr)
        cls->Create(channel, mData.get(), copy.Set());
    if (copy != nullptr && copy->Configure(settings, kAutoTrue) == KVD_S_OK)
        mData->SetCalculation(channel, copy);
}

HRESULT MonitoringRecord::GetRecordData(uint32_t, IRecordData** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = this;
    AddRef();
    return KVD_S_OK;
}

HRESULT MonitoringRecord::CreateRecord(uint32_t, IRecordData** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    std::vector<ChannelFormat> channels;
    for (size_t i = 0; i < mRecording->ChannelCount(); ++i)
        channels.push_back(mRecording->Channel(i));
    *out = Create(mRecording->TickRate(), std::move(channels));
    return KVD_S_OK;
}

HRESULT MonitoringRecord::AttachStorage(uint32_t, IStorage* storage)
{
    mStorage = storage;
    return KVD_S_OK;
}

HRESULT MonitoringRecord::AddViewSink(IOrrelDataSink* sink)
{
    if (sink == nullptr)
        return KVD_E_POINTER;
    if (std::find(mViews.begin(), mViews.end(), sink) == mViews.end())
        mViews.emplace_back(sink);
    return KVD_S_OK;
}

HRESULT MonitoringRecord::RemoveViewSink(IOrrelDataSink* sink)
{
    const auto found = std::find(mViews.begin(), mViews.end(), sink);
    if (found == mViews.end())
        return KVD_S_FALSE;
    mViews.erase(found);
    return KVD_S_OK;
}

template <class Call>
void MonitoringRecord::Relay(Call call)
{
    const auto views = mViews;
    for (const auto& view : views)
        call(*view);
}

HRESULT MonitoringRecord::PrepareForSampling(uint32_t)
{
    Relay([&](IOrrelDataSink& view) { view.PrepareForSampling(uint32_t(mRecording->RecordCount())); });
    return KVD_S_OK;
}

HRESULT MonitoringRecord::OnRecordStart(uint32_t, AutoBool record)
{
    RecordBlock block;
    block.samples.resize(mRecording->ChannelCount());
    mRecording->AddRecord(std::move(block));
    Relay([&](IOrrelDataSink& view) { view.OnRecordStart(OwnBlock(), record); });
    return KVD_S_OK;
}

HRESULT MonitoringRecord::AppendSamples(uint32_t, uint32_t channels, uint32_t ticks, const float* samples)
{
    if (samples == nullptr && ticks > 0)
        return KVD_E_POINTER;
    if (mRecording->RecordCount() == 0)
        return KVD_E_BADSTATE;
    // Channels the device does not sample read 0; samples of channels the record lacks are dropped.
    const size_t count = mRecording->ChannelCount();
    mStored.assign(count * ticks, 0);
    for (size_t channel = 0; channel < std::min<size_t>(count, channels); ++channel) {
        const ChannelFormat& format = mRecording->Channel(channel);
        for (uint32_t tick = 0; tick < ticks; ++tick)
            mStored[channel * ticks + tick] = format.Raw(samples[channel * ticks + tick]);
    }
    try {
        mRecording->ExtendLastRecord(ticks, mStored.data());
    } catch (const RecordingError&) {
        return KVD_E_BADSTATE;
    }
    // What was computed over the shorter record is computed again when next read.
    mData->Channels().DropComputed();
    mData->Virtual().DropComputed();
    FollowVirtualChannels();
    return KVD_S_OK;
}

HRESULT MonitoringRecord::Update(uint32_t)
{
    Relay([&](IOrrelDataSink& view) { view.Update(OwnBlock()); });
    return KVD_S_OK;
}

HRESULT MonitoringRecord::OnRecordEnd(uint32_t, BlockUpdateType* update)
{
    Relay([&](IOrrelDataSink& view) { view.OnRecordEnd(OwnBlock(), update); });
    return KVD_S_OK;
}

HRESULT MonitoringRecord::CleanUpAfterSampling(AutoBool kept)
{
    Relay([&](IOrrelDataSink& view) { view.CleanUpAfterSampling(kept); });
    return KVD_S_OK;
}

}  // namespace Host
