#include "host/data/ChannelComputation.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace Host {

ChannelComputation::ChannelComputation(ICalculation* calculation, CalcEnumHost& host, ComputedSamples& samples,
                                       FailureSink failed)
    : mCalculation(calculation), mHost(host), mSamples(samples), mFailed(std::move(failed))
{
}

HRESULT ChannelComputation::Start(ICalculation* calculation, CalcEnumHost& host, int record, ComputedSamples& samples,
                                  FailureSink failed)
{
    std::unique_ptr<ChannelComputation> computation(new ChannelComputation(calculation, host, samples, std::move(failed)));
    const HRESULT hr = host.BeginSamples(record, computation.get());
    if (hr != KVD_S_OK)
        return hr;
    computation->mOpen = true;
    samples.ProduceLazily(std::move(computation));
    return KVD_S_OK;
}

ChannelComputation::~ChannelComputation()
{
    if (mOpen)
        mHost.EndSamples(this);
}

// What the calculation does not deliver is NaN, so a failing calculation shows as a gap rather
// than as made-up values; it is done then.
uint32_t ChannelComputation::Produce(float* samples, uint32_t ready, uint32_t end)
{
    const uint32_t size = mSamples.Size();
    if (!mOpen)
        return ready;
    const uint32_t wanted = std::min(size, std::max(end, ready + std::min(kPart, size - ready))) - ready;
    uint32_t delivered = 0;
    const HRESULT hr = mHost.ContinueSamples(wanted, samples + ready, &delivered);
    delivered = std::min(delivered, wanted);
    if (hr != KVD_S_OK && hr != KVD_S_FALSE)
        mFailed(FailureText(mCalculation, hr));
    if (delivered == wanted && ready + delivered < size && hr == KVD_S_OK)
        return ready + delivered;
    std::fill(samples + ready + delivered, samples + size, std::numeric_limits<float>::quiet_NaN());
    mOpen = false;
    mHost.EndSamples(this);
    return size;
}

void ChannelComputation::Finish()
{
    // The samples let this computation go once they are complete: nothing here is touched after.
    mSamples.Complete();
}

}  // namespace Host
