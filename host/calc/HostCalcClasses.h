// The host's calculation-enumerator and variable classes, registered with the object factory
// when the host is installed: the arithmetic family (GUID_ArithEnumObj), the two variable
// classes (GUID_CalcVariableObj), the composite enumerator (GUID_CompositeCalcEnumObj) and
// the enumerators of the host's published formula functions. Classes that compiled formulas
// can name but this host does not run (filters, integrators, waveforms, smoothing, shift,
// differential, resampling, energy, mains filter, the vector and complex arithmetic) are not
// registered: asking the factory for them answers 0xF800400A.
#pragma once

#include "IFramework.h"

struct ICalcEnumClass2;

namespace HostCalc {

void RegisterCalcClasses(IObjectFactory& factory);

// The class of the constant enumerator (GUID_ArithEnumObj sub-id 2).
ICalcEnumClass2* ConstantClass();

// The classes of the enumerators of the published functions "decimatesec" and "EventInterp";
// the function's own class object hands them out.
ICalcEnumClass2* DecimateSecClass();
ICalcEnumClass2* EventInterpClass();

}  // namespace HostCalc
