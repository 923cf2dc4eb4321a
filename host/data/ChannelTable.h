// The channels of a data document: those of its recording, and further empty channels that
// calculations can be put on. A channel with a calculation serves the calculation's samples,
// pulled record by record through the calculation's enumerator host and kept until the
// calculation or the data changes; its recorded data, if any, stays readable as raw data.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "IChannelCalc.h"
#include "IRecordData.h"
#include "foundation/COMPtr.h"
#include "host/data/Recording.h"
#include "host/data/SampleArray.h"

namespace Host {

class ChannelTable {
public:
    explicit ChannelTable(std::shared_ptr<const Recording> recording);
    ~ChannelTable();

    const Recording& GetRecording() const { return *mRecording; }
    int Count() const { return static_cast<int>(mChannels.size()); }
    int RecordCount() const { return static_cast<int>(mRecording->RecordCount()); }
    bool IsRecord(int record) const { return record >= 0 && record < RecordCount(); }
    bool IsChannel(int channel) const { return channel >= 0 && channel < Count(); }
    uint32_t Ticks(int record) const { return mRecording->Record(record).ticks; }

    // Appends a channel without recorded data; answers its index.
    int AddChannel(const std::string& title, const std::string& unit);
    const std::string& Title(int channel) const { return mChannels.at(channel).title; }
    const std::string& Unit(int channel) const { return mChannels.at(channel).unit; }
    // The first channel with the title, its letters compared regardless of case as formulas
    // name channels; -1 when none.
    int Find(const std::string& title) const;

    bool HasData(int record, int channel, uint32_t flags);
    // The channel's data in the record as the request asks for it; null when there is none.
    std::shared_ptr<const FloatSamples> Floats(int record, int channel, uint32_t flags);
    // Why the calculation of the channel could not compute the record (its samples are then
    // NaN); empty when it could, or has not been asked to yet. Computes the rest of a record
    // computed as it is read.
    std::string ComputeFailure(int record, int channel);
    // The stored values of a recorded channel; null for computed data.
    std::shared_ptr<const ShortSamples> Shorts(int record, int channel, uint32_t flags);
    KVD::COMPtr<IUnitsConversion> Units(int record, int channel, uint32_t flags);
    KVD::COMPtr<IRecordChannel> ChannelObject(int channel);

    ICalculation* Calculation(int channel) const;
    // Puts the calculation on the channel (null takes it off) and drops what was computed.
    void SetCalculation(int channel, ICalculation* calculation);
    // Forgets every computed sample and units: sources may have changed under any of them.
    void DropComputed();
    // Lets go of every calculation (they may hold the document's data).
    void ReleaseCalculations();

private:
    struct Channel {
        std::string title;
        std::string unit;
        int recorded = -1;  // channel of the recording, or -1
        KVD::COMPtr<ICalculation> calculation;
        std::map<int, std::shared_ptr<ComputedSamples>> computed;
        // The storage of dropped records that nothing else held, for their next computation:
        // a long record is not unmapped and faulted in again on every recomputation.
        std::map<int, ComputedSamples::Storage> spare;
        std::map<int, std::string> failures;  // why a record could not be computed
        std::map<int, KVD::COMPtr<IUnitsConversion>> computedUnits;
        KVD::COMPtr<IRecordChannel> object;
    };

    bool UsesCalculation(const Channel& c, uint32_t flags) const;
    std::shared_ptr<const FloatSamples> Computed(int record, int channel);
    // The computed samples, in the prefix they are shown in when the request asks for it.
    std::shared_ptr<const FloatSamples> ComputedAsAsked(int record, int channel, uint32_t flags);
    // A record's samples to compute into: its spare storage when there is one.
    std::shared_ptr<ComputedSamples> NewComputed(int record, Channel& c);
    KVD::COMPtr<IUnitsConversion> RecordedUnits(const Channel& c) const;
    KVD::COMPtr<IUnitsConversion> ComputedUnits(int record, int channel);

    std::shared_ptr<const Recording> mRecording;
    std::vector<Channel> mChannels;
    // Channels being computed: a calculation that reads its own output gets none.
    std::set<int> mComputing;
};

}  // namespace Host
