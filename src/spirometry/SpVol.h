// The "Spirometry Volume" channel calculation: the channel becomes the volume the volume
// enumerator integrates from a flow channel. It owns the settings record, turns it into the
// enumerator's settings text, tells the host the channel's units and 16-bit data scaling, runs
// the settings dialog, and lets the host switch the volume correction and calibrate it.
#pragma once

#include "ISpiroCalculations.h"
#include "calc/CalcClassBase.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroCalculation.h"

namespace Spirometry {

class SpVol : public SpiroCalculation<SpVolSettings>, public ISpiroCalculations {
public:
    using Settings = SpVolSettings;
    static CalcClassBase::Traits sTraits;

    SpVol(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);

    // Both faces are one object, counted and answered by the calculation base.
    uint32_t AddRef() override { return SpiroCalculation::AddRef(); }
    uint32_t Release() override { return SpiroCalculation::Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return SpiroCalculation::QueryInterface(iid, out); }

    HRESULT SetUseVolCorr(AutoBool use) override;
    HRESULT GetUseVolCorr(AutoBool* use) override;
    HRESULT ClearVolumeCorrection(uint32_t flags) override;
    // Calibrates over the range of the settings' flow channel; a factor that cannot be had is
    // 1.0, and the user is told why.
    HRESULT ApplyVolumeCorrection(uint32_t flags, IAutoOrrelDoc* document, KVDPosition start,
                                  KVDPosition end) override;
    HRESULT GetSpFlowCalcChan(int32_t* channel) override;
    HRESULT GetSpVolCalcChan(int32_t* channel) override;

    // The units of a record, made anew only when the flow channel's unit changed.
    HRESULT GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed) override;

    static HRESULT sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown* outer, IAutoOrrelDoc* doc,
                                   IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result);

protected:
    // ISpiroCalculations here, before the calculation host.
    HRESULT QueryMore(const _IID& iid, void** out) override;

private:
    KVD::String mSourceUnit;
};

}  // namespace Spirometry
