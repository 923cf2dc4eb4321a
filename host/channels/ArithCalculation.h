// The host's arithmetic calculation on a channel: the channel is computed by a formula, run by
// the host's composite enumerator over the channels the formula names. The calculation host it
// aggregates owns the enumerator and answers ICalcEnumHost and ICalculation.
#pragma once

#include <vector>

#include "CalcEnumSourceInfo.h"
#include "IChannelCalc.h"
#include "foundation/COMPtr.h"
#include "foundation/RefCount.h"
#include "host/channels/ArithSettings.h"

namespace Host {

class CalcEnumHost;

class ArithCalculation final : public IChannelCalc, public IOffLineData {
public:
    // A new calculation on the channel of the data, with one reference.
    static ArithCalculation* Create(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data);

    uint32_t AddRef() override { return mRefs.Increment(); }
    uint32_t Release() override { return mRefs.Release(this); }
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT GetRecordCreationInfo(int record, TChannelId channel, IUnitsConversion** units, TTickToSample* map,
                                  int* n, CalcRecCreationFlags* flags) override;
    // Compiles the formula for its sources and installs a composite enumerator running it;
    // KVD_S_FALSE for the same settings unless forced, the compiler's code for a formula that
    // does not compile.
    HRESULT Configure(const IPersistObject* settings, AutoBool force) override;
    HRESULT SetSettingsForAutoScale(uint32_t flags, const IPersistObject* settings) override;
    HRESULT GetSettings(IPersistObject** settings) const override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) const override;
    HRESULT Clone(IOrrelSetCalcData* data, IOffLineData** out) const override;
    HRESULT GetInfoString(uint32_t which, IAutoKVDString** out) const override;
    HRESULT Deconfigure(uint32_t flags) override;

    // IOffLineData
    HRESULT GetChannel(TChannelId* channel) override;

    ~ArithCalculation();

private:
    ArithCalculation(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data);

    HRESULT FormulaSources(const KVD::String& formula, std::vector<CalcEnums::CCalcEnumSourceInfo>& sources) const;
    HRESULT InstallEnumerator(const std::vector<CalcEnums::CCalcEnumSourceInfo>& sources);

    KVD::RefCount mRefs;
    ICalculationClass* mClass;   // the class outlives its calculations
    TChannelId mChannel;
    IOrrelSetCalcData* mCalcData;  // the document's data owns this calculation: not counted
    KVD::COMPtr<IUnknown> mInner;  // the aggregated calculation host
    ICalcEnumHost* mHost = nullptr;
    KVD::COMPtr<ArithSettings> mSettings;
};

}  // namespace Host
