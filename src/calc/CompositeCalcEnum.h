// The formula-driven calculation enumerator: its settings text is a channel-calculation
// formula, compiled into symbols in reverse Polish order; every symbol but a channel reference
// gets a sub enumerator of its own, and SetSources wires the inputs and the sub enumerators by
// evaluating the symbols with a stack of streams. The last sub enumerator is aggregated in the
// composite, so a caller that asks the composite for its stream gets that enumerator's. A
// formula that cannot be compiled or wired gives a constant NaN stream and its error code.
#pragma once

#include <vector>

#include "IKVDChannelInfo.h"
#include "IKVDCalcEnumStatus.h"
#include "IKVDCompositeCalcEnum.h"
#include "calc/CalcEnumBase.h"
#include "calc/CalcVariablesImpl.h"
#include "calc/Symbol.h"
#include "foundation/COMPtr.h"

namespace CalcUtil {

// The kind of computed channel a formula of one channel reference of that data kind gives.
RecordChannelTypes ArithSrcDataToCalculatedRecordChannelType(KVDEnumDataType dataType);

}  // namespace CalcUtil

namespace CalcEnums {

// One entry of the stream stack that SetSources evaluates the formula with.
struct EnumParam {
    double sampling = 0.0;
    IUnknown* stream = nullptr;  // not owned
    KVD::COMPtr<IUnitName> unit;
};

class CompositeCalcEnum : public CalcEnumBase64,
                          public CalcVariable::CalcVariablesImpl,
                          public IKVDCompositeCalcEnum,
                          public IKVDCalcEnumStatus {
public:
    CompositeCalcEnum(ICalcEnumClass2* classObject, IOrrelData2* data);
    ~CompositeCalcEnum() override;
    CompositeCalcEnum& operator=(const CompositeCalcEnum&) = delete;

    uint32_t AddRef() override { return CalcEnumBase64::AddRef(); }
    uint32_t Release() override { return CalcEnumBase64::Release(); }
    // IUnknown and ICalcEnum are the composite's, IKVDCalcVariables its variable set's; any
    // other interface is the output's (the fallback, the last sub enumerator or the plain
    // source), and IKVDCompositeCalcEnum the composite's only while there is none. The host
    // asks the composite itself why it delivers nothing (IKVDCalcEnumStatus).
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    // Compiles the formula; the message is dropped.
    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    // Compiles the formula, handing the compiler's or the creation's message to the caller.
    HRESULT SetSettingsSilent(IAutoKVDString* text, BlockUpdateType* update, KVD::String& errorText);
    // The formula as it was given.
    HRESULT GetSettings(IAutoKVDString** text) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT SetInitialPosition64(int64_t position) override;
    HRESULT ReleaseSources() override;
    HRESULT IsUpdateNeeded(long record, BlockUpdateType change, BlockUpdateType* needed) override;
    HRESULT ClearCachedData(BlockUpdateType change, KVDPosition from, KVDPosition to, int32_t firstRecord,
                            int32_t endRecord) override;
    HRESULT ReindexCachedData(uint32_t flags, int32_t from, int32_t to) override;
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override;
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

    // The composite's own stream computes nothing: a caller reads the output's.
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT IsFilling(AutoBool* filling) override;
    HRESULT Clone(IEnumExBase** out) override;
    using CalcVariablesImpl::Clone;

    HRESULT SetResultChan(uint32_t flags, TChannelId channel) override;

    // The message of the last failed compilation or creation, else that of the last sources
    // that could not be wired.
    HRESULT GetErrorText(IAutoKVDString** text) override;

    // Makes one sub enumerator per symbol other than a channel reference, the last one
    // aggregated in the composite, and gives each its symbol's settings; stops with its message
    // at the first that cannot be made or refuses its settings.
    HRESULT CreateSubCalcEnums(KVD::String& errorText);

    const CalcParser::RPNArray& RPN() const { return mRPN; }
    size_t SubCalcCount() const { return mSubs.size(); }

protected:
    // A copy needs SetSources before use (see CloneSlave).
    CompositeCalcEnum(const CompositeCalcEnum& other);
    // A new copy of the derived class; a class deriving from the composite overrides it.
    virtual CompositeCalcEnum* Copy() const;
    // The compiled formula, for derived enumerators that adjust it before wiring.
    CalcParser::RPNArray& EditRPN() { return mRPN; }

private:
    IUnknown* Outer() { return static_cast<ICalcEnum64*>(this); }
    // The fallback, the last sub enumerator or the plain source output, whichever is present.
    IUnknown* Delegate() const;
    void ReleaseSubCalcs();
    // Appends the ICalcEnum of an enumerator aggregated in the composite without keeping the
    // reference the query added (it went to the composite itself).
    bool AppendAggregated(IUnknown* inner);
    HRESULT ShareSources(int32_t record, long count, IUnitName** units, double sampling, CalcEnumFlags flags);
    HRESULT Evaluate(int32_t record, long count, IUnitName** units, double sampling, CalcEnumFlags flags,
                     bool& malformed);
    HRESULT Unwired(bool& malformed);
    HRESULT ConnectSub(ICalcEnum* sub, int32_t record, std::vector<EnumParam>& params, double sampling,
                       CalcEnumFlags flags);
    HRESULT Tail(HRESULT code, bool malformed);
    void MakeFallback();
    KVD::COMPtr<IUnitName> UnitOf(IUnitName** units, long index) const;

    IKVDChannelInfo* mChannelInfo = nullptr;     // the data object's, no reference
    IKVDCalcVariables* mHostVariables = nullptr;  // the data object's, no reference
    KVD::COMPtr<IUnknown> mAggregated;           // the last sub enumerator's inner IUnknown
    KVD::COMPtr<IUnknown> mFallback;             // the NaN enumerator's inner IUnknown
    KVD::COMPtr<IUnknown> mFallbackRef;          // held while the fallback is the output
    ICalcEnum* mOutput = nullptr;                // not owned
    KVD::COMPtr<IUnknown> mPlainOutput;
    TChannelId mResultChannel;
    std::vector<KVD::COMPtr<IUnknown>> mSources;
    std::vector<ICalcEnum*> mSubs;  // one reference each, except the aggregated last one
    bool mLastAggregated = false;
    CalcParser::RPNArray mRPN;
    KVD::String mFormula;
    KVD::String mSettingsError;
    KVD::String mSourcesError;
    RecordChannelTypes mRecordChannelType = kRecordChannelSamples;
    uint16_t mAsking = 0;
    uint16_t mParsing = 0;
};

}  // namespace CalcEnums
