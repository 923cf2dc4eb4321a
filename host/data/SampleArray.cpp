#include "host/data/SampleArray.h"

#include <algorithm>
#include <limits>

namespace Host {

void ComputedSamples::Ensure(uint32_t end) const
{
    if (mReady >= end || mProducer == nullptr || mProducing)
        return;
    mProducing = true;
    mReady = std::max(mReady, mProducer->Produce(mSamples.get(), mReady, std::min(end, mSize)));
    mProducing = false;
    if (mReady >= mSize)
        mProducer.reset();
}

void ComputedSamples::Read(uint32_t from, uint32_t count, float* out) const
{
    Ensure(from + count);
    const uint32_t ready = std::clamp(mReady, from, from + count) - from;
    std::copy_n(mSamples.get() + from, ready, out);
    std::fill(out + ready, out + count, std::numeric_limits<float>::quiet_NaN());
}

const float* ComputedSamples::InPlace(uint32_t from, uint32_t count) const
{
    Ensure(from + count);
    return mReady >= from + count ? mSamples.get() + from : nullptr;
}

void ScaledSamples::Read(uint32_t from, uint32_t count, float* out) const
{
    mSamples->Read(from, count, out);
    std::transform(out, out + count, out, [this](float v) { return float(double(v) * mFactor); });
}

RecordedSamples::RecordedSamples(std::shared_ptr<const Recording> recording, size_t record, size_t channel,
                                 bool inUnits)
    : mRecording(std::move(recording)),
      mStored(mRecording->Record(record).samples.at(channel)),
      mFormat(mRecording->Channel(channel)),
      mInUnits(inUnits)
{
}

uint32_t RecordedSamples::Size() const
{
    return static_cast<uint32_t>(mStored.size());
}

void RecordedSamples::Read(uint32_t from, uint32_t count, float* out) const
{
    const auto first = mStored.begin() + from;
    if (mInUnits)
        std::transform(first, first + count, out, [this](int16_t raw) { return float(mFormat.Physical(raw)); });
    else
        std::copy_n(first, count, out);
}

RecordedShorts::RecordedShorts(std::shared_ptr<const Recording> recording, size_t record, size_t channel)
    : mRecording(std::move(recording)), mStored(mRecording->Record(record).samples.at(channel))
{
}

void RecordedShorts::Read(uint32_t from, uint32_t count, int16_t* out) const
{
    std::copy_n(mStored.begin() + from, count, out);
}

}  // namespace Host
