// The plug-in's calculation, settings and enumerator class objects, built by this file's
// static initialiser in the order of the registration table: each links itself at the head of
// the class-object list, so the host registers them in the reverse order. Their traits are
// defined here too, so that each is made before the class object that reads it.
#include "calc/CalcClass.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EEH3Enumerator.h"
#include "spirometry/ExpiratoryTidalVolumeDetector.h"
#include "spirometry/SpBreathEventEnumerator.h"
#include "spirometry/SpFlow.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/SpMinVentCalculation.h"
#include "spirometry/SpFlowEnum.h"
#include "spirometry/SpVol.h"
#include "spirometry/SpVolEnum.h"
#include "spirometry/SpTidalVolCalculation.h"
#include "spirometry/SpVolEnumerator.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/TidalVolEnum.h"
#include "spirometry/TidalVolumeDetector.h"

namespace Spirometry {

namespace {

using CalcEnums::CalcEnumClassBase2;
using CalcEnums::CalcEnumNumericParamsClass;

// An event detector's class object; its traits are constant data of the detector.
template <class T>
using DetectorClass = CalcEnumNumericParamsClass<EEH3::EEH3Enumerator<T, 8>>;

}  // namespace

CalcClassBase::Traits SpFlow::sTraits{L"Spirometry Flow", L"Spirometry Flow", 0, &SpiroCalcGUID, kSpFlowCalcSubId,
                                      kSpFlowSettingsSubId};
CalcClassBase::Traits SpVol::sTraits{L"Spirometry Volume", L"Spirometry Volume", 0, &SpiroCalcGUID,
                                     kSpVolCalcSubId, kSpVolSettingsSubId};
CalcClassBase::Traits SpMinVentCalculation::sTraits{L"Spirometry Minute Ventilation", L"Spirometry Minute Ventilation",
                                                    0, &SpiroCalcGUID, kSpMinVentCalcSubId, kSpMinVentSettingsSubId};
CalcClassBase::Traits SpTidalVolCalculation::sTraits{L"Spirometry Tidal Volume", L"Spirometry Tidal Volume", 0,
                                                     &SpiroCalcGUID, kSpTidalVolCalcSubId, kSpTidalVolSettingsSubId};

// Rows 1 to 4: the flow and volume calculations, each followed by its settings class.
CalcClass<SpFlow> gSpFlowClass(SpFlow::sTraits);
CalcClass<SpVol> gSpVolClass(SpVol::sTraits);
// Rows 5 to 8: the minute-ventilation and tidal-volume calculations and their settings classes.
CalcClass<SpMinVentCalculation> gSpMinVentClass(SpMinVentCalculation::sTraits);
CalcClass<SpTidalVolCalculation> gSpTidalVolClass(SpTidalVolCalculation::sTraits);

// Rows 9 and 10: the flow and volume enumerators, also the formula functions SpFlow and SpVol.
CalcEnumClassBase2::Traits gSpFlowEnumTraits{L"SpFlowEnum", L"1 channel SpFlowEnum", &GUID_SpEnumObj,
                                             kSpFlowEnumSubId};
CalcEnumNumericParamsClass<SpFlowEnum> gSpFlowEnumClass(&gSpFlowEnumTraits);
CalcEnumClassBase2::Traits gSpVolEnumTraits{L"SpVolEnum", L"1 channel SpVolEnum", &GUID_SpEnumObj, kSpVolEnumSubId};
CalcEnumNumericParamsClass<SpVolEnum> gSpVolEnumClass(&gSpVolEnumTraits);
// Row 11: the tidal-volume enumerator, a plain enumerator class.
CalcEnums::CalcEnumClass2<TidalVolEnum> gTidalVolEnumClass(&TidalVolEnum::sTraits);

// Rows 12 to 16: the event detectors, also the formula functions SpBreathEvent, SPEEFlow,
// SPEEVol, SpTidVol and SpTidVolExp.
DetectorClass<SpBreathEventEnumerator> gSpBreathEventClass(&SpBreathEventEnumerator::sTraits);
DetectorClass<SpFlowEnumerator> gSpFlowEventClass(&SpFlowEnumerator::sTraits);
DetectorClass<SpVolEnumerator> gSpVolEventClass(&SpVolEnumerator::sTraits);
DetectorClass<DetEx_Enumerator> gSpTidalVolumeClass(&DetEx_Enumerator::sTraits);
DetectorClass<Expiratory::DetEx_ExpiratoryEnumerator> gSpTidalVolumeExpClass(
    &Expiratory::DetEx_ExpiratoryEnumerator::sTraits);

}  // namespace Spirometry
