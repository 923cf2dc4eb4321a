// The common base of the plug-in's computed channels: the shared part of IChannelCalc, the
// host's calculation host that it aggregates (which owns the channel's calculation enumerator),
// the installing of that enumerator, the 16-bit data scaling of a value range, and the
// auto-scaling that settings dialogs use to find a channel's range.
#pragma once

#include "IChannelCalc.h"
#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

class ChannelCalcBase : public SimpleUnknownImp1<IChannelCalc, 1> {
public:
    // Starts with one reference, the maker's.
    ChannelCalcBase(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel);
    ~ChannelCalcBase() override;

    HRESULT GetInfoString(uint32_t which, IAutoKVDString** out) const override;
    HRESULT Deconfigure(uint32_t flags) override;

    // Creates the enumerator of the class with this type id and installs it with the
    // calculation host; KVD_E_BADSTATE without the class or the host.
    HRESULT SetCalcEnums(CAFId calcEnumClassId);
    // The 16-bit scaling of top..bottom (-top..top when symmetric): 64000 steps, the bottom
    // at -32000. An empty range is stored with scale 1.
    void MakeUnits(float top, float bottom, int unitIndex, DataScaling* scaling, bool symmetric);

    // The value range of the channel computed with the settings over start..end of the
    // document's data, found with a temporary calculation; the document's own channel is not
    // touched. flag: the range takes in 0.
    static HRESULT sDoAutoScale(long count, const CalcEnums::CCalcEnumSourceInfo* sources, ICalculationClass* calcClass,
                                CAFId calcEnumClassId, const IPersistObject* settings, const KVD::String& text,
                                IAutoOrrelDoc* doc, TChannelId channel, KVDPosition start, KVDPosition end, float* top,
                                float* bottom, bool flag);
    // The same over the range the view shows (record 0 without a view).
    static HRESULT sDoAutoScale(long count, const CalcEnums::CCalcEnumSourceInfo* sources, ICalculationClass* calcClass,
                                CAFId calcEnumClassId, const IPersistObject* settings, const KVD::String& text,
                                IAutoOrrelDoc* doc, IOrrelView* view, TChannelId channel, float* top, float* bottom,
                                bool unused, bool flag);

    ICalcEnumHost* GetCalcEnumHost() const { return mCalcEnumHost; }
    double GetStep() const { return mStep; }
    double GetOffset() const { return mOffset; }
    int GetUnitIndex() const { return mUnitIndex; }
    CAFId GetCalcEnumClass() const { return mCalcEnumClass; }

protected:
    // Every interface but IUnknown and IChannelCalc comes from the calculation host.
    HRESULT QueryMore(const _IID& iid, void** out) override;

    KVD::COMPtr<IUnknown> mInner;              // the aggregated calculation host
    ICalcEnumHost* mCalcEnumHost = nullptr;    // the inner object's, lives as long as it
    IOrrelData2* mData = nullptr;              // the document data, not counted
    KVD::COMPtr<IRecordData, KVD::COMWeak> mRecordData;
    IOrrelSetCalcData* mCalcData;
    ICalculationClass* mCalcClass;
    TChannelId mChannel;
    double mStep = 1.0;
    double mOffset = 0.0;
    float mRangeLow;
    float mRangeHigh;
    int mUnitIndex = 2;
    int mUnitsWord = 1;
    AutoBool mUnitsFlag = kAutoFalse;
    KVD::COMPtr<IUnitsConversion> mUnits;
    CAFId mCalcEnumClass = 0;
};
