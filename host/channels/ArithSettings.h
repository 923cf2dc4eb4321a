// The settings of the host's arithmetic calculation: the formula that computes the channel and
// the unit of its result. Made through the object factory (GUID_ArithCalcId, index 1).
#pragma once

#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Host {

class ArithSettings final : public SimpleUnknownImp2<IPersistObject, ISetCalcFromString, 0> {
public:
    static KVD::COMPtr<ArithSettings> Create(const KVD::String& formula = KVD::String(),
                                             const KVD::String& unit = KVD::String());

    const KVD::String& Formula() const { return mFormula; }
    const KVD::String& Unit() const { return mUnit; }
    bool operator==(const ArithSettings& other) const { return mFormula == other.mFormula && mUnit == other.mUnit; }

    // Record: the formula and the unit as stream strings.
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    // A null unit leaves the unit as it was.
    HRESULT SetFromString(IAutoKVDString* expression, IAutoKVDString* units) override;

private:
    ArithSettings(const KVD::String& formula, const KVD::String& unit) : mFormula(formula), mUnit(unit) {}
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    KVD::String mFormula;
    KVD::String mUnit;
};

}  // namespace Host
