#include "host/data/SampleArray.h"

#include <algorithm>

namespace Host {

void ComputedSamples::Read(uint32_t from, uint32_t count, float* out) const
{
    std::copy_n(mSamples.get() + from, count, out);
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
