// The search machinery of the event framework: one step of a detector between restoring and
// saving its sources' positions (EventFinder), the checkpoint states of one record
// (RecordCache), and the forward and backward searches over a record in chunks of 100000
// ticks that keep those checkpoints (ChannelCache). T is the detector: T::Params, T::State,
// T::Event and T::Algorithm::FindEvent(State&, Params&, Event&).
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "calc/EEH3ParamsBase.h"
#include "calc/EEH3StateBase.h"

namespace EEH3 {

constexpr int32_t kChunkTicks = 100000;

// Detectors mark an event that is to be dropped with this NaN as its value.
inline bool IsSentinelValue(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits == 0x7FF8500000000000ull;
}

template <class E>
const EventHeader& HeaderOf(const E& event)
{
    return *reinterpret_cast<const EventHeader*>(&event);
}

template <class T>
class EventFinder {
public:
    using State = typename T::State;
    using Params = typename T::Params;
    using Event = typename T::Event;

    // Runs the detector from where state stands up to limit. stop receives where the search
    // stopped: the state's tick when it reached the limit, found an event or the data are
    // still filling, else the limit.
    static bool GetNextEvent(State& state, int32_t limit, int32_t regionEnd, Params& params, Event& event,
                             int32_t& stop, bool filling)
    {
        const int32_t start = state.NextIncompleteTick();
        if (start >= limit) {
            stop = start;
            return false;
        }
        Restore(state, limit, regionEnd, params);
        bool found = Step(state, params, event);
        if (!found && !state.mHitEnd &&
            ((state.NextIncompleteTick() < limit && AllExhausted(params)) || state.NextIncompleteTick() == kNoTick)) {
            // Finishes what is pending at the end of the data.
            state.HandleHitEndOfAnalysisRegion();
            found = Step(state, params, event);
        }
        const int32_t reached = state.NextIncompleteTick();
        stop = (reached >= limit || found || filling) ? reached : limit;
        return found;
    }

    // Every source has ended for good (a detector without sources never ends).
    static bool AllExhausted(const Params& params)
    {
        if (params.SourceCount() == 0)
            return false;
        for (size_t i = 0; i < params.SourceCount(); ++i)
            if (!params.Source(i).CompletelyExhausted())
                return false;
        return true;
    }

private:
    static bool Step(State& state, Params& params, Event& event)
    {
        const bool found = T::Algorithm::FindEvent(state, params, event);
        Store(state, params);
        return found;
    }

    static void Restore(State& state, int32_t limit, int32_t regionEnd, Params& params)
    {
        if (state.mPositions.size() != params.SourceCount())
            state.ResetPositions(params.SourceCount(), state.NextIncompleteTick());
        for (size_t i = 0; i < params.SourceCount(); ++i) {
            eeh_SourceEnum& source = params.Source(i);
            const tSrcPosItem& item = state.mPositions[i];
            source.SetAnalysisEnd(regionEnd);
            source.SetEndTick(std::max(item.endTick, limit));
            source.MoveTo(item.position);
        }
        state.mAnalysisEnd = limit;
    }

    static void Store(State& state, const Params& params)
    {
        for (size_t i = 0; i < params.SourceCount(); ++i) {
            const eeh_SourceEnum& source = params.Source(i);
            const int32_t end = source.GetEndTick();
            state.mPositions[i] = {source.GetPosition(), end == kNoTick ? kNoTick : std::min(end, state.mAnalysisEnd)};
        }
    }
};

// The checkpoints of one record: entry k is the state at the end of chunk base + k; entry 0
// starts as a fresh state at the record's first tick.
template <class State>
class RecordCache {
public:
    RecordCache(int32_t firstTick, size_t sources)
        : mFirstTick(firstTick), mBase(firstTick / kChunkTicks), mSources(sources)
    {
        mEntries.push_back(Fresh());
    }

    int32_t Base() const { return mBase; }
    const State& Entry(size_t index) const { return *mEntries[index]; }

    // The checkpoint to resume a search from `from` at: the last one before it, or a fresh
    // start when the record has been searched past the first chunk's checkpoint.
    size_t FindLastValidStateIndexBefore(int32_t from)
    {
        const int64_t chunk = std::max<int64_t>(0, from / kChunkTicks - mBase);
        const size_t i = static_cast<size_t>(std::min<int64_t>(chunk, static_cast<int64_t>(mEntries.size())));
        if (i == 0) {
            if (mEntries[0]->NextIncompleteTick() > from)
                mEntries[0] = Fresh();
            return 0;
        }
        for (size_t j = i; j-- > 0;)
            if (mEntries[j])
                return j;
        return 0;
    }

