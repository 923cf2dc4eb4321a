// The "Spirometry Tidal Volume" channel calculation: the channel shows, breath by breath, the
// tidal volume measured from a flow channel by the formula of its settings, run in the
// tidal-volume enumerator.
#pragma once

#include "calc/CalcClassBase.h"
#include "spirometry/FormulaCalculation.h"
#include "spirometry/SpTidalVolSettings.h"

namespace Spirometry {

class SpTidalVolCalculation : public FormulaCalculation<SpTidalVolSettings> {
public:
    using Settings = SpTidalVolSettings;
    static CalcClassBase::Traits sTraits;

    SpTidalVolCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);

    // Runs the tidal-volume dialog on a copy of the settings and auto-scales the accepted copy.
    // An expiratory-only flow cannot be measured in this host: the user is told so and nothing
    // changes.
    static HRESULT sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown* outer, IAutoOrrelDoc* doc,
                                   IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result);

    // A volume: a flow unit per second or per minute without its time.
    static KVD::String VolumeUnit(const KVD::String& flowUnit);
};

}  // namespace Spirometry
