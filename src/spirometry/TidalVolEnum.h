// The enumerator of the "Spirometry Tidal Volume" calculation: a formula-driven composite whose
// formula is compiled when its one source arrives rather than when it is set, because the text
// then depends on the source's unit: a flow per minute has the result divided by 60.
#pragma once

#include "calc/CalcEnumClassBase2.h"
#include "calc/CompositeCalcEnum.h"

namespace Spirometry {

class TidalVolEnum : public CalcEnums::CompositeCalcEnum {
public:
    static CalcEnums::CalcEnumClassBase2::Traits sTraits;

    TidalVolEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : CompositeCalcEnum(classObject, data) {}

    // Keeps the formula and compiles nothing yet.
    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    // The formula as it was set.
    HRESULT GetSettings(IAutoKVDString** text) override;
    // One source only; compiles the formula for its unit and wires it.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;

protected:
    TidalVolEnum(const TidalVolEnum& other) = default;
    CompositeCalcEnum* Copy() const override { return new TidalVolEnum(*this); }

private:
    KVD::String mText;
};

}  // namespace Spirometry
