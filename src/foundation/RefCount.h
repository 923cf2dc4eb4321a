// The 32-bit reference count of the system's COM objects, changed atomically with a full
// barrier; both operations return the new count.
//
// Debug builds also catch the two lifetime faults that otherwise corrupt memory silently: a
// Release with no reference left (the count would wrap below zero) and an AddRef or Release on
// an object whose count was already destroyed by its last Release. Either ends the process
// with a message naming the fault.
#pragma once

#include <atomic>
#include <cstdint>

namespace KVD {

// Every counted object of the system is born with this count: the code that makes it takes
// the first reference (AddRef, a query, or KVD::MakeCounted), and the last Release deletes it.
constexpr uint32_t kBirthCount = 0;

namespace detail {

// Reports a lifetime fault and ends the process (debug builds only).
[[noreturn]] void RefCountFault(const char* what, const void* count);

}  // namespace detail

class RefCount {
public:
    // The kinds whose maker receives the object already holding its reference (calculation
    // enumerators) start one above the birth count.
    struct HeldByMaker {};

    RefCount() = default;
    explicit RefCount(HeldByMaker) : mCount(kBirthCount + 1) {}
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;
#ifndef NDEBUG
    // Marks the count dead, so that a later AddRef or Release on the destroyed object is caught
    // as long as its storage has not been reused.
    ~RefCount() { mCount.store(kDead); }
#endif

    uint32_t Increment() { return Checked(mCount.fetch_add(1)) + 1; }

    // At 0 the count is set back to 1 before the caller destroys the object, so that
    // references taken and dropped during destruction cannot destroy it a second time.
    uint32_t Decrement()
    {
        const uint32_t before = Checked(mCount.fetch_sub(1));
#ifndef NDEBUG
        if (before == 0)
            detail::RefCountFault("Release below zero (no reference was left)", this);
#endif
        const uint32_t count = before - 1;
        if (count == 0)
            mCount.store(1);
        return count;
    }

    // Drops one reference; the last one deletes owner through its virtual destructor.
    template <class T>
    uint32_t Release(T* owner)
    {
        const uint32_t count = Decrement();
        if (count == 0)
            delete owner;
        return count;
    }

    uint32_t Get() const { return mCount.load(); }

    // Holds the count up by one for its lifetime, so that an object that hands itself out
    // during its own construction is not destroyed by the references taken and dropped
    // meanwhile; the hold is given back without destroying.
    class InternalReffer {
    public:
        explicit InternalReffer(RefCount& count) : mCount(count) { mCount.mCount.fetch_add(1); }
        ~InternalReffer() { mCount.mCount.fetch_sub(1); }
        InternalReffer(const InternalReffer&) = delete;
        InternalReffer& operator=(const InternalReffer&) = delete;

    private:
        RefCount& mCount;
    };

private:
    // What a destroyed count holds in debug builds; no live object gets near it.
    static constexpr uint32_t kDead = 0xDEADC0DE;

    uint32_t Checked(uint32_t before) const
    {
#ifndef NDEBUG
        if (before == kDead)
            detail::RefCountFault("AddRef or Release after the last Release", this);
#endif
        return before;
    }

    std::atomic<uint32_t> mCount{kBirthCount};
};

}  // namespace KVD

// AddRef and Release over the class's RefCount member `count`: the last Release deletes the
// object through its virtual destructor.
// The deletion is written here so that a class may keep its destructor private.
#define KVD_IMPLEMENT_REFCOUNT_OF(count)                          \
    uint32_t AddRef() override { return count.Increment(); }      \
    uint32_t Release() override                                   \
    {                                                             \
        const uint32_t released = count.Decrement();              \
        if (released == 0)                                        \
            delete this;                                          \
        return released;                                          \
    }

// The same for a map-driven heap class, with a count of its own.
#define KVD_IMPLEMENT_HEAP_REFCOUNT()             \
    KVD_IMPLEMENT_REFCOUNT_OF(mKVDRefCount)       \
    KVD::RefCount mKVDRefCount;

// AddRef and Release of a static object that lives as long as the process.
#define KVD_IMPLEMENT_STATIC_REFCOUNT()           \
    uint32_t AddRef() override { return 1; }      \
    uint32_t Release() override { return 1; }
