// Base of host objects that plug-in objects aggregate: the interfaces Is... answer AddRef,
// Release and QueryInterface through the outer object; the inner unknown, which the outer
// object keeps, counts the object itself and answers its own interfaces. Without an outer
// object the object stands alone.
#pragma once

#include <utility>

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"

namespace Host {

template <class... Is>
class Aggregated : public Is... {
public:
    uint32_t AddRef() override { return mOuter->AddRef(); }
    uint32_t Release() override { return mOuter->Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return mOuter->QueryInterface(iid, out); }

    // The non-delegating unknown, with one reference for the caller.
    IUnknown* TakeInner()
    {
        mInner.AddRef();
        return &mInner;
    }
    IUnknown* Outer() const { return mOuter; }

protected:
    explicit Aggregated(IUnknown* outer) : mInner(*this), mOuter(outer != nullptr ? outer : &mInner) {}
    virtual ~Aggregated() = default;

    // Interfaces answered besides Is... (by other objects): out receives one with a reference.
    virtual HRESULT QueryExtra(const _IID&, void** out)
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }

private:
    class Inner final : public IUnknown {
    public:
        explicit Inner(Aggregated& self) : mSelf(self) {}
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
            *out = KVD::FindInterface<Is...>(&mSelf, iid);
            if (*out == nullptr)
                return mSelf.QueryExtra(iid, out);
            mSelf.AddRef();
            return KVD_S_OK;
        }

    private:
        Aggregated& mSelf;
        KVD::RefCount mCount;
    };

    Inner mInner;
    IUnknown* mOuter;
};

// Makes a T (an Aggregated made from its outer object) inside outer, or standing alone
// without one, and hands out its interface iid.
template <class T>
HRESULT CreateAggregated(IUnknown* outer, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    // Aggregated, only the inner unknown can be handed out: the outer object keeps the object
    // alive through it.
    if (outer != nullptr && iid != IID_IUnknown)
        return KVD_E_NOINTERFACE;
    IUnknown* inner = (new T(outer))->TakeInner();
    const HRESULT hr = inner->QueryInterface(iid, out);
    inner->Release();
    return hr;
}

}  // namespace Host
