#include "host/sampling/SimulatedDeviceManager.h"

#include <algorithm>
#include <cmath>

#include "appkit/RunLoop.h"
#include "foundation/KVDString.h"

namespace Host {

namespace {

void SetReason(IAutoKVDString** reason, const std::wstring& text)
{
    if (reason != nullptr)
        KVD::String(text).GetOut(reason);
}

}  // namespace

SimulatedDeviceManager* SimulatedDeviceManager::Create(std::shared_ptr<const SampleSource> source)
{
    return KVD::MakeCounted<SimulatedDeviceManager>(std::move(source)).Forget();
}

SimulatedDeviceManager::SimulatedDeviceManager(std::shared_ptr<const SampleSource> source)
    : mSource(std::move(source))
{
}

SimulatedDeviceManager::~SimulatedDeviceManager()
{
    Stop(0);
}

void SimulatedDeviceManager::RefuseStart(HRESULT result, const std::wstring& reason)
{
    mRefusal = result;
    mRefusalReason = reason;
}

template <class Call>
void SimulatedDeviceManager::ToSinks(Call call)
{
    // A sink may remove itself while it hears a call.
    const auto sinks = mSinks;
    for (const auto& sink : sinks)
        call(*sink);
}

HRESULT SimulatedDeviceManager::Stop(uint32_t)
{
    if (mTimer == 0)
        return KVD_S_FALSE;
    Sample();
    AppKit::RunLoop::Main().RemoveTimer(mTimer);
    mTimer = 0;
    BlockUpdateType update = kUpdateAll;
    ToSinks([&](IOrrelDataSink& sink) { sink.OnRecordEnd(mBlock, &update); });
    ToSinks([&](IOrrelDataSink& sink) { sink.CleanUpAfterSampling(mMonitorOnly ? kAutoFalse : kAutoTrue); });
    ++mBlock;
    return KVD_S_OK;
}

HRESULT SimulatedDeviceManager::SetUp(uint32_t, uint32_t)
{
    return KVD_S_OK;
}

HRESULT SimulatedDeviceManager::Prepare(uint32_t, uint32_t, int32_t monitorOnly)
{
    mMonitorOnly = monitorOnly != 0;
    return KVD_S_OK;
}

HRESULT SimulatedDeviceManager::CanStart(uint32_t, AutoBool* answer, IAutoKVDString** reason)
{
    if (answer == nullptr)
        return KVD_E_POINTER;
    *answer = mRefusal == KVD_S_OK ? kAutoTrue : kAutoFalse;
    if (mRefusal != KVD_S_OK)
        SetReason(reason, mRefusalReason);
    return mRefusal;
}

HRESULT SimulatedDeviceManager::Start(double, uint32_t, IAutoKVDString** reason)
{
    if (mRefusal != KVD_S_OK) {
        SetReason(reason, mRefusalReason);
        return mRefusal;
    }
    // A start while sampling begins a new record with the settings of now.
    Stop(0);
    ToSinks([&](IOrrelDataSink& sink) { sink.PrepareForSampling(mBlock); });
    ToSinks([&](IOrrelDataSink& sink) { sink.OnRecordStart(mBlock, mMonitorOnly ? kAutoFalse : kAutoTrue); });
    auto& loop = AppKit::RunLoop::Main();
    mStartTime = loop.Now();
    mTicks = 0;
    mTimer = loop.AddTimer(kInterval, true, [this] { Sample(); }, AppKit::RunLoop::kCommonModes);
    return KVD_S_OK;
}

void SimulatedDeviceManager::Sample()
{
    const double elapsed = AppKit::RunLoop::Main().Now() - mStartTime;
    const auto due = uint64_t(std::floor(elapsed * mSource->TickRate() + 1e-9));
    const size_t channels = mSource->ChannelCount();
    // After a long stall of the clock the ticks due are handed over in steps of a bounded
    // buffer, as a device's own buffer would deliver them.
    const uint64_t step = std::max<uint64_t>(1, kMaxBufferedSamples / std::max<size_t>(1, channels));
    const uint32_t block = mBlock;
    const int timer = mTimer;
    while (due > mTicks) {
        const auto ticks = uint32_t(std::min(due - mTicks, step));
        mBuffer.resize(channels * ticks);
        for (size_t channel = 0; channel < channels; ++channel)
            for (uint32_t tick = 0; tick < ticks; ++tick)
                mBuffer[channel * ticks + tick] = mSource->Value(channel, mTicks + tick);
        mTicks += ticks;
        ToSinks([&](IOrrelDataSink& sink) {
            sink.AppendSamples(mBlock, uint32_t(channels), ticks, mBuffer.data());
            sink.Update(mBlock);
        });
        if (mBlock != block || mTimer != timer)
            return;  // a sink stopped or restarted sampling meanwhile
    }
}

HRESULT SimulatedDeviceManager::AddSink(uint32_t, IOrrelDataSink* sink)
{
    if (sink == nullptr)
        return KVD_E_POINTER;
    if (std::find(mSinks.begin(), mSinks.end(), sink) == mSinks.end())
        mSinks.emplace_back(sink);
    return KVD_S_OK;
}

HRESULT SimulatedDeviceManager::RemoveSink(uint32_t, IOrrelDataSink* sink)
{
    const auto found = std::find(mSinks.begin(), mSinks.end(), sink);
    if (found == mSinks.end())
        return KVD_S_FALSE;
    mSinks.erase(found);
    return KVD_S_OK;
}

}  // namespace Host
