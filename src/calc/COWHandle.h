// Copy-on-write handles: values that share one polymorphic representation until one of them
// is about to change it.
#pragma once

#include <atomic>
#include <cstdint>

// Base of every shared representation: a count of the handles that point to it.
class COWRefCountBase {
public:
    COWRefCountBase() = default;
    // A copy is a new representation: nobody points to it yet.
    COWRefCountBase(const COWRefCountBase&) {}
    COWRefCountBase& operator=(const COWRefCountBase&) = delete;
    virtual ~COWRefCountBase() = default;

    void AddRefCOW() const { mRefs.fetch_add(1, std::memory_order_relaxed); }
    // Drops one reference and deletes the representation at 0.
    void ReleaseCOW() const
    {
        if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int32_t RefCount() const { return mRefs.load(std::memory_order_acquire); }

private:
    mutable std::atomic<int32_t> mRefs{0};
};

// Rep provides a static default representation (Rep::StaticDefault(), never deleted) and a
// virtual Clone() returning a new Rep.
template <class Rep>
class COWHandle {
public:
    COWHandle() : mRep(&Rep::StaticDefault()) { mRep->AddRefCOW(); }
    explicit COWHandle(Rep* rep) : mRep(rep) { mRep->AddRefCOW(); }
    COWHandle(const COWHandle& other) : mRep(other.mRep) { mRep->AddRefCOW(); }
    ~COWHandle() { mRep->ReleaseCOW(); }

    // The new representation gains its reference before the old one loses its own, so
    // assigning a handle to itself is safe.
    COWHandle& operator=(const COWHandle& other)
    {
        Bind(other.mRep);
        return *this;
    }
    void Bind(Rep* rep)
    {
        rep->AddRefCOW();
        Rep* old = mRep;
        mRep = rep;
        old->ReleaseCOW();
    }

    // The representation for writing: a shared one is first replaced by a private clone.
    Rep* Set()
    {
        if (mRep->RefCount() >= 2)
            Bind(mRep->Clone());
        return mRep;
    }

    const Rep* Get() const { return mRep; }
    Rep* GetShared() const { return mRep; }
    const Rep* operator->() const { return mRep; }

private:
    Rep* mRep;
};
