// Stand-ins for computed-channel tests: a vector-backed sample stream, a calculation
// enumerator that scales its one source by the gain its settings text gives, its class object,
// data of records held as vectors, and a calculation on the channel-calculation base.
#pragma once

#include <map>
#include <vector>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumFloatEx.h"
#include "TableDoubles.h"
#include "framework/ChannelCalcBase.h"
#include "support/StubRecordData.h"

namespace FrameworkTest {

// Samples of a vector from a position up to an end.
class VectorStream final : public SimpleUnknownImp1<IEnumFloatEx, 0> {
public:
    VectorStream(std::vector<float> samples, uint32_t end) : mSamples(std::move(samples)), mEnd(end) {}

    HRESULT Clone(IEnumExBase** out) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override { *position = mPosition; return KVD_S_OK; }
    HRESULT IsFilling(AutoBool* filling) override { *filling = kAutoFalse; return KVD_S_OK; }
    HRESULT GetTickToSample(TTickToSample* map) override { *map = TTickToSample{1, 0}; return KVD_S_OK; }
    // Short of the end: KVD_S_FALSE.
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

private:
    std::vector<float> mSamples;
    uint32_t mEnd;
    int32_t mPosition = 0;
};

// Output = the source's sample x gain, the gain being the settings text as a number.
class GainEnum final : public SimpleUnknownImp2<ICalcEnum, IEnumFloatEx, 0> {
public:
    HRESULT GetTypeId(TCAFId* id) override;
    HRESULT GetClassObject(ICalcEnumClass2** cls) override;
    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    HRESULT GetSettings(IAutoKVDString** text) override { mSettings.GetOut(text); return KVD_S_OK; }
    HRESULT CloneSlave(IUnknown*, ICalcEnum** out) override { *out = nullptr; return KVD_E_NOTIMPL; }
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT ReleaseSources() override { mSource.Clear(); return KVD_S_OK; }
    HRESULT IsUpdateNeeded(long, BlockUpdateType change, BlockUpdateType* needed) override
    {
        *needed = change == 0 ? 0 : kUpdateAll;
        return KVD_S_OK;
    }
    HRESULT ClearCachedData(BlockUpdateType, KVDPosition, KVDPosition, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT ReindexCachedData(uint32_t, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override
    {
        *attributes = kAttrSampleEnum;
        return KVD_S_OK;
    }
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override { *type = kRecordChannelSamples; return KVD_S_OK; }
    HRESULT GetTickToSample(TTickToSample* map) override
    {
        return mSource == nullptr ? KVD_E_BADSTATE : mSource->GetTickToSample(map);
    }
    HRESULT Clone(IEnumExBase** out) override { *out = nullptr; return KVD_E_NOTIMPL; }
    HRESULT SkipEx(int32_t count, int32_t* skipped) override
    {
        return mSource == nullptr ? KVD_E_BADSTATE : mSource->SkipEx(count, skipped);
    }
    HRESULT GetPosition(int32_t* position) override
    {
        return mSource == nullptr ? KVD_E_BADSTATE : mSource->GetPosition(position);
    }
    HRESULT IsFilling(AutoBool* filling) override
    {
        return mSource == nullptr ? KVD_E_BADSTATE : mSource->IsFilling(filling);
    }
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

    static int sLive;  // enumerators not yet destroyed
    GainEnum() { ++sLive; }
    ~GainEnum() override { --sLive; }

    int mRecord = -1;

private:
    KVD::String mSettings;
    float mGain = 1.0f;
    KVD::COMPtr<IEnumFloatEx> mSource;
};

// The tests' class objects, also answering their name and description with the object name.
template <class I>
class TestClassObject : public TestSupport::StaticClassObject<I> {
public:
    using TestSupport::StaticClassObject<I>::StaticClassObject;
    HRESULT GetName(IAutoKVDString** out) override { return this->GetObjectName(out); }
    HRESULT GetDescription(IAutoKVDString** out) override { return this->GetObjectName(out); }
    HRESULT GetAttributes(long* out) override { *out = 0; return KVD_S_OK; }
};

class GainEnumClass final : public TestClassObject<ICalcEnumClass2> {
public:
    static TCAFId TypeId();
    GainEnumClass() : TestClassObject(&TypeId, L"Gain", &CATID_CALCENUMS) {}
    HRESULT SettingsDialog(HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*, TChannelId, const IAutoKVDString*,
                           IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT Create(IOrrelData2* data, ICalcEnum** out) override;
    HRESULT CreateEx(IUnknown*, IOrrelData2*, IUnknown** inner) override
    {
        *inner = nullptr;
        return KVD_E_NOTIMPL;
    }

    IOrrelData2* mLastData = nullptr;
};
GainEnumClass& TheGainEnumClass();

// Records of channels held as vectors, one tick per sample; also the calculation data.
class RecordedData final
    : public TestSupport::StubRecordData<SimpleUnknownImp3<IOrrelData2, IOrrelSetCalcData, IRecordData, 0>> {
public:
    void AddRecord(std::map<int32_t, std::vector<float>> channels);

    HRESULT GetRecordData(IRecordData** records) override
    {
        return QueryInterface(IID_IRecordData, reinterpret_cast<void**>(records));
    }
    HRESULT GetChannelUnit(int, TChannelId, IUnitName**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCalculation(TChannelId, IOffLineData**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordWindowStart(KVDPosition, int32_t*) override { return KVD_E_NOTIMPL; }

    HRESULT GetCalculation(uint64_t channelKey, ICalculation** calculation) override;
    HRESULT SetCalculation(TChannelId channel, ICalculation* calculation) override
    {
        mCalculations[channel.channel] = calculation;
        return KVD_S_OK;
    }
    HRESULT ChannelChanged(TChannelId, BlockUpdateType, IOffLineData*) override { return KVD_S_OK; }
    HRESULT CreateUnitsConversion(const DataScaling*, IAutoKVDString*, IUnitsConversion**) override
    {
        return KVD_E_NOTIMPL;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(7, 11)
    HRESULT GetData(IOrrelData2** data) override
    {
        return QueryInterface(IID_IOrrelData2, reinterpret_cast<void**>(data));
    }

    HRESULT GetRecordCount(int* count) const override { *count = static_cast<int>(mRecords.size()); return KVD_S_OK; }
    HRESULT GetRecordTicks(int record, uint32_t* ticks) const override;
    HRESULT GetSecsPerTick(int, double* secs) const override { *secs = 0.01; return KVD_S_OK; }
    HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumFloatEx** out) const override;
    HRESULT GetRecordEnd(int record, KVDPosition* end) const override;
    // Left and right in existing records, left not after right.
    HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const override;
    HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const override;

private:
    std::vector<std::map<int32_t, std::vector<float>>> mRecords;
    std::map<int32_t, KVD::COMPtr<ICalculation>> mCalculations;
};

// A computed channel: its settings are a gain; configuring makes its units and installs the
// gain enumerator.
class GainCalc final : public ChannelCalcBase {
public:
    static int sLive;
    GainCalc(ICalculationClass* cls, IOrrelSetCalcData* data, TChannelId channel);
    ~GainCalc() override;

    HRESULT GetRecordCreationInfo(int, TChannelId, IUnitsConversion**, TTickToSample*, int*,
                                  CalcRecCreationFlags*) override { return KVD_E_NOTIMPL; }
    HRESULT Configure(const IPersistObject* settings, AutoBool force) override;
    HRESULT SetSettingsForAutoScale(uint32_t, const IPersistObject*) override
    {
        ++mAutoScaleSettings;
        return KVD_S_OK;
    }
    HRESULT GetSettings(IPersistObject** settings) const override { *settings = nullptr; return KVD_S_FALSE; }
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) const override
    {
        *attributes = 0;
        return KVD_S_OK;
    }
    HRESULT Clone(IOrrelSetCalcData*, IOffLineData** out) const override { *out = nullptr; return KVD_E_NOTIMPL; }

    // What the base has, for the tests.
    using ChannelCalcBase::mCalcEnumClass;
    using ChannelCalcBase::mData;
    using ChannelCalcBase::mRecordData;
    using ChannelCalcBase::mRangeHigh;
    using ChannelCalcBase::mRangeLow;
    int mAutoScaleSettings = 0;
};

class GainCalcClass final : public TestClassObject<ICalculationClass> {
public:
    static TCAFId TypeId();
    GainCalcClass() : TestClassObject(&TypeId, L"Gain calculation", nullptr) {}
    HRESULT SettingsDialog(HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*, TChannelId, const IPersistObject*,
                           IPersistObject**) override { return KVD_E_NOTIMPL; }
    // No calculation data: KVD_E_BADSTATE.
    HRESULT Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out) override;
};

// The host's data view, showing a fixed range.
class ShownRange final : public StackObject<IOrrelView> {
public:
    ShownRange(KVDPosition left, KVDPosition right) : mLeft(left), mRight(right) {}
    HRESULT SetDisplayedRange(KVDPosition left, KVDPosition right) override
    {
        mLeft = left;
        mRight = right;
        return KVD_S_OK;
    }
    HRESULT SetZoom(double ticksPerPixel) override { mZoom = ticksPerPixel; return KVD_S_OK; }
    HRESULT GetZoom(double* ticksPerPixel) const override { *ticksPerPixel = mZoom; return KVD_S_OK; }
    KVD_RESERVED_SLOTS_NOTIMPL(6, 7)
    HRESULT GetDisplayedRange(KVDPosition* left, KVDPosition* right) const override
    {
        *left = mLeft;
        *right = mRight;
        return KVD_S_OK;
    }

private:
    KVDPosition mLeft;
    KVDPosition mRight;
    double mZoom = 1.0;
};

}  // namespace FrameworkTest
