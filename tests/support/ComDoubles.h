// Reference counting for test doubles, so that each double writes only the operations its
// test is about.
#pragma once

#include <atomic>
#include <cstdint>

#include "IFramework.h"
#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace TestSupport {

// A heap double that starts with its maker's reference and is deleted by the last Release;
// answers IUnknown (as the first interface) and each of Is.
template <class... Is>
class HeapDouble : public KVD::detail::CountedUnknown<Is...> {
public:
    HeapDouble() { this->AddRef(); }
    HeapDouble(const HeapDouble& other) : KVD::detail::CountedUnknown<Is...>(other) { this->AddRef(); }
    uint32_t RefCount() const { return this->mRefCount.Get(); }
};

// A double on the stack or in static storage: counts its references but never deletes itself;
// answers IUnknown and I.
template <class I>
class StackObject : public I {
public:
    uint32_t AddRef() override { return ++mRefs; }
    uint32_t Release() override { return --mRefs; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IIDOf<I>()) {
            *out = static_cast<I*>(this);
            AddRef();
            return KVD_S_OK;
        }
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    uint32_t Refs() const { return mRefs; }

private:
    std::atomic<uint32_t> mRefs{1};
};

// A double that is never counted and answers no interface: for parameters that must only be
// there.
template <class I>
class InertObject : public I {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
};

// A class object in static storage: answers IUnknown, ICAFClassObject and I; its type id comes
// from a function, as dynamic ids are known only once the host runs.
template <class I>
class StaticClassObject : public I {
public:
    explicit StaticClassObject(TCAFId (*typeId)(), const wchar_t* name = nullptr, const _IID* category = nullptr)
        : mTypeId(typeId), mName(name), mCategory(category)
    {
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_ICAFClassObject || iid == IIDOf<I>() ? this : nullptr;
        return *out == nullptr ? KVD_E_NOINTERFACE : KVD_S_OK;
    }
    HRESULT GetTypeId(TCAFId* out) override { return *out = mTypeId(), KVD_S_OK; }
    HRESULT GetCategory(const _IID** out) override { return *out = mCategory, KVD_S_OK; }
    HRESULT GetObjectName(IAutoKVDString** out) override
    {
        if (mName.empty())
            return *out = nullptr, KVD_S_OK;
        return mName.GetOut(out), KVD_S_OK;
    }
    HRESULT IsInCategoryHR(const _IID* category) override
    {
        return category != nullptr && mCategory != nullptr && *category == *mCategory ? KVD_S_OK : KVD_S_FALSE;
    }

private:
    TCAFId (*mTypeId)();
    KVD::String mName;
    const _IID* mCategory;
};

}  // namespace TestSupport
