#include "host/channels/VirtualChannels.h"

#include <algorithm>
#include <limits>

#include "ICalcEnum.h"
#include "IEnumEventEx.h"
#include "IUnitsConversion.h"
#include "foundation/WideCompare.h"
#include "host/calc/CalcEnumHost.h"
#include "host/data/Adopt.h"
#include "host/data/ChannelUnits.h"

namespace Host {

namespace {

// The calculation host a calculation aggregates; null for any other calculation.
CalcEnumHost* HostOf(ICalculation* calculation)
{
    KVD::COMPtr<ICalcEnumHost> host(KVD::com_cast(calculation));
    return dynamic_cast<CalcEnumHost*>(host.get());
}

}  // namespace

int VirtualChannels::Add()
{
    mChannels.emplace_back();
    return Count() - 1;
}

KVD::String VirtualChannels::Name(int index)
{
    return KVD::String(L"VCh" + std::to_wstring(index + 1));
}

int VirtualChannels::Find(const KVD::String& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const KVD::String own = Name(i);
        if (own.length() == name.length() && _wcsnicmp(own.c_str(), name.c_str(), long(own.length())) == 0)
            return i;
    }
    return -1;
}

ICalculation* VirtualChannels::Calculation(int index) const
{
    return IsChannel(index) ? mChannels[size_t(index)].calculation.get() : nullptr;
}

void VirtualChannels::SetCalculation(int index, ICalculation* calculation)
{
    Channel& c = mChannels.at(size_t(index));
    const KVD::COMPtr<ICalculation> previous = c.calculation;  // released once the table is consistent
    c.calculation = calculation;
    ++c.generation;
    DropComputed();
}

bool VirtualChannels::GivesEvents(int index) const
{
    CalcEnumHost* host = HostOf(Calculation(index));
    KVD::COMPtr<ICalcEnum> calcEnum;
    if (host != nullptr)
        host->GetCalcEnum(calcEnum.Set());
    return KVD::COMPtr<IEnumEventEx>(KVD::com_cast(calcEnum.get())) != nullptr;
}

std::shared_ptr<const FloatSamples> VirtualChannels::Floats(int record, int index, uint32_t ticks)
{
    CalcEnumHost* host = HostOf(Calculation(index));
    if (host == nullptr)
        return nullptr;
    Channel& c = mChannels[size_t(index)];
    if (auto it = c.samples.find(record); it != c.samples.end())
        return it->second;
    if (!mComputing.insert(index).second)
        return nullptr;
    auto computed = std::make_shared<ComputedSamples>(ticks);
    uint32_t delivered = 0;
    if (ticks > 0)
        host->GetSamples(record, 0, ticks, computed->Data(), &delivered);
    std::fill(computed->Data() + std::min(delivered, ticks), computed->Data() + ticks,
              std::numeric_limits<float>::quiet_NaN());
    mComputing.erase(index);
    mChannels[size_t(index)].samples[record] = computed;
    return computed;
}

std::shared_ptr<const ComputedEvents> VirtualChannels::Events(int record, int index)
{
    CalcEnumHost* host = HostOf(Calculation(index));
    if (host == nullptr)
        return nullptr;
    Channel& c = mChannels[size_t(index)];
    if (auto it = c.events.find(record); it != c.events.end())
        return it->second;
    if (!mComputing.insert(index).second)
        return nullptr;
    auto events = std::make_shared<ComputedEvents>();
    const HRESULT hr = host->GetEvents(record, *events);
    mComputing.erase(index);
    if (hr != KVD_S_OK)
        events.reset();
    mChannels[size_t(index)].events[record] = events;
    return events;
}

ComputedEventStream::Source VirtualChannels::LatestEvents(int record, int index)
{
    return [self = std::weak_ptr<VirtualChannels*>(mSelf), record, index]() -> std::shared_ptr<const ComputedEvents> {
        const auto channels = self.lock();
        return channels != nullptr ? (*channels)->Events(record, index) : nullptr;
    };
}

KVD::COMPtr<IUnitsConversion> VirtualChannels::Units(int record, int index)
{
    ICalculation* calculation = Calculation(index);
    if (calculation == nullptr)
        return nullptr;
    Channel& c = mChannels[size_t(index)];
    if (auto it = c.units.find(record); it != c.units.end())
        return it->second;
    KVD::COMPtr<IUnitsConversion> units;
    if (KVD::COMPtr<IChannelCalc> calc{KVD::com_cast(calculation)}) {
        TTickToSample map{1, 0};
        int length = 0;
        CalcRecCreationFlags creation = 0;
        calc->GetRecordCreationInfo(record, TChannelId{index, kVirtualChannelKind}, units.Set(), &map, &length,
                                    &creation);
    }
    if (units == nullptr)
        units = Adopt<IUnitsConversion>(ChannelUnits::Create(1.0, 0.0, ""));
    c.units[record] = units;
    return units;
}

void VirtualChannels::DropComputed()
{
    for (Channel& c : mChannels) {
        c.samples.clear();
        c.events.clear();
        c.units.clear();
    }
}

void VirtualChannels::ReleaseCalculations()
{
    std::vector<KVD::COMPtr<ICalculation>> released;
    for (Channel& c : mChannels) {
        released.push_back(c.calculation);
        c.calculation.Clear();
    }
    DropComputed();
}

}  // namespace Host
