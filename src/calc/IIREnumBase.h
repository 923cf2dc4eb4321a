// The recursive-filter enumerator: a random-access stream over a calculation whose output at
// a sample depends on every earlier sample of the record (a running integral, a recursive
// filter). A policy holds the running state and computes samples from its one float source;
// the base pulls in blocks of 16000 samples and saves the state at every block boundary, so
// that a repositioned stream restores the nearest saved state and recomputes at most one
// block instead of the whole record.
//
// With host data (random-access mode) the saved states live in one cache per record, shared
// with clones. Without host data (streaming mode) the instance keeps a history of the last
// 256 block states of its own.
//
// What the base needs of a policy P (which derives from IIREnumPolicyBaseState):
//   using State = ...;                       a block of doubles, copied as a whole
//   State GetState() const; void SetState(const State&);
//   HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache);
//   HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units,
//                      double value, CalcEnumFlags flags);
//   HRESULT DoNext(uint32_t count, float* out, uint32_t* delivered);
//   void StartOfRecord();                    the start-of-record state, source at sample 0
//   EnumBufferBase<float, IEnumFloatEx, 32>& Reader();
//   const KVD::String& SettingsText() const; IUnitName* UnitName() const;
// and a copy constructor that copies the reader (which clones the source).
#pragma once

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>

#include <oneapi/tbb/spin_rw_mutex.h>

#include "IUnitName.h"
#include "calc/CalcEnumBase.h"
#include "calc/EnumBufferBase.h"
#include "calc/IIRStateCache.h"
#include "foundation/KVDString.h"

namespace IIREnum {

constexpr int32_t kBlockSize = 16000;
// Streaming mode keeps at most this many block states.
constexpr size_t kHistoryLength = 256;
// SetSources' record index for a new record after the last one.
constexpr int32_t kAppendRecord = 0x7FFFFFFE;
// Flags of sources whose data must not be cached (bit 31 set, bit 30 clear).
constexpr CalcEnumFlags kNoCacheMask = 0xC0000000;
constexpr CalcEnumFlags kNoCacheFlags = 0x80000000;
constexpr CalcInstanceAttributes kAttributes = 0x20008000;

// The part of a policy's state the base owns: the position of the next output sample.
struct IIREnumPolicyBaseState {
    int32_t mPosition = 0;
};

// The policy as the base drives it.
template <class P>
class IIRPolicyBase : public P {
public:
    using P::P;

    // The start of the record with the buffered reader back in step with its source: the
    // policy rewinds the source itself, past the reader, so the reader's buffered samples and
    // counters no longer describe the source.
    void RestartRecord()
    {
        P::StartOfRecord();
        P::Reader().Resync();
    }

    // Moves the reader so that the next sample it hands out is sample `position`.
    void MoveReaderTo(int32_t position)
    {
        int32_t skipped = 0;
        P::Reader().SkipEx(position - P::Reader().NextPosition(), &skipped);
    }
};

template <class PB>
class EnumBase : public PB, public CalcEnums::CalcEnumBase2 {
public:
    using State = typename PB::State;

    EnumBase(ICalcEnumClass2* classObject, IOrrelData2* data)
        : CalcEnums::CalcEnumBase2(classObject, data), mShared(std::make_shared<RecordCaches<State>>())
    {
        PB::SetState(UnsetState<State>());
    }
    // A clone: the policy copied (its reader reading a clone of the source), the same caches,
    // no calculation variables, a lock of its own.
    EnumBase(const EnumBase& other)
        : PB(other),
          CalcEnums::CalcEnumBase2(other),
          mOutputValue(other.mOutputValue),
          mFlags(other.mFlags),
          mRecordIndex(other.mRecordIndex),
          mBlockCounter(other.mBlockCounter),
          mNextBoundary(other.mNextBoundary),
          mLastRepositionPosition(other.mLastRepositionPosition),
          mLastRepositionState(other.mLastRepositionState),
          mShared(other.mShared),
          mRecordCache(other.mRecordCache),
          mHistory(other.mHistory),
          mNeedsInit(other.mNeedsInit),
          mStopOnStatus(other.mStopOnStatus)
    {
    }

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override
    {
        bool clearCache = false;
        const HRESULT hr = PB::SetSettings(text, update, &clearCache);
        if (clearCache) {
            // The saved states no longer fit this instance. Clones that keep the old settings
            // keep the old caches; this instance starts caches of its own.
            tbb::spin_rw_mutex::scoped_lock lock(mLock, true);
            mShared = std::make_shared<RecordCaches<State>>();
            mRecordCache.reset();
            mHistory.clear();
        }
        return hr;
    }

