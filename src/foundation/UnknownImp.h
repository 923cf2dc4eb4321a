// IUnknown for the system's own classes, one helper per lifetime kind:
//   KVD::CountedUnknown<Es...>     heap objects: born with KVD::kBirthCount, the last Release
//                                  deletes them (make them with KVD::MakeCounted);
//   KVD::StaticUnknown<Es...>      objects that live as long as their owner or the process
//                                  (statics, members, locals): AddRef and Release answer 1;
//   KVD::AggregatedUnknown<Es...>  objects aggregated in an outer object: their interfaces
//                                  answer through the outer one, the inner unknown counts them
//                                  (KVD::DelegatingUnknown<Es...> is the delegating half alone,
//                                  for a face whose owner keeps it).
// Es... lists the interfaces the object answers; the first one is its identity (IID_IUnknown).
// An entry KVD::Answers<I, B...> also answers the identifiers of I's base interfaces B...; an
// entry KVD::Implements<C, I> is a class C that implements interface I (and answers I).
// Map-driven classes use the interface maps of InterfaceMap.h instead.
#pragma once

#include <utility>

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/InterfaceMap.h"
#include "foundation/RefCount.h"

namespace KVD {

// An interface-list entry: the sub-object of I, answering I's identifier and those of Bases....
template <class I, class... Bases>
struct Answers {};

template <class C, class I>
struct Implements {};

namespace detail {

// Face: the base class an entry adds; Interface: the pointer it answers with.
template <class E>
struct Entry {
    using Face = E;
    using Interface = E;
    static bool Matches(const _IID& iid) { return iid == IIDOf<E>(); }
};

template <class I, class... Bases>
struct Entry<Answers<I, Bases...>> {
    using Face = I;
    using Interface = I;
    static bool Matches(const _IID& iid) { return iid == IIDOf<I>() || ((iid == IIDOf<Bases>()) || ...); }
};

template <class C, class I>
struct Entry<Implements<C, I>> {
    using Face = C;
    using Interface = I;
    static bool Matches(const _IID& iid) { return iid == IIDOf<I>(); }
};

template <class E>
using FaceOf = typename Entry<E>::Face;

template <class E, class T>
void* Answer(T* object)
{
    return static_cast<typename Entry<E>::Interface*>(static_cast<FaceOf<E>*>(object));
}

template <class E, class... More, class T>
void* FindEntry(T* object, const _IID& iid)
{
    if (Entry<E>::Matches(iid))
        return Answer<E>(object);
    if constexpr (sizeof...(More) > 0)
        return FindEntry<More...>(object, iid);
    else
        return nullptr;
}

// The object's pointer that answers iid among the entries Es... (the first one for
// IID_IUnknown); null for none.
template <class First, class... Rest, class T>
void* FindAnswer(T* object, const _IID& iid)
{
    return iid == IID_IUnknown ? Answer<First>(object) : FindEntry<First, Rest...>(object, iid);
}

}  // namespace detail

// QueryInterface over the entries Es... for a class that answers it itself (as the classes made
// concrete by UnknownImp1): a found interface is handed out with a reference.
template <class... Es, class T>
HRESULT QueryEntries(T* object, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = detail::FindAnswer<Es...>(object, iid);
    if (*out == nullptr)
        return KVD_E_NOINTERFACE;
    object->AddRef();
    return KVD_S_OK;
}

// The object's pointer to the interface among I, More... whose id is iid; null for none.
template <class I, class... More, class T>
void* FindInterface(T* object, const _IID& iid)
{
    return detail::FindEntry<I, More...>(object, iid);
}

// Answers iid with the object's interface I, adding a reference through it; refuses anything
// else (for QueryMore and QueryExtra).
template <class I, class T>
HRESULT AnswerFace(T* object, const _IID& iid, void** out)
{
    *out = iid == IIDOf<I>() ? static_cast<I*>(object) : nullptr;
    if (*out == nullptr)
        return KVD_E_NOINTERFACE;
    static_cast<I*>(object)->AddRef();
    return KVD_S_OK;
}

// The counted kind. QueryMore answers identifiers the list does not name (faces that a derived
// class adds, or an aggregated inner object); it hands out its answer as QueryInterface does.
template <class... Es>
class CountedUnknown : public detail::FaceOf<Es>... {
public:
    uint32_t AddRef() override { return mRefCount.Increment(); }
    uint32_t Release() override { return mRefCount.Release(this); }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        const HRESULT hr = QueryEntries<Es...>(this, iid, out);
        return hr == KVD_E_NOINTERFACE ? QueryMore(iid, out) : hr;
    }

    // Sits in the vtable after the interfaces' own operations.
    virtual ~CountedUnknown() = default;

protected:
    virtual HRESULT QueryMore(const _IID&, void**) { return KVD_E_NOINTERFACE; }

    CountedUnknown() = default;
    explicit CountedUnknown(RefCount::HeldByMaker held) : mRefCount(held) {}
    // A copy is a new object: it is born like any other.
    CountedUnknown(const CountedUnknown&) : detail::FaceOf<Es>()... {}
    CountedUnknown& operator=(const CountedUnknown&) { return *this; }

