#include "host/sampling/SampleSource.h"

#include <cmath>

namespace Host {

BreathingSource::BreathingSource(const SyntheticOptions& options, size_t channels)
    : mOptions(options), mBreathing(options), mChannels(channels)
{
}

float BreathingSource::Value(size_t, uint64_t tick) const
{
    const double t = std::fmod(double(tick) / mOptions.rate, mBreathing.Seconds());
    return float(mBreathing.Flow(t) / mOptions.headScale);
}

ReplaySource::ReplaySource(std::shared_ptr<const Recording> recording) : mRecording(std::move(recording))
{
    if (mRecording->RecordCount() == 0 || mRecording->Record(0).ticks == 0)
        throw RecordingError(mRecording->Path() + ": no samples to replay");
}

float ReplaySource::Value(size_t channel, uint64_t tick) const
{
    return float(mRecording->PhysicalAt(0, channel, uint32_t(tick % mRecording->Record(0).ticks)));
}

}  // namespace Host
