#include "spirometry/SpiroMachine.h"

#include <cfloat>
#include <cmath>
#include <locale>

#include "CompositeCalcEnumClass.h"
#include "ICalcEnumClass2.h"
#include "IEnumFloatEx.h"
#include "IFramework.h"
#include "IOrrelData2.h"
#include "IUnitsConversion.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/OStringStream.h"
#include "foundation/units/UnitEntry.h"

namespace Spirometry {

namespace {

constexpr uint32_t kRawDataFlags = 0x1001;
constexpr uint32_t kDataFlags = 0xC0001000;
constexpr double kFullRangeStored = 32000.0;
// The full range when the host cannot say what the raw channel's is.
constexpr double kDefaultFullRange = 10.0;
// Changes of the factor and threshold smaller than this are no changes.
constexpr double kSettingsTolerance = 0.001;
constexpr uint32_t kEventBatch = 8;

// The host's composite enumerator class, found once.
using CompositeClass = ObjectFactoryClassObjectAccessor<ICalcEnumClass2, TypeIdClass<&GUID_CompositeCalcEnumObj, 0>>;

bool IsSet(KVDPosition p) { return p.record != kNoPositionRecord; }
bool operator==(KVDPosition a, KVDPosition b) { return a.tick == b.tick && a.record == b.record; }

KVD::COMPtr<IUnitName> Unit(const wchar_t* name)
{
    KVD::COMPtr<IUnitName> unit(new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(name))));
    return unit;
}

}  // namespace

SpiroMachine::SpiroMachine(const Document& document, const SpConfig& settings)
    : mDocument(document), mSettings(settings)
{
}

int SpiroMachine::Go(IRecordData* data, KVDPosition start, KVDPosition end, bool force)
{
    mData = data;
    mStart = start;
    mEnd = end;
    if (data != nullptr && IsSet(start) && IsSet(end) && !(start == end)) {
        GetSpBreathEvents(force);
        return static_cast<int>(mBreaths.GetCount());
    }
    Forget();
    return 0;
}

void SpiroMachine::Forget()
{
    mBreaths.RemoveRange(0, mBreaths.GetCount());
    mLast = Run();
}

bool SpiroMachine::IsLastRun() const
{
    return mLast.start == mStart && mLast.end == mEnd && IsSet(mLast.start) &&
           std::fabs(mSettings.mCycleDetectionFactor - mLast.factor) < kSettingsTolerance &&
           mLast.flowChannel == mSettings.mSpFlowCalcChan && mLast.volumeChannel == mSettings.mSpVolCalcChan;
}

int SpiroMachine::GetSpBreathEvents(bool force)
{
    if (mStart.record != mEnd.record || mData == nullptr) {
        Forget();
        return -1;
    }
    if (!force && IsLastRun()) {
        if (std::fabs(mSettings.mForcedExpirationThreshold - mLast.threshold) > kSettingsTolerance) {
            mLast.threshold = mSettings.mForcedExpirationThreshold;
            FindForcedBreaths();
        }
        return static_cast<int>(mBreaths.GetCount());
    }
    // Whatever happens now, the list must not keep the breaths of another run.
    Forget();
    const int count = Detect();
    if (count < 0) {
        Forget();
        return -1;
    }
    mLast = {mStart, mEnd, mSettings.mCycleDetectionFactor, mSettings.mForcedExpirationThreshold,
             mSettings.mSpFlowCalcChan, mSettings.mSpVolCalcChan};
    return count;
}

int SpiroMachine::Detect()
{
    const double level = GetCycleDetectionLevel(mData, mSettings.mCycleDetectionFactor, mStart.record);
    KVD::String formula(L"SPEEVol");
    KVD::String arguments;
    GetArithString_EventEnum(arguments, mSettings.mSpFlowCalcChan, mSettings.mSpVolCalcChan, level);
    formula += arguments;
    mEvents = nullptr;
    mCalc = nullptr;
    if (!SetupSpCompositeCalc(mEvents, mCalc, formula, mSettings.mSpFlowCalcChan, mSettings.mSpVolCalcChan, mStart,
                              mData))
        return -1;
    SpBreathEvent batch[kEventBatch];
    int count = 0;
    for (;;) {
        uint32_t delivered = 0;
        int32_t position = 0;
        mEvents->Next(sizeof batch, static_cast<int32_t>(mEnd.tick), reinterpret_cast<uint8_t*>(batch), &delivered,
                      &position);
        if (delivered == 0)
            break;
        for (uint32_t i = 0; i < delivered && i < kEventBatch; ++i)
            mBreaths.Add(new Breath(batch[i], mStart.record));
        count += static_cast<int>(delivered);
    }
    mCalc->ReleaseSources();
    FindForcedBreaths();
    return count;
}

