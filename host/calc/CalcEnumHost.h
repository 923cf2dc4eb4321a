// The host's calculation host (type id of GUID_OrrelObjects, 17), which a computed channel
// aggregates: it owns the channel's calculation enumerator, hands it its settings and sources,
// and pulls samples from it, for the channel and to find the channel's range.
#pragma once

#include <string>
#include <vector>

#include "IChannelCalc.h"
#include "IDocView.h"
#include "ICalcEnum.h"
#include "IEnumFloatEx.h"
#include "IKVDCalcEnumStatus.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/channels/ComputedEvents.h"
#include "host/framework/Aggregated.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

// It is also the host's detached face of the channel (IOffLineData), whose channel it answers.
class CalcEnumHost final : public Aggregated<ICalcEnumHost, ICalculation, IKVDCalcEnumStatus, IOffLineData> {
public:
    explicit CalcEnumHost(IUnknown* outer) : Aggregated(outer) {}

    HRESULT SetSources(long count, const CalcEnums::CCalcEnumSourceInfo* sources, uint32_t flags) override;
    HRESULT GetCalcEnum(ICalcEnum** out) override;
    HRESULT SetSettingsText(IAutoKVDString* text, IOrrelData2** data) override;
    HRESULT GetSettingsText(IAutoKVDString** text) override;
    HRESULT InstallCalcEnum(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data,
                            ICalcEnum* calcEnum) override;
    HRESULT GetChannel(TChannelId* channel) override;
    HRESULT SetDataScaling(const DataScaling* scaling) override;
    // KVD_E_BADSTATE without an enumerator, record data or a single sample in the range.
    HRESULT AutoScale(IAutoOrrelDoc* doc, KVDPosition start, KVDPosition end, float* top, float* bottom,
                      uint32_t flags) override;
    HRESULT GetSamples(int record, uint32_t start, uint32_t count, float* out, uint32_t* delivered) override;
    HRESULT GetDataScaling(DataScaling* scaling) override;
    HRESULT Reset() override;

    // Every event of the record, for a calculation that gives events (KVD_E_NOINTERFACE for one
    // that gives samples).
    HRESULT GetEvents(int record, ComputedEvents& out);

    // A computation of a record's samples a part at a time (a channel computed as it is read).
    // Whatever else asks this host for anything first has the open computation finished.
    class Computation {
    public:
        virtual void Finish() = 0;

    protected:
        ~Computation() = default;
    };
    // Connects the enumerator to the record's sources for computation, which is open until
    // EndSamples; on failure nothing is open.
    HRESULT BeginSamples(int record, Computation* computation);
    // The next samples of the open computation: KVD_S_FALSE once the enumerator stopped.
    HRESULT ContinueSamples(uint32_t count, float* out, uint32_t* delivered);
    // Lets the sources go: the computation is closed.
    void EndSamples(const Computation* computation);

    HRESULT GetCalculationClass(ICalculationClass** cls) override;
    HRESULT GetSettings(IPersistObject** settings) override;
    HRESULT Configure(const IPersistObject* settings, AutoBool force) override;

    // Why the last samples asked for could not be computed: the host's own reason (a source
    // without data, an enumerator that gives no samples), else the enumerator's.
    HRESULT GetErrorText(IAutoKVDString** text) override;

private:
    // Connects the enumerator to the sources' streams of the record and positions it at start;
    // end is the record's tick where the streams stop.
    HRESULT Connect(IRecordData* records, int record, uint32_t start, uint32_t end);
    // Pulls up to count samples, calling take with each block; the blocks land one after
    // another at into when it is given, else in a scratch block. stopped, when given, is set
    // when the enumerator stopped short of count.
    template <class Take>
    HRESULT Pull(uint32_t count, float* into, Take take, bool* stopped = nullptr);
    KVD::COMPtr<IRecordData> Records(IAutoOrrelDoc* doc) const;
    // Finishes the open computation before the enumerator serves anything else; false when it
    // is still open (it is computing now, and asks for this very enumerator).
    bool FinishOpenComputation();
    // Connects the enumerator to the whole of record (ticks its length) once nothing is open; on
    // failure the sources are let go.
    HRESULT ConnectRecord(int record, uint32_t& ticks);

    KVD::COMPtr<ICalcEnum> mCalcEnum;
    KVD::COMPtr<ICalculationClass> mClass;
    // The document's calculation data and data own their calculations: not counted here.
    IOrrelSetCalcData* mCalcData = nullptr;
    IOrrelData2* mData = nullptr;
    TChannelId mChannel{-1, 0};
    std::vector<CalcEnums::CCalcEnumSourceInfo> mSources;
    uint32_t mSourceFlags = 0;
    KVD::String mSettingsText;
    KVD::String mError;
    DataScaling mScaling{1.0, 0.0};
    Computation* mOpen = nullptr;
};

// Why a calculation failed with hr: its own reason when it gives one (IKVDCalcEnumStatus),
// else the result code's text.
std::string FailureText(ICalculation* calculation, HRESULT hr);

// The class of the calculation host: it makes calculation hosts aggregated in a calculation.
class CalcEnumHostClass final : public CreatorClassObject {
public:
    explicit CalcEnumHostClass(TCAFId typeId);

    // Aggregated, only as the inner unknown (iid IID_IUnknown).
    HRESULT CreateObject(IUnknown* outer, const _IID& iid, void** out) override;
};

}  // namespace Host
