// Reads an interface enumerator that someone else handed in, N items per call to its Next.
// The buffered items hold their references until the next refill.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/EnumTraits.h"

namespace KVD {

// The boolean argument is kept so that instances read as elsewhere in the system.
template <class IEnum, unsigned N, bool B, class Traits = EnumXXXTraits>
class EnumIter {
public:
    typedef detail::EnumItem<IEnum> Item;

    EnumIter() = default;
    explicit EnumIter(IEnum* enumerator) : mEnum(enumerator) { AfterSetEnum(); }
    EnumIter(const EnumIter&) = delete;
    EnumIter& operator=(const EnumIter&) = delete;
    ~EnumIter() { ReleaseBuffered(); }

    // Reading stops (as at the end) while the flag is non-zero.
    void SetStopFlag(const volatile uint16_t* flag) { mStopFlag = flag; }

    // The next item (no reference for the caller: it lives until the next refill), or null at
    // the end of the enumerator.
    Item* Next()
    {
        if (mCurrent == mEnd && !FillBufForward(N))
            return nullptr;
        return *mCurrent++;
    }

    // Drops the buffered items and asks the enumerator for up to min(n, N) more; whether any came.
    bool FillBufForward(unsigned n)
    {
        ReleaseBuffered();
        mRefill = 0;
        if (mEnum != nullptr && (mStopFlag == nullptr || *mStopFlag == 0)) {
            const uint32_t wanted = std::min(n, N);
            mResult = mEnum->Next(wanted, mBuffer, &mRefill);
            mRefill = std::min(mRefill, wanted);
        }
        mTotal += mRefill;
        mBegin = mCurrent = mBuffer;
        mEnd = mBuffer + mRefill;
        return mRefill != 0;
    }

    // Starts over on the enumerator now set, with a first batch.
    void AfterSetEnum()
    {
        ReleaseBuffered();
        mResult = KVD_S_OK;
        mCurrent = mBegin = mEnd = nullptr;
        mRefill = mTotal = 0;
        if (mEnum != nullptr)
            FillBufForward(0xFFFFFFFF);
    }

    // The last code of the enumerator's Next, and the number of items obtained so far.
    HRESULT GetResult() const { return mResult; }
    uint32_t GetTotal() const { return mTotal; }

    // Out-parameter adaptor: the iterator takes the enumerator that came back (null included)
    // and starts over on it.
    class Setter {
    public:
        explicit Setter(EnumIter& target) : mTarget(target) {}
        Setter(const Setter&) = delete;
        Setter& operator=(const Setter&) = delete;
        ~Setter()
        {
            mTarget.mEnum = mValue;
            if (mValue != nullptr)
                mValue->Release();
            mTarget.AfterSetEnum();
        }
        operator IEnum**() { return &mValue; }

    private:
        EnumIter& mTarget;
        IEnum* mValue = nullptr;
    };
    Setter Set() { return Setter(*this); }

private:
    void ReleaseBuffered()
    {
        for (Item** item = mBegin; item != mEnd; ++item) {
            Traits::Release(*item);
            *item = nullptr;
        }
        mCurrent = mBegin = mEnd = nullptr;
    }

    Item** mCurrent = nullptr;
    Item** mBegin = nullptr;
    Item** mEnd = nullptr;
    uint32_t mRefill = 0;
    uint32_t mTotal = 0;
    COMPtr<IEnum, COMRefCount> mEnum;
    HRESULT mResult = KVD_S_OK;
    const volatile uint16_t* mStopFlag = nullptr;
    Item* mBuffer[N] = {};
};

}  // namespace KVD
