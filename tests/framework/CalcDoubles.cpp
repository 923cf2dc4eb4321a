#include "CalcDoubles.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/DynamicId.h"

namespace FrameworkTest {
namespace {

// 0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9: the test calculation and enumerator classes
inline constexpr _IID kCalcTestGuid = {0x0B1C2D3E, 0x4F50, 0x4617, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

}  // namespace

HRESULT VectorStream::Clone(IEnumExBase** out)
{
    auto* copy = new VectorStream(mSamples, mEnd);
    copy->mPosition = mPosition;
    copy->AddRef();
    *out = copy;
    return KVD_S_OK;
}

HRESULT VectorStream::SkipEx(int32_t count, int32_t* skipped)
{
    const int32_t target = std::clamp<int32_t>(mPosition + count, 0, static_cast<int32_t>(mEnd));
    if (skipped != nullptr)
        *skipped = target - mPosition;
    const bool whole = target - mPosition == count;
    mPosition = target;
    return whole ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT VectorStream::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    const uint32_t left = mEnd - static_cast<uint32_t>(mPosition);
    const uint32_t n = std::min(count, left);
    std::copy(mSamples.begin() + mPosition, mSamples.begin() + mPosition + n, buffer);
    mPosition += static_cast<int32_t>(n);
    *delivered = n;
    return n == count ? KVD_S_OK : KVD_S_FALSE;
}

int GainEnum::sLive = 0;

HRESULT GainEnum::GetTypeId(TCAFId* id)
{
    *id = GainEnumClass::TypeId();
    return KVD_S_OK;
}

HRESULT GainEnum::GetClassObject(ICalcEnumClass2** cls)
{
    *cls = &TheGainEnumClass();
    return KVD_S_OK;
}

HRESULT GainEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    mSettings = KVD::String(text);
    mGain = std::wcstof(mSettings.c_str(), nullptr);
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

HRESULT GainEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName**, double, CalcEnumFlags)
{
    mRecord = record;
    if (count != 1 || sources == nullptr)
        return KVD_E_BADSTATE;
    mSource = KVD::com_cast(sources[0]);
    return mSource == nullptr ? KVD_E_BADSTATE : KVD_S_OK;
}

HRESULT GainEnum::SetInitialPosition(int32_t position)
{
    if (mSource == nullptr)
        return KVD_E_BADSTATE;
    int32_t current = 0, skipped = 0;
    mSource->GetPosition(&current);
    return position == current ? KVD_S_OK : mSource->SkipEx(position - current, &skipped);
}

HRESULT GainEnum::GetOutputInfo(double*, IUnitName** unit)
{
    if (unit != nullptr)
        *unit = nullptr;
    return KVD_S_OK;
}

HRESULT GainEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    if (mSource == nullptr)
        return KVD_E_BADSTATE;
    const HRESULT hr = mSource->Next(count, buffer, delivered);
    for (uint32_t i = 0; i < *delivered; ++i)
        buffer[i] *= mGain;
    return hr;
}

TCAFId GainEnumClass::TypeId()
{
    return TypeIdClass<&kCalcTestGuid, 1>::GetId();
}

GainEnumClass& TheGainEnumClass()
{
    static GainEnumClass cls;
    return cls;
}

HRESULT GainEnumClass::Create(IOrrelData2* data, ICalcEnum** out)
{
    mLastData = data;
    auto* created = new GainEnum;
    created->AddRef();
    *out = created;
    return KVD_S_OK;
}

void RecordedData::AddRecord(std::map<int32_t, std::vector<float>> channels)
{
    mRecords.push_back(std::move(channels));
}

HRESULT RecordedData::GetCalculation(uint64_t channelKey, ICalculation** calculation)
{
    auto it = mCalculations.find(static_cast<int32_t>(channelKey));
    *calculation = nullptr;
    if (it == mCalculations.end())
        return KVD_S_FALSE;
    it->second.GetOut(calculation);
    return KVD_S_OK;
}

HRESULT RecordedData::GetRecordTicks(int record, uint32_t* ticks) const
{
    *ticks = 0;
    if (record < 0 || record >= static_cast<int>(mRecords.size()) || mRecords[record].empty())
        return KVD_E_BADSTATE;
    *ticks = static_cast<uint32_t>(mRecords[record].begin()->second.size());
    return KVD_S_OK;
}

HRESULT RecordedData::GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick, IEnumFloatEx** out) const
{
    *out = nullptr;
    if (start.record < 0 || start.record >= static_cast<int>(mRecords.size()))
        return KVD_E_BADSTATE;
    auto it = mRecords[start.record].find(channel.channel);
    if (it == mRecords[start.record].end())
        return KVD_E_BADSTATE;
    const uint32_t end = std::min<uint32_t>(endTick, static_cast<uint32_t>(it->second.size()));
    auto* stream = new VectorStream(it->second, end);
    stream->AddRef();
    int32_t skipped = 0;
    stream->SkipEx(static_cast<int32_t>(start.tick), &skipped);
    *out = stream;
    return KVD_S_OK;
}

HRESULT RecordedData::GetRecordEnd(int record, KVDPosition* end) const
{
    uint32_t ticks = 0;
    const HRESULT hr = GetRecordTicks(record, &ticks);
    *end = KVDPosition{ticks, record};
    return hr;
}

HRESULT RecordedData::IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const
{
    uint32_t leftTicks = 0, rightTicks = 0;
    const bool known = GetRecordTicks(left.record, &leftTicks) == KVD_S_OK &&
                       GetRecordTicks(right.record, &rightTicks) == KVD_S_OK;
    const bool ordered = left.record < right.record || (left.record == right.record && left.tick <= right.tick);
    *valid = known && ordered && left.tick <= leftTicks && right.tick <= rightTicks ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT RecordedData::GetAbsoluteTick(KVDPosition position, int64_t* ticks) const
{
    int64_t total = 0;
    for (int record = 0; record < position.record && record < static_cast<int>(mRecords.size()); ++record) {
        uint32_t n = 0;
        GetRecordTicks(record, &n);
        total += n;
    }
    *ticks = total + position.tick;
    return KVD_S_OK;
}

int GainCalc::sLive = 0;

GainCalc::GainCalc(ICalculationClass* cls, IOrrelSetCalcData* data, TChannelId channel)
    : ChannelCalcBase(cls, data, channel)
{
    ++sLive;
}

GainCalc::~GainCalc()
{
    --sLive;
}

HRESULT GainCalc::Configure(const IPersistObject*, AutoBool)
{
    DataScaling scaling{};
    MakeUnits(10, -10, 2, &scaling, false);
    return SetCalcEnums(GainEnumClass::TypeId());
}

TCAFId GainCalcClass::TypeId()
{
    return TypeIdClass<&kCalcTestGuid, 2>::GetId();
}

HRESULT GainCalcClass::Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out)
{
    *out = nullptr;
    if (data == nullptr)
        return KVD_E_BADSTATE;
    auto* calc = new GainCalc(this, data, channel);
    const HRESULT hr = calc->QueryInterface(IID_ICalculation, reinterpret_cast<void**>(out));
    calc->Release();
    return hr;
}

}  // namespace FrameworkTest
