// The "Spirometry Minute Ventilation" channel calculation: the channel shows the minute
// ventilation of a flow channel, a running figure over the interval of its settings, computed
// by the host's composite enumerator.
#pragma once

#include "calc/CalcClassBase.h"
#include "spirometry/FormulaCalculation.h"
#include "spirometry/SpMinVentSettings.h"

namespace Spirometry {

class SpMinVentCalculation : public FormulaCalculation<SpMinVentSettings> {
public:
    using Settings = SpMinVentSettings;
    static CalcClassBase::Traits sTraits;

    SpMinVentCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);

    // Runs the minute-ventilation dialog on a copy of the settings and auto-scales the accepted
    // copy.
    static HRESULT sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown* outer, IAutoOrrelDoc* doc,
                                   IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result);

    // A flow per second becomes the same per minute; any other unit stays.
    static KVD::String PerMinuteUnit(const KVD::String& flowUnit);
};

}  // namespace Spirometry
