// What every calculation enumerator is besides its interfaces: one reference count that may
// be lent to an outer object (aggregation), the class object that made it and the host data
// it computes from.
#pragma once

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IOrrelData2.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"

namespace CalcEnums {

class CalcEnumIdentity {
public:
    CalcEnumIdentity(ICalcEnumClass2* classObject, IOrrelData2* data)
        : mClass(classObject), mData(data), mInner(this)
    {
    }
    // A copy is a new object: one reference, no outer object, the same class object and data.
    CalcEnumIdentity(const CalcEnumIdentity& other) : mClass(other.mClass), mData(other.mData), mInner(this) {}
    CalcEnumIdentity& operator=(const CalcEnumIdentity&) = delete;
    virtual ~CalcEnumIdentity() = default;

    // Makes the object an inner object of outer: its faces then count and answer through
    // outer, and NonDelegating() is the IUnknown the outer object keeps.
    void AggregateIn(IUnknown* outer) { mOuter = outer; }
    IUnknown* NonDelegating() { return &mInner; }

    ICalcEnumClass2* ClassObject() const { return mClass; }
    IOrrelData2* Data() const { return mData; }

protected:
    // The IUnknown operations of every face.
    uint32_t DelegatingAddRef() { return mOuter ? mOuter->AddRef() : OwnAddRef(); }
    uint32_t DelegatingRelease() { return mOuter ? mOuter->Release() : OwnRelease(); }
    HRESULT DelegatingQueryInterface(const _IID& iid, void** out)
    {
        return mOuter ? mOuter->QueryInterface(iid, out) : OwnQueryInterface(iid, out);
    }
    // The object's own answer; a face handed out takes its reference through AddRef.
    virtual HRESULT OwnQueryInterface(const _IID& iid, void** out) = 0;

    // The class object's type id (0 and 0xF800400A without a class object).
    HRESULT TypeIdOut(TCAFId* id) const;
    // The class object with a reference.
    HRESULT ClassObjectOut(ICalcEnumClass2** cls) const;

private:
    // The non-delegating IUnknown of an aggregated instance.
    struct Inner : IUnknown {
        explicit Inner(CalcEnumIdentity* owner) : mOwner(owner) {}
        uint32_t AddRef() override { return mOwner->OwnAddRef(); }
        uint32_t Release() override { return mOwner->OwnRelease(); }
        HRESULT QueryInterface(const _IID& iid, void** out) override;

        CalcEnumIdentity* mOwner;
    };

    uint32_t OwnAddRef() { return mCount.Increment(); }
    uint32_t OwnRelease() { return mCount.Release(this); }

    // Unlike other counted objects an enumerator is born holding its maker's reference (Create
    // and Clone hand it out as it is).
    KVD::RefCount mCount{KVD::RefCount::HeldByMaker{}};
    ICalcEnumClass2* mClass;     // not owned: class objects live as long as the process
    IOrrelData2* mData;          // not owned
    IUnknown* mOuter = nullptr;  // not owned: the outer object owns us
    Inner mInner;
};

// The operations every calculation enumerator answers alike, over its faces: Primary is
// ICalcEnum or an interface derived from it, Faces the enumerator's others.
template <class Primary, class... Faces>
class CalcEnumFaces : public Primary, public Faces..., public CalcEnumIdentity {
public:
    using CalcEnumIdentity::CalcEnumIdentity;
    CalcEnumFaces(const CalcEnumFaces& other) : Primary(), Faces()..., CalcEnumIdentity(other) {}

    uint32_t AddRef() override { return DelegatingAddRef(); }
    uint32_t Release() override { return DelegatingRelease(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return DelegatingQueryInterface(iid, out); }

    HRESULT GetTypeId(TCAFId* id) override { return TypeIdOut(id); }
    HRESULT GetClassObject(ICalcEnumClass2** cls) override { return ClassObjectOut(cls); }

    ICalcEnum* CalcFace() { return this; }

protected:
    // The primary interface (the object's identity) and the other faces.
    HRESULT OwnQueryInterface(const _IID& iid, void** out) override
    {
        return KVD::QueryEntries<Primary, Faces...>(this, iid, out);
    }
};

// What a new enumerator E is handed out as: made an inner object of outer, its non-delegating
// IUnknown; standing alone, its calculation face.
template <class E>
IUnknown* HandOutInstance(E* made, IUnknown* outer)
{
    if (outer == nullptr)
        return made->CalcFace();
    made->AggregateIn(outer);
    return made->NonDelegating();
}

}  // namespace CalcEnums
