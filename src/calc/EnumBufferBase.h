// A buffered reader of a sample stream: pulls its source N samples at a time and hands them
// out one by one. It counts the source position after the buffered samples, so that it can
// skip and reposition by its own counters.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "IBlockDataQueue.h"
#include "IEnumFloatSpan.h"
#include "ICalcEnum.h"
#include "ResultCodes.h"
#include "calc/SourcePositioning.h"
#include "foundation/COMPtr.h"

template <class T, class IEnum, unsigned N>
class EnumBufferBase {
public:
    static constexpr unsigned kCapacity = N;

    EnumBufferBase() = default;
    // The copy reads a clone of the source with the same buffered samples; it holds no
    // block-data queue. A reader without a source copies as an empty reader.
    EnumBufferBase(const EnumBufferBase& other) : mSource(other.mSource)
    {
        if (!mSource)
            return;
        if constexpr (std::is_same_v<T, float>)
            if (other.mInPlace)
                mInPlace = KVD::com_cast(mSource.get());
        std::copy<const T*>(other.mBuffer, other.mEnd, mBuffer);
        mCurrent = mBuffer + (other.mCurrent - other.mBuffer);
        mEnd = mBuffer + (other.mEnd - other.mBuffer);
        mSourcePosition = other.mSourcePosition;
        mLastResult = other.mLastResult;
    }
    EnumBufferBase& operator=(const EnumBufferBase&) = delete;

    // Reads source from now on (null releases the one held), starting at its current position.
    void SetEnum(IEnum* source)
    {
        mSource = source;
        mQueue.Clear();
        mInPlace.Clear();
        if (mSource)
            mQueue = KVD::com_cast(mSource.get());
        if constexpr (std::is_same_v<T, float>)
            if (mSource)
                mInPlace = KVD::com_cast(mSource.get());
        mLastResult = KVD_S_OK;
        Resync();
    }
    void Release() { SetEnum(nullptr); }

    // Forgets the buffered samples and takes the source's own position as the next one: for
    // when someone moved the source behind the reader's back.
    void Resync()
    {
        ClearBuffer();
        mSourcePosition = 0;
        if (mSource)
            mSource->GetPosition(&mSourcePosition);
    }

    // Whether a sample is ready, filling the buffer from the source when it is empty.
    bool HasMore()
    {
        if (mCurrent != mEnd)
            return true;
        ClearBuffer();
        if (!mSource)
            return false;
        uint32_t got = 0;
        mLastResult = mSource->Next(N, mBuffer, &got);
        got = std::min(got, N);
        mSourcePosition += static_cast<int32_t>(got);
        mEnd = mBuffer + got;
        return got != 0;
    }
    // The next sample; only after HasMore answered true.
    T Next() { return *mCurrent++; }

    // With nothing buffered, reads up to count samples from the source straight into out, the
    // samples the buffer would have handed out next: a bulk read without the copy through the
    // buffer. Answers how many came.
    uint32_t NextPastBuffer(uint32_t count, T* out)
    {
        if (mCurrent != mEnd || !mSource)
            return 0;
        // Samples handed out before are gone: a skip back reaches them through the source.
        ClearBuffer();
        uint32_t got = 0;
        mLastResult = mSource->Next(count, out, &got);
        got = std::min(got, count);
        mSourcePosition += static_cast<int32_t>(got);
        return got;
    }

    // NextPastBuffer without the copy, from a source that keeps its samples in memory: samples
    // points at them (valid while the source is held). Answers how many came; 0 with samples
    // null when the source keeps none, and the reader then copies as NextPastBuffer does.
    uint32_t NextInPlace(uint32_t count, const T*& samples)
    {
        static_assert(std::is_same_v<T, float>, "only float sources keep samples in place");
        samples = nullptr;
        if (mCurrent != mEnd || !mInPlace)
            return 0;
        ClearBuffer();
        uint32_t got = 0;
        const HRESULT hr = mInPlace->NextInPlace(count, &samples, &got);
        if (hr == KVD_E_NOTIMPL || samples == nullptr) {
            mInPlace.Clear();
            samples = nullptr;
            return 0;
        }
        mLastResult = hr;
        got = std::min(got, count);
        mSourcePosition += static_cast<int32_t>(got);
        return got;
    }

    // Moves the next sample by n (back when negative): inside the buffer by the buffer alone,
    // otherwise by skipping the source, after which the buffer is empty. skipped receives the
    // distance moved; the result is the source's.
    HRESULT SkipEx(int32_t n, int32_t* skipped)
    {
        *skipped = n;
        if (n == 0)
            return KVD_S_OK;
        if (!mSource) {
            *skipped = 0;
            return KVD_E_BADSTATE;
        }
        if ((n > 0 && n <= mEnd - mCurrent) || (n < 0 && -n <= mCurrent - mBuffer)) {
            mCurrent += n;
            return KVD_S_OK;
        }
        const int32_t distance = NextPosition() + n - mSourcePosition;
        int32_t moved = 0;
        const HRESULT hr = mSource->SkipEx(distance, &moved);
        mSourcePosition += moved;
        *skipped = n - (distance - moved);
        ClearBuffer();
        return hr;
    }

    // Positions the source at p and empties the buffer: through the source's 64-bit or 32-bit
    // calculation-enumerator positioning when it has one, else by skipping it (the source
    // position is then where the skip stopped).
    HRESULT SetInitialPosition(int32_t p)
    {
        ClearBuffer();
        mSourcePosition = p;
        if (!mSource)
            return KVD_E_BADSTATE;
        KVD::COMPtr<ICalcEnum64> calc64(KVD::com_cast(mSource.get()));
        if (calc64)
            return calc64->SetInitialPosition64(p);
        return CalcEnums::PositionSource(mSource.get(), p, &mSourcePosition);
    }

    IEnum* Source() const { return mSource.get(); }
    // The position of the sample Next would hand out.
    int32_t NextPosition() const { return mSourcePosition - Buffered(); }
    int32_t SourcePosition() const { return mSourcePosition; }
    int32_t Buffered() const { return static_cast<int32_t>(mEnd - mCurrent); }
    HRESULT LastResult() const { return mLastResult; }

private:
    void ClearBuffer() { mCurrent = mEnd = mBuffer; }

    T mBuffer[N] = {};
    T* mCurrent = mBuffer;
    T* mEnd = mBuffer;
    KVD::COMPtr<IEnum, KVD::COMCloneEnumEx> mSource;  // copying the holder clones the stream
    KVD::COMPtr<IBlockDataQueue> mQueue;               // kept alive with the source
    KVD::COMPtr<IEnumFloatSpan> mInPlace;              // the source's in-place face, if it has one
    int32_t mSourcePosition = 0;  // after the buffered samples
    HRESULT mLastResult = KVD_S_OK;
};
