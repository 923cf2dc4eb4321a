// Smart pointer to a COM-style interface, with a policy that says whether it owns a reference
// (COMRefCount), borrows the pointee (COMWeak) or owns it and clones it when copied
// (COMCloneEnumEx, for sample streams). No exception crosses its operations: one thrown by
// AddRef, Release or QueryInterface inside them ends the process.
#pragma once

#include <type_traits>
#include <utility>

#include "IUnknown.h"
#include "ResultCodes.h"

namespace KVD {

namespace detail {

template <class I>
std::remove_const_t<I>* Mutable(I* p)
{
    return const_cast<std::remove_const_t<I>*>(p);
}

template <class I>
void AddRefIf(I* p) noexcept
{
    if (p != nullptr)
        Mutable(p)->AddRef();
}

template <class I>
void ReleaseIf(I* p) noexcept
{
    if (p != nullptr)
        Mutable(p)->Release();
}

// The out-parameter type of an interface's Clone operation (Clone(IEnumExBase**) -> IEnumExBase).
template <class C, class Base>
Base* CloneTarget(HRESULT (C::*)(Base**));

}  // namespace detail

// Owns one reference.
struct COMRefCount {
    template <class I>
    static void Hold(I* p) noexcept { detail::AddRefIf(p); }
    template <class I>
    static void Drop(I* p) noexcept { detail::ReleaseIf(p); }
    template <class I>
    static I* Copy(I* p) noexcept
    {
        Hold(p);
        return p;
    }
    // A reference that a query or an out-parameter delivered is kept.
    template <class I>
    static I* Adopt(I* p) noexcept { return p; }
};

// Owns nothing: something else keeps the pointee alive.
struct COMWeak {
    template <class I>
    static void Hold(I*) noexcept {}
    template <class I>
    static void Drop(I*) noexcept {}
    template <class I>
    static I* Copy(I* p) noexcept { return p; }
    // A delivered reference is given back at once: the pointer is borrowed.
    template <class I>
    static I* Adopt(I* p) noexcept
    {
        detail::ReleaseIf(p);
        return p;
    }
};

// Owns one reference; a copy is a clone of the enumerator (its Clone, right after the three
// IUnknown operations), so that two holders never advance one stream.
struct COMCloneEnumEx : COMRefCount {
    template <class I>
    static I* Copy(I* p) noexcept
    {
        if (p == nullptr)
            return nullptr;
        decltype(detail::CloneTarget(&I::Clone)) clone = nullptr;
        p->Clone(&clone);
        return static_cast<I*>(clone);
    }
};

// Hands p out through out with a reference that the caller owns; a null p is handed out as
// null.
template <class I, class J>
void GiveOut(I* p, J** out) noexcept
{
    detail::AddRefIf(p);
    *out = p;
}

namespace impl {

// Marks a pointer of another interface that a smart pointer is to query for its own.
template <class J>
struct com_cast_t {
    J* source;
};

}  // namespace impl

template <class J>
impl::com_cast_t<J> com_cast(J* source)
{
    return {source};
}

template <class I, class Policy = COMRefCount>
class COMPtr {
public:
    typedef I Interface;

    COMPtr() noexcept = default;
    COMPtr(I* p) noexcept : mPtr(p) { Policy::Hold(p); }
    COMPtr(const COMPtr& other) noexcept : mPtr(Policy::Copy(other.mPtr)) {}
    COMPtr(COMPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}
    template <class J, class P, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
    COMPtr(const COMPtr<J, P>& other) noexcept : COMPtr(static_cast<I*>(other.get()))
    {
    }
    // Null when the source is null or refuses I.
    template <class J>
    COMPtr(impl::com_cast_t<J> cast) noexcept : mPtr(Query(cast.source))
    {
    }
    ~COMPtr() { Policy::Drop(mPtr); }

