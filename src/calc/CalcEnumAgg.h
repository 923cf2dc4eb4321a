// An enumerator made as the inner object of an outer one: reference counting and interface
// queries go to the outer object, which keeps the inner object's non-delegating IUnknown.
#pragma once

#include "IUnknown.h"

struct ICalcEnumClass2;
struct IOrrelData2;

namespace CalcEnums {

template <class E>
class CalcEnumAgg : public E {
public:
    CalcEnumAgg(IUnknown* outer, ICalcEnumClass2* classObject, IOrrelData2* data) : E(classObject, data)
    {
        this->AggregateIn(outer);
    }
};

}  // namespace CalcEnums
