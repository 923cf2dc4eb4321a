// What a simulated device samples: a fixed number of channels at a tick rate, each value a
// function of the tick since sampling began.
#pragma once

#include <cstdint>
#include <memory>

#include "host/data/Recording.h"
#include "host/synth/SyntheticBreathing.h"

namespace Host {

class SampleSource {
public:
    virtual ~SampleSource() = default;
    virtual double TickRate() const = 0;
    virtual size_t ChannelCount() const = 0;
    // The value of a channel at a tick, in the channel's unit.
    virtual float Value(size_t channel, uint64_t tick) const = 0;
};

// A flow head on a person breathing as the synthetic recording does (its breaths repeat); every
// channel reads the head's signal in volts.
class BreathingSource final : public SampleSource {
public:
    BreathingSource(const SyntheticOptions& options, size_t channels);
    double TickRate() const override { return mOptions.rate; }
    size_t ChannelCount() const override { return mChannels; }
    float Value(size_t channel, uint64_t tick) const override;

private:
    SyntheticOptions mOptions;
    SyntheticBreathing mBreathing;
    size_t mChannels;
};

// A recording's first record played back as if sampled live, from its start again when it ends.
class ReplaySource final : public SampleSource {
public:
    // Throws RecordingError when the recording has no ticks to play.
    explicit ReplaySource(std::shared_ptr<const Recording> recording);
    double TickRate() const override { return mRecording->TickRate(); }
    size_t ChannelCount() const override { return mRecording->ChannelCount(); }
    float Value(size_t channel, uint64_t tick) const override;

private:
    std::shared_ptr<const Recording> mRecording;
};

}  // namespace Host
