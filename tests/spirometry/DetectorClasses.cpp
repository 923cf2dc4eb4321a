#include "DetectorClasses.h"

#include "host/calc/PublishedFunctions.h"

namespace SpiroTest {

DetectorClass<Spirometry::SpBreathEventEnumerator> gBreathEventClass(&Spirometry::SpBreathEventEnumerator::sTraits);
DetectorClass<Spirometry::SpFlowEnumerator> gFlowEventClass(&Spirometry::SpFlowEnumerator::sTraits);
DetectorClass<Spirometry::SpVolEnumerator> gVolEventClass(&Spirometry::SpVolEnumerator::sTraits);
DetectorClass<Spirometry::DetEx_Enumerator> gTidalVolumeClass(&Spirometry::DetEx_Enumerator::sTraits);
DetectorClass<Spirometry::Expiratory::DetEx_ExpiratoryEnumerator> gExpiratoryTidalVolumeClass(
    &Spirometry::Expiratory::DetEx_ExpiratoryEnumerator::sTraits);

namespace {

bool Publish(ICalcEnumClass2* cls) { return Host::AddFormulaFunctionClass(cls); }

const bool sPublished = Publish(&gBreathEventClass) && Publish(&gFlowEventClass) && Publish(&gVolEventClass) &&
                        Publish(&gTidalVolumeClass) && Publish(&gExpiratoryTidalVolumeClass);

}  // namespace

}  // namespace SpiroTest
