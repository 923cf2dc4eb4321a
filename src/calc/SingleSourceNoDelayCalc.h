// Base of the sample enumerators that compute output sample n from input sample n of one
// float source, with no delay and no look-ahead. A derived class supplies SetSettings,
// CloneSlave, Clone and Next, and may set the output unit.
#pragma once

#include "calc/ForwardingCalcEnum.h"

namespace CalcEnums {

class SingleSourceNoDelayCalc : public ForwardingCalcEnum<IEnumFloatEx> {
public:
    using ForwardingCalcEnum<IEnumFloatEx>::ForwardingCalcEnum;
};

}  // namespace CalcEnums
