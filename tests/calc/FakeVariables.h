// Calculation variables and observers standing in for the host's, recording what the library
// does to them.
#pragma once

#include <algorithm>
#include <vector>

#include "IKVDCalcVariable.h"
#include "IRecordData.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "support/ComDoubles.h"

namespace CalcTest {

class FakeObserver final : public TestSupport::HeapDouble<ISimpleObserver> {
public:
    HRESULT OnChanged(uint32_t, IUnknown* subject) override { changes.push_back(subject); return KVD_S_OK; }

    std::vector<IUnknown*> changes;
};

// A named variable that may hold a number or an expression. CreateCalcEnum hands out
// `enumerator` (when set) and records the call.
class FakeVariable final
    : public TestSupport::HeapDouble<IKVDCalcVariable, IKVDCalcVariableDouble, IKVDExpressionVariable> {
public:
    explicit FakeVariable(const wchar_t* name, double value = 0.0) : mName(name), mValue(value) {}


    HRESULT GetName(uint32_t, IAutoKVDString** out) override { mName.GetOut(out); return KVD_S_OK; }
    HRESULT GetValue(uint32_t, double* out) override { *out = mValue; return KVD_S_OK; }
    HRESULT AddObserver(uint32_t, ISimpleObserver* observer) override
    {
        observer->AddRef();
        mObservers.push_back(observer);
        return KVD_S_OK;
    }
    HRESULT RemoveObserver(uint32_t, ISimpleObserver* observer) override
    {
        auto found = std::find(mObservers.begin(), mObservers.end(), observer);
        if (found == mObservers.end())
            return KVD_S_FALSE;
        mObservers.erase(found);
        observer->Release();
        return KVD_S_OK;
    }
    HRESULT NotifyObservers(uint32_t) override
    {
        for (ISimpleObserver* observer : mObservers)
            observer->OnChanged(0, static_cast<IKVDCalcVariable*>(this));
        return KVD_S_OK;
    }
    HRESULT CreateCalcEnum(IUnknown* outer, uint32_t, IAutoKVDString* name, IRecordData* data, IUnknown** out) override
    {
        lastOuter = outer;
        lastEnumName = KVD::String(name);
        lastData = data;
        *out = enumerator;
        if (enumerator != nullptr)
            enumerator->AddRef();
        return enumerator != nullptr ? KVD_S_OK : KVD_E_BADSTATE;
    }

    HRESULT GetDoubleValue(uint32_t, double* out) override { return GetValue(0, out); }
    HRESULT SetDoubleValue(uint32_t, double value) override { mValue = value; return KVD_S_OK; }
    HRESULT SetDefinition(uint32_t, const void* definitionArray, IAutoKVDString**) override
    {
        definition = definitionArray;
        return KVD_S_OK;
    }

    ~FakeVariable() override
    {
        for (ISimpleObserver* observer : mObservers)
            observer->Release();
    }

    double Value() const { return mValue; }
    const std::vector<ISimpleObserver*>& Observers() const { return mObservers; }

    IUnknown* enumerator = nullptr;  // not owned
    IUnknown* lastOuter = nullptr;
    IRecordData* lastData = nullptr;
    KVD::String lastEnumName;
    const void* definition = nullptr;

private:
    KVD::String mName;
    double mValue;
    std::vector<ISimpleObserver*> mObservers;  // one reference each
};

}  // namespace CalcTest
