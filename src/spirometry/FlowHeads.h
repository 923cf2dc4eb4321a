// The built-in flow heads: model name, scale constant (raw signal to flow) and the head's
// non-linear coefficient. Built where it is needed and dropped after use.
#pragma once

#include "foundation/ArrayCtor.h"
#include "foundation/KVDString.h"

namespace Spirometry {

class FlowHeads {
public:
    // Index of the custom head: not a row, its scale is the user's constant.
    static constexpr long kCustomHead = 5;
    // The only head whose compensation can be chosen.
    static constexpr long kNonLinearHead = 2;
    static constexpr long kDefaultHead = 3;

    FlowHeads();

    unsigned GetCount() const { return mScales.GetCount(); }
    bool IsRow(long index) const { return index >= 0 && index < long(GetCount()); }
    const KVD::String& GetName(unsigned index) const { return mNames[index]; }
    double GetScale(unsigned index) const { return mScales[index]; }
    double GetCoefficient(unsigned index) const { return mCoefficients[index]; }

private:
    void AddHead(const KVD::String& name, double scale, double coefficient);

    CArrayCtor<KVD::String, true, true> mNames;
    CArrayCtor<double, true, true> mScales;
    CArrayCtor<double, true, true> mCoefficients;
};

}  // namespace Spirometry
