// The "Spirometry Flow" channel calculation: owns the channel's flow settings, tells the host
// which source and which enumerator ("SpFlowEnum", fed with the settings text) compute the
// channel, and works out the channel's units, range and 16-bit data scaling.
#pragma once

#include "calc/CalcClassBase.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpiroCalculation.h"

namespace Spirometry {

class SpFlow : public SpiroCalculation<SpFlowSettings> {
public:
    using Settings = SpFlowSettings;
    static CalcClassBase::Traits sTraits;

    SpFlow(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);

    // The units of a record: the data scaling after the raw channel's unit prefix, the
    // display range from the head's full range, and the units conversion handed to the host.
    HRESULT GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed) override;

    // Runs the flow dialog on a copy of the settings and auto-scales the accepted copy.
    static HRESULT sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown* outer, IAutoOrrelDoc* doc,
                                   IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result);

    float DisplayTop() const { return mRangeHigh; }
    float DisplayBottom() const { return mRangeLow; }

private:
    KVD::String mRawUnit;
};

}  // namespace Spirometry
