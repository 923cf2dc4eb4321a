// The host's formula function EventInterp(events [, mode]): an event stream made samples. In
// mode 0 (the default) each event's value holds from its tick until the next event; in mode 1
// the values are joined by straight lines and the last one holds. Before the first event the
// samples are NaN. Sample positions are the events' ticks.
#pragma once

#include "IEnumEventEx.h"
#include "host/calc/HostSampleEnum.h"

namespace HostCalc {

class EventInterpEnum : public HostSampleEnumT<EventInterpEnum> {
public:
    EventInterpEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 0) {}
    // The copy reads a clone of the event stream from its start.
    EventInterpEnum(const EventInterpEnum& other);

    // One event stream whose records begin with the 16-byte event header.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT ReleaseSources() override;
    HRESULT GetTickToSample(TTickToSample* map) override;

protected:
    // Empty, or the mode: 0 or 1.
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    struct Point {
        int64_t tick = 0;
        double value = 0.0;
        bool valid = false;
    };

    // Back to the stream's first event.
    void Rewind();
    // The next event of the stream, invalid once there is none.
    Point Fetch();
    // prev becomes the last event at or before tick, next the one after it.
    void AdvanceTo(int64_t tick);
    double ValueAt(int64_t tick) const;

    KVD::COMPtr<IEnumEventEx, KVD::COMCloneEnumEx> mSource;
    int mMode = 0;
    int32_t mEventSize = 0;
    std::vector<uint8_t> mBatch;
    uint32_t mBatchCount = 0;
    uint32_t mBatchRead = 0;
    bool mEnded = false;
    bool mStarted = false;
    Point mPrev;
    Point mNext;
};

}  // namespace HostCalc
