// A computed channel's record computed as it is read: the calculation host stays connected to
// the record's sources and computes the next part whenever a reader goes past what is ready,
// so that a calculation reading another's output (volume from flow), and the detectors after
// them, find each part still in the processor's cache instead of passing over the whole record
// once per calculation.
#pragma once

#include <functional>
#include <string>

#include "foundation/COMPtr.h"
#include "host/calc/CalcEnumHost.h"
#include "host/data/SampleArray.h"

namespace Host {

class ChannelComputation final : public ComputedSamples::Producer, public CalcEnumHost::Computation {
public:
    // Told why the calculation failed, once, if it does.
    using FailureSink = std::function<void(const std::string&)>;

    // Begins computing samples through host (whose outer object is calculation); hands the
    // samples their producer, or answers the failure of the beginning (samples are then left
    // to the caller).
    static HRESULT Start(ICalculation* calculation, CalcEnumHost& host, int record, ComputedSamples& samples,
                         FailureSink failed);
    ~ChannelComputation() override;

    uint32_t Produce(float* samples, uint32_t ready, uint32_t end) override;
    void Finish() override;

    // Samples computed at a time at least: a part that stays in the second-level cache.
    static constexpr uint32_t kPart = 16384;

private:
    ChannelComputation(ICalculation* calculation, CalcEnumHost& host, ComputedSamples& samples, FailureSink failed);

    KVD::COMPtr<ICalculation> mCalculation;  // keeps the host alive
    CalcEnumHost& mHost;
    ComputedSamples& mSamples;
    FailureSink mFailed;
    bool mOpen = false;
};

}  // namespace Host
