// The virtual channels of a document's data: channels outside the recording that a dialog
// makes for itself and puts calculations on. Each is named after its formula token ("VCh1" for
// the first), computes samples or events record by record through its calculation on demand,
// and keeps them until its calculation or the data it reads changes.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "IChannelCalc.h"
#include "ISetVirtualChans.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/channels/ComputedEvents.h"
#include "host/data/SampleArray.h"

namespace Host {

class VirtualChannels {
public:
    static bool IsVirtual(TChannelId channel) { return (channel.blockDataType & 0xFFu) == kVirtualChannelKind; }
    static bool IsVirtualKey(uint64_t channelKey) { return IsVirtual(TChannelId{0, uint32_t(channelKey >> 32)}); }

    VirtualChannels() = default;
    VirtualChannels(const VirtualChannels&) = delete;
    VirtualChannels& operator=(const VirtualChannels&) = delete;

    // A new channel without a calculation; answers its index.
    int Add();
    int Count() const { return int(mChannels.size()); }
    bool IsChannel(int index) const { return index >= 0 && index < Count(); }
    static KVD::String Name(int index);
    // The channel named so (letters in any case); -1 when none.
    int Find(const KVD::String& name) const;

    ICalculation* Calculation(int index) const;
    // How many times a calculation was put on the channel (or taken off).
    int Generation(int index) const { return IsChannel(index) ? mChannels[size_t(index)].generation : 0; }
    // Puts the calculation on the channel (null takes it off); what was computed goes.
    void SetCalculation(int index, ICalculation* calculation);
    // Whether the channel's calculation gives events rather than samples.
    bool GivesEvents(int index) const;

    // The record's samples (NaN where the calculation gives none); null without a calculation.
    std::shared_ptr<const FloatSamples> Floats(int record, int index, uint32_t ticks);
    // The record's events; null without a calculation that gives events.
    std::shared_ptr<const ComputedEvents> Events(int record, int index);
    // The record's events as they are whenever asked (null once these channels are gone): a
    // stream over a record still being sampled reads on into the events found as it grows.
    ComputedEventStream::Source LatestEvents(int record, int index);
    // The units the calculation gives the record; null without a calculation.
    KVD::COMPtr<IUnitsConversion> Units(int record, int index);

    // Forgets what was computed: the data the calculations read may have changed.
    void DropComputed();
    // Lets go of every calculation (they may hold the document's data).
    void ReleaseCalculations();

private:
    struct Channel {
        KVD::COMPtr<ICalculation> calculation;
        int generation = 0;
        std::map<int, std::shared_ptr<const FloatSamples>> samples;
        std::map<int, std::shared_ptr<const ComputedEvents>> events;
        std::map<int, KVD::COMPtr<IUnitsConversion>> units;
    };

    std::vector<Channel> mChannels;
    // Channels being computed: a calculation that reads its own output gets nothing.
    std::set<int> mComputing;
    // What the sources of latest events reach these channels through, without holding them.
    std::shared_ptr<VirtualChannels*> mSelf = std::make_shared<VirtualChannels*>(this);
};

}  // namespace Host
