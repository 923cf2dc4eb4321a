// The sources of an event detector as the detector steps through them: one item at a time,
// read from the real source in blocks, positioned by tick, and limited to an end tick so that
// a search never reads past the part of the data it was given.
#pragma once

#include <vector>

#include "IEnumEventEx.h"
#include "IEnumFloatEx.h"
#include "IEnumFloatSpan.h"
#include "calc/EEH3AnalysisRegion.h"
#include "foundation/COMPtr.h"

namespace EEH3 {

class eeh_SourceEnum {
public:
    eeh_SourceEnum() = default;
    eeh_SourceEnum(const eeh_SourceEnum&) = delete;
    eeh_SourceEnum& operator=(const eeh_SourceEnum&) = delete;
    virtual ~eeh_SourceEnum() = default;

    // The tick of the current item; past the last item, where the source stands.
    virtual int32_t GetPosition() const = 0;
    // Steps to the next item, reading more from the source when the buffer is used up.
    virtual void Advance() = 0;
    // Whether there is a current item (reads more when nothing is buffered).
    virtual bool IsValid();
    // Whether there is a current item, without reading.
    virtual bool CheckValid() const { return !mExhausted && storeready(); }
    // Makes the first item at or after tick current.
    virtual void MoveTo(int32_t tick) = 0;
    // Positions the real source before the first read.
    virtual HRESULT SetInitialPosition(int32_t tick) = 0;
    virtual HRESULT GetTickToSample(TTickToSample* map) const = 0;
    virtual void clearstore() { mRead = mCount = 0; }
    virtual bool storeready() const { return mRead < mCount; }

    // The end tick is never beyond the analysis end.
    void SetEndTick(int32_t tick) { mEndTick = tick < mAnalysisEnd ? tick : mAnalysisEnd; }
    void SetAnalysisEnd(int32_t tick) { mAnalysisEnd = tick; }
    int32_t GetEndTick() const { return mEndTick; }
    // Nothing more will come: the source ended, or the end tick is the analysis end.
    bool CompletelyExhausted() const { return mExhausted && (mSourceEnded || mEndTick >= mAnalysisEnd); }

protected:
    // Reads the next block; sets the exhausted flags when nothing more comes.
    virtual void Fill() = 0;
    void MarkExhausted(bool sourceEnded)
    {
        mExhausted = true;
        mSourceEnded = mSourceEnded || sourceEnded;
    }
    void MarkAvailable() { mExhausted = mSourceEnded = false; }

    bool mExhausted = false;
    bool mSourceEnded = false;
    int32_t mEndTick = kNoTick;
    int32_t mAnalysisEnd = kNoTick;
    uint32_t mRead = 0;
    uint32_t mCount = 0;
};

// A sample source; without one it only counts ticks and is always valid. A source that keeps
// its samples in memory is read in place, block by block, others are copied into a buffer.
class FloatExWrapper : public eeh_SourceEnum {
public:
    static constexpr uint32_t kBlock = 1024;

    explicit FloatExWrapper(IEnumFloatEx* source);

    float deref() const { return mBlock[mRead]; }
    IEnumFloatEx* Source() const { return mSource.get(); }
    // The buffered samples from the current one on, for a detector that steps through a block
    // itself and then skips what it used (SkipBuffered); IsValid reads the next block.
    const float* Buffered(uint32_t& count) const
    {
        count = mCount - mRead;
        return mBlock + mRead;
    }
    void SkipBuffered(uint32_t count) { mRead += count < mCount - mRead ? count : mCount - mRead; }

    int32_t GetPosition() const override;
    void Advance() override;
    bool IsValid() override;
    void MoveTo(int32_t tick) override;
    HRESULT SetInitialPosition(int32_t tick) override;
    HRESULT GetTickToSample(TTickToSample* map) const override;

protected:
    void Fill() override;

private:
    int32_t SourcePosition() const;
    // Reads up to wanted samples into the current block; answers how many came.
    uint32_t ReadBlock(uint32_t wanted);

    KVD::COMPtr<IEnumFloatEx> mSource;
    KVD::COMPtr<IEnumFloatSpan> mInPlace;  // null once the source refused it
    std::vector<float> mBuffer;
    const float* mBlock = nullptr;  // the current block: in the source's memory or mBuffer
    int32_t mBufferTick = 0;  // tick of mBuffer[0]; with mCount 0, where the source stands
};

// An event source, read in batches of events.
class EventWrapper : public eeh_SourceEnum {
public:
    // A source whose records are not expectedSize bytes (when that is given) is not used.
    EventWrapper(IEnumEventEx* source, uint32_t batch, int32_t expectedSize = 0);

    // The current event's bytes (GetSizeofEvents long).
    const uint8_t* deref() const { return reinterpret_cast<const uint8_t*>(mBuffer.data()) + mRead * mSize; }
    const EventHeader& header() const { return *reinterpret_cast<const EventHeader*>(deref()); }
    int32_t EventSize() const { return mSize; }
    IEnumEventEx* Source() const { return mSource.get(); }

    int32_t GetPosition() const override;
    void Advance() override;
    void MoveTo(int32_t tick) override;
    HRESULT SetInitialPosition(int32_t tick) override;
    HRESULT GetTickToSample(TTickToSample* map) const override;

protected:
    void Fill() override;

private:
    int32_t TickAt(uint32_t index) const;

    KVD::COMPtr<IEnumEventEx> mSource;
    int32_t mSize = 0;
    uint32_t mBatch;
    std::vector<double> mBuffer;  // doubles keep the records 8-byte aligned
    int32_t mSourcePosition = 0;
};

// An event source whose records are E.
template <class E>
class EventWrapperEx : public EventWrapper {
public:
    static_assert(sizeof(E) >= sizeof(EventHeader) && alignof(E) <= alignof(double) && sizeof(E) % alignof(E) == 0,
                  "an event record starts with the 16-byte header");

    EventWrapperEx(IEnumEventEx* source, uint32_t batch)
        : EventWrapper(source, batch, static_cast<int32_t>(sizeof(E)))
    {
    }

    const E& deref() const { return *reinterpret_cast<const E*>(EventWrapper::deref()); }
};

}  // namespace EEH3
