// The saved running states of a recursive-filter enumerator: a state is a block of doubles
// whose first one holds a quiet NaN of a reserved bit pattern while it is unset.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <type_traits>
#include <vector>

namespace IIREnum {

constexpr uint64_t kUnsetStateBits = 0x7FF8700000000000ull;

// A state with every double set to the unset pattern.
template <class State>
State UnsetState()
{
    static_assert(std::is_trivially_copyable_v<State> && sizeof(State) % sizeof(double) == 0,
                  "a saved state is a block of doubles");
    State state;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&state);
    for (size_t offset = 0; offset < sizeof(State); offset += sizeof(double))
        std::memcpy(bytes + offset, &kUnsetStateBits, sizeof(double));
    return state;
}

template <class State>
bool IsUnset(const State& state)
{
    uint64_t first = 0;
    std::memcpy(&first, &state, sizeof(first));
    return first == kUnsetStateBits;
}

// A double-ended queue of states whose indexing past the end grows it with unset states.
template <class State>
class DequeAddOnAccess {
public:
    State& operator[](size_t i)
    {
        if (i >= mStates.size())
            mStates.resize(i + 1, UnsetState<State>());
        return mStates[i];
    }
    // Whether slot i holds a state (never grows the queue).
    bool IsSet(size_t i) const { return i < mStates.size() && !IsUnset(mStates[i]); }
    // Drops the slots from i to the end.
    void EraseFrom(size_t i)
    {
        if (i < mStates.size())
            mStates.erase(mStates.begin() + static_cast<std::ptrdiff_t>(i), mStates.end());
    }
    size_t size() const { return mStates.size(); }
    bool empty() const { return mStates.empty(); }

private:
    std::deque<State> mStates;
};

// One cache of block states per record of the host data, shared by an enumerator and its
// clones. A null entry is a record without a cache yet. An instance holds the cache of its
// record too, so that removing the entry never leaves it pointing at a deleted cache.
template <class State>
using RecordCache = std::shared_ptr<DequeAddOnAccess<State>>;
template <class State>
using RecordCaches = std::vector<RecordCache<State>>;

}  // namespace IIREnum
