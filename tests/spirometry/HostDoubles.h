// Small stand-ins for the host's data interfaces: record data over per-record channel samples,
// a units conversion, a selection and a document. They live on the stack of a test: reference
// counts are not kept.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "IEnumFloatEx.h"
#include "IOrrelDocument.h"
#include "IUnitsConversion.h"
#include "calc/FakeStreams.h"
#include "foundation/CAFClassObject.h"
#include "foundation/KVDString.h"
#include "foundation/units/UnitEntry.h"

namespace SpiroTest {

// Registers the plug-in's class objects with the host once, as the entry point does.
inline void RegisterClassObjects()
{
    static const bool registered = (CAFClassObject::RegisterAll(), true);
    (void)registered;
}

#define SPIRO_TEST_UNCOUNTED                          \
    uint32_t AddRef() override { return 1; }          \
    uint32_t Release() override { return 1; }

inline CalcTest::FloatStream* MakeFloatStream(std::shared_ptr<const std::vector<float>> samples, int32_t position = 0)
{
    return new CalcTest::FloatStream(std::move(samples), std::make_shared<CalcTest::ReadLog>(), position);
}

// Stored values times a scale; the range is that of the stored values +-32000.
class FakeUnitsConversion : public IUnitsConversion {
public:
    explicit FakeUnitsConversion(double scale) : mScale(scale) {}
    SPIRO_TEST_UNCOUNTED
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT GetScaling(uint32_t, double* scale, double* offset) override
    {
        *scale = mScale;
        *offset = 0.0;
        return KVD_S_OK;
    }
    HRESULT ConvertValue(uint32_t, double stored, double* value) override
    {
        *value = stored * mScale;
        return KVD_S_OK;
    }
    HRESULT GetRange(uint32_t, double* top, double* bottom) override
    {
        *top = 32000 * mScale;
        *bottom = -32000 * mScale;
        return KVD_S_OK;
    }
    HRESULT GetUnitName(IUnitName** unit) override
    {
        *unit = nullptr;
        if (this->unit.empty())
            return KVD_S_FALSE;
        *unit = new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, this->unit));
        (*unit)->AddRef();
        return KVD_S_OK;
    }
    HRESULT GetUnitProperty(uint32_t* property) override
    {
        *property = 0;
        return KVD_S_OK;
    }
    HRESULT IsUserDefined(AutoBool* user) override
    {
        *user = userDefined ? kAutoTrue : kAutoFalse;
        return KVD_S_OK;
    }

    bool userDefined = false;
    KVD::String unit;

private:
    double mScale;
};

