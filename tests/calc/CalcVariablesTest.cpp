// The set of calculation variables: case-insensitive order, lookup, replacement, enumeration,
// observers, merging, cloning and its COM faces.
#include <gtest/gtest.h>

#include <vector>

#include "FakeVariables.h"
#include "calc/CalcVariablesImpl.h"

namespace {

using CalcTest::FakeObserver;
using CalcTest::FakeVariable;
using CalcVariable::CalcVariablesImpl;

// Holds one reference to each object made in a test and drops it at the end.
template <class T>
struct Held {
    explicit Held(T* made) : p(made) {}
    ~Held() { p->Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return p; }
    operator T*() const { return p; }
    T* p;
};

std::vector<KVD::String> Names(IKVDCalcVariables* set)
{
    IEnumIAutoKVDString* names = nullptr;
    EXPECT_EQ(set->EnumVariableNames(0, &names), KVD_S_OK);
    std::vector<KVD::String> out;
    IAutoKVDString* name = nullptr;
    while (names->Next(1, &name, nullptr) == KVD_S_OK) {
        out.emplace_back(name);
        name->Release();
    }
    names->Release();
    return out;
}

IKVDCalcVariable* Find(IKVDCalcVariables* set, const wchar_t* name)
{
    IKVDCalcVariable* found = reinterpret_cast<IKVDCalcVariable*>(0x1);
    const HRESULT hr = set->FindVariable(0, KVD::String(name).AsIAutoKVDString(), &found);
    EXPECT_EQ(hr == KVD_S_OK, found != nullptr);
    if (found != nullptr)
        found->Release();  // the set still holds one
    return found;
}

TEST(CalcVariables, SortedCaseInsensitivelyAndFoundInAnyCase)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    Held<FakeVariable> c(new FakeVariable(L"c")), b(new FakeVariable(L"B")), a(new FakeVariable(L"a"));
    for (FakeVariable* v : {c.p, b.p, a.p})
        EXPECT_EQ(set->InsertVariable(0, v), KVD_S_OK);
    EXPECT_EQ(Names(set), (std::vector<KVD::String>{KVD::String(L"a"), KVD::String(L"B"), KVD::String(L"c")}));

    EXPECT_EQ(Find(set, L"b"), static_cast<IKVDCalcVariable*>(b));
    EXPECT_EQ(Find(set, L"A"), static_cast<IKVDCalcVariable*>(a));
    EXPECT_EQ(Find(set, L"d"), nullptr);
    IKVDCalcVariable* none = reinterpret_cast<IKVDCalcVariable*>(0x1);
    EXPECT_EQ(set->FindVariable(0, KVD::String(L"d").AsIAutoKVDString(), &none), KVD_S_FALSE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(set->InsertVariable(0, nullptr), KVD_E_NULLOUT);
}

TEST(CalcVariables, ASecondVariableOfTheNameReplacesTheFirst)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    Held<FakeVariable> gain(new FakeVariable(L"Gain", 1.0)), other(new FakeVariable(L"gain", 2.0));
    Held<FakeObserver> observer(new FakeObserver);
    set->ObserveVariables(0, observer);
    set->InsertVariable(0, gain);
    set->InsertVariable(0, other);
    EXPECT_EQ(set->GetCount(), 1u);
    EXPECT_EQ(Find(set, L"GAIN"), static_cast<IKVDCalcVariable*>(other));
    EXPECT_EQ(gain->RefCount(), 1u);  // the set dropped its reference
    // The replaced variable is no longer in the set: its changes no longer reach the set's observers.
    EXPECT_TRUE(gain->Observers().empty());
    gain->NotifyObservers(0);
    EXPECT_TRUE(observer->changes.empty());
    other->NotifyObservers(0);
    EXPECT_EQ(observer->changes.size(), 1u);
}

TEST(CalcVariables, EnumeratorDeliversWhatRemains)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    Held<FakeVariable> x(new FakeVariable(L"x")), y(new FakeVariable(L"y"));
    set->InsertVariable(0, y);
    set->InsertVariable(0, x);
    IEnumIKVDCalcVariable* items = nullptr;
    ASSERT_EQ(set->EnumVariables(0, &items), KVD_S_OK);
    // The enumerator works on a snapshot: later insertions do not show.
    Held<FakeVariable> z(new FakeVariable(L"z"));
    set->InsertVariable(0, z);

    IKVDCalcVariable* got[3] = {};
    uint32_t delivered = 99;
    EXPECT_EQ(items->Next(3, got, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(got[0], static_cast<IKVDCalcVariable*>(x));
    EXPECT_EQ(got[1], static_cast<IKVDCalcVariable*>(y));
    EXPECT_EQ(x->RefCount(), 4u);  // the test, the set, the snapshot, the delivered item
    got[0]->Release();
    got[1]->Release();
    EXPECT_EQ(items->Next(0, got, &delivered), KVD_S_OK);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(items->Next(2, got, nullptr), KVD_E_POINTER);

    items->Reset();
    IEnumIKVDCalcVariable* copy = nullptr;
    ASSERT_EQ(items->Clone(&copy), KVD_S_OK);
    EXPECT_EQ(copy->Next(1, got, nullptr), KVD_S_OK);
    EXPECT_EQ(got[0], static_cast<IKVDCalcVariable*>(x));
    got[0]->Release();
    copy->Release();
    items->Release();
}

TEST(CalcVariables, ObserversReachEveryVariableHeldOrMerged)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    Held<FakeVariable> early(new FakeVariable(L"early")), late(new FakeVariable(L"late"));
    Held<FakeObserver> first(new FakeObserver), second(new FakeObserver);
    set->InsertVariable(0, early);
    set->ObserveVariables(0, first);   // attached to the variable held now
    set->InsertVariable(0, late);      // and to one inserted later
    set->ObserveVariables(0, second);  // attached to both
    EXPECT_EQ(early->Observers().size(), 2u);
    EXPECT_EQ(late->Observers().size(), 2u);

    // Merged variables get every observer of the set, whenever it was registered.
    Held<CalcVariablesImpl> other(CalcVariablesImpl::Create());
    Held<FakeVariable> merged(new FakeVariable(L"merged")), replacing(new FakeVariable(L"EARLY"));
    other->InsertVariable(0, merged);
    other->InsertVariable(0, replacing);
    EXPECT_EQ(set->InsertVariables(0, other), KVD_S_OK);
    EXPECT_EQ(set->GetCount(), 3u);
    EXPECT_EQ(merged->Observers().size(), 2u);
    EXPECT_EQ(Find(set, L"early"), static_cast<IKVDCalcVariable*>(replacing));
    EXPECT_TRUE(early->Observers().empty());

    merged->NotifyObservers(0);
    ASSERT_EQ(first->changes.size(), 1u);
    EXPECT_EQ(first->changes[0], static_cast<IUnknown*>(static_cast<IKVDCalcVariable*>(merged)));
    EXPECT_EQ(second->changes.size(), 1u);
}