    void Remember(size_t index, const State& state)
    {
        if (index >= mEntries.size())
            mEntries.resize(index + 1);
        mEntries[index] = std::make_unique<State>(state);
    }

private:
    std::unique_ptr<State> Fresh() const
    {
        auto state = std::make_unique<State>(mFirstTick);
        state->ResetPositions(mSources, mFirstTick);
        return state;
    }

    int32_t mFirstTick;
    int32_t mBase;
    size_t mSources;
    std::vector<std::unique_ptr<State>> mEntries;
};

template <class T>
class ChannelCache {
public:
    using State = typename T::State;
    using Params = typename T::Params;
    using Event = typename T::Event;

    ChannelCache() = default;
    // A copy starts empty: its sources are wired anew.
    ChannelCache(const ChannelCache&) {}
    ChannelCache& operator=(const ChannelCache&) = delete;

    // The next search resumes from a checkpoint rather than where the last one stopped.
    void DropCurrent() { mCurrent.reset(); }
    void Clear()
    {
        mRecords.clear();
        mCurrent.reset();
    }

    // The first event of record in [from, to) within the analysis region.
    bool GetEventForwards(int32_t record, int32_t from, int32_t to, Event& event, Params& params, bool filling,
                          int32_t& stop)
    {
        RecordCache<State>& cache = Record(record, params);
        const int32_t regionStart = params.mRegion.GetStart(record);
        const int32_t regionEnd = params.mRegion.GetEnd(record);
        int64_t chunk;
        if (mCurrent) {
            chunk = mCurrent->NextIncompleteTick() / kChunkTicks;
        } else {
            const size_t index = cache.FindLastValidStateIndexBefore(from);
            mCurrent = std::make_unique<State>(cache.Entry(index));
            chunk = cache.Base() + static_cast<int64_t>(index);
        }
        for (;;) {
            const int64_t chunkEnd = (chunk + 1) * kChunkTicks;
            const int32_t limit = static_cast<int32_t>(std::min<int64_t>({to, chunkEnd, regionEnd}));
            int32_t reached = 0;
            if (EventFinder<T>::GetNextEvent(*mCurrent, limit, regionEnd, params, event, reached, filling)) {
                const EventHeader& header = HeaderOf(event);
                if (!IsSentinelValue(header.value) && header.tick < regionEnd && header.tick >= regionStart &&
                    header.tick >= from && header.tick < limit) {
                    stop = reached;
                    return true;
                }
                continue;
            }
            if (reached == chunkEnd)
                cache.Remember(static_cast<size_t>(chunk - cache.Base()), *mCurrent);
            if ((filling && reached < limit) || reached >= to || reached >= regionEnd) {
                stop = reached;
                return false;
            }
            if (EventFinder<T>::AllExhausted(params)) {
                // The data have ended: nothing later can come.
                stop = kNoTick;
                return false;
            }
            chunk = std::max<int64_t>(chunk + 1, reached / kChunkTicks);
        }
    }

    // Searches forwards from start and, failing that, again from just before the start of
    // each earlier chunk, for an event in [lowest, limit) after tick 0.
    bool GetEventBackwards(int32_t record, int32_t start, int32_t lowest, int32_t limit, Event& event, Params& params,
                           bool filling, int32_t& stop)
    {
        for (int32_t from = start;;) {
            if (GetEventForwards(record, from, limit, event, params, filling, stop)) {
                const int32_t tick = HeaderOf(event).tick;
                if (tick >= lowest && tick > 0)
                    return true;
            }
            if (from < kChunkTicks)
                return false;
            DropCurrent();
            from = from - from % kChunkTicks - 1;
            if (from < lowest)
                return false;
        }
    }

private:
    RecordCache<State>& Record(int32_t record, const Params& params)
    {
        const size_t index = static_cast<size_t>(std::max(record, 0));
        if (index >= mRecords.size())
            mRecords.resize(index + 1);
        if (!mRecords[index])
            mRecords[index] = std::make_unique<RecordCache<State>>(params.mRegion.GetStart(record), params.SourceCount());
        return *mRecords[index];
    }

    std::vector<std::unique_ptr<RecordCache<State>>> mRecords;
    std::unique_ptr<State> mCurrent;
};

}  // namespace EEH3
