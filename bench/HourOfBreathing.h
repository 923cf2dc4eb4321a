// One hour at 1 kHz of a flow channel (breathing at 15 a minute and a faster ripple) and a
// volume channel, stored as 16-bit values × 0.0001, and the host's record data over it: the
// data the drawing benchmarks page through.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "foundation/COMPtr.h"
#include "host/data/Recording.h"
#include "host/drawing/DrawingServices.h"

namespace BenchData {

constexpr uint32_t kHourTicks = 3600 * 1000;

inline std::shared_ptr<Host::Recording> HourOfBreathing()
{
    static const auto recording = [] {
        auto rec = std::make_shared<Host::Recording>(
            "hour.csv", 1000.0,
            std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.0001, 0.0}, {"Volume", "L", 0.0001, 0.0}});
        Host::RecordBlock block;
        block.ticks = kHourTicks;
        block.samples.assign(2, std::vector<int16_t>(kHourTicks));
        for (uint32_t t = 0; t < kHourTicks; ++t) {
            block.samples[0][t] = int16_t(std::lround(8000.0 * std::sin(t * 2.0 * M_PI / 4000.0) +
                                                      500.0 * std::sin(t * 2.0 * M_PI / 37.0)));
            block.samples[1][t] = int16_t(std::lround(12000.0 * std::cos(t * 2.0 * M_PI / 4000.0)));
        }
        rec->AddRecord(std::move(block));
        return rec;
    }();
    return recording;
}

inline KVD::COMPtr<IRecordData> HourOfBreathingData()
{
    static const KVD::COMPtr<IRecordData> data = [] {
        KVD::COMPtr<IRecordData> made(Host::CreateRecordingData(HourOfBreathing()));
        made->Release();
        return made;
    }();
    return data;
}

}  // namespace BenchData