    HRESULT GetSettings(IAutoKVDString** text) override
    {
        if (text == nullptr)
            return KVD_E_NULLOUT;
        PB::SettingsText().GetOut(text);
        return KVD_S_OK;
    }

    HRESULT CloneSlave(IUnknown*, ICalcEnum** out) override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        *out = (new EnumBase(*this))->CalcFace();
        return KVD_S_OK;
    }

    HRESULT Clone(IEnumExBase** out) override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        *out = (new EnumBase(*this))->StreamFace();
        return KVD_S_OK;
    }

    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double value,
                       CalcEnumFlags flags) override
    {
        mFlags = flags;
        {
            tbb::spin_rw_mutex::scoped_lock lock(mLock, true);
            mRecordIndex = record == kAppendRecord ? static_cast<int32_t>(mShared->size()) : record;
            if (mRecordIndex >= 0) {
                const size_t index = static_cast<size_t>(mRecordIndex);
                if (index >= mShared->size())
                    mShared->resize(index + 1);
                if (!(*mShared)[index])
                    (*mShared)[index] = std::make_shared<DequeAddOnAccess<State>>();
                mRecordCache = (*mShared)[index];
            }
        }
        const HRESULT hr = PB::SetSources(mRecordIndex, count, sources, units, value, flags);
        mOutputValue = value;
        mNextBoundary = kBlockSize;
        mHistory.clear();
        PB::mPosition = 0;
        mNeedsInit = true;
        return hr;
    }

    HRESULT SetInitialPosition(int32_t position) override
    {
        PB::mPosition = position;
        mNeedsInit = true;
        mLastRepositionState = UnsetState<State>();
        mLastRepositionPosition = 0;
        mNextBoundary = kBlockSize;
        return PB::Reader().SetInitialPosition(position);
    }

    HRESULT ReleaseSources() override
    {
        PB::Reader().Release();
        mHistory.clear();
        mRecordCache.reset();
        return KVD_S_OK;
    }

    // Drops the saved states from `from` on: of the first record from its block of `from`,
    // of the following records up to endRecord all of them.
    HRESULT ClearCachedData(BlockUpdateType change, KVDPosition from, KVDPosition, int32_t firstRecord,
                            int32_t endRecord) override
    {
        if (Data() == nullptr)
            return KVD_E_BADSTATE;
        if (change != 0 && (change & kUpdateAll) == 0)
            return KVD_S_OK;
        tbb::spin_rw_mutex::scoped_lock lock(mLock, true);
        for (int32_t record = std::max(firstRecord, 0); record < endRecord && record < static_cast<int32_t>(mShared->size());
             ++record) {
            if (DequeAddOnAccess<State>* cache = (*mShared)[record].get())
                cache->EraseFrom(record == firstRecord ? from.tick / kBlockSize : 0);
        }
        return KVD_S_OK;
    }

    // Records moved: the caches of the records from `from` on now belong to `to` on.
    HRESULT ReindexCachedData(uint32_t, int32_t from, int32_t to) override
    {
        if (Data() == nullptr)
            return KVD_E_BADSTATE;
        tbb::spin_rw_mutex::scoped_lock lock(mLock, true);
        const int32_t count = static_cast<int32_t>(mShared->size());
        if (to > from && from >= 0 && from < count) {
            RecordCaches<State> gap(static_cast<size_t>(to - from));
            mShared->insert(mShared->begin() + from, std::make_move_iterator(gap.begin()), std::make_move_iterator(gap.end()));
        } else if (to < from && to >= 0 && to < count) {
            mShared->erase(mShared->begin() + to, mShared->begin() + std::min(from, count));
        }
        return KVD_S_OK;
    }

    HRESULT GetOutputInfo(double* value, IUnitName** unit) override
    {
        if (value != nullptr)
            *value = mOutputValue;
        if (unit != nullptr)
            KVD::GiveOut(PB::UnitName(), unit);
        return KVD_S_OK;
    }

    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override
    {
        if (attributes == nullptr)
            return KVD_E_NULLOUT;
        *attributes = kAttributes;
        return KVD_S_OK;
    }

    HRESULT GetTickToSample(TTickToSample* map) override
    {
        IEnumFloatEx* source = PB::Reader().Source();
        return source != nullptr ? source->GetTickToSample(map) : KVD_E_BADSTATE;
    }

    HRESULT GetPosition(int32_t* position) override
    {
        if (position == nullptr)
            return KVD_E_NULLOUT;
        *position = PB::mPosition;
        return KVD_S_OK;
    }

    HRESULT IsFilling(AutoBool* filling) override
    {
        if (filling == nullptr)
            return KVD_E_NULLOUT;
        if (PB::Reader().Buffered() > 0) {
            *filling = kAutoTrue;
            return KVD_S_OK;
        }
        const HRESULT last = PB::Reader().LastResult();
        *filling = last == KVD_S_OK ? kAutoTrue : kAutoFalse;
        return last;
    }

    HRESULT Next(uint32_t count, float* out, uint32_t* delivered) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;