double SpiroMachine::CalcDuration(IRecordData* data, KVDPosition a, KVDPosition b)
{
    const KVDPosition positions[] = {a, b};
    double seconds[] = {0.0, 0.0};
    if (data == nullptr || data->GetPositionTimes(2, positions, seconds) != KVD_S_OK)
        return 0.0;
    return seconds[1] - seconds[0];
}

void SpiroMachine::GetArithString_EventEnum(KVD::String& out, int flowChannel, int volumeChannel, double level)
{
    KVD::OStringStream text;
    text.imbue(std::locale::classic());
    text << L"(Ch" << volumeChannel + 1 << L", " << L"SPEEFlow(Ch" << flowChannel + 1 << L", " << level << L") )";
    out = text.str();
}

double SpiroMachine::GetCycleDetectionLevel(IRecordData* data, double factor, int record) const
{
    double fullRange = kDefaultFullRange;
    KVD::COMPtr<IUnitsConversion> units;
    double scale = 1.0;
    double offset = 0.0;
    if (data != nullptr)
        data->GetUnitsConversion(record, TChannelId{mDocument.GetRawFlowChannel(), kRawDataFlags}, units.Set());
    if (units != nullptr && units->GetScaling(kRawDataFlags, &scale, &offset) == KVD_S_OK)
        fullRange = (offset + kFullRangeStored) * scale * mDocument.GetCustomConstant();
    const double level = fullRange * factor / 100.0;
    return level < 0.0 ? 0.0 : level;
}

bool SpiroMachine::SetupSpCompositeCalc(KVD::COMPtr<IEnumEventEx>& events, KVD::COMPtr<ICalcEnum>& calc,
                                        const KVD::String& formula, int flowChannel, int volumeChannel,
                                        KVDPosition start, IRecordData* data)
{
    ICalcEnumClass2* cls = CompositeClass::Get();
    if (cls == nullptr || data == nullptr)
        return false;
    KVD::COMPtr<IOrrelData2> hostData = KVD::com_cast(data);
    cls->Create(hostData.get(), calc.Set());
    if (calc == nullptr)
        return false;
    KVD::COMPtr<IEnumFloatEx> flow;
    KVD::COMPtr<IEnumFloatEx> volume;
    data->GetFloatStream(TChannelId{flowChannel, kDataFlags}, start, kRecordEndTick, flow.Set());
    data->GetFloatStream(TChannelId{volumeChannel, kDataFlags}, start, kRecordEndTick, volume.Set());
    if (flow == nullptr || volume == nullptr)
        return false;
    BlockUpdateType update = 0;
    if (calc->SetSettings(formula.AsIAutoKVDString(), &update) != KVD_S_OK)
        return false;
    double sampling = 0.0;
    data->GetSecsPerTick(start.record, &sampling);
    // The composite numbers its sources in the order the formula first names them: volume first.
    IUnknown* sources[] = {volume.get(), flow.get()};
    KVD::COMPtr<IUnitName> litres = Unit(L"L");
    KVD::COMPtr<IUnitName> litresPerSecond = Unit(L"L/s");
    IUnitName* units[] = {litres.get(), litresPerSecond.get()};
    if (calc->SetSources(start.record, 2, sources, units, sampling, 0) != KVD_S_OK)
        return false;
    calc->SetInitialPosition(static_cast<int32_t>(start.tick));
    events = KVD::com_cast(calc.get());
    if (events == nullptr)
        return false;
    int32_t position = 0;
    events->GetPosition(&position);
    if (position < static_cast<int32_t>(start.tick)) {
        const int32_t tick = static_cast<int32_t>(start.tick);
        events->Find(0, tick - 1, 0, tick);
        events->GetPosition(&position);
    }
    return true;
}

void SpiroMachine::MarkForcedBreaths(BreathList& breaths, double threshold)
{
    const unsigned count = breaths.GetCount();
    if (count == 0)
        return;
    // Summed in float32, as the figures are shown.
    float sum = 0.0f;
    for (unsigned i = 0; i < count; ++i)
        sum = static_cast<float>(sum + breaths[i]->Volume());
    const double mean = sum / static_cast<float>(count);
    // What the single-precision sum can tell apart: breaths of one size, whose volumes differ
    // only by where on the volume channel they were measured, are all at their mean.
    const double resolution = std::nextafter(sum, FLT_MAX) - sum;
    for (unsigned i = 0; i < count; ++i) {
        Breath& b = *breaths[i];
        const double volume = b.Volume() + resolution;
        if (b.excluded)
            b.forced = false;
        else if (count == 1)
            b.forced = true;
        else
            b.forced = volume >= threshold * mean || (volume >= mean && count < 4);
    }
}

}  // namespace Spirometry