TEST(CalcVariables, MergingReadsTheOtherSetInBatches)
{
    Held<CalcVariablesImpl> other(CalcVariablesImpl::Create());
    std::vector<KVD::String> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back(KVD::String(std::wstring(L"v") + wchar_t(L'a' + i)));
        FakeVariable* v = new FakeVariable(names.back().c_str());
        other->InsertVariable(0, v);
        v->Release();
    }
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    ASSERT_EQ(set->InsertVariables(0, other), KVD_S_OK);
    EXPECT_EQ(Names(set), names);
}

TEST(CalcVariables, CloneHasTheVariablesButNoObserversAndReleasingDetachesThem)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    Held<FakeVariable> v(new FakeVariable(L"v"));
    Held<FakeObserver> observer(new FakeObserver);
    set->InsertVariable(0, v);
    set->ObserveVariables(0, observer);
    EXPECT_EQ(observer->RefCount(), 3u);  // the test, the set, the variable
    IKVDCalcVariables* copy = nullptr;
    ASSERT_EQ(set->Clone(&copy), KVD_S_OK);
    EXPECT_EQ(Find(copy, L"V"), static_cast<IKVDCalcVariable*>(v));
    Held<FakeVariable> w(new FakeVariable(L"w"));
    copy->InsertVariable(0, w);
    EXPECT_TRUE(w->Observers().empty());
    EXPECT_EQ(set->GetCount(), 1u);
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(v->RefCount(), 2u);

    // Rebuilding a formula drops the variables but keeps who watches the set.
    set->ReleaseVariables();
    EXPECT_EQ(set->GetCount(), 0u);
    EXPECT_EQ(v->RefCount(), 1u);
    EXPECT_TRUE(v->Observers().empty());
    set->InsertVariable(0, v);
    EXPECT_EQ(v->Observers().size(), 1u);

    EXPECT_EQ(set->ReleaseRefs(), KVD_S_OK);
    EXPECT_EQ(v->RefCount(), 1u);
    EXPECT_TRUE(v->Observers().empty());
    EXPECT_EQ(observer->RefCount(), 1u);
}

TEST(CalcVariables, FacesOfTheStandAloneAndTheAggregatedSet)
{
    Held<CalcVariablesImpl> set(CalcVariablesImpl::Create());
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(set->QueryInterface(IID_ISimpleObserver, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(set->QueryInterface(IID_IKVDCalcVariables, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IKVDCalcVariables*>(set));
    EXPECT_EQ(set->Release(), 1u);
    ASSERT_EQ(set->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IKVDCalcVariables*>(set));
    EXPECT_EQ(set->Release(), 1u);
    // A clone is a set of its own, made with one reference.
    IKVDCalcVariables* copy = nullptr;
    ASSERT_EQ(set->Clone(&copy), KVD_S_OK);
    ASSERT_EQ(copy->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, copy);
    EXPECT_EQ(copy->Release(), 1u);
    EXPECT_EQ(copy->Release(), 0u);

    // Aggregated: counting goes to the outer object, the inner IUnknown keeps the set alive.
    Held<FakeObserver> outer(new FakeObserver);
    IUnknown* inner = nullptr;
    CalcVariablesImpl* aggregated = CalcVariablesImpl::CreateAggregated(outer, &inner);
    aggregated->AddRef();
    EXPECT_EQ(outer->RefCount(), 2u);
    aggregated->Release();
    void* face = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IKVDCalcVariables, &face), KVD_S_OK);
    EXPECT_EQ(face, static_cast<IKVDCalcVariables*>(aggregated));
    EXPECT_EQ(outer->RefCount(), 2u);
    static_cast<IKVDCalcVariables*>(face)->Release();
    void* self = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IUnknown, &self), KVD_S_OK);
    EXPECT_EQ(self, inner);
    EXPECT_EQ(inner->Release(), 1u);
    EXPECT_EQ(inner->Release(), 0u);
    EXPECT_EQ(outer->RefCount(), 1u);
}

}  // namespace