private:
    bool RandomAccess() const { return Data() != nullptr; }
    // Whether the sources' data may be cached.
    bool Caching() const { return (mFlags & kNoCacheMask) != kNoCacheFlags; }

    void Init();
    // Restores the nearest saved state at or before the position; answers its block.
    int32_t RestoreRandomAccess();
    // At a block boundary: saves the state reached.
    void SaveAtBoundary(int32_t& blockEnd);
    HRESULT SkipForward(int32_t count);
    HRESULT SkipBackStreaming(int32_t target);

    // Clears the stop-on-status flag while a reposition skips forward by itself.
    class OwnSkip {
    public:
        explicit OwnSkip(EnumBase& owner) : mOwner(owner) { mOwner.mStopOnStatus = false; }
        ~OwnSkip() { mOwner.mStopOnStatus = true; }
        OwnSkip(const OwnSkip&) = delete;
        OwnSkip& operator=(const OwnSkip&) = delete;

    private:
        EnumBase& mOwner;
    };

    double mOutputValue = 0.0;
    CalcEnumFlags mFlags = 0;
    int32_t mRecordIndex = 0;
    int32_t mBlockCounter = 0;
    int32_t mNextBoundary = kBlockSize;
    int32_t mLastRepositionPosition = 0;
    State mLastRepositionState = UnsetState<State>();
    std::shared_ptr<RecordCaches<State>> mShared;
    RecordCache<State> mRecordCache;  // the entry of this instance's record
    std::deque<State> mHistory;                       // streaming mode, newest first
    tbb::spin_rw_mutex mLock;
    bool mNeedsInit = true;
    bool mStopOnStatus = true;
};

template <class PB>
HRESULT EnumBase<PB>::Next(uint32_t count, float* out, uint32_t* delivered)
{
    if (delivered == nullptr || (out == nullptr && count != 0))
        return KVD_E_POINTER;
    *delivered = 0;
    if (mNeedsInit)
        Init();
    int32_t& position = PB::mPosition;
    int32_t blockEnd = RandomAccess() ? kBlockSize * (position / kBlockSize) + kBlockSize : mNextBoundary;
    if (count == 0)
        return KVD_S_OK;
    uint32_t written = 0;
    HRESULT hr = KVD_S_OK;
    while (written < count) {
        const uint32_t n = static_cast<uint32_t>(std::min<int64_t>(int64_t(blockEnd) - position, count - written));
        if (n > 0) {
            uint32_t got = 0;
            hr = PB::DoNext(n, out + written, &got);
            position += static_cast<int32_t>(got);
            written += got;
            *delivered = written;
            if (got == 0 || (hr & 0x8000) != 0)
                return hr;
        }
        if (position >= blockEnd)
            SaveAtBoundary(blockEnd);
    }
    // The whole amount came: a source that said it has no more after the last buffered
    // samples has not stopped this delivery short.
    return KVD_S_OK;
}

template <class PB>
void EnumBase<PB>::SaveAtBoundary(int32_t& blockEnd)
{
    const int32_t position = PB::mPosition;
    if (RandomAccess()) {
        if (Caching() && mRecordCache) {
            tbb::spin_rw_mutex::scoped_lock lock(mLock, true);
            (*mRecordCache)[static_cast<size_t>(position / kBlockSize)] = PB::GetState();
        }
        ++mBlockCounter;
    } else {
        mHistory.push_front(PB::GetState());
        if (mHistory.size() > kHistoryLength)
            mHistory.pop_back();
        mNextBoundary += kBlockSize;
    }
    blockEnd += kBlockSize;
}

