// The "Spirometry Flow" channel calculation: owns the channel's flow settings, tells the host
// which source and which enumerator ("SpFlowEnum", fed with the settings text) compute the
// channel, and works out the channel's units, range and 16-bit data scaling.
#pragma once

#include "calc/CalcClassBase.h"
#include "framework/ChannelCalcBase.h"
#include "spirometry/SpFlowSettings.h"

namespace Spirometry {

class SpFlow : public ChannelCalcBase {
public:
    using Settings = SpFlowSettings;
    static CalcClassBase::Traits sTraits;

    SpFlow(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);

    HRESULT GetRecordCreationInfo(int record, TChannelId channel, IUnitsConversion** units, TTickToSample* map,
                                  int* length, CalcRecCreationFlags* flags) override;
    // KVD_S_FALSE when unchanged and not forced; else the host's answer to the change notice.
    HRESULT Configure(const IPersistObject* settings, AutoBool force) override;
    HRESULT SetSettingsForAutoScale(uint32_t flags, const IPersistObject* settings) override;
    HRESULT GetSettings(IPersistObject** settings) const override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) const override;
    HRESULT Clone(IOrrelSetCalcData* data, IOffLineData** out) const override;

    // The units of a record: the data scaling after the raw channel's unit prefix, the
    // display range from the head's full range, and the units conversion handed to the host.
    HRESULT GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed);

    // Runs the flow dialog on a copy of the settings and auto-scales the accepted copy.
    static HRESULT sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown* outer, IAutoOrrelDoc* doc,
                                   IOrrelView* view, TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result);

    const SpFlowSettings& CurrentSettings() const { return *mSettings; }
    const DataScaling& SourceScaling() const { return mSourceScaling; }
    float DisplayTop() const { return mRangeHigh; }
    float DisplayBottom() const { return mRangeLow; }

private:
    KVD::COMPtr<SpFlowSettings> mSettings;
    KVD::String mRawUnit;
    DataScaling mSourceScaling{1.0, 0.0};
};

}  // namespace Spirometry
