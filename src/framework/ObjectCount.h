// The reference count of the framework's heap COM objects (documents, classes, views), with
// the hold that keeps an object alive while it hands itself out during its own construction.
#pragma once

#include <atomic>
#include <cstdint>

namespace KVD {

class ObjectCount {
public:
    uint32_t Increment() { return mCount.fetch_add(1) + 1; }
    // At 0 the count goes back to 1, so that references taken and dropped while the object is
    // destroyed cannot destroy it twice; the caller deletes the object.
    uint32_t Decrement()
    {
        const uint32_t count = mCount.fetch_sub(1) - 1;
        if (count == 0)
            mCount.store(1);
        return count;
    }
    uint32_t Get() const { return mCount.load(); }

    // Holds the count up by one for its lifetime and gives the hold back without destroying.
    class InternalReffer {
    public:
        explicit InternalReffer(ObjectCount& count) : mCount(count) { mCount.mCount.fetch_add(1); }
        ~InternalReffer() { mCount.mCount.fetch_sub(1); }
        InternalReffer(const InternalReffer&) = delete;
        InternalReffer& operator=(const InternalReffer&) = delete;

    private:
        ObjectCount& mCount;
    };

private:
    std::atomic<uint32_t> mCount{0};
};

}  // namespace KVD

// AddRef and Release over an ObjectCount member named mObjectCount.
#define KVD_IMPLEMENT_OBJECT_COUNT()                             \
    uint32_t AddRef() override { return mObjectCount.Increment(); } \
    uint32_t Release() override                                  \
    {                                                            \
        const uint32_t count = mObjectCount.Decrement();         \
        if (count == 0)                                          \
            delete this;                                         \
        return count;                                            \
    }