template <class PB>
void EnumBase<PB>::Init()
{
    mNeedsInit = false;
    const int32_t requested = PB::mPosition;
    int32_t block = 0;
    if (!RandomAccess()) {
        // A new start of the record: the history of the one before says nothing about it.
        PB::RestartRecord();
        mHistory.clear();
        mNextBoundary = kBlockSize;
    } else if (requested == 0) {
        PB::RestartRecord();
    } else {
        block = RestoreRandomAccess();
    }
    PB::MoveReaderTo(kBlockSize * block);
    mBlockCounter = block + 1;
    PB::mPosition = kBlockSize * block;
    if (requested != PB::mPosition) {
        OwnSkip own(*this);
        int32_t skipped = 0;
        SkipEx(requested - PB::mPosition, &skipped);
    }
}

template <class PB>
int32_t EnumBase<PB>::RestoreRandomAccess()
{
    int32_t block = PB::mPosition / kBlockSize;
    {
        tbb::spin_rw_mutex::scoped_lock lock(mLock, false);
        DequeAddOnAccess<State>* cache = mRecordCache.get();
        if (cache != nullptr && cache->IsSet(static_cast<size_t>(block))) {
            PB::SetState((*cache)[static_cast<size_t>(block)]);
            return block;
        }
        if (cache != nullptr && block >= 1 && cache->IsSet(1)) {
            while (!cache->IsSet(static_cast<size_t>(block)))
                --block;
            PB::SetState((*cache)[static_cast<size_t>(block)]);
            return block;
        }
    }
    PB::RestartRecord();
    return 0;
}

template <class PB>
HRESULT EnumBase<PB>::SkipEx(int32_t count, int32_t* skipped)
{
    if (skipped == nullptr)
        return KVD_E_POINTER;
    const int32_t old = PB::mPosition;
    if (int64_t(old) + count < 0)
        count = -old;
    HRESULT hr = KVD_S_OK;
    if (count >= 0) {
        hr = SkipForward(count);
    } else if (RandomAccess()) {
        PB::mPosition = old + count;
        mNeedsInit = true;
    } else {
        hr = SkipBackStreaming(old + count);
    }
    *skipped = PB::mPosition - old;
    return hr;
}

template <class PB>
HRESULT EnumBase<PB>::SkipForward(int32_t count)
{
    float buffer[128];
    const int32_t target = PB::mPosition + count;
    HRESULT hr = KVD_S_OK;
    while (PB::mPosition < target) {
        uint32_t got = 0;
        hr = Next(static_cast<uint32_t>(std::min(target - PB::mPosition, 128)), buffer, &got);
        if (got == 0 || (hr & ~HRESULT(0xF000)) != 0 || ((hr & 0xF000) != 0 && mStopOnStatus))
            break;
    }
    return hr;
}

// Streaming mode has no random access: it goes back to a block state of its history (or to
// where the last backward skip ended, when that is nearer) and recomputes forward.
template <class PB>
HRESULT EnumBase<PB>::SkipBackStreaming(int32_t target)
{
    OwnSkip own(*this);
    const int32_t blockStart = mNextBoundary - kBlockSize;
    const int32_t k = target < blockStart ? (blockStart - target + kBlockSize - 1) / kBlockSize : 0;
    const int32_t neededStart = blockStart - kBlockSize * k;
    int32_t start = 0;
    if (!IsUnset(mLastRepositionState) && target >= mLastRepositionPosition && neededStart < mLastRepositionPosition) {
        PB::SetState(mLastRepositionState);
        start = mLastRepositionPosition;
        if (k > 0) {
            const size_t dropped = std::min<size_t>(static_cast<size_t>(k), mHistory.size());
            mHistory.erase(mHistory.begin(), mHistory.begin() + static_cast<std::ptrdiff_t>(dropped));
            // The next boundary follows the position even when the history was shorter.
            mNextBoundary -= kBlockSize * k;
        }
    } else if (mHistory.size() > static_cast<size_t>(k)) {
        PB::SetState(mHistory[static_cast<size_t>(k)]);
        start = neededStart;
        mHistory.erase(mHistory.begin(), mHistory.begin() + k);
        mNextBoundary -= kBlockSize * k;
    } else if (mHistory.size() >= kHistoryLength) {
        return KVD_S_FALSE;  // the states that far back are no longer kept
    } else {
        PB::RestartRecord();
        mHistory.clear();
        mNextBoundary = kBlockSize;
    }
    PB::MoveReaderTo(start);
    PB::mPosition = start;
    SkipForward(target - start);
    mLastRepositionState = PB::GetState();
    mLastRepositionPosition = PB::mPosition;
    return KVD_S_OK;
}

}  // namespace IIREnum