    // The new pointer is held before the old one is dropped, so self-assignment is safe.
    COMPtr& operator=(I* p) noexcept
    {
        Policy::Hold(p);
        Replace(p);
        return *this;
    }
    COMPtr& operator=(const COMPtr& other) noexcept
    {
        if (this != &other)
            Replace(Policy::Copy(other.mPtr));
        return *this;
    }
    COMPtr& operator=(COMPtr&& other) noexcept
    {
        if (this != &other)
            Replace(std::exchange(other.mPtr, nullptr));
        return *this;
    }
    template <class J, class P, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
    COMPtr& operator=(const COMPtr<J, P>& other) noexcept
    {
        return *this = static_cast<I*>(other.get());
    }
    template <class J>
    COMPtr& operator=(impl::com_cast_t<J> cast) noexcept
    {
        Replace(Query(cast.source));
        return *this;
    }

    // Adopts p with the reference that its maker, a query or an out-parameter already took for
    // the caller: no AddRef.
    static COMPtr Take(I* p) noexcept
    {
        COMPtr taken;
        taken.mPtr = Policy::Adopt(p);
        return taken;
    }

    // Gives the pointer, with the reference this smart pointer held, to the caller: no Release.
    [[nodiscard]] I* Forget() noexcept { return std::exchange(mPtr, nullptr); }

    // Takes p with a reference of its own and drops the previous pointer.
    void Reference(I* p) noexcept { *this = p; }

    // Nulls the member before releasing, so that re-entrant code sees null.
    void Clear() noexcept { Replace(nullptr); }

    // Hands out the pointer with a reference that the caller owns, whatever the policy.
    template <class J>
    void GetOut(J** out) const noexcept
    {
        if (out == nullptr)
            return;
        detail::AddRefIf(mPtr);
        *out = mPtr;
    }

    I* get() const noexcept { return mPtr; }
    I* operator->() const noexcept { return mPtr; }
    operator I*() const noexcept { return mPtr; }

    // Out-parameter adaptor for a function that hands back an I*: the pointer takes what came
    // back (null included) when the adaptor is destroyed.
    class Setter {
    public:
        explicit Setter(COMPtr& target) noexcept : mTarget(target) {}
        Setter(const Setter&) = delete;
        Setter& operator=(const Setter&) = delete;
        ~Setter() { mTarget.Replace(Policy::Adopt(mValue)); }
        operator std::remove_const_t<I>**() noexcept { return &mValue; }
        operator void**() noexcept { return reinterpret_cast<void**>(&mValue); }

    private:
        COMPtr& mTarget;
        std::remove_const_t<I>* mValue = nullptr;
    };
    Setter Set() noexcept { return Setter(*this); }

    // Out-parameter adaptor for a function that hands back an IUnknown*: what came back is
    // queried for I, then released.
    class QuerySetter {
    public:
        explicit QuerySetter(COMPtr& target) noexcept : mTarget(target) {}
        QuerySetter(const QuerySetter&) = delete;
        QuerySetter& operator=(const QuerySetter&) = delete;
        ~QuerySetter()
        {
            if (mValue != nullptr) {
                mTarget = com_cast(mValue);
                mValue->Release();
            }
        }
        operator IUnknown**() noexcept { return &mValue; }

    private:
        COMPtr& mTarget;
        IUnknown* mValue = nullptr;
    };
    QuerySetter SetQuery() noexcept { return QuerySetter(*this); }

private:
    template <class J>
    static I* Query(J* source) noexcept
    {
        if (source == nullptr)
            return nullptr;
        void* out = nullptr;
        if (detail::Mutable(source)->QueryInterface(IIDOf<std::remove_const_t<I>>(), &out) != KVD_S_OK)
            return nullptr;
        return Policy::Adopt(static_cast<I*>(out));
    }

    // Stores an already held pointer, then drops the old one.
    void Replace(I* p) noexcept
    {
        I* old = mPtr;
        mPtr = p;
        Policy::Drop(old);
    }

    I* mPtr = nullptr;
};

template <class J, class P>
impl::com_cast_t<J> com_cast(const COMPtr<J, P>& source)
{
    return {source.get()};
}

}  // namespace KVD
