// The recording hardware of the host stand-in: it samples a source on the run loop's clock (the
// virtual one in tests, the real one in spirohost) and hands the samples to its sinks in the
// order a device does: prepare, record start, samples and updates, record end, clean-up.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IKVDDeviceManager.h"
#include "IOrrelDataSink.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "host/sampling/SampleSource.h"

namespace Host {

class SimulatedDeviceManager final : public KVD::detail::CountedUnknown<IKVDDeviceManager> {
public:
    // Samples are handed over every kInterval seconds of the run loop's clock.
    static constexpr double kInterval = 0.05;
    // The most samples (ticks times channels) one hand-over carries.
    static constexpr size_t kMaxBufferedSamples = size_t(1) << 18;

    // A new manager with one reference.
    static SimulatedDeviceManager* Create(std::shared_ptr<const SampleSource> source);

    // Makes CanStart answer no and Start fail with this result and reason (empty: none), until
    // cleared with S_OK; for tests and for showing refusals.
    void RefuseStart(HRESULT result, const std::wstring& reason);
    bool IsSampling() const { return mTimer != 0; }
    size_t SinkCount() const { return mSinks.size(); }
    uint64_t TicksSampled() const { return mTicks; }

    // IKVDDeviceManager
    HRESULT Stop(uint32_t reserved) override;
    HRESULT SetUp(uint32_t reserved, uint32_t flags) override;
    HRESULT Prepare(uint32_t reserved, uint32_t flags, int32_t monitorOnly) override;
    HRESULT CanStart(uint32_t reserved, AutoBool* answer, IAutoKVDString** reason) override;
    HRESULT Start(double delay, uint32_t reserved, IAutoKVDString** reason) override;
    HRESULT AddSink(uint32_t reserved, IOrrelDataSink* sink) override;
    HRESULT RemoveSink(uint32_t reserved, IOrrelDataSink* sink) override;

private:
    explicit SimulatedDeviceManager(std::shared_ptr<const SampleSource> source);
    ~SimulatedDeviceManager() override;
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    // Takes the samples due by the clock's now and hands them to the sinks.
    void Sample();
    template <class Call>
    void ToSinks(Call call);

    std::shared_ptr<const SampleSource> mSource;
    std::vector<KVD::COMPtr<IOrrelDataSink>> mSinks;
    HRESULT mRefusal = KVD_S_OK;
    std::wstring mRefusalReason;
    bool mMonitorOnly = true;
    int mTimer = 0;
    double mStartTime = 0;
    uint64_t mTicks = 0;   // ticks sampled in the current run
    uint32_t mBlock = 0;   // runs so far
    std::vector<float> mBuffer;
};

}  // namespace Host
