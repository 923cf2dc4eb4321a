// The class objects of the breath detectors as the registration table builds them, published
// to the test host's formula compiler before it builds its tables.
#pragma once

#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3Enumerator.h"
#include "spirometry/ExpiratoryTidalVolumeDetector.h"
#include "spirometry/SpBreathEventEnumerator.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/SpVolEnumerator.h"
#include "spirometry/TidalVolumeDetector.h"

namespace SpiroTest {

template <class T>
using DetectorClass = CalcEnums::CalcEnumNumericParamsClass<EEH3::EEH3Enumerator<T, 8>>;

extern DetectorClass<Spirometry::SpBreathEventEnumerator> gBreathEventClass;
extern DetectorClass<Spirometry::SpFlowEnumerator> gFlowEventClass;
extern DetectorClass<Spirometry::SpVolEnumerator> gVolEventClass;
extern DetectorClass<Spirometry::DetEx_Enumerator> gTidalVolumeClass;
extern DetectorClass<Spirometry::Expiratory::DetEx_ExpiratoryEnumerator> gExpiratoryTidalVolumeClass;

}  // namespace SpiroTest
