#include "host/data/ChannelTable.h"

#include <algorithm>
#include <limits>

#include <boost/algorithm/string/predicate.hpp>

#include "host/calc/CalcEnumHost.h"
#include "host/data/Adopt.h"
#include "host/data/ChannelComputation.h"
#include "host/data/ChannelUnits.h"
#include "host/data/DataRequest.h"
#include "host/data/RecordChannel.h"

namespace Host {
ChannelTable::ChannelTable(std::shared_ptr<const Recording> recording) : mRecording(std::move(recording))
{
    for (size_t i = 0; i < mRecording->ChannelCount(); ++i) {
        Channel c;
        c.title = mRecording->Channel(i).title;
        c.unit = mRecording->Channel(i).unit;
        c.recorded = static_cast<int>(i);
        mChannels.push_back(std::move(c));
    }
}

ChannelTable::~ChannelTable()
{
    ReleaseCalculations();
}

int ChannelTable::AddChannel(const std::string& title, const std::string& unit)
{
    Channel c;
    c.title = title;
    c.unit = unit;
    mChannels.push_back(std::move(c));
    return Count() - 1;
}

int ChannelTable::Find(const std::string& title) const
{
    for (int i = 0; i < Count(); ++i)
        if (boost::algorithm::iequals(mChannels[i].title, title))
            return i;
    return -1;
}

bool ChannelTable::UsesCalculation(const Channel& c, uint32_t flags) const
{
    return c.calculation != nullptr && !(DataRequest(flags).recorded && c.recorded >= 0);
}

bool ChannelTable::HasData(int record, int channel, uint32_t flags)
{
    if (!IsRecord(record) || !IsChannel(channel))
        return false;
    const Channel& c = mChannels[channel];
    return UsesCalculation(c, flags) || c.recorded >= 0;
}

std::shared_ptr<const FloatSamples> ChannelTable::Floats(int record, int channel, uint32_t flags)
{
    if (!IsRecord(record) || !IsChannel(channel))
        return nullptr;
    const Channel& c = mChannels[channel];
    if (UsesCalculation(c, flags))
        return ComputedAsAsked(record, channel, flags);
    if (c.recorded < 0)
        return nullptr;
    return std::make_shared<RecordedSamples>(mRecording, record, c.recorded, DataRequest(flags).inUnits);
}

std::shared_ptr<const ShortSamples> ChannelTable::Shorts(int record, int channel, uint32_t flags)
{
    if (!IsRecord(record) || !IsChannel(channel))
        return nullptr;
    const Channel& c = mChannels[channel];
    if (UsesCalculation(c, flags) || c.recorded < 0)
        return nullptr;
    return std::make_shared<RecordedShorts>(mRecording, record, c.recorded);
}

std::shared_ptr<const FloatSamples> ChannelTable::ComputedAsAsked(int record, int channel, uint32_t flags)
{
    std::shared_ptr<const FloatSamples> samples = Computed(record, channel);
    if (samples == nullptr || !DataRequest(flags).prefixed)
        return samples;
    const double factor = ChannelUnits::ShownPrefixFactor(ComputedUnits(record, channel).get());
    return factor == 1.0 ? samples : std::make_shared<ScaledSamples>(std::move(samples), factor);
}

// Pulls the record through the calculation's enumerator host: as it is read, through the host's
// own calculation host, else all at once; what it cannot deliver is NaN, so a failing
// calculation shows as a gap rather than as made-up values.
std::shared_ptr<const FloatSamples> ChannelTable::Computed(int record, int channel)
{
    Channel& c = mChannels[channel];
    if (auto it = c.computed.find(record); it != c.computed.end())
        return it->second;
    if (!mComputing.insert(channel).second)
        return nullptr;
    const uint32_t ticks = Ticks(record);
    std::shared_ptr<ComputedSamples> computed = NewComputed(record, c);
    KVD::COMPtr<ICalcEnumHost> host(KVD::com_cast(c.calculation.get()));
    auto* own = dynamic_cast<CalcEnumHost*>(host.get());
    uint32_t delivered = 0;
    HRESULT hr = KVD_S_OK;
    if (own != nullptr && ticks > 0) {
        // The failure lands in the table that is current when it happens, found by its channel.
        hr = ChannelComputation::Start(c.calculation, *own, record, *computed,
                                       [this, channel, record](const std::string& why) {
                                           mChannels[channel].failures[record] = why;
                                       });
        delivered = hr == KVD_S_OK ? ticks : 0;
    } else if (host != nullptr && ticks > 0) {
        hr = host->GetSamples(record, 0, ticks, computed->Data(), &delivered);
    }
    if (hr != KVD_S_OK && hr != KVD_S_FALSE)
        c.failures[record] = FailureText(c.calculation, hr);
    std::fill(computed->Data() + std::min(delivered, ticks), computed->Data() + ticks,
              std::numeric_limits<float>::quiet_NaN());
    mComputing.erase(channel);
    mChannels[channel].computed[record] = computed;
    return computed;
}

std::shared_ptr<ComputedSamples> ChannelTable::NewComputed(int record, Channel& c)
{
    const uint32_t ticks = Ticks(record);
    const auto spare = c.spare.find(record);
    if (spare == c.spare.end())
        return std::make_shared<ComputedSamples>(ticks);
    ComputedSamples::Storage storage = std::move(spare->second);
    c.spare.erase(spare);
    // A record that grew since (one being sampled) needs more room than it gave up.
    if (storage.size < ticks)
        return std::make_shared<ComputedSamples>(ticks);
    return std::make_shared<ComputedSamples>(std::move(storage.samples), ticks);
}

std::string ChannelTable::ComputeFailure(int record, int channel)
{
    if (!IsChannel(channel))
        return "";
    // A record computed as it is read knows its failure once it is computed to the end.
    if (auto it = mChannels[channel].computed.find(record); it != mChannels[channel].computed.end())
        it->second->Complete();
    const auto& failures = mChannels[channel].failures;
    auto it = failures.find(record);
    return it == failures.end() ? "" : it->second;
}

KVD::COMPtr<IUnitsConversion> ChannelTable::RecordedUnits(const Channel& c) const
{
    if (c.recorded < 0)
        return nullptr;
    const ChannelFormat& format = mRecording->Channel(c.recorded);
    return Adopt<IUnitsConversion>(
        ChannelUnits::Create(format.scale, format.offset, format.unit, format.lowest, format.highest));
}

// The units the calculation reports for the record, as the host asks when it makes a record of
// the channel; a calculation that reports none is taken as unscaled in the channel's unit.
KVD::COMPtr<IUnitsConversion> ChannelTable::ComputedUnits(int record, int channel)
{
    Channel& c = mChannels[channel];
    if (auto it = c.computedUnits.find(record); it != c.computedUnits.end())
        return it->second;
    KVD::COMPtr<IUnitsConversion> units;
    if (KVD::COMPtr<IChannelCalc> calc{KVD::com_cast(c.calculation.get())}) {
        TTickToSample map{1, 0};
        int length = 0;
        CalcRecCreationFlags creation = 0;
        calc->GetRecordCreationInfo(record, TChannelId{channel, 0xC0000000u}, units.Set(), &map, &length, &creation);
    }
    if (units == nullptr)
        units = Adopt<IUnitsConversion>(ChannelUnits::Create(1.0, 0.0, c.unit));
    c.computedUnits[record] = units;
    return units;
}

KVD::COMPtr<IUnitsConversion> ChannelTable::Units(int record, int channel, uint32_t flags)
{
    if (!IsRecord(record) || !IsChannel(channel))
        return nullptr;
    const Channel& c = mChannels[channel];
    return UsesCalculation(c, flags) ? ComputedUnits(record, channel) : RecordedUnits(c);
}

KVD::COMPtr<IRecordChannel> ChannelTable::ChannelObject(int channel)
{
    if (!IsChannel(channel) || RecordCount() == 0)
        return nullptr;
    Channel& c = mChannels[channel];
    if (c.object == nullptr) {
        const bool computed = c.calculation != nullptr;
        KVD::COMPtr<IUnitsConversion> recorded = RecordedUnits(c);
        KVD::COMPtr<IUnitsConversion> data = computed ? ComputedUnits(0, channel) : recorded;
        c.object = Adopt<IRecordChannel>(RecordChannel::Create(channel, c.title, recorded, data, computed));
    }
    return c.object;
}

ICalculation* ChannelTable::Calculation(int channel) const
{
    return IsChannel(channel) ? mChannels[channel].calculation.get() : nullptr;
}

void ChannelTable::SetCalculation(int channel, ICalculation* calculation)
{
    Channel& c = mChannels.at(channel);
    const KVD::COMPtr<ICalculation> previous = c.calculation;  // released after the table is consistent
    c.calculation = calculation;
    c.object.Clear();
    DropComputed();
    if (calculation == nullptr)
        c.spare.clear();
}

void ChannelTable::DropComputed()
{
    // Storage nothing else reads is given up, what was not computed of it never is: its
    // computation lets its sources go, which may leave another record read by nothing else.
    for (bool gaveUp = true; gaveUp;) {
        gaveUp = false;
        for (Channel& c : mChannels)
            for (auto it = c.computed.begin(); it != c.computed.end();) {
                if (it->second.use_count() != 1) {
                    ++it;
                    continue;
                }
                c.spare[it->first] = it->second->TakeStorage();
                it = c.computed.erase(it);
                gaveUp = true;
            }
    }
    // Storage a stream still reads stays with the stream, computed to the end while the
    // calculation is as it was.
    for (Channel& c : mChannels)
        for (auto& [record, samples] : c.computed)
            samples->Complete();
    for (Channel& c : mChannels) {
        c.computed.clear();
        c.computedUnits.clear();
        if (c.calculation != nullptr)
            c.object.Clear();
    }
}

void ChannelTable::ReleaseCalculations()
{
    std::vector<KVD::COMPtr<ICalculation>> released;
    for (Channel& c : mChannels) {
        released.push_back(c.calculation);
        c.calculation.Clear();
        c.object.Clear();
    }
    DropComputed();
    for (Channel& c : mChannels)
        c.spare.clear();
}

}  // namespace Host
