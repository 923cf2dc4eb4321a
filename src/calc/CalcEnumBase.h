// Base of the sample enumerators: reference counting (with optional aggregation in an outer
// object), the three faces ICalcEnum (or ICalcEnum64), IEnumFloatEx and IKVDSetCalcVariables,
// the class object and the calculation-variables object that QueryInterface falls back on.
#pragma once

#include <atomic>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumFloatEx.h"
#include "IKVDSetCalcVariables.h"
#include "IOrrelData2.h"

namespace CalcEnums {

template <class Primary>
class CalcEnumBaseT : public Primary, public IEnumFloatEx, public IKVDSetCalcVariables {
public:
    CalcEnumBaseT(ICalcEnumClass2* classObject, IOrrelData2* data) : mClass(classObject), mData(data), mInner(this) {}
    // A copy starts with one reference, no outer object and no calculation variables.
    CalcEnumBaseT(const CalcEnumBaseT& other) : mClass(other.mClass), mData(other.mData), mInner(this) {}
    CalcEnumBaseT& operator=(const CalcEnumBaseT&) = delete;
    virtual ~CalcEnumBaseT() { SetCalcVariables(0, nullptr); }

    // Makes the object an inner object of outer: its faces then count and answer through
    // outer, and NonDelegating() is the IUnknown the outer object keeps.
    void AggregateIn(IUnknown* outer) { mOuter = outer; }
    IUnknown* NonDelegating() { return &mInner; }

    uint32_t AddRef() override { return mOuter ? mOuter->AddRef() : OwnAddRef(); }
    uint32_t Release() override { return mOuter ? mOuter->Release() : OwnRelease(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        return mOuter ? mOuter->QueryInterface(iid, out) : OwnQueryInterface(iid, out);
    }

    HRESULT GetTypeId(TCAFId* id) override;
    HRESULT GetClassObject(ICalcEnumClass2** cls) override;
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override;
    // Holds variables (replacing and releasing what was held; null clears).
    HRESULT SetCalcVariables(uint32_t flags, IUnknown* variables) override;

    ICalcEnum* CalcFace() { return this; }
    IEnumFloatEx* StreamFace() { return this; }
    ICalcEnumClass2* ClassObject() const { return mClass; }
    IOrrelData2* Data() const { return mData; }

protected:
    uint32_t OwnAddRef() { return mCount.fetch_add(1, std::memory_order_acq_rel) + 1; }
    uint32_t OwnRelease();
    HRESULT OwnQueryInterface(const _IID& iid, void** out);

private:
    // The non-delegating IUnknown of an aggregated instance.
    struct Inner : IUnknown {
        explicit Inner(CalcEnumBaseT* owner) : mOwner(owner) {}
        uint32_t AddRef() override { return mOwner->OwnAddRef(); }
        uint32_t Release() override { return mOwner->OwnRelease(); }
        HRESULT QueryInterface(const _IID& iid, void** out) override;

        CalcEnumBaseT* mOwner;
    };

    std::atomic<uint32_t> mCount{1};
    ICalcEnumClass2* mClass;     // not owned: class objects live as long as the process
    IOrrelData2* mData;          // not owned
    IUnknown* mVariables = nullptr;  // owned
    IUnknown* mOuter = nullptr;  // not owned: the outer object owns us
    Inner mInner;
};

using CalcEnumBase2 = CalcEnumBaseT<ICalcEnum>;
using CalcEnumBase64 = CalcEnumBaseT<ICalcEnum64>;

extern template class CalcEnumBaseT<ICalcEnum>;
extern template class CalcEnumBaseT<ICalcEnum64>;

}  // namespace CalcEnums
