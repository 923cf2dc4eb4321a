// A set of named calculation variables in case-insensitive name order. Observers registered
// with the set are attached to every variable it holds, so that a change of any variable
// reaches everyone who watches the set. Its IUnknown is the wrapper's: stand-alone (counted),
// aggregated in an enumerator, or the composite enumerator that derives from it.
#pragma once

#include "IKVDCalcVariables.h"
#include "foundation/InterfaceArray.h"
#include "foundation/KVDString.h"
#include "foundation/SortedInterfaceArray.h"

namespace CalcVariable {

// The name a variable gives itself (empty for null).
KVD::String NameOf(IKVDCalcVariable* variable);

// Order of variables by name, case-insensitively; keys are variables or names.
struct LessCO {
    bool operator()(IKVDCalcVariable* a, IKVDCalcVariable* b) const;
    bool operator()(IKVDCalcVariable* a, const KVD::String& name) const;
    bool operator()(const KVD::String& name, IKVDCalcVariable* b) const;
};

struct EqualCO {
    bool operator()(IKVDCalcVariable* a, IKVDCalcVariable* b) const;
    bool operator()(IKVDCalcVariable* a, const KVD::String& name) const;
};

using VariableArray = SortedInterfaceArray<IKVDCalcVariable, LessCO, EqualCO>;

class CalcVariablesImpl : public IKVDCalcVariables {
public:
    CalcVariablesImpl();
    CalcVariablesImpl(const CalcVariablesImpl&) = delete;
    CalcVariablesImpl& operator=(const CalcVariablesImpl&) = delete;
    virtual ~CalcVariablesImpl();

    // A stand-alone set with one reference.
    static CalcVariablesImpl* Create();
    // A set aggregated in outer: its AddRef, Release and QueryInterface go to outer; inner
    // receives the IUnknown that outer keeps (one reference).
    static CalcVariablesImpl* CreateAggregated(IUnknown* outer, IUnknown** inner);

    HRESULT FindVariable(uint32_t flags, IAutoKVDString* name, IKVDCalcVariable** out) override;
    HRESULT EnumVariableNames(uint32_t flags, IEnumIAutoKVDString** out) override;
    HRESULT EnumVariables(uint32_t flags, IEnumIKVDCalcVariable** out) override;
    HRESULT InsertVariable(uint32_t flags, IKVDCalcVariable* variable) override;
    // Every variable of other, attached to this set's observers.
    HRESULT InsertVariables(uint32_t flags, IKVDCalcVariables* other) override;
    HRESULT ObserveVariables(uint32_t flags, ISimpleObserver* observer) override;
    // Releases the variables, then the observers.
    HRESULT ReleaseRefs() override;
    HRESULT Clone(IKVDCalcVariables** out) override;

    // Stores a variable without attaching observers (how formula symbols contribute theirs).
    unsigned SetItem(IKVDCalcVariable* variable) { return mVariables.SetItem(variable); }
    // Detaches the observers from every variable and releases the variables; the observers
    // stay registered.
    void ReleaseVariables();

    VariableArray& Variables() { return mVariables; }
    unsigned GetCount() const { return mVariables.GetCount(); }

protected:
    // Takes the variables of other, without its observers.
    void CopyVariables(const CalcVariablesImpl& other);

private:
    // Replace-or-insert with the observers moved from a replaced variable to the new one.
    void Store(IKVDCalcVariable* variable);

    VariableArray mVariables;
    InterfaceArray<ISimpleObserver> mObservers;
};

}  // namespace CalcVariable
