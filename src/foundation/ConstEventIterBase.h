// Reads an event enumerator forward, a buffer of N event records per call to its Next.
// Records have the size the enumerator gives; each begins with a KVDEventBase.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ResultCodes.h"
#include "foundation/COMPtr.h"

// The start of every event record.
struct KVDEventBase {
    int32_t tick;
    float fraction;  // of a tick
    double value;
};
static_assert(sizeof(KVDEventBase) == 16, "event records begin with 16 bytes");

namespace KVDEvent {

// The record buffer, allocated on the heap and resized on demand.
class DynamicStoragePolicy {
public:
    DynamicStoragePolicy() = default;
    DynamicStoragePolicy(const DynamicStoragePolicy&) = delete;
    DynamicStoragePolicy& operator=(const DynamicStoragePolicy&) = delete;
    ~DynamicStoragePolicy() { delete[] mBuffer; }

    // A new buffer of bytes when the size changes (none for 0); the contents are not kept.
    void SetBufSize(unsigned long bytes)
    {
        if (bytes == mBytes)
            return;
        delete[] mBuffer;
        mBuffer = bytes != 0 ? new uint8_t[bytes] : nullptr;
        mBytes = bytes;
    }
    uint8_t* GetBuf() const { return mBuffer; }
    unsigned long GetBufSize() const { return mBytes; }

private:
    uint8_t* mBuffer = nullptr;
    unsigned long mBytes = 0;
};

// Room for n records of plain data.
struct PODEventBufferSizePolicy {
    static unsigned long BytesFor(int32_t recordSize, unsigned n)
    {
        return recordSize > 0 ? static_cast<unsigned long>(recordSize) * n : 0;
    }
};

template <class IEnum, class Event, class Storage, class BufferSize, unsigned N>
class ConstEventIterBase : private Storage {
public:
    static constexpr int32_t kNoLimit = 0x7FFFFFFF;

    ConstEventIterBase() = default;
    explicit ConstEventIterBase(IEnum* events) : mEnum(events) { AfterSetEnum(); }

    // A copy reads a clone of the source's stream from the same place, with the same records
    // buffered.
    ConstEventIterBase(const ConstEventIterBase& other) : mRecordSize(other.mRecordSize)
    {
        if (other.mEnum == nullptr)
            return;
        other.mEnum->Clone(mEnum.Set());
        this->SetBufSize(BufferSize::BytesFor(mRecordSize, N));
        const unsigned long bytes = std::min(this->GetBufSize(), other.GetBufSize());
        if (bytes != 0)
            std::memcpy(this->GetBuf(), other.GetBuf(), bytes);
        mCurrent = Rebase(other, other.mCurrent);
        mBegin = Rebase(other, other.mBegin);
        mEnd = Rebase(other, other.mEnd);
        mRefill = other.mRefill;
        mResult = other.mResult;
        mPosition = other.mPosition;
        mLimit = other.mLimit;
    }
    ConstEventIterBase& operator=(const ConstEventIterBase&) = delete;

    // Reads events from position up to (not including) the tick limit.
    void SetRange(int32_t position, int32_t limit)
    {
        mPosition = position;
        mLimit = limit;
    }

    // The next record, or null when the stream has no more before the limit. The record lives
    // until the next refill.
    const Event* Next()
    {
        if (mCurrent == mEnd && !FillBufForward())
            return nullptr;
        const Event* event = reinterpret_cast<const Event*>(mCurrent);
        mCurrent += mRecordSize;
        return event;
    }

    // Starts over on the enumerator now set: range reset, buffer sized for N of its records.
    void AfterSetEnum()
    {
        mRefill = 0;
        mPosition = 0;
        mLimit = kNoLimit;
        mCurrent = mBegin = mEnd = nullptr;
        if (mEnum == nullptr)
            return;
        mRecordSize = 0;
        mEnum->GetSizeofEvents(&mRecordSize);
        this->SetBufSize(BufferSize::BytesFor(mRecordSize, N));
    }

    // Refills the buffer from the position; whether any record came.
    bool FillBufForward()
    {
        mRefill = 0;
        if (mEnum != nullptr) {
            mResult = mEnum->Next(uint32_t(this->GetBufSize()), mLimit, this->GetBuf(), &mRefill, &mPosition);
            // Never believe more records than the buffer holds.
            mRefill = std::min<unsigned long>(mRefill, mRecordSize > 0 ? this->GetBufSize() / mRecordSize : 0);
        }
        mBegin = mCurrent = this->GetBuf();
        mEnd = mBegin + std::size_t(mRefill) * std::max(mRecordSize, 0);
        return mRefill != 0;
    }

    HRESULT GetResult() const { return mResult; }
    int32_t GetRecordSize() const { return mRecordSize; }
    int32_t GetPosition() const { return mPosition; }
    using Storage::GetBufSize;

    // Out-parameter adaptor for a function that hands back an IUnknown*: what came back is
    // queried for the event stream and released, then the iterator starts over on it.
    class QuerySetter {
    public:
        explicit QuerySetter(ConstEventIterBase& target) : mTarget(target) {}
        QuerySetter(const QuerySetter&) = delete;
        QuerySetter& operator=(const QuerySetter&) = delete;
        ~QuerySetter()
        {
            if (mValue != nullptr) {
                mTarget.mEnum = KVD::com_cast(mValue);
                mValue->Release();
            }
            if (mTarget.mEnum != nullptr)
                mTarget.AfterSetEnum();
        }
        operator IUnknown**() { return &mValue; }

    private:
        ConstEventIterBase& mTarget;
        IUnknown* mValue = nullptr;
    };
    QuerySetter SetQuery() { return QuerySetter(*this); }

private:
    // The place in this buffer of a pointer into other's.
    uint8_t* Rebase(const ConstEventIterBase& other, const uint8_t* p) const
    {
        return p == nullptr ? nullptr : this->GetBuf() + (p - other.GetBuf());
    }

    int32_t mRecordSize = 0;
    uint8_t* mCurrent = nullptr;
    uint8_t* mBegin = nullptr;
    uint8_t* mEnd = nullptr;
    KVD::COMPtr<IEnum, KVD::COMRefCount> mEnum;
    uint32_t mRefill = 0;
    HRESULT mResult = KVD_S_OK;
    int32_t mPosition = 0;
    int32_t mLimit = kNoLimit;
};

}  // namespace KVDEvent
