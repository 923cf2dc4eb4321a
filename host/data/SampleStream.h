// The host's sample streams over one channel of one record. Positions are sample indices of
// the record; a stream reads up to its end tick and can be skipped anywhere in between the
// record's start and that end, backwards included.
#pragma once

#include <algorithm>
#include <memory>

#include "IEnumFloatEx.h"
#include "IEnumFloatSpan.h"
#include "IEnumShortEx.h"
#include "foundation/UnknownImp.h"
#include "host/data/SampleArray.h"

namespace Host {

// A float stream also hands out samples its array keeps in memory in place.
template <class Stream>
class InPlaceReads : public IEnumFloatSpan {
public:
    HRESULT NextInPlace(uint32_t count, const float** samples, uint32_t* delivered) override
    {
        return static_cast<Stream*>(this)->TakeInPlace(count, samples, delivered);
    }
};

template <class Stream, class I, class T>
struct StreamFaces {
    using Base = KVD::CountedUnknown<KVD::Answers<I, IEnumExBase>>;
};
template <class Stream>
struct StreamFaces<Stream, IEnumFloatEx, float> {
    using Base =
        KVD::CountedUnknown<KVD::Answers<IEnumFloatEx, IEnumExBase>, KVD::Implements<InPlaceReads<Stream>, IEnumFloatSpan>>;
};

template <class I, class T>
class SampleStream final : public StreamFaces<SampleStream<I, T>, I, T>::Base {
public:
    // A new stream at start, with one reference; end is clamped to the samples there are.
    static I* Create(std::shared_ptr<const SampleArray<T>> samples, uint32_t start, uint32_t end)
    {
        return KVD::MakeCounted<SampleStream>(std::move(samples), start, end).Forget();
    }

    HRESULT Clone(IEnumExBase** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = static_cast<I*>(KVD::MakeCounted<SampleStream>(*this).Forget());
        return KVD_S_OK;
    }

    // Moves within [0, end]; a move that would leave it stops at the edge with KVD_S_FALSE.
    HRESULT SkipEx(int32_t count, int32_t* skipped) override
    {
        const int64_t wanted = int64_t(mPosition) + count;
        const int64_t reached = std::clamp<int64_t>(wanted, 0, mEnd);
        if (skipped != nullptr)
            *skipped = int32_t(reached - mPosition);
        mPosition = uint32_t(reached);
        return reached == wanted ? KVD_S_OK : KVD_S_FALSE;
    }

    HRESULT GetPosition(int32_t* position) override
    {
        if (position == nullptr)
            return KVD_E_POINTER;
        *position = int32_t(mPosition);
        return KVD_S_OK;
    }

    HRESULT IsFilling(AutoBool* filling) override
    {
        if (filling == nullptr)
            return KVD_E_POINTER;
        *filling = kAutoFalse;
        return KVD_S_OK;
    }

    // One sample per tick from the record's first tick.
    HRESULT GetTickToSample(TTickToSample* map) override
    {
        if (map == nullptr)
            return KVD_E_POINTER;
        *map = TTickToSample{1, 0};
        return KVD_S_OK;
    }

    // Short of the end tick it delivers what there is and answers KVD_S_FALSE.
    HRESULT Next(uint32_t count, T* buffer, uint32_t* delivered) override
    {
        const uint32_t n = mPosition < mEnd ? std::min(count, mEnd - mPosition) : 0;
        if (n > 0 && buffer == nullptr)
            return KVD_E_POINTER;
        if (n > 0)
            mSamples->Read(mPosition, n, buffer);
        mPosition += n;
        if (delivered != nullptr)
            *delivered = n;
        return n == count ? KVD_S_OK : KVD_S_FALSE;
    }

    // Next without the copy, for an array that keeps its samples in memory.
    HRESULT TakeInPlace(uint32_t count, const T** samples, uint32_t* delivered)
    {
        if (samples == nullptr)
            return KVD_E_POINTER;
        const uint32_t n = mPosition < mEnd ? std::min(count, mEnd - mPosition) : 0;
        const T* kept = mSamples->InPlace(mPosition, n);
        if (kept == nullptr)
            return KVD_E_NOTIMPL;
        *samples = kept;
        mPosition += n;
        if (delivered != nullptr)
            *delivered = n;
        return n == count ? KVD_S_OK : KVD_S_FALSE;
    }

private:
    template <class U, class... Args>
    friend KVD::COMPtr<U> KVD::MakeCounted(Args&&...);
    SampleStream(std::shared_ptr<const SampleArray<T>> samples, uint32_t start, uint32_t end)
        : mSamples(std::move(samples)), mEnd(std::min(end, mSamples->Size())), mPosition(std::min(start, mEnd))
    {
    }
    SampleStream(const SampleStream& other)
        : StreamFaces<SampleStream<I, T>, I, T>::Base(), mSamples(other.mSamples), mEnd(other.mEnd),
          mPosition(other.mPosition)
    {
    }

    std::shared_ptr<const SampleArray<T>> mSamples;
    uint32_t mEnd;
    uint32_t mPosition;
};

using FloatStream = SampleStream<IEnumFloatEx, float>;
using ShortStream = SampleStream<IEnumShortEx, int16_t>;

}  // namespace Host
