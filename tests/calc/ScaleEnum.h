// A single-source enumerator for tests: output sample n is the gain times input sample n; the
// settings text is the gain.
#pragma once

#include "calc/CalcEnumClassBase2.h"
#include "calc/SingleSourceNoDelayCalc.h"

namespace CalcTest {

// B945CD54-4211-445B-B2EA-BD6069C2F3C9
inline constexpr _IID GUID_TestScaleEnumObj = {0xB945CD54, 0x4211, 0x445B, {0xB2, 0xEA, 0xBD, 0x60, 0x69, 0xC2, 0xF3, 0xC9}};

class ScaleEnum : public CalcEnums::SingleSourceNoDelayCalc {
public:
    using SingleSourceNoDelayCalc::SingleSourceNoDelayCalc;

    // The class object that creates these enumerators.
    static CalcEnums::CalcEnumClassBase2& ClassObject();

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT Clone(IEnumExBase** out) override;
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

    double Gain() const { return mGain; }

private:
    double mGain = 1.0;
};

}  // namespace CalcTest
