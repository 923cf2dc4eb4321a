// The host's arithmetic calculation on a channel: the channel is computed by a formula, run by
// the host's composite enumerator over the channels the formula names. The calculation host it
// aggregates owns the enumerator and answers ICalcEnumHost and ICalculation.
#pragma once

#include <vector>

#include "CalcEnumSourceInfo.h"
#include "IChannelCalc.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "host/channels/ArithSettings.h"

namespace Host {

class CalcEnumHost;

// Counted; made with KVD::MakeCounted.
class ArithCalculation final : public KVD::CountedUnknown<IChannelCalc, IOffLineData> {
public:

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

    ~ArithCalculation() override;

protected:
    // Everything else, ICalculation among it, is answered by the aggregated calculation host.
    HRESULT QueryMore(const _IID& iid, void** out) override;

private:
    ArithCalculation(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    HRESULT FormulaSources(const KVD::String& formula, std::vector<CalcEnums::CCalcEnumSourceInfo>& sources) const;
    HRESULT InstallEnumerator(const std::vector<CalcEnums::CCalcEnumSourceInfo>& sources);

    ICalculationClass* mClass;   // the class outlives its calculations
    TChannelId mChannel;
    IOrrelSetCalcData* mCalcData;  // the document's data owns this calculation: not counted
    KVD::COMPtr<IUnknown> mInner;  // the aggregated calculation host
    ICalcEnumHost* mHost = nullptr;
    KVD::COMPtr<ArithSettings> mSettings;
};

}  // namespace Host