// Records of channels; a channel has data in a record when samples were given for it there.
class FakeRecordData : public IRecordData {
public:
    SPIRO_TEST_UNCOUNTED
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }

    void SetSamples(int record, int32_t channel, std::vector<float> samples)
    {
        mRecords[record][channel] = std::make_shared<const std::vector<float>>(std::move(samples));
    }

    HRESULT GetRecordCount(int* count) const override
    {
        *count = mRecords.empty() ? 0 : mRecords.rbegin()->first + 1;
        return KVD_S_OK;
    }
    HRESULT GetRecordTicks(int record, uint32_t* ticks) const override
    {
        auto r = mRecords.find(record);
        *ticks = r == mRecords.end() || r->second.empty() ? 0 : uint32_t(r->second.begin()->second->size());
        return r == mRecords.end() ? KVD_E_BADSTATE : KVD_S_OK;
    }
    HRESULT GetSecsPerTick(int, double* secs) const override
    {
        *secs = secsPerTick;
        return KVD_S_OK;
    }
    // The stream holds the samples up to endTick, or all of them when deliverShort.
    HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                           IEnumFloatEx** out) const override
    {
        streamKinds.push_back(channel.blockDataType);
        auto samples = Find(start.record, channel.channel);
        if (samples == nullptr)
            return KVD_E_BADSTATE;
        const size_t end = std::min<size_t>(samples->size(), size_t(endTick) - deliverShort);
        auto range = std::make_shared<std::vector<float>>(samples->begin(), samples->begin() + end);
        *out = MakeFloatStream(range, int32_t(start.tick));
        return KVD_S_OK;
    }
    HRESULT GetChannelUnitName(int, TChannelId channel, IUnitName** name) const override
    {
        *name = nullptr;
        auto u = units.find(channel.channel);
        if (u == units.end())
            return KVD_S_FALSE;
        *name = new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, u->second));
        (*name)->AddRef();
        return KVD_S_OK;
    }
    HRESULT GetUnitsConversion(int, TChannelId channel, IUnitsConversion** units) const override
    {
        auto c = conversions.find(channel.channel);
        *units = c == conversions.end() ? nullptr : c->second.get();
        return *units != nullptr ? KVD_S_OK : KVD_S_FALSE;
    }
    HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const override
    {
        *has = Find(record, channel.channel) != nullptr ? kAutoTrue : kAutoFalse;
        return KVD_S_OK;
    }
    HRESULT GetRecordEnd(int, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelTitle(TChannelId channel, IAutoKVDString** title) const override
    {
        auto t = titles.find(channel.channel);
        if (t == titles.end())
            return KVD_E_BADSTATE;
        t->second.GetOut(title);
        return KVD_S_OK;
    }
    HRESULT IsValidRange(KVDPosition, KVDPosition, AutoBool*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetAbsoluteTick(KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetShortStream(TChannelId, KVDPosition, uint32_t, IEnumShortEx**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetPositionTimes(uint32_t, const KVDPosition*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelObject(int, TChannelId, IRecordChannel**) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSample(TChannelId, KVDPosition, float*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetRange(TChannelId, KVDPosition, KVDPosition, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetDataScaling(int, TChannelId, double*, double*) const override { return KVD_E_NOTIMPL; }
    HRESULT ResolvePosition(uint32_t, KVDPosition*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetSampleIndex(TChannelId, KVDPosition, int64_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetEventStream(TChannelId, uint32_t, KVDPosition, uint32_t, IEnumEventEx**) const override
    {
        return KVD_E_NOTIMPL;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(21, 56)
    KVD_RESERVED_SLOTS_NOTIMPL(58, 60)

    double secsPerTick = 0.001;
    uint32_t deliverShort = 0;  // samples short of what the range asks
    std::map<int32_t, KVD::String> titles;
    std::map<int32_t, KVD::String> units;
    std::map<int32_t, std::shared_ptr<FakeUnitsConversion>> conversions;
    mutable std::vector<uint32_t> streamKinds;

private:
    const std::vector<float>* Find(int record, int32_t channel) const
    {
        auto r = mRecords.find(record);
        if (r == mRecords.end())
            return nullptr;
        auto c = r->second.find(channel);
        return c == r->second.end() ? nullptr : c->second.get();
    }

    std::map<int, std::map<int32_t, std::shared_ptr<const std::vector<float>>>> mRecords;
};

class FakeOrrelData : public IOrrelData2 {
public:
    SPIRO_TEST_UNCOUNTED
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT GetRecordData(IRecordData** out) override
    {
        *out = &records;
        return KVD_S_OK;
    }
    HRESULT GetChannelUnit(int, TChannelId, IUnitName**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCalculation(TChannelId, IOffLineData**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordWindowStart(KVDPosition, int32_t*) override { return KVD_E_NOTIMPL; }

    FakeRecordData records;
};

class FakeSelection : public IRecordDataSelection {
public:
    SPIRO_TEST_UNCOUNTED
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT SetRange(KVDPosition l, KVDPosition r) override
    {
        left = l;
        right = r;
        valid = true;
        return KVD_S_OK;
    }
    HRESULT Clear() override
    {
        valid = false;
        return KVD_S_OK;
    }
    HRESULT GetRange(KVDPosition* l, KVDPosition* r) const override
    {
        *l = left;
        *r = right;
        return KVD_S_OK;
    }
    HRESULT HasSelection(AutoBool* has) const override
    {
        *has = valid ? kAutoTrue : kAutoFalse;
        return KVD_S_OK;
    }
    KVD_RESERVED_SLOTS_NOTIMPL(5, 6)
    KVD_RESERVED_SLOTS_NOTIMPL(8, 9)

    KVDPosition left{0, 0}, right{0, 0};
    bool valid = false;
};

class FakeDocument : public IAutoOrrelDoc {
public:
    SPIRO_TEST_UNCOUNTED
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT GetDocument(IDocument**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCount(int* count) override
    {
        *count = channelCount;
        return KVD_S_OK;
    }
    HRESULT GetChannelCountEx(int*, int, int) override { return KVD_E_NOTIMPL; }
    HRESULT GetComputedChannelCount(int, int*) override { return KVD_E_NOTIMPL; }
    HRESULT GetData(IOrrelData2** out) override
    {
        *out = data;
        return data != nullptr ? KVD_S_OK : KVD_E_BADSTATE;
    }
    HRESULT GetSettingsRegistrar(IUnknown**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordData(int, IRecordData** out) override
    {
        *out = &records;
        return KVD_S_OK;
    }
    HRESULT GetSelection(int, IRecordDataSelection** out) override
    {
        *out = &selection;
        return KVD_S_OK;
    }
    HRESULT GetChannelColour(int channel, uint32_t* rgb) override
    {
        auto c = colours.find(channel);
        if (c == colours.end())
            return KVD_E_BADSTATE;
        *rgb = c->second;
        return KVD_S_OK;
    }
    HRESULT GetTimeDisplayMode(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT PositionToText(KVDPosition, int32_t, IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSamplingState(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelDisplaySettings(int, IChannelDisplaySettings2**) override { return KVD_E_NOTIMPL; }
    KVD_RESERVED_SLOTS_NOTIMPL(4, 4)
    KVD_RESERVED_SLOTS_NOTIMPL(14, 16)
    KVD_RESERVED_SLOTS_NOTIMPL(18, 49)
    KVD_RESERVED_SLOTS_NOTIMPL(51, 60)

    FakeRecordData records;
    FakeSelection selection;
    IOrrelData2* data = nullptr;
    int channelCount = 0;
    std::map<int, uint32_t> colours;
};

}  // namespace SpiroTest
