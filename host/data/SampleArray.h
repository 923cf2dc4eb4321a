// The samples of one channel in one record as streams read them. Streams share the array and
// keep it alive, so a stream outlives a recomputation or the document that handed it out.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/data/Recording.h"

namespace Host {

template <class T>
class SampleArray {
public:
    virtual ~SampleArray() = default;
    virtual uint32_t Size() const = 0;
    // Copies count samples from index from; the caller keeps within Size().
    virtual void Read(uint32_t from, uint32_t count, T* out) const = 0;
    // Sample from where it lies, with the count after it, unchanging while the array lives; null
    // when they are made as they are read (or may move, as recorded data being sampled does).
    virtual const T* InPlace(uint32_t /*from*/, uint32_t /*count*/) const { return nullptr; }
};

using FloatSamples = SampleArray<float>;
using ShortSamples = SampleArray<int16_t>;

// Computed samples, held as the enumerator delivered them: all at once, or a part at a time as
// they are first read, so that a calculation reading another's output finds it in the cache.
class ComputedSamples final : public FloatSamples {
public:
    // What computes the samples as they are first read.
    class Producer {
    public:
        virtual ~Producer() = default;
        // Computes samples from ready on, at least up to end, into samples; answers how many
        // are ready from the start (the size once done: what it could not compute is NaN).
        virtual uint32_t Produce(float* samples, uint32_t ready, uint32_t end) = 0;
    };

    // Room for size samples, left unset: whoever makes it sets every one before handing it out,
    // or hands it a producer, so that no sample is written twice.
    explicit ComputedSamples(uint32_t size) : mSamples(new float[size]), mSize(size) {}
    // The same over storage of at least size samples that an earlier array gave up.
    ComputedSamples(std::unique_ptr<float[]> storage, uint32_t size) : mSamples(std::move(storage)), mSize(size) {}
    uint32_t Size() const override { return mSize; }
    // A sample a producer is computing (a calculation reading its own output) reads as NaN.
    void Read(uint32_t from, uint32_t count, float* out) const override;
    // Null for samples a producer is computing.
    const float* InPlace(uint32_t from, uint32_t count) const override;
    float* Data() { return mSamples.get(); }

    // The samples are computed by producer as they are read; none is yet.
    void ProduceLazily(std::unique_ptr<Producer> producer)
    {
        mProducer = std::move(producer);
        mReady = 0;
    }
    // Has every sample computed.
    void Complete() const { Ensure(mSize); }
    bool IsComplete() const { return mReady >= mSize; }
    // Storage given up, with the number of samples it has room for.
    struct Storage {
        std::unique_ptr<float[]> samples;
        uint32_t size = 0;
    };
    // Gives up the storage for another array; this one is empty afterwards.
    // What was not computed yet never is.
    Storage TakeStorage()
    {
        mProducer.reset();
        Storage storage{std::move(mSamples), mSize};
        mSize = mReady = 0;
        return storage;
    }

private:
    // Has the samples up to end computed, unless the producer is busy already.
    void Ensure(uint32_t end) const;

    std::unique_ptr<float[]> mSamples;
    uint32_t mSize;
    // Reading computes: a const array's samples are its own once all are ready.
    mutable std::unique_ptr<Producer> mProducer;
    mutable uint32_t mReady = mSize;
    mutable bool mProducing = false;
};

// Samples of another array times a factor: computed data read in the prefix it is shown in.
class ScaledSamples final : public FloatSamples {
public:
    ScaledSamples(std::shared_ptr<const FloatSamples> samples, double factor)
        : mSamples(std::move(samples)), mFactor(factor) {}
    uint32_t Size() const override { return mSamples->Size(); }
    void Read(uint32_t from, uint32_t count, float* out) const override;

private:
    std::shared_ptr<const FloatSamples> mSamples;
    double mFactor;
};

// A recorded channel of a record: its stored values, in its unit or as stored.
class RecordedSamples final : public FloatSamples {
public:
    RecordedSamples(std::shared_ptr<const Recording> recording, size_t record, size_t channel, bool inUnits);
    uint32_t Size() const override;
    void Read(uint32_t from, uint32_t count, float* out) const override;

private:
    std::shared_ptr<const Recording> mRecording;
    const std::vector<int16_t>& mStored;
    const ChannelFormat& mFormat;
    bool mInUnits;
};

// A recorded channel of a record as its 16-bit stored values.
class RecordedShorts final : public ShortSamples {
public:
    RecordedShorts(std::shared_ptr<const Recording> recording, size_t record, size_t channel);
    uint32_t Size() const override { return static_cast<uint32_t>(mStored.size()); }
    void Read(uint32_t from, uint32_t count, int16_t* out) const override;

private:
    std::shared_ptr<const Recording> mRecording;
    const std::vector<int16_t>& mStored;
};

}  // namespace Host
