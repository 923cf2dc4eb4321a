#include "calc/CalcVariablesImpl.h"

#include "foundation/EnumArray.h"
#include "foundation/EnumIter.h"
#include "foundation/UnknownImp.h"

namespace CalcVariable {

namespace {

int CompareNames(const KVD::String& a, const KVD::String& b)
{
    return a.CaseInsensitiveCompare(b, false);
}

// The set standing alone.
class StandaloneVariables final : public KVD::CountedUnknown<KVD::Implements<CalcVariablesImpl, IKVDCalcVariables>> {
public:
    StandaloneVariables() = default;
    explicit StandaloneVariables(const CalcVariablesImpl& other) { CopyVariables(other); }
};

// The set as an inner object of an enumerator.
class AggregatedVariables final : public KVD::AggregatedUnknown<KVD::Implements<CalcVariablesImpl, IKVDCalcVariables>> {
public:
    explicit AggregatedVariables(IUnknown* outer) : AggregatedUnknown(outer) {}
};

}  // namespace

KVD::String NameOf(IKVDCalcVariable* variable)
{
    KVD::String name;
    if (variable != nullptr)
        variable->GetName(0, KVD::String::Setter(name));
    return name;
}

bool LessCO::operator()(IKVDCalcVariable* a, IKVDCalcVariable* b) const
{
    return CompareNames(NameOf(a), NameOf(b)) < 0;
}

bool LessCO::operator()(IKVDCalcVariable* a, const KVD::String& name) const
{
    return CompareNames(NameOf(a), name) < 0;
}

bool LessCO::operator()(const KVD::String& name, IKVDCalcVariable* b) const
{
    return CompareNames(name, NameOf(b)) < 0;
}

bool EqualCO::operator()(IKVDCalcVariable* a, IKVDCalcVariable* b) const
{
    return CompareNames(NameOf(a), NameOf(b)) == 0;
}

bool EqualCO::operator()(IKVDCalcVariable* a, const KVD::String& name) const
{
    return CompareNames(NameOf(a), name) == 0;
}

CalcVariablesImpl::CalcVariablesImpl() : mVariables(8), mObservers(8) {}

void CalcVariablesImpl::CopyVariables(const CalcVariablesImpl& other)
{
    for (unsigned i = 0; i < other.mVariables.GetCount(); ++i)
        mVariables.Add(other.mVariables[i]);
}

CalcVariablesImpl::~CalcVariablesImpl()
{
    ReleaseVariables();
}

CalcVariablesImpl* CalcVariablesImpl::Create()
{
    return KVD::MakeCounted<StandaloneVariables>().Forget();
}

CalcVariablesImpl* CalcVariablesImpl::CreateAggregated(IUnknown* outer, IUnknown** inner)
{
    auto* set = new AggregatedVariables(outer);
    *inner = set->TakeInner();
    return set;
}

HRESULT CalcVariablesImpl::FindVariable(uint32_t, IAutoKVDString* name, IKVDCalcVariable** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = nullptr;
    const unsigned index = mVariables.Find(KVD::String(name));
    if (index == CArrayVoidP::kNotFound)
        return KVD_S_FALSE;
    KVD::GiveOut(mVariables[index], out);
    return KVD_S_OK;
}

HRESULT CalcVariablesImpl::EnumVariableNames(uint32_t, IEnumIAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    InterfaceArray<IAutoKVDString> names(mVariables.GetCount());
    for (unsigned i = 0; i < mVariables.GetCount(); ++i)
        mVariables[i]->GetName(0, names.Add());
    return InterfaceEnum::EnumArray<IEnumIAutoKVDString, IAutoKVDString, KVD::EnumXXXTraits>::Create(names, out);
}

HRESULT CalcVariablesImpl::EnumVariables(uint32_t, IEnumIKVDCalcVariable** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    return InterfaceEnum::EnumArray<IEnumIKVDCalcVariable, IKVDCalcVariable, KVD::EnumXXXTraits>::Create(mVariables, out);
}

HRESULT CalcVariablesImpl::InsertVariable(uint32_t, IKVDCalcVariable* variable)
{
    if (variable == nullptr)
        return KVD_E_NULLOUT;
    Store(variable);
    return KVD_S_OK;
}

HRESULT CalcVariablesImpl::InsertVariables(uint32_t, IKVDCalcVariables* other)
{
    if (other == nullptr)
        return KVD_E_POINTER;
    KVD::EnumIter<IEnumIKVDCalcVariable, 8, true, KVD::EnumXXXTraits> items;
    const HRESULT hr = other->EnumVariables(0, items.Set());
    if (hr != KVD_S_OK)
        return hr;
    while (IKVDCalcVariable* variable = items.Next())
        Store(variable);
    return KVD_S_OK;
}

HRESULT CalcVariablesImpl::ObserveVariables(uint32_t, ISimpleObserver* observer)
{
    if (observer == nullptr)
        return KVD_E_POINTER;
    mObservers.Add(observer);
    for (unsigned i = 0; i < mVariables.GetCount(); ++i)
        mVariables[i]->AddObserver(0, observer);
    return KVD_S_OK;
}

HRESULT CalcVariablesImpl::ReleaseRefs()
{
    ReleaseVariables();
    mObservers.SetCount(0);
    return KVD_S_OK;
}

HRESULT CalcVariablesImpl::Clone(IKVDCalcVariables** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = KVD::MakeCounted<StandaloneVariables>(*this).Forget();
    return KVD_S_OK;
}

void CalcVariablesImpl::ReleaseVariables()
{
    for (unsigned o = 0; o < mObservers.GetCount(); ++o) {
        for (unsigned v = 0; v < mVariables.GetCount(); ++v)
            mVariables[v]->RemoveObserver(0, mObservers[o]);
    }
    mVariables.SetCount(0);
}

void CalcVariablesImpl::Store(IKVDCalcVariable* variable)
{
    const unsigned held = mVariables.Find(variable);
    IKVDCalcVariable* replaced = held != CArrayVoidP::kNotFound ? mVariables[held] : nullptr;
    if (replaced == variable)
        return;
    if (replaced != nullptr) {
        // The replaced variable no longer belongs to the set: it must stop telling its observers.
        for (unsigned o = 0; o < mObservers.GetCount(); ++o)
            replaced->RemoveObserver(0, mObservers[o]);
    }
    mVariables.SetItem(variable);
    for (unsigned o = 0; o < mObservers.GetCount(); ++o)
        variable->AddObserver(0, mObservers[o]);
}

}  // namespace CalcVariable