    RefCount mRefCount;
};

// The static kind. QueryMore answers identifiers the list does not name (faces that a derived
// class adds); it hands out its answer as QueryInterface does.
template <class... Es>
class StaticUnknown : public detail::FaceOf<Es>... {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        const HRESULT hr = QueryEntries<Es...>(this, iid, out);
        return hr == KVD_E_NOINTERFACE ? QueryMore(iid, out) : hr;
    }

protected:
    virtual HRESULT QueryMore(const _IID&, void**) { return KVD_E_NOINTERFACE; }
};

// The delegating half of the aggregated kind: AddRef, Release and QueryInterface of the
// interfaces Es... go to the outer object, which keeps this one alive.
template <class... Es>
class DelegatingUnknown : public detail::FaceOf<Es>... {
public:
    uint32_t AddRef() override { return mOuter->AddRef(); }
    uint32_t Release() override { return mOuter->Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return mOuter->QueryInterface(iid, out); }

    IUnknown* Outer() const { return mOuter; }

protected:
    explicit DelegatingUnknown(IUnknown* outer) : mOuter(outer) {}
    // For a standalone object that is its own outer object.
    void SetOuter(IUnknown* outer) { mOuter = outer; }

private:
    IUnknown* mOuter;
};

// The aggregated kind: the interfaces Es... answer through the outer object; the inner
// unknown, which the outer object keeps, counts the object and answers its own interfaces.
// Without an outer object the object stands alone, counted by its inner unknown.
template <class... Es>
class AggregatedUnknown : public DelegatingUnknown<Es...> {
public:
    // The non-delegating unknown, with one reference for the caller.
    IUnknown* TakeInner()
    {
        mInner.AddRef();
        return &mInner;
    }

protected:
    explicit AggregatedUnknown(IUnknown* outer) : DelegatingUnknown<Es...>(outer), mInner(*this)
    {
        if (outer == nullptr)
            this->SetOuter(&mInner);
    }
    virtual ~AggregatedUnknown() = default;

    // Interfaces answered besides Es... (by other objects): out receives one with a reference.
    virtual HRESULT QueryExtra(const _IID&, void** out)
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }

private:
    class Inner final : public IUnknown {
    public:
        explicit Inner(AggregatedUnknown& self) : mSelf(self) {}
        uint32_t AddRef() override { return mCount.Increment(); }
        uint32_t Release() override
        {
            const uint32_t count = mCount.Decrement();
            if (count == 0)
                delete &mSelf;
            return count;
        }
        HRESULT QueryInterface(const _IID& iid, void** out) override
        {
            if (out == nullptr)
                return KVD_E_POINTER;
            if (iid == IID_IUnknown) {
                *out = this;
                AddRef();
                return KVD_S_OK;
            }
            *out = detail::FindEntry<Es...>(&mSelf, iid);
            if (*out == nullptr)
                return mSelf.QueryExtra(iid, out);
            mSelf.AddRef();
            return KVD_S_OK;
        }

    private:
        AggregatedUnknown& mSelf;
        RefCount mCount;
    };

    Inner mInner;
};

// Makes a counted T and takes its first reference.
template <class T, class... Args>
COMPtr<T> MakeCounted(Args&&... args)
{
    return COMPtr<T>(new T(std::forward<Args>(args)...));
}

// The same count, AddRef and Release for a class T that answers QueryInterface itself.
template <class T, long N>
class UnknownImp1 : public T {
public:
    template <class... Args>
    explicit UnknownImp1(Args&&... args) : T(std::forward<Args>(args)...)
    {
    }

    uint32_t AddRef() override { return mRefCount.Increment(); }

    uint32_t Release() override { return mRefCount.Release(this); }

private:
    RefCount mRefCount;
};

namespace detail {

// The counted kind under its older name.
template <class... Es>
using CountedUnknown = KVD::CountedUnknown<Es...>;

}  // namespace detail

// The static kind of one interface, under its older name.
template <class I>
using UncountedUnknown = StaticUnknown<I>;

// Root of every map-driven class.
class CComObjectRoot : public MacATLCOM::CComObjectRoot {};

}  // namespace KVD

// The counting bases under the names the rest of the system knows them by. N has no effect;
// it is kept so that instances read as elsewhere in the system.
template <class I, long N>
class SimpleUnknownImp1 : public KVD::CountedUnknown<I> {
protected:
    using KVD::CountedUnknown<I>::CountedUnknown;
};

// Also answers the identifier of I's base interface B (IPersistStreamInit over IPersist).
template <class I, class B, long N>
class SimpleUnknownImp1_1 : public KVD::CountedUnknown<KVD::Answers<I, B>> {};

template <class I1, class I2, long N>
class SimpleUnknownImp2 : public KVD::CountedUnknown<I1, I2> {};

template <class I1, class I2, class I3, long N>
class SimpleUnknownImp3 : public KVD::CountedUnknown<I1, I2, I3> {};
