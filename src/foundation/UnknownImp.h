// Small reference-counting bases for objects that implement one to three interfaces without
// an interface map. Objects start with count 0: their maker takes the first reference (AddRef
// or QueryInterface) and the last Release deletes them.
#pragma once

#include <utility>

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/InterfaceMap.h"
#include "foundation/RefCount.h"

namespace KVD {

// The object's pointer to the interface among I, More... whose id is iid; null for none.
template <class I, class... More, class T>
void* FindInterface(T* object, const _IID& iid)
{
    if (iid == IIDOf<I>())
        return static_cast<I*>(object);
    if constexpr (sizeof...(More) > 0)
        return FindInterface<More...>(object, iid);
    else
        return nullptr;
}

namespace detail {

// Implements IUnknown over the interfaces Is...; IID_IUnknown gives the first one.
template <class First, class... Rest>
class CountedUnknown : public First, public Rest... {
public:
    uint32_t AddRef() override { return mRefCount.Increment(); }

    uint32_t Release() override { return mRefCount.Release(this); }

    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = iid == IID_IUnknown ? static_cast<First*>(this) : FindInterface<First, Rest...>(this, iid);
        if (*out == nullptr)
            return KVD_E_NOINTERFACE;
        AddRef();
        return KVD_S_OK;
    }

    // Sits in the vtable after the interfaces' own operations.
    virtual ~CountedUnknown() = default;

protected:
    CountedUnknown() = default;
    // A copy is a new object: it starts without references.
    CountedUnknown(const CountedUnknown&) : First(), Rest()... {}
    CountedUnknown& operator=(const CountedUnknown&) { return *this; }

    RefCount mRefCount;
};

}  // namespace detail

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

// IUnknown of an object whose owner keeps it alive (a static, a member, a local): nothing is
// counted, and QueryInterface answers IUnknown and I without taking a reference.
template <class I>
class UncountedUnknown : public I {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = iid == IID_IUnknown || iid == IIDOf<I>() ? static_cast<I*>(this) : nullptr;
        return *out == nullptr ? KVD_E_NOINTERFACE : KVD_S_OK;
    }
};

// Root of every map-driven class.
class CComObjectRoot : public MacATLCOM::CComObjectRoot {};

}  // namespace KVD

// N has no effect; it is kept so that instances read as elsewhere in the system.
template <class I, long N>
class SimpleUnknownImp1 : public KVD::detail::CountedUnknown<I> {};

// Also answers the identifier of I's base interface B (IPersistStreamInit over IPersist).
template <class I, class B, long N>
class SimpleUnknownImp1_1 : public KVD::detail::CountedUnknown<I> {
public:
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out != nullptr && iid == IIDOf<B>()) {
            *out = static_cast<B*>(static_cast<I*>(this));
            this->AddRef();
            return KVD_S_OK;
        }
        return KVD::detail::CountedUnknown<I>::QueryInterface(iid, out);
    }
};

template <class I1, class I2, long N>
class SimpleUnknownImp2 : public KVD::detail::CountedUnknown<I1, I2> {};

template <class I1, class I2, class I3, long N>
class SimpleUnknownImp3 : public KVD::detail::CountedUnknown<I1, I2, I3> {};
